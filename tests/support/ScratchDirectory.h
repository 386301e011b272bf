// A fresh directory under the test temporary folder, removed with everything in it when the
// object goes. Agents that write their files relative to the working directory run there, so
// that tests neither touch the repository nor see each other's files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zamp::test {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = ::testing::TempDir() + "zamp_scratch_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& Path() const { return path_; }
  std::string PathOf(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes text to a file below the directory, creating the folders on the way.
  void Write(const std::string& relative, const std::string& text) const {
    const std::filesystem::path file = PathOf(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }
  // The whole file, or "" when it does not exist.
  std::string Read(const std::string& relative) const {
    std::ifstream file(PathOf(relative));
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::vector<std::string> ReadLines(const std::string& relative) const {
    std::ifstream file(PathOf(relative));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::string path_;
};

}  // namespace zamp::test
