// The player's effector message builder. At the end of each cycle, after the decision step
// and ControlEffector, Make joins the enabled pieces (scene, init, beam, say, hinge joints,
// synchronize) into the one text sent to the server.
//
// Reads: AgentState (robot type, uniform number, beam pose), WorldState (team name) and
// the JointController's speeds. Building the hinge-joint piece resets the controller, and
// building the say piece consumes the say text.
// Beam pose in metres and degrees; joint speeds in radians per second, six decimals.
//
// The cycle's message is built into a buffer the builder keeps (MakeMessage), so that a
// steady cycle allocates nothing; Make gives a copy of the same text.
#pragma once

#include <string>

#include "core/Effector.h"
#include "core/const.h"

namespace zamp {

class EffectorAgent : public Effector<EffectorAgent> {
 public:
  enum EffectorID { SCENE = 0, INIT, BEAM, SAY, HINGE_JOINT, SYNCHRONIZE, EFFECTOR_NUM };

  EffectorAgent();
  ~EffectorAgent() override;

  std::string Make() override;
  // The same message as Make, in the builder's own buffer: valid until the next call.
  const std::string& MakeMessage();

  void SetEffectorAgentUse(bool scene, bool init, bool beam, bool say, bool hinge_joint,
                           bool synchronize);
  void SetSay(const std::string& message) { say_message_ = message; }
  void SetNaoPath(const std::string& path) { nao_path_ = path; }

 private:
  std::string MakeScene();
  std::string MakeInit();
  std::string MakeBeam();
  std::string MakeSay();
  std::string MakeHingeJoint();
  std::string MakeSynchronize();

  // Each piece appended to a message text; the Make functions above wrap these.
  void AppendScene(std::string& text);
  void AppendInit(std::string& text);
  void AppendBeam(std::string& text);
  void AppendSay(std::string& text);
  void AppendHingeJoint(std::string& text);
  void AppendSynchronize(std::string& text);
  // The piece of the given EffectorID appended to text.
  void AppendPiece(int id, std::string& text);
  std::string MakePiece(int id);

  std::string message_;  // the text of the last MakeMessage
  std::string hj_effector_id_[HINGE_JOINT_NUM];
  std::string say_message_;
  std::string nao_path_;
};

}  // namespace zamp
