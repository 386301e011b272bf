// Entry point of the match player: one process controls one robot until the server closes
// the link or SIGINT arrives.
#include "core/Agent.h"

namespace {

// Stands in for the match agent until the decision code exists: it runs the whole cycle
// and commands no joint, so the robot stands still after its beam.
class IdleAgent : public zamp::Agent {
 public:
  IdleAgent(int argc, char** argv) : Agent(argc, argv) {}
  void Think() override {}
};

}  // namespace

int main(int argc, char** argv) {
  // The agent lives until the process ends, like the shared instances it created.
  zamp::Agent* agent = new IdleAgent(argc, argv);
  agent->Run();
  return agent->GetExitStatus();
}
