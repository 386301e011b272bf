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
  EXPECT_NEAR(s.current, 0.495, EPS);
  for (int cycle = 0; cycle < 6; ++cycle) {
    walk.UpdateSpeed(s);
    EXPECT_NEAR(s.current, 0.51, EPS);
    walk.UpdateSpeed(s);
    EXPECT_NEAR(s.current, 0.495, EPS);
  }
}

TEST(WalkTest, RampRespectsTheDeadBand) {
  struct Case {
    double current;
    double target;
    double expected;
  };
  const Case cases[] = {
      {0.0, 0.0005, 0.0},     // exactly at the band's edge: no step
      {0.0005, 0.0, 0.0005},  // the same from above
      {0.0, 0.001, 0.015},    // outside the band: a whole step up
      {0.0, -0.001, -0.015},  // and down
      {-0.3, -0.3, -0.3},
  };
  RampWalk walk;
  for (const Case& c : cases) {
    Walk::Speed& s = walk.Vertical();
    s.current = c.current;
    s.target = c.target;
    walk.UpdateSpeed(s);
    EXPECT_NEAR(s.current, c.expected, EPS) << c.current << " -> " << c.target;
  }
}

TEST(WalkTest, LimitTargetClampsEachAxis) {
  struct Case {
    double target;
    double expected;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {{1.7, 1.0},
                        {-3.0, -1.0},
                        {0.3, 0.3},
                        {-1.0, -1.0},
                        {inf, 1.0},
                        {-inf, -1.0},
                        // A request that is not a number must not freeze the ramp.
                        {std::nan(""), 0.0}};
  RampWalk walk;
  for (const Case& c : cases) {
    walk.SettingSpeed(c.target, c.target, c.target);
    walk.LimitTarget();
    EXPECT_EQ(walk.GetVerticalSpeed(), c.expected) << c.target;
    EXPECT_EQ(walk.GetHorizonSpeed(), c.expected) << c.target;
    EXPECT_EQ(walk.GetRotationSpeed(), c.expected) << c.target;
  }
}

TEST(WalkTest, LimitTargetUsesEachAxisOwnRange) {
  RampWalk walk;
  walk.InitSpeed(walk.Vertical(), 0.015, -0.5, 0.8);
  walk.SetVerticalSpeed(0.9);
  walk.LimitTarget();
  EXPECT_EQ(walk.GetVerticalSpeed(), 0.8);
  walk.SetVerticalSpeed(-0.9);
  walk.LimitTarget();
  EXPECT_EQ(walk.GetVerticalSpeed(), -0.5);
}

TEST(WalkTest, AdjustSpeedCouplesTheAxes) {
  struct Case {
    double current[3];
    double target[3];
    double expected[3];
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
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

TEST(WalkTest, SettersTouchOnlyWhatTheyName) {
  RampWalk walk;
  walk.SetCurrent(0.2, 0.3, 0.4);
  walk.SettingSpeed(0.5, -0.6, 0.7);
  EXPECT_EQ(walk.GetCurrentVerticalSpeed(), 0.2);
  walk.ResetCurrentSpeed();
  EXPECT_EQ(walk.GetCurrentVerticalSpeed(), 0.0);
  EXPECT_EQ(walk.GetCurrentHorizonSpeed(), 0.0);
  EXPECT_EQ(walk.GetCurrentRotationSpeed(), 0.0);
  EXPECT_EQ(walk.GetVerticalSpeed(), 0.5);
  EXPECT_EQ(walk.GetHorizonSpeed(), -0.6);
  EXPECT_EQ(walk.GetRotationSpeed(), 0.7);

  walk.SetStop(true);
  EXPECT_TRUE(walk.IsStop());
  walk.Vertical().current = 0.9;
  walk.InitSpeed(walk.Vertical(), 0.1, -0.2, 0.3);
  EXPECT_EQ(walk.Vertical().current, 0.0);
  EXPECT_EQ(walk.Vertical().target, 0.0);
  EXPECT_EQ(walk.Vertical().accele, 0.1);
}

TEST(WalkTest, StopCommandsOnlyTheSixLegPitchJoints) {
  test::ClosedLoop loop;  // fresh shared instances, all joints at 0 degrees
  RampWalk walk;
  walk.Stop();
  const JointController& joint = *Singleton<JointController>::GetInstance();
  // All joints at 0 degrees: speed = target * 0.075 rad/s per degree.
  const struct {
    int id;
    double target;
  } pose[] = {{HJ_RLJ3, 30}, {HJ_RLJ4, -70}, {HJ_RLJ5, 40},
              {HJ_LLJ3, 30}, {HJ_LLJ4, -70}, {HJ_LLJ5, 40}};
  for (const auto& p : pose) {
    EXPECT_DOUBLE_EQ(joint.GetTargetDegree(p.id), p.target) << p.id;
    EXPECT_NEAR(joint.GetSpeed(p.id), p.target * 0.075, EPS) << p.id;
  }
  int commanded = 0;
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) commanded += joint.GetSpeed(id) != 0.0;
  EXPECT_EQ(commanded, 6);
}

}  // namespace
}  // namespace zamp
