// The trial machine of the kick optimisation agents. One trial: the trainer puts the robot
// behind the ball's start and the ball at the centre spot (UPDATE_MOTION, which also loads the
// next candidate's kick), the robot takes the ready pose (READY, at most 30 cycles), plays
// the kick (MOVE, until it ends or the robot falls), is placed standing further back
// (STAND_UP, at most 30 cycles), waits until the ball lies still (WAIT_FOR_RESULT; a fall
// sends it back to STAND_UP), and the trial is scored by the true ball x (EVALUATE).
//
// The true ball position arrives only with vision, every third cycle, and stays unchanged in
// between; so the ball's stillness and speed are measured only on cycles that brought a new
// position, against the previous such cycle and per cycle of time between them. Otherwise
// every cycle without vision would see a still ball and score a ball that is still rolling.
//
// Derived agents supply the optimiser (UpdateMotion, Evaluate) and may replace Think and
// ControlEffectorTrainer, as the processes of the multi-process optimisation do. Positions
// in metres in the left team's frame, directions in degrees.
#pragma once

#include <Eigen/Core>
#include <memory>

#include "learning/AgentWithTrainer.h"

namespace zamp {

class MotionSequenceXML;

class AgentKickTrial : public AgentWithTrainer {
 public:
  enum State {
    STATE_UPDATE_MOTION = 0,
    STATE_READY = 1,
    STATE_MOVE = 2,
    STATE_WAIT_FOR_RESULT = 3,
    STATE_EVALUATE = 4,
    STATE_STAND_UP = 5
  };

  // Where one kind of trial puts things: the robot's start (x, y, z), the point behind it
  // where a robot is placed standing after the kick (x, y), the ready pose's gain.
  struct Placement {
    Eigen::Vector3d start;
    Eigen::Vector2d stand_up;
    double ready_gain;
  };

  static constexpr int READY_CYCLE_LIMIT = 30;
  static constexpr double STILL_DISTANCE = 0.003;  // m per cycle
  static constexpr double FALL_TILT = 75.0;        // degrees about x or y

  AgentKickTrial(int argc, char** argv, const Placement& placement);
  ~AgentKickTrial() override;

  void Think() override;
  void SettingBeam() override;
  void ControlEffector(EffectorAgent& effector) override;
  void ControlEffectorTrainer(EffectorTrainer& effector) override;
  virtual void UpdateState();
  virtual void UpdateMotion() = 0;
  virtual void Ready();
  virtual void Move();
  virtual void WaitForResult();
  virtual void Evaluate() = 0;
  virtual void StandUp();
  virtual bool CheckFall();

  State GetState() const { return state_; }

 protected:
  // The trial's result as the optimisers score it: the true ball x, or -1 when the kick did
  // not reach its "fire" keyframes or left the ball at x <= 0.
  double TrialScore() const;
  // Puts the robot at its start and the ball at the centre spot, at rest, in this cycle's
  // trainer message (MOVE_AGENT must be enabled).
  void PlaceAtStart(EffectorTrainer& effector) const;
  // Neither the robot nor the ball is moved by this cycle's trainer message.
  void LeaveInPlace(EffectorTrainer& effector) const;

  State state_;
  std::unique_ptr<MotionSequenceXML> long_kick_;
  double max_speed_;  // m per cycle, largest gain of the true ball x since the last score

 private:
  // On a cycle that brought a new true ball position: how far the ball moved per cycle since
  // the previous one. Negative on every other cycle.
  double TrackBall();

  Placement placement_;
  Eigen::Vector3d before_ball_coord_;  // m, last true ball position received
  double before_ball_time_;            // s, when it was received; negative before the first
  int ready_time_;                     // cycles in READY or STAND_UP
};

}  // namespace zamp
