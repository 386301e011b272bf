#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/const.h"
#include "learning/AgentKickEvolution1.h"
#include "learning/CMAES.h"
#include "learning/KickMotionText.h"
#include "motion/LongKickType0.h"
#include "motion/MotionSequenceXML.h"
#include "support/ChildProcess.h"
#include "support/FakeTrainingServer.h"
#include "support/Fixtures.h"
#include "support/LearningAgentProcess.h"
#include "support/ScratchDirectory.h"

namespace zamp {
namespace {

using std::chrono::seconds;
using test::ChildProcess;
using test::FakeTrainingServer;
using test::ScratchDirectory;

const char INIT_PARAM[] = "data/InitParam.txt";
const char RECORD[] = "data/record.dat";
const char RESUME[] = "data/resumeevo.dat";
const char BEST_VALUE[] = "data/best_value.dat";

Eigen::VectorXd Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<double> values;
  for (double value; in >> value;) values.push_back(value);
  return Eigen::Map<Eigen::VectorXd>(values.data(), static_cast<Eigen::Index>(values.size()));
}

const MotionSequenceXML::Move* FindMove(const MotionSequenceXML::Motion& frame, int id) {
  for (const MotionSequenceXML::Move& move : frame.parts) {
    if (move.id == id) return &move;
  }
  return nullptr;
}

// The shipped start point is the built-in long kick wherever the generated kick has a
// parameter for it: the wind-up degrees, every fire speed, and the right ankle roll that
// the built-in kick holds from its wind-up through "fire".
TEST(SingleProcessKickTextTest, ShippedStartPointCopiesTheBuiltInLongKick) {
  const Eigen::VectorXd start = Numbers(test::ReadShippedFile(INIT_PARAM));
  ASSERT_EQ(start.size(), 59);
  MotionSequenceXML generated;
  generated.ReadDirect(KickMotionText::Build(KickMotionText::SingleProcessLongKick(), start));
  const LongKickType0 built_in;
  const std::vector<MotionSequenceXML::Motion>& ours = generated.GetSequence();
  const std::vector<MotionSequenceXML::Motion>& theirs = built_in.GetSequence();
  ASSERT_EQ(ours.size(), 11u);
  ASSERT_EQ(theirs.size(), 12u);
  const int our_fix = 4;
  const int their_fix = 5;
  ASSERT_EQ(ours[our_fix].name, "left_fix");
  ASSERT_EQ(theirs[their_fix].name, "left_fix");

  const struct {
    int id;
    double degree;
  } wind_up[] = {{HJ_LLJ1, -39.3201},
                 {HJ_RLJ1, -5.00374},
                 {HJ_RLJ3, -27.8718},
                 {HJ_RLJ4, -118.406},
                 {HJ_RLJ5, -51.2744}};
  for (const auto& c : wind_up) {
    const MotionSequenceXML::Move* mine = FindMove(ours[our_fix], c.id);
    const MotionSequenceXML::Move* reference = FindMove(theirs[their_fix], c.id);
    ASSERT_NE(mine, nullptr) << c.id;
    ASSERT_NE(reference, nullptr) << c.id;
    EXPECT_NEAR(mine->degree, c.degree, 1e-9) << c.id;
    EXPECT_NEAR(mine->degree, reference->degree, 1e-9) << c.id;
  }
  const double held_ankle = FindMove(theirs[their_fix], HJ_RLJ6)->degree;
  EXPECT_NEAR(held_ankle, -8.49833, 1e-9);

  const int speeds[] = {HJ_LLJ1, HJ_LLJ3, HJ_LLJ4, HJ_LLJ5, HJ_RLJ1, HJ_RLJ3, HJ_RLJ4, HJ_RLJ5};
  for (int k = 0; k < 6; ++k) {
    const MotionSequenceXML::Motion& mine = ours[our_fix + 1 + k];
    const MotionSequenceXML::Motion& reference = theirs[their_fix + 1 + k];
    ASSERT_EQ(mine.name, "fire");
    for (int id : speeds) {
      ASSERT_NE(FindMove(mine, id), nullptr) << k << " " << id;
      EXPECT_NEAR(FindMove(mine, id)->speed, FindMove(reference, id)->speed, 1e-9)
          << k << " " << id;
    }
    const MotionSequenceXML::Move* ankle = FindMove(mine, HJ_RLJ6);
    ASSERT_NE(ankle, nullptr) << k;
    EXPECT_EQ(ankle->type, MotionSequenceXML::TYPE_RELATIVE_SPEED);
    EXPECT_NEAR(ankle->degree, held_ankle, 1e-9) << k;
  }
  EXPECT_NEAR(FindMove(ours[our_fix + 1], HJ_LLJ1)->speed, 6.06476, 1e-9);
  EXPECT_NEAR(FindMove(ours[10], HJ_RLJ5)->speed, 6.04932, 1e-9);
}

// A scratch working directory holding the shipped start point, as the repository root does.
class KickEvolution1Run : public ::testing::Test {
 protected:
  KickEvolution1Run() { dir_.Write(INIT_PARAM, test::ReadShippedFile(INIT_PARAM)); }

  // The agent in a child process, with lambda candidates a generation.
  ChildProcess Start(int lambda) {
    return test::RunLearningAgent<AgentKickEvolution1>(
        dir_.Path(), test::PlayerTenOptions(server_.AgentPort()), nullptr, lambda);
  }

  ScratchDirectory dir_;
  FakeTrainingServer server_;
};

// Free time counts from the trainer's placement: 30 cycles of ready pose, then the kick,
// whose "fire" keyframes play from 2.4 s to 2.68 s.
TEST_F(KickEvolution1Run, AGenerationScoresEachTrialAndDoneRepeatsItsBestCandidate) {
  server_.SetScript(FakeTrainingServer::Kicker({
      {1e9, 2.45, 1.0, 3.0},   // kicked; the ball rolls for 3 s and stops at x = 3
      {1.0, 2.45, 1.0, 3.0},   // falls before "fire": never kicks
      {2.6, 2.45, 2.0, 2.0},   // kicks, then falls: the kick still counts
      {1e9, 2.45, -1.0, -0.5}  // kicks backwards
  }));
  ChildProcess agent = Start(4);
  // Stops a few trials into the second generation, whose candidates are sampled but not
  // all evaluated.
  ASSERT_TRUE(server_.Run(12000, seconds(30), [this](const FakeTrainingServer::World& w) {
    return w.ball_placements >= 6 && w.cycle % 30 == 0;
  }));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();

  const std::string& out = agent.Out();
  EXPECT_EQ(out.find("\n[Generation 0]\n"
                     "Iteration: 1\tBall_X: 3\n"
                     "Iteration: 2\tBall_X: -1\n"
                     "Iteration: 3\tBall_X: 2\n"
                     "Iteration: 4\tBall_X: -1\n"
                     "Max: 3\tAverage: 1.25\n"
                     "\n[Generation 1]\n"
                     "Iteration: 1\tBall_X: 3\n"),
            0u)
      << out;
  EXPECT_EQ(out.find("Max:", out.find("[Generation 1]")), std::string::npos) << out;
  EXPECT_EQ(dir_.Read(RECORD), "Max,Average\n3,1.25\n");

  const std::vector<std::string> resume = dir_.ReadLines(RESUME);
  int blocks = 0;
  for (const std::string& line : resume) blocks += line == "# resume 59";
  EXPECT_EQ(blocks, 1);
  CMAES<double> reader;
  Parameters<double> p;
  const std::vector<double> x0(59, 0.0), stds(59, 1.0);
  p.lambda = 4;
  p.init(59, x0.data(), stds.data());
  reader.init(p);
  EXPECT_NO_THROW(reader.resumeDistribution(dir_.PathOf(RESUME)));

  // One line for the generation, one more when the run ended: both the best candidate of
  // generation 0, not a sample of generation 1 that was never tried.
  const std::vector<std::string> best = dir_.ReadLines(BEST_VALUE);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(Numbers(best[0]).size(), 59);
  EXPECT_EQ(best[1], best[0]);

  // Each trial starts with robot and ball put back in one trainer message.
  ASSERT_FALSE(server_.Commands().empty());
  EXPECT_EQ(server_.Commands().front().text,
            "(ball (pos 0.000000 0.000000 0.042000) (vel 0.000000 0.000000 0.000000))"
            "(agent (unum 10) (team Left) (move -0.200000 -0.025000 0.375000 -90.000000))");
  int placed_standing = 0;
  for (const auto& command : server_.Commands()) {
    placed_standing +=
        command.text ==
        "(agent (unum 10) (team Left) (move -0.600000 -0.025000 0.375000 -90.000000))";
  }
  EXPECT_GE(placed_standing, 4 * 29) << "placed standing through each stand-up phase";
  bool beamed = false;
  for (const std::string& message : server_.StartUpMessages()) {
    beamed = beamed || message.find("(beam -0.200000 -0.025000 0.000000)") != std::string::npos;
  }
  EXPECT_TRUE(beamed);
}

TEST_F(KickEvolution1Run, AGenerationOfFailedTrialsRecordsZeros) {
  server_.SetScript(FakeTrainingServer::Kicker({{1.0, 2.45, 1.0, 3.0}}));
  ChildProcess agent = Start(2);
  ASSERT_TRUE(server_.Run(4000, seconds(20), [this](const FakeTrainingServer::World& w) {
    return w.cycle % 30 == 0 && dir_.ReadLines(RECORD).size() >= 2;
  }));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();
  EXPECT_NE(agent.Out().find("Iteration: 2\tBall_X: -1\nMax: 0\tAverage: 0\n"), std::string::npos)
      << agent.Out();
  EXPECT_EQ(dir_.Read(RECORD), "Max,Average\n0,0\n");
}

TEST_F(KickEvolution1Run, DoneWritesNoCandidateBeforeAGenerationHasEnded) {
  server_.SetScript(FakeTrainingServer::Kicker({{1e9, 2.45, 1.0, 0.5}}));
  ChildProcess agent = Start(4);
  ASSERT_TRUE(server_.Run(4000, seconds(20), [](const FakeTrainingServer::World& w) {
    return w.ball_placements >= 3;
  }));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();
  EXPECT_NE(agent.Out().find("Iteration: 2\tBall_X: 0.5\n"), std::string::npos) << agent.Out();
  EXPECT_FALSE(std::ifstream(dir_.PathOf(BEST_VALUE)).good());
  EXPECT_EQ(dir_.Read(RECORD), "Max,Average\n");
}

TEST(KickEvolution1StartTest, WithoutAStartFileTheSearchStartsAtZeroWithStepSizeTwo) {
  ScratchDirectory dir;
  ChildProcess probe = ChildProcess::Run([&dir]() {
    if (::chdir(dir.Path().c_str()) != 0) _exit(126);
    char* argv[] = {const_cast<char*>("zamp_kick_evolution1"), const_cast<char*>("--port=1")};
    AgentKickEvolution1 evolution(2, argv);
    const CMAES<double>& cma = evolution.GetOptimizer();
    double largest = 0.0;
    for (int i = 0; i < AgentKickEvolution1::PARAM_NUM; ++i) {
      largest = std::max(largest, std::fabs(cma.xmean[i]));
    }
    std::cout << largest << " " << cma.sigma << " " << cma.params.lambda << " " << cma.params.mu;
    std::cout.flush();
    _exit(0);
  });
  ASSERT_EQ(probe.ExitStatus(), 0) << probe.Err();
  EXPECT_EQ(probe.Out(), "0 2 200 100");
  EXPECT_NE(probe.Err().find("data/InitParam.txt"), std::string::npos) << probe.Err();
}

// An optimiser file that cannot be written ends the run with status 1 and says which.
TEST_F(KickEvolution1Run, AnUnwritableOptimiserFileEndsTheRunWithStatusOne) {
  const struct {
    const char* blocked;
    const char* message;
  } cases[] = {{RESUME, "writeToFile(): could not open './data/resumeevo.dat'"},
               {BEST_VALUE, "writeToFile(): could not open './data/best_value.dat'"}};
  for (const auto& c : cases) {
    ScratchDirectory dir;
    dir.Write(INIT_PARAM, test::ReadShippedFile(INIT_PARAM));
    dir.Write(std::string(c.blocked) + "/in_the_way", "");  // a folder where the file goes
    FakeTrainingServer server;
    server.SetScript(FakeTrainingServer::Kicker({{1e9, 2.45, 1.0, 0.5}}));
    ChildProcess agent([&dir, &server]() {
      if (::chdir(dir.Path().c_str()) != 0) _exit(126);
      std::string port = "--port=" + std::to_string(server.AgentPort());
      char* argv[] = {const_cast<char*>("zamp_kick_evolution1"), port.data(),
                      const_cast<char*>("--unum=10"), const_cast<char*>("--team=Left"),
                      const_cast<char*>("--syn=1")};
      AgentKickEvolution1 evolution(5, argv, 2);
      evolution.Run();
      std::cout.flush();
      _exit(evolution.GetExitStatus());
    });
    ASSERT_TRUE(server.Run(4000, seconds(20))) << c.blocked;
    EXPECT_TRUE(server.AgentClosed()) << c.blocked;
    ASSERT_TRUE(agent.Wait(seconds(10))) << c.blocked;
    EXPECT_EQ(agent.ExitStatus(), 1) << c.blocked;
    EXPECT_NE(agent.Err().find(c.message), std::string::npos) << agent.Err();
    EXPECT_NE(agent.Out().find("Iteration: 2\tBall_X: 0.5\n"), std::string::npos) << agent.Out();
    EXPECT_EQ(agent.Out().find("Max:"), std::string::npos) << agent.Out();
  }
}

}  // namespace
}  // namespace zamp
