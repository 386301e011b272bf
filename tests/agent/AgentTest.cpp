#include "agent/Agent.h"

#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <string>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "support/AgentProcess.h"
#include "support/AgentReply.h"
#include "support/FakeServer.h"
#include "support/Fixtures.h"
#include "support/RefusingPort.h"

namespace zamp {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test::AgentReply;
using test::ParseAgentReply;

// Commands one joint and says something every cycle, so the message shows both.
class ScriptedAgent : public Agent {
 public:
  ScriptedAgent(int argc, char** argv) : Agent(argc, argv) {}
  void Think() override { Singleton<JointController>::GetInstance()->SetSpeed(HJ_RLJ4, -1.5); }
  void ControlEffector(EffectorAgent& effector) override { effector.SetSay(say_); }
  std::string say_;
};

class AgentStepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Singleton<Parser>::ResetForTest();
    Singleton<RawStorage>::ResetForTest();
    Singleton<WorldState>::ResetForTest();
    Singleton<AgentState>::ResetForTest();
    Singleton<FieldState>::ResetForTest();
    Singleton<StrategyInformation>::ResetForTest();
    Singleton<JointController>::ResetForTest();
    Singleton<Drawing>::ResetForTest();
  }

  ScriptedAgent MakeAgent(std::vector<std::string> args) {
    args.insert(args.begin(), "agent");
    argv_.clear();
    for (std::string& arg : args) argv_.push_back(arg.data());
    args_ = std::move(args);
    return ScriptedAgent(static_cast<int>(argv_.size()), argv_.data());
  }

  std::vector<std::string> args_;
  std::vector<char*> argv_;
};

TEST_F(AgentStepTest, InitCopiesTheOptionsBeforeTheJointControllerExists) {
  ScriptedAgent agent = MakeAgent({"--team=Alpha", "--unum=4", "--type=2"});
  EXPECT_EQ(Singleton<WorldState>::GetInstance()->GetTeamName(), "Alpha");
  EXPECT_EQ(Singleton<AgentState>::GetInstance()->GetUniformNumber(), 4);
  // The type-2 ankle limit shows that the controller saw the type when it was created.
  EXPECT_DOUBLE_EQ(Singleton<JointController>::GetInstance()->GetMaxVelDegree(HJ_RLJ5), 8.80667);
  ASSERT_NE(Singleton<FieldState>::GetInstance(), nullptr);
  ASSERT_NE(Singleton<StrategyInformation>::GetInstance(), nullptr);
  ASSERT_NE(Singleton<Drawing>::GetInstance(), nullptr);
}

TEST_F(AgentStepTest, EveryRecordedPerceptionGetsOneWellFormedAnswer) {
  ScriptedAgent agent = MakeAgent({"--team=Alpha", "--unum=1"});
  EffectorAgent effector;
  effector.SetEffectorAgentUse(false, false, false, true, true, false);
  const std::vector<std::string> messages =
      test::ReadFixtureLines("perception/three_players_left_unum1.txt");
  ASSERT_FALSE(messages.empty());
  for (std::size_t i = 0; i < messages.size(); ++i) {
    agent.say_ = (i % 10 == 0) ? "A1hello" : "";
    const AgentReply reply = ParseAgentReply(agent.Step(messages[i], effector));
    ASSERT_TRUE(reply.well_formed) << "message " << i;
    ASSERT_TRUE(reply.all_finite) << "message " << i;
    EXPECT_EQ(reply.say, agent.say_);
    EXPECT_FALSE(reply.syn);
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      EXPECT_DOUBLE_EQ(reply.speeds[j], j == HJ_RLJ4 ? -1.5 : 0.0) << "joint " << j;
    }
  }
  // The models saw the whole session: the play mode switched to PlayOn part-way.
  EXPECT_EQ(Singleton<WorldState>::GetInstance()->GetPlayMode(), PM_PLAY_ON);
  EXPECT_EQ(Singleton<WorldState>::GetInstance()->GetSide(), SIDE_LEFT);
}

// Runs the real executable against the loopback fake server.
class AgentProcessTest : public ::testing::Test {
 protected:
  static constexpr milliseconds kWait{5000};

  // Accepts the agent and checks its two start-up messages; the first perception is the
  // first line of the capture.
  std::unique_ptr<test::FakeConnection> StartUp(const std::string& scene,
                                                const std::string& init) {
    std::unique_ptr<test::FakeConnection> link = server_.Accept(kWait);
    if (!link) return nullptr;
    EXPECT_EQ(link->ReceiveFrame(kWait).value_or("<none>"), scene);
    EXPECT_TRUE(link->SendFrame(messages_[0]));
    EXPECT_EQ(link->ReceiveFrame(kWait).value_or("<none>"), init);
    return link;
  }

  // Plays count further perceptions and checks each answer.
  void PlayCycles(test::FakeConnection& link, std::size_t count) {
    for (std::size_t i = 1; i <= count && i < messages_.size(); ++i) {
      ASSERT_TRUE(link.SendFrame(messages_[i]));
      const std::optional<std::string> answer = link.ReceiveFrame(kWait);
      ASSERT_TRUE(answer.has_value()) << "no answer to message " << i;
      const AgentReply reply = ParseAgentReply(*answer);
      ASSERT_TRUE(reply.well_formed) << *answer;
      ASSERT_TRUE(reply.all_finite) << *answer;
      EXPECT_FALSE(reply.syn);
    }
  }

  std::string Port() const { return std::to_string(server_.Port()); }

  test::FakeServer server_;
  std::vector<std::string> messages_ =
      test::ReadFixtureLines("perception/before_kickoff_type0.txt");
};

TEST_F(AgentProcessTest, RefusedConnectionSendsNothingAndExitsWithOne) {
  test::RefusingPort refusing;
  test::ChildProcess agent =
      test::StartAgent("zamp_agent", {"--port=" + std::to_string(refusing.Port())});
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 1);
  EXPECT_EQ(agent.Err().rfind("connection failed with: '", 0), 0u) << agent.Err();
  EXPECT_EQ(agent.Out().find("closed connection"), std::string::npos);
}

TEST_F(AgentProcessTest, OversizedFrameEndsTheRunWithOne) {
  test::ChildProcess agent = test::StartAgent("zamp_agent", {"--port=" + Port(), "--unum=2"});
  std::unique_ptr<test::FakeConnection> link =
      StartUp("(scene rsg/agent/nao/nao_hetero.rsg 0)",
              "(init (unum 2)(teamname Agent))(beam -12.500000 0.500000 0.000000)");
  ASSERT_TRUE(link);
  PlayCycles(*link, 3);
  ASSERT_TRUE(link->SendRaw(std::string("\xff\xff\xff\xff", 4)));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 1);
  EXPECT_NE(agent.Err().find("message too long; aborting\n"), std::string::npos);
  EXPECT_TRUE(link->WaitForClose(kWait));
}

TEST_F(AgentProcessTest, SigintWhileTheServerIsSilentEndsTheRunWithZero) {
  test::ChildProcess agent = test::StartAgent("zamp_agent", {"--port=" + Port()});
  std::unique_ptr<test::FakeConnection> link =
      StartUp("(scene rsg/agent/nao/nao_hetero.rsg 0)",
              "(init (unum 10)(teamname Agent))(beam -2.500000 3.000000 0.000000)");
  ASSERT_TRUE(link);
  PlayCycles(*link, 3);
  agent.Signal(SIGINT);
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0);
  EXPECT_NE(agent.Out().find("closed connection to 127.0.0.1:" + Port()), std::string::npos);
}

}  // namespace
}  // namespace zamp
