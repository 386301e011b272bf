// Formation and positioning of the game strategy.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/const.h"
#include "play/StrategyZAMP.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;
const double kTolerance = 1e-9;

class StrategyZAMPPositionTest : public StrategyFixture<> {
 protected:
  V points_[StrategyZAMP::POSITION_NUM];
};

// One cell of every set-play row and of every row of the ball's x in open play. The team
// ball is reported by mate 3, far away; the keeper is in its goal or was never heard.
TEST_F(StrategyZAMPPositionTest, FormationCells) {
  struct Cell {
    const char* name;
    KickModeID kick_mode;
    V ball, kick_target;
    bool keeper_in_goal;
    int index;
    V expected;
  };
  const V goal(15, 0);
  const KickModeID NO = KM_NO_KICK_MODE;
  // clang-format off
  const Cell cells[] = {
      {"our kick-off", KM_KICK_OFF_US, {0, 0}, goal, true, 0, {-1, 3.5}},
      {"their kick-off, follows the ball", KM_KICK_OFF_ENEMY, {0.5, 0.5}, goal, true, 5, {-2, 0.5}},
      {"our kick-in, L up", KM_KICK_IN_US, {2, -10}, goal, true, 5, {12.304111858359802, -0.5737601089539979}},
      {"their kick-in, R(dBG-3, 0)", KM_KICK_IN_ENEMY, {-5, 10}, goal, true, 0, {-7.121320343559642, 7.878679656440357}},
      {"our corner, M", KM_CORNER_KICK_US, {15, 10}, {12, 0}, true, 8, {11.287347885566344, -0.5421737147788495}},
      {"our goal kick", KM_GOAL_KICK_US, {-13, 2}, goal, true, 9, {-11, 2}},
      {"their goal kick", KM_GOAL_KICK_ENEMY, {10, -3}, goal, true, 2, {-1, 3}},
      {"their corner: open play", KM_CORNER_KICK_ENEMY, {0, 0}, goal, true, 0, {-0.5, 1.5}},
      {"free kick: open play", KM_FREE_KICK_US, {0, 0}, goal, true, 4, {-1.5, 0}},
      // -11 belongs to the row from -11 to -8, which has no goal-area adjustment.
      {"bx = -11", NO, {-11, 2}, goal, false, 0, {-14, 2.5}},
      {"bx = -8", NO, {-8, 1}, goal, true, 0, {-8.5, 2.5}},
      {"bx = -3, Q(9)", NO, {-3, 1}, goal, true, 6, {-5.036961141790666, 0.8148217143826668}},
      {"bx = 3, Q(13)", NO, {3, 1}, goal, true, 6, {-1.022433148725053, 0.7633862853691146}},
      {"bx = 9.99, L1", NO, {9.99, 1}, goal, true, 8, {14.019344112059771, 0.19573969819166226 - 1.5}},
      {"bx = 10", NO, {10, 1}, goal, true, 5, {7, 1}},
      // Close to the own goal the defenders cover the keeper, or its goal while it is out.
      {"wide ball, keeper home", NO, {-12, 6}, goal, true, 0, {-14, 2.5}},
      {"wide ball, keeper out", NO, {-12, 6}, goal, false, 0, {-14.5, 0.8}},
      {"by = 5 is wide", NO, {-12, 5}, goal, true, 0, {-14, 2.5}},
      {"central ball, keeper home", NO, {-12, 2}, goal, true, 0, {-14, -2.5}},
      {"central ball, keeper out", NO, {-12, 2}, goal, false, 0, {-14.5, 1.2}},
      {"central ball right", NO, {-12, -2}, goal, true, 0, {-14, 2.5}},
  };
  // clang-format on
  for (const Cell& c : cells) {
    SCOPED_TRACE(testing::Message() << c.name << " point " << c.index);
    NewStrategy();
    Mate(3, V(0.0, -9.0), c.ball);
    if (c.keeper_in_goal) Mate(1, V(-14.5, 0.0), c.ball);
    Elect();
    Access::KickTarget(strategy()) = c.kick_target;
    world_.SetKickMode(c.kick_mode, false, false);
    Access::SettingPosition(strategy(), points_);
    EXPECT_NEAR(points_[c.index].x(), c.expected.x(), 1e-6);
    EXPECT_NEAR(points_[c.index].y(), c.expected.y(), 1e-6);
  }
}

TEST_F(StrategyZAMPPositionTest, PressedBallPullsTwoPointsBack) {
  struct Case {
    V ball;
    AgentState::MoveState drribler_state;
    double enemy_distance;  // m
    V point7;
  };
  // clang-format off
  const Case cases[] = {
      {{-9, 1}, AgentState::MS_DRRIBLE, 1.9, {-6, 2}},
      {{2.99, 0}, AgentState::MS_DRRIBLE, 1.9, {-11, 0}},
      // Not pressed: L2 + (0, 1.5).
      {{0, 0}, AgentState::MS_DRRIBLE, 2.0, {13, 1.5}},
      {{0, 0}, AgentState::MS_ADJUST_KICK, 1.9, {13, 1.5}},
      // No change from bx = 3 on.
      {{3, 0}, AgentState::MS_DRRIBLE, 1.9, {-5, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ball.x() << " " << c.enemy_distance);
    NewStrategy();
    Mate(3, c.ball - V(0.5, 0), c.ball).move_state = c.drribler_state;
    Elect();
    ASSERT_EQ(Drribler(), 3);
    Access::TeamBallEnemyDistance(strategy()) = c.enemy_distance;
    Access::SettingPosition(strategy(), points_);
    EXPECT_NEAR(points_[7].x(), c.point7.x(), kTolerance);
    EXPECT_NEAR(points_[7].y(), c.point7.y(), kTolerance);
  }
  // Nobody elected: no pressing.
  Access::Drribler(strategy()) = StrategyZAMP::NO_ONE_DRRIBLE;
  Access::TeamBallEnemyDistance(strategy()) = 0.5;
  Mate(3, V(-0.5, 0), V(0, 0));
  Access::SettingPosition(strategy(), points_);
  EXPECT_NEAR(points_[7].x(), 13.0, kTolerance);
}

TEST_F(StrategyZAMPPositionTest, TheGoalKickPointNeedsTheBallShortOfSixteen) {
  struct Case {
    V ball, expected;
  };
  // clang-format off
  const Case cases[] = {
      {{-13, 2}, {-4.716331557615147, 1.4083093969725105}},
      {{15, 0}, {15, 0}},                    // ln 1 = 0
      {{15.5, 0}, {17.209511291351454, 0}},  // a negative distance: beyond the ball
      {{16, 3}, {16, 3}},                    // 16 - bx = 0: the ball
      {{std::numeric_limits<double>::infinity(), 0}, {std::numeric_limits<double>::infinity(), 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ball.x());
    NewStrategy();
    Mate(3, V(0, 0), c.ball);
    Elect();
    world_.SetKickMode(KM_GOAL_KICK_US, true, false);
    Access::SettingPosition(strategy(), points_);
    if (std::isfinite(c.expected.x())) {
      EXPECT_NEAR(points_[4].x(), c.expected.x(), 1e-6);
      EXPECT_NEAR(points_[4].y(), c.expected.y(), 1e-6);
    } else {
      EXPECT_FALSE(std::isnan(points_[4].x()));
    }
  }
}

TEST_F(StrategyZAMPPositionTest, AssignmentHandsOutTheFirstPointsToTheHeardFieldPlayers) {
  // Open play round the centre spot: point 0 (-0.5, 1.5), point 1 (-0.5, -1.5), point 2
  // (-3, 2).
  world_.PlaceAgent(-1.0, -2.0, 0.0);
  EXPECT_EQ(Access::DecidePosition(strategy()), V(0, 0)) << "nobody heard";

  Mate(5, V(-0.5, 0.0), V(0.0, 0.0));   // on the ball: the dribbler
  Mate(1, V(-14.0, 0.0), V(0.0, 0.0));  // the keeper never takes a point
  Elect();
  ASSERT_EQ(Drribler(), 5);
  EXPECT_EQ(Access::DecidePosition(strategy()), V(0, 0)) << "no field player to assign";

  Mate(3, V(-1.0, 2.0), V(0.0, 0.0));
  Elect();
  EXPECT_EQ(Access::DecidePosition(strategy()), V(-0.5, 1.5)) << "own record not heard";

  Mate(2, V(-1.0, -2.0), V(0.0, 0.0));
  Mate(4, V(-3.0, 3.0), V(0.0, 0.0));
  Elect();
  ASSERT_EQ(Drribler(), 5);
  EXPECT_EQ(Access::DecidePosition(strategy()), V(-0.5, -1.5));
  world_.agent().SetUniformNumber(3);
  EXPECT_EQ(Access::DecidePosition(strategy()), V(-0.5, 1.5));
  world_.agent().SetUniformNumber(4);
  EXPECT_EQ(Access::DecidePosition(strategy()), V(-3.0, 2.0));
  world_.agent().SetUniformNumber(5);
  EXPECT_EQ(Access::DecidePosition(strategy()), V(-0.5, 1.5)) << "the dribbler";
  world_.agent().SetUniformNumber(1);
  EXPECT_EQ(Access::DecidePosition(strategy()), V(-0.5, 1.5)) << "the keeper";
}

TEST_F(StrategyZAMPPositionTest, FormationPointsThatAreNotFiniteLeaveTheAgentWhereItIs) {
  world_.PlaceAgent(-4.0, 1.0, 0.0);
  for (double bad :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    NewStrategy();
    Mate(2, V(-4.0, 1.0), V(bad, 0.0));
    Mate(3, V(-1.0, 2.0), V(bad, 0.0));
    Elect();
    for (int unum : {2, 4}) {
      world_.agent().SetUniformNumber(unum);
      EXPECT_EQ(Access::DecidePosition(strategy()), V(-4.0, 1.0)) << bad << " for " << unum;
    }
    // The agent steps onto its own place facing the team ball, which it does not see.
    world_.agent().SetUniformNumber(2);
    world_.PlaceBall(1.0, 0.0, false);
    world_.Update();
    for (AgentState::MoveState state : {AgentState::MS_GOTO_POSITION, AgentState::MS_DRRIBLE}) {
      world_.SetMoveState(state);
      Access::Drribler(strategy()) = state == AgentState::MS_DRRIBLE ? 2 : 3;
      walk().SettingSpeed(0.5, 0.5, 0.5);
      strategy().Run();
      EXPECT_TRUE(std::isfinite(walk().GetVerticalSpeed() + walk().GetHorizonSpeed() +
                                walk().GetRotationSpeed() + world_.joints().GetSpeed(HJ_HJ1)));
    }
  }
}

// Position with the target given.
class FixedTargetStrategy : public StrategyZAMP {
 public:
  V target{0.0, 0.0};

 protected:
  V DecidePosition() override { return target; }
};

class StrategyZAMPPositionWalkTest : public StrategyFixture<FixedTargetStrategy> {};

TEST_F(StrategyZAMPPositionWalkTest, NearAndFarWalkTargetsAndTheSideStep) {
  struct Case {
    const char* name;
    V target, ball;
    bool ball_seen;
    V forward_side;  // forward and sideways targets
    double turn;
  };
  const double c53 = 0.6, s53 = 0.8;  // cos and sin of atan2(4, 3)
  const double d53 = std::atan2(4.0, 3.0) * 180.0 / 3.141592653589793;
  // clang-format off
  const Case cases[] = {
      {"far", {3, 4}, {5, 0}, true, {c53, s53}, d53 / 180.0},
      {"far behind: slow forward, turn limited", {-3, 0.001}, {5, 0}, true, {0.2, std::sin(std::atan2(0.001, -3.0))}, 0.5},
      {"exactly 1 m is far", {1, 0}, {5, 5}, true, {1.0, 0.0}, 0.0},
      {"near: step while facing the ball", {0.3, 0.4}, {2, 2}, true, {0.3, 0.4}, 45.0 / 240.0},
      {"near behind: back at most 0.4", {-0.9, 0}, {2, -2}, true, {-0.4, 0.0}, -45.0 / 240.0},
      {"near, ball unseen: face the team ball", {0.3, 0.4}, {0, 2}, false, {0.3, 0.4}, 90.0 / 240.0},
      // Ball behind on the right: pass it on its left, 3 m to the side.
      {"side step left", {5, 0}, {-1, -1}, true, {5 / std::hypot(5.0, 2.0), 2 / std::hypot(5.0, 2.0)}, std::atan2(2.0, 5.0) * 180.0 / 3.141592653589793 / 180.0},
      {"side step right", {5, 0}, {-1, 1}, true, {5 / std::hypot(5.0, 2.0), -2 / std::hypot(5.0, 2.0)}, -std::atan2(2.0, 5.0) * 180.0 / 3.141592653589793 / 180.0},
      {"side step box edge", {5, 0}, {-2, 1.8}, true, {5 / std::hypot(5.0, 1.2), -1.2 / std::hypot(5.0, 1.2)}, -std::atan2(1.2, 5.0) * 180.0 / 3.141592653589793 / 180.0},
      {"ball behind outside the box", {5, 0}, {-2.1, 1}, true, {1.0, 0.0}, 0.0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.PlaceAgent(0.0, 0.0, 0.0);
    // The team ball (from mate 3) and the own sighting are the same ball.
    NewStrategy();
    strategy().target = c.target;
    Mate(3, V(9, 9), c.ball);
    Elect();
    world_.PlaceBall(c.ball.x(), c.ball.y(), c.ball_seen);
    world_.Update();
    Access::Position(strategy());
    EXPECT_NEAR(walk().GetVerticalSpeed(), c.forward_side.x(), 1e-9);
    EXPECT_NEAR(walk().GetHorizonSpeed(), c.forward_side.y(), 1e-9);
    EXPECT_NEAR(walk().GetRotationSpeed(), c.turn, 1e-9);
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
