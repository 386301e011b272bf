#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "motion/NewTabeWalk.h"
#include "support/ClosedLoop.h"

namespace zamp {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

// The body model's right leg: hip to knee and knee to ankle at zero joint angles, m.
const Eigen::Vector3d THIGH(0, 0.005, -0.12);
const Eigen::Vector3d SHANK(0, 0, -0.1);
// Its rest vector: hip to ankle with the joints at 0, m.
const Eigen::Vector3d REST = THIGH + SHANK;

// Holds chosen current speeds: with target equal to current the ramp does not move.
class NewTabeWalkProbe : public NewTabeWalk {
 public:
  void Hold(double vertical, double horizon, double rotation) {
    vertical_.current = vertical_.target = vertical;
    horizon_.current = horizon_.target = horizon;
    rotation_.current = rotation_.target = rotation;
  }
};

// The walk reports a foot that is not level on standard output every cycle; the tests keep
// it out of their own output.
class CaptureOutput {
 public:
  CaptureOutput() : saved_(std::cout.rdbuf(text_.rdbuf())) {}
  ~CaptureOutput() { std::cout.rdbuf(saved_); }
  std::string Text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* saved_;
};

class NewTabeWalkTest : public ::testing::Test {
 protected:
  test::ClosedLoop loop_;
  CaptureOutput output_;

  JointController& joint() { return *Singleton<JointController>::GetInstance(); }
  const AgentState& agent() { return *Singleton<AgentState>::GetInstance(); }

  // Ankle relative to the hip through the body model's own joint rotations (hip roll,
  // hip pitch, knee of the right leg), m.
  Eigen::Vector3d ForwardKinematics(const NewTabeWalk::LegAngles& a) {
    const Eigen::Matrix3d thigh = agent().GetBodyPart(BP_HIP2_RIGHT).JointRotation(a.roll) *
                                  agent().GetBodyPart(BP_THIGH_RIGHT).JointRotation(a.hip_pitch);
    const Eigen::Matrix3d shank = thigh * agent().GetBodyPart(BP_SHANK_RIGHT).JointRotation(a.knee);
    return thigh * THIGH + shank * SHANK;
  }
};

// The reachable targets land the ankle on themselves; the first row is worked by hand: a
// foot 0.19 m straight below the hip closes the triangle of the links 0.120104 m and 0.1 m
// with a knee angle of 119.08 and a hip angle of 27.37 degrees; the thigh rests 2.39 degrees
// forward of the vertical and the shank vertical.
TEST_F(NewTabeWalkTest, ReachableTargetsAreReproducedByForwardKinematics) {
  const struct {
    Eigen::Vector3d foot;          // m
    double roll, hip_pitch, knee;  // degrees; NaN: checked through the kinematics only
  } cases[] = {
      {{0, 0, -0.19}, 0, 24.9990731156, -58.5336453813},
      {{0.02, 0.03, -0.18}, -6.3401917459, 37.1843490658, -64.9005620145},
      {{0.0025, 0.005, -0.19}, NaN, NaN, NaN},   // the walk's rest target, right leg
      {{-0.0225, -0.02, -0.17}, NaN, NaN, NaN},  // inward and behind
      {{0.03, 0.08, -0.12}, NaN, NaN, NaN},      // far forward, knee deeply bent
      {{0, 0, -0.215}, NaN, NaN, NaN},           // nearly stretched
      {{0, 0.1, -0.05}, NaN, NaN, NaN},          // raised in front
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.foot.transpose());
    const NewTabeWalk::LegAngles a = NewTabeWalk::SolveLeg(THIGH, SHANK, c.foot);
    if (!std::isnan(c.roll)) {
      EXPECT_NEAR(a.roll, c.roll, 1e-8);
      EXPECT_NEAR(a.hip_pitch, c.hip_pitch, 1e-8);
      EXPECT_NEAR(a.knee, c.knee, 1e-8);
    }
    EXPECT_LT(a.knee, 0.0);  // the knee bends forward
    EXPECT_LT((ForwardKinematics(a) - c.foot).norm(), 1e-9);
  }
}

// Through the whole body model: joint angles perceived from the closed loop place the
// ankle part on the target relative to the hip part.
TEST_F(NewTabeWalkTest, BodyModelPlacesTheAnkleOnTheSolvedTarget) {
  const Eigen::Vector3d foot(0.015, 0.02, -0.18);
  const NewTabeWalk::LegAngles a = NewTabeWalk::SolveLeg(THIGH, SHANK, foot);
  loop_.SetJointDegree(HJ_RLJ2, a.roll);
  loop_.SetJointDegree(HJ_RLJ3, a.hip_pitch);
  loop_.SetJointDegree(HJ_RLJ4, a.knee);
  loop_.Step(nullptr);
  const Eigen::Vector3d ankle = agent().GetBodyPart(BP_ANKLE_RIGHT).global_coord -
                                agent().GetBodyPart(BP_HIP2_RIGHT).global_coord;
  EXPECT_LT((ankle - foot).norm(), 1e-9);
}

// Out of reach: the leg stretched towards the target (the knee undoes the 2.39 degree kink
// between the links' rest directions); too near: folded; not finite: the zero pose.
TEST_F(NewTabeWalkTest, UnreachableTargetsGiveTheStretchedLegNeverNaN) {
  const double reach = THIGH.norm() + SHANK.norm();
  const Eigen::Vector3d far[] = {
      {0, 0, -0.5}, {0.3, 0.3, -0.3}, {-1e6, 2e6, -1e6}, {0, 0.5, 0}, {0.2, -0.4, 0.1}};
  for (const Eigen::Vector3d& foot : far) {
    SCOPED_TRACE(::testing::Message() << foot.transpose());
    const NewTabeWalk::LegAngles a = NewTabeWalk::SolveLeg(THIGH, SHANK, foot);
    EXPECT_NEAR(a.knee, 2.3859440304, 1e-8);
    EXPECT_LT((ForwardKinematics(a) - reach * foot.normalized()).norm(), 1e-9);
  }
  const NewTabeWalk::LegAngles straight = NewTabeWalk::SolveLeg(THIGH, SHANK, {0, 0, -0.5});
  EXPECT_NEAR(straight.roll, 0, 1e-12);
  EXPECT_NEAR(straight.hip_pitch, -2.3859440304, 1e-8);

  const Eigen::Vector3d odd[] = {{0, 0, -0.01},  {0, 0, 0},    {NaN, 0, -0.2},
                                 {0, INF, -0.2}, {0, 0, -INF}, {1e300, 1e300, 1e300}};
  for (const Eigen::Vector3d& foot : odd) {
    const NewTabeWalk::LegAngles a = NewTabeWalk::SolveLeg(THIGH, SHANK, foot);
    EXPECT_TRUE(std::isfinite(a.roll) && std::isfinite(a.hip_pitch) && std::isfinite(a.knee))
        << foot.transpose();
  }
  const NewTabeWalk::LegAngles none = NewTabeWalk::SolveLeg(THIGH, SHANK, {NaN, 0, -0.2});
  EXPECT_EQ(none.roll + none.hip_pitch + none.knee, 0.0);
}

TEST_F(NewTabeWalkTest, PendulumRunsTenCyclesAPeriod) {
  NewTabeWalk walk;
  std::vector<double> seen;
  for (int i = 0; i < 21; ++i) {
    seen.push_back(walk.GetPendulum());
    loop_.Step([&walk] { walk.Run(); });
  }
  for (int i = 0; i < 21; ++i) EXPECT_NEAR(seen[i], -0.5 + 0.1 * (i % 10), 1e-9) << i;
}

// Phase p of the right foot after `steps` cycles is steps / 10, the left runs on p + 0.5.
// Lift (1 - cos(2 pi (p - 0.1) / 0.9)) / 2 inside [0.1, 0.9]; forward position -0.5 - p +
// 0.3 before the swing, a sigmoid in it, 1.3 - p after it.
TEST_F(NewTabeWalkTest, FootTargetsFollowThePhaseAndTheSpeeds) {
  const struct {
    int steps;
    double vc, hc, rc;
    Eigen::Vector3d right, left;  // offsets from the rest vector, m
    double yaw;                   // degrees
  } cases[] = {
      // In place: spread 2.5 mm to each side, raised 0.03 m, lifted alternately.
      {0, 0, 0, 0, {0.0025, 0, 0.03}, {-0.0025, 0, 0.03 + 0.02 * 0.9698463104}, 0},
      {6, 0, 0, 0, {0.0025, 0, 0.03 + 0.02 * 0.9698463104}, {-0.0025, 0, 0.03}, 0},
      // Forward: the right foot at p = 0 is 0.2 max_y behind, the left at q = 0.5 0.231 behind
      // in the middle of its swing; at p = 0.9 the right foot is 0.4 max_y in front.
      {0,
       1,
       0,
       0,
       {0.0025, -0.01, 0.03},
       {-0.0025, -0.05 * 0.2310585786, 0.03 + 0.02 * 0.9698463104},
       0},
      {9,
       1,
       0,
       0,
       {0.0025, 0.02, 0.03 + 0.02 * 0.1169777784},
       {-0.0025, -0.05 * 0.4525741268, 0.03 + 0.02 * 0.75},
       0},
      {9,
       -0.5,
       0,
       0,
       {0.0025, -0.01, 0.03 + 0.02 * 0.1169777784},
       {-0.0025, 0.025 * 0.4525741268, 0.03 + 0.02 * 0.75},
       0},
      // Sideways, left phase q = 0.8 past the window: both feet a whole max_x further out.
      {3,
       0,
       1,
       0,
       {0.0225, 0, 0.03 + 0.02 * 0.4131759112},
       {-0.0225, 0, 0.03 + 0.02 * 0.4131759112},
       0},
      // Sideways the other way runs on the right phase, still before its window.
      {3,
       0,
       -1,
       0,
       {0.0025, 0, 0.03 + 0.02 * 0.4131759112},
       {-0.0025, 0, 0.03 + 0.02 * 0.4131759112},
       0},
      // Turning: the left phase q = 0.5 is 0.4 into the window, -15 (1 - cos 72) / 2.
      {0, 0, 0, 1, {0.0025, 0, 0.03}, {-0.0025, 0, 0.03 + 0.02 * 0.9698463104}, -5.1823725422},
      {0, 0, 0, -0.5, {0.0025, 0, 0.03}, {-0.0025, 0, 0.03 + 0.02 * 0.9698463104}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.steps << " " << c.vc << " " << c.hc << " " << c.rc);
    NewTabeWalkProbe walk;
    walk.Hold(0, 0, 0);
    for (int i = 0; i < c.steps; ++i) walk.Run();
    walk.Hold(c.vc, c.hc, c.rc);
    const NewTabeWalk::FootTargets t = walk.CulcFootTargets(agent());
    EXPECT_LT((t.right - REST - c.right).norm(), 1e-9) << t.right.transpose();
    EXPECT_LT((t.left - REST - c.left).norm(), 1e-9) << t.left.transpose();
    EXPECT_NEAR(t.yaw, c.yaw, 1e-9);
  }
}

TEST_F(NewTabeWalkTest, LeftFootRunsHalfAPeriodBehindTheRight) {
  NewTabeWalkProbe walk;
  walk.Hold(1, 0, 0);
  std::vector<NewTabeWalk::FootTargets> period;
  for (int i = 0; i < 10; ++i) {
    period.push_back(walk.CulcFootTargets(agent()));
    walk.Run();
  }
  for (int i = 0; i < 10; ++i) {
    const Eigen::Vector3d& left = period[i].left;
    const Eigen::Vector3d& right = period[(i + 5) % 10].right;
    EXPECT_LT((left - Eigen::Vector3d(-right.x(), right.y(), right.z())).norm(), 1e-12) << i;
  }
}

TEST_F(NewTabeWalkTest, RunCommandsTheSolutionAndLevelsTheFeet) {
  NewTabeWalkProbe walk;
  walk.Hold(0, 0, 0);
  // The legs already stand on the solution, so no target is cut to the joint's reach.
  const NewTabeWalk::LegAngles r =
      NewTabeWalk::SolveLeg(THIGH, SHANK, REST + Eigen::Vector3d(0.0025, 0, 0.03));
  const NewTabeWalk::LegAngles l = NewTabeWalk::SolveLeg(
      THIGH, SHANK, REST + Eigen::Vector3d(-0.0025, 0, 0.03 + 0.02 * 0.9698463104));
  const std::pair<int, double> pose[] = {{HJ_RLJ2, r.roll},      {HJ_RLJ3, r.hip_pitch},
                                         {HJ_RLJ4, r.knee},      {HJ_LLJ2, l.roll},
                                         {HJ_LLJ3, l.hip_pitch}, {HJ_LLJ4, l.knee}};
  for (const auto& [id, degree] : pose) loop_.SetJointDegree(id, degree);
  loop_.Step([&walk] { walk.Run(); });
  // The ankles undo hip and knee pitch up to the 2 degree offset, and the hip roll.
  const std::pair<int, double> targets[] = {{HJ_RLJ1, 0},
                                            {HJ_RLJ2, r.roll},
                                            {HJ_RLJ3, r.hip_pitch},
                                            {HJ_RLJ4, r.knee},
                                            {HJ_RLJ5, 2.0 - r.hip_pitch - r.knee},
                                            {HJ_RLJ6, -r.roll},
                                            {HJ_LLJ1, 0},
                                            {HJ_LLJ2, l.roll},
                                            {HJ_LLJ3, l.hip_pitch},
                                            {HJ_LLJ4, l.knee},
                                            {HJ_LLJ5, 2.0 - l.hip_pitch - l.knee},
                                            {HJ_LLJ6, -l.roll}};
  for (const auto& [id, degree] : targets) {
    EXPECT_NEAR(joint().GetPrevTargetDegree(0, id), degree, 1e-9) << id;
  }
  // A target beyond this cycle's reach is cut to it: 6.1395 rad/s for 0.02 s.
  NewTabeWalk far;
  loop_.SetJointDegree(HJ_RLJ4, 0);
  loop_.Step([&far] { far.Run(); });
  EXPECT_NEAR(loop_.GetJointDegree(HJ_RLJ4), -6.1395 * 0.02 * 180 / 3.141592653589793, 1e-6);
}

TEST_F(NewTabeWalkTest, ReportsAFootThatIsNotLevel) {
  NewTabeWalk walk;
  loop_.Step([&walk] { walk.Run(); });  // all joints at 0: level
  EXPECT_EQ(output_.Text(), "");
  loop_.SetJointDegree(HJ_LLJ3, 20);
  loop_.SetJointDegree(HJ_LLJ4, -30);
  loop_.SetJointDegree(HJ_LLJ5, 7.5);
  loop_.Step([&walk] { walk.Run(); });
  EXPECT_EQ(output_.Text(), "-2.5\n");
}

// Requests that are not numbers or far out of range, and stop requests: every commanded
// joint speed is finite and within the joint's limit.
TEST_F(NewTabeWalkTest, RandomAndExtremeSpeedsKeepEveryJointSpeedBounded) {
  NewTabeWalk walk;
  std::mt19937 random(20241208);
  std::uniform_real_distribution<double> speed(-1.5, 1.5);
  std::uniform_int_distribution<int> percent(0, 99);
  const double extremes[] = {NaN, INF, -INF, 1e300, -1e300, 2.0, -2.0};
  int gait_cycles = 0;
  double max_speed_seen = 0.0;
  for (int cycle = 0; cycle < 3000; ++cycle) {
    if (cycle % 30 == 0) {
      auto pick = [&] {
        return percent(random) < 30 ? extremes[percent(random) % 7] : speed(random);
      };
      walk.SettingSpeed(pick(), pick(), pick());
      if (percent(random) < 70) walk.AdjustSpeed();
    }
    walk.SetStop(percent(random) < 2);
    loop_.Step([&walk] { walk.Run(); });
    gait_cycles += loop_.GetCommandedSpeed(HJ_LLJ6) != 0.0;
    ASSERT_TRUE(loop_.SpeedsWithinLimits(max_speed_seen));
    ASSERT_LE(std::fabs(walk.GetCurrentVerticalSpeed()), 1.02);
  }
  EXPECT_GT(gait_cycles, 2000);
  EXPECT_DOUBLE_EQ(max_speed_seen, 6.1395);
}

// The controller sets each speed expecting the previous one to act for one more cycle, as
// the server does; the loop here delays every speed by one cycle to match, so that each leg
// joint lands on its target two cycles after it was set.
TEST_F(NewTabeWalkTest, ForwardWalkRepeatsEveryTenCyclesAndAStopStandsTheLegsUp) {
  NewTabeWalk walk;
  std::vector<double> pending(HINGE_JOINT_NUM, 0.0);  // rad/s, sent but not yet acting
  auto step = [&] {
    std::vector<double> before(HINGE_JOINT_NUM);
    for (int id = 0; id < HINGE_JOINT_NUM; ++id) before[id] = loop_.GetJointDegree(id);
    loop_.Step([&walk] { walk.Run(); });
    for (int id = 0; id < HINGE_JOINT_NUM; ++id) {
      loop_.SetJointDegree(id, before[id] + pending[id] * 0.02 * 180 / 3.141592653589793);
      pending[id] = loop_.GetCommandedSpeed(id);
    }
  };
  std::vector<double> right;  // hip pitch angles each cycle perceives, degrees
  std::vector<double> left;
  for (int cycle = 0; cycle < 600; ++cycle) {
    walk.SettingSpeed(1, 0, 0);
    walk.AdjustSpeed();
    right.push_back(loop_.GetJointDegree(HJ_RLJ3));
    left.push_back(loop_.GetJointDegree(HJ_LLJ3));
    step();
  }
  const int period = 10;
  for (int t = 450; t + period < 600; ++t) {
    EXPECT_NEAR(right[t + period], right[t], 1e-6) << t;
    // The left leg runs the same gait half a period later, an odd number of cycles, when
    // the ramped speed stands on the other side of 1 (0.99 or 1.005).
    EXPECT_NEAR(left[t], right[t + period / 2], 0.2) << t;
  }
  const auto [low, high] = std::minmax_element(right.begin() + 450, right.begin() + 450 + period);
  EXPECT_GT(*high - *low, 15.0);

  int stood_at = -1;
  for (int cycle = 0; cycle < 400; ++cycle) {
    const double pendulum = walk.GetPendulum();
    walk.SetStop(true);
    step();
    if (stood_at < 0 && walk.GetPendulum() == pendulum) stood_at = cycle;
  }
  EXPECT_GE(stood_at, 63);
  EXPECT_LE(stood_at, 70);
  const std::pair<int, double> pose[] = {{HJ_RLJ3, 30}, {HJ_RLJ4, -70}, {HJ_RLJ5, 40},
                                         {HJ_LLJ3, 30}, {HJ_LLJ4, -70}, {HJ_LLJ5, 40}};
  for (const auto& [id, degree] : pose) {
    EXPECT_LE(std::fabs(loop_.GetJointDegree(id) - degree), 0.2) << id;
  }
}

}  // namespace
}  // namespace zamp
