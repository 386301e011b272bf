// Entry point of the single-process kick optimisation agent: tunes its generated long kick
// with the built-in CMA-ES on a training server that reports the true ball position, as the
// left team's player 10, until SIGINT. Run it from the repository root (its files live under
// data/); see scripts/learn.sh, which prepares and starts such a server in PlayOn.
#include <iostream>
#include <memory>
#include <stdexcept>

#include "learning/AgentKickEvolution1.h"

int main(int argc, char** argv) {
  std::unique_ptr<zamp::AgentKickEvolution1> agent;
  try {
    agent = std::make_unique<zamp::AgentKickEvolution1>(argc, argv);
  } catch (const std::runtime_error& error) {
    std::cerr << error.what() << std::endl;
    return 1;
  }
  agent->Run();
  return agent->GetExitStatus();
}
