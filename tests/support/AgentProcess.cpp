#include "support/AgentProcess.h"

#include <unistd.h>

#include <cstdio>

namespace zamp::test {

ChildProcess StartAgent(const std::string& name, const std::vector<std::string>& args) {
  return StartAgentIn(ZAMP_SOURCE_DIR, name, args);
}

ChildProcess StartAgentIn(const std::string& directory, const std::string& name,
                          const std::vector<std::string>& args) {
  const std::string path = std::string(ZAMP_APPS_DIR) + "/" + name;
  return ChildProcess([directory, path, name, args]() {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    if (chdir(directory.c_str()) != 0) _exit(126);
    execv(path.c_str(), argv.data());
    std::perror("execv");
    _exit(127);
  });
}

}  // namespace zamp::test
