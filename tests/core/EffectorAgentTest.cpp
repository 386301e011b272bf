#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"

namespace zamp {
namespace {

const char* const JOINT_NAMES[HINGE_JOINT_NUM] = {
    "he1",  "he2",  "rae1", "rae2", "rae3", "rae4", "lae1", "lae2", "lae3", "lae4", "rle1", "rle2",
    "rle3", "rle4", "rle5", "rle6", "rle7", "lle1", "lle2", "lle3", "lle4", "lle5", "lle6", "lle7"};

std::string AllJointsAtZero() {
  std::string text;
  for (const char* name : JOINT_NAMES) text += std::string("(") + name + " 0.000000)";
  return text;
}

class EffectorAgentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Singleton<AgentState>::ResetForTest();
    Singleton<AgentState>::Create();
    Singleton<WorldState>::ResetForTest();
    Singleton<WorldState>::Create();
    Singleton<JointController>::ResetForTest();
    Singleton<JointController>::Create();
    agent_state_ = Singleton<AgentState>::GetInstance();
    world_state_ = Singleton<WorldState>::GetInstance();
    controller_ = Singleton<JointController>::GetInstance();
  }

  AgentState* agent_state_ = nullptr;
  WorldState* world_state_ = nullptr;
  JointController* controller_ = nullptr;
  EffectorAgent effector_;
};

TEST_F(EffectorAgentTest, NothingEnabledMakesAnEmptyMessage) { EXPECT_EQ(effector_.Make(), ""); }

TEST_F(EffectorAgentTest, SceneNamesTheRobotFileAndType) {
  effector_.SetEffectorAgentUse(true, false, false, false, false, false);
  EXPECT_EQ(effector_.Make(), "(scene rsg/agent/nao/nao_hetero.rsg 0)");
  agent_state_->SetAgentType(AGENT_TYPE_TOENAIL);
  effector_.SetNaoPath("rsg/agent/nao/nao.rsg");
  EXPECT_EQ(effector_.Make(), "(scene rsg/agent/nao/nao.rsg 4)");
}

TEST_F(EffectorAgentTest, InitWithBeam) {
  agent_state_->SetUniformNumber(7);
  world_state_->SetTeamName("Agent");
  agent_state_->SettingBeam(Eigen::Vector3d(-7, 0, 0));
  effector_.SetEffectorAgentUse(false, true, true, false, false, false);
  EXPECT_EQ(effector_.Make(), "(init (unum 7)(teamname Agent))(beam -7.000000 0.000000 0.000000)");
  agent_state_->SettingBeam(Eigen::Vector3d(-2.5, 0.125, -90));
  effector_.SetEffectorAgentUse(false, false, true, false, false, false);
  EXPECT_EQ(effector_.Make(), "(beam -2.500000 0.125000 -90.000000)");
}

TEST_F(EffectorAgentTest, SayIsSentOnce) {
  effector_.SetEffectorAgentUse(false, false, false, true, false, false);
  effector_.SetSay("aB3+-");
  EXPECT_EQ(effector_.Make(), "(say aB3+-)");
  EXPECT_EQ(effector_.Make(), "");
}

TEST_F(EffectorAgentTest, JointSpeedsWithSixDecimalsInJointOrder) {
  effector_.SetEffectorAgentUse(false, false, false, false, true, false);
  EXPECT_EQ(effector_.Make(), AllJointsAtZero());

  controller_->SetSpeed(HJ_HJ1, 0.5);
  controller_->SetSpeed(HJ_RLJ4, 1.0 / 3.0);
  controller_->SetSpeed(HJ_LLJ7, -1);
  const std::string message = effector_.Make();
  EXPECT_EQ(message.substr(0, 14), "(he1 0.500000)");
  EXPECT_NE(message.find("(rle4 0.333333)"), std::string::npos);
  EXPECT_EQ(message.substr(message.size() - 16), "(lle7 -1.000000)");
  EXPECT_EQ(message.size(), AllJointsAtZero().size() + 1);  // one minus sign more
}

TEST_F(EffectorAgentTest, SendingJointsResetsTheController) {
  effector_.SetEffectorAgentUse(false, false, false, false, true, false);
  controller_->SetSpeed(HJ_RAJ1, 2.0);
  effector_.Make();
  EXPECT_EQ(controller_->GetSpeed(HJ_RAJ1), 0.0);
  EXPECT_EQ(controller_->GetPrevSpeed(HJ_RAJ1), 2.0);
  EXPECT_EQ(effector_.Make(), AllJointsAtZero());
}

TEST_F(EffectorAgentTest, MessageWithoutJointsLeavesTheSpeeds) {
  effector_.SetEffectorAgentUse(false, false, false, true, false, true);
  controller_->SetSpeed(HJ_RAJ1, 2.0);
  EXPECT_EQ(effector_.Make(), "(syn)");
  EXPECT_EQ(controller_->GetSpeed(HJ_RAJ1), 2.0);
}

TEST_F(EffectorAgentTest, NonFiniteNumbersAreSentAsZero) {
  effector_.SetEffectorAgentUse(false, false, true, false, true, false);
  controller_->SetSpeed(HJ_HJ1, std::numeric_limits<double>::quiet_NaN());
  controller_->SetSpeed(HJ_HJ2, std::numeric_limits<double>::infinity());
  controller_->SetSpeed(HJ_RAJ1, -std::numeric_limits<double>::infinity());
  agent_state_->SettingBeam(Eigen::Vector3d(std::numeric_limits<double>::quiet_NaN(), 1, 0));
  EXPECT_EQ(effector_.Make(), "(beam 0.000000 1.000000 0.000000)" + AllJointsAtZero());
}

TEST_F(EffectorAgentTest, HugeSpeedIsPrintedInFull) {
  effector_.SetEffectorAgentUse(false, false, false, false, true, false);
  controller_->SetSpeed(HJ_HJ1, 1e300);
  const std::string message = effector_.Make();
  // "%f" of 1e300 has 301 digits before the point.
  const std::string first = message.substr(0, message.find(')') + 1);
  EXPECT_EQ(first.size(), std::string("(he1 ").size() + 301 + 7 + 1);
  EXPECT_EQ(first.substr(0, 6), "(he1 1");
  EXPECT_EQ(first.substr(first.size() - 8), ".000000)");
}

TEST_F(EffectorAgentTest, PiecesFollowTheTableWhateverTheSwitchOrder) {
  agent_state_->SetUniformNumber(3);
  world_state_->SetTeamName("T");
  effector_.SetSay("hi");
  effector_.SetEffectorUse(EffectorAgent::SYNCHRONIZE, true);
  effector_.SetEffectorUse(EffectorAgent::HINGE_JOINT, true);
  effector_.SetEffectorUse(EffectorAgent::SAY, true);
  effector_.SetEffectorUse(EffectorAgent::BEAM, true);
  effector_.SetEffectorUse(EffectorAgent::INIT, true);
  effector_.SetEffectorUse(EffectorAgent::SCENE, true);
  EXPECT_EQ(effector_.Make(),
            "(scene rsg/agent/nao/nao_hetero.rsg 0)(init (unum 3)(teamname T))"
            "(beam 0.000000 0.000000 0.000000)(say hi)" +
                AllJointsAtZero() + "(syn)");
  effector_.SetEffectorUse(EffectorAgent::SCENE, false);
  effector_.SetEffectorUse(EffectorAgent::INIT, false);
  effector_.SetEffectorUse(EffectorAgent::BEAM, false);
  EXPECT_EQ(effector_.Make(), AllJointsAtZero() + "(syn)");
}

TEST_F(EffectorAgentTest, UnknownPieceIdChangesNothing) {
  effector_.SetEffectorUse(EffectorAgent::EFFECTOR_NUM, true);
  effector_.SetEffectorUse(-1, true);
  EXPECT_EQ(effector_.Make(), "");
}

}  // namespace
}  // namespace zamp
