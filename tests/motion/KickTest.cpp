#include <gtest/gtest.h>

#include <Eigen/Core>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/const.h"
#include "motion/Kick.h"
#include "motion/LongKick.h"
#include "support/ClosedLoop.h"
#include "support/StrategyWorld.h"

namespace zamp {
namespace {

// A kick whose kick point may be shifted freely; it plays nothing.
class ProbeKick : public Kick {
 public:
  explicit ProbeKick(double shift) { shift_kick_point_ = shift; }
  void Run() override {}
  void Reset() override {}
  bool IsEnd() const override { return true; }
};

// atan(0.005) in degrees: the 5 mm shift of the long kick seen from 1 m.
const double SHIFT_SEEN_FROM_1M = 0.2864765102;

const char* const PUSH_BALL = "xml/MotionXML/PushBall.xml";

TEST(KickTest, ThresholdsOfTheLongKick) {
  const ProbeKick none(0.0);
  EXPECT_EQ(none.GetThresholdDist(), 0.0);
  EXPECT_EQ(none.GetMaxDist(), 0.0);
  const LongKick kick(PUSH_BALL);
  EXPECT_EQ(kick.GetThresholdDist(), 0.168);
  EXPECT_EQ(kick.GetThresholdBallDir(), 0.4);
  EXPECT_EQ(kick.GetThresholdTargetDir(), 1.0);
  EXPECT_EQ(kick.GetShiftKickPoint(), -0.005);
  EXPECT_EQ(kick.GetMaxDist(), 19.0);
}

// The long kick shifts ball and target 5 mm to the right of the kick line, that is
// (0, -0.005) for a kick towards +x and (0, +0.005) for one towards -x.
TEST(KickTest, LineUpAnglesForBallAheadBesideAndBehind) {
  test::StrategyWorld world;
  const LongKick kick(PUSH_BALL);
  const struct {
    Eigen::Vector3d agent;  // x m, y m, heading degrees
    Eigen::Vector2d ball, target;
    double cross, turn;  // degrees
  } cases[] = {
      // Straight ahead, kicking on along +x: the shifted ball lies just right of the way.
      {{0, 0, 0}, {1, 0}, {11, 0}, -SHIFT_SEEN_FROM_1M, -SHIFT_SEEN_FROM_1M},
      // To the left, kicking along +x: the approach bends by a right angle.
      {{0, 0, 0}, {0, 1}, {10, 1}, 90, 90},
      {{0, 0, 90}, {0, 1}, {10, 1}, 90, 0},
      // Behind, kicking along +x: the robot stands on the wrong side of the ball.
      {{0, 0, 0}, {-1, 0}, {9, 0}, -180 + SHIFT_SEEN_FROM_1M, -180 + SHIFT_SEEN_FROM_1M},
      // Behind, kicking along -x from 1 cm left of the line: -179.71 minus 180 wraps to a
      // small bend.
      {{0, 0.01, 0}, {-1, 0}, {-11, 0}, SHIFT_SEEN_FROM_1M, -180 + SHIFT_SEEN_FROM_1M},
      // Exactly behind the shifted ball on the line to the shifted target.
      {{-1, -0.005, 0}, {0, 0}, {10, 0}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.agent.transpose() << " ball " << c.ball.transpose());
    world.PlaceAgent(c.agent.x(), c.agent.y(), c.agent.z());
    world.PlaceBall(c.ball.x(), c.ball.y());
    world.Update();
    const Kick::FixParam p = kick.CulcKickPositionParam(c.target);
    EXPECT_NEAR(p.ball_cross_degree_diff, c.cross, 1e-8);
    EXPECT_NEAR(p.ball_direction_diff, c.turn, 1e-8);
  }
}

TEST(KickTest, WithoutShiftTheBallAndTargetAreUsedAsTheyAre) {
  test::StrategyWorld world;
  const ProbeKick kick(0.0);
  world.PlaceAgent(-1, 0, 0);
  world.PlaceBall(0, 0);
  world.Update();
  const Kick::FixParam behind = kick.CulcKickPositionParam({10, 0});
  EXPECT_NEAR(behind.ball_cross_degree_diff, 0, 1e-12);
  EXPECT_NEAR(behind.ball_direction_diff, 0, 1e-12);
  // Towards (10, 10): the way to the ball runs along +x, the kick at 45 degrees.
  const Kick::FixParam bent = kick.CulcKickPositionParam({10, 10});
  EXPECT_NEAR(bent.ball_cross_degree_diff, -45, 1e-12);
}

class LongKickPlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::path(::testing::TempDir()) / "long_kick_probe.xml").string();
    std::ofstream(path_) << R"xml(<sequence name="probe_kick" refresh="false">
  <motion name="lift" time="3"><move id="rlj4" degree="-60.0" speed="0.1"/></motion>
  <motion name="fire" time="2"><move id="rlj3" degree="40.0" speed="2.0" type="1"/></motion>
</sequence>
)xml";
  }
  void TearDown() override { std::remove(path_.c_str()); }

  test::ClosedLoop loop_;
  std::string path_;
};

TEST_F(LongKickPlayTest, PlaysItsMotionFileToTheEndAndAgainAfterReset) {
  LongKick kick(path_);
  EXPECT_EQ(kick.GetMotion().GetName(), "probe_kick");
  const JointController& joint = *Singleton<JointController>::GetInstance();
  for (int round = 0; round < 2; ++round) {
    kick.Reset();
    for (int cycle = 1; cycle <= 5; ++cycle) {
      EXPECT_FALSE(kick.IsEnd()) << cycle;
      loop_.Step([&kick] { kick.Run(); });
      if (cycle <= 3) {
        EXPECT_EQ(joint.GetPrevTargetDegree(0, HJ_RLJ4), -60.0) << cycle;
        EXPECT_EQ(loop_.GetCommandedSpeed(HJ_RLJ3), 0.0) << cycle;
      } else {
        EXPECT_EQ(loop_.GetCommandedSpeed(HJ_RLJ3), 2.0) << cycle;
        EXPECT_EQ(loop_.GetCommandedSpeed(HJ_RLJ4), 0.0) << cycle;
      }
    }
    EXPECT_TRUE(kick.IsEnd());
    loop_.Step([&kick] { kick.Run(); });
    EXPECT_EQ(loop_.GetCommandedSpeed(HJ_RLJ3), 0.0);
  }
}

TEST_F(LongKickPlayTest, ShippedMotionFilePlaysToItsEnd) {
  LongKick kick(PUSH_BALL);
  int steps = 0;
  for (const MotionSequenceXML::Motion& m : kick.GetMotion().GetSequence()) {
    steps += std::max(m.end_time, 1);
  }
  int cycles = 0;
  while (!kick.IsEnd() && cycles <= steps) {
    loop_.Step([&kick] { kick.Run(); });
    ++cycles;
  }
  EXPECT_EQ(cycles, steps);
}

TEST(LongKickDeathTest, DefaultFileThatIsMissingEndsTheProcessNamingIt) {
  if (std::filesystem::exists("data/LongKick.xml")) GTEST_SKIP() << "data/LongKick.xml exists";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(LongKick(), ::testing::ExitedWithCode(1), "data/LongKick.xml");
}

}  // namespace
}  // namespace zamp
