// Entry point of the kick optimisation agent: tunes the generated long kick on a training
// server that reports the true ball position, as the left team's player 10, until SIGINT.
// Run it from the repository root (its files live under data/); see scripts/learn.sh, which
// prepares and starts such a server in PlayOn.
#include "learning/AgentKickEvolution2.h"

int main(int argc, char** argv) {
  zamp::Agent* agent = new zamp::AgentKickEvolution2(argc, argv);
  agent->Run();
  return agent->GetExitStatus();
}
