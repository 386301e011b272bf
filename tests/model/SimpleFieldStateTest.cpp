#include <gtest/gtest.h>

#include <Eigen/Geometry>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/Tool.h"
#include "model/SimpleFieldState.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"
#include "support/SyntheticScene.h"

namespace zamp {
namespace test {
namespace {

const char* const kTeam = "Alpha";

// The learning agents' field model on synthetic vision and gyroscope rates.
class SimpleFieldStateTest : public ::testing::Test {
 protected:
  const Eigen::Vector3d kBall{1.0, -1.0, 0.04};
  const Eigen::Vector3d kEnemyHead{2.0, 1.0, 0.5};
  const Eigen::Vector3d kTorso{-3.0, 2.0, 0.4};

  SimpleFieldStateTest() : cycle_(kTeam, 1, ModelCycle::SIMPLE) {
    cycle_.Start(PerceptionText().Time(0.0).GameStateWithTeam(1, "left", 0.0, "PlayOn").Str(),
                 Eigen::Vector3d(-1.0, 0.0, 0.0));
  }

  SimpleFieldState& field() { return static_cast<SimpleFieldState&>(cycle_.field()); }

  // A vision message from the given torso pose (m, degrees) in which only the named
  // landmarks are seen (all eight when names is empty), with the ball and one opponent.
  std::string SeenFrom(double time, const Eigen::Vector3d& torso, double heading,
                       const std::vector<std::string>& names = {}, double tilt = 0.0) {
    const SyntheticScene scene(torso, heading, cycle_.agent().GetBodyPart(BP_HEAD).global_transform,
                               tilt);
    PerceptionText text;
    text.Time(time).GameState(0.0, "PlayOn").See();
    for (const auto& landmark : SyntheticScene::Landmarks(true)) {
      if (!names.empty() && std::find(names.begin(), names.end(), landmark.first) == names.end()) {
        continue;
      }
      text.Landmark(landmark.first, scene.See(landmark.second));
    }
    text.Ball(scene.See(kBall));
    text.Player("Beta", 3, {{VISIBLE_PART_HEAD, scene.See(kEnemyHead)}});
    return text.Str();
  }

  // Cycles without vision whose gyroscope turns the torso by the given degrees about its z
  // axis: the rate over two cycles, then none.
  void TurnByGyro(double& time, const Eigen::Vector3d& degrees) {
    const Eigen::Vector3d rate = degrees / (2.0 * UPDATE_INTERVAL_TIME);
    for (const Eigen::Vector3d& r : {rate, rate, Eigen::Vector3d::Zero().eval()}) {
      time += UPDATE_INTERVAL_TIME;
      cycle_.Step(PerceptionText().Time(time).GameState(0.0, "PlayOn").Gyro(r).Str());
    }
  }

  double Heading() { return cycle_.agent().GetRotation().z(); }

  ModelCycle cycle_;
};

TEST_F(SimpleFieldStateTest, OneVisionCycleGivesTheExactPoseBallAndTheSeenPlayer) {
  cycle_.Step(SeenFrom(0.02, kTorso, 30.0));
  EXPECT_TRUE(cycle_.agent().GetCoordinates().isApprox(kTorso, 1e-9));
  EXPECT_TRUE(cycle_.agent().GetRotation().isApprox(Eigen::Vector3d(0.0, 0.0, 30.0), 1e-9));
  EXPECT_TRUE(cycle_.field().GetBall().GetAbsoluteCoordinates().isApprox(kBall, 1e-9));
  EXPECT_TRUE(cycle_.field().GetEnemyPlayer(2).GetAbsoluteCoordinates().isApprox(kEnemyHead, 1e-9));
  for (int i = 0; i < MAX_AGENT_NUM; ++i) {
    EXPECT_EQ(i == MAX_TEAM_AGENT_NUM + 2, cycle_.field().GetAllPlayer(i).IsVisible()) << i;
  }
  EXPECT_FALSE(cycle_.field().GetEnemyPlayer(2).GetVisiblePart(VISIBLE_PART_LEFT_FOOT).IsVisible());
  EXPECT_DOUBLE_EQ(0.02, cycle_.field().GetObserveGlobalRotationUpdateTime());
}

TEST_F(SimpleFieldStateTest, TheFirstMeasurementMayComeFromTheProductPairs) {
  // Only the far end: the forward pairs and, with no right pair, the product pairs of the
  // corner and goal posts. A tilted torso checks all three axes.
  cycle_.Step(SeenFrom(0.02, kTorso, 20.0, {"F1R", "F2R", "G1R", "G2R"}, 10.0));
  const Eigen::Matrix3d expected =
      (Eigen::AngleAxisd(Tool::ToRadian(20.0 - 90.0), Eigen::Vector3d::UnitZ()) *
       Eigen::AngleAxisd(Tool::ToRadian(-10.0), Eigen::Vector3d::UnitX()))
          .toRotationMatrix();
  EXPECT_TRUE(cycle_.field().GetGlobalRotation().linear().isApprox(expected, 1e-9));
  EXPECT_TRUE(cycle_.agent().GetCoordinates().isApprox(kTorso, 1e-9));
}

TEST_F(SimpleFieldStateTest, WithoutAPairTheGyroscopeTurnsAndTheSeenFlagPlaces) {
  cycle_.Step(SeenFrom(0.02, kTorso, 30.0));
  double time = 0.02;
  TurnByGyro(time, Eigen::Vector3d(0.0, 0.0, 40.0));
  EXPECT_NEAR(70.0, Heading(), 1e-9);

  // One flag gives no direction; the position follows from it with the gyroscope's heading.
  const Eigen::Vector3d moved(-2.5, 2.0, 0.4);
  cycle_.Step(SeenFrom(time + 0.02, moved, 70.0, {"F1R"}));
  EXPECT_NEAR(70.0, Heading(), 1e-9);
  EXPECT_TRUE(cycle_.agent().GetCoordinates().isApprox(moved, 1e-9));
  EXPECT_DOUBLE_EQ(0.02, cycle_.field().GetObserveGlobalRotationUpdateTime());
}

TEST_F(SimpleFieldStateTest, ALandmarkLastSeenFromAnotherPoseChangesNothing) {
  // Every landmark seen at 30 degrees; then, turned to 70, only the two far corners: a
  // forward pair, no right pair, no product pair. The store still holds the near corners'
  // sightings from 30 degrees, which must not make a right axis.
  cycle_.Step(SeenFrom(0.02, kTorso, 30.0));
  double time = 0.02;
  TurnByGyro(time, Eigen::Vector3d(0.0, 0.0, 40.0));
  cycle_.Step(SeenFrom(time + 0.02, kTorso, 70.0, {"F1R", "F2R"}));
  EXPECT_TRUE(cycle_.agent().GetRotation().isApprox(Eigen::Vector3d(0.0, 0.0, 70.0), 1e-9));
  EXPECT_TRUE(cycle_.agent().GetCoordinates().isApprox(kTorso, 1e-9));
  EXPECT_FALSE(cycle_.field().GetFlag(FLAG_FIELD_US_LEFT).IsVisible());
}

TEST_F(SimpleFieldStateTest, LaterMeasurementsPullTheGyroscopeEstimateATenthOfTheWay) {
  cycle_.Step(SeenFrom(0.02, kTorso, 30.0));
  // The body turned 20 degrees without the gyroscope noticing: a measurement corrects a
  // tenth of the difference, the next one a tenth of what is left.
  cycle_.Step(SeenFrom(0.08, kTorso, 50.0));
  EXPECT_NEAR(32.0, Heading(), 1e-9);
  cycle_.Step(SeenFrom(0.14, kTorso, 50.0));
  EXPECT_NEAR(33.8, Heading(), 1e-9);
  EXPECT_DOUBLE_EQ(0.14, cycle_.field().GetObserveGlobalRotationUpdateTime());
}

TEST_F(SimpleFieldStateTest, AFallIsReadWithNoLandmarkInView) {
  cycle_.Step(SeenFrom(0.02, kTorso, 0.0));
  double time = 0.02;
  // Onto the back (about the torso's x axis), then lying with only the sky in view.
  TurnByGyro(time, Eigen::Vector3d(80.0, 0.0, 0.0));
  cycle_.Step(PerceptionText().Time(time + 0.02).GameState(0.0, "PlayOn").See().Str());
  EXPECT_NEAR(80.0, cycle_.agent().GetRotation().x(), 1e-9);
  cycle_.Step(PerceptionText().Time(time + 0.04).GameState(0.0, "PlayOn").Str());
  EXPECT_EQ(AgentState::FALL_BACK, cycle_.agent().GetFallDirection());
}

TEST_F(SimpleFieldStateTest, APlacementHoldsTheUprightPoseUntilTheMoveHasLanded) {
  cycle_.Step(SeenFrom(0.02, kTorso, 0.0));
  double time = 0.02;
  TurnByGyro(time, Eigen::Vector3d(80.0, 0.0, 0.0));
  ASSERT_NEAR(80.0, cycle_.agent().GetRotation().x(), 1e-9);

  field().Place(-90.0);
  // Until the move lands the perceptions still show the robot lying; neither they nor the
  // gyroscope move the placed pose.
  for (int i = 0; i < SimpleFieldState::PLACEMENT_CYCLES; ++i) {
    time += UPDATE_INTERVAL_TIME;
    const Eigen::Vector3d rate(i % 3 == 1 ? 50.0 : 0.0, 0.0, 0.0);
    cycle_.Step(i % 3 == 0 ? SeenFrom(time, kTorso, 0.0, {}, -80.0)
                           : PerceptionText().Time(time).GameState(0.0, "PlayOn").Gyro(rate).Str());
    EXPECT_TRUE(cycle_.agent().GetRotation().isApprox(Eigen::Vector3d(0.0, 0.0, -90.0), 1e-9)) << i;
  }
  // Afterwards the body's own sensors lead again.
  TurnByGyro(time, Eigen::Vector3d(0.0, 0.0, 10.0));
  EXPECT_NEAR(-80.0, Heading(), 1e-9);
}

TEST_F(SimpleFieldStateTest, SpeedsAreDisplacementsPerVisionCycleEvenAcrossAGap) {
  cycle_.Step(SeenFrom(0.02, kTorso, 30.0));
  cycle_.Step(SeenFrom(0.08, kTorso + Eigen::Vector3d(0.03, 0.0, 0.0), 30.0));
  EXPECT_TRUE(cycle_.agent().GetSpeed().head<2>().isApprox(Eigen::Vector2d(0.03, 0.0), 1e-9));

  // Two vision cycles later, seen again 0.06 m further: 0.03 m per vision cycle.
  const Eigen::Vector3d torso = kTorso + Eigen::Vector3d(0.09, 0.0, 0.0);
  cycle_.Step(SeenFrom(0.20, torso, 30.0));
  EXPECT_TRUE(cycle_.agent().GetSpeed().head<2>().isApprox(Eigen::Vector2d(0.03, 0.0), 1e-9));
  // The ball stood still throughout.
  EXPECT_LT(cycle_.field().GetBall().GetSpeed().norm(), 1e-9);
}

TEST_F(SimpleFieldStateTest, UnseenObjectsKeepTheirPlace) {
  cycle_.Step(SeenFrom(0.02, kTorso, 30.0));
  const Eigen::Vector3d ball = cycle_.field().GetBall().GetAbsoluteCoordinates();
  // Only the landmarks come into view: the ball and the opponent stay where they were seen.
  const SyntheticScene scene(kTorso + Eigen::Vector3d(1.0, 0.0, 0.0), 30.0,
                             cycle_.agent().GetBodyPart(BP_HEAD).global_transform);
  PerceptionText text;
  text.Time(0.08).GameState(0.0, "PlayOn").See();
  scene.AddLandmarks(text, true);
  cycle_.Step(text.Str());
  EXPECT_EQ(ball, cycle_.field().GetBall().GetAbsoluteCoordinates());
  EXPECT_FALSE(cycle_.field().GetBall().IsVisible());
  EXPECT_TRUE(cycle_.field().GetEnemyPlayer(2).GetAbsoluteCoordinates().isApprox(kEnemyHead, 1e-9));
  EXPECT_FALSE(cycle_.field().GetEnemyPlayer(2).IsVisible());
}

}  // namespace
}  // namespace test
}  // namespace zamp
