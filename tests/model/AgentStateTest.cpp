#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "core/Singleton.h"
#include "model/AgentState.h"
#include "support/AgentStateTestAccess.h"
#include "support/Fixtures.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace {

const double EPS = 1e-9;
using Access = AgentStateTestAccess;

class AgentStateTest : public ::testing::Test {
 protected:
  void UpdateFromSensors(double server_time = 0.0) {
    Access::UpdateFromSensors(state_, server_time);
  }
  Eigen::Vector3d Centre(BodyPartID id) const { return state_.GetBodyPart(id).global_coord; }
  Eigen::Matrix3d Orientation(BodyPartID id) const {
    return state_.GetBodyPart(id).global_transform.linear();
  }

  AgentState state_;
};

TEST_F(AgentStateTest, ZeroJointsGiveTheStandingPose) {
  UpdateFromSensors();
  const struct {
    BodyPartID id;
    Eigen::Vector3d centre;
  } cases[] = {
      {BP_NECK, {0, 0, 0.09}},
      {BP_HEAD, {0, 0, 0.155}},
      {BP_UPPERARM_RIGHT, {0.108, 0.02, 0.075}},
      {BP_LOWERARM_LEFT, {-0.098, 0.14, 0.084}},
      {BP_SHANK_RIGHT, {0.055, 0.005, -0.28}},
      {BP_FOOT_RIGHT, {0.055, 0.025, -0.375}},
      {BP_FOOT_LEFT, {-0.055, 0.025, -0.375}},
      {BP_TOENAIL_LEFT, {-0.055, 0.025, -0.375}},
  };
  for (const auto& c : cases) {
    EXPECT_LT((Centre(c.id) - c.centre).norm(), EPS) << c.id << ": " << Centre(c.id).transpose();
    EXPECT_TRUE(Orientation(c.id).isIdentity(EPS)) << c.id;
  }
  double mass = 0.0;
  for (int i = 0; i < BODY_PART_NUM; ++i) mass += state_.GetBodyPart(BodyPartID(i)).mass;
  EXPECT_NEAR(mass, 4.6071, 1e-12);
  // Sum of mass times centre over 4.6071 kg: y 0.075 / 4.6071, z -0.36322 / 4.6071.
  EXPECT_TRUE(state_.GetCenterOfGravity().isApprox(Eigen::Vector3d(0, 0.01628, -0.07884), 1e-4));
}

TEST_F(AgentStateTest, RightKneeMovesOnlyTheRightLowerLeg) {
  UpdateFromSensors();
  Eigen::Vector3d before[BODY_PART_NUM];
  for (int i = 0; i < BODY_PART_NUM; ++i) before[i] = Centre(BodyPartID(i));
  Access::SetJointDegree(state_, HJ_RLJ4, 90);
  UpdateFromSensors();

  // Knee joint at (0.055, -0.005, -0.235); the lower leg turns 90 degrees about x.
  const struct {
    BodyPartID id;
    Eigen::Vector3d centre;
  } moved[] = {
      {BP_SHANK_RIGHT, {0.055, 0.04, -0.225}},
      {BP_ANKLE_RIGHT, {0.055, 0.095, -0.235}},
      {BP_FOOT_RIGHT, {0.055, 0.135, -0.205}},
      {BP_TOENAIL_RIGHT, {0.055, 0.135, -0.205}},
  };
  Eigen::Matrix3d knee;
  knee << 1, 0, 0, 0, 0, -1, 0, 1, 0;
  for (const auto& m : moved) {
    EXPECT_LT((Centre(m.id) - m.centre).norm(), EPS) << m.id << ": " << Centre(m.id).transpose();
    EXPECT_TRUE(Orientation(m.id).isApprox(knee, EPS)) << m.id;
  }
  for (int i = 0; i < BODY_PART_NUM; ++i) {
    if (i >= BP_SHANK_RIGHT && i <= BP_TOENAIL_RIGHT) continue;
    EXPECT_LT((Centre(BodyPartID(i)) - before[i]).norm(), EPS) << i;
    EXPECT_TRUE(Orientation(BodyPartID(i)).isIdentity(EPS)) << i;
  }
}

TEST_F(AgentStateTest, ToeJointTurnsNothing) {
  Access::SetJointDegree(state_, HJ_LLJ4, -60);
  Access::SetJointDegree(state_, HJ_LLJ7, 60);
  Access::SetJointDegree(state_, HJ_RLJ7, 60);
  UpdateFromSensors();
  for (BodyPartID foot : {BP_FOOT_LEFT, BP_FOOT_RIGHT}) {
    const BodyPartID toe = BodyPartID(foot + 1);
    EXPECT_TRUE(Orientation(toe).isApprox(Orientation(foot), EPS)) << toe;
    EXPECT_LT((Centre(toe) - Centre(foot)).norm(), EPS) << toe;
  }
  EXPECT_FALSE(Orientation(BP_FOOT_LEFT).isIdentity(1e-3));
}

TEST_F(AgentStateTest, ZeroMomentPointWeighsContactPointsByForceAndIsZeroWithoutWeight) {
  const Eigen::Vector3d right(0.01, 0.02, -0.01);
  const Eigen::Vector3d left(-0.01, 0.0, -0.01);
  const Eigen::Vector3d right_foot(0.055, 0.025, -0.375);
  const Eigen::Vector3d left_foot(-0.055, 0.025, -0.375);
  // Weights 20 N and 60 N (a 3-4-5 force of 60: (36, 0, 48)).
  Access::SetForce(state_, FORCE_RESISTANCE_RIGHT, true, right, Eigen::Vector3d(0, 0, 20));
  Access::SetForce(state_, FORCE_RESISTANCE_LEFT, true, left, Eigen::Vector3d(36, 0, 48));
  UpdateFromSensors();
  const Eigen::Vector3d both = (20 * (right + right_foot) + 60 * (left + left_foot)) / 80;
  EXPECT_EQ(state_.GetFootLanding(), AgentState::FL_BOTH);
  EXPECT_LT((state_.GetZMP() - both).norm(), EPS);

  for (bool contact : {true, false}) {
    const Eigen::Vector3d force = contact ? Eigen::Vector3d::Zero() : Eigen::Vector3d(0, 0, 10);
    Access::SetForce(state_, FORCE_RESISTANCE_RIGHT, contact, right, force);
    Access::SetForce(state_, FORCE_RESISTANCE_LEFT, contact, left, force);
    UpdateFromSensors();
    EXPECT_EQ(state_.GetZMP(), Eigen::Vector3d::Zero()) << contact;
  }
}

TEST_F(AgentStateTest, FallDirectionFromRollAndPitch) {
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    Eigen::Vector3d rotation;
    AgentState::FallID fall;
  } cases[] = {
      {{39.9, 39.9, 170}, AgentState::FALL_NOT}, {{10, -45, 0}, AgentState::FALL_BACK},
      {{-50, 0, 0}, AgentState::FALL_FRONT},     {{40, 0, 0}, AgentState::FALL_BACK},
      {{-0.1, 40, 0}, AgentState::FALL_FRONT},   {{NaN, NaN, 0}, AgentState::FALL_NOT},
  };
  double time = 12.34;
  for (const auto& c : cases) {
    Access::SetRotation(state_, c.rotation);
    UpdateFromSensors(time);
    EXPECT_EQ(state_.GetFallDirection(), c.fall) << c.rotation.transpose();
    // The time of the last upright cycle.
    EXPECT_DOUBLE_EQ(state_.GetNotFallTime(), c.fall == AgentState::FALL_NOT ? time : 12.34);
    time += 0.02;
  }
}

TEST(AgentStatePerceptionTest, SensorsAreCopiedWithThePreviousCycle) {
  test::ModelCycle cycle("Alpha", 1);
  std::array<double, HINGE_JOINT_NUM> first{};
  first[HJ_HJ1] = 12.5;
  std::array<double, HINGE_JOINT_NUM> second{};
  second[HJ_HJ1] = 13.0;
  second[HJ_RLJ4] = 90;
  cycle.Perceive(test::PerceptionText()
                     .Time(10.0)
                     .Gyro({1, 2, 3})
                     .Joints(first)
                     .ForceResistance(FORCE_RESISTANCE_LEFT, {0.01, 0.02, -0.01}, {0, 0, 20})
                     .ForceResistance(FORCE_RESISTANCE_RIGHT_TYPE4, {0, 0, 0}, {0, 0, 20})
                     .Str());
  cycle.Perceive(test::PerceptionText()
                     .Time(10.02)
                     .Gyro({4, 5, 6})
                     .Accelerometer({0, 0, 9.81})
                     .Joints(second)
                     .ForceResistance(FORCE_RESISTANCE_RIGHT, {0.01, 0.02, -0.01}, {0, 0, 20})
                     .Str());
  const AgentState& state = cycle.agent();
  EXPECT_EQ(state.GetGyroRate(), Eigen::Vector3d(4, 5, 6));
  EXPECT_EQ(state.GetPrevGyroRate(), Eigen::Vector3d(1, 2, 3));
  EXPECT_EQ(state.GetAcceleration(), Eigen::Vector3d(0, 0, 9.81));
  EXPECT_DOUBLE_EQ(state.GetJointDegree(HJ_HJ1), 13.0);
  EXPECT_DOUBLE_EQ(state.GetPrevJointDegree(HJ_HJ1), 12.5);
  EXPECT_EQ(state.GetFootLanding(), AgentState::FL_RIGHT);
  EXPECT_EQ(state.GetPrevFootLanding(), AgentState::FL_LEFT);
  EXPECT_DOUBLE_EQ(state.GetNotFallTime(), 10.02);
  // The perceived knee angle reaches the kinematics: the hand-worked bent-knee foot.
  EXPECT_LT((state.GetZMP() - Eigen::Vector3d(0.065, 0.155, -0.215)).norm(), EPS);
  // Only the two sole sensors make a foot landing.
  cycle.Perceive(test::PerceptionText()
                     .ForceResistance(FORCE_RESISTANCE_LEFT_TYPE4, {0, 0, 0}, {0, 0, 20})
                     .ForceResistance(FORCE_RESISTANCE_RIGHT_TYPE4, {0, 0, 0}, {0, 0, 20})
                     .Str());
  EXPECT_EQ(state.GetFootLanding(), AgentState::FL_NONE);
}

TEST(AgentStatePerceptionTest, DamagedNumbersAndAMissingStoreDoNotReachTheBodyModel) {
  test::ModelCycle cycle("Alpha", 1);
  cycle.Perceive(test::PerceptionText().Time(1.0).Joint(HJ_RLJ4, 45).Gyro({1, 1, 1}).Str());
  cycle.Perceive(
      "(time (now 1.02))(GYR (n torso) (rt nan inf 1))(HJ (n rlj4) (ax nan))"
      "(FRP (n rf) (c nan 0 0) (f 0 0 inf))");
  EXPECT_TRUE(cycle.AllFinite());
  // Angles no joint reaches turn like their wrapped angle; 1e308 degrees would overflow
  // the conversion to radians.
  cycle.Perceive("(time (now 1.04))(HJ (n rlj4) (ax 400))(HJ (n hj2) (ax 1e308))");
  EXPECT_DOUBLE_EQ(cycle.agent().GetJointDegree(HJ_RLJ4), 40.0);
  EXPECT_TRUE(cycle.AllFinite());

  Singleton<RawStorage>::ExchangeForTest(nullptr);
  cycle.agent().Update();
  EXPECT_TRUE(cycle.AllFinite());
}

}  // namespace
}  // namespace zamp
