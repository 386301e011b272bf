// The kick challenge: waiting for the ball, kicking towards the field centre with its own
// kick choice, windows and steering, and electing itself on every heard message.
#include <gtest/gtest.h>

#include <string>

#include "play/StrategyKickChallenge.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;
const StrategyZAMP::KickKind LONG = StrategyZAMP::KICK_LONG;
const StrategyZAMP::KickKind QUICK = StrategyZAMP::KICK_QUICK;

class StrategyKickChallengeTest : public StrategyFixture<StrategyKickChallenge> {
 protected:
  StrategyKickChallengeTest() : StrategyFixture(2) {}

  // Lines the agent up on the ball for the given kick towards the centre or `aim`, with
  // the walk's targets (forward, sideways) as they were before this cycle.
  void LineUpWalking(StrategyZAMP::KickKind kind, const V& ball, const V& aim, double off_line,
                     double lateral, double foot, double forward, double sideways) {
    LineUp(kind, ball, aim, off_line, lateral, foot);
    walk().SettingSpeed(forward, sideways, 0.0);
  }
};

// Ball 6 m from the centre (long kick, D = 0.2) with the agent lined up 3 degrees off the
// line and 2 degrees of lateral error.
TEST_F(StrategyKickChallengeTest, WaitsWhileTheBallIsTwoMetresAwayOrMore) {
  // The game strategy's move-state machine would start the elected agent dribbling.
  world_.SetMoveState(AgentState::MS_GOTO_POSITION);
  Access::Drribler(strategy()) = 2;

  LineUpWalking(LONG, V(-6, 0), V(0, 0), 3.0, -2.0, 2.0, 0.3, 0.1);
  world_.SetBallHorizonDegree(30.0);
  strategy().Run();
  EXPECT_TRUE(walk().IsStop());
  ExpectWalkTargets(0.3, 0.1, 0.0);
  EXPECT_TRUE(strategy().command_.empty());
  EXPECT_DOUBLE_EQ(world_.joints().GetTargetDegree(HJ_HJ1), 30.0);
  EXPECT_EQ(world_.agent().GetCurrentMoveState(), AgentState::MS_GOTO_POSITION);

  LineUpWalking(LONG, V(-6, 0), V(0, 0), 3.0, -2.0, 1.99, 0.3, 0.1);
  world_.SetBallHorizonDegree(-20.0);
  strategy().Run();
  EXPECT_FALSE(walk().IsStop());
  ExpectAdjustedWalkTargets(1.0, 0.0, 2.0 / 45.0);
  EXPECT_DOUBLE_EQ(world_.joints().GetTargetDegree(HJ_HJ1), -20.0);
}

TEST_F(StrategyKickChallengeTest, KickChoiceAndWindows) {
  struct Case {
    const char* name;
    AgentTypeID type;
    V ball;
    double foot;      // m
    double off_line;  // degrees
    double forward;   // the walk's targets before the step
    double sideways;
    const char* command;
  };
  const AgentTypeID T0 = AGENT_TYPE_STANDARD, T4 = AGENT_TYPE_TOENAIL;
  const V Q(-3, 0), L(-6, 0);
  const char* const QK = "QuickKick";
  const char* const LK = "LongKick";
  const char* const NONE = "";
  // clang-format off
  const Case cases[] = {
      {"quick, window low", T0, Q, 0.166, 0, 0, 0, QK},
      {"quick, below the window", T0, Q, 0.164, 0, 0, 0, NONE},
      {"quick, touching the ball", T0, Q, 0.05, 0, 0, 0, NONE},
      {"quick, above the window", T0, Q, 0.196, 0, 0, 0, NONE},
      {"quick, 1.9 degrees off the line", T0, Q, 0.18, 1.9, 0, 0, QK},
      {"quick, 2.1 degrees off the line", T0, Q, 0.18, 2.1, 0, 0, NONE},
      {"quick, still walking at 0.4", T0, Q, 0.18, 0, 0.4, 0, QK},
      {"quick, still walking at 0.5", T0, Q, 0.18, 0, 0.5, 0, NONE},
      {"quick, stepping sideways at 0.09", T0, Q, 0.18, 0, 0, 0.09, QK},
      {"quick, stepping sideways at 0.11", T0, Q, 0.18, 0, 0, 0.11, NONE},
      {"quick, 5.4 m from the centre", T0, {-5.4, 0}, 0.17, 0, 0, 0, QK},
      {"long, 5.6 m from the centre", T0, {-5.6, 0}, 0.2, 0, 0, 0, LK},
      {"long type 0, window low", T0, L, 0.186, 0, 0, 0, LK},
      {"long type 0, below the window", T0, L, 0.184, 0, 0, 0, NONE},
      {"long type 0, above the window", T0, L, 0.216, 0, 0, 0, NONE},
      {"long type 0, stepping sideways at 0.1", T0, L, 0.2, 0, 0, 0.1, LK},
      {"long type 4, above the window", T4, L, 0.203, 0, 0, 0, NONE},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.agent().SetAgentType(c.type);
    const bool quick = c.ball.norm() < 5.5;
    // The long kick of types 1, 3 and 4 aims 1.5 m left of the centre, seen from a ball
    // on the x axis.
    const V aim = (!quick && c.type == T4) ? V(0.0, 1.5) : V(0.0, 0.0);
    LineUpWalking(quick ? QUICK : LONG, c.ball, aim, c.off_line, 0.0, c.foot, c.forward,
                  c.sideways);
    Access::AdjustKick(strategy());
    EXPECT_EQ(strategy().command_, c.command);
  }
}

// Set plays and the end of a half change nothing: the ball 6 m out gets the long kick at
// the field centre with its narrow window.
TEST_F(StrategyKickChallengeTest, IgnoresSetPlaysAndTheEndOfAHalf) {
  world_.SetKickMode(KM_CORNER_KICK_US, true, true);
  LineUp(LONG, V(-6, 0), V(0, 0), 0.0, 0.0, 0.2);
  Access::AdjustKick(strategy());
  EXPECT_EQ(strategy().command_, "LongKick");

  world_.SetKickMode(KM_NO_KICK_MODE, true, false);
  world_.SetGameTime(280.0);
  LineUp(LONG, V(-6, 0), V(0, 0), 0.0, 0.0, 0.25);
  Access::AdjustKick(strategy());
  EXPECT_EQ(strategy().command_, "");
}

TEST_F(StrategyKickChallengeTest, SteersByTheFootDistance) {
  // 3 degrees off the line and 2 degrees of lateral error: sideways 3/45, turn 2/45.
  const double side = 3.0 / 45.0, turn = 2.0 / 45.0;
  struct Case {
    const char* name;
    StrategyZAMP::KickKind kind;
    V ball;
    double foot, forward, sideways;
    bool adjusted;
  };
  const V Q(-3, 0), L(-6, 0);
  // clang-format off
  const Case cases[] = {
      {"quick, too close: step back", QUICK, Q, 0.1, -0.09, side, true},
      {"quick, slow approach from 0", QUICK, Q, 0.2, 0.1, side, true},
      {"quick, beyond D + 1: straight at full speed", QUICK, Q, 1.19, 1.0, 0.0, true},
      {"long, beyond D + 1: straight at full speed", LONG, L, 1.21, 1.0, 0.0, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LineUp(c.kind, c.ball, V(0, 0), 3.0, -2.0, c.foot);
    Access::AdjustKick(strategy());
    if (c.adjusted) {
      ExpectAdjustedWalkTargets(c.forward, c.sideways, turn);
    } else {
      ExpectWalkTargets(c.forward, c.sideways, turn);
    }
  }
}

// The agent at (1, 2) hears mate 5 report the ball at (3, 4).
TEST_F(StrategyKickChallengeTest, ElectsItselfWithTheBallAtItsFeetOnEveryHeardMessage) {
  world_.PlaceAgent(1.0, 2.0, 0.0);
  ShareMessageZAMP::SayValues say;
  say.server_cycle = 500;
  say.uniform_number = 5;
  say.ball_update_time = 10.0;
  say.agent_coord = V(3.5, 4.0);
  say.ball_coord = V(3.0, 4.0);
  world_.SetServerTime(10.04);
  world_.Hear(StrategyWorld::Message(say));
  strategy().UpdateHear();
  EXPECT_EQ(Drribler(), 2);
  EXPECT_EQ(Access::TrustedBall(strategy())->ball_coord, V(1.0, 2.0));
  EXPECT_TRUE(Access::Record(strategy(), 5).is_existence);

  // Cycles without a decoded message leave the election alone.
  Access::Drribler(strategy()) = 7;
  const std::string not_heard[] = {"", "not a message", std::string(17, '!')};
  for (const std::string& text : not_heard) {
    SCOPED_TRACE(text);
    world_.PlaceAgent(-3.0, -3.0, 0.0);
    if (text.empty()) {
      world_.HearNothing();
    } else {
      world_.Hear(text);
    }
    strategy().UpdateHear();
    EXPECT_EQ(Drribler(), 7);
    EXPECT_EQ(Access::TrustedBall(strategy())->ball_coord, V(1.0, 2.0));
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
