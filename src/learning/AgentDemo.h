// The demonstration agent: after its ready phase it walks a fixed programme, one phase per
// 4 s of game time (forward, backward, sideways both ways, turning both ways, then standing),
// steering back to heading 0 while it walks straight, with the last second of every window a
// pause. Player 10 walks with the locus walk, every other player with the sine walk, so two
// players side by side compare the engines; --walk=locus|sine|pendulum chooses the engine
// for this player instead. A fall makes the trainer put the robot back upright on its start
// point, from where it begins again with the ready pose; the programme goes on with the
// phase reached.
#pragma once

#include <Eigen/Core>
#include <memory>
#include <string>

#include "learning/AgentWithTrainer.h"

namespace zamp {

class Walk;

class AgentDemo : public AgentWithTrainer {
 public:
  enum State { STATE_RESET = 0, STATE_READY = 1, STATE_WALK = 2 };

  AgentDemo(int argc, char** argv);
  ~AgentDemo() override;

  void Think() override;
  void ControlEffectorTrainer(EffectorTrainer& effector) override;
  void UpdateState();
  void Ready();
  void Walking();

  State GetState() const { return state_; }
  const Walk& GetWalk() const { return *walk_; }
  int GetPhase() const { return phase_; }
  // The engine named by --walk=, or "" when the option is not given.
  static std::string ReadWalkName(int argc, char** argv);

 private:
  const int MAX_READY_TIME = 30;  // cycles of ready pose before walking

  State state_;
  std::unique_ptr<Walk> walk_;
  Eigen::Vector3d init_agent_coord_;  // m, where a fallen robot is put back
  int ready_time_;                    // cycles
  int phase_;                         // of the programme, for the whole run
};

}  // namespace zamp
