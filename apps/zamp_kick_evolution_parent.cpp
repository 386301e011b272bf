// Entry point of the parent process of the multi-process kick optimisation: owns the
// optimiser, plays candidates itself and hands others to N - 1 children
// (zamp_kick_evolution_child) through shared memory pages. With --procs=N and agent port P
// the children run on ports P + 1 to P + N - 1, each on its own training server. Run it from
// the repository root, before its children; scripts/learn.sh kick2 --procs=N starts all of it.
#include "learning/MultiAgentKickEvolutionParent.h"

int main(int argc, char** argv) {
  const int process_num = zamp::MultiAgentKickEvolutionParent::ReadProcessNum(argc, argv);
  if (process_num < 1) return 1;
  zamp::Agent* agent = new zamp::MultiAgentKickEvolutionParent(argc, argv, process_num);
  agent->Run();
  return agent->GetExitStatus();
}
