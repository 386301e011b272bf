// Kick approach and choice of the game strategy.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/const.h"
#include "play/StrategyZAMP.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;
const StrategyZAMP::KickKind LONG = StrategyZAMP::KICK_LONG;
const StrategyZAMP::KickKind QUICK = StrategyZAMP::KICK_QUICK;

TEST(StrategyZAMPKickParameter, AnUnknownRobotTypeKicksLikeTypeZero) {
  for (int type : {-1, 5, 7}) {
    EXPECT_EQ(&StrategyZAMP::GetKickParameter(LONG, type),
              &StrategyZAMP::GetKickParameter(LONG, 0));
    EXPECT_EQ(&StrategyZAMP::GetKickParameter(QUICK, type),
              &StrategyZAMP::GetKickParameter(QUICK, 0));
  }
}

class StrategyZAMPKickTest : public StrategyFixture<> {
 protected:
  void SetAgentType(AgentTypeID type) { world_.agent().SetAgentType(type); }
};

TEST_F(StrategyZAMPKickTest, KickChoiceAndAim) {
  struct Case {
    const char* name;
    AgentTypeID type;
    KickModeID kick_mode;
    bool can_kick_off_shoot;
    V ball, team_target;
    StrategyZAMP::KickKind kind;
    V aim;
  };
  const KickModeID NO = KM_NO_KICK_MODE;
  const AgentTypeID T0 = AGENT_TYPE_STANDARD, T1 = AGENT_TYPE_LONG_ARM_AND_FOOT;
  const AgentTypeID T2 = AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL;
  const AgentTypeID T4 = AGENT_TYPE_TOENAIL;
  // clang-format off
  const Case cases[] = {
      {"open play", T0, NO, false, {0, 0}, {15, 0}, LONG, {15, 0}},
      {"open play, type 2", T2, NO, false, {0, 0}, {12, -4}, LONG, {12, -4}},
      {"type 4 aims left", T4, NO, false, {0, 0}, {15, 0}, LONG, {15, 1.5}},
      // Left as seen along the direction from the ball to the opponent goal (26.57 deg).
      {"type 1 aims left of the goal line", T1, NO, false, {5, -5}, {15, 0}, LONG,
       {15 - 1.5 * std::sin(std::atan2(5.0, 10.0)), 1.5 * std::cos(std::atan2(5.0, 10.0))}},
      {"our kick-off", T0, KM_KICK_OFF_US, true, {0, 0}, {15, 0}, QUICK, {1, 10}},
      {"our corner, type 4", T4, KM_CORNER_KICK_US, true, {14.9, 9.9}, {12, 3}, QUICK, {10, 3}},
      {"4.1 m from the goal", T0, NO, false, {10.9, 0}, {15, 0}, QUICK, {15, 0}},
      {"4.3 m from the goal", T0, NO, false, {10.7, 0}, {15, 0}, LONG, {15, 0}},
      {"their free kick", T0, KM_FREE_KICK_ENEMY, false, {0, 0}, {15, 0}, LONG, {15, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetAgentType(c.type);
    world_.SetKickMode(c.kick_mode, c.can_kick_off_shoot || c.kick_mode == KM_CORNER_KICK_US,
                       c.can_kick_off_shoot);
    world_.PlaceBall(c.ball.x(), c.ball.y());
    world_.Update();
    Access::KickTarget(strategy()) = c.team_target;
    EXPECT_EQ(Access::ChooseKick(strategy()), c.kind);
    const V aim = Access::KickAim(strategy());
    EXPECT_NEAR(aim.x(), c.aim.x(), 1e-9);
    EXPECT_NEAR(aim.y(), c.aim.y(), 1e-9);
  }
}

// When the aligned agent asks for its kick: foot distance window, angle and lateral
// limits, and the largest forward target, for both kicks, in and out of the last 30 s; and
// when it gives up lining up. A kick or giving up ends the line-up.
TEST_F(StrategyZAMPKickTest, KickWindows) {
  struct Case {
    const char* name;
    AgentTypeID type;
    double game_time;  // s
    V ball;            // (0, 0): long kick; (12, 0): quick kick
    double foot;       // m
    double off_line;   // degrees
    double lateral;    // degrees
    double forward;    // the walk's forward target before the step
    bool visible;
    const char* command;
    bool lining_up;
  };
  const V L(0, 0), Q(12, 0);
  const AgentTypeID T0 = AGENT_TYPE_STANDARD, T4 = AGENT_TYPE_TOENAIL;
  const char* const LK = "LongKick";
  const char* const QK = "QuickKick";
  // clang-format off
  const Case cases[] = {
      {"long, window low", T0, 100, L, 0.166, 0, 0, 0, true, LK, false},
      {"long, below the window", T0, 100, L, 0.164, 0, 0, 0, true, "", true},
      {"long, window high", T0, 100, L, 0.194, 0, 0, 0, true, LK, false},
      {"long, above the window", T0, 100, L, 0.196, 0, 0, 0, true, "", true},
      {"long type 4, above the window", T4, 100, L, 0.203, 0, 0, 0, true, "", true},
      {"long, 0.9 degrees off the line", T0, 100, L, 0.18, 0.9, 0, 0, true, LK, false},
      {"long, 1.1 degrees off the line", T0, 100, L, 0.18, 1.1, 0, 0, true, "", true},
      {"long, lateral 0.3", T0, 100, L, 0.18, 0, 0.3, 0, true, LK, false},
      {"long, lateral -0.5", T0, 100, L, 0.18, 0, -0.5, 0, true, "", true},
      {"long, still walking at 0.1", T0, 100, L, 0.18, 0, 0, 0.1, true, LK, false},
      {"long, still walking at 0.2", T0, 100, L, 0.18, 0, 0, 0.2, true, "", true},
      {"long, last 30 s, 0.081", T0, 270, L, 0.081, 0, 0, 0, true, LK, false},
      {"long, last 30 s, 0.079", T0, 270, L, 0.079, 0, 0, 0, true, "", true},
      {"long, last 30 s, 0.279", T0, 570, L, 0.279, 0, 0, 0, true, LK, false},
      {"long, last 30 s, 0.281", T0, 270, L, 0.281, 0, 0, 0, true, "", true},
      {"long, 269.9 s, 0.196", T0, 269.9, L, 0.196, 0, 0, 0, true, "", true},
      {"quick, touching the ball", T0, 100, Q, 0.0, 0, 0, 0, true, QK, false},
      {"quick, 0.179", T0, 100, Q, 0.179, 0, 0, 0, true, QK, false},
      {"quick, 0.181", T0, 100, Q, 0.181, 0, 0, 0, true, "", true},
      {"quick, 1.9 degrees off the line", T0, 100, Q, 0.1, 1.9, 0, 0, true, QK, false},
      {"quick, 2.1 degrees off the line", T0, 100, Q, 0.1, 2.1, 0, 0, true, "", true},
      {"quick, lateral 1.9", T0, 100, Q, 0.1, 0, 1.9, 0, true, QK, false},
      {"quick, lateral -2.1", T0, 100, Q, 0.1, 0, -2.1, 0, true, "", true},
      {"quick, still walking at 0.4", T0, 100, Q, 0.1, 0, 0, 0.4, true, QK, false},
      {"quick, still walking at 0.5", T0, 100, Q, 0.1, 0, 0, 0.5, true, "", true},
      {"quick, last 30 s, 0.079", T0, 270, Q, 0.079, 0, 0, 0, true, "", true},
      {"quick, last 30 s, 0.25", T0, 270, Q, 0.25, 0, 0, 0, true, QK, false},
      {"64 degrees off the line", T0, 100, L, 0.5, 64, 0, 0, true, "", true},
      {"66 degrees off the line: give up", T0, 100, L, 0.5, 66, 0, 0, true, "", false},
      {"0.8 m away", T0, 100, L, 0.8, 10, 0, 0, true, "", true},
      {"0.81 m away: give up", T0, 100, L, 0.81, 10, 0, 0, true, "", false},
      {"ball unseen: give up", T0, 100, L, 0.18, 0, 0, 0, false, "", false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetAgentType(c.type);
    world_.SetGameTime(c.game_time);
    LineUp(c.ball, c.off_line, c.lateral, c.foot);
    if (!c.visible) {
      world_.PlaceBall(c.ball.x(), c.ball.y(), false);
      world_.SetBallFootDistance(c.foot);
      world_.Update();
    }
    walk().SettingSpeed(c.forward, 0.0, 0.0);
    Access::AdjustKick(strategy());
    EXPECT_EQ(strategy().command_, c.command);
    EXPECT_EQ(world_.agent().GetCurrentMoveState(),
              c.lining_up ? AgentState::MS_ADJUST_KICK : AgentState::MS_DRRIBLE);
  }
}

TEST_F(StrategyZAMPKickTest, SteersBackSlowOrFastByTheFootDistance) {
  // 3 degrees off the line and 2 degrees of lateral error: sideways 3/45, turn 2/45.
  const double side = 3.0 / 45.0, turn = 2.0 / 45.0;
  struct Case {
    const char* name;
    V ball;
    double foot, forward, sideways;
    bool adjusted;
  };
  const V L(0, 0), Q(12, 0);
  // clang-format off
  const Case cases[] = {
      {"long, too close: step back", L, 0.17, -0.09, side, true},
      {"long, slow approach", L, 0.25, 0.125, side, true},
      {"long, fast approach", L, 0.5, 0.6, side * 0.8, false},
      {"quick, slow approach at least 0.2", Q, 0.25, 0.2, side, true},
      {"quick, fast approach", Q, 0.34, 0.34 * 1.2, side * 0.8, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LineUp(c.ball, 3.0, -2.0, c.foot);
    Access::AdjustKick(strategy());
    if (c.adjusted) {
      ExpectAdjustedWalkTargets(c.forward, c.sideways, turn);
    } else {
      ExpectWalkTargets(c.forward, c.sideways, turn);
    }
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
