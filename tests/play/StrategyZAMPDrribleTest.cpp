// Dribbling and evasion of the game strategy.
#include <gtest/gtest.h>

#include <string>

#include "core/const.h"
#include "play/StrategyZAMP.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;

// Raw walk targets; the strategy passes them through the walk's coupling (AdjustSpeed),
// which a walk at rest applies to the expected values the same way.
struct Targets {
  double forward, sideways, turn;
};

class StrategyZAMPDrribleTest : public StrategyFixture<> {
 protected:
  void ExpectAdjusted(const Targets& raw) {
    ExpectAdjustedWalkTargets(raw.forward, raw.sideways, raw.turn);
  }
  void ExpectTargets(const Targets& expected) {
    ExpectWalkTargets(expected.forward, expected.sideways, expected.turn);
  }
};

TEST_F(StrategyZAMPDrribleTest, EachDrribleBranch) {
  struct Case {
    const char* name;
    V agent;
    double heading;  // degrees
    V ball;
    Targets raw;  // before the walk's coupling
  };
  // clang-format off
  const Case cases[] = {
      {"straight at the ball, on the goal line", {0, 0}, 0, {0.5, 0}, {1, 0, 0}},
      {"wide ball halves the pace", {0, 0}, 0, {0.5, 0.8660254037844386}, {0.5, 0, 60.0 / 45}},
      {"close in W, 31 degrees off: gentle side step", {0, -0.3}, 0, {0.5, 0},
       {1, 0.1032125217735784, 0.6880834784905226}},
      {"close in W, 14 degrees off: none", {0, -0.1}, 0, {0.4, 0},
       {1, 0, 14.036243467926479 / 45}},
      {"close outside W", {4.6, 8.9}, 0, {5, 9}, {1, 0.9337242660623846, 0.311916521509476}},
      {"close in F", {10.6, 5.1}, 0, {11, 5}, {1, 0.6217324712997249, -0.311916521509476}},
      {"close in G aims at (13.5, 0)", {13.8, 5.5}, 0, {14, 5}, {0.5, 0.36682670165135184, -1.515524233636628}},
      {"far in F, off the line: beside the ball", {9, 3}, 30, {11, 5}, {1, 0, 0.42336816622462947}},
      {"far beyond the goal line: beside it", {14, 4}, 0, {15.5, 5}, {1, 0, 0.8348576006406107}},
      {"far in K and not F: straight at it", {-1, 1}, 0, {0, 0}, {1, 0, -1}},
      {"behind, on the left", {0, 0}, 150, {-0.5, 0.6}, {1, 0, 0.15114243303004035}},
      {"behind, on the right", {0, 0}, 150, {-0.5, -0.4}, {0.5, 0, 0.8473356078701323}},
      {"behind in the own goal area", {-13.5, 0.5}, 180, {-14, 0.5}, {1, 0, -0.9022509921112114}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewStrategy();
    Mate(2, c.agent, c.ball);
    Elect();
    world_.PlaceAgent(c.agent.x(), c.agent.y(), c.heading);
    world_.PlaceBall(c.ball.x(), c.ball.y());
    world_.Update();
    Access::Drrible(strategy());
    ExpectAdjusted(c.raw);
  }
}

TEST_F(StrategyZAMPDrribleTest, InTheGoalMouthStripTheHeadingSteers) {
  struct Case {
    double heading;   // degrees
    double ball_y;    // m
    double distance;  // m from the foot
    double sideways;
  };
  // clang-format off
  const Case cases[] = {
      {30, 0.5, 0.6, (30 + 20) / 60.0 * 0.6},
      {30, -0.5, 0.6, (30 - 20) / 60.0 * 0.6},
      {20, 0.5, 0.5, 0.0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.heading << " " << c.ball_y << " " << c.distance);
    // The agent faces the ball, c.distance behind it along its heading.
    const V ball(12.5, c.ball_y);
    const double rad = c.heading * 3.141592653589793 / 180.0;
    const V agent = ball - c.distance * V(std::cos(rad), std::sin(rad));
    world_.PlaceAgent(agent.x(), agent.y(), c.heading);
    world_.PlaceBall(ball.x(), ball.y());
    world_.Update();
    Access::Drrible(strategy());
    ExpectAdjusted({1.0, c.sideways, 0.0});
  }
}

TEST_F(StrategyZAMPDrribleTest, ALostBallIsSearchedTurningTowardsItsLastSide) {
  struct Case {
    double seen_ago;  // s
    double horizon;   // degrees, the last horizontal angle
    Targets raw;
  };
  // clang-format off
  const Case cases[] = {
      {1.2, -10.0, {1.0, 0.0, -1.0}},
      {1.2, 0.0, {1.0, 0.0, 1.0}},
      {1.0, -10.0, {1.0, 0.0, -10.0 / 45}},  // 1.0 s is not lost yet
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.seen_ago << " " << c.horizon);
    world_.PlaceAgent(0.0, 0.0, 0.0);
    world_.PlaceBall(3.0, 0.0, true, c.seen_ago);
    world_.SetBallHorizonDegree(c.horizon);
    world_.Update();
    Access::Drrible(strategy());
    ExpectAdjusted(c.raw);
  }
}

TEST_F(StrategyZAMPDrribleTest, ABallInTheGoalLineBandCountsAsAhead) {
  // 0.79 m from the foot and 0.25 m behind the body centre along x, facing 100 degrees.
  world_.PlaceAgent(14.25, 3.0, 100.0);
  world_.PlaceBall(14.0, 3.75);
  world_.Update();
  Access::Drrible(strategy());
  EXPECT_NEAR(walk().GetRotationSpeed(), 0.187443307176045, 1e-9);  // at the ball

  // The same 3 m out of the band: behind, so round it via (10.8, 3.45).
  world_.PlaceAgent(11.25, 3.0, 100.0);
  world_.PlaceBall(11.0, 3.75);
  world_.Update();
  Access::Drrible(strategy());
  EXPECT_NEAR(walk().GetRotationSpeed(), 35.0 / 45.0, 1e-9);
}

TEST_F(StrategyZAMPDrribleTest, GoalLineSideStepTakesTheShortWayRound) {
  // Me to ball 71.6 degrees, ball to (13.5, 0) -114.4 degrees: 186 degrees apart unwrapped,
  // -174 wrapped, so the step goes to the right.
  Mate(2, V(14.4, 1.9), V(14.5, 2.2));
  Elect();
  world_.PlaceAgent(14.4, 1.9, 70.0);
  world_.PlaceBall(14.5, 2.2);
  world_.Update();
  Access::Drrible(strategy());
  EXPECT_LT(walk().GetHorizonSpeed(), 0.0);
}

TEST_F(StrategyZAMPDrribleTest, AnUnseenBallIsTheTeamBall) {
  Mate(3, V(-5, 5), V(2, 2));
  Elect();
  world_.PlaceAgent(0.0, 0.0, 0.0);
  world_.PlaceBall(2.0, 2.0, false, 0.5);
  world_.SetBallHorizonDegree(-80.0);  // an old angle, not used
  world_.Update();
  Access::Drrible(strategy());
  ExpectAdjusted({1.0, 0.0, 1.0});  // 45 degrees to the team ball
}

class StrategyZAMPEvadeTest : public StrategyZAMPDrribleTest {
 protected:
  StrategyZAMPEvadeTest() {
    world_.PlaceAgent(0.0, 0.0, 0.0);
    world_.Update();
  }

  // Mate `unum` reported at `position`, heard from where the bearing a = heading - direction
  // is `bearing` degrees.
  void MateAt(int unum, const V& position, double bearing) {
    Mate(unum, position, V(0, 0)).hear_direction = -bearing;
  }

  // Runs Evade towards (5, 0) from a marked walk target.
  void Evade() {
    walk().SettingSpeed(0.9, 0.1, 0.2);
    Access::Evade(strategy(), V(5.0, 0.0));
  }
};

// One mate, heard from where the bearing a = heading - direction is `bearing` degrees and
// perhaps seen by its nearest part; the walk's marked targets stay where nothing is in the
// way.
TEST_F(StrategyZAMPEvadeTest, AMateInTheWaySlowsAndTurnsAway) {
  struct Case {
    const char* name;
    int unum;
    V mate;
    double bearing;
    double seen_distance;  // m; 0: not seen
    double seen_horizon;   // degrees
    int drribler;
    Targets raw;
    bool adjusted;
  };
  const Targets MARKED = {0.9, 0.1, 0.2};
  // clang-format off
  const Case cases[] = {
      {"0.5 m ahead at 30 degrees", 3, {0.5, 0.0}, 30.0, 0, 0, 11, {0.5, 0.0, 0.75}, true},
      {"0.5 m at 89 degrees", 3, {0.5, 0.0}, 89.0, 0, 0, 11, {0.5, 0.0, 31.0 / 120}, true},
      {"0.5 m at 90 degrees", 3, {0.5, 0.0}, 90.0, 0, 0, 11, MARKED, false},
      {"1.0 m at 40 degrees", 3, {1.0, 0.0}, 40.0, 0, 0, 11, {1.0, 0.0, 20.0 / 90}, true},
      {"1.0 m at 60 degrees", 3, {1.0, 0.0}, 60.0, 0, 0, 11, MARKED, false},
      {"1.25 m", 3, {1.25, 0.0}, 10.0, 0, 0, 11, MARKED, false},
      {"beside, no nearer the target", 3, {0.0, 0.5}, 30.0, 0, 0, 11, MARKED, false},
      {"the dribbler is given more room", 3, {0.9, 0.0}, 100.0, 0, 0, 3, {0.5, 0.0, 20.0 / 120}, true},
      {"not the dribbler", 3, {0.9, 0.0}, 100.0, 0, 0, 4, MARKED, false},
      {"seen: measured by its nearest part", 3, {0.5, 0.0}, 30.0, 0.9, -40.0, 11, {1.0, 0.0, 20.0 / 90}, true},
      {"the agent's own echo", 2, {0.5, 0.0}, 30.0, 0, 0, 11, MARKED, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewStrategy();
    MateAt(c.unum, c.mate, c.bearing);
    if (c.seen_distance > 0.0) world_.SeeMate(c.unum, c.seen_distance, c.seen_horizon);
    Access::Drribler(strategy()) = c.drribler;
    Evade();
    if (c.adjusted) {
      ExpectAdjusted(c.raw);
    } else {
      ExpectTargets(c.raw);
    }
  }
  // Seen but never heard: ignored.
  NewStrategy();
  world_.SeeMate(5, 0.3, 0.0);
  Evade();
  ExpectTargets(MARKED);
}

TEST_F(StrategyZAMPEvadeTest, TheNearestMateInTheWayDecides) {
  // A nearer mate after a farther one overrides it.
  MateAt(3, V(1.0, 0.0), -30.0);
  MateAt(4, V(0.5, 0.1), 30.0);
  Evade();
  ExpectAdjusted({0.5, 0.0, 0.75});
  // A farther mate after a nearer one changes nothing.
  NewStrategy();
  MateAt(3, V(0.5, 0.1), 30.0);
  MateAt(4, V(1.0, 0.0), -30.0);
  Evade();
  ExpectAdjusted({0.5, 0.0, 0.75});
}

}  // namespace
}  // namespace test
}  // namespace zamp
