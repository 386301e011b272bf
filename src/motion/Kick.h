// A kick with its approach thresholds: how close to the kick point, and how well lined up
// with the ball and the target, the robot must be before it may kick. It also computes the
// two angles that tell how well the robot stands behind the ball for a given target, the
// same line-up the strategies use (StrategyInformation::CulcKickDirections). The motion
// itself is the subclass's; it is played like a MotionSequence: Reset, then Run once per
// agent cycle until IsEnd.
//
// Reads: AgentState (own position and heading) and the field state's ball, through
// StrategyInformation. Team frame, metres; angles in degrees, turns positive to the left.
#pragma once

#include <Eigen/Core>

namespace zamp {

class Kick {
 public:
  // How the robot stands for a kick towards a target, degrees.
  struct FixParam {
    // The bend between the way from the robot to the shifted ball and the way from the
    // shifted ball to the shifted target; 0 when the robot stands behind the ball on the
    // kick line. Wrapped into [-180, 180].
    double ball_cross_degree_diff;
    // The turn the robot needs to face the shifted ball.
    double ball_direction_diff;
  };

  Kick();
  virtual ~Kick();

  virtual void Run() = 0;
  virtual void Reset() = 0;
  virtual bool IsEnd() const = 0;

  // target: m, team frame. The ball and the target are both shifted sideways by
  // shift_kick_point_ (to the left of the kick line for a positive shift), so that the
  // kicking foot rather than the body's centre meets the ball.
  FixParam CulcKickPositionParam(Eigen::Vector2d target) const;

  double GetThresholdDist() const { return threshold_dist_; }
  double GetThresholdBallDir() const { return threshold_ball_dir_; }
  double GetThresholdTargetDir() const { return threshold_target_dir_; }
  double GetShiftKickPoint() const { return shift_kick_point_; }
  double GetMaxDist() const { return max_dist_; }

 protected:
  double threshold_dist_;        // m, distance to the kick point below which it may kick
  double threshold_ball_dir_;    // tolerance of the ball direction
  double threshold_target_dir_;  // tolerance of the target direction
  double shift_kick_point_;      // m, sideways offset of the kick point from the ball
  double max_dist_;              // m, longest distance the kick reaches
};

}  // namespace zamp
