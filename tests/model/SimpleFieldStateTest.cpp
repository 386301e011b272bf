#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/Tool.h"
#include "model/SimpleFieldState.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"
#include "support/SyntheticScene.h"

namespace zamp {
namespace test {
namespace {

const char* const kTeam = "Alpha";

// The learning agents' field model on synthetic vision of an upright agent.
class SimpleFieldStateTest : public ::testing::Test {
 protected:
  const Eigen::Vector3d kBall{1.0, -1.0, 0.04};
  const Eigen::Vector3d kEnemyHead{2.0, 1.0, 0.5};

  SimpleFieldStateTest() : cycle_(kTeam, 1, ModelCycle::SIMPLE) {
    cycle_.Start(PerceptionText().Time(0.0).GameStateWithTeam(1, "left", 0.0, "PlayOn").Str(),
                 Eigen::Vector3d(-1.0, 0.0, 0.0));
  }

  // A vision message of the whole scene from the given torso pose (m, degrees).
  std::string SeenFrom(double time, const Eigen::Vector3d& torso, double heading) {
    const SyntheticScene scene(torso, heading,
                               cycle_.agent().GetBodyPart(BP_HEAD).global_transform);
    PerceptionText text;
    text.Time(time).GameState(0.0, "PlayOn").See();
    scene.AddLandmarks(text, true);
    text.Ball(scene.See(kBall));
    text.Player("Beta", 3, {{VISIBLE_PART_HEAD, scene.See(kEnemyHead)}});
    return text.Str();
  }

  ModelCycle cycle_;
};

TEST_F(SimpleFieldStateTest, OneVisionCycleGivesTheExactPoseBallAndPlayers) {
  const Eigen::Vector3d torso(-3.0, 2.0, 0.4);
  cycle_.Step(SeenFrom(0.02, torso, 30.0));
  EXPECT_TRUE(cycle_.agent().GetCoordinates().isApprox(torso, 1e-9));
  EXPECT_TRUE(cycle_.agent().GetRotation().isApprox(Eigen::Vector3d(0.0, 0.0, 30.0), 1e-9));
  EXPECT_TRUE(cycle_.field().GetBall().GetAbsoluteCoordinates().isApprox(kBall, 1e-9));
  EXPECT_TRUE(cycle_.field().GetEnemyPlayer(2).GetAbsoluteCoordinates().isApprox(kEnemyHead, 1e-9));
  // Every player counts as seen on every vision cycle, its parts only when seen.
  for (int i = 0; i < MAX_AGENT_NUM; ++i) EXPECT_TRUE(cycle_.field().GetAllPlayer(i).IsVisible());
  EXPECT_FALSE(cycle_.field().GetEnemyPlayer(2).GetVisiblePart(VISIBLE_PART_LEFT_FOOT).IsVisible());
}

TEST_F(SimpleFieldStateTest, SpeedIsTheDifferenceBetweenVisionCyclesWhichAloneMoveThePose) {
  cycle_.Step(SeenFrom(0.02, Eigen::Vector3d(-3.0, 2.0, 0.4), 30.0));
  cycle_.Step(SeenFrom(0.08, Eigen::Vector3d(-2.97, 2.0, 0.4), 30.0));
  EXPECT_TRUE(cycle_.agent().GetSpeed().head<2>().isApprox(Eigen::Vector2d(0.03, 0.0), 1e-9));
  const Eigen::Vector3d position = cycle_.agent().GetCoordinates();
  const Eigen::Vector3d rotation = cycle_.agent().GetRotation();
  cycle_.Step(PerceptionText().Time(0.1).Gyro(Eigen::Vector3d(0.0, 0.0, 90.0)).Str());
  EXPECT_EQ(cycle_.agent().GetCoordinates(), position);
  EXPECT_EQ(cycle_.agent().GetRotation(), rotation);
}

TEST_F(SimpleFieldStateTest, WithoutSeenFlagsThePreviousPoseStays) {
  // Vision with only the ball: every flag still sits at the head, the pair differences
  // are zero and give no direction.
  const std::string ball_only = PerceptionText().Time(0.02).Ball({2.0, 0.0, -10.0}).Str();
  cycle_.Step(ball_only);
  EXPECT_EQ(cycle_.agent().GetCoordinates(), Eigen::Vector3d::Zero());
  EXPECT_EQ(cycle_.agent().GetRotation(), Eigen::Vector3d::Zero());
  EXPECT_TRUE(cycle_.field().GetGlobalRotation().matrix().allFinite());
  EXPECT_TRUE(cycle_.field().GetBall().GetAbsoluteCoordinates().allFinite());
  // Once the flags were seen, a later cycle without them keeps the last pose too: the
  // store keeps their last polar coordinates.
  const Eigen::Vector3d torso(-3.0, 2.0, 0.4);
  cycle_.Step(SeenFrom(0.08, torso, 30.0));
  cycle_.Step(ball_only);
  EXPECT_TRUE(cycle_.agent().GetCoordinates().isApprox(torso, 1e-9));
}

}  // namespace
}  // namespace test
}  // namespace zamp
