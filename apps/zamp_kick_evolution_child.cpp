// Entry point of a child process of the multi-process kick optimisation: plays the kick
// candidates its parent (zamp_kick_evolution_parent) hands it and sends back the scores.
// Child i of a parent on port P runs with --port=P+1+i on a training server of its own, from
// the same working directory as the parent and after it; see scripts/learn.sh kick2 --procs=N.
#include "learning/MultiAgentKickEvolutionChild.h"

int main(int argc, char** argv) {
  zamp::Agent* agent = new zamp::MultiAgentKickEvolutionChild(argc, argv);
  agent->Run();
  return agent->GetExitStatus();
}
