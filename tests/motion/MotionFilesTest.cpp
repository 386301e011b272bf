// The motion files beside the program: the keeper's dives and block that the match agent
// reads at start-up, and the push practised by the motion-practice agent.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/const.h"
#include "model/AgentState.h"
#include "motion/MotionSequenceXML.h"
#include "support/AgentStateTestAccess.h"
#include "support/SharedInstances.h"

namespace zamp {
namespace {

std::string MotionFile(const std::string& name) {
  return std::string(ZAMP_SOURCE_DIR) + "/xml/MotionXML/" + name;
}

class MotionFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { test::RenewAndCreate<AgentState, JointController>(); }

  AgentState& Agent() { return *Singleton<AgentState>::GetInstance(); }
  JointController& Joints() { return *Singleton<JointController>::GetInstance(); }

  // Puts the body into the pose the motion holds once every joint has reached the targets
  // of the steps up to `step_name`: a joint a step does not name keeps its earlier angle.
  void TakePose(const MotionSequenceXML& motion, const std::string& step_name) {
    double degrees[HINGE_JOINT_NUM] = {};
    bool found = false;
    for (const MotionSequenceXML::Motion& step : motion.GetSequence()) {
      for (const MotionSequenceXML::Move& move : step.parts) degrees[move.id] = move.degree;
      if (step.name == step_name) {
        found = true;
        break;
      }
    }
    ASSERT_TRUE(found) << step_name;
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      AgentStateTestAccess::SetJointDegree(Agent(), static_cast<HingeJointID>(j), degrees[j]);
    }
    AgentStateTestAccess::UpdateFromSensors(Agent(), 0.0);
  }

  Eigen::Vector3d Centre(BodyPartID id) { return Agent().GetBodyPart(id).global_coord; }
};

TEST_F(MotionFilesTest, EachFileParsesStaysInsideTheJointRangesAndEnds) {
  const char* const files[] = {"RightJump.xml", "LeftJump.xml", "OpenFoot.xml", "PushBall.xml"};
  for (const char* file : files) {
    SCOPED_TRACE(file);
    MotionSequenceXML motion(MotionFile(file));
    ASSERT_FALSE(motion.GetSequence().empty());

    int length = 0;
    for (const MotionSequenceXML::Motion& step : motion.GetSequence()) {
      SCOPED_TRACE(step.name);
      length += step.end_time > 1 ? step.end_time : 1;
      for (const MotionSequenceXML::Move& move : step.parts) {
        EXPECT_GE(move.degree, Joints().GetMinDegree(move.id)) << "joint " << move.id;
        EXPECT_LE(move.degree, Joints().GetMaxDegree(move.id)) << "joint " << move.id;
        EXPECT_GT(move.speed, 0.0);
        EXPECT_EQ(MotionSequenceXML::TYPE_RELATIVE_SPEED, move.type);
      }
    }

    int cycles = 0;
    while (!motion.IsEnd() && cycles < 1000) {
      motion.Run();
      Joints().Reset();
      ++cycles;
    }
    EXPECT_TRUE(motion.IsEnd());
    EXPECT_EQ(length, cycles);
  }
}

// The dive throws the body over one side: in the throw pose the lower foot, the only one
// left to stand on, lies far to the other side of the centre of gravity.
TEST_F(MotionFilesTest, DivesPutTheCentreOfGravityFarOutsideTheStandingFoot) {
  const struct {
    const char* file;
    BodyPartID standing;
    BodyPartID lifted;
    double side;  // +1: falls to the right (+x), -1: to the left
  } cases[] = {{"RightJump.xml", BP_FOOT_LEFT, BP_FOOT_RIGHT, 1.0},
               {"LeftJump.xml", BP_FOOT_RIGHT, BP_FOOT_LEFT, -1.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    MotionSequenceXML motion(MotionFile(c.file));
    TakePose(motion, "throw");
    const Eigen::Vector3d standing = Centre(c.standing);
    const Eigen::Vector3d lifted = Centre(c.lifted);
    EXPECT_GT(lifted.z(), standing.z() + 0.05);
    EXPECT_GT(c.side * (Agent().GetCenterOfGravity().x() - standing.x()), 0.15);
  }
}

// The block crouches lower than the ready stance with the feet side by side: the gap between
// them (centres 0.11 m apart, feet 0.08 m wide) stays far narrower than a ball (0.084 m).
TEST_F(MotionFilesTest, BlockCrouchesWithTheFeetTogetherAndPushStretchesTheRightFootForward) {
  MotionSequenceXML push(MotionFile("PushBall.xml"));
  TakePose(push, "ready");
  const double ready_height = Centre(BP_TORSO).z() - Centre(BP_FOOT_RIGHT).z();

  MotionSequenceXML block(MotionFile("OpenFoot.xml"));
  TakePose(block, "crouch");
  EXPECT_LT(std::abs(Centre(BP_FOOT_RIGHT).x() - Centre(BP_FOOT_LEFT).x()), 0.08 + 0.084);
  EXPECT_NEAR(Centre(BP_FOOT_RIGHT).z(), Centre(BP_FOOT_LEFT).z(), 0.005);
  EXPECT_LT(Centre(BP_TORSO).z() - Centre(BP_FOOT_RIGHT).z(), ready_height - 0.03);

  TakePose(push, "ready");
  const Eigen::Vector3d ready = Centre(BP_FOOT_RIGHT);
  TakePose(push, "push");
  EXPECT_GT(Centre(BP_FOOT_RIGHT).y() - ready.y(), 0.05);
  EXPECT_GT(Centre(BP_FOOT_RIGHT).z(), Centre(BP_FOOT_LEFT).z() + 0.02);
}

}  // namespace
}  // namespace zamp
