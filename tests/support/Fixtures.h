// Access to the recorded server traffic under tests/fixtures (ZAMP_FIXTURE_DIR): one message
// per line, exactly as the real server sent it, without the length prefix.
#pragma once

#include <string>
#include <vector>

namespace zamp::test {

// The absolute path of a fixture, e.g. FixturePath("perception/toes_type4.txt").
std::string FixturePath(const std::string& name);

// Every line of a fixture, in order, without line ends. Throws std::runtime_error when the
// file cannot be read, so a missing fixture fails the test instead of passing it vacuously.
std::vector<std::string> ReadFixtureLines(const std::string& name);

// A file the repository ships, relative to its root (e.g. a learning agent's start point),
// whole. Throws std::runtime_error when it cannot be read.
std::string ReadShippedFile(const std::string& relative);

}  // namespace zamp::test
