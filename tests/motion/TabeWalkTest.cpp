#include "motion/TabeWalk.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "support/ClosedLoop.h"

namespace zamp {
namespace {

const double EPS = 1e-6;

// Holds chosen current speeds: with target equal to current the ramp does not move.
class TabeWalkProbe : public TabeWalk {
 public:
  void Hold(double vertical, double horizon, double rotation) {
    vertical_.current = vertical_.target = vertical;
    horizon_.current = horizon_.target = horizon;
    rotation_.current = rotation_.target = rotation;
  }
};

class TabeWalkTest : public ::testing::Test {
 protected:
  // Installs fresh shared instances; most tests here never step it.
  test::ClosedLoop loop_;

  JointController& joint() { return *Singleton<JointController>::GetInstance(); }
  AgentState& agent() { return *Singleton<AgentState>::GetInstance(); }

  // The gait always commands the hip rolls (5 degrees at rest); the standing pose never.
  bool GaitCommanded() {
    return joint().GetSpeed(HJ_LLJ2) != 0.0 && joint().GetSpeed(HJ_RLJ2) != 0.0;
  }

  int CommandedJointCount() {
    int count = 0;
    for (int id = 0; id < HINGE_JOINT_NUM; ++id) count += joint().GetSpeed(id) != 0.0;
    return count;
  }
};

TEST_F(TabeWalkTest, ConstructionPublishesTheMaximalSpeedAndTakesTheFirstPoints) {
  TabeWalk walk;
  EXPECT_EQ(agent().GetMaxWalkSpeed(), Eigen::Vector3d(0.6912442396313364, 0.4, 0));
  EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), 1);
  EXPECT_EQ(walk.GetLocusPoint().GetRightTarget(), Eigen::Vector2d(23, -152));
}

TEST_F(TabeWalkTest, RunRampsThePublishedSpeeds) {
  TabeWalk walk;
  walk.SettingSpeed(1, -1, 1);
  walk.Run();
  walk.Run();
  EXPECT_NEAR(walk.GetCurrentVerticalSpeed(), 0.03, 1e-12);
  EXPECT_NEAR(walk.GetCurrentHorizonSpeed(), -0.05, 1e-12);
  EXPECT_NEAR(walk.GetCurrentRotationSpeed(), 0.1, 1e-12);
  EXPECT_EQ(agent().GetCurrentWalkSpeed(), Eigen::Vector3d(walk.GetCurrentVerticalSpeed(),
                                                           walk.GetCurrentHorizonSpeed(), 0));
}

struct PhaseCase {
  double vc, hc, rc;
  int extra_steps;  // locus steps before the cycle; the counter starts at 1
  double yaw;       // both hip yaw joints
  double roll;      // left hip roll; the right one is its negative
};

class TabeWalkPhaseTest : public TabeWalkTest, public ::testing::WithParamInterface<PhaseCase> {};

TEST_P(TabeWalkPhaseTest, YawAndRollFollowTheHalfOfTheStep) {
  const PhaseCase& c = GetParam();
  TabeWalkProbe walk;
  for (int i = 0; i < c.extra_steps; ++i) walk.GetLocusPoint().UpdatePoint();
  walk.Hold(c.vc, c.hc, c.rc);
  walk.Run();
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ1), c.yaw, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ1), c.yaw, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ2), c.roll, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ2), -c.roll, EPS);
}

// Counter 1 is in the first half of eight points, counter 4 in the second. Walking
// backwards shifts the counter by six points.
INSTANTIATE_TEST_SUITE_P(
    TabeWalk, TabeWalkPhaseTest,
    ::testing::Values(PhaseCase{0, 0, 0, 0, 0, 5},       // stepping on the spot
                      PhaseCase{0, 0, 1, 0, -30, 5},     // turning left, first half
                      PhaseCase{0, 0, 1, 3, 10, 5},      // turning left, second half
                      PhaseCase{0, 0, -1, 0, 10, 5},     // turning right, first half
                      PhaseCase{0, 0, -1, 3, -30, 5},    // turning right, second half
                      PhaseCase{0, 0.5, 0, 0, 0, 13},    // sideways, first half
                      PhaseCase{0, 0.5, 0, 3, 0, -1},    // sideways, second half
                      PhaseCase{0, -0.5, 0, 0, 0, -1},   // the other way, first half
                      PhaseCase{0, -0.5, 0, 3, 0, 13},   // the other way, second half
                      PhaseCase{-0.5, 0, 1, 0, 10, 5},   // backwards: (1 + 6) mod 8 = 7
                      PhaseCase{-0.5, 0, 1, 3, -30, 5},  // backwards: (4 + 6) mod 8 = 2
                      PhaseCase{0.5, 0, 1, 3, 10, 5}));  // forwards: no shift

TEST_F(TabeWalkTest, FullForwardSpeedSolvesBothLegsAndLevelsTheFeet) {
  TabeWalkProbe walk;
  walk.Hold(1, 0, 0);
  walk.Run();
  // Right foot at (23, -152) mm, left at (-38, -134) mm; with no yaw the levelled ankle
  // pitch undoes hip pitch plus knee, and the ankle roll undoes the hip roll.
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ3), 10.8737830820, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ4), -68.7523384092, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ5), 57.8785553273, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ6), 5, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ3), 39.0540328757, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ4), -86.8732238864, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ5), 47.8191910107, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ6), -5, EPS);
  EXPECT_EQ(walk.GetLocusPoint().GetLocusType(), LocusPoint::LOCUS_FORWORD);
  EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), 2);
}

TEST_F(TabeWalkTest, StrideScalesWithTheForwardSpeed) {
  TabeWalkProbe walk;
  walk.Hold(0.5, 0, 0);
  walk.Run();
  // Right foot at (0.5 * 23, -152) mm.
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ3), 15.5593002627, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ4), -70.5158879599, EPS);
}

TEST_F(TabeWalkTest, LevellingUsesAFifthOfTheYaw) {
  TabeWalkProbe walk;
  walk.Hold(0, 0, 1);
  walk.Run();
  // Feet at (0, -152) and (0, -134) mm; yaw -30 on the joints, -6 in the levelling.
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ1), -30, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ3), 20.0190340726, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ4), -71.0994031998, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ5), 46.8265238680, 1e-4);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ6), 4.8293584554, 1e-4);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ3), 24.2000996834, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ5), 64.4391585600, 1e-4);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ6), -4.8293584554, 1e-4);
}

TEST_F(TabeWalkTest, EachAnkleTakesTheOtherFootsPitchOffset) {
  TabeWalkProbe walk;
  LocusPoint& locus = walk.GetLocusPoint();
  locus.InputDirectCSV("0,-152,2\n0,-152,0\n0,-134,-3\n0,-134,0\n",
                       locus.GetLocuses()[LocusPoint::LOCUS_FORWORD]);
  locus.UpdatePoint();  // counter 1: right point 1 (offset 0), left point 3 (offset 0)
  locus.UpdatePoint();  // counter 2: right point 2 (offset -3), left point 0 (offset 2)
  walk.Hold(0, 0, 0);
  walk.Run();
  EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ5), 2 + 68.6930038193, EPS);
  EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ5), -3 + 51.0803691272, EPS);
}

TEST_F(TabeWalkTest, CommandsTheTwelveLegJointsOnly) {
  TabeWalkProbe walk;
  walk.Hold(1, 0.3, 0.4);
  walk.Run();
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) {
    const bool leg = (id >= HJ_RLJ1 && id <= HJ_RLJ6) || (id >= HJ_LLJ1 && id <= HJ_LLJ6);
    EXPECT_EQ(joint().GetSpeed(id) != 0.0, leg) << id;
  }
}

TEST_F(TabeWalkTest, WalkingBackwardsSelectsTheBackwardLocusAndKeepsTheCounter) {
  TabeWalkProbe walk;
  walk.Hold(-0.3, 0, 0);
  walk.Run();
  const LocusPoint& locus = walk.GetLocusPoint();
  EXPECT_EQ(locus.GetLocusType(), LocusPoint::LOCUS_BACK);
  EXPECT_EQ(locus.GetCurrentCycle(), 2);
  // Backward point 1 is forward point 6; the left foot takes backward point 5.
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(-19, -149));
  EXPECT_EQ(locus.GetLeftTarget(), Eigen::Vector2d(2, -138));
}

TEST_F(TabeWalkTest, StopInsideTheBandSendsOnlyTheStandingPose) {
  TabeWalkProbe walk;
  walk.Hold(0.04, -0.04, 0.0);
  walk.SetStop(true);
  walk.Run();
  EXPECT_FALSE(walk.IsStop());
  EXPECT_EQ(walk.GetCurrentVerticalSpeed(), 0);
  EXPECT_EQ(walk.GetCurrentHorizonSpeed(), 0);
  EXPECT_EQ(walk.GetVerticalSpeed(), 0);
  EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), 1);
  EXPECT_EQ(CommandedJointCount(), 6);
  EXPECT_EQ(joint().GetTargetDegree(HJ_RLJ4), -70);
}

TEST_F(TabeWalkTest, StopAtTheBandsEdgeKeepsWalking) {
  TabeWalkProbe walk;
  walk.Hold(0, 0, 0.05);
  walk.SetStop(true);
  walk.Run();
  EXPECT_EQ(walk.GetRotationSpeed(), 0);
  EXPECT_NEAR(walk.GetCurrentRotationSpeed(), 0.0, 1e-12);
  EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), 2);
  EXPECT_TRUE(GaitCommanded());
}

TEST_F(TabeWalkTest, StopFromFullSpeedRampsDownBeforeStanding) {
  TabeWalkProbe walk;
  walk.Hold(1, 0, 0);
  int cycles = 0;
  bool stood = false;
  // The caller keeps asking; the gait runs until the speeds are inside the band.
  while (!stood && cycles < 200) {
    const int counter = walk.GetLocusPoint().GetCurrentCycle();
    const double before = walk.GetCurrentVerticalSpeed();
    walk.SetStop(true);
    joint().Reset();
    walk.Run();
    ++cycles;
    EXPECT_EQ(walk.GetVerticalSpeed(), 0);
    stood = std::fabs(before) < 0.05;
    if (stood) {
      EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), counter);
      EXPECT_EQ(CommandedJointCount(), 6);
    } else {
      EXPECT_NEAR(walk.GetCurrentVerticalSpeed(), before - 0.015, 1e-9);
      EXPECT_TRUE(GaitCommanded());
    }
  }
  // 1 - 64 * 0.015 = 0.04 is the first speed inside the band; the 65th cycle stands.
  EXPECT_EQ(cycles, 65);
  EXPECT_EQ(walk.GetCurrentVerticalSpeed(), 0);
}

TEST_F(TabeWalkTest, EmptyForwardLocusCommandsFiniteAnglesWithoutStepping) {
  TabeWalkProbe walk;
  LocusPoint& locus = walk.GetLocusPoint();
  locus.InputDirectCSV("", locus.GetLocuses()[LocusPoint::LOCUS_FORWORD]);
  walk.Hold(1, 0.5, 0.5);
  for (int i = 0; i < 3; ++i) walk.Run();
  EXPECT_EQ(locus.GetCurrentCycle(), 1);
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) EXPECT_TRUE(std::isfinite(joint().GetSpeed(id)));
}

}  // namespace
}  // namespace zamp
