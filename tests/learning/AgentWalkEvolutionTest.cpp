#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "learning/AgentWalkEvolution.h"
#include "support/AgentProcess.h"
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

const char INIT_PARAM[] = "data/walk_evolution_data/InitParam.txt";
const char RECORD[] = "data/walk_evolution_data/record.dat";
const char BEST_RECORD[] = "data/walk_evolution_data/best_record.dat";
const char RESUME[] = "data/walk_evolution_data/evoresume.dat";
const char START_MOVE[] =
    "(agent (unum 10) (team Left) (move 0.000000 5.000000 0.375000 -90.000000))";

// A scratch working directory holding the shipped start point, as the repository root does.
class WalkEvolutionRun : public ::testing::Test {
 protected:
  WalkEvolutionRun() { dir_.Write(INIT_PARAM, test::ReadShippedFile(INIT_PARAM)); }

  std::vector<std::string> Options() const {
    return {"--port=" + std::to_string(server_.AgentPort()), "--unum=10", "--team=Left", "--syn=1"};
  }
  // Runs the server until the agent recorded its first generation (or cycles ran out).
  void RunOneGeneration(int cycles) {
    ASSERT_TRUE(server_.Run(cycles, seconds(20), [this](const FakeTrainingServer::World& w) {
      return w.cycle % 30 == 0 && dir_.ReadLines(RECORD).size() >= 2;
    }));
  }

  // The three weighted terms and the value of every "Iteration" line, in order.
  static std::vector<std::vector<double>> Iterations(const std::string& out) {
    static const std::regex line(
        R"(Iteration: (\d+)\tVALUE: (\S+)\t \+ (\S+)\t \+ (\S+)\t = (\S+)\n)");
    std::vector<std::vector<double>> values;
    for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it) {
      EXPECT_EQ(std::stoi((*it)[1]), static_cast<int>(values.size()) + 1);
      values.push_back(
          {std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4]), std::stod((*it)[5])});
    }
    return values;
  }

  ScratchDirectory dir_;
  FakeTrainingServer server_;
};

TEST_F(WalkEvolutionRun, AGenerationOfFallsIsScoredRecordedAndResumable) {
  // Every robot tips over 0.1 s after the trainer lets it go.
  server_.SetScript(FakeTrainingServer::Walker(0.0, 0.0, 0.0, 0.1));
  ChildProcess agent = test::StartAgentIn(dir_.Path(), "zamp_walk_evolution", Options());
  RunOneGeneration(20000);
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();

  const std::string& out = agent.Out();
  EXPECT_EQ(out.find("\n[Generation 0]\n"), 0u) << out.substr(0, 200);
  const std::vector<std::vector<double>> iterations = Iterations(out);
  ASSERT_GE(iterations.size(), 100u);
  for (size_t i = 0; i < 100; ++i) {
    EXPECT_EQ(iterations[i], (std::vector<double>{-1.5, -2.0, -0.005, -3.505})) << i;
  }
  EXPECT_NE(out.find("Iteration: 100\tVALUE: -1.5\t + -2\t + -0.005\t = -3.505\n"
                     "Max: 0\tAverage: -3.505\n"),
            std::string::npos);
  EXPECT_NE(out.find("Max: 0\tAverage: -3.505\n\n[Generation 1]\n"), std::string::npos);

  EXPECT_EQ(dir_.Read(RECORD), "Max,Average\n0,-3.505\n");

  // One best vector of 16 values, each within its box around the start point.
  const std::vector<std::string> best = dir_.ReadLines(BEST_RECORD);
  ASSERT_EQ(best.size(), 1u);
  std::istringstream best_values(best[0]);
  std::istringstream start(dir_.Read(INIT_PARAM));
  int count = 0;
  for (double value, x0; best_values >> value && start >> x0; ++count) {
    EXPECT_LE(std::fabs(value - x0), 15.0 + 1e-9) << count;
  }
  EXPECT_EQ(count, 16);
  EXPECT_EQ(best[0].back(), '\t');

  // One resume block: the heading, then the lower triangle of a 16 by 16 covariance.
  const std::vector<std::string> resume = dir_.ReadLines(RESUME);
  ASSERT_EQ(resume.size(), 1u + 1 + 6 + 1 + 1 + 16 + 1);
  EXPECT_EQ(resume[0], "");
  EXPECT_EQ(resume[1], "# resume 16");
  EXPECT_EQ(resume[2], "xmean");
  EXPECT_EQ(resume[4], "path for sigma");
  EXPECT_EQ(resume[6], "path for C");
  EXPECT_EQ(resume[8].rfind("sigma ", 0), 0u);
  EXPECT_EQ(resume[9], "covariance matrix");
  for (int i = 0; i < 16; ++i) {
    const std::string& row = resume[10 + i];
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), i) << row;
  }

  // The trainer only ever puts player 10 back on its start point, and holds it there for at
  // most the 30 cycles of motion update and ready phase (plus one of link delay), then
  // lets it go for the trial.
  ASSERT_FALSE(server_.Commands().empty());
  for (const auto& command : server_.Commands()) EXPECT_EQ(command.text, START_MOVE);
  int run = 0;
  int longest = 0;
  int runs = 0;
  for (const bool moved : server_.MovedInCycle()) {
    if (moved && run++ == 0) ++runs;
    if (!moved) run = 0;
    longest = std::max(longest, run);
  }
  EXPECT_LE(longest, 31);
  EXPECT_GE(runs, 100);
}

// The agent itself, in a child process, with four candidates a generation: each walks all
// three trials in full.
TEST_F(WalkEvolutionRun, FullTrialsMeasureDistancesAndWrappedTurns) {
  // 0.2 m/s forward, 0.1 m/s sideways, and a turn of 40 degrees/s that passes from 180 to
  // -180 during the turning trial (from 0 to 200 degrees).
  server_.SetScript(FakeTrainingServer::Walker(0.2, 0.1, 40.0, 1e9));
  ChildProcess agent = test::RunLearningAgent<AgentWalkEvolution>(
      dir_.Path(), test::PlayerTenOptions(server_.AgentPort()), nullptr, 4);
  RunOneGeneration(6000);
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();

  const std::vector<std::vector<double>> iterations = Iterations(agent.Out());
  ASSERT_GE(iterations.size(), 4u) << agent.Out();
  for (size_t i = 0; i < 4; ++i) {
    const std::vector<double>& v = iterations[i];
    EXPECT_NEAR(v[0], 1.5 * 1.0, 1.5 * 0.02) << "forward: 5 s at 0.2 m/s, " << i;
    EXPECT_NEAR(v[1], 2.0 * 0.5, 2.0 * 0.01) << "sideways: 5 s at 0.1 m/s, " << i;
    // Unwrapped, the step from 180 to -180 alone would add 340 degrees.
    EXPECT_NEAR(v[2], 0.005 * 200.0, 0.005 * 4.0) << "turned: 200 degrees, " << i;
    EXPECT_NEAR(v[3], v[0] + v[1] + v[2], 1e-4);
  }
  const std::vector<std::string> record = dir_.ReadLines(RECORD);
  ASSERT_EQ(record.size(), 2u);
  const double best =
      std::max({iterations[0][3], iterations[1][3], iterations[2][3], iterations[3][3]});
  EXPECT_NEAR(std::stod(record[1]), best, 1e-4) << record[1];
}

TEST_F(WalkEvolutionRun, AResumeFileThatCannotBeWrittenIsNamedOnce) {
  // A folder where the resume file belongs: two generations end, one warning.
  std::filesystem::create_directories(dir_.PathOf(RESUME));
  server_.SetScript(FakeTrainingServer::Walker(0.0, 0.0, 0.0, 0.1));
  ChildProcess agent = test::StartAgentIn(dir_.Path(), "zamp_walk_evolution", Options());
  ASSERT_TRUE(server_.Run(40000, seconds(30), [this](const FakeTrainingServer::World& w) {
    return w.cycle % 30 == 0 && dir_.ReadLines(RECORD).size() >= 3;
  }));
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();
  const std::string warning =
      "cannot write ./data/walk_evolution_data/evoresume.dat; its records are lost\n";
  EXPECT_EQ(agent.Err().find(warning), agent.Err().rfind(warning)) << agent.Err();
  EXPECT_NE(agent.Err().find(warning), std::string::npos) << agent.Err();
  // The rest of the generation's output goes on.
  EXPECT_EQ(dir_.ReadLines(BEST_RECORD).size(), 2u);
}

}  // namespace
}  // namespace zamp
