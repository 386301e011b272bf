#include <gtest/gtest.h>

#include "motion/MotionLoopTest.h"
#include "motion/QuickKick.h"

namespace zamp {
namespace {

class QuickKickTest : public MotionLoopTest {
 protected:
  QuickKick kick_;
};

TEST_F(QuickKickTest, CrouchesOneDegreeACycleAndEndsAfterFiftyFourCyclesByJumpingToTheEnd) {
  for (int cycle = 1; cycle <= 21; ++cycle) {
    Step(kick_);
    EXPECT_DOUBLE_EQ(20.0 + cycle, LastTarget(HJ_RLJ3));
    EXPECT_DOUBLE_EQ(-2.0 * (20.0 + cycle), LastTarget(HJ_LLJ4));
  }
  EXPECT_EQ(54 - 21, PlayToEnd(kick_));
  EXPECT_EQ(0, kick_.GetCurrentMotion());
  kick_.Reset();
  EXPECT_EQ(54, PlayToEnd(kick_));
}

// The ball's side picks the kicking foot (straight ahead: right); how far it lies to the
// side (in degrees) opens the kicking leg's hip roll while the leg is lifted.
TEST_F(QuickKickTest, BallDirectionPicksTheFootAndTheLiftedLegsRoll) {
  const struct {
    double horizon;  // degrees, positive to the left
    int land_step;
    int kicking_roll_joint;
    double roll;  // degrees
  } cases[] = {
      {0.0, 3, HJ_RLJ2, 10.0},    {-0.005, 3, HJ_RLJ2, 10.0}, {-0.05, 3, HJ_RLJ2, 0.0},
      {-30.0, 3, HJ_RLJ2, -20.0}, {0.005, 1, HJ_LLJ2, -10.0}, {0.05, 1, HJ_LLJ2, 0.0},
      {30.0, 1, HJ_LLJ2, 20.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.horizon);
    QuickKick kick;
    SetBallHorizonDegree(c.horizon);
    for (int cycle = 0; cycle < 22; ++cycle) Step(kick);
    EXPECT_EQ(c.land_step, kick.GetCurrentMotion());
    for (int cycle = 0; cycle < 22; ++cycle) Step(kick);  // straighten, then lift
    EXPECT_EQ(c.land_step, kick.GetCurrentMotion());
    EXPECT_DOUBLE_EQ(c.roll, LastTarget(c.kicking_roll_joint));
    EXPECT_DOUBLE_EQ(-c.roll, LastTarget(c.kicking_roll_joint + 4));  // ankle roll
  }
}

TEST_F(QuickKickTest, FireSwingsTheKickingLegThroughForSevenCycles) {
  SetBallHorizonDegree(10.0);  // ball to the left: left foot
  for (int cycle = 0; cycle < 47; ++cycle) Step(kick_);
  ASSERT_EQ(2, kick_.GetCurrentMotion());
  for (int cycle = 0; cycle < 7; ++cycle) {
    SCOPED_TRACE(cycle);
    EXPECT_FALSE(kick_.IsEnd());
    Step(kick_);
    EXPECT_DOUBLE_EQ(80.0, LastTarget(HJ_LLJ3));
    EXPECT_DOUBLE_EQ(-35.0, LastTarget(HJ_RLJ3));
    EXPECT_DOUBLE_EQ(18.0, LastTarget(HJ_RLJ2));  // 8 + the weight shift of 10
  }
  EXPECT_TRUE(kick_.IsEnd());
}

}  // namespace
}  // namespace zamp
