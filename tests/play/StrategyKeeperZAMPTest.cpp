// The keeper: saves, its move-state machine, its guard point and how it walks there.
#include <gtest/gtest.h>

#include <string>

#include "play/StrategyKeeperZAMP.h"
#include "support/FieldTestAccess.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;

class StrategyKeeperZAMPTest : public StrategyFixture<StrategyKeeperZAMP> {
 protected:
  StrategyKeeperZAMPTest() : StrategyFixture(1) {}

  void SetBallSpeed(double vx, double vy) {
    FieldTestAccess::SetBallSpeed(world_.field(), Eigen::Vector3d(vx, vy, 0.0));
  }
  // The latest heard ball sighting: the keeper's own record is the latest heard one until
  // a message arrives.
  void SetHeardBall(const V& ball) { Mate(1, V(-14.5, 0.0), ball); }
};

TEST_F(StrategyKeeperZAMPTest, SavesBallRollingAtTheGoal) {
  struct Case {
    const char* name;
    double keeper_y;  // m, keeper at x = -14.5
    V ball;           // the field model's ball
    bool visible;
    V speed;           // m/s
    double game_time;  // s
    const char* command;
  };
  const V AT(-5.0, 0.0);
  const V STRAIGHT(-2.0, 0.0);
  // clang-format off
  const Case cases[] = {
      {"straight at the keeper", 0.0, AT, true, STRAIGHT, 10.0, "OpneFoot"},
      {"0.2 m beside: still blocked", 0.2, AT, true, STRAIGHT, 10.0, "OpneFoot"},
      {"0.3 m to the keeper's left", -0.3, AT, true, STRAIGHT, 10.0, "LeftJump"},
      {"0.3 m to the keeper's right", 0.3, AT, true, STRAIGHT, 10.0, "RightJump"},
      // Slope -0.1: enters the goal at y = 1.0 and passes the keeper at y = 0.95.
      {"angled at the far post", 0.0, AT, true, {-2.0, 0.2}, 10.0, "LeftJump"},
      // Slope -0.15: reaches the goal line at y = 1.5, outside the goal.
      {"wide of the goal", 0.0, AT, true, {-2.0, 0.3}, 10.0, ""},
      {"rolling away", 0.0, AT, true, {2.0, 0.0}, 10.0, ""},
      {"too slow", 0.0, AT, true, {-1.4, 0.0}, 10.0, ""},
      {"first 2 s of the half", 0.0, AT, true, STRAIGHT, 1.98, ""},
      {"first 2 s of the second half", 0.0, AT, true, STRAIGHT, 301.98, ""},
      {"2 s into the second half", 0.0, AT, true, STRAIGHT, 302.0, "OpneFoot"},
      // Unseen: the latest heard sighting at (-5, 0) replaces the stale one off to the side.
      {"unseen ball, heard on the path", 0.0, {-5.0, 3.0}, false, STRAIGHT, 10.0, "OpneFoot"},
      {"seen ball off to the side", 0.0, {-5.0, 3.0}, true, STRAIGHT, 10.0, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.PlaceAgent(-14.5, c.keeper_y, 0.0);
    world_.PlaceBall(c.ball.x(), c.ball.y(), c.visible);
    SetBallSpeed(c.speed.x(), c.speed.y());
    SetHeardBall(AT);
    world_.SetGameTime(c.game_time);
    world_.Update();
    strategy().command_.clear();
    Access::UpdateState(strategy());
    EXPECT_EQ(strategy().command_, c.command);
  }
}

// The keeper kicks a ball within 1 m of its foot, wherever it lies round the body, when
// the play is ours or nobody is within 2 m of the ball, and never at the far end of the
// field; and leaves a line-up as soon as that no longer holds.
TEST_F(StrategyKeeperZAMPTest, MoveStates) {
  typedef AgentState S;
  struct Case {
    const char* name;
    S::MoveState current, next;
    int drribler;
    bool can_kick_play;
    double enemy_distance;  // m from the ball; 0: nobody seen
    V keeper, ball;
  };
  const V K(-13.0, 0.0);
  // clang-format off
  const Case cases[] = {
      {"ball at the foot", S::MS_DRRIBLE, S::MS_ADJUST_KICK, 1, true, 0, K, {-12.5, 0}},
      {"ball 1.1 m away", S::MS_DRRIBLE, S::MS_DRRIBLE, 1, true, 0, K, {-11.9, 0}},
      {"their play, opponent 1.9 m", S::MS_DRRIBLE, S::MS_DRRIBLE, 1, false, 1.9, K, {-12.5, 0}},
      {"their play, opponent 2.1 m", S::MS_DRRIBLE, S::MS_ADJUST_KICK, 1, false, 2.1, K, {-12.5, 0}},
      {"far end of the field", S::MS_DRRIBLE, S::MS_DRRIBLE, 1, true, 0, {9.5, 0}, {10.0, 0}},
      {"just short of the far end", S::MS_DRRIBLE, S::MS_ADJUST_KICK, 1, true, 0, {9.4, 0}, {9.9, 0}},
      {"not elected, ball at the foot", S::MS_DRRIBLE, S::MS_ADJUST_KICK, 2, true, 0, K, {-12.5, 0}},
      {"not elected, ball away", S::MS_DRRIBLE, S::MS_GOTO_POSITION, 2, true, 0, K, {-11.9, 0}},
      // A field player with nobody near the ball would keep lining up.
      {"lining up, ball gone", S::MS_ADJUST_KICK, S::MS_DRRIBLE, 1, true, 0, K, {-11.9, 0}},
      {"lining up, no longer elected", S::MS_ADJUST_KICK, S::MS_GOTO_POSITION, 2, true, 0, K, {-12.5, 0}},
      {"elected while positioning", S::MS_GOTO_POSITION, S::MS_DRRIBLE, 1, true, 0, K, {-5, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.SetKickMode(KM_NO_KICK_MODE, c.can_kick_play, false);
    world_.PlaceAgent(c.keeper.x(), c.keeper.y(), 0.0);
    world_.PlaceBall(c.ball.x(), c.ball.y());
    SetBallSpeed(0.0, 0.0);
    if (c.enemy_distance > 0.0) {
      world_.PlaceEnemy(0, c.ball.x(), c.ball.y() + c.enemy_distance);
    } else {
      world_.PlaceEnemy(0, 0.0, 0.0, 100.0);
    }
    world_.Update();
    Access::Drribler(strategy()) = c.drribler;
    world_.SetMoveState(c.current);
    Access::UpdateState(strategy());
    EXPECT_EQ(world_.agent().GetCurrentMoveState(), c.next);
  }
}

TEST_F(StrategyKeeperZAMPTest, GuardsThePointTowardsTheHeardBall) {
  struct Case {
    const char* name;
    V seen_ball;   // the keeper's own ball model
    V heard_ball;  // the latest heard sighting
    V point;
  };
  // clang-format off
  const Case cases[] = {
      // 0.5 m from (-14.8, 0) towards (-10, 3).
      {"on the line to the ball", {-10, 3}, {-10, 3}, {-14.376001, 0.264999}},
      {"the heard ball counts", {0, 0}, {-10, 3}, {-14.376001, 0.264999}},
      {"ball in the goal area, left", {-14, 0.5}, {-14, 0.5}, {-14.0, -0.5}},
      {"goal area corner", {-13.25, 1.0}, {-13.25, 1.0}, {-14.0, 0.0}},
      // 0.5 m from (-14.8, 0) towards (-13.2, 0.5).
      {"just outside the goal area", {-13.2, 0.5}, {-13.2, 0.5}, {-14.322760, 0.149137}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.PlaceAgent(-14.5, 0.0, 0.0);
    world_.PlaceBall(c.seen_ball.x(), c.seen_ball.y());
    SetHeardBall(c.heard_ball);
    world_.Update();
    const V point = Access::DecidePosition(strategy());
    EXPECT_NEAR(point.x(), c.point.x(), 1e-6);
    EXPECT_NEAR(point.y(), c.point.y(), 1e-6);
  }
}

// With the heard ball at the centre spot the guard point is (-14.3, 0).
TEST_F(StrategyKeeperZAMPTest, StepsOntoItsPointAndStopsFacingTheBall) {
  struct Case {
    const char* name;
    V keeper;
    double heading;  // degrees
    V ball;
    double forward, sideways, turn;
    bool stop;
  };
  // clang-format off
  const Case cases[] = {
      // 0.3 m to the right of the point, the ball 1.2 degrees to the left.
      {"near, facing the ball", {-14.3, -0.3}, 0.0, {0, 0}, 0.0, 0.3, 1.2018330644521196 / 90.0, true},
      {"near, turned away", {-14.3, -0.3}, 30.0, {0, 0},
       0.3 * 0.5, 0.3 * 0.8660254037844386, (1.2018330644521196 - 30.0) / 90.0, false},
      // A field player would clamp the step back to -0.4.
      {"near, point behind", {-13.85, 0.0}, 0.0, {0, 0}, -0.45, 0.0, 0.0, true},
      // A field player would still be near at 0.6 m.
      {"0.6 m away", {-14.3, -0.6}, 0.0, {0, 0}, 0.2, 1.0, 0.5, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.PlaceAgent(c.keeper.x(), c.keeper.y(), c.heading);
    world_.PlaceBall(c.ball.x(), c.ball.y());
    SetHeardBall(c.ball);
    world_.Update();
    walk().SetStop(false);
    walk().SettingSpeed(0.0, 0.0, 0.0);
    Access::Position(strategy());
    ExpectWalkTargets(c.forward, c.sideways, c.turn);
    EXPECT_EQ(walk().IsStop(), c.stop);
  }
}

// A ball 3 m behind the keeper and 1 m to its left, in the goal area: the point (-14, 0)
// beside the heard ball moves to the far side of the ball, y = 1 - 3. A field player
// only side-steps balls within 2 m along x.
TEST_F(StrategyKeeperZAMPTest, SideStepsABallBehindAtAnyDistanceAlongTheField) {
  world_.PlaceAgent(-11.0, 0.0, 0.0);
  world_.PlaceBall(-14.0, 1.0);
  SetHeardBall(V(-14.0, 1.0));
  world_.Update();
  Access::Position(strategy());
  // Towards (-14, -2) from (-11, 0): -146.3 degrees.
  ExpectWalkTargets(0.2, -0.5547001962252291, -0.5);
  EXPECT_FALSE(walk().IsStop());
}

}  // namespace
}  // namespace test
}  // namespace zamp
