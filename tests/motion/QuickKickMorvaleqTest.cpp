#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "motion/MotionLoopTest.h"
#include "motion/QuickKickMorvaleq.h"
#include "motion/Walk.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace {

// Stands in for the shared walk engine: counts the gait cycles the kick asks for.
class CountingWalk : public Walk {
 public:
  void Run() override { ++runs_; }
  int runs_ = 0;
};

const int SETTING_FOOT = 1;
const int MOVE_PIVOT = 2;
const int READY_LEFT = 3;
const int FIRE_LEFT = 4;
const int READY_RIGHT = 5;

class QuickKickMorvaleqTest : public MotionLoopTest {
 protected:
  QuickKickMorvaleqTest() : walk_(std::make_shared<CountingWalk>()), kick_(walk_) {}

  // The perception of one foot touching the ground.
  static std::string Contact(ForceResistanceID foot) {
    return test::PerceptionText()
        .ForceResistance(foot, Eigen::Vector3d(0.0, 0.0, -0.01), Eigen::Vector3d(0.0, 0.0, 20.0))
        .Str();
  }

  std::shared_ptr<CountingWalk> walk_;
  QuickKickMorvaleq kick_;
};

TEST_F(QuickKickMorvaleqTest, GivesUpWaitingForTheSupportFootAfterTwentyOneCycles) {
  Step(kick_);  // picks the foot
  for (int cycle = 1; cycle <= 20; ++cycle) Step(kick_);
  EXPECT_EQ(SETTING_FOOT, kick_.GetCurrentMotion());
  Step(kick_);
  EXPECT_EQ(MOVE_PIVOT, kick_.GetCurrentMotion());
  EXPECT_DOUBLE_EQ(10.0, LastTarget(HJ_RLJ2));  // leans over the right foot
  EXPECT_EQ(22, walk_->runs_);
}

TEST_F(QuickKickMorvaleqTest, MovesOnWhenTheSupportFootHasJustLanded) {
  const struct {
    double horizon;  // degrees, positive to the left
    ForceResistanceID support;
    ForceResistanceID other;
    int lean_joint;
    double lean;  // degrees
  } cases[] = {{0.0, FORCE_RESISTANCE_RIGHT, FORCE_RESISTANCE_LEFT, HJ_RLJ2, 10.0},
               {-5.0, FORCE_RESISTANCE_LEFT, FORCE_RESISTANCE_RIGHT, HJ_LLJ2, -10.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.horizon);
    auto walk = std::make_shared<CountingWalk>();
    QuickKickMorvaleq kick(walk);
    SetBallHorizonDegree(c.horizon);
    Step(kick);
    Step(kick, Contact(c.other));  // the kicking foot landing does not count
    Step(kick, Contact(c.other));
    EXPECT_EQ(SETTING_FOOT, kick.GetCurrentMotion());
    Step(kick, Contact(c.support));
    EXPECT_EQ(MOVE_PIVOT, kick.GetCurrentMotion());
    EXPECT_DOUBLE_EQ(c.lean, LastTarget(c.lean_joint));
  }
}

TEST_F(QuickKickMorvaleqTest, PivotsTwoCyclesAndDrawsTheKickingLegBackForThree) {
  const struct {
    double horizon;  // degrees
    int ready_step;
    int kicking_hip;
  } cases[] = {{0.0, READY_LEFT, HJ_LLJ3}, {-5.0, READY_RIGHT, HJ_RLJ3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.horizon);
    auto walk = std::make_shared<CountingWalk>();
    QuickKickMorvaleq kick(walk);
    SetBallHorizonDegree(c.horizon);
    for (int cycle = 0; cycle < 22; ++cycle) Step(kick);
    Step(kick);
    EXPECT_EQ(MOVE_PIVOT, kick.GetCurrentMotion());
    Step(kick);
    EXPECT_EQ(c.ready_step, kick.GetCurrentMotion());
    EXPECT_EQ(24, walk->runs_);
    for (int cycle = 0; cycle < 3; ++cycle) {
      EXPECT_EQ(c.ready_step, kick.GetCurrentMotion());
      Step(kick);
      EXPECT_DOUBLE_EQ(-15.0, LastTarget(c.kicking_hip));
    }
    EXPECT_EQ(c.ready_step + 1, kick.GetCurrentMotion());
    EXPECT_EQ(24, walk->runs_);
  }
}

// Six cycles of waiting, one swing at full speed, and the end once the hip is seen past
// 69 degrees.
TEST_F(QuickKickMorvaleqTest, FireWaitsSwingsAndEndsOnceTheHipHasPassed) {
  for (int cycle = 0; cycle < 27; ++cycle) Step(kick_);
  ASSERT_EQ(FIRE_LEFT, kick_.GetCurrentMotion());
  for (int cycle = 0; cycle < 6; ++cycle) {
    Step(kick_);
    EXPECT_EQ(0.0, LastTarget(HJ_LLJ4));
  }
  Step(kick_);
  EXPECT_DOUBLE_EQ(1000.0, loop_.GetCommandedSpeed(HJ_LLJ3));
  EXPECT_DOUBLE_EQ(-35.0, LastTarget(HJ_LLJ4));
  EXPECT_FALSE(kick_.IsEnd());
  Step(kick_);
  EXPECT_TRUE(kick_.IsEnd());
  EXPECT_EQ(0, kick_.GetCurrentMotion());
  EXPECT_EQ(35, loop_.GetCycleCount());
}

TEST_F(QuickKickMorvaleqTest, FireDoesNotEndWhileTheHipStaysBelowSixtyNine) {
  for (int cycle = 0; cycle < 27; ++cycle) Step(kick_);
  for (int cycle = 0; cycle < 200; ++cycle) {
    loop_.SetJointDegree(HJ_LLJ3, 69.0);
    Step(kick_);
  }
  EXPECT_FALSE(kick_.IsEnd());
  EXPECT_EQ(FIRE_LEFT, kick_.GetCurrentMotion());
}

TEST_F(QuickKickMorvaleqTest, HipAlreadyPastOnTheSixthCycleEndsBeforeTheSwing) {
  for (int cycle = 0; cycle < 27; ++cycle) Step(kick_);
  for (int cycle = 0; cycle < 5; ++cycle) Step(kick_);
  loop_.SetJointDegree(HJ_LLJ3, 75.0);
  Step(kick_);
  EXPECT_TRUE(kick_.IsEnd());
  EXPECT_EQ(0.0, LastTarget(HJ_LLJ4));
}

}  // namespace
}  // namespace zamp
