#include <gtest/gtest.h>

#include "motion/MotionLoopTest.h"
#include "motion/OldKick.h"

namespace zamp {
namespace {

const int LAND_LEFT_FOOT2 = 2;
const int FIRE_LEFT_FOOT = 3;
const int LAND_RIGHT_FOOT1 = 4;

class OldKickTest : public MotionLoopTest {
 protected:
  OldKick kick_;
};

TEST_F(OldKickTest, HoldsTheReadyPoseSixtyOneCyclesThenPicksTheFootByTheBallsSide) {
  const struct {
    double horizon;  // degrees, positive to the left
    int land_step;
    int weight_roll_joint;
    double roll;  // degrees
  } cases[] = {{0.0, LAND_RIGHT_FOOT1, HJ_RLJ2, -10.0},
               {-3.0, LAND_RIGHT_FOOT1, HJ_RLJ2, -10.0},
               {0.5, 1, HJ_RLJ2, 10.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.horizon);
    OldKick kick;
    SetBallHorizonDegree(c.horizon);
    for (int cycle = 0; cycle < 60; ++cycle) Step(kick);
    EXPECT_EQ(0, kick.GetCurrentMotion());
    EXPECT_DOUBLE_EQ(-60.0, LastTarget(HJ_LLJ4));
    Step(kick);
    EXPECT_EQ(c.land_step, kick.GetCurrentMotion());
    for (int cycle = 0; cycle < 20; ++cycle) Step(kick);
    EXPECT_DOUBLE_EQ(c.roll, LastTarget(c.weight_roll_joint));
    EXPECT_EQ(c.land_step + 1, kick.GetCurrentMotion());
  }
}

// The lift waits until the leg's three pitch joints stand still at their targets; the
// ankle is drawn to its limit only once the thigh is up.
TEST_F(OldKickTest, LiftWaitsForTheLegToArriveBeforeFiring) {
  SetBallHorizonDegree(10.0);
  for (int cycle = 0; cycle < 81; ++cycle) Step(kick_);
  ASSERT_EQ(LAND_LEFT_FOOT2, kick_.GetCurrentMotion());

  int lift_cycles = 0;
  bool ankle_before_thigh = false;
  while (kick_.GetCurrentMotion() == LAND_LEFT_FOOT2 && lift_cycles < 500) {
    const double thigh = loop_.GetJointDegree(HJ_LLJ3);
    Step(kick_);
    if (thigh < 38.0 && LastTarget(HJ_LLJ5) != 0.0) ankle_before_thigh = true;
    ++lift_cycles;
  }
  EXPECT_FALSE(ankle_before_thigh);
  ASSERT_EQ(FIRE_LEFT_FOOT, kick_.GetCurrentMotion());
  EXPECT_NEAR(60.0, loop_.GetJointDegree(HJ_LLJ3), 0.2);
  EXPECT_NEAR(-110.0, loop_.GetJointDegree(HJ_LLJ4), 0.2);
  EXPECT_NEAR(-45.0, loop_.GetJointDegree(HJ_LLJ5), 0.2);
  EXPECT_GT(lift_cycles, 10);
}

TEST_F(OldKickTest, FireSnapsTheKneeAndEndsOnceTheLegHasStopped) {
  SetBallHorizonDegree(10.0);
  int cycles = 0;
  while (kick_.GetCurrentMotion() != FIRE_LEFT_FOOT && cycles < 1000) {
    Step(kick_);
    ++cycles;
  }
  ASSERT_EQ(FIRE_LEFT_FOOT, kick_.GetCurrentMotion());
  Step(kick_);
  EXPECT_DOUBLE_EQ(9999.0, loop_.GetCommandedSpeed(HJ_LLJ4));
  EXPECT_FALSE(kick_.IsEnd());

  // Without the server's speed limit the knee passes its target in one cycle, so the leg
  // stands still on the next and the kick jumps to its end.
  Step(kick_);
  EXPECT_TRUE(kick_.IsEnd());
  EXPECT_EQ(0, kick_.GetCurrentMotion());
  kick_.Reset();
  EXPECT_FALSE(kick_.IsEnd());
  EXPECT_EQ(0, kick_.GetCurrentMotion());
}

}  // namespace
}  // namespace zamp
