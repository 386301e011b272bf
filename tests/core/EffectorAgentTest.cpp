#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"
#include "support/SharedInstances.h"

namespace zamp {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

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
  void SetUp() override { test::RenewAndCreate<AgentState, WorldState, JointController>(); }

  AgentState& agent() { return *Singleton<AgentState>::GetInstance(); }
  JointController& joints() { return *Singleton<JointController>::GetInstance(); }

  EffectorAgent effector_;
};

TEST_F(EffectorAgentTest, SceneNamesTheRobotFileAndType) {
  EXPECT_EQ(effector_.Make(), "");
  effector_.SetEffectorUse(EffectorAgent::EFFECTOR_NUM, true);
  effector_.SetEffectorUse(-1, true);
  EXPECT_EQ(effector_.Make(), "");
  effector_.SetEffectorAgentUse(true, false, false, false, false, false);
  EXPECT_EQ(effector_.Make(), "(scene rsg/agent/nao/nao_hetero.rsg 0)");
  agent().SetAgentType(AGENT_TYPE_TOENAIL);
  effector_.SetNaoPath("rsg/agent/nao/nao.rsg");
  EXPECT_EQ(effector_.Make(), "(scene rsg/agent/nao/nao.rsg 4)");
}

TEST_F(EffectorAgentTest, InitWithBeamAndSayOnce) {
  agent().SetUniformNumber(7);
  Singleton<WorldState>::GetInstance()->SetTeamName("Agent");
  agent().SettingBeam(Eigen::Vector3d(-7, 0, 0));
  effector_.SetEffectorAgentUse(false, true, true, false, false, false);
  EXPECT_EQ(effector_.Make(), "(init (unum 7)(teamname Agent))(beam -7.000000 0.000000 0.000000)");
  agent().SettingBeam(Eigen::Vector3d(-2.5, 0.125, -90));
  effector_.SetEffectorAgentUse(false, false, true, true, false, false);
  effector_.SetSay("aB3+-");
  EXPECT_EQ(effector_.Make(), "(beam -2.500000 0.125000 -90.000000)(say aB3+-)");
  EXPECT_EQ(effector_.Make(), "(beam -2.500000 0.125000 -90.000000)");
}

TEST_F(EffectorAgentTest, JointSpeedsWithSixDecimalsInJointOrderThenTheControllerIsReset) {
  effector_.SetEffectorAgentUse(false, false, false, false, true, false);
  joints().SetSpeed(HJ_HJ1, 0.5);
  joints().SetSpeed(HJ_RLJ4, 1.0 / 3.0);
  joints().SetSpeed(HJ_LLJ7, -1);
  std::string expected = AllJointsAtZero();
  expected.replace(0, 14, "(he1 0.500000)");
  expected.replace(expected.find("(rle4 0.000000)"), 15, "(rle4 0.333333)");
  expected.replace(expected.find("(lle7 0.000000)"), 15, "(lle7 -1.000000)");
  EXPECT_EQ(effector_.Make(), expected);
  EXPECT_EQ(joints().GetSpeed(HJ_HJ1), 0.0);
  EXPECT_EQ(joints().GetPrevSpeed(HJ_HJ1), 0.5);
  EXPECT_EQ(effector_.Make(), AllJointsAtZero());

  // A message without joints leaves the speeds for the next one.
  effector_.SetEffectorAgentUse(false, false, false, false, false, true);
  joints().SetSpeed(HJ_RAJ1, 2.0);
  EXPECT_EQ(effector_.Make(), "(syn)");
  EXPECT_EQ(joints().GetSpeed(HJ_RAJ1), 2.0);
}

TEST_F(EffectorAgentTest, NonFiniteNumbersAreSentAsZeroAndHugeOnesInFull) {
  effector_.SetEffectorAgentUse(false, false, true, false, true, false);
  joints().SetSpeed(HJ_HJ1, NaN);
  joints().SetSpeed(HJ_HJ2, INF);
  joints().SetSpeed(HJ_RAJ1, -INF);
  agent().SettingBeam(Eigen::Vector3d(NaN, 1, 0));
  EXPECT_EQ(effector_.Make(), "(beam 0.000000 1.000000 0.000000)" + AllJointsAtZero());

  effector_.SetEffectorAgentUse(false, false, false, false, true, false);
  joints().SetSpeed(HJ_HJ1, 1e300);
  const std::string message = effector_.Make();
  // "%f" of 1e300 has 301 digits before the point.
  const std::string first = message.substr(0, message.find(')') + 1);
  EXPECT_EQ(first.size(), std::string("(he1 ").size() + 301 + 7 + 1);
  EXPECT_EQ(first.substr(0, 6), "(he1 1");
  EXPECT_EQ(first.substr(first.size() - 8), ".000000)");
}

TEST_F(EffectorAgentTest, PiecesFollowTheTableWhateverTheSwitchOrder) {
  agent().SetUniformNumber(3);
  Singleton<WorldState>::GetInstance()->SetTeamName("T");
  effector_.SetSay("hi");
  for (int piece : {EffectorAgent::SYNCHRONIZE, EffectorAgent::HINGE_JOINT, EffectorAgent::SAY,
                    EffectorAgent::BEAM, EffectorAgent::INIT, EffectorAgent::SCENE}) {
    effector_.SetEffectorUse(piece, true);
  }
  EXPECT_EQ(effector_.Make(),
            "(scene rsg/agent/nao/nao_hetero.rsg 0)(init (unum 3)(teamname T))"
            "(beam 0.000000 0.000000 0.000000)(say hi)" +
                AllJointsAtZero() + "(syn)");
}

// The text "%f" gives for a value.
std::string PrintfFixed(double value) {
  const int length = std::snprintf(nullptr, 0, "%f", value);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), "%f", value);
  text.resize(static_cast<size_t>(length));
  return text;
}

// The message and the server read the same digits whatever formats them: every value must
// come out as "%f" writes it, above all the exact ties at the seventh decimal (multiples of
// 1/128), which "%f" rounds to even, and the negative values that round to zero.
TEST_F(EffectorAgentTest, SpeedsReadAsPrintfWritesThem) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1e-7,
                                -1e-7,
                                5e-7,
                                -5e-7,
                                0.0000005,
                                0.0000015,
                                0.0078125,
                                -0.0078125,
                                0.5,
                                6.1395,
                                -6.1395,
                                1.0 / 3.0,
                                2.0 / 3.0,
                                1e15,
                                -1e15,
                                123456.9999995,
                                1e300,
                                -1e300,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::denorm_min()};
  for (int k = -2000; k <= 2000; ++k) values.push_back(k / 128.0);
  for (int k = -2000; k <= 2000; ++k) values.push_back(k * 1e-6 + 5e-7);
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> speed(-10.0, 10.0);
  for (int i = 0; i < 20000; ++i) values.push_back(speed(random));

  effector_.SetEffectorAgentUse(false, false, false, false, true, false);
  for (double value : values) {
    joints().SetSpeed(HJ_HJ1, value);
    const std::string& message = effector_.MakeMessage();
    const std::string first = message.substr(0, message.find(')') + 1);
    ASSERT_EQ(first, "(he1 " + PrintfFixed(value) + ")") << value;
  }
}

TEST_F(EffectorAgentTest, MakeMessageGivesTheTextOfMake) {
  agent().SetUniformNumber(3);
  agent().SettingBeam(Eigen::Vector3d(-2.5, 0.125, -90));
  effector_.SetEffectorAgentUse(false, true, true, true, true, true);
  joints().SetSpeed(HJ_RAJ1, 0.25);
  effector_.SetSay("hi");
  const std::string made = effector_.Make();
  joints().SetSpeed(HJ_RAJ1, 0.25);
  effector_.SetSay("hi");
  EXPECT_EQ(effector_.MakeMessage(), made);
  EXPECT_NE(made.find("(say hi)"), std::string::npos);
  // The say text goes out once.
  EXPECT_EQ(effector_.MakeMessage().find("(say"), std::string::npos);
}

}  // namespace
}  // namespace zamp
