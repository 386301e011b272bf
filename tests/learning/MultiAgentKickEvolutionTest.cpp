#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "learning/EffectorTrainer.h"
#include "learning/MultiAgentKickEvolutionChild.h"
#include "learning/MultiAgentKickEvolutionParent.h"
#include "learning/SharedMemory.h"
#include "support/ChildProcess.h"
#include "support/FakeTrainingServer.h"
#include "support/Fixtures.h"
#include "support/ScratchDirectory.h"

namespace zamp {
namespace {

using std::chrono::seconds;
using test::ChildProcess;
using test::FakeTrainingServer;
using test::ScratchDirectory;

const char INIT_PARAM[] = "data/save19_part2/InitParam.txt";
const char RECORD[] = "data/kick_evolution2_data/record.dat";
const char SAVED_KICK[] = "data/LongKick.xml";
const int PORT = 3100;  // the protocol tests never connect
const double NaN = std::numeric_limits<double>::quiet_NaN();

// Options as a main would get them.
class Arguments {
 public:
  explicit Arguments(int port)
      : text_{"zamp_kick_evolution", "--port=" + std::to_string(port), "--unum=10", "--team=Left",
              "--syn=1"} {
    for (std::string& arg : text_) argv_.push_back(arg.data());
  }
  int Argc() const { return static_cast<int>(argv_.size()); }
  char** Argv() { return argv_.data(); }

 private:
  std::vector<std::string> text_;
  std::vector<char*> argv_;
};

class ParentProbe : public MultiAgentKickEvolutionParent {
 public:
  using MultiAgentKickEvolutionParent::MultiAgentKickEvolutionParent;
  const Eigen::MatrixXd& Population() const { return population_; }
  const Eigen::VectorXd& Fitness() const { return fitness_; }
  int Received() const { return get_fitness_count_; }
  int Next() const { return current_param_; }
};

class ChildProbe : public MultiAgentKickEvolutionChild {
 public:
  using MultiAgentKickEvolutionChild::MultiAgentKickEvolutionChild;
  bool Busy() const { return has_motion_update_; }
  int Id() const { return param_id_; }
};

// The records both sides hand over: semaphore, data type, count, first data record (the id)
// and the one after it (the score, or the first parameter).
std::string Records(const SharedMemory& page) {
  std::ostringstream text;
  for (int index = 0; index <= SharedMemory::MEMORY_DATA_START + 1; ++index) {
    if (index == SharedMemory::MEMORY_LOCK) continue;
    text << (index == 0 ? "" : " ") << page.GetSharedValue(index);
  }
  return text.str();
}

void Write(SharedMemory& page, int type, double count, double id, double value, int semaphore) {
  page.SetSharedValue(SharedMemory::MEMORY_DATA_TYPE, type);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_NUM, count);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_START, id);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_START + 1, value);
  page.SetSemaphore(static_cast<SharedMemory::SharedSemaphore>(semaphore));
}

// The lines a probe printed with the given prefix.
std::vector<std::string> Rows(const std::string& out, const std::string& prefix) {
  std::vector<std::string> rows;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, prefix.size(), prefix) == 0) rows.push_back(line.substr(prefix.size()));
  }
  return rows;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class MultiKickProtocol : public ::testing::Test {
 protected:
  MultiKickProtocol() { dir_.Write(INIT_PARAM, test::ReadShippedFile(INIT_PARAM)); }

  // Runs body in a child process working in the scratch directory.
  ChildProcess Probe(const std::function<void()>& body) {
    return ChildProcess::Run(
        [this, body]() {
          if (::chdir(dir_.Path().c_str()) != 0) _exit(126);
          body();
          std::cout.flush();
        },
        seconds(20));
  }

  ScratchDirectory dir_;
};

// One page seen from the parent, a row per step: the records after one Communicate (or the
// step named), then the results received, the next candidate to hand out and the fitness of
// each candidate.
TEST_F(MultiKickProtocol, ParentTakesOnlyTheResultOfTheCandidateItHandedOut) {
  ChildProcess probe = Probe([]() {
    Arguments args(PORT);
    ParentProbe parent(args.Argc(), args.Argv(), 2, 4);
    SharedMemory page(MultiAgentKickEvolutionParent::PageName(PORT + 1), false);
    const auto row = [&](const std::string& name) {
      std::cout << "row " << name << ": " << Records(page) << " | " << parent.Received() << " "
                << parent.Next() << " |";
      for (int i = 0; i < 4; ++i) std::cout << " " << parent.Fitness()[i];
      std::cout << std::endl;
    };
    row("constructed");
    parent.Communicate();
    row("no population yet");
    parent.UpdateMotion();
    row("parent plays 0");
    parent.Communicate();
    row("posts 1");
    bool same = true;
    for (int k = 0; k < 60; ++k) {
      same = same && page.GetSharedValue(5 + k) == parent.Population()(k, 1);
    }
    std::cout << "row candidate 1 posted whole: " << same << std::endl;
    parent.Communicate();
    row("child's turn");
    const struct {
      std::string name;
      double count, id, score;
    } results[] = {{"result of 1, posts 2", 2, 1, 2.5}, {"result of another candidate", 2, 3, 1},
                   {"score not a number", 2, 2, NaN},   {"count 3", 3, 2, 1},
                   {"failed 2, posts 3", 2, 2, -1},     {"result of 3, none left", 2, 3, 4}};
    for (const auto& r : results) {
      Write(page, SharedMemory::MDTYPE_FITNESS, r.count, r.id, r.score, 1);
      parent.Communicate();
      row(r.name);
    }
  });
  ASSERT_EQ(probe.ExitStatus(), 0) << probe.Err();
  const std::vector<std::string> expected = {
      "constructed: 1 -1 0 0 0 | 0 0 | 0 0 0 0",
      "no population yet: 1 -1 0 0 0 | 0 0 | 0 0 0 0",
      "parent plays 0: 1 -1 0 0 0 | 0 1 | 0 0 0 0",
      "posts 1: 0 0 61 1 ",  // the first parameter follows; checked whole below
      "candidate 1 posted whole: 1",
      "child's turn: 0 0 61 1 ",
      "result of 1, posts 2: 0 0 61 2 ",
      "result of another candidate: 1 -1 2 3 1 | 1 3 | 0 -2.5 0 0",
      "score not a number: 1 -1 2 2 nan | 1 3 | 0 -2.5 0 0",
      "count 3: 1 -1 3 2 1 | 1 3 | 0 -2.5 0 0",
      "failed 2, posts 3: 0 0 61 3 ",
      "result of 3, none left: 0 -1 2 3 4 | 3 4 | 0 -2.5 1 -4",
  };
  const std::vector<std::string> rows = Rows(probe.Out(), "row ");
  ASSERT_EQ(rows.size(), expected.size()) << probe.Out();
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].substr(0, expected[i].size()), expected[i]) << i;
  }
  EXPECT_NE(rows[3].find("| 0 2 | 0 0 0 0"), std::string::npos) << rows[3];
  EXPECT_NE(rows[5].find("| 0 2 | 0 0 0 0"), std::string::npos) << rows[5];
  EXPECT_NE(rows[6].find("| 1 3 | 0 -2.5 0 0"), std::string::npos) << rows[6];
  EXPECT_NE(rows[10].find("| 2 4 | 0 -2.5 1 0"), std::string::npos) << rows[10];
  EXPECT_EQ(Count(probe.Err(), "ignoring a result on tmp/shared_memory/MapFile3101"), 3u)
      << probe.Err();
  for (const char* line :
       {"ID: 1\tIteration: 1\tBDIST_X: 2.5\n", "ID: 2\tIteration: 2\tBDIST_X: -1\n",
        "ID: 3\tIteration: 3\tBDIST_X: 4\n"}) {
    EXPECT_EQ(Count(probe.Out(), line), 1u) << line << probe.Out();
  }
}

TEST_F(MultiKickProtocol, ASilentChildIsGivenUpAndItsCandidateScoresAsAFailedTrial) {
  ChildProcess probe = Probe([]() {
    Arguments args(PORT);
    // 0.09 s: given up in the fifth cycle after the hand-over.
    ParentProbe parent(args.Argc(), args.Argv(), 3, 4, 0.09);
    SharedMemory first(MultiAgentKickEvolutionParent::PageName(PORT + 1), false);
    SharedMemory second(MultiAgentKickEvolutionParent::PageName(PORT + 2), false);
    parent.UpdateMotion();
    parent.Communicate();  // candidate 1 to the first child, 2 to the second
    // The second child answers at once and is served again; the first never does.
    Write(second, SharedMemory::MDTYPE_FITNESS, 2, 2, 0.5, 1);
    for (int cycle = 1; cycle <= 6; ++cycle) {
      parent.Communicate();
      std::cout << "row " << cycle << ": " << parent.Received() << " |";
      for (int i = 0; i < 4; ++i) std::cout << " " << parent.Fitness()[i];
      std::cout << std::endl;
      // The second child answers its next candidate, the last one, in time.
      if (cycle == 4) Write(second, SharedMemory::MDTYPE_FITNESS, 2, 3, 0.25, 1);
    }
    // A late answer of the child given up is never read.
    Write(first, SharedMemory::MDTYPE_FITNESS, 2, 1, 9.0, 1);
    parent.Communicate();
    std::cout << "row late: " << Records(first) << " | " << parent.Received() << std::endl;
  });
  ASSERT_EQ(probe.ExitStatus(), 0) << probe.Err();
  const std::vector<std::string> expected = {
      "1: 1 | 0 0 -0.5 0",     "2: 1 | 0 0 -0.5 0",     "3: 1 | 0 0 -0.5 0",  "4: 1 | 0 0 -0.5 0",
      "5: 3 | 0 1 -0.5 -0.25", "6: 3 | 0 1 -0.5 -0.25", "late: 1 1 2 1 9 | 3"};
  EXPECT_EQ(Rows(probe.Out(), "row "), expected) << probe.Out();
  EXPECT_EQ(Count(probe.Err(),
                  "the child on port 3101 did not answer within 0.09 s; its "
                  "candidate 1 scores as a failed trial"),
            1u)
      << probe.Err();
}

// One page seen from a child: the records after one Communicate (or the step named), then
// whether it holds a candidate and which.
TEST_F(MultiKickProtocol, ChildTakesOneCandidateAtATimeAndSendsOnItsTurn) {
  ChildProcess probe = Probe([]() {
    SharedMemory page(MultiAgentKickEvolutionParent::PageName(PORT + 1), true);
    Arguments args(PORT + 1);
    ChildProbe child(args.Argc(), args.Argv(), 4);
    const auto row = [&](const std::string& name) {
      std::cout << "row " << name << ": " << Records(page) << " | " << child.Busy() << " "
                << child.Id() << std::endl;
    };
    const auto post = [&](int id, int semaphore) {
      for (int k = 1; k < 60; ++k) page.SetSharedValue(5 + k, -k / 8.0);
      Write(page, SharedMemory::MDTYPE_PARAM, 61, id, 0.5 * id, semaphore);
    };
    post(2, 1);
    child.Communicate();
    row("parent's turn");
    page.SetSemaphore(SharedMemory::SHARED_SEMAPHRE_ONE_OK);
    child.Communicate();
    row("takes 2");
    std::cout << "row parameters: " << child.GetMotionParam()[0] << " "
              << child.GetMotionParam()[59] << std::endl;
    post(3, 0);
    child.Communicate();
    row("busy");
    child.Evaluate();  // the robot never kicked: a failed trial
    row("scored 2");
    child.Communicate();
    row("takes 3, sends 2");
    child.Communicate();
    row("parent's turn again");
    // Only the process that owns the optimiser writes files.
    std::cout << "row files: " << std::filesystem::exists(SAVED_KICK) << " "
              << std::filesystem::exists(RECORD) << std::endl;
  });
  ASSERT_EQ(probe.ExitStatus(), 0) << probe.Err();
  const std::vector<std::string> expected = {"parent's turn: 1 0 61 2 1 | 0 0",
                                             "takes 2: 0 -1 61 2 1 | 1 2",
                                             "parameters: 1 -7.375",
                                             "busy: 0 0 61 3 1.5 | 1 2",
                                             "scored 2: 0 0 61 3 1.5 | 0 2",
                                             "takes 3, sends 2: 1 1 2 2 -1 | 1 3",
                                             "parent's turn again: 1 1 2 2 -1 | 1 3",
                                             "files: 0 0"};
  EXPECT_EQ(Rows(probe.Out(), "row "), expected) << probe.Out();
  EXPECT_EQ(probe.Err(), "");
}

TEST_F(MultiKickProtocol, ChildIgnoresACorruptedCandidateWithOneWarning) {
  ChildProcess probe = Probe([]() {
    SharedMemory page(MultiAgentKickEvolutionParent::PageName(PORT + 1), true);
    Arguments args(PORT + 1);
    ChildProbe child(args.Argc(), args.Argv(), 4);
    const struct {
      double count, id;
      int bad_record;  // a parameter record set to NaN, or 0
    } cases[] = {{60, 1, 0}, {62, 1, 0},    {NaN, 1, 0},  {-1e300, 1, 0}, {61, -1, 0},
                 {61, 4, 0}, {61, 1e12, 0}, {61, NaN, 0}, {61, 1, 5},     {61, 1, 64}};
    for (const auto& c : cases) {
      for (int k = 0; k < 60; ++k) page.SetSharedValue(5 + k, 1.0);
      if (c.bad_record > 0) page.SetSharedValue(c.bad_record, NaN);
      Write(page, SharedMemory::MDTYPE_PARAM, c.count, c.id,
            page.GetSharedValue(SharedMemory::MEMORY_DATA_START + 1), 0);
      child.Communicate();
      std::cout << "row " << page.GetSemaphore() << " "
                << page.GetSharedValue(SharedMemory::MEMORY_DATA_TYPE) << " " << child.Busy()
                << std::endl;
    }
    for (int k = 0; k < 60; ++k) page.SetSharedValue(5 + k, 1.0);
    Write(page, SharedMemory::MDTYPE_PARAM, 61, 3, 1.0, 0);
    child.Communicate();
    std::cout << "row whole " << child.Busy() << " " << child.Id() << std::endl;
  });
  ASSERT_EQ(probe.ExitStatus(), 0) << probe.Err();
  std::vector<std::string> expected(10, "0 -1 0");
  expected.push_back("whole 1 3");
  EXPECT_EQ(Rows(probe.Out(), "row "), expected) << probe.Out();
  EXPECT_EQ(Count(probe.Err(), "ignoring a candidate on tmp/shared_memory/MapFile3101"), 10u)
      << probe.Err();
  EXPECT_EQ(Count(probe.Err(), "a parameter is not a number"), 2u) << probe.Err();
}

TEST_F(MultiKickProtocol, AWaitingChildPlacesRobotAndBallOnceAndAgainWithItsCandidate) {
  ChildProcess probe = Probe([]() {
    SharedMemory page(MultiAgentKickEvolutionParent::PageName(PORT + 1), true);
    Arguments args(PORT + 1);
    ChildProbe child(args.Argc(), args.Argv(), 4);
    EffectorTrainer trainer;
    for (int cycle = 1; cycle <= 4; ++cycle) {
      if (cycle == 4) {
        for (int k = 0; k < 60; ++k) page.SetSharedValue(5 + k, -1.0);
        Write(page, SharedMemory::MDTYPE_PARAM, 61, 0, -1.0, 0);
        child.Communicate();
      }
      child.ControlEffectorTrainer(trainer);
      std::cout << "row " << cycle << " " << child.GetState() << " " << trainer.Make() << std::endl;
    }
  });
  ASSERT_EQ(probe.ExitStatus(), 0) << probe.Err();
  const std::string placement =
      "(ball (pos 0.000000 0.000000 0.042000) (vel 0.000000 0.000000 0.000000))"
      "(agent (unum 10) (team Left) (move -0.210000 0.000000 0.375000 -90.000000))";
  const std::vector<std::string> expected = {"1 0 " + placement, "2 0 ", "3 0 ",
                                             "4 1 " + placement};
  EXPECT_EQ(Rows(probe.Out(), "row "), expected) << probe.Out();
}

TEST(MultiKickOptions, ProcessCountComesFromProcsAndMustBeAWholeNumberInRange) {
  const struct {
    std::vector<std::string> args;
    int process_num;
  } cases[] = {{{}, 1},
               {{"--procs=3"}, 3},
               {{"--port=3200", "--procs=64", "--syn=1"}, 64},
               {{"--procs=0"}, -1},
               {{"--procs=65"}, -1},
               {{"--procs="}, -1},
               {{"--procs=2x"}, -1},
               {{"--procs=-3"}, -1}};
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    std::vector<char*> argv{const_cast<char*>("parent")};
    for (std::string& arg : args) argv.push_back(arg.data());
    EXPECT_EQ(
        MultiAgentKickEvolutionParent::ReadProcessNum(static_cast<int>(argv.size()), argv.data()),
        c.process_num)
        << (c.args.empty() ? "" : c.args.back());
  }
}

// A parent and its children, each against its own fake training server on consecutive
// ports, in one scratch working directory. Each server's kick goes its own distance, so the
// score in the parent's result lines says which process played the candidate.
class MultiKickRun : public ::testing::Test {
 protected:
  static constexpr int LAMBDA = 6;

  MultiKickRun() { dir_.Write(INIT_PARAM, test::ReadShippedFile(INIT_PARAM)); }

  void Setup(int process_num, double time_out) {
    servers_ = FakeTrainingServer::OnConsecutivePorts(process_num);
    for (int i = 0; i < process_num; ++i) {
      // The parent's kick reaches x = 3, the first child's 2, the second child's 1.
      const double distance = 3.0 - i;
      servers_[i]->SetScript(FakeTrainingServer::Kicker({{1e9, 2.55, distance, distance}}));
    }
    const int port = servers_[0]->AgentPort();
    agents_.push_back(std::make_unique<ChildProcess>([this, port, process_num, time_out]() {
      if (::chdir(dir_.Path().c_str()) != 0) _exit(126);
      Arguments args(port);
      MultiAgentKickEvolutionParent parent(args.Argc(), args.Argv(), process_num, LAMBDA, time_out);
      parent.Run();
      std::cout.flush();
      _exit(parent.GetExitStatus());
    }));
    for (int i = 1; i < process_num; ++i) {
      agents_.push_back(std::make_unique<ChildProcess>([this, port, i]() {
        if (::chdir(dir_.Path().c_str()) != 0) _exit(126);
        // The parent creates and sizes the page first; the wait is bounded.
        const std::string page = MultiAgentKickEvolutionParent::PageName(port + i);
        const auto sized = [&page]() {
          std::error_code missing;
          return std::filesystem::file_size(page, missing) >= 4096 && !missing;
        };
        for (int wait = 0; wait < 1000 && !sized(); ++wait) ::usleep(10000);
        Arguments args(port + i);
        MultiAgentKickEvolutionChild child(args.Argc(), args.Argv(), LAMBDA);
        child.Run();
        std::cout.flush();
        _exit(child.GetExitStatus());
      }));
    }
  }

  // Runs every server until the parent has ended its first generation (or the time-out);
  // stop_child, when given, is asked after each cycle of the first child's server.
  bool RunServers(
      const std::function<bool(const FakeTrainingServer::World&)>& stop_child = nullptr) {
    std::atomic<bool> done{false};
    std::vector<std::thread> threads;
    std::vector<char> ran(servers_.size(), 0);
    for (size_t i = 0; i < servers_.size(); ++i) {
      threads.emplace_back([this, i, &done, &ran, &stop_child]() {
        std::function<bool(const FakeTrainingServer::World&)> until;
        if (i == 0) {
          until = [this](const FakeTrainingServer::World& w) {
            return w.cycle % 30 == 0 && !dir_.ReadLines(RECORD).empty();
          };
        } else {
          until = [&done, &stop_child, i](const FakeTrainingServer::World& w) {
            return done || (i == 1 && stop_child && stop_child(w));
          };
        }
        ran[i] = servers_[i]->Run(40000, seconds(20), until);
        if (i == 0) done = true;
      });
    }
    for (std::thread& thread : threads) thread.join();
    for (auto& agent : agents_) agent->Wait(seconds(10));
    return ran[0] != 0;
  }

  // id -> score of the first generation's result lines, checking that they count up.
  std::map<int, double> Results() const {
    std::map<int, double> results;
    static const std::regex line(R"(ID: (\d+)\tIteration: (\d+)\tBDIST_X: (\S+))");
    std::istringstream out(agents_[0]->Out());
    int iteration = 0;
    for (std::string text; std::getline(out, text) && text.compare(0, 4, "Max:") != 0;) {
      std::smatch m;
      if (!std::regex_match(text, m, line)) continue;
      // A candidate given up counts among the results but prints no line.
      EXPECT_GT(std::stoi(m[2]), iteration) << text;
      iteration = std::stoi(m[2]);
      EXPECT_EQ(results.count(std::stoi(m[1])), 0u) << "one result per candidate: " << text;
      results[std::stoi(m[1])] = std::stod(m[3]);
    }
    return results;
  }

  ScratchDirectory dir_;
  std::vector<std::unique_ptr<FakeTrainingServer>> servers_;
  std::vector<std::unique_ptr<ChildProcess>> agents_;
};

TEST_F(MultiKickRun, AGenerationIsSharedByTheParentAndEveryChild) {
  for (const int process_num : {1, 2, 3}) {
    SCOPED_TRACE(process_num);
    agents_.clear();
    servers_.clear();
    std::filesystem::remove_all(dir_.PathOf("tmp"));
    std::filesystem::remove_all(dir_.PathOf("data/kick_evolution2_data"));
    // Fake cycles are not real time: a child that starts late on a busy machine must not
    // be given up here.
    Setup(process_num, 1e4);
    ASSERT_TRUE(RunServers());
    for (auto& agent : agents_) EXPECT_EQ(agent->ExitStatus(), 0) << agent->Err();

    const std::map<int, double> results = Results();
    ASSERT_EQ(results.size(), static_cast<size_t>(LAMBDA))
        << agents_[0]->Out() << agents_[0]->Err() << agents_.back()->ExitStatus()
        << agents_.back()->Err();
    std::map<double, int> played;  // by distance, i.e. by process
    double sum = 0.0;
    for (const auto& [id, score] : results) {
      ++played[score];
      sum += score;
    }
    // The parent plays candidate 0; the children get 1 and 2 in the first cycle after.
    EXPECT_EQ(results.at(0), 3.0);
    if (process_num >= 2) {
      EXPECT_EQ(results.at(1), 2.0);
    }
    if (process_num >= 3) {
      EXPECT_EQ(results.at(2), 1.0);
    }
    EXPECT_EQ(played.size(), static_cast<size_t>(process_num)) << "every process played";
    std::ostringstream line;
    line << "3," << sum / LAMBDA << "\n";
    EXPECT_EQ(dir_.Read(RECORD), line.str());
    EXPECT_NE(agents_[0]->Out().find("Max: 3\tAverage: " + line.str().substr(2)),
              std::string::npos);
    for (size_t i = 1; i < agents_.size(); ++i)
      EXPECT_EQ(agents_[i]->Out().find("ID:"), std::string::npos);
  }
}

TEST_F(MultiKickRun, AChildKilledInATrialIsDroppedAndTheGenerationStillEnds) {
  Setup(2, 30.0);
  ChildProcess& child = *agents_[1];
  // A second into the child's first trial (the robot is placed every cycle until then).
  ASSERT_TRUE(RunServers([&child](const FakeTrainingServer::World& w) {
    if (w.free_time < 1.0) return false;
    child.Signal(SIGKILL);
    return true;
  }));
  EXPECT_EQ(child.TermSignal(), SIGKILL) << child.ExitStatus() << " " << child.Err();
  EXPECT_EQ(agents_[0]->ExitStatus(), 0) << agents_[0]->Err();

  const std::map<int, double> results = Results();
  EXPECT_EQ(results.size(), static_cast<size_t>(LAMBDA - 1)) << agents_[0]->Out();
  EXPECT_EQ(results.count(1), 0u) << "the child's candidate has no result line";
  for (const auto& [id, score] : results) EXPECT_EQ(score, 3.0) << id;
  EXPECT_NE(agents_[0]->Err().find("the child on port " + std::to_string(servers_[1]->AgentPort()) +
                                   " did not answer within 30 s; its candidate 1 scores as a "
                                   "failed trial"),
            std::string::npos)
      << agents_[0]->Err();
  // The dropped candidate adds nothing to the average: five kicks to 3 m over six.
  EXPECT_EQ(dir_.Read(RECORD), "3,2.5\n");
}

}  // namespace
}  // namespace zamp
