#include "play/StrategyTest.h"

#include "core/Tool.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

typedef Eigen::Vector2d V;

// Close to the own goal the defence packs in while an opponent is within this (m) of the
// ball; elsewhere the support moves up or falls back at this distance (m).
const double DEFENCE_ENEMY_DISTANCE = 2.5;
const double SUPPORT_ENEMY_DISTANCE = 2.0;
// The area in front of the opponent goal (centre x, y, width along x, length along y).
const StrategyZAMP::Zone GOAL_FRONT{15.0, 0.0, 6.0, 6.0};

}  // namespace

void StrategyTest::SettingPosition(Eigen::Vector2d positions[POSITION_NUM]) {
  const Models m = FetchModels();
  const V b = current_agent_update_->ball_coord;
  const double bx = b.x();
  const double by = b.y();
  const V k = kick_target_coord_;
  const double s = by < 0.0 ? -1.0 : 1.0;
  const double e = team_ball_nearest_enemy_dist_;
  const auto q = [&](double r) { return DefencePoint(b, r); };
  // The point r m from (c, 0) towards the ball.
  const auto p = [&](double c, double r) { return PointToward(V(c, 0.0), b, r); };
  // The point r m from the ball towards (t, 0).
  const auto a = [&](double t, double r) { return PointToward(b, V(t, 0.0), r); };

  switch (m.world.GetKickMode()) {
    case KM_KICK_OFF_US:
      Fill(positions, {V(bx - 1, by + 2), V(bx - 1, by - 2), V(bx - 3, by + 2), V(bx - 3, by - 2),
                       V(bx - 2, by), V(-0.5, 5), V(-0.5, -5), q(5), q(9), q(1)});
      return;
    case KM_KICK_OFF_ENEMY:
      Fill(positions, {V(-13, -1), V(-13, 0), V(-13, 1), V(bx - 6, by + 5), V(bx - 6, by - 5),
                       V(bx - 3.3, by), p(-15, 3), q(5), q(9), p(-15, 1)});
      return;
    case KM_KICK_IN_US:
      Fill(positions, {V(bx - 1, by + 2), V(bx - 1, by - 2), V(bx - 3, by + 2), V(bx - 3, by - 2),
                       V(bx - 2, by), k, k, q(5), q(9), q(1)});
      return;
    case KM_KICK_IN_ENEMY:
      Fill(positions, {V(-13, -1), V(-13, 0), V(-13, 1), V(-13, 3 * s), p(-12, 3), p(-13, 5),
                       p(-15, 3), q(5), q(9), p(-15, 1)});
      return;
    case KM_CORNER_KICK_US:
      Fill(positions, {p(14, 5), p(14, 4), p(13, 5), p(13, 4), p(12, 5), p(12, 4), p(14.5, 5), q(5),
                       q(9), q(1)});
      return;
    case KM_GOAL_KICK_US:
      Fill(positions,
           {V(bx + 1, by + 2), V(bx + 1, by - 2), V(bx + 2, by + 1), V(bx + 2, by - 1),
            GoalKickPoint(b), k, k, V(bx + 1, by + 3), V(bx + 1, by - 3), V(bx + 2, by)});
      return;
    case KM_GOAL_KICK_ENEMY:
      Fill(positions,
           {V(bx - 1.3, by + 2), V(bx - 1.3, by - 2), V(bx - 11, by + 6), V(bx - 11, by - 6),
            V(bx - 1.5, by), V(bx - 11, by), q(3), q(5), q(9), q(1)});
      return;
    default:
      break;
  }

  // Open play, the first matching row.
  if (bx < -10.0 && e < DEFENCE_ENEMY_DISTANCE) {
    // In the goal area the line steps out in front of the ball, farther out it drops back.
    const double x = bx < -13.0 ? bx + 2 : bx - 2;
    Fill(positions, {V(-12, 2), V(-12, -2), V(-13, 0), V(x, by - 2), V(x, by), V(x, by + 2),
                     V(-10, 0), V(-10, 2 * s), V(-11, 2 * s), V(-11, 4 * s)});
  } else if (bx < 0.0) {
    if (e >= SUPPORT_ENEMY_DISTANCE) {
      Fill(positions, {V(bx - 1, by + 2), V(bx - 1, by - 2), V(bx + 1, by + 2), V(bx + 1, by - 2),
                       V(bx + 1.5, by), k, k, q(5), q(9), q(1)});
    } else {
      Fill(positions, {V(bx - 1, by + 2), V(bx - 1, by - 2), V(bx - 3, by + 2), V(bx - 3, by - 2),
                       V(bx - 2, by), a(14, 2), a(14, 4), q(5), q(9), q(1)});
    }
  } else if (Tool::InRectangle(bx, by, GOAL_FRONT.x, GOAL_FRONT.y, GOAL_FRONT.width,
                               GOAL_FRONT.length)) {
    Fill(positions,
         {V(bx - 1.5, by + 1.8), V(bx - 1.5, by - 1.8), V(bx + 0.8, by + 1.1),
          V(bx + 0.8, by - 1.1), V(bx - 1.3, by), V(bx - 2.5, by), q(15), q(5), q(3), q(1)});
  } else if (e >= SUPPORT_ENEMY_DISTANCE) {
    Fill(positions, {V(bx - 1, by + 1.4), V(bx - 1, by - 1.4), V(bx + 1, by + 2), V(bx + 1, by - 2),
                     V(bx + 1.5, by), V(14.5, 0), q(13), q(7), q(3), q(1)});
  } else {
    Fill(positions, {V(bx - 1, by + 1.4), V(bx - 1, by - 1.4), V(bx - 3, by + 2), V(bx - 3, by - 2),
                     V(bx - 2, by), a(15, 2), q(13), q(7), q(3), q(1)});
  }
}

}  // namespace zamp
