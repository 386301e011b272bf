#include "core/EffectorAgent.h"

#include <cmath>
#include <cstdio>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

// Fixed point with six decimals ("%f"). The server cannot read "nan" or "inf", and a
// joint told to move at such a speed must hold still, so a non-finite value is sent as 0.
std::string FormatDouble(double value) {
  if (!std::isfinite(value)) value = 0.0;
  const int length = std::snprintf(nullptr, 0, "%f", value);
  if (length <= 0) return "0.000000";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), "%f", value);
  text.resize(static_cast<std::size_t>(length));
  return text;
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
}

EffectorAgent::~EffectorAgent() {}

std::string EffectorAgent::Make() { return Effector<EffectorAgent>::Make(this); }

void EffectorAgent::SetEffectorAgentUse(bool scene, bool init, bool beam, bool say,
                                        bool hinge_joint, bool synchronize) {
  SetEffectorUse(SCENE, scene);
  SetEffectorUse(INIT, init);
  SetEffectorUse(BEAM, beam);
  SetEffectorUse(SAY, say);
  SetEffectorUse(HINGE_JOINT, hinge_joint);
  SetEffectorUse(SYNCHRONIZE, synchronize);
}

std::string EffectorAgent::MakeScene() {
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  const int agent_type = agent_state != nullptr ? agent_state->GetAgentType() : 0;
  return "(scene " + nao_path_ + " " + std::to_string(agent_type) + ")";
}

std::string EffectorAgent::MakeInit() {
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  const WorldState* world_state = Singleton<WorldState>::GetInstance();
  if (agent_state == nullptr || world_state == nullptr) return "";
  return "(init (unum " + std::to_string(agent_state->GetUniformNumber()) + ")(teamname " +
         world_state->GetTeamName() + "))";
}

std::string EffectorAgent::MakeBeam() {
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  if (agent_state == nullptr) return "";
  const Eigen::Vector2d& coord = agent_state->GetBeamCoordinates();
  return "(beam " + FormatDouble(coord.x()) + " " + FormatDouble(coord.y()) + " " +
         FormatDouble(agent_state->GetBeamDirection()) + ")";
}

std::string EffectorAgent::MakeSay() {
  if (say_message_.empty()) return "";
  std::string piece = "(say " + say_message_ + ")";
  say_message_.clear();
  return piece;
}

std::string EffectorAgent::MakeHingeJoint() {
  JointController* joint_controller = Singleton<JointController>::GetInstance();
  std::string piece;
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    const double speed = joint_controller != nullptr ? joint_controller->GetSpeed(j) : 0.0;
    piece += "(" + hj_effector_id_[j] + " " + FormatDouble(speed) + ")";
  }
  if (joint_controller != nullptr) joint_controller->Reset();
  return piece;
}

std::string EffectorAgent::MakeSynchronize() { return "(syn)"; }

}  // namespace zamp
