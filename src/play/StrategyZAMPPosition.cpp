// Formation and positioning of the game strategy: the ten formation points of the current
// set play, their assignment to the heard team mates, and the walk to this agent's point.
#include <cmath>
#include <vector>

#include "core/Tool.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "motion/Walk.h"
#include "play/Scram.h"
#include "play/StrategyZAMP.h"

namespace zamp {

namespace {

typedef Eigen::Vector2d V;

// The defensive anchor near the own goal from which Q points run towards the ball.
const V DEFENCE_ANCHOR(-14.0, 0.0);
const double LONG_PASS_DISTANCE = 13.0;  // m, L: where a long kick towards K lands
const double PRESSING_DISTANCE = 2.0;    // m, an opponent this close presses the ball
const double KEEPER_OUT_DISTANCE = 2.5;  // m, the keeper is out of its goal beyond this
const double GOAL_KICK_BASE = 1.5;       // logarithm base of the goal-kick point distance

// Positioning walk.
const double FAR_MIN_FORWARD = 0.2;
const double FAR_TURN_SCALE = 180.0;  // degrees per unit turn target
const double FAR_MAX_TURN = 0.5;
// A ball behind the agent makes the agent step this far (m) to the side of the ball
// instead of walking through it.
const double SIDE_STEP_DISTANCE = 3.0;

bool AllFinite(const Eigen::Vector2d positions[], int n) {
  for (int i = 0; i < n; ++i) {
    if (!positions[i].allFinite()) return false;
  }
  return true;
}

}  // namespace

void StrategyZAMP::Fill(Eigen::Vector2d positions[POSITION_NUM],
                        std::initializer_list<Eigen::Vector2d> points) {
  int i = 0;
  for (const V& point : points) {
    if (i == POSITION_NUM) return;
    positions[i++] = point;
  }
}

Eigen::Vector2d StrategyZAMP::DefencePoint(const Eigen::Vector2d& ball, double r) {
  return PointToward(DEFENCE_ANCHOR, ball, r);
}

Eigen::Vector2d StrategyZAMP::PointToward(const Eigen::Vector2d& from,
                                          const Eigen::Vector2d& toward, double r, double turn) {
  return Tool::CulcCircleCross(toward.x(), toward.y(), from.x(), from.y(), r, turn);
}

Eigen::Vector2d StrategyZAMP::GoalKickPoint(const Eigen::Vector2d& ball) {
  // The logarithm is only defined while the ball lies short of x = 16.
  const double remaining = FIELD_WIDTH_HALF_SIZE + 1.0 - ball.x();
  if (!(remaining > 0.0)) return ball;
  return PointToward(ball, V(FIELD_WIDTH_HALF_SIZE, 0.0),
                     std::log(remaining) / std::log(GOAL_KICK_BASE));
}

bool StrategyZAMP::IsPressing(const StrategyInformation& info) const {
  if (!(BallEnemyDistance(info) < PRESSING_DISTANCE)) return false;
  const ShareData* drribler = AgentDataOf(drrible_agent_unum_);
  return drribler != nullptr && drribler->move_state != AgentState::MS_ADJUST_KICK &&
         drribler->behavior != AgentState::BEH_KICK;
}

void StrategyZAMP::SettingPosition(Eigen::Vector2d positions[POSITION_NUM]) {
  const Models m = FetchModels();
  const V b = most_ball_update_->ball_coord;
  const double bx = b.x();
  const double by = b.y();
  const V k = kick_target_coord_;
  const V us_goal(-FIELD_WIDTH_HALF_SIZE, 0.0);
  const double s = by < 0.0 ? -1.0 : 1.0;
  const double ball_kick_distance = Tool::CulcDistance(b, k);
  const double ball_goal_distance = Tool::CulcDistance(b, us_goal);
  const ShareData* keeper = AgentDataOf(UNIFORM_KEEPER_NUMBER);
  const double keeper_goal_distance = Tool::CulcDistance(keeper->agent_coord, us_goal);

  const auto q = [&](double r) { return DefencePoint(b, r); };
  const auto from_goal = [&](double r, double turn) { return PointToward(us_goal, b, r, turn); };
  // The point r m short of K on the line from the ball.
  const auto short_of_k = [&](double r) { return PointToward(b, k, ball_kick_distance - r); };
  const V l = PointToward(b, k, LONG_PASS_DISTANCE);
  const V up(0.0, 1.5);

  switch (m.world.GetKickMode()) {
    case KM_KICK_OFF_US:
      Fill(positions,
           {V(bx - 1, by + 3.5), V(bx - 1, by - 3.5), V(bx - 3, by + 2), V(bx - 3, by - 2),
            V(bx - 2, by), V(-1.5, 6), V(-1.5, -6), q(5), q(9), q(1)});
      return;
    case KM_KICK_OFF_ENEMY:
      Fill(positions, {V(-13, -5), V(-12, 0), V(-13, 5), V(bx - 4, by + 5), V(bx - 4, by - 5),
                       V(bx - 2.5, by), V(-10, -5), V(-10, 5), V(-7, 0), V(-4, 0)});
      return;
    case KM_KICK_IN_US:
      Fill(positions, {V(bx - 2, by + 1), V(bx - 3, by - 2), V(bx - 3, by + 2), V(bx - 3, by - 2),
                       V(bx - 2, by), l + up, l - up, q(5), q(9), q(1)});
      return;
    case KM_KICK_IN_ENEMY: {
      const double r = ball_goal_distance;
      Fill(positions, {from_goal(r - 3, 0), from_goal(r - 3, -6 * s), from_goal(r - 3, -12 * s),
                       from_goal(r - 4.5, 0), from_goal(r - 4.5, -6 * s), from_goal(r - 5.5, 0),
                       q(3), q(5), q(9), q(1)});
      return;
    }
    case KM_CORNER_KICK_US:
      Fill(positions,
           {V(bx - 1.5, by + 1.5), V(bx - 1.5, by - 1.5), V(bx - 3, by + 2), V(bx - 3, by - 2),
            V(bx - 1.5, by), V(bx - 3, by), q(13), q(9), short_of_k(1) + V(-1, -1.5), q(1)});
      return;
    case KM_GOAL_KICK_US:
      Fill(positions,
           {V(bx + 1, by + 2), V(bx + 1, by - 2), V(bx + 2, by + 1), V(bx + 2, by - 1),
            GoalKickPoint(b), l + up, l - up, V(bx + 1, by + 3), V(bx + 1, by - 3), V(bx + 2, by)});
      return;
    case KM_GOAL_KICK_ENEMY:
      Fill(positions,
           {V(bx - 1.3, by + 2), V(bx - 1.3, by - 2), V(bx - 11, by + 6), V(bx - 11, by - 6),
            V(bx - 1.5, by), V(bx - 11, by), q(3), q(5), q(9), q(1)});
      return;
    default:
      break;
  }

  // Open play, by the ball's x.
  if (bx < -8.0) {
    Fill(positions,
         {V(-14, 2.5), V(-14, -2.5), V(bx - 1, by - 1.5), V(bx - 1, by), V(bx - 1, by + 1.5),
          V(-12, 2.5 * s), V(-12, 0), l + up, l - up, V(-11, 4 * s)});
  } else if (bx < 3.0) {
    Fill(positions,
         {V(bx - 0.5, by + 1.5), V(bx - 0.5, by - 1.5), V(bx - 3, by + 2), V(bx - 3, by - 2),
          V(bx - 1.5, by), V(bx - 3, by), V(bx - 6, by), l + up, l - up, q(1)});
    if (bx >= -3.0) {
      positions[6] = q(9);
      positions[7] = short_of_k(2) + up;
      positions[8] = short_of_k(2) - up;
    }
  } else {
    Fill(positions,
         {V(bx - 0.5, by + 1.5), V(bx - 0.5, by - 1.5), V(bx - 3, by + 2), V(bx - 3, by - 2),
          V(bx - 1.5, by), V(bx - 3, by), q(13), q(9), short_of_k(1) - up, q(1)});
    if (bx >= 10.0) {
      positions[6] = q(5);
      positions[8] = q(13);
    }
  }

  // Close to the own goal the defenders crowd round the ball and cover for an absent
  // keeper.
  const bool keeper_out = keeper_goal_distance >= KEEPER_OUT_DISTANCE;
  if (bx < -11.0) {
    if (keeper_out) {
      positions[0] = V(-14.5, 0.8);
      positions[1] = V(-14.5, -0.8);
    }
    if (-5.0 < by && by < 5.0) {
      positions[0] = V(-14, -2.5 * s);
      positions[1] = V(-14, by + 2 * s);
      positions[2] = V(-12, by + 3);
      positions[3] = V(-12, by + 1.5);
      positions[4] = V(-12, by - 1.5);
      positions[5] = V(-12, by - 3);
      positions[6] = V(-10, by - 2.5);
      if (keeper_out) {
        positions[0] = V(-14.5, by - 0.8);
        positions[1] = V(-14.5, by + 0.8);
      }
    }
  }
  if (IsPressing(m.info)) {
    if (bx < -8.0) {
      positions[7] = V(bx + 3, 2);
      positions[8] = V(bx + 3, -2);
    } else if (bx < 3.0) {
      positions[7] = q(3);
      positions[8] = q(5);
    }
  }
}

Eigen::Vector2d StrategyZAMP::DecidePosition() {
  const Models m = FetchModels();
  const V own = Tool::RemoveVectZ(m.agent.GetCoordinates());
  const int me = m.agent.GetUniformNumber();
  Eigen::Vector2d positions[POSITION_NUM];
  SettingPosition(positions);

  // The field players that are heard and not dribbling, in uniform-number order.
  wex::Test& test = assignment_test_;
  test.starts.clear();
  test.targets.clear();
  int own_start = -1;
  for (int unum = UNIFORM_KEEPER_NUMBER + 1; unum <= MAX_TEAM_AGENT_NUM; ++unum) {
    const ShareData* record = AgentDataOf(unum);
    if (!record->is_existence || unum == drrible_agent_unum_) continue;
    if (unum == me) own_start = static_cast<int>(test.starts.size());
    test.starts.push_back(wex::Point{record->agent_coord.x(), record->agent_coord.y()});
  }
  const int n = static_cast<int>(test.starts.size());
  if (n == 0) return V(0.0, 0.0);
  // A point that cannot be reached leaves the agent where it is.
  if (own_start < 0) return positions[0].allFinite() ? positions[0] : own;
  if (!AllFinite(positions, n)) return own;
  for (int i = 0; i < n; ++i)
    test.targets.push_back(wex::Point{positions[i].x(), positions[i].y()});

  wex::mmd_msd2(test, assignment_);
  for (const auto& entry : assignment_) {
    const int target = entry.second.second;
    if (entry.second.first == own_start && target >= 0 && target < n) return positions[target];
  }
  return own;
}

// A field player side-steps a ball behind it within 2 m along x and 1.8 m along y, and
// steps onto its point from within 1 m, facing the ball.
const StrategyZAMP::PositionWalk StrategyZAMP::GAME_POSITION_WALK{4.0, 3.6, 1.0, -0.4, 240.0, 0.0};

void StrategyZAMP::Position() { PositionWith(GAME_POSITION_WALK); }

void StrategyZAMP::PositionWith(const PositionWalk& walk) {
  const Models m = FetchModels();
  const Ball& seen_ball = m.field.GetBall();
  const V own = Tool::RemoveVectZ(m.agent.GetCoordinates());
  V target = DecidePosition();

  V ball = most_ball_update_->ball_coord;
  double ball_turn = m.info.CulcDirectionDiff(ball);  // degrees
  if (seen_ball.IsVisible()) {
    ball = Tool::RemoveVectZ(seen_ball.GetAbsoluteCoordinates());
    ball_turn = seen_ball.GetHorizonDegree();
  }
  // A team ball without a finite position gives no direction to face.
  if (!std::isfinite(ball_turn)) ball_turn = 0.0;
  const double distance = Tool::CulcDistance(own, target);

  // Do not walk through a ball behind: pass it on its far side.
  const V& local = m.info.GetBallLocalCoordinates();
  if (local.x() <= 0.0 && Tool::InRectangle(ball.x(), ball.y(), own.x(), own.y(),
                                            walk.side_step_box_width, walk.side_step_box_length)) {
    target.y() = local.y() > 0.0 ? ball.y() - SIDE_STEP_DISTANCE : ball.y() + SIDE_STEP_DISTANCE;
  }

  const double direction = m.info.CulcDirectionDiff(target);  // degrees
  const V toward = Tool::PolarToCartesian(direction);
  const double c = toward.x();
  const double s = toward.y();
  if (distance < walk.near_distance) {
    // Step onto the point while facing the ball.
    walk_->SettingSpeed(Tool::LimitParam(c * distance, walk.near_min_forward, 1.0), s * distance,
                        ball_turn / walk.near_turn_scale);
    if (std::abs(ball_turn) < walk.near_stop_degree) walk_->SetStop(true);
  } else {
    walk_->SettingSpeed(Tool::LimitParam(c, FAR_MIN_FORWARD, 1.0), s,
                        Tool::LimitParam(direction / FAR_TURN_SCALE, -FAR_MAX_TURN, FAR_MAX_TURN));
  }
  Evade(target);
}

}  // namespace zamp
