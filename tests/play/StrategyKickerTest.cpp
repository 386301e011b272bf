// The kicker: where it starts a kick, the corridor it dribbles in, and its long-kick
// distance.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "play/StrategyKicker.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;
const double kPi = 3.141592653589793;

class StrategyKickerTest : public StrategyFixture<StrategyKicker> {
 protected:
  StrategyKickerTest() : StrategyFixture(2) {}
};

// The elected dribbler in MS_DRRIBLE with nobody near the ball.
TEST_F(StrategyKickerTest, StartsAKickOnlyNearTheGoalOrInOurKickInsAndCorners) {
  typedef AgentState S;
  struct Case {
    const char* name;
    KickModeID kick_mode;
    bool can_kick_play;
    V agent;  // facing +x
    V ball;
    S::MoveState next;
  };
  const KickModeID NO = KM_NO_KICK_MODE;
  // clang-format off
  const Case cases[] = {
      {"at the foot, 5.9 m from the goal", NO, true, {8.6, 0}, {9.1, 0}, S::MS_ADJUST_KICK},
      // The game strategy would start the kick here.
      {"at the foot, 6.1 m from the goal", NO, true, {8.4, 0}, {8.9, 0}, S::MS_DRRIBLE},
      {"at the foot in midfield", NO, true, {0, 0}, {0.5, 0}, S::MS_DRRIBLE},
      {"our kick-in, ball 3 m away", KM_KICK_IN_US, true, {0, 0}, {3, 0}, S::MS_ADJUST_KICK},
      {"our corner, ball 3 m away", KM_CORNER_KICK_US, true, {12, 5}, {15, 5}, S::MS_ADJUST_KICK},
      {"their kick-in, ball 3 m away", KM_KICK_IN_ENEMY, false, {0, 0}, {3, 0}, S::MS_DRRIBLE},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.SetKickMode(c.kick_mode, c.can_kick_play, false);
    world_.PlaceAgent(c.agent.x(), c.agent.y(), 0.0);
    world_.PlaceBall(c.ball.x(), c.ball.y());
    world_.Update();
    Access::Drribler(strategy()) = 2;
    world_.SetMoveState(S::MS_DRRIBLE);
    Access::UpdateState(strategy());
    EXPECT_EQ(world_.agent().GetCurrentMoveState(), c.next);
  }
}

// The ball at (0, 3), 0.5 m ahead, with the agent 10 degrees off the line from the ball
// to the goal: outside the kicker's 5 m wide corridor the agent side-steps back onto the
// line (10 / 45); the game strategy lets 20 degrees pass anywhere on the field.
TEST_F(StrategyKickerTest, SideStepsOntoTheGoalLineOutsideItsCorridor) {
  const V ball(0.0, 3.0);
  const double goal_line = std::atan2(-3.0, 15.0) * 180.0 / kPi;  // degrees
  const double approach = goal_line + 10.0;
  const V agent =
      ball - 0.5 * V(std::cos(approach * kPi / 180.0), std::sin(approach * kPi / 180.0));
  world_.PlaceAgent(agent.x(), agent.y(), approach);
  world_.PlaceBall(ball.x(), ball.y());
  world_.Update();
  Access::Drrible(strategy());
  ExpectAdjustedWalkTargets(1.0, 10.0 / 45.0, 0.0);

  StrategyZAMP game;
  game.walk_ = world_.walk();
  Access::Drrible(game);
  ExpectAdjustedWalkTargets(1.0, 0.0, 0.0);
}

// The ball 2 m ahead at (0, 5), the agent more than 20 degrees off the line to the goal:
// outside the kicker's central field (|y| <= 4) the agent heads for the point 0.2 m beside
// the ball on the goal side, (-0.0632, 5.1897), 1.654 degrees to its left.
TEST_F(StrategyKickerTest, HeadsBesideAFarBallOutsideItsCentralField) {
  world_.PlaceAgent(0.0, 3.0, 90.0);
  world_.PlaceBall(0.0, 5.0);
  world_.Update();
  Access::Drrible(strategy());
  ExpectAdjustedWalkTargets(1.0, 0.0, 1.6543980823460865 / 45.0);

  StrategyZAMP game;
  game.walk_ = world_.walk();
  Access::Drrible(game);
  ExpectAdjustedWalkTargets(1.0, 0.0, 0.0);
}

// The long kick of robot types 0 and 2 is made at 0.183 m (window 0.168 to 0.198) instead
// of 0.18; the other types and the quick kick keep the table's distances.
TEST_F(StrategyKickerTest, LongKickDistance) {
  struct Case {
    const char* name;
    AgentTypeID type;
    V ball;  // (0, 0): long kick; (12, 0): quick kick
    double foot;
    const char* command;
  };
  const V L(0, 0), Q(12, 0);
  const AgentTypeID T0 = AGENT_TYPE_STANDARD, T2 = AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL;
  const AgentTypeID T4 = AGENT_TYPE_TOENAIL;
  // clang-format off
  const Case cases[] = {
      {"type 0, 0.197", T0, L, 0.197, "LongKick"},
      {"type 0, 0.199", T0, L, 0.199, ""},
      {"type 0, 0.167", T0, L, 0.167, ""},
      {"type 2, 0.167", T2, L, 0.167, ""},
      {"type 4, 0.201", T4, L, 0.201, "LongKick"},
      {"quick, 0.181", T0, Q, 0.181, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.agent().SetAgentType(c.type);
    LineUp(c.ball, 0.0, 0.0, c.foot);
    Access::AdjustKick(strategy());
    EXPECT_EQ(strategy().command_, c.command);
  }
}

// At 0.181 m a standard robot is still too close for its long kick and steps back, where
// the game strategy would approach slowly.
TEST_F(StrategyKickerTest, StepsBackInsideTheLongerKickDistance) {
  LineUp(V(0.0, 0.0), 3.0, -2.0, 0.181);
  Access::AdjustKick(strategy());
  ExpectAdjustedWalkTargets(-0.09, 3.0 / 45.0, 2.0 / 45.0);

  StrategyZAMP game;
  game.walk_ = world_.walk();
  walk().SettingSpeed(0.0, 0.0, 0.0);
  Access::AdjustKick(game);
  ExpectAdjustedWalkTargets(0.181 * 0.5, 3.0 / 45.0, 2.0 / 45.0);
}

}  // namespace
}  // namespace test
}  // namespace zamp
