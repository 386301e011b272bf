#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"
#include "support/AgentStateTestAccess.h"
#include "support/Fixtures.h"
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

TEST_F(AgentStateTest, StartsWithDefaults) {
  EXPECT_EQ(state_.GetUniformNumber(), 10);
  EXPECT_EQ(state_.GetFootLanding(), AgentState::FL_NONE);
  EXPECT_EQ(state_.GetPrevFootLanding(), AgentState::FL_NONE);
  EXPECT_EQ(state_.GetFallDirection(), AgentState::FALL_NOT);
  EXPECT_EQ(state_.GetCurrentBehavior(), AgentState::BEH_READY);
  EXPECT_EQ(state_.GetCurrentMoveState(), AgentState::MS_NOT_MOVE);
  EXPECT_EQ(state_.GetCovarianceError().rows(), 6);
  EXPECT_EQ(state_.GetCovarianceError().cols(), 6);
  EXPECT_TRUE(state_.GetCovarianceError().isZero(0.0));
  EXPECT_TRUE(state_.GetCoordinates().isZero(0.0));
  EXPECT_TRUE(state_.GetRotation().isZero(0.0));
}

TEST_F(AgentStateTest, BodyTreeHasTheTorsoChildrenInOrderAndTheTotalMass) {
  const std::vector<BodyPartID> torso_children = {BP_NECK, BP_SHOULDER_RIGHT, BP_HIP1_RIGHT,
                                                  BP_SHOULDER_LEFT, BP_HIP1_LEFT};
  EXPECT_EQ(state_.GetBodyPart(BP_TORSO).childs, torso_children);
  EXPECT_EQ(state_.GetBodyPart(BP_TORSO).hinge_joint_id, HJ_UNKNOWN);
  EXPECT_EQ(state_.GetBodyPart(BP_SHANK_RIGHT).hinge_joint_id, HJ_RLJ4);
  EXPECT_EQ(state_.GetBodyPart(BP_FOOT_LEFT).childs, std::vector<BodyPartID>{BP_TOENAIL_LEFT});
  EXPECT_TRUE(state_.GetBodyPart(BP_TOENAIL_RIGHT).childs.empty());
  double mass = 0.0;
  for (int i = 0; i < BODY_PART_NUM; ++i) mass += state_.GetBodyPart(BodyPartID(i)).mass;
  EXPECT_NEAR(mass, 4.6071, 1e-12);
}

TEST_F(AgentStateTest, ZeroJointsGiveTheStandingPose) {
  UpdateFromSensors();
  const struct {
    BodyPartID id;
    Eigen::Vector3d centre;
  } cases[] = {
      {BP_TORSO, {0, 0, 0}},
      {BP_NECK, {0, 0, 0.09}},
      {BP_HEAD, {0, 0, 0.155}},
      {BP_UPPERARM_RIGHT, {0.108, 0.02, 0.075}},
      {BP_LOWERARM_LEFT, {-0.098, 0.14, 0.084}},
      {BP_THIGH_RIGHT, {0.055, 0, -0.155}},
      {BP_SHANK_RIGHT, {0.055, 0.005, -0.28}},
      {BP_FOOT_RIGHT, {0.055, 0.025, -0.375}},
      {BP_FOOT_LEFT, {-0.055, 0.025, -0.375}},
      {BP_TOENAIL_LEFT, {-0.055, 0.025, -0.375}},
  };
  for (const auto& c : cases) {
    EXPECT_LT((Centre(c.id) - c.centre).norm(), EPS) << c.id << ": " << Centre(c.id).transpose();
    EXPECT_TRUE(Orientation(c.id).isIdentity(EPS)) << c.id;
    EXPECT_EQ(state_.GetBodyPart(c.id).global_transform.translation(), Centre(c.id)) << c.id;
  }
  // Sum of mass times centre over 4.6071 kg: y 0.075 / 4.6071, z -0.36322 / 4.6071.
  const Eigen::Vector3d cog = state_.GetCenterOfGravity();
  EXPECT_NEAR(cog.x(), 0, EPS);
  EXPECT_NEAR(cog.y(), 0.01628, 1e-5);
  EXPECT_NEAR(cog.z(), -0.07884, 1e-5);
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
  Access::SetJointDegree(state_, HJ_LLJ6, 10);
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

TEST_F(AgentStateTest, FootLandingReadsOnlyTheTwoSoleSensors) {
  const Eigen::Vector3d zero = Eigen::Vector3d::Zero();
  const Eigen::Vector3d push(0, 0, 20);
  const struct {
    bool right, left, right_toe, left_toe;
    AgentState::FootLanding landing;
  } cases[] = {
      {false, true, false, false, AgentState::FL_LEFT},
      {true, true, false, false, AgentState::FL_BOTH},
      {true, false, false, false, AgentState::FL_RIGHT},
      {false, false, true, true, AgentState::FL_NONE},
  };
  AgentState::FootLanding previous = AgentState::FL_NONE;
  for (const auto& c : cases) {
    Access::SetForce(state_, FORCE_RESISTANCE_RIGHT, c.right, zero, push);
    Access::SetForce(state_, FORCE_RESISTANCE_LEFT, c.left, zero, push);
    Access::SetForce(state_, FORCE_RESISTANCE_RIGHT_TYPE4, c.right_toe, zero, push);
    Access::SetForce(state_, FORCE_RESISTANCE_LEFT_TYPE4, c.left_toe, zero, push);
    UpdateFromSensors();
    EXPECT_EQ(state_.GetFootLanding(), c.landing);
    EXPECT_EQ(state_.GetPrevFootLanding(), previous);
    previous = c.landing;
  }
}

TEST_F(AgentStateTest, ZeroMomentPointWeighsContactPointsByForce) {
  const Eigen::Vector3d right_point(0.01, 0.02, -0.01);
  const Eigen::Vector3d left_point(-0.01, 0.0, -0.01);
  const Eigen::Vector3d right_foot(0.055, 0.025, -0.375);
  const Eigen::Vector3d left_foot(-0.055, 0.025, -0.375);

  Access::SetForce(state_, FORCE_RESISTANCE_RIGHT, true, right_point, Eigen::Vector3d(0, 0, 20));
  UpdateFromSensors();
  EXPECT_LT((state_.GetZMP() - (right_point + right_foot)).norm(), EPS);

  // Weights 20 N and 60 N (a 3-4-5 force of 60: (36, 0, 48)).
  Access::SetForce(state_, FORCE_RESISTANCE_LEFT, true, left_point, Eigen::Vector3d(36, 0, 48));
  UpdateFromSensors();
  const Eigen::Vector3d both =
      (20 * (right_point + right_foot) + 60 * (left_point + left_foot)) / 80;
  EXPECT_LT((state_.GetZMP() - both).norm(), EPS);
}

TEST_F(AgentStateTest, ZeroMomentPointIsZeroWithoutWeight) {
  Access::SetForce(state_, FORCE_RESISTANCE_RIGHT, true, Eigen::Vector3d(0.01, 0, 0),
                   Eigen::Vector3d::Zero());
  Access::SetForce(state_, FORCE_RESISTANCE_LEFT, true, Eigen::Vector3d(0.01, 0, 0),
                   Eigen::Vector3d::Zero());
  UpdateFromSensors();
  EXPECT_EQ(state_.GetFootLanding(), AgentState::FL_BOTH);
  EXPECT_EQ(state_.GetZMP(), Eigen::Vector3d::Zero());

  Access::SetForce(state_, FORCE_RESISTANCE_RIGHT, false, Eigen::Vector3d(0.01, 0, 0),
                   Eigen::Vector3d(0, 0, 10));
  Access::SetForce(state_, FORCE_RESISTANCE_LEFT, false, Eigen::Vector3d(0.01, 0, 0),
                   Eigen::Vector3d(0, 0, 10));
  UpdateFromSensors();
  EXPECT_EQ(state_.GetZMP(), Eigen::Vector3d::Zero());
}

TEST_F(AgentStateTest, FallDirectionFromRollAndPitch) {
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    Eigen::Vector3d rotation;
    AgentState::FallID fall;
  } cases[] = {
      {{10, -45, 0}, AgentState::FALL_BACK},   {{-50, 0, 0}, AgentState::FALL_FRONT},
      {{40, 0, 0}, AgentState::FALL_BACK},     {{0, 40, 0}, AgentState::FALL_BACK},
      {{-0.1, 40, 0}, AgentState::FALL_FRONT}, {{39.9, 39.9, 170}, AgentState::FALL_NOT},
      {{NaN, NaN, 0}, AgentState::FALL_NOT},
  };
  for (const auto& c : cases) {
    Access::SetRotation(state_, c.rotation);
    UpdateFromSensors();
    EXPECT_EQ(state_.GetFallDirection(), c.fall) << c.rotation.transpose();
  }
}

TEST_F(AgentStateTest, NotFallTimeKeepsTheLastUprightCycle) {
  Access::SetRotation(state_, Eigen::Vector3d(39.9, 39.9, 170));
  UpdateFromSensors(12.34);
  EXPECT_DOUBLE_EQ(state_.GetNotFallTime(), 12.34);
  Access::SetRotation(state_, Eigen::Vector3d(-50, 0, 0));
  UpdateFromSensors(12.36);
  EXPECT_EQ(state_.GetFallDirection(), AgentState::FALL_FRONT);
  EXPECT_DOUBLE_EQ(state_.GetNotFallTime(), 12.34);
}

TEST_F(AgentStateTest, BeamAndSettersStoreWhatOthersWrite) {
  state_.SettingBeam(Eigen::Vector3d(-3, 1, 90));
  EXPECT_EQ(state_.GetBeamCoordinates(), Eigen::Vector2d(-3, 1));
  EXPECT_DOUBLE_EQ(state_.GetBeamDirection(), 90);
  state_.SetUniformNumber(7);
  state_.SetAgentType(AGENT_TYPE_TOENAIL);
  state_.SetCurrentBehavior(AgentState::BEH_KICK);
  state_.SetCurrentMoveState(AgentState::MS_DRRIBLE);
  state_.SetCurrentWalkSpeed(Eigen::Vector3d(0.5, 0, -0.1));
  state_.SetMaxWalkSpeed(Eigen::Vector3d(1, 0.5, 0.3));
  EXPECT_EQ(state_.GetUniformNumber(), 7);
  EXPECT_EQ(state_.GetAgentType(), AGENT_TYPE_TOENAIL);
  EXPECT_EQ(state_.GetCurrentBehavior(), AgentState::BEH_KICK);
  EXPECT_EQ(state_.GetCurrentMoveState(), AgentState::MS_DRRIBLE);
  EXPECT_EQ(state_.GetCurrentWalkSpeed(), Eigen::Vector3d(0.5, 0, -0.1));
  EXPECT_EQ(state_.GetMaxWalkSpeed(), Eigen::Vector3d(1, 0.5, 0.3));
}

// The cycle's model stages as the agent runs them, on fresh shared instances.
class AgentStatePerceptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Singleton<Parser>::ResetForTest();
    Singleton<Parser>::Create();
    Singleton<RawStorage>::ResetForTest();
    Singleton<RawStorage>::Create();
    Singleton<WorldState>::ResetForTest();
    Singleton<WorldState>::Create();
    Singleton<AgentState>::ResetForTest();
    Singleton<AgentState>::Create();
    state_ = Singleton<AgentState>::GetInstance();
  }

  void Cycle(const std::string& message) {
    Singleton<Parser>::GetInstance()->Update(message);
    Singleton<RawStorage>::GetInstance()->Update();
    Singleton<WorldState>::GetInstance()->Update();
    state_->Update();
  }

  // Every value the body model computes or copies from the perception.
  void ExpectAllFinite(const std::string& where) const {
    EXPECT_TRUE(state_->GetGyroRate().allFinite()) << where;
    EXPECT_TRUE(state_->GetAcceleration().allFinite()) << where;
    for (int i = 0; i < FORCE_RESISTANCE_NUM; ++i) {
      EXPECT_TRUE(state_->GetForceCoordinates(ForceResistanceID(i)).allFinite()) << where;
      EXPECT_TRUE(state_->GetForceVector(ForceResistanceID(i)).allFinite()) << where;
    }
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      EXPECT_TRUE(std::isfinite(state_->GetJointDegree(HingeJointID(j)))) << where;
    }
    for (int i = 0; i < BODY_PART_NUM; ++i) {
      const BodyPart& part = state_->GetBodyPart(BodyPartID(i));
      EXPECT_TRUE(part.global_coord.allFinite()) << where << " part " << i;
      EXPECT_TRUE(part.global_transform.matrix().allFinite()) << where << " part " << i;
    }
    EXPECT_TRUE(state_->GetCenterOfGravity().allFinite()) << where;
    EXPECT_TRUE(state_->GetZMP().allFinite()) << where;
    EXPECT_TRUE(std::isfinite(state_->GetNotFallTime())) << where;
  }

  AgentState* state_ = nullptr;
};

TEST_F(AgentStatePerceptionTest, SensorsAreCopiedWithThePreviousCycle) {
  std::array<double, HINGE_JOINT_NUM> first{};
  first[HJ_HJ1] = 12.5;
  first[HJ_RLJ4] = -30;
  std::array<double, HINGE_JOINT_NUM> second{};
  second[HJ_HJ1] = 13.0;
  second[HJ_RLJ4] = 90;
  Cycle(test::PerceptionText()
            .Time(10.0)
            .GameState(0.0, "BeforeKickOff")
            .Gyro({1, 2, 3})
            .Accelerometer({0.1, 0.2, 9.8})
            .Joints(first)
            .ForceResistance(FORCE_RESISTANCE_LEFT, {0.01, 0.02, -0.01}, {0, 0, 20})
            .Str());
  Cycle(test::PerceptionText()
            .Time(10.02)
            .GameState(0.0, "BeforeKickOff")
            .Gyro({4, 5, 6})
            .Accelerometer({0, 0, 9.81})
            .Joints(second)
            .ForceResistance(FORCE_RESISTANCE_RIGHT, {0.01, 0.02, -0.01}, {0, 0, 20})
            .Str());

  EXPECT_EQ(state_->GetGyroRate(), Eigen::Vector3d(4, 5, 6));
  EXPECT_EQ(state_->GetPrevGyroRate(), Eigen::Vector3d(1, 2, 3));
  EXPECT_EQ(state_->GetAcceleration(), Eigen::Vector3d(0, 0, 9.81));
  EXPECT_DOUBLE_EQ(state_->GetJointDegree(HJ_HJ1), 13.0);
  EXPECT_DOUBLE_EQ(state_->GetPrevJointDegree(HJ_HJ1), 12.5);
  EXPECT_DOUBLE_EQ(state_->GetPrevJointDegree(HJ_RLJ4), -30);
  EXPECT_TRUE(state_->IsFootLanding(FORCE_RESISTANCE_RIGHT));
  EXPECT_FALSE(state_->IsFootLanding(FORCE_RESISTANCE_LEFT));
  EXPECT_EQ(state_->GetFootLanding(), AgentState::FL_RIGHT);
  EXPECT_EQ(state_->GetPrevFootLanding(), AgentState::FL_LEFT);
  EXPECT_DOUBLE_EQ(state_->GetNotFallTime(), 10.02);
  // The perceived knee angle reaches the kinematics: the hand-worked bent-knee foot.
  EXPECT_LT(
      (state_->GetBodyPart(BP_FOOT_RIGHT).global_coord - Eigen::Vector3d(0.055, 0.135, -0.205))
          .norm(),
      EPS);
  EXPECT_LT((state_->GetZMP() - Eigen::Vector3d(0.065, 0.155, -0.215)).norm(), EPS);
}

TEST_F(AgentStatePerceptionTest, EveryFixtureMessageLeavesTheBodyModelFinite) {
  const char* const files[] = {"before_kickoff_type0.txt", "three_players_left_unum1.txt",
                               "three_players_right_unum1.txt", "toes_type4.txt",
                               "ground_truth_sync_type0.txt"};
  for (const char* file : files) {
    SetUp();
    int count = 0;
    for (const std::string& line : test::ReadFixtureLines(std::string("perception/") + file)) {
      Cycle(line);
      ExpectAllFinite(std::string(file) + ":" + std::to_string(++count));
      if (HasFailure()) return;
    }
    EXPECT_GT(count, 0) << file;
  }
}

TEST_F(AgentStatePerceptionTest, ToeRobotKeepsToesWithTheirFeet) {
  for (const std::string& line : test::ReadFixtureLines("perception/toes_type4.txt")) {
    Cycle(line);
    for (BodyPartID foot : {BP_FOOT_RIGHT, BP_FOOT_LEFT}) {
      const BodyPart& toe = state_->GetBodyPart(BodyPartID(foot + 1));
      ASSERT_TRUE(toe.global_transform.linear().isApprox(
          state_->GetBodyPart(foot).global_transform.linear(), EPS));
      ASSERT_EQ(toe.global_coord, state_->GetBodyPart(foot).global_coord);
    }
  }
}

TEST_F(AgentStatePerceptionTest, DamagedNumbersDoNotReachTheBodyModel) {
  Cycle(test::PerceptionText().Time(1.0).Joint(HJ_RLJ4, 45).Gyro({1, 1, 1}).Str());
  Cycle(
      "(time (now 1.02))(GYR (n torso) (rt nan inf 1))(HJ (n rlj4) (ax nan))"
      "(FRP (n rf) (c nan 0 0) (f 0 0 inf))");
  ExpectAllFinite("damaged message");
}

TEST_F(AgentStatePerceptionTest, UpdateWithoutPerceptionStoreKeepsTheLastValues) {
  Singleton<RawStorage>::ResetForTest();
  state_->Update();
  ExpectAllFinite("no store");
  EXPECT_LT((state_->GetBodyPart(BP_HEAD).global_coord - Eigen::Vector3d(0, 0, 0.155)).norm(), EPS);
}

}  // namespace
}  // namespace zamp
