#include <gtest/gtest.h>

#include <cmath>

#include "core/Tool.h"
#include "model/StrategyInformation.h"
#include "support/AgentStateTestAccess.h"
#include "support/FieldTestAccess.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace test {
namespace {

const double kNoEnemy = std::sqrt(9999.9);  // m, the distance reported without opponents

// Play information on a hand-placed scene: the agent, the ball and the opponents are set
// directly, then StrategyInformation::Update runs as in the cycle.
class StrategyInformationTest : public ::testing::Test {
 protected:
  StrategyInformationTest() : cycle_("Alpha", 1) {
    // Nobody seen: every opponent last seen long ago.
    for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) PlaceEnemy(i, {0.0, 0.0}, 100.0, false);
  }

  // Torso at (x, y) m facing heading degrees.
  void PlaceAgent(double x, double y, double heading) {
    AgentStateTestAccess::SetCoordinates(cycle_.agent(), Eigen::Vector3d(x, y, 0.4));
    AgentStateTestAccess::SetRotation(cycle_.agent(), Eigen::Vector3d(0.0, 0.0, heading));
  }

  // index: 0-10; position: m; seen_ago: s.
  void PlaceEnemy(int index, const Eigen::Vector2d& position, double seen_ago, bool visible) {
    FieldTestAccess::PlaceEnemy(
        cycle_.field(), index, Eigen::Vector3d(position.x(), position.y(), 0.5), seen_ago, visible);
  }

  void PlaceBall(double x, double y) {
    FieldTestAccess::PlaceBall(cycle_.field(), Eigen::Vector3d(x, y, 0.04));
  }

  StrategyInformation& Updated() {
    StrategyInformation& info = *Singleton<StrategyInformation>::GetInstance();
    info.Update();
    return info;
  }

  ModelCycle cycle_;
};

TEST_F(StrategyInformationTest, KickTargetIsTheGoalOrTheFreestLongKickPoint) {
  // 25 m from the goal the candidates lie 17 m from the ball at -30, -20, ... +30 degrees.
  const double x30 = -10.0 + 17.0 * std::sqrt(3.0) / 2.0;
  const struct {
    Eigen::Vector2d ball;
    double enemy_seen_ago;  // s, opponent 1 at (4.722, -8.5); negative: not seen
    Eigen::Vector2d target;
  } cases[] = {
      {{5.0, 0.0}, -1.0, {15.0, 0.0}},  // 10 m from the goal, within the 17 m reach
      // No opponent: every candidate scores the same and the first in bounds wins.
      {{-10.0, 0.0}, -1.0, {x30, -8.5}},
      // An opponent on that point: the candidate farthest from it. Seen just under 3 s ago
      // it still counts, seen 2.9996 s ago it is forgotten.
      {{-10.0, 0.0}, 1.0, {x30, 8.5}},
      {{-10.0, 0.0}, 2.9994, {x30, 8.5}},
      {{-10.0, 0.0}, 2.9996, {x30, -8.5}},
  };
  for (const auto& c : cases) {
    PlaceBall(c.ball.x(), c.ball.y());
    PlaceEnemy(0, {4.722, -8.5}, c.enemy_seen_ago >= 0.0 ? c.enemy_seen_ago : 100.0,
               c.enemy_seen_ago >= 0.0);
    EXPECT_TRUE(Updated().GetKickTargetCoord().isApprox(c.target, 1e-9))
        << c.ball.transpose() << " seen " << c.enemy_seen_ago;
  }
  // From y = 23 even the candidate at -50 degrees lands at y = 23 - 13.02 > 9: every
  // candidate is out of bounds and the previous target stays.
  PlaceBall(-10.0, 23.0);
  EXPECT_TRUE(Updated().GetKickTargetCoord().isApprox(Eigen::Vector2d(x30, -8.5), 1e-9));
}

TEST_F(StrategyInformationTest, DirectionsBetweenAgentBallAndGoal) {
  const double goal_from_ball = std::atan2(-1.0, 15.0) * 180.0 / 3.141592653589793;
  const struct {
    Eigen::Vector3d agent;  // x m, y m, heading degrees
    Eigen::Vector2d ball;
    double me_and_ball, ball_and_goal, me_and_goal, cross, ball_turn;  // degrees
  } cases[] = {
      // Facing +y with the ball straight along +x: turn right by 90.
      {{0.0, 0.0, 90.0}, {1.0, 0.0}, 0.0, 0.0, 0.0, 0.0, -90.0},
      {{0.0, 0.0, 0.0}, {0.0, 1.0}, 90.0, goal_from_ball, 0.0, 90.0 - goal_from_ball, 90.0},
      // Behind and to the side of the goal line: wrapping keeps the turn in [-180, 180].
      {{0.0, 0.0, 170.0}, {0.0, -1.0}, -90.0, -goal_from_ball, 0.0, -90.0 + goal_from_ball, 100.0},
  };
  for (const auto& c : cases) {
    PlaceAgent(c.agent.x(), c.agent.y(), c.agent.z());
    PlaceBall(c.ball.x(), c.ball.y());
    const StrategyInformation& info = Updated();
    EXPECT_NEAR(info.GetMeAndBallDegree(), c.me_and_ball, 1e-9);
    EXPECT_NEAR(info.GetBallAndGoalDegree(), c.ball_and_goal, 1e-9);
    EXPECT_NEAR(info.GetMeAndGoalDegree(), c.me_and_goal, 1e-9);
    EXPECT_NEAR(info.GetMeAndGoalCrossBallDegree(), c.cross, 1e-9);
    EXPECT_NEAR(info.GetBallDirectionDiff(), c.ball_turn, 1e-9);
    EXPECT_TRUE(info.GetBallLocalCoordinates().isApprox(c.ball - c.agent.head<2>(), 1e-12));
  }
}

TEST_F(StrategyInformationTest, NearestOpponentCountsOnlyRecentSightings) {
  PlaceAgent(0.0, 0.0, 0.0);
  PlaceBall(1.0, 0.0);
  EXPECT_NEAR(Updated().GetBallNearestEnemyDistance(), kNoEnemy, 1e-12);
  EXPECT_EQ(Updated().GetCountEnemyVisible(), 0);

  PlaceEnemy(4, {1.0, 3.0}, 0.06, true);
  PlaceEnemy(7, {1.0, 2.0}, 0.25, false);
  EXPECT_NEAR(Updated().GetBallNearestEnemyDistance(), 3.0, 1e-12);
  EXPECT_EQ(Updated().GetCountEnemyVisible(), 1);
  // Over the kick target's 3 s window the older sighting is the nearer one.
  EXPECT_NEAR(Updated().CulcNearestTargetEnemyDist(Eigen::Vector2d(1.0, 0.0), 3.0), 2.0, 1e-12);
}

TEST_F(StrategyInformationTest, BallZonesIncludeRectangleEdgesAndExcludeCircleEdges) {
  // Rectangle: centre (0, 0), 2 along x, 4 along y. Circle: centre (0, 0), radius 1.
  const struct {
    Eigen::Vector2d ball;
    bool in_rectangle, in_circle;
  } cases[] = {{{1.0, 2.0}, true, false},    {{-1.0, 0.0}, true, false},
               {{0.5, 0.5}, true, true},     {{-0.999, 0.0}, true, true},
               {{1.001, 0.0}, false, false}, {{0.0, -2.001}, false, false}};
  for (const auto& c : cases) {
    PlaceBall(c.ball.x(), c.ball.y());
    const StrategyInformation& info = Updated();
    EXPECT_EQ(info.IsBallInRectangle(0.0, 0.0, 2.0, 4.0), c.in_rectangle) << c.ball.transpose();
    EXPECT_EQ(info.IsBallInCircle(0.0, 0.0, 1.0), c.in_circle) << c.ball.transpose();
  }
}

TEST_F(StrategyInformationTest, KickDirectionsMeasureTheAgentAgainstTheShiftedKickLine) {
  const double diagonal = std::atan2(0.5, 1.0) * 180.0 / 3.141592653589793;
  const struct {
    Eigen::Vector3d agent;  // x m, y m, heading degrees
    double offset;          // m, to the left of the kick line
    double cross, turn;     // degrees
  } cases[] = {
      {{-1.0, 0.0, 0.0}, 0.5, diagonal, diagonal},  // the line moved 0.5 m to the left
      {{-1.0, 0.5, 90.0}, 0.5, 0.0, -90.0},         // behind the moved ball, facing +y
      {{1.0, 0.0, 180.0}, 0.0, 180.0, 0.0},         // in front of the ball, facing it
  };
  for (const auto& c : cases) {
    PlaceAgent(c.agent.x(), c.agent.y(), c.agent.z());
    PlaceBall(0.0, 0.0);
    const std::pair<double, double> directions =
        Updated().CulcKickDirections(Eigen::Vector2d(10.0, 0.0), c.offset);
    EXPECT_NEAR(std::abs(Tool::LimitDegree180(directions.first - c.cross)), 0.0, 1e-9)
        << c.agent.transpose() << " offset " << c.offset;
    EXPECT_NEAR(directions.second, c.turn, 1e-9) << c.agent.transpose() << " offset " << c.offset;
  }
}

// Behind a ball kicked towards -x the two directions read about 179 and -179 degrees: the
// bend is the small angle between them, never nearly a full turn.
TEST_F(StrategyInformationTest, KickLineTowardsMinusXBendsByTheSmallAngle) {
  const struct {
    double agent_y;  // m, the agent 1 m behind the ball (at x = 1) and this far to the side
    double cross;    // degrees
  } cases[] = {{0.01, 0.573}, {-0.01, -0.573}, {0.0, 0.0}};
  for (const auto& c : cases) {
    PlaceAgent(1.0, c.agent_y, 180.0);
    PlaceBall(0.0, 0.0);
    const double cross = Updated().CulcKickDirections(Eigen::Vector2d(-10.0, 0.0), 0.0).first;
    EXPECT_NEAR(cross, c.cross, 1e-3) << c.agent_y;
  }
}

TEST_F(StrategyInformationTest, TurnsAndDistancesFromTheAgentsPose) {
  PlaceAgent(1.0, 1.0, 45.0);
  PlaceBall(4.0, 5.0);
  const StrategyInformation& info = Updated();
  EXPECT_NEAR(info.CulcTargetDegree(1.0, 3.0), 90.0, 1e-9);
  EXPECT_NEAR(info.CulcDirectionDiff(1.0, 3.0), 45.0, 1e-9);
  EXPECT_NEAR(info.CulcDirectionDiff(Eigen::Vector2d(0.0, 1.0)), 135.0, 1e-9);
  // Along -y while facing 45 degrees: turn right by 135.
  EXPECT_NEAR(info.CulcDirectionDiff(1.0, 1.0, 1.0, 0.0), -135.0, 1e-9);
  EXPECT_NEAR(info.CulcBallDistance(Eigen::Vector2d(1.0, 1.0)), 5.0, 1e-12);
  // Agent, (3, 1) and (5, 1) in one line: no cross angle; bending to (3, 3): -90.
  EXPECT_NEAR(info.CulcAgentCrossDegree(3.0, 1.0, 5.0, 1.0), 0.0, 1e-9);
  EXPECT_NEAR(info.CulcAgentCrossDegree(3.0, 1.0, 3.0, 3.0), -90.0, 1e-9);
}

}  // namespace
}  // namespace test
}  // namespace zamp
