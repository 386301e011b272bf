#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "learning/AgentKickEvolution2.h"
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

const char INIT_PARAM[] = "data/save19_part2/InitParam.txt";
const char RECORD[] = "data/kick_evolution2_data/record.dat";
const char BEST_RECORD[] = "data/kick_evolution2_data/best_record.dat";
const char RESUME[] = "data/kick_evolution2_data/evoresume.dat";
const char SAVED_KICK[] = "data/LongKick.xml";

// A scratch working directory holding the shipped start point, as the repository root does.
class KickEvolutionRun : public ::testing::Test {
 protected:
  KickEvolutionRun() { dir_.Write(INIT_PARAM, test::ReadShippedFile(INIT_PARAM)); }

  // The agent in a child process, with lambda candidates a generation. Before it runs,
  // probe may print what the test wants to see of the constructed agent.
  ChildProcess Start(int lambda, std::function<void(AgentKickEvolution2&)> probe = nullptr) {
    return test::RunLearningAgent<AgentKickEvolution2>(
        dir_.Path(), test::PlayerTenOptions(server_.AgentPort()), probe, lambda);
  }

  ScratchDirectory dir_;
  FakeTrainingServer server_;
};

TEST_F(KickEvolutionRun, StartPointIsClampedIntoTheBoxWhileTheSavedKickKeepsTheValuesRead) {
  std::string start = test::ReadShippedFile(INIT_PARAM);
  start.replace(0, start.find(' '), "0");  // p0 = 0, above its upper bound -45
  dir_.Write(INIT_PARAM, start);
  ChildProcess probe = Start(8, [](AgentKickEvolution2& agent) {
    const auto& gp = agent.GetOptimizer().get_gp();
    const Eigen::VectorXd mean =
        gp.pheno(Eigen::VectorXd(agent.GetOptimizer().get_solutions()._xmean));
    std::cout << mean[0] << " " << mean[1];
  });
  ASSERT_TRUE(probe.Wait(seconds(10)));
  ASSERT_EQ(probe.ExitStatus(), 0) << probe.Err();
  std::istringstream mean(probe.Out());
  double p0 = 0.0;
  double p1 = 0.0;
  mean >> p0 >> p1;
  EXPECT_NEAR(p0, -45.0, 1e-9);
  EXPECT_NEAR(p1, -65.2157, 1e-9);

  const std::string saved = dir_.Read(SAVED_KICK);
  EXPECT_NE(saved.find("<move id=\"raj1\" degree=\"0.000000\" speed=\"0.075\"/>"),
            std::string::npos)
      << saved.substr(0, 300);
  EXPECT_NE(saved.find("<motion name=\"left_fix\" time=\"30\">"), std::string::npos);
}

TEST(KickEvolutionBoundsTest, EachParameterHasItsBox) {
  const Eigen::VectorXd& lower = AgentKickEvolution2::LowerBounds();
  const Eigen::VectorXd& upper = AgentKickEvolution2::UpperBounds();
  ASSERT_EQ(lower.size(), 60);
  ASSERT_EQ(upper.size(), 60);
  const struct {
    int index;
    double lower;
    double upper;
  } cases[] = {{0, -90, -45}, {2, -100, 5}, {4, -1, 1},    {8, -35, 100},
               {11, -25, 45}, {12, 0, 6.5}, {13, -6.5, 0}, {16, -6.5, 0},
               {17, 0, 6.5},  {59, 0, 6.5}, {52, 0, 6.5},  {56, -6.5, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(lower[c.index], c.lower) << c.index;
    EXPECT_EQ(upper[c.index], c.upper) << c.index;
  }
  // The shipped start kick lies inside the box, so the search starts from it unchanged.
  std::istringstream start(test::ReadShippedFile(INIT_PARAM));
  int i = 0;
  for (double value; start >> value; ++i) {
    EXPECT_GE(value, lower[i]) << i;
    EXPECT_LE(value, upper[i]) << i;
  }
  EXPECT_EQ(i, 60);
}

TEST_F(KickEvolutionRun, AGenerationWaitsForStillBallsAndScoresFallsAsFailures) {
  // Free time counts from the trainer's placement: 30 cycles of ready pose, then the kick,
  // whose "fire" keyframes play from 2.5 s to 2.82 s.
  server_.SetScript(FakeTrainingServer::Kicker({
      {1e9, 2.55, 1.0, 3.0},   // kicked; the ball rolls for 3 s and stops at x = 3
      {1.0, 2.55, 1.0, 3.0},   // falls before "fire": never kicks
      {2.7, 2.55, 2.0, 2.0},   // kicks, then falls: the kick still counts
      {1e9, 2.55, -1.0, -0.5}  // kicks backwards
  }));
  ChildProcess agent = Start(4);
  ASSERT_TRUE(server_.Run(8000, seconds(20), [this](const FakeTrainingServer::World& w) {
    return w.cycle % 30 == 0 && !dir_.ReadLines(RECORD).empty();
  }));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();

  const std::string& out = agent.Out();
  EXPECT_EQ(out.find("\n[Generation 0]\n"
                     "Iteration: 1\tBDIST_X: 3\tBSPEED_X: 0.02\n"
                     "Iteration: 2\tBDIST_X: -1\tBSPEED_X: 0\n"
                     "Iteration: 3\tBDIST_X: 2\tBSPEED_X: 0.04\n"
                     "Iteration: 4\tBDIST_X: -1\tBSPEED_X: 0\n"
                     "Max: 3\tAverage: 1.25\n"
                     "\n[Generation 1]\n"),
            0u)
      << out;
  EXPECT_EQ(dir_.Read(RECORD), "3,1.25\n");

  const std::vector<std::string> best = dir_.ReadLines(BEST_RECORD);
  ASSERT_EQ(best.size(), 1u);
  std::istringstream values(best[0]);
  int count = 0;
  for (double value; values >> value; ++count) {
    EXPECT_GE(value, AgentKickEvolution2::LowerBounds()[count]) << count;
    EXPECT_LE(value, AgentKickEvolution2::UpperBounds()[count]) << count;
  }
  EXPECT_EQ(count, 60);
  const std::vector<std::string> resume = dir_.ReadLines(RESUME);
  ASSERT_EQ(resume.size(), 10u + 60 + 1);
  EXPECT_EQ(resume[1], "# resume 60");

  // Each trial starts with robot and ball put back in one trainer message.
  ASSERT_FALSE(server_.Commands().empty());
  EXPECT_EQ(server_.Commands().front().text,
            "(ball (pos 0.000000 0.000000 0.042000) (vel 0.000000 0.000000 0.000000))"
            "(agent (unum 10) (team Left) (move -0.210000 0.000000 0.375000 -90.000000))");
  int placed_standing = 0;
  for (const auto& command : server_.Commands()) {
    if (command.text ==
        "(agent (unum 10) (team Left) (move -0.600000 0.000000 0.375000 -90.000000))") {
      ++placed_standing;
    }
  }
  EXPECT_GE(placed_standing, 4 * 29) << "placed standing through each stand-up phase";
}

}  // namespace
}  // namespace zamp
