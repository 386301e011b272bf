// One agent's shared instances (parser, perception store, game state, body model, Kalman
// field model, play information, joint controller), kept apart so that several agents can
// run in one test process: Install puts this set in place of the shared instances, and
// Step runs the model stages of one cycle on it, as the agent cycle does, including the
// field rotation reset while a beam is being sent. No sockets: the message is the clock.
//
//   zamp::test::ModelSet a("Alpha", 2), b("Alpha", 3);
//   a.Start(first_message_a, beam_a);
//   b.Start(first_message_b, beam_b);
//   a.Step(text_a);  // a's instances are now the shared ones
//   b.Step(text_b);
//
// A set frees its instances when destroyed and leaves the shared pointers null where they
// pointed at them. Instances that a previous test left shared belong to nobody: free them
// with FreeShared before building the first set.
#pragma once

#include <Eigen/Core>
#include <string>

#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace zamp {
namespace test {

class ModelSet {
 public:
  ModelSet(const std::string& team_name, int uniform_number,
           AgentTypeID agent_type = AGENT_TYPE_STANDARD);
  ~ModelSet();
  ModelSet(const ModelSet&) = delete;
  ModelSet& operator=(const ModelSet&) = delete;

  // Frees the shared instances that are in place now and forgets them.
  static void FreeShared();

  // Makes this set's instances the shared ones.
  void Install();
  // The start-up step on this set: the first message updates the perception, game and body
  // models only; then the beam pose (x m, y m, direction degrees) is stored.
  void Start(const std::string& first_message, const Eigen::Vector3d& beam);
  // One cycle of model updates on this set, then the beam handling of the match agent.
  void Step(const std::string& message);

  const WorldState& world() const { return *world_; }
  AgentState& agent() const { return *agent_; }
  const FieldState& field() const { return *field_; }
  const StrategyInformation& info() const { return *info_; }
  JointController& joints() const { return *joints_; }

 private:
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
