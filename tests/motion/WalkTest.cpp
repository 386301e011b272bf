#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "motion/Walk.h"
#include "support/ClosedLoop.h"

namespace zamp {
namespace {

const double EPS = 1e-9;

// The base with the accelerations every engine uses and direct access to the ramp.
class RampWalk : public Walk {
 public:
  RampWalk() {
    InitSpeed(vertical_, 0.015, -1.0, 1.0);
    InitSpeed(horizon_, 0.025, -1.0, 1.0);
    InitSpeed(rotation_, 0.05, -1.0, 1.0);
  }
  void Run() override {}
  void SetCurrent(double vertical, double horizon, double rotation) {
    vertical_.current = vertical;
    horizon_.current = horizon;
    rotation_.current = rotation;
  }
  Speed& Vertical() { return vertical_; }
};

TEST(WalkTest, RampClimbsInWholeStepsThenAlternatesAroundTheTarget) {
  RampWalk walk;
  Walk::Speed& s = walk.Vertical();
  s.target = 0.5;
  for (int cycle = 1; cycle <= 33; ++cycle) {
    walk.UpdateSpeed(s);
    EXPECT_NEAR(s.current, 0.015 * cycle, EPS) << cycle;
  }
  for (int cycle = 0; cycle < 6; ++cycle) {
    walk.UpdateSpeed(s);
    EXPECT_NEAR(s.current, 0.51, EPS);
    walk.UpdateSpeed(s);
    EXPECT_NEAR(s.current, 0.495, EPS);
  }
  // The dead band: exactly at its edge no step, just outside a whole step.
  const struct {
    double current, target, expected;
  } cases[] = {
      {0.0, 0.0005, 0.0}, {0.0005, 0.0, 0.0005}, {0.0, 0.001, 0.015}, {0.0, -0.001, -0.015}};
  for (const auto& c : cases) {
    s.current = c.current;
    s.target = c.target;
    walk.UpdateSpeed(s);
    EXPECT_NEAR(s.current, c.expected, EPS) << c.current << " -> " << c.target;
  }
}

TEST(WalkTest, LimitTargetClampsEachAxisIntoItsOwnRange) {
  const double inf = std::numeric_limits<double>::infinity();
  // A request that is not a number must not freeze the ramp.
  const struct {
    double target, expected;
  } cases[] = {{1.7, 1.0}, {-3.0, -1.0}, {0.3, 0.3}, {-inf, -1.0}, {std::nan(""), 0.0}};
  RampWalk walk;
  for (const auto& c : cases) {
    walk.SettingSpeed(c.target, c.target, c.target);
    walk.LimitTarget();
    EXPECT_EQ(walk.GetVerticalSpeed(), c.expected) << c.target;
    EXPECT_EQ(walk.GetHorizonSpeed(), c.expected) << c.target;
    EXPECT_EQ(walk.GetRotationSpeed(), c.expected) << c.target;
  }
  walk.InitSpeed(walk.Vertical(), 0.015, -0.5, 0.8);
  walk.SetVerticalSpeed(0.9);
  walk.LimitTarget();
  EXPECT_EQ(walk.GetVerticalSpeed(), 0.8);
  walk.SetVerticalSpeed(-0.9);
  walk.LimitTarget();
  EXPECT_EQ(walk.GetVerticalSpeed(), -0.5);
}

TEST(WalkTest, AdjustSpeedCouplesTheAxes) {
  const struct {
    double current[3];
    double target[3];
    double expected[3];
  } cases[] = {
      // Forward shrinks with the sideways and turning requests: 1 * |(1 - 0.9)(1 - 0.5)|.
      {{0, 0, 0}, {1, 1, 1}, {0.05, 1, 1}},
      // Sideways shrinks while already walking forward; forward |1 - 0.9 * 0.7| = 0.37.
      {{1, 0, 0}, {1, 1, 0}, {0.37, 0.7, 0}},
      // Turning shrinks while already walking sideways.
      {{0, 1, 0}, {0, 0, 1}, {0, 0, 0.7}},
      // Clamped first; signs are kept: f = 0.85, turning -0.85 * 0.85,
      // forward |(1 - 0.765)(1 - 0.36125)|.
      {{-0.5, 0.5, 0}, {2, -1, -1}, {0.15010625, -0.85, -0.7225}},
      {{0, 0, 0}, {-0.4, 0, 0}, {-0.4, 0, 0}},
  };
  for (const auto& c : cases) {
    RampWalk walk;
    walk.SetCurrent(c.current[0], c.current[1], c.current[2]);
    walk.SettingSpeed(c.target[0], c.target[1], c.target[2]);
    walk.AdjustSpeed();
    EXPECT_NEAR(walk.GetVerticalSpeed(), c.expected[0], EPS);
    EXPECT_NEAR(walk.GetHorizonSpeed(), c.expected[1], EPS);
    EXPECT_NEAR(walk.GetRotationSpeed(), c.expected[2], EPS);
    EXPECT_EQ(walk.GetCurrentVerticalSpeed(), c.current[0]);
  }
}

TEST(WalkTest, StopCommandsOnlyTheSixLegPitchJoints) {
  test::ClosedLoop loop;  // fresh shared instances, all joints at 0 degrees
  RampWalk walk;
  walk.Stop();
  const JointController& joint = *Singleton<JointController>::GetInstance();
  // All joints at 0 degrees: speed = target * 0.075 rad/s per degree.
  const double pose[HINGE_JOINT_NUM] = {0,  0,   0,  0, 0, 0, 0, 0,  0,   0,  0, 0,
                                        30, -70, 40, 0, 0, 0, 0, 30, -70, 40, 0, 0};
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) {
    EXPECT_NEAR(joint.GetSpeed(id), pose[id] * 0.075, EPS) << id;
    if (pose[id] != 0.0) {
      EXPECT_DOUBLE_EQ(joint.GetTargetDegree(id), pose[id]) << id;
    }
  }
}

}  // namespace
}  // namespace zamp
