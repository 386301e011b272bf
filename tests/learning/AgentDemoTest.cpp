#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "learning/AgentDemo.h"
#include "motion/DovrelikWalk.h"
#include "motion/NewTabeWalk.h"
#include "motion/TabeWalk.h"
#include "motion/Walk.h"
#include "support/AgentProcess.h"
#include "support/ChildProcess.h"
#include "support/FakeTrainingServer.h"
#include "support/TrainerAgentDriver.h"

namespace zamp {
namespace {

using std::chrono::seconds;
using test::FakeTrainingServer;
using test::TrainerAgentDriver;
using World = FakeTrainingServer::World;

TEST(AgentDemoTest, PlayerTenWalksWithTheLocusWalkOthersWithTheSineWalkUnlessTold) {
  const struct {
    std::vector<std::string> args;
    bool locus, sine, pendulum;
  } cases[] = {
      {{"--unum=10"}, true, false, false},
      {{"--unum=9"}, false, true, false},
      {{"--unum=9", "--walk=locus"}, true, false, false},
      {{"--unum=10", "--walk=sine"}, false, true, false},
      {{"--unum=10", "--walk=pendulum"}, false, false, true},
  };
  for (const auto& c : cases) {
    TrainerAgentDriver<AgentDemo> demo(c.args);
    const Walk* walk = &demo.Agent().GetWalk();
    EXPECT_EQ(dynamic_cast<const TabeWalk*>(walk) != nullptr, c.locus) << c.args.back();
    EXPECT_EQ(dynamic_cast<const DovrelikWalk*>(walk) != nullptr, c.sine) << c.args.back();
    EXPECT_EQ(dynamic_cast<const NewTabeWalk*>(walk) != nullptr, c.pendulum) << c.args.back();
  }
}

TEST(AgentDemoTest, WaitsForKickOffThenWalksOnePhaseEveryFourSecondsWithAPause) {
  TrainerAgentDriver<AgentDemo> demo({"--unum=10"});
  World world;
  // Before the kick-off the ready pose is held however long the wait.
  for (; world.cycle < 100; ++world.cycle) {
    demo.Step(FakeTrainingServer::Perception(world, "BeforeKickOff"));
    ASSERT_EQ(demo.Agent().GetState(), AgentDemo::STATE_READY) << world.cycle;
  }
  // Phases by window of game time: (forward, sideways, turn) while t < 3 s.
  const std::array<std::array<double, 3>, 7> speeds = {{{1.0, 0.0, 0.0},
                                                        {-1.0, 0.0, 0.0},
                                                        {0.1, 1.0, 0.0},
                                                        {0.1, -1.0, 0.0},
                                                        {0.1, 0.0, 1.0},
                                                        {0.1, 0.0, -1.0},
                                                        {0.0, 0.0, 0.0}}};
  const int window = 200;  // cycles of one 4 s window of game time
  int checked = 0;
  // The ready count ran out before the kick-off, so walking starts at once, 2 s into the
  // first window; each phase ends in the last cycle of its window.
  for (; world.cycle < 7 * window; ++world.cycle) {
    demo.Step(FakeTrainingServer::Perception(world, "PlayOn"));
    ASSERT_EQ(demo.Agent().GetState(), AgentDemo::STATE_WALK) << world.cycle;
    const int phase = world.cycle / window;
    const int in_window = world.cycle % window;
    EXPECT_EQ(demo.Agent().GetPhase(), in_window == window - 1 ? phase + 1 : phase) << world.cycle;
    if (in_window == 140 || in_window == 160) {  // 2.8 s and 3.2 s into the window
      const Walk& walk = demo.Agent().GetWalk();
      const bool pause = in_window >= 150;
      EXPECT_DOUBLE_EQ(walk.GetVerticalSpeed(), pause ? 0.0 : speeds[phase][0]) << world.cycle;
      EXPECT_DOUBLE_EQ(walk.GetHorizonSpeed(), pause ? 0.0 : speeds[phase][1]) << world.cycle;
      EXPECT_NEAR(walk.GetRotationSpeed(), pause ? 0.0 : speeds[phase][2], 1e-9) << world.cycle;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 14);
}

TEST(AgentDemoTest, StraightPhasesSteerBackToHeadingZero) {
  TrainerAgentDriver<AgentDemo> demo({"--unum=10"});
  World world;
  world.heading = 45.0;  // facing 45 degrees to the left
  for (; world.cycle < 120; ++world.cycle) {
    demo.Step(FakeTrainingServer::Perception(world, "PlayOn"));
  }
  ASSERT_EQ(demo.Agent().GetState(), AgentDemo::STATE_WALK);
  EXPECT_NEAR(demo.Agent().GetWalk().GetRotationSpeed(), -1.0, 1e-6);
}

TEST(AgentDemoTest, AFallenRobotIsPutBackOnceAndStartsOverFromTheReadyPose) {
  FakeTrainingServer server;
  // Every robot tips over 2 s after the trainer let it go.
  server.SetScript(FakeTrainingServer::Walker(0.0, 0.0, 0.0, 2.0));
  test::ChildProcess agent = test::StartAgent(
      "zamp_demo",
      {"--port=" + std::to_string(server.AgentPort()), "--unum=10", "--team=Left", "--syn=1"});
  ASSERT_TRUE(server.Run(600, seconds(20)));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();

  int resets = 0;
  for (const auto& command : server.Commands()) {
    EXPECT_EQ(command.text,
              "(agent (unum 10) (team Left) (move -13.000000 1.000000 0.375000 -90.000000))");
    ++resets;
  }
  // 600 cycles of 12 s: a fall after 2 s, then one cycle to see it, 30 of ready pose, ...
  EXPECT_GE(resets, 3);
  for (size_t i = 1; i < server.MovedInCycle().size(); ++i) {
    EXPECT_FALSE(server.MovedInCycle()[i] && server.MovedInCycle()[i - 1])
        << "one move per fall, cycle " << i;
  }
}

}  // namespace
}  // namespace zamp
