#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "motion/TabeWalk.h"
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

TEST_F(TabeWalkTest, SharedEngineRampsAndPublishesItsSpeeds) {
  // The match agent and a walking kick share one engine.
  std::shared_ptr<Walk> walk = std::make_shared<TabeWalk>();
  EXPECT_EQ(agent().GetMaxWalkSpeed(), Eigen::Vector3d(0.6912442396313364, 0.4, 0));
  std::shared_ptr<Walk> kick_walk = walk;
  walk->SettingSpeed(1, -1, 1);
  walk->Run();
  kick_walk->Run();
  EXPECT_NEAR(walk->GetCurrentVerticalSpeed(), 0.03, 1e-12);
  EXPECT_NEAR(walk->GetCurrentHorizonSpeed(), -0.05, 1e-12);
  EXPECT_NEAR(walk->GetCurrentRotationSpeed(), 0.1, 1e-12);
  EXPECT_EQ(agent().GetCurrentWalkSpeed(), Eigen::Vector3d(0.03, -0.05, 0));
}

// Counter 1 is in the first half of eight points, counter 4 in the second. Walking
// backwards shifts the counter by six points.
TEST_F(TabeWalkTest, YawAndRollFollowTheHalfOfTheStep) {
  const struct {
    double vc, hc, rc;
    int extra_steps;  // locus steps before the cycle; the counter starts at 1
    double yaw;       // both hip yaw joints
    double roll;      // left hip roll; the right one is its negative
  } cases[] = {
      {0, 0, 0, 0, 0, 5},       // stepping on the spot
      {0, 0, 1, 0, -30, 5},     // turning left, first half
      {0, 0, 1, 3, 10, 5},      // turning left, second half
      {0, 0, -1, 0, 10, 5},     // turning right, first half
      {0, 0, -1, 3, -30, 5},    // turning right, second half
      {0, 0.5, 0, 0, 0, 13},    // sideways, first half
      {0, 0.5, 0, 3, 0, -1},    // sideways, second half
      {0, -0.5, 0, 0, 0, -1},   // the other way, first half
      {0, -0.5, 0, 3, 0, 13},   // the other way, second half
      {-0.5, 0, 1, 0, 10, 5},   // backwards: (1 + 6) mod 8 = 7
      {-0.5, 0, 1, 3, -30, 5},  // backwards: (4 + 6) mod 8 = 2
      {0.5, 0, 1, 3, 10, 5},    // forwards: no shift
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.vc << " " << c.hc << " " << c.rc << " +" << c.extra_steps);
    TabeWalkProbe walk;
    for (int i = 0; i < c.extra_steps; ++i) walk.GetLocusPoint().UpdatePoint();
    walk.Hold(c.vc, c.hc, c.rc);
    walk.Run();
    EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ1), c.yaw, EPS);
    EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ1), c.yaw, EPS);
    EXPECT_NEAR(joint().GetTargetDegree(HJ_LLJ2), c.roll, EPS);
    EXPECT_NEAR(joint().GetTargetDegree(HJ_RLJ2), -c.roll, EPS);
  }
}

// The two-link legs solved for the first locus points, right foot at (23, -152) mm and
// left at (-38, -134) mm, the stride scaled by the forward speed. The levelled ankle pitch
// undoes hip pitch plus knee, the ankle roll the hip roll; the levelling takes a fifth of
// the hip yaw.
TEST_F(TabeWalkTest, LegsAreSolvedForTheLocusPointsAndTheFeetLevelled) {
  const struct {
    double vc, rc;
    std::vector<std::pair<int, double>> targets;  // degrees
  } cases[] = {
      {1,
       0,
       {{HJ_RLJ3, 10.8737830820},
        {HJ_RLJ4, -68.7523384092},
        {HJ_RLJ5, 57.8785553273},
        {HJ_RLJ6, 5},
        {HJ_LLJ3, 39.0540328757},
        {HJ_LLJ4, -86.8732238864},
        {HJ_LLJ5, 47.8191910107},
        {HJ_LLJ6, -5}}},
      {0.5, 0, {{HJ_RLJ3, 15.5593002627}, {HJ_RLJ4, -70.5158879599}}},
      // Feet at (0, -152) and (0, -134) mm; yaw -30 on the joints, -6 in the levelling.
      {0,
       1,
       {{HJ_RLJ1, -30},
        {HJ_RLJ3, 20.0190340726},
        {HJ_RLJ4, -71.0994031998},
        {HJ_RLJ5, 46.8265238680},
        {HJ_RLJ6, 4.8293584554},
        {HJ_LLJ3, 24.2000996834},
        {HJ_LLJ5, 64.4391585600},
        {HJ_LLJ6, -4.8293584554}}},
  };
  for (const auto& c : cases) {
    TabeWalkProbe walk;
    walk.Hold(c.vc, 0, c.rc);
    walk.Run();
    for (const auto& [id, degree] : c.targets) {
      EXPECT_NEAR(joint().GetTargetDegree(id), degree, 1e-4) << c.vc << " " << c.rc << " " << id;
    }
    EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), 2);
  }
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

TEST_F(TabeWalkTest, StopInsideTheBandSendsOnlyTheStandingPoseAtTheEdgeKeepsWalking) {
  TabeWalkProbe walk;
  walk.Hold(0.04, -0.04, 0.0);
  walk.SetStop(true);
  walk.Run();
  EXPECT_FALSE(walk.IsStop());
  EXPECT_EQ(walk.GetCurrentVerticalSpeed(), 0);
  EXPECT_EQ(walk.GetCurrentHorizonSpeed(), 0);
  EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), 1);
  EXPECT_EQ(CommandedJointCount(), 6);

  joint().Reset();
  walk.Hold(0, 0, 0.05);
  walk.SetStop(true);
  walk.Run();
  EXPECT_EQ(walk.GetRotationSpeed(), 0);
  EXPECT_EQ(walk.GetLocusPoint().GetCurrentCycle(), 2);
  EXPECT_TRUE(GaitCommanded());
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

// Loci edited beyond the legs' reach, of other lengths, or emptied, while random speeds
// are commanded: every commanded joint speed stays finite and within the joint's limit.
TEST_F(TabeWalkTest, RandomSpeedsAndUnreachableLociKeepEveryJointSpeedBounded) {
  TabeWalk walk;
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> speed(-1.0, 1.0);
  std::uniform_int_distribution<int> hold(1, 80);
  std::uniform_int_distribution<int> percent(0, 99);
  std::vector<LocusPoint::Data>& loci = walk.GetLocusPoint().GetLocuses();
  const struct {
    int cycle;
    LocusPoint::LocusType type;
    const char* text;
  } edits[] = {
      {300, LocusPoint::LOCUS_FORWORD, "400,-300,0\n0,0,0\n-250,10,0\n1e6,-1e6,0\n0,-60,0\n"},
      {700, LocusPoint::LOCUS_BACK, "0,-500,0\n-200,200,5\n30,-20,-90\n"},
      {1100, LocusPoint::LOCUS_FORWORD, ""},
      {1400, LocusPoint::LOCUS_BACK, "0,-180,0\n0,-70,0\n125,-55,0\n-180,0,0\n0,0,1e300\n"},
      {1700, LocusPoint::LOCUS_FORWORD, "23,-152,0\n-40,-145,0\n"},
  };
  const double vc_values[] = {1.0, -1.0};
  int next_change = 0;
  std::size_t next_edit = 0;
  int gait_cycles = 0;
  double max_speed_seen = 0.0;
  for (int cycle = 0; cycle < 2000; ++cycle) {
    if (next_edit < sizeof(edits) / sizeof(edits[0]) && cycle == edits[next_edit].cycle) {
      walk.GetLocusPoint().InputDirectCSV(edits[next_edit].text, loci[edits[next_edit].type]);
      ++next_edit;
    }
    if (cycle == next_change) {
      // Now and then a full-speed request, so the ramp reaches the ends of its range.
      const double v = percent(random) < 20 ? vc_values[cycle % 2] : speed(random);
      walk.SettingSpeed(v, speed(random), speed(random));
      walk.AdjustSpeed();
      next_change = cycle + hold(random);
    }
    walk.SetStop(percent(random) < 3);
    loop_.Step([&walk] { walk.Run(); });
    gait_cycles += loop_.GetCommandedSpeed(HJ_LLJ2) != 0.0;
    ASSERT_TRUE(loop_.SpeedsWithinLimits(max_speed_seen));
  }
  EXPECT_EQ(next_edit, sizeof(edits) / sizeof(edits[0]));
  // Mostly walking, so the bounds above were checked on gait cycles.
  EXPECT_GT(gait_cycles, 1000);
  // The limit was reached: the unreachable points drove the joints as hard as allowed.
  EXPECT_DOUBLE_EQ(max_speed_seen, 6.1395);
}

TEST_F(TabeWalkTest, ForwardWalkRepeatsWithTheLocusPeriodAndAStopStandsTheLegsUp) {
  TabeWalk walk;
  std::vector<double> right;  // hip pitch angles each cycle perceives, degrees
  std::vector<double> left;
  for (int cycle = 0; cycle < 500; ++cycle) {
    walk.SettingSpeed(1, 0, 0);
    walk.AdjustSpeed();
    right.push_back(loop_.GetJointDegree(HJ_RLJ3));
    left.push_back(loop_.GetJointDegree(HJ_LLJ3));
    loop_.Step([&walk] { walk.Run(); });
  }
  // Eight points per loop; the speed alternates every cycle once ramped, which divides it.
  const int period = 8;
  for (int t = 400; t + period < 500; ++t) {
    EXPECT_NEAR(right[t + period], right[t], 1e-6) << t;
    // The left foot runs the same loop half a period later.
    EXPECT_NEAR(left[t], right[t + period / 2], 0.05) << t;
  }
  const auto [low, high] = std::minmax_element(right.begin() + 400, right.begin() + 400 + period);
  EXPECT_GT(*high - *low, 10.0);
  EXPECT_GT(*low, -25.0);
  EXPECT_LT(*high, 100.0);

  int stood_at = -1;
  for (int cycle = 0; cycle < 300; ++cycle) {
    const double vc = walk.GetCurrentVerticalSpeed();
    const int counter = walk.GetLocusPoint().GetCurrentCycle();
    walk.SetStop(true);
    loop_.Step([&walk] { walk.Run(); });
    if (stood_at < 0 && walk.GetLocusPoint().GetCurrentCycle() == counter) {
      stood_at = cycle;
      EXPECT_LT(std::fabs(vc), Walk::STOP_SPEED_BAND);
    }
  }
  // From 0.99 or 1.005 the speed comes down 0.015 a cycle before the pose is sent.
  EXPECT_GE(stood_at, 63);
  EXPECT_LE(stood_at, 70);
  const std::pair<int, double> pose[] = {{HJ_RLJ3, 30}, {HJ_RLJ4, -70}, {HJ_RLJ5, 40},
                                         {HJ_LLJ3, 30}, {HJ_LLJ4, -70}, {HJ_LLJ5, 40}};
  for (const auto& [id, degree] : pose) {
    EXPECT_LE(std::fabs(loop_.GetJointDegree(id) - degree), 0.2) << id;
    EXPECT_EQ(loop_.GetCommandedSpeed(id), 0.0) << id;
  }
}

}  // namespace
}  // namespace zamp
