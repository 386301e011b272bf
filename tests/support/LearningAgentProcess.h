// Runs a learning agent class in a child process, in a given working directory, so that a
// test can hand it what no user option gives (a small lambda, a short time-out) and still
// let it talk to a fake training server over real sockets:
//
//   ChildProcess agent = test::RunLearningAgent<AgentKickEvolution2>(
//       dir.Path(), {"--port=" + std::to_string(server.AgentPort())}, nullptr, 4);
//
// The agent is built as A(argc, argv, extra...) from the options given; probe, when given,
// looks at the built agent instead of running it (the child then exits 0), otherwise the
// child runs it and exits with its exit status.
#pragma once

#include <unistd.h>

#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "support/ChildProcess.h"

namespace zamp::test {

template <typename A, typename... Extra>
ChildProcess RunLearningAgent(const std::string& directory, std::vector<std::string> args,
                              std::function<void(A&)> probe, Extra... extra) {
  return ChildProcess([directory, args, probe, extra...]() mutable {
    if (::chdir(directory.c_str()) != 0) _exit(126);
    std::vector<char*> argv{const_cast<char*>("learning_agent")};
    for (std::string& arg : args) argv.push_back(arg.data());
    A agent(static_cast<int>(argv.size()), argv.data(), extra...);
    int status = 0;
    if (probe) {
      probe(agent);
    } else {
      agent.Run();
      status = agent.GetExitStatus();
    }
    std::cout.flush();
    std::cerr.flush();
    _exit(status);
  });
}

// The options of the left team's player 10 on a fake training server in sync mode.
inline std::vector<std::string> PlayerTenOptions(int port) {
  return {"--port=" + std::to_string(port), "--unum=10", "--team=Left", "--syn=1"};
}

}  // namespace zamp::test
