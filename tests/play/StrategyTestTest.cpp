// The trial formation: its table of points, and the ball it is built from.
#include <gtest/gtest.h>

#include "play/StrategyTest.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;

class StrategyTestTest : public StrategyFixture<StrategyTest> {
 protected:
  StrategyTestTest() : StrategyFixture(2) {}
};

// One point of every row, and the boundary of the pressed ball. B is the latest heard ball, K the team's kick target,
// e the team's distance from the ball to its nearest opponent.
TEST_F(StrategyTestTest, FormationTable) {
  struct Case {
    const char* name;
    KickModeID kick_mode;
    V ball;
    double enemy_distance;  // m
    int index;
    V point;
  };
  const V K(12.0, 3.0);
  const double FREE = 9999.9;
  const KickModeID OPEN = KM_NO_KICK_MODE;
  // clang-format off
  const Case cases[] = {
      {"our kick-off: fixed wing", KM_KICK_OFF_US, {0, 0}, FREE, 5, {-0.5, 5}},
      {"their kick-off: P(-15, 3)", KM_KICK_OFF_ENEMY, {0, 0}, FREE, 6, {-12, 0}},
      {"our kick-in: K", KM_KICK_IN_US, {5, 10}, FREE, 5, K},
      {"their kick-in: on the ball's side", KM_KICK_IN_ENEMY, {3, -10}, FREE, 3, {-13, -3}},
      {"our corner: P(14, 5)", KM_CORNER_KICK_US, {15, 10}, FREE, 0, {14.497519, 4.975186}},
      // ln(29) / ln(1.5) = 8.3048 m towards the opponent goal.
      {"our goal kick: N", KM_GOAL_KICK_US, {-13, 0}, FREE, 4, {-4.695227, 0}},
      {"their goal kick", KM_GOAL_KICK_ENEMY, {13, 3}, FREE, 2, {2, 9}},
      {"goal area, pressed: in front of the ball", OPEN, {-13.5, -1}, 1.0, 3, {-11.5, -3}},
      {"near the goal area, pressed: behind the ball", OPEN, {-12, 1}, 2.4, 4, {-14, 1}},
      {"near the goal area, free", OPEN, {-12, 1}, 2.5, 4, {-10.5, 1}},
      {"own half, free: K", OPEN, {-5, 2}, FREE, 5, K},
      {"own half, pressed: A(14, 2)", OPEN, {-5, 2}, 1.5, 5, {-3.010989, 1.790630}},
      {"their half, free", OPEN, {5, -3}, 3.0, 5, {14.5, 0}},
      {"their half, pressed: A(15, 2)", OPEN, {5, -3}, 1.0, 5, {6.915653, -2.425304}},
      {"in front of their goal", OPEN, {13, 2}, 1.0, 5, {10.5, 2}},
      {"our free kick plays open", KM_FREE_KICK_US, {13, 2}, 1.0, 5, {10.5, 2}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.SetKickMode(c.kick_mode, true, false);
    Mate(1, V(-14.5, 0.0), c.ball);
    Access::KickTarget(strategy()) = K;
    Access::TeamBallEnemyDistance(strategy()) = c.enemy_distance;
    V positions[StrategyZAMP::POSITION_NUM];
    Access::SettingPosition(strategy(), positions);
    EXPECT_NEAR(positions[c.index].x(), c.point.x(), 1e-6);
    EXPECT_NEAR(positions[c.index].y(), c.point.y(), 1e-6);
  }
}

// Mate 3 saw the ball at (5, -3) when it spoke, so the team trusts that sighting; mate 4
// spoke last, of a ball at (-5, 2) seen 5 s earlier. The trial formation follows mate 4.
TEST_F(StrategyTestTest, FollowsTheLatestHeardBall) {
  ShareMessageZAMP::SayValues say;
  say.server_cycle = 500;
  say.uniform_number = 3;
  say.ball_update_time = 10.0;
  say.ball_coord = V(5.0, -3.0);
  world_.SetServerTime(10.04);
  world_.Hear(StrategyWorld::Message(say));
  strategy().UpdateHear();
  say.uniform_number = 4;
  say.ball_update_time = 5.0;
  say.ball_coord = V(-5.0, 2.0);
  world_.SetServerTime(10.08);
  world_.Hear(StrategyWorld::Message(say));
  strategy().UpdateHear();
  ASSERT_EQ(Access::LatestHeard(strategy()), &Access::Record(strategy(), 4));
  ASSERT_EQ(Access::TrustedBall(strategy()), &Access::Record(strategy(), 3));

  // Both mates report an opponent at the ball (e = 0): A(14, 2) from (-5, 2), within the
  // codec's resolution of the ball.
  V positions[StrategyZAMP::POSITION_NUM];
  Access::SettingPosition(strategy(), positions);
  EXPECT_NEAR(positions[5].x(), -3.010989, 0.05);
  EXPECT_NEAR(positions[5].y(), 1.790630, 0.05);
}

}  // namespace
}  // namespace test
}  // namespace zamp
