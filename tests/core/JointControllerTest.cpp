#include <gtest/gtest.h>

#include <limits>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "support/AgentStateTestAccess.h"
#include "support/SharedInstances.h"

namespace zamp {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double STANDARD_LIMIT = 6.1395;  // rad/s
const double EPS = 1e-9;

class JointControllerTest : public ::testing::Test {
 protected:
  void SetUp() override { Install(AGENT_TYPE_STANDARD); }

  // A fresh body model of the given type, then a fresh controller that reads that type.
  void Install(AgentTypeID type) {
    test::RenewAndCreate<AgentState>();
    Singleton<AgentState>::GetInstance()->SetAgentType(type);
    test::RenewAndCreate<JointController>();
    controller_ = Singleton<JointController>::GetInstance();
  }

  void SetAngle(HingeJointID id, double degree) {
    AgentStateTestAccess::SetJointDegree(*Singleton<AgentState>::GetInstance(), id, degree);
  }

  JointController* controller_ = nullptr;
};

TEST_F(JointControllerTest, RelativeSpeedHasDeadBandAndClamp) {
  const struct {
    double cur, target, gain, speed;
  } cases[] = {
      {0, 0.2, 100, 0},  // on the band edge: still arrived
      {0, -0.2, 100, 0},
      {0, 0.21, 100, STANDARD_LIMIT},  // 21 rad/s clamped to the limit
      {0, -0.21, 100, -STANDARD_LIMIT},
      {-10, -12, 1.5, -3.0},  // proportional inside the limit
  };
  for (const auto& c : cases) {
    SetAngle(HJ_RLJ3, c.cur);
    controller_->SettingRelativeSpeed(HJ_RLJ3, c.target, c.gain);
    EXPECT_NEAR(controller_->GetSpeed(HJ_RLJ3), c.speed, EPS) << c.cur << " -> " << c.target;
    EXPECT_DOUBLE_EQ(controller_->GetTargetDegree(HJ_RLJ3), c.target);
  }
}

TEST_F(JointControllerTest, SpeedLimitsFollowTheRobotType) {
  for (int type = AGENT_TYPE_STANDARD; type < AGENT_TYPE_NUM; ++type) {
    Install(static_cast<AgentTypeID>(type));
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      double limit = STANDARD_LIMIT;
      if (type == AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL) {
        if (j == HJ_RLJ5 || j == HJ_LLJ5) limit = 8.80667;
        if (j == HJ_RLJ6 || j == HJ_LLJ6) limit = 3.47234;
      }
      controller_->SettingRelativeSpeed(j, 90, 100);
      EXPECT_DOUBLE_EQ(controller_->GetSpeed(j), limit) << "type " << type << " joint " << j;
    }
  }
}

TEST_F(JointControllerTest, RelativeAverageSpeedMixesInLastCyclesMagnitude) {
  controller_->SetSpeed(HJ_HJ1, -4.0);
  controller_->Reset();
  const struct {
    double target, gain, speed;
  } cases[] = {{1, 2, 3.0}, {-1, 2, -3.0}, {10, 100, 502.0} /* not clamped */, {0.1, 100, 0.0}};
  for (const auto& c : cases) {
    controller_->SettingRelativeAverageSpeed(HJ_HJ1, c.target, c.gain);
    EXPECT_DOUBLE_EQ(controller_->GetSpeed(HJ_HJ1), c.speed) << c.target;
  }
}

TEST_F(JointControllerTest, FixedSpeedRunsUntilTheTargetIsPassed) {
  const struct {
    double cur, target, speed, out;
  } cases[] = {{5, 10, -1, 0}, {12, 10, -1, -1}, {10, 10, -1, -1},
               {12, 10, 1, 0}, {10, 10, 1, 1},   {5, 10, 0, 0}};
  for (const auto& c : cases) {
    SetAngle(HJ_LAJ3, c.cur);
    controller_->SettingFixedSpeed(HJ_LAJ3, c.target, c.speed);
    EXPECT_DOUBLE_EQ(controller_->GetSpeed(HJ_LAJ3), c.out) << c.cur << " -> " << c.target;
  }
}

TEST_F(JointControllerTest, JustTargetDegreeClampsTheTargetAndAllowsForLastCyclesSpeed) {
  for (double weight : {0.0, 123.0}) {
    controller_->SettingJustTargetDegree(HJ_RAJ2, 10, 1, weight);
    EXPECT_DOUBLE_EQ(controller_->GetTargetDegree(HJ_RAJ2), -1);  // range [-95, -1]
    // One degree in one cycle of 0.02 s.
    EXPECT_NEAR(controller_->GetSpeed(HJ_RAJ2), -0.8726646259971648, EPS);
  }
  controller_->SettingJustTargetDegree(HJ_LAJ2, -50, 1, 0);
  EXPECT_DOUBLE_EQ(controller_->GetTargetDegree(HJ_LAJ2), 1);

  controller_->SetSpeed(HJ_HJ1, 1.0);
  controller_->Reset();
  // 10 degrees in one cycle is 8.7266 rad/s; last cycle's 1 rad/s still acts.
  controller_->SettingJustTargetDegree(HJ_HJ1, 10, 2, 0);
  EXPECT_NEAR(controller_->GetSpeed(HJ_HJ1), 7.726646259971647, EPS);
  controller_->SettingJustTargetDegree(HJ_HJ1, -90, 0.5, 0);
  EXPECT_DOUBLE_EQ(controller_->GetSpeed(HJ_HJ1), -STANDARD_LIMIT / 2);
}

TEST_F(JointControllerTest, LimitTargetDegreeKeepsWithinOneCyclesReach) {
  const double reach = 7.035348766411378;  // 6.1395 rad/s for 0.02 s, in degrees
  EXPECT_NEAR(controller_->LimitTargetDegree(HJ_HJ1, 20), reach, EPS);
  EXPECT_NEAR(controller_->LimitTargetDegree(HJ_HJ1, -20), -reach, EPS);
  EXPECT_DOUBLE_EQ(controller_->LimitTargetDegree(HJ_HJ1, 3), 3);
  // Range [1, 95] lies wholly above what the joint can reach from -20: its minimum.
  SetAngle(HJ_LAJ2, -20);
  EXPECT_DOUBLE_EQ(controller_->LimitTargetDegree(HJ_LAJ2, 50), 1);
}

TEST_F(JointControllerTest, ResetMovesSpeedsAndTargetsIntoHistory) {
  controller_->SettingRelativeSpeed(HJ_RLJ4, -10, 0.2);
  controller_->Reset();
  controller_->SettingRelativeSpeed(HJ_RLJ4, -20, 0.15);
  controller_->Reset();
  EXPECT_DOUBLE_EQ(controller_->GetSpeed(HJ_RLJ4), 0);
  EXPECT_DOUBLE_EQ(controller_->GetPrevSpeed(HJ_RLJ4), -3);
  EXPECT_DOUBLE_EQ(controller_->GetTargetDegree(HJ_RLJ4), 0);
  EXPECT_DOUBLE_EQ(controller_->GetPrevTargetDegree(0, HJ_RLJ4), -20);
  EXPECT_DOUBLE_EQ(controller_->GetPrevTargetDegree(1, HJ_RLJ4), -10);
}

TEST_F(JointControllerTest, NaNTargetGivesSpeedZeroAndANonFiniteSpeedIsRememberedAsZero) {
  SetAngle(HJ_RLJ3, 5);
  controller_->SettingRelativeSpeed(HJ_RLJ3, NaN, 1);
  EXPECT_EQ(controller_->GetSpeed(HJ_RLJ3), 0.0);
  controller_->SettingRelativeAverageSpeed(HJ_RLJ3, NaN, 1);
  EXPECT_EQ(controller_->GetSpeed(HJ_RLJ3), 0.0);
  for (double speed : {1.0, -1.0}) {
    controller_->SettingFixedSpeed(HJ_RLJ3, NaN, speed);
    EXPECT_EQ(controller_->GetSpeed(HJ_RLJ3), 0.0);
  }
  controller_->SettingJustTargetDegree(HJ_RLJ3, NaN, 1, 0);
  EXPECT_EQ(controller_->GetSpeed(HJ_RLJ3), 0.0);

  controller_->SetSpeed(HJ_HJ2, NaN);
  controller_->Reset();
  EXPECT_EQ(controller_->GetPrevSpeed(HJ_HJ2), 0.0);
}

TEST_F(JointControllerTest, ArrivalUsesTheSameBand) {
  controller_->SetTargetDegree(HJ_LLJ7, 0.2);
  EXPECT_TRUE(controller_->IsArrived(HJ_LLJ7));
  EXPECT_TRUE(controller_->CheckAllArrived());
  controller_->SetTargetDegree(HJ_LLJ7, 0.3);
  EXPECT_FALSE(controller_->IsArrived(HJ_LLJ7));
  EXPECT_FALSE(controller_->CheckAllArrived());
  SetAngle(HJ_LLJ7, 0.25);
  EXPECT_TRUE(controller_->CheckAllArrived());
}

TEST_F(JointControllerTest, UnknownJointChangesNothing) {
  controller_->SettingRelativeSpeed(HJ_UNKNOWN, 10, 1);
  controller_->SettingRelativeAverageSpeed(-1, 10, 1);
  controller_->SettingFixedSpeed(HINGE_JOINT_NUM, 10, 1);
  controller_->SettingJustTargetDegree(HJ_UNKNOWN, 10, 1, 0);
  EXPECT_FALSE(controller_->IsArrived(HJ_UNKNOWN));
  EXPECT_DOUBLE_EQ(controller_->LimitTargetDegree(HJ_UNKNOWN, 12), 12);
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    EXPECT_EQ(controller_->GetSpeed(j), 0.0);
    EXPECT_EQ(controller_->GetTargetDegree(j), 0.0);
  }
}

TEST(JointControllerWithoutBodyModelTest, ReadsZeroAnglesAndStandardLimits) {
  test::Renew<AgentState>();
  JointController controller;
  controller.SettingRelativeSpeed(HJ_RLJ5, 1, 2);
  EXPECT_DOUBLE_EQ(controller.GetSpeed(HJ_RLJ5), 2);
  EXPECT_DOUBLE_EQ(controller.GetMaxVelDegree(HJ_RLJ5), STANDARD_LIMIT);
}

}  // namespace
}  // namespace zamp
