// Entry point of the match player: one process controls one robot until the server closes
// the link or SIGINT arrives. Run it from the repository root: the motion files under
// xml/MotionXML/ are read relative to the working directory.
#include "play/AgentZAMP.h"

int main(int argc, char** argv) {
  // The agent lives until the process ends, like the shared instances it created.
  zamp::Agent* agent = new zamp::AgentZAMP(argc, argv);
  agent->Run();
  return agent->GetExitStatus();
}
