// Test driver for the model stages of the agent cycle: one agent's shared instances (parser,
// perception store, game state, body model, field model, play information, joint
// controller), fed one message text at a time in the cycle's order, followed by what the
// match agent's effector control does with the beam (the field rotation is reset while a
// beam is being sent). No sockets, no threads: the message is the clock.
//
// Several cycles may live at once, so that several agents run in one test process: each
// call puts that cycle's instances in place of the shared ones first. A cycle frees its
// instances when destroyed and leaves the shared pointers null where they pointed at them;
// a cycle built while no other lives first frees what a previous test left shared.
//
//   zamp::test::ModelCycle a("Alpha", 2), b("Alpha", 3);
//   a.Start(first_message_a, beam_a);
//   b.Start(first_message_b, beam_b);
//   a.Step(text_a);  // a's instances are now the shared ones
//   b.Step(text_b);
#pragma once

#include <Eigen/Core>
#include <string>

#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace zamp {
namespace test {

class ModelCycle {
 public:
  enum FieldModel { KALMAN, SIMPLE };

  ModelCycle(const std::string& team_name, int uniform_number, FieldModel model = KALMAN,
             AgentTypeID agent_type = AGENT_TYPE_STANDARD);
  ~ModelCycle();
  ModelCycle(const ModelCycle&) = delete;
  ModelCycle& operator=(const ModelCycle&) = delete;

  // Makes this cycle's instances the shared ones.
  void Install();
  // The perception, game and body models of one cycle, without the field state and the play
  // information.
  void Perceive(const std::string& message);
  // The start-up step: the first message updates the perception, game and body models
  // only; then the beam pose (x m, y m, direction degrees) is stored.
  void Start(const std::string& first_message, const Eigen::Vector3d& beam);
  // One cycle of model updates, then the beam handling of the match agent.
  void Step(const std::string& message);

  // True while every value the body model, the field model and the play information
  // publish is finite.
  bool AllFinite() const;

  const RawStorage& raw() const { return *raw_; }
  WorldState& world() const { return *world_; }
  AgentState& agent() const { return *agent_; }
  FieldState& field() const { return *field_; }
  const StrategyInformation& info() const { return *info_; }
  JointController& joints() const { return *joints_; }

 private:
  static int live_;  // cycles alive now

  Parser* parser_;
  RawStorage* raw_;
  WorldState* world_;
  AgentState* agent_;
  FieldState* field_;
  StrategyInformation* info_;
  JointController* joints_;
  double using_beam_time_ = 0.0;  // s the beam has been sent at this opportunity
};

}  // namespace test
}  // namespace zamp
