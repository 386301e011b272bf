#include "play/StrategyKeeperZAMP.h"

#include <cmath>
#include <limits>

#include "core/Tool.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

typedef Eigen::Vector2d V;

// A save is made for a ball at least this fast (m/s) whose path enters the goal within this
// (m) of its centre line, once the half has run this long (s): right after a kick-off the
// ball's speed estimate is not yet trustworthy.
const double SAVE_MIN_SPEED = 1.5;
const double SAVE_GOAL_HALF_WIDTH = 1.25;
const double SAVE_START_TIME = 2.0;
// A path within this (m) of the keeper is blocked with the feet; farther ones need a dive.
const double BLOCK_REACH = 0.25;

// The keeper comes out to kick only a ball within this (m) of its foot, when nobody is
// within the second distance (m) of the ball or the set play is ours, and never in the
// far end of the opponent half.
const double KICK_FOOT_DISTANCE = 1.0;
const double KICK_ENEMY_DISTANCE = 2.0;
const StrategyZAMP::Zone NO_KICK_ZONE{12.5, 0.0, 5.0, 20.0};

// Guarding: the point GUARD_DISTANCE (m) from the anchor towards the ball; with the ball
// in the goal area the keeper stands GOAL_AREA_SIDE_OFFSET (m) beside it at GOAL_AREA_X.
const V GUARD_ANCHOR(-14.8, 0.0);
const double GUARD_DISTANCE = 0.5;
const StrategyZAMP::Zone GOAL_AREA{-14.5, 0.0, 2.5, 2.0};
const double GOAL_AREA_X = -14.0;
const double GOAL_AREA_SIDE_OFFSET = 1.0;

// The keeper side-steps a ball behind it whatever its distance along x, steps onto its
// point unclamped and stands still once it faces the ball.
const StrategyZAMP::PositionWalk KEEPER_POSITION_WALK{
    std::numeric_limits<double>::infinity(),   // side-step box width along x
    3.6,                                       // side-step box length along y
    0.5,                                       // near the point within this (m)
    -std::numeric_limits<double>::infinity(),  // no lower clamp of the near forward target
    90.0,                                      // degrees per unit near turn target
    10.0,                                      // stop when facing the ball within this
};

}  // namespace

bool StrategyKeeperZAMP::IsKeeper() const { return true; }

std::string StrategyKeeperZAMP::SaveCommand(const Eigen::Vector2d& ball,
                                            const Eigen::Vector2d& ball_speed,
                                            const Eigen::Vector2d& keeper, double half_time) {
  if (!(ball_speed.norm() >= SAVE_MIN_SPEED) || !(ball_speed.x() < 0.0) ||
      !(half_time >= SAVE_START_TIME)) {
    return std::string();
  }
  // The ball's path y = slope x + intercept.
  const double slope = ball_speed.y() / ball_speed.x();
  const double intercept = ball.y() - slope * ball.x();
  const double goal_y = slope * -FIELD_WIDTH_HALF_SIZE + intercept;
  if (!(std::abs(goal_y) <= SAVE_GOAL_HALF_WIDTH)) return std::string();
  // Where the path passes the keeper, positive to its left.
  const double miss = (slope * keeper.x() + intercept) - keeper.y();
  if (std::abs(miss) <= BLOCK_REACH) return "OpneFoot";
  if (miss < -BLOCK_REACH) return "RightJump";
  if (miss > BLOCK_REACH) return "LeftJump";
  return std::string();
}

void StrategyKeeperZAMP::UpdateState() {
  const Models m = FetchModels();
  const Ball& seen_ball = m.field.GetBall();
  const V ball = seen_ball.IsVisible() ? Tool::RemoveVectZ(seen_ball.GetAbsoluteCoordinates())
                                       : current_agent_update_->ball_coord;
  const V own = Tool::RemoveVectZ(m.agent.GetCoordinates());
  const std::string save =
      SaveCommand(ball, Tool::RemoveVectZ(seen_ball.GetSpeed()), own, HalfTime(m.world));
  if (!save.empty()) command_ = save;

  const bool start_kick =
      (m.world.CanKickPlay() || BallEnemyDistance(m.info) >= KICK_ENEMY_DISTANCE) &&
      seen_ball.GetFootDistance() < KICK_FOOT_DISTANCE &&
      !Tool::InRectangle(ball.x(), ball.y(), NO_KICK_ZONE.x, NO_KICK_ZONE.y, NO_KICK_ZONE.width,
                         NO_KICK_ZONE.length);
  // Unlike a field player the keeper leaves a line-up as soon as it may no longer kick.
  StepMoveState(m, start_kick, true);
}

Eigen::Vector2d StrategyKeeperZAMP::DecidePosition() {
  const Models m = FetchModels();
  const V ball = current_agent_update_->ball_coord;
  if (m.info.IsBallInRectangle(GOAL_AREA.x, GOAL_AREA.y, GOAL_AREA.width, GOAL_AREA.length)) {
    return V(GOAL_AREA_X,
             ball.y() >= 0.0 ? ball.y() - GOAL_AREA_SIDE_OFFSET : ball.y() + GOAL_AREA_SIDE_OFFSET);
  }
  return PointToward(GUARD_ANCHOR, ball, GUARD_DISTANCE);
}

void StrategyKeeperZAMP::Position() { PositionWith(KEEPER_POSITION_WALK); }

}  // namespace zamp
