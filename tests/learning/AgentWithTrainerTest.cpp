#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/EffectorAgent.h"
#include "learning/AgentWithTrainer.h"
#include "learning/EffectorTrainer.h"
#include "support/ChildProcess.h"
#include "support/FakeTrainingServer.h"
#include "support/LearningAgentProcess.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace {

using std::chrono::seconds;
using test::ChildProcess;
using test::FakeTrainingServer;

// A learning agent that only places the ball every cycle from its third cycle on, so that
// both a cycle without trainer command and one with it are seen.
class BallPlacer : public AgentWithTrainer {
 public:
  BallPlacer(int argc, char** argv, bool stop_on_loss) : AgentWithTrainer(argc, argv) {
    stop_on_trainer_loss_ = stop_on_loss;
  }
  void Think() override { SettingReadyPose(0.1); }
  void ControlEffectorTrainer(EffectorTrainer& effector) override {
    effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, ++cycles_ >= 3);
    effector.ball_coord_ = Eigen::Vector3d(1.0, 2.0, 0.042);
  }

 private:
  int cycles_ = 0;
};

// Runs a BallPlacer with the given options in a child process; its exit status is the
// agent's.
ChildProcess StartBallPlacer(std::vector<std::string> args, bool stop_on_loss = false) {
  return test::RunLearningAgent<BallPlacer>(".", std::move(args), nullptr, stop_on_loss);
}

TEST(AgentWithTrainerTest, TrainerLinkTakesOnlyThePortOfTheAgentLink) {
  const struct {
    std::vector<std::string> args;
    int trainer_port;
  } cases[] = {
      {{}, 3200},
      {{"--port=3150"}, 3250},
      {{"--port=3150", "--host=10.1.2.3", "--team=Other", "--unum=3"}, 3250},
      {{"--port=65435"}, 65535},
  };
  for (const auto& c : cases) {
    ChildProcess child = ChildProcess::Run([&c]() {
      std::vector<std::string> args = c.args;
      std::vector<char*> argv{const_cast<char*>("agent")};
      for (std::string& arg : args) argv.push_back(arg.data());
      BallPlacer agent(static_cast<int>(argv.size()), argv.data(), false);
      std::cout << agent.GetTrainerHost() << ":" << agent.GetTrainerPort();
    });
    EXPECT_EQ(child.ExitStatus(), 0);
    EXPECT_EQ(child.Out(), "127.0.0.1:" + std::to_string(c.trainer_port));
  }
}

TEST(AgentWithTrainerTest, AnAgentPortThatLeavesNoTrainerPortEndsTheRunWithStatusOne) {
  for (const char* port : {"65436", "65500", "65535"}) {
    ChildProcess agent = StartBallPlacer({std::string("--port=") + port});
    ASSERT_TRUE(agent.Wait(seconds(10))) << port;
    EXPECT_EQ(agent.ExitStatus(), 1) << port;
    EXPECT_EQ(agent.Err(), "the trainer port is the agent port + 100, and " +
                               std::to_string(std::stoi(port) + 100) +
                               " is above 65535: choose an agent port of at most 65435\n")
        << port;
    // Nothing was tried, in particular not the default server's port.
    EXPECT_EQ(agent.Out().find("connect"), std::string::npos) << agent.Out();
  }
}

TEST(AgentWithTrainerTest, OnlyAMoveOfItsOwnRobotPlacesTheFieldModel) {
  test::ModelCycle cycle("Left", 10, test::ModelCycle::SIMPLE);
  cycle.Start(test::PerceptionText().Time(0.0).GameStateWithTeam(10, "left", 0.0, "PlayOn").Str(),
              Eigen::Vector3d::Zero());
  // Upright and still, as a robot the trainer has just put down.
  const auto step = [&cycle](double time) {
    cycle.Step(test::PerceptionText().Time(time).Accelerometer({0.0, 0.0, 9.81}).Str());
    return cycle.agent().GetRotation().z();
  };
  EffectorTrainer trainer;
  trainer.agent_set_[8].can_move = true;  // player 9
  trainer.agent_set_[8].coord = Eigen::Vector4d(0.0, 0.0, 0.375, 0.0);
  trainer.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
  AgentWithTrainer::NotePlacement(trainer);
  EXPECT_NEAR(0.0, step(0.02), 1e-9);

  trainer.agent_set_[9].can_move = true;  // player 10; direction 45 faces 135
  trainer.agent_set_[9].coord = Eigen::Vector4d(0.0, 0.0, 0.375, 45.0);
  trainer.SetEffectorUse(EffectorTrainer::MOVE_AGENT, false);
  AgentWithTrainer::NotePlacement(trainer);
  EXPECT_NEAR(0.0, step(0.04), 1e-9);
  trainer.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
  AgentWithTrainer::NotePlacement(trainer);
  EXPECT_NEAR(135.0, step(0.06), 1e-9);
}

TEST(AgentWithTrainerTest, ScenePathComesFromTheOptionThenTheEnvironmentThenTheDefault) {
  char program[] = "agent";
  char option[] = "--scene-path=/opt/server/share/rcssserver3d/rsg/agent/nao/nao_hetero.rsg";
  char* with_option[] = {program, option};
  char* without[] = {program};
  ::unsetenv("ZAMP_SCENE_PATH");
  EXPECT_EQ(AgentWithTrainer::ReadScenePath(1, without), "rsg/agent/nao/nao_hetero.rsg");
  ::setenv("ZAMP_SCENE_PATH", "/env/nao_hetero.rsg", 1);
  EXPECT_EQ(AgentWithTrainer::ReadScenePath(1, without), "/env/nao_hetero.rsg");
  EXPECT_EQ(AgentWithTrainer::ReadScenePath(2, with_option),
            "/opt/server/share/rcssserver3d/rsg/agent/nao/nao_hetero.rsg");
  ::unsetenv("ZAMP_SCENE_PATH");
}

TEST(AgentWithTrainerTest, StartsUpWithABeamAndSendsTrainerCommandsOnlyWhenThereAreAny) {
  FakeTrainingServer server;
  ChildProcess agent =
      StartBallPlacer({"--port=" + std::to_string(server.AgentPort()), "--host=127.0.0.1",
                       "--scene-path=my/scene.rsg", "--unum=10", "--team=Learner", "--syn=1"});
  ASSERT_TRUE(server.Run(10, seconds(10)));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();

  ASSERT_EQ(server.StartUpMessages().size(), 2u);
  EXPECT_EQ(server.StartUpMessages()[0], "(scene my/scene.rsg 0)");
  EXPECT_EQ(server.StartUpMessages()[1],
            "(init (unum 10)(teamname Learner))(beam -10.000000 0.000000 0.000000)");
  EXPECT_NE(server.LastAgentMessage().find("(syn)"), std::string::npos);

  // Cycles 1 and 2 send nothing on the trainer link; from cycle 3 on one placement each.
  ASSERT_FALSE(server.Commands().empty());
  EXPECT_GE(server.Commands().front().cycle, 3);
  EXPECT_GE(server.Commands().size(), 7u);
  for (const auto& command : server.Commands()) {
    EXPECT_EQ(command.text,
              "(ball (pos 1.000000 2.000000 0.042000) (vel 0.000000 0.000000 0.000000))");
  }
  EXPECT_DOUBLE_EQ(server.GetWorld().ball.y(), 2.0);
  EXPECT_NE(
      agent.Out().find("closed connection to 127.0.0.1:" + std::to_string(server.TrainerPort())),
      std::string::npos)
      << agent.Out();
}

TEST(AgentWithTrainerTest, ALostTrainerLinkWarnsOnceAndEndsOnlyAnAgentThatNeedsIt) {
  for (const bool stop_on_loss : {false, true}) {
    FakeTrainingServer server;
    server.CloseTrainerAfter(4);
    ChildProcess agent =
        StartBallPlacer({"--port=" + std::to_string(server.AgentPort())}, stop_on_loss);
    ASSERT_TRUE(server.Run(60, seconds(10)));
    ASSERT_TRUE(agent.Wait(seconds(10)));
    EXPECT_EQ(agent.TermSignal(), 0) << "a closed trainer link must not kill the agent";
    EXPECT_EQ(agent.ExitStatus(), stop_on_loss ? 1 : 0) << agent.Err();
    const std::string warning =
        "the trainer link to 127.0.0.1:" + std::to_string(server.TrainerPort()) + " is lost";
    const size_t first = agent.Err().find(warning);
    EXPECT_NE(first, std::string::npos) << agent.Err();
    EXPECT_EQ(agent.Err().find(warning, first + 1), std::string::npos) << "warned once";
    if (stop_on_loss) {
      EXPECT_LT(server.Cycles(), 60) << "the agent stopped by itself";
    } else {
      EXPECT_EQ(server.Cycles(), 60);
    }
  }
}

}  // namespace
}  // namespace zamp
