#include "core/EffectorAgent.h"

#include <charconv>

#include "core/FixedText.h"
#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

void AppendInt(std::string& text, int value) {
  char digits[16];
  const std::to_chars_result result = std::to_chars(digits, digits + sizeof(digits), value);
  text.append(digits, result.ptr);
}

}  // namespace

EffectorAgent::EffectorAgent()
    : hj_effector_id_{"he1",  "he2",  "rae1", "rae2", "rae3", "rae4", "lae1", "lae2",
                      "lae3", "lae4", "rle1", "rle2", "rle3", "rle4", "rle5", "rle6",
                      "rle7", "lle1", "lle2", "lle3", "lle4", "lle5", "lle6", "lle7"},
      nao_path_("rsg/agent/nao/nao_hetero.rsg") {
  slots_.resize(EFFECTOR_NUM);
  slots_[SCENE] = Slot{&EffectorAgent::MakeScene, false};
  slots_[INIT] = Slot{&EffectorAgent::MakeInit, false};
  slots_[BEAM] = Slot{&EffectorAgent::MakeBeam, false};
  slots_[SAY] = Slot{&EffectorAgent::MakeSay, false};
  slots_[HINGE_JOINT] = Slot{&EffectorAgent::MakeHingeJoint, false};
  slots_[SYNCHRONIZE] = Slot{&EffectorAgent::MakeSynchronize, false};
  // A full message of joint speeds, a beam and a say text is under a kilobyte.
  message_.reserve(1024);
}

EffectorAgent::~EffectorAgent() {}

std::string EffectorAgent::Make() { return MakeMessage(); }

// The pieces in table order, as Effector::Make joins them.
const std::string& EffectorAgent::MakeMessage() {
  message_.clear();
  for (int id = 0; id < EFFECTOR_NUM; ++id) {
    if (slots_[id].can_use) AppendPiece(id, message_);
  }
  return message_;
}

void EffectorAgent::SetEffectorAgentUse(bool scene, bool init, bool beam, bool say,
                                        bool hinge_joint, bool synchronize) {
  SetEffectorUse(SCENE, scene);
  SetEffectorUse(INIT, init);
  SetEffectorUse(BEAM, beam);
  SetEffectorUse(SAY, say);
  SetEffectorUse(HINGE_JOINT, hinge_joint);
  SetEffectorUse(SYNCHRONIZE, synchronize);
}

void EffectorAgent::AppendPiece(int id, std::string& text) {
  switch (id) {
    case SCENE:
      AppendScene(text);
      break;
    case INIT:
      AppendInit(text);
      break;
    case BEAM:
      AppendBeam(text);
      break;
    case SAY:
      AppendSay(text);
      break;
    case HINGE_JOINT:
      AppendHingeJoint(text);
      break;
    case SYNCHRONIZE:
      AppendSynchronize(text);
      break;
    default:
      break;
  }
}

std::string EffectorAgent::MakePiece(int id) {
  std::string piece;
  AppendPiece(id, piece);
  return piece;
}

std::string EffectorAgent::MakeScene() { return MakePiece(SCENE); }
std::string EffectorAgent::MakeInit() { return MakePiece(INIT); }
std::string EffectorAgent::MakeBeam() { return MakePiece(BEAM); }
std::string EffectorAgent::MakeSay() { return MakePiece(SAY); }
std::string EffectorAgent::MakeHingeJoint() { return MakePiece(HINGE_JOINT); }
std::string EffectorAgent::MakeSynchronize() { return MakePiece(SYNCHRONIZE); }

void EffectorAgent::AppendScene(std::string& text) {
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  const int agent_type = agent_state != nullptr ? agent_state->GetAgentType() : 0;
  text += "(scene ";
  text += nao_path_;
  text += ' ';
  AppendInt(text, agent_type);
  text += ')';
}

void EffectorAgent::AppendInit(std::string& text) {
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  const WorldState* world_state = Singleton<WorldState>::GetInstance();
  if (agent_state == nullptr || world_state == nullptr) return;
  text += "(init (unum ";
  AppendInt(text, agent_state->GetUniformNumber());
  text += ")(teamname ";
  text += world_state->GetTeamName();
  text += "))";
}

void EffectorAgent::AppendBeam(std::string& text) {
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  if (agent_state == nullptr) return;
  const Eigen::Vector2d& coord = agent_state->GetBeamCoordinates();
  text += "(beam ";
  AppendFixed(text, coord.x());
  text += ' ';
  AppendFixed(text, coord.y());
  text += ' ';
  AppendFixed(text, agent_state->GetBeamDirection());
  text += ')';
}

void EffectorAgent::AppendSay(std::string& text) {
  if (say_message_.empty()) return;
  text += "(say ";
  text += say_message_;
  text += ')';
  say_message_.clear();
}

void EffectorAgent::AppendHingeJoint(std::string& text) {
  JointController* joint_controller = Singleton<JointController>::GetInstance();
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    const double speed = joint_controller != nullptr ? joint_controller->GetSpeed(j) : 0.0;
    text += '(';
    text += hj_effector_id_[j];
    text += ' ';
    AppendFixed(text, speed);
    text += ')';
  }
  if (joint_controller != nullptr) joint_controller->Reset();
}

void EffectorAgent::AppendSynchronize(std::string& text) { text += "(syn)"; }

}  // namespace zamp
