// Entry point of the walk optimisation agent: tunes the locus walk's forward foot points on a
// training server that reports true positions, as the left team's player 10, until SIGINT.
// Run it from the repository root (its files live under data/walk_evolution_data/); see
// scripts/learn.sh, which prepares and starts such a server.
#include "learning/AgentWalkEvolution.h"

int main(int argc, char** argv) {
  zamp::Agent* agent = new zamp::AgentWalkEvolution(argc, argv);
  agent->Run();
  return agent->GetExitStatus();
}
