// Entry point of the motion practice agent: repeats one motion over and over on a server
// with a trainer port, for a motion designer to watch and tune (--practice=any|back|prone|
// kick|walk, --motion-file=PATH; default: xml/MotionXML/PushBall.xml, re-read before every
// repetition). Run it from the repository root; scripts/learn.sh practice starts a server.
#include "learning/AgentMotionPractice.h"

int main(int argc, char** argv) {
  zamp::Agent* agent = new zamp::AgentMotionPractice(argc, argv);
  agent->Run();
  return agent->GetExitStatus();
}
