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

// One formation point: the set play, the team ball and kick target, the keeper at home or
// never heard, and the expected point.
struct Cell {
  const char* name;
  KickModeID kick_mode;
  V ball;
  V kick_target;
  bool keeper_in_goal;
  int index;
  V expected;
};

class StrategyZAMPPositionTest : public StrategyFixture<> {
 protected:
  // The team ball at `ball` (reported by mate 3, far away), the team kick target, the set
  // play, and the keeper in its goal or never heard; then the ten formation points.
  void Formation(const V& ball, const V& kick_target, KickModeID kick_mode, bool keeper_in_goal) {
    NewStrategy();
    Mate(3, V(0.0, -9.0), ball);
    if (keeper_in_goal) Mate(1, V(-14.5, 0.0), ball);
    Elect();
    Access::KickTarget(strategy()) = kick_target;
    world_.SetKickMode(kick_mode, false, false);
    Access::SettingPosition(strategy(), points_);
  }

  void CheckCells(const std::vector<Cell>& cells) {
    for (const Cell& c : cells) {
      SCOPED_TRACE(testing::Message() << c.name << " point " << c.index);
      Formation(c.ball, c.kick_target, c.kick_mode, c.keeper_in_goal);
      EXPECT_NEAR(points_[c.index].x(), c.expected.x(), 1e-6);
      EXPECT_NEAR(points_[c.index].y(), c.expected.y(), 1e-6);
    }
  }

  V points_[StrategyZAMP::POSITION_NUM];
};

TEST_F(StrategyZAMPPositionTest, OneCellOfEverySetPlayRow) {
  const V goal(15, 0);
  // clang-format off
  const std::vector<Cell> cells = {
      {"our kick-off", KM_KICK_OFF_US, {0, 0}, goal, true, 0, {-1, 3.5}},
      {"our kick-off", KM_KICK_OFF_US, {0, 0}, goal, true, 6, {-1.5, -6}},
      {"our kick-off, Q(5)", KM_KICK_OFF_US, {0, 0}, goal, true, 7, {-9, 0}},
      {"their kick-off, fixed", KM_KICK_OFF_ENEMY, {0.5, 0.5}, goal, true, 0, {-13, -5}},
      {"their kick-off, follows the ball", KM_KICK_OFF_ENEMY, {0.5, 0.5}, goal, true, 3, {-3.5, 5.5}},
      {"their kick-off, follows the ball", KM_KICK_OFF_ENEMY, {0.5, 0.5}, goal, true, 5, {-2, 0.5}},
      {"their kick-off, fixed", KM_KICK_OFF_ENEMY, {0.5, 0.5}, goal, true, 9, {-4, 0}},
      {"our kick-in, 1 = 3", KM_KICK_IN_US, {2, -10}, goal, true, 1, {-1, -12}},
      {"our kick-in, 1 = 3", KM_KICK_IN_US, {2, -10}, goal, true, 3, {-1, -12}},
      {"our kick-in, L up", KM_KICK_IN_US, {2, -10}, goal, true, 5, {12.304111858359802, -0.5737601089539979}},
      {"our kick-in, L down", KM_KICK_IN_US, {2, -10}, goal, true, 6, {12.304111858359802, -3.573760108953998}},
      {"their kick-in, R(dBG-3, 0)", KM_KICK_IN_ENEMY, {-5, 10}, goal, true, 0, {-7.121320343559642, 7.878679656440357}},
      {"their kick-in, R(dBG-3, -12)", KM_KICK_IN_ENEMY, {-5, 10}, goal, true, 2, {-5.655418788320622, 6.068441994115382}},
      {"their kick-in, R(dBG-5.5, 0)", KM_KICK_IN_ENEMY, {-5, 10}, goal, true, 5, {-8.88908729652601, 6.110912703473988}},
      {"their kick-in, Q(3)", KM_KICK_IN_ENEMY, {-5, 10}, goal, true, 6, {-11.99310580513265, 2.229882438741499}},
      {"our corner, M", KM_CORNER_KICK_US, {15, 10}, {12, 0}, true, 8, {11.287347885566344, -0.5421737147788495}},
      {"our corner, Q(13)", KM_CORNER_KICK_US, {15, 10}, {12, 0}, true, 6, {-1.7101512388584617, 4.237878883152254}},
      {"our goal kick, N", KM_GOAL_KICK_US, {-13, 2}, goal, true, 4, {-4.716331557615147, 1.4083093969725105}},
      {"our goal kick", KM_GOAL_KICK_US, {-13, 2}, goal, true, 9, {-11, 2}},
      {"their goal kick", KM_GOAL_KICK_ENEMY, {10, -3}, goal, true, 2, {-1, 3}},
      {"their goal kick, Q(3)", KM_GOAL_KICK_ENEMY, {10, -3}, goal, true, 6, {-11.023166369858997, -0.3721042037676254}},
      {"their corner: open play", KM_CORNER_KICK_ENEMY, {0, 0}, goal, true, 0, {-0.5, 1.5}},
      {"free kick: open play", KM_FREE_KICK_US, {0, 0}, goal, true, 4, {-1.5, 0}},
      {"goal: open play", KM_GOAL_US, {0, 0}, goal, true, 5, {-3, 0}},
  };
  // clang-format on
  CheckCells(cells);
}

TEST_F(StrategyZAMPPositionTest, OpenPlayRowsByTheBallsX) {
  const V goal(15, 0);
  const KickModeID NO = KM_NO_KICK_MODE;
  // clang-format off
  const std::vector<Cell> cells = {
      // -11 belongs to the row from -11 to -8, which has no goal-area adjustment.
      {"bx = -11", NO, {-11, 2}, goal, false, 0, {-14, 2.5}},
      {"bx = -11", NO, {-11, 2}, goal, false, 2, {-12, 0.5}},
      {"bx = -11", NO, {-11, 2}, goal, false, 7, {1.9617083115205602, 1.0029455144984185 + 1.5}},
      {"bx = -11", NO, {-11, 2}, goal, false, 9, {-11, 4}},
      {"bx = -8", NO, {-8, 1}, goal, true, 0, {-8.5, 2.5}},
      {"bx = -8", NO, {-8, 1}, goal, true, 6, {-14, 1}},
      {"bx = -8, L", NO, {-8, 1}, goal, true, 8, {4.9877300586157745, 0.43531608440800984 - 1.5}},
      {"bx = -3, Q(9)", NO, {-3, 1}, goal, true, 6, {-5.036961141790666, 0.8148217143826668}},
      {"bx = -3, L2", NO, {-3, 1}, goal, true, 7, {13.003079293589174, 0.11094003924504581 + 1.5}},
      {"bx = 3, Q(13)", NO, {3, 1}, goal, true, 6, {-1.022433148725053, 0.7633862853691146}},
      {"bx = 3, Q(9)", NO, {3, 1}, goal, true, 7, {-5.015530641425038, 0.5284981975632331}},
      {"bx = 3, L1", NO, {3, 1}, goal, true, 8, {14.00345424175512, 0.08304547985373978 - 1.5}},
      {"bx = 9.99, L1", NO, {9.99, 1}, goal, true, 8, {14.019344112059771, 0.19573969819166226 - 1.5}},
      {"bx = 10, Q(5)", NO, {10, 1}, goal, true, 6, {-9.00433463453824, 0.20815272356090664}},
      {"bx = 10, Q(13)", NO, {10, 1}, goal, true, 8, {-1.0112700497994247, 0.5411970812583572}},
      {"bx = 10", NO, {10, 1}, goal, true, 5, {7, 1}},
  };
  // clang-format on
  CheckCells(cells);
}

TEST_F(StrategyZAMPPositionTest, CloseToTheOwnGoalDefendersCoverTheKeeper) {
  const V goal(15, 0);
  const KickModeID NO = KM_NO_KICK_MODE;
  // clang-format off
  const std::vector<Cell> cells = {
      {"wide ball, keeper home", NO, {-12, 6}, goal, true, 0, {-14, 2.5}},
      {"wide ball, keeper out", NO, {-12, 6}, goal, false, 0, {-14.5, 0.8}},
      {"wide ball, keeper out", NO, {-12, 6}, goal, false, 1, {-14.5, -0.8}},
      {"central ball, keeper home", NO, {-12, 2}, goal, true, 0, {-14, -2.5}},
      {"central ball, keeper home", NO, {-12, 2}, goal, true, 1, {-14, 4}},
      {"central ball", NO, {-12, 2}, goal, true, 2, {-12, 5}},
      {"central ball", NO, {-12, 2}, goal, true, 5, {-12, -1}},
      {"central ball", NO, {-12, 2}, goal, true, 6, {-10, -0.5}},
      {"central ball, keeper out", NO, {-12, 2}, goal, false, 0, {-14.5, 1.2}},
      {"central ball, keeper out", NO, {-12, 2}, goal, false, 1, {-14.5, 2.8}},
      {"central ball right", NO, {-12, -2}, goal, true, 0, {-14, 2.5}},
      {"central ball right", NO, {-12, -2}, goal, true, 1, {-14, -4}},
      {"by = 5 is wide", NO, {-12, 5}, goal, true, 0, {-14, 2.5}},
  };
  // clang-format on
  CheckCells(cells);
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
      {{0, 0}, AgentState::MS_DRRIBLE, 1.9, {-11, 0}},
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
    V ball;
    V expected;
  };
  // clang-format off
  const Case cases[] = {
      {{-13, 2}, {-4.716331557615147, 1.4083093969725105}},
      {{15, 0}, {15, 0}},                    // ln 1 = 0
      {{15.5, 0}, {17.209511291351454, 0}},  // a negative distance: beyond the ball
      {{16, 3}, {16, 3}},
      {{40, -2}, {40, -2}},
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
      const V target = Access::DecidePosition(strategy());
      EXPECT_EQ(target, V(-4.0, 1.0)) << bad << " for " << unum;
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
      EXPECT_TRUE(std::isfinite(walk().GetVerticalSpeed()));
      EXPECT_TRUE(std::isfinite(walk().GetHorizonSpeed()));
      EXPECT_TRUE(std::isfinite(walk().GetRotationSpeed()));
      EXPECT_TRUE(std::isfinite(world_.joints().GetSpeed(HJ_HJ1)));
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
    V target;
    V ball;
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
      {"far right", {0, -5}, {5, 0}, true, {0.2, -1.0}, -0.5},
      {"exactly 1 m is far", {1, 0}, {5, 5}, true, {1.0, 0.0}, 0.0},
      {"near: step while facing the ball", {0.3, 0.4}, {2, 2}, true, {0.3, 0.4}, 45.0 / 240.0},
      {"near behind: back at most 0.4", {-0.9, 0}, {2, -2}, true, {-0.4, 0.0}, -45.0 / 240.0},
      {"near, ball unseen: face the team ball", {0.3, 0.4}, {0, 2}, false, {0.3, 0.4}, 90.0 / 240.0},
      // Ball behind on the right: pass it on its left, 3 m to the side.
      {"side step left", {5, 0}, {-1, -1}, true, {5 / std::hypot(5.0, 2.0), 2 / std::hypot(5.0, 2.0)}, std::atan2(2.0, 5.0) * 180.0 / 3.141592653589793 / 180.0},
      {"side step right", {5, 0}, {-1, 1}, true, {5 / std::hypot(5.0, 2.0), -2 / std::hypot(5.0, 2.0)}, -std::atan2(2.0, 5.0) * 180.0 / 3.141592653589793 / 180.0},
      {"side step box edge", {5, 0}, {-2, 1.8}, true, {5 / std::hypot(5.0, 1.2), -1.2 / std::hypot(5.0, 1.2)}, -std::atan2(1.2, 5.0) * 180.0 / 3.141592653589793 / 180.0},
      {"ball behind outside the box", {5, 0}, {-2.1, 1}, true, {1.0, 0.0}, 0.0},
      {"ball ahead", {5, 0}, {1, 1}, true, {1.0, 0.0}, 0.0},
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
