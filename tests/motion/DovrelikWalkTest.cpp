#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "motion/DovrelikWalk.h"
#include "support/ClosedLoop.h"

namespace zamp {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

// Holds chosen current speeds: with target equal to current the ramp does not move.
class DovrelikWalkProbe : public DovrelikWalk {
 public:
  void Hold(double vertical, double horizon, double rotation) {
    vertical_.current = vertical_.target = vertical;
    horizon_.current = horizon_.target = horizon;
    rotation_.current = rotation_.target = rotation;
  }
};

class DovrelikWalkTest : public ::testing::Test {
 protected:
  test::ClosedLoop loop_;

  JointController& joint() { return *Singleton<JointController>::GetInstance(); }
  AgentState& agent() { return *Singleton<AgentState>::GetInstance(); }

  // Steps the loop to the server cycle, then runs the walk once and keeps the targets it
  // gave the twelve leg joints.
  std::vector<double> TargetsAtCycle(test::ClosedLoop& loop, Walk& walk, int server_cycle) {
    while (loop.GetCycleCount() < server_cycle) loop.Step(nullptr);
    std::vector<double> targets;
    loop.Step([&] {
      walk.Run();
      for (int id : LEG_JOINTS) targets.push_back(joint().GetTargetDegree(id));
    });
    return targets;
  }

  static constexpr int LEG_JOINTS[12] = {HJ_RLJ3, HJ_RLJ4, HJ_RLJ5, HJ_LLJ3, HJ_LLJ4, HJ_LLJ5,
                                         HJ_RLJ2, HJ_RLJ6, HJ_LLJ2, HJ_LLJ6, HJ_RLJ1, HJ_LLJ1};
};

// Sinusoids of the server cycle, hand-worked: at cycle 3 the step phase is 90 degrees, so
// the hip pitch amplitude is 0 and the right leg swings with the full lift.
TEST_F(DovrelikWalkTest, JointsFollowTheSinusoidsOfTheServerCycle) {
  const struct {
    int cycle;
    double vc, hc, rc;
    // rlj3 rlj4 rlj5 llj3 llj4 llj5 rlj2 rlj6 llj2 llj6 rlj1 llj1, degrees
    std::vector<double> targets;
  } cases[] = {
      // In place: the lift and the lateral shift do not depend on the speeds.
      {3,
       0,
       0,
       0,
       {60.0625736113, -130.3357847365, 73.0475736113, 24.5, -53.165, 37.485, -1.508998945,
        1.508998945, -1.508998945, 1.508998945, 0, 0}},
      // Cycle 0: full hip swing, no lift, the left leg counts as the swing leg.
      {0,
       1,
       0.5,
       1,
       {-36.6147953451, -53.165, 98.5997953451, 85.6147953451, -53.165, -23.6297953451,
        -8.4655266054, 8.4655266054, 8.4655266054, -8.4655266054, -45.2374968229, -45.2374968229}},
      // Backwards: larger lift and lateral shift.
      {3,
       -0.5,
       0,
       0,
       {61.2783900526, -132.9741064141, 74.2633900526, 24.5, -53.165, 37.485, -3.3523760593,
        3.3523760593, -3.3523760593, 3.3523760593, 0, 0}},
      {2,
       0.5,
       -0.4,
       -0.6,
       {35.8932313722, -111.0430885524, 79.4356290447, 39.7786988363, -53.165, 22.2063011637,
        2.0793792215, -2.0793792215, -4.6930420628, 4.6930420628, 13.5712490469, 13.5712490469}},
  };
  for (const auto& c : cases) {
    test::ClosedLoop fresh;
    DovrelikWalkProbe walk;
    walk.Hold(c.vc, c.hc, c.rc);
    const std::vector<double> targets = TargetsAtCycle(fresh, walk, c.cycle);
    for (std::size_t i = 0; i < targets.size(); ++i) {
      EXPECT_NEAR(targets[i], c.targets[i], 1e-6) << "cycle " << c.cycle << " joint " << i;
    }
  }
}

TEST_F(DovrelikWalkTest, JointsUseLastCyclesSpeedsAndThePublishedSpeedIsTheNewOne) {
  DovrelikWalk walk;
  EXPECT_EQ(agent().GetMaxWalkSpeed(), Eigen::Vector3d(0.5338078291814946, 0.4, 0));
  walk.SettingSpeed(1, -1, 1);
  walk.AdjustSpeed();
  const std::vector<double> targets = TargetsAtCycle(loop_, walk, 0);
  // Still the pose of speed 0 at cycle 0: hips on their offset, no yaw.
  EXPECT_NEAR(targets[0], 24.5, 1e-12);
  EXPECT_NEAR(targets[3], 24.5, 1e-12);
  EXPECT_NEAR(targets[10], 0, 1e-12);
  // AdjustSpeed of the base: forward 1 * |(1 - 0.9)(1 - 0.5)|.
  EXPECT_NEAR(walk.GetVerticalSpeed(), 0.05, 1e-12);
  EXPECT_NEAR(agent().GetCurrentWalkSpeed().x(), 0.015, 1e-12);
  EXPECT_NEAR(agent().GetCurrentWalkSpeed().y(), -0.025, 1e-12);
}

// Requests that are not numbers or far out of range, with and without AdjustSpeed, and
// stop requests: every commanded joint speed is finite and within the joint's limit.
TEST_F(DovrelikWalkTest, RandomAndExtremeSpeedsKeepEveryJointSpeedBounded) {
  DovrelikWalk walk;
  std::mt19937 random(20241207);
  std::uniform_real_distribution<double> speed(-1.5, 1.5);
  std::uniform_int_distribution<int> percent(0, 99);
  const double extremes[] = {NaN, INF, -INF, 1e300, -1e300, 2.0, -2.0};
  double max_speed_seen = 0.0;
  int gait_cycles = 0;
  for (int cycle = 0; cycle < 3000; ++cycle) {
    if (cycle % 40 == 0) {
      auto pick = [&] {
        return percent(random) < 30 ? extremes[percent(random) % 7] : speed(random);
      };
      walk.SettingSpeed(pick(), pick(), pick());
      if (percent(random) < 70) walk.AdjustSpeed();
    }
    walk.SetStop(percent(random) < 2);
    loop_.Step([&walk] { walk.Run(); });
    gait_cycles += loop_.GetCommandedSpeed(HJ_LLJ2) != 0.0;
    ASSERT_TRUE(loop_.SpeedsWithinLimits(max_speed_seen));
    // Within full speed, whether or not the caller clamped its request.
    const Eigen::Vector3d published = agent().GetCurrentWalkSpeed();
    ASSERT_LE(std::fabs(published.x()), 1.015) << cycle;
    ASSERT_LE(std::fabs(published.y()), 1.025) << cycle;
    ASSERT_LE(std::fabs(walk.GetCurrentRotationSpeed()), 1.05) << cycle;
  }
  EXPECT_GT(gait_cycles, 2000);
  EXPECT_GT(max_speed_seen, 1.0);
}

TEST_F(DovrelikWalkTest, NonFiniteRequestsRampTheSpeedsDown) {
  DovrelikWalkProbe walk;
  walk.Hold(0.6, 0.3, -0.3);
  walk.SettingSpeed(NaN, INF, -INF);
  for (int i = 0; i < 60; ++i) loop_.Step([&walk] { walk.Run(); });
  EXPECT_NEAR(walk.GetCurrentVerticalSpeed(), 0, 0.02);
  EXPECT_NEAR(walk.GetCurrentHorizonSpeed(), 0, 0.03);
  EXPECT_NEAR(walk.GetCurrentRotationSpeed(), 0, 0.06);
}

TEST_F(DovrelikWalkTest, ForwardWalkRepeatsEveryTwelveCyclesAndAStopStandsTheLegsUp) {
  DovrelikWalk walk;
  std::vector<double> right;  // hip pitch angles each cycle perceives, degrees
  std::vector<double> left;
  for (int cycle = 0; cycle < 600; ++cycle) {
    walk.SettingSpeed(1, 0, 0);
    walk.AdjustSpeed();
    right.push_back(loop_.GetJointDegree(HJ_RLJ3));
    left.push_back(loop_.GetJointDegree(HJ_LLJ3));
    loop_.Step([&walk] { walk.Run(); });
  }
  // A step is 12 cycles; the ramped speed alternates every cycle, which divides it.
  const int period = 12;
  for (int t = 450; t + period < 600; ++t) {
    EXPECT_NEAR(right[t + period], right[t], 1e-6) << t;
    // The left leg runs the same sinusoids half a step later.
    EXPECT_NEAR(left[t], right[t + period / 2], 0.05) << t;
  }
  const auto [low, high] = std::minmax_element(right.begin() + 450, right.begin() + 450 + period);
  EXPECT_GT(*high - *low, 20.0);

  int stood_at = -1;
  for (int cycle = 0; cycle < 400; ++cycle) {
    walk.SetStop(true);
    loop_.Step([&walk] { walk.Run(); });
    // The standing pose leaves the rolls alone; the gait always drives them.
    if (stood_at < 0 && loop_.GetCommandedSpeed(HJ_LLJ2) == 0.0 &&
        loop_.GetCommandedSpeed(HJ_RLJ1) == 0.0) {
      stood_at = cycle;
    }
  }
  // From about 1.0 the forward speed comes down 0.015 a cycle before the pose is sent.
  EXPECT_GE(stood_at, 63);
  EXPECT_LE(stood_at, 70);
  EXPECT_EQ(agent().GetCurrentWalkSpeed(), Eigen::Vector3d::Zero());
  const std::pair<int, double> pose[] = {{HJ_RLJ3, 30}, {HJ_RLJ4, -70}, {HJ_RLJ5, 40},
                                         {HJ_LLJ3, 30}, {HJ_LLJ4, -70}, {HJ_LLJ5, 40}};
  for (const auto& [id, degree] : pose) {
    EXPECT_LE(std::fabs(loop_.GetJointDegree(id) - degree), 0.2) << id;
  }
}

}  // namespace
}  // namespace zamp
