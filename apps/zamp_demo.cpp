// Entry point of the demonstration agent: walks a fixed programme of forward, backward,
// sideways and turning phases on a server with a trainer port, put back by the trainer after
// a fall. Player 10 walks with the locus walk, the others with the sine walk (--walk=locus,
// sine or pendulum chooses). scripts/learn.sh demo starts players 10 and 9 side by side.
#include "learning/AgentDemo.h"

int main(int argc, char** argv) {
  zamp::Agent* agent = new zamp::AgentDemo(argc, argv);
  agent->Run();
  return agent->GetExitStatus();
}
