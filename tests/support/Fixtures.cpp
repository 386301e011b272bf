#include "support/Fixtures.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zamp::test {

std::string FixturePath(const std::string& name) {
  return std::string(ZAMP_FIXTURE_DIR) + "/" + name;
}

std::vector<std::string> ReadFixtureLines(const std::string& name) {
  const std::string path = FixturePath(name);
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read fixture " + path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(file, line)) lines.push_back(line);
  return lines;
}

std::string ReadShippedFile(const std::string& relative) {
  const std::string path = std::string(ZAMP_SOURCE_DIR) + "/" + relative;
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace zamp::test
