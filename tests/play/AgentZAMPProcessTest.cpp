// The match agent as a process: the real zamp_agent executable against the loopback fake
// server, fed with recorded server traffic (intact and damaged) and, as a whole team, with a
// scripted game.
#include <gtest/gtest.h>

#include <Eigen/Core>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "core/const.h"
#include "support/AgentProcess.h"
#include "support/AgentReply.h"
#include "support/FakeServer.h"
#include "support/Fixtures.h"
#include "support/MessageCorruptor.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test::AgentReply;
using test::ParseAgentReply;

constexpr milliseconds WAIT{5000};
constexpr double PI = 3.141592653589793;

// "%f" as the effector writes it.
std::string Fixed(double value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%f", value);
  return text;
}

std::string BeamText(double x, double y) {
  return "(beam " + Fixed(x) + " " + Fixed(y) + " " + Fixed(0.0) + ")";
}

// Kick-off positions of uniform numbers 1 to 11 (team frame, metres).
const double KICK_OFF_POSITIONS[MAX_TEAM_AGENT_NUM][2] = {
    {-14.5, 0.0}, {-12.5, 0.5}, {-11.0, -2.5}, {-10.0, 2.0}, {-7.5, -1.0}, {-7.0, 4.0},
    {-5.0, 0.5},  {-2.0, -2.0}, {-1.0, 0.0},   {-2.5, 3.0},  {-4.0, -1.5}};

// --- Recorded captures, intact and damaged --------------------------------------------------

struct CaptureCase {
  std::string name;
  std::string capture;  // under perception/
  std::vector<std::string> options;
  bool syn;
  unsigned seed;  // 0: replayed as recorded; otherwise the corruption seed
};

void PrintTo(const CaptureCase& c, std::ostream* os) { *os << c.name; }

class AgentZAMPCaptureTest : public ::testing::TestWithParam<CaptureCase> {
 protected:
  test::FakeServer server_;
};

TEST_P(AgentZAMPCaptureTest, AnswersEveryMessageWellFormedAndExitsCleanly) {
  const CaptureCase& c = GetParam();
  const std::vector<std::string> lines = test::ReadFixtureLines("perception/" + c.capture);
  ASSERT_GT(lines.size(), 100u);
  test::MessageCorruptor corruptor(c.seed);
  const auto feed = [&](const std::string& line) {
    return c.seed == 0 ? line : corruptor.Corrupt(line);
  };

  std::vector<std::string> options = c.options;
  options.push_back("--port=" + std::to_string(server_.Port()));
  test::ChildProcess agent = test::StartAgent("zamp_agent", options);
  std::unique_ptr<test::FakeConnection> link = server_.Accept(WAIT);
  ASSERT_TRUE(link);
  ASSERT_TRUE(link->ReceiveFrame(WAIT).has_value()) << "no scene message";
  ASSERT_TRUE(link->SendFrame(feed(lines[0])));
  const std::optional<std::string> init = link->ReceiveFrame(WAIT);
  ASSERT_TRUE(init.has_value()) << "no init message";
  EXPECT_EQ(init->rfind("(init (unum ", 0), 0u) << *init;

  std::string failure;
  std::size_t i = 1;
  for (; i < lines.size() && failure.empty(); ++i) {
    const std::string sent = feed(lines[i]);
    if (!link->SendFrame(sent)) {
      failure = "could not send";
      break;
    }
    const std::optional<std::string> answer = link->ReceiveFrame(WAIT);
    if (!answer) {
      failure = "no answer";
      break;
    }
    const AgentReply reply = ParseAgentReply(*answer);
    if (!reply.well_formed || !reply.all_finite || reply.syn != c.syn) {
      failure = "bad answer: " + *answer;
    }
  }
  if (!failure.empty()) {
    agent.Wait(seconds(2));
    FAIL() << "message " << i << ": " << failure << "\nexit " << agent.ExitStatus() << ", signal "
           << agent.TermSignal() << "\nstderr: " << agent.Err();
  }

  link->Close();
  ASSERT_TRUE(agent.Wait(seconds(10)));
  EXPECT_EQ(agent.ExitStatus(), 0) << agent.Err();
}

std::vector<CaptureCase> CaptureCases() {
  struct Recorded {
    const char* name;
    const char* capture;
    const char* team;  // the recording player's team
    std::vector<std::string> options;
    bool syn;
  };
  const Recorded recorded[] = {
      {"BeforeKickOff", "before_kickoff_type0.txt", "Alpha", {}, false},
      {"GroundTruthSync", "ground_truth_sync_type0.txt", "Alpha", {"--syn=1"}, true},
      {"ThreePlayersLeft", "three_players_left_unum1.txt", "Alpha", {}, false},
      {"ThreePlayersRight", "three_players_right_unum1.txt", "Beta", {}, false},
      {"ToesType4", "toes_type4.txt", "Alpha", {"--type=4"}, false}};
  // Damaged, each session is played by every strategy the agent can choose.
  const std::vector<std::vector<std::string>> roles = {{"--unum=1"},
                                                       {"--unum=6"},
                                                       {"--mode=dropin", "--unum=3"},
                                                       {"--mode=kick"},
                                                       {"--mode=kicker", "--unum=9"}};

  std::vector<CaptureCase> cases;
  for (const Recorded& r : recorded) {
    std::vector<std::string> options = r.options;
    options.push_back(std::string("--team=") + r.team);
    options.push_back("--unum=1");
    cases.push_back({r.name, r.capture, options, r.syn, 0});
  }
  unsigned seed = 1;
  for (const Recorded& r : recorded) {
    for (const std::vector<std::string>& role : roles) {
      std::vector<std::string> options = r.options;
      options.push_back(std::string("--team=") + r.team);
      options.insert(options.end(), role.begin(), role.end());
      cases.push_back({std::string(r.name) + "DamagedSeed" + std::to_string(seed), r.capture,
                       options, r.syn, seed});
      ++seed;
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Captures, AgentZAMPCaptureTest, ::testing::ValuesIn(CaptureCases()),
                         [](const ::testing::TestParamInfo<CaptureCase>& param_info) {
                           return param_info.param.name;
                         });

// --- A whole team against the fake server -----------------------------------------------------

// One player of a scripted game: its process, its link and what the server thread saw.
struct Player {
  std::string team;
  std::string side;  // "left" or "right"
  int unum;
  AgentTypeID type;
  std::unique_ptr<test::ChildProcess> process;
  std::unique_ptr<test::FakeConnection> link;
  std::vector<std::string> failures;
  int beams = 0;  // cycle messages that carried a beam
};

// Plays before_kick_off cycles of BeforeKickOff and then play_on cycles of PlayOn with one
// player, in lock step: every perception waits for the answer to the previous one. The
// joints follow the commanded speeds, so walking and stand-ups see their own effect.
void PlayGame(Player& player, int before_kick_off, int play_on) {
  const bool toes = player.type == AGENT_TYPE_TOENAIL;
  std::array<double, HINGE_JOINT_NUM> degrees{};
  const double* position = KICK_OFF_POSITIONS[player.unum - 1];
  for (int cycle = 0; cycle < before_kick_off + play_on; ++cycle) {
    const bool playing = cycle >= before_kick_off;
    const double now = 10.0 + cycle * UPDATE_INTERVAL_TIME;
    const double game_time = playing ? (cycle - before_kick_off) * UPDATE_INTERVAL_TIME : 0.0;
    const char* mode = playing ? "PlayOn" : "BeforeKickOff";
    test::PerceptionText text;
    text.Time(now);
    if (cycle == 0) {
      text.GameStateWithTeam(player.unum, player.side, game_time, mode);
    } else {
      text.GameState(game_time, mode);
    }
    text.Gyro(Eigen::Vector3d::Zero())
        .Accelerometer(Eigen::Vector3d(0.0, 0.0, 9.81))
        .Joints(degrees, toes)
        .ForceResistance(FORCE_RESISTANCE_RIGHT, Eigen::Vector3d(0.0, 0.0, -0.01),
                         Eigen::Vector3d(0.0, 0.0, 22.0))
        .ForceResistance(FORCE_RESISTANCE_LEFT, Eigen::Vector3d(0.0, 0.0, -0.01),
                         Eigen::Vector3d(0.0, 0.0, 22.0));
    if (cycle % 3 == 0) {
      // The ball on the centre spot, seen from the kick-off position.
      const double dx = -position[0];
      const double dy = -position[1];
      const double distance = std::hypot(dx, dy);
      text.Ball(
          {distance, std::atan2(dy, dx) * 180.0 / PI, -std::atan2(0.5, distance) * 180.0 / PI});
    }
    if (!player.link->SendFrame(text.Str())) {
      player.failures.push_back("cycle " + std::to_string(cycle) + ": could not send");
      return;
    }
    const std::optional<std::string> answer = player.link->ReceiveFrame(WAIT);
    if (!answer) {
      player.failures.push_back("cycle " + std::to_string(cycle) + ": no answer");
      return;
    }
    const AgentReply reply = ParseAgentReply(*answer);
    if (!reply.well_formed || !reply.all_finite) {
      player.failures.push_back("cycle " + std::to_string(cycle) + ": " + *answer);
      return;
    }
    if (reply.beam) {
      ++player.beams;
      if (reply.beam_pose != std::vector<double>{position[0], position[1], 0.0}) {
        player.failures.push_back("cycle " + std::to_string(cycle) + ": beam " + *answer);
      }
      if (cycle >= 11) player.failures.push_back("beam in cycle " + std::to_string(cycle));
    }
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      degrees[j] = std::max(-120.0, std::min(120.0, degrees[j] + reply.speeds[j] * 180.0 / PI *
                                                                     UPDATE_INTERVAL_TIME));
    }
  }
}

class AgentZAMPTeamTest : public ::testing::Test {
 protected:
  // Starts one player and checks its start-up: the scene for its robot type, then, after
  // the first perception, the init with its beam to its kick-off position.
  void Join(Player& player) {
    player.process = std::make_unique<test::ChildProcess>(test::StartAgent(
        "zamp_agent",
        {"--host=127.0.0.1", "--port=" + std::to_string(server_.Port()), "--team=" + player.team,
         "--unum=" + std::to_string(player.unum), "--type=" + std::to_string(player.type)}));
    player.link = server_.Accept(WAIT);
    ASSERT_TRUE(player.link) << player.team << " " << player.unum;
    EXPECT_EQ(player.link->ReceiveFrame(WAIT).value_or("<none>"),
              "(scene rsg/agent/nao/nao_hetero.rsg " + std::to_string(player.type) + ")");
    ASSERT_TRUE(player.link->SendFrame(
        test::PerceptionText().Time(10.0).GameState(0.0, "BeforeKickOff").Str()));
    const double* position = KICK_OFF_POSITIONS[player.unum - 1];
    EXPECT_EQ(player.link->ReceiveFrame(WAIT).value_or("<none>"),
              "(init (unum " + std::to_string(player.unum) + ")(teamname " + player.team + "))" +
                  BeamText(position[0], position[1]));
  }

  test::FakeServer server_;
};

TEST_F(AgentZAMPTeamTest, TwoTeamsOfElevenBeamPlayAndLeaveWhenTheServerCloses) {
  // Robot types as a team that gets up reliably would choose: at most seven of one type.
  const AgentTypeID types[MAX_TEAM_AGENT_NUM] = {AGENT_TYPE_STANDARD,
                                                 AGENT_TYPE_STANDARD,
                                                 AGENT_TYPE_STANDARD,
                                                 AGENT_TYPE_STANDARD,
                                                 AGENT_TYPE_STANDARD,
                                                 AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL,
                                                 AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL,
                                                 AGENT_TYPE_TOENAIL,
                                                 AGENT_TYPE_TOENAIL,
                                                 AGENT_TYPE_TOENAIL,
                                                 AGENT_TYPE_TOENAIL};
  std::vector<Player> players;
  for (const char* team : {"Alpha", "Beta"}) {
    for (int unum = 1; unum <= MAX_TEAM_AGENT_NUM; ++unum) {
      Player player;
      player.team = team;
      player.side = (player.team == "Alpha") ? "left" : "right";
      player.unum = unum;
      player.type = types[unum - 1];
      players.push_back(std::move(player));
    }
  }
  for (Player& player : players) {
    Join(player);
    if (HasFatalFailure()) return;
  }

  std::vector<std::thread> threads;
  for (Player& player : players) threads.emplace_back(PlayGame, std::ref(player), 100, 200);
  for (std::thread& thread : threads) thread.join();

  for (Player& player : players) {
    const std::string who = player.team + " " + std::to_string(player.unum);
    for (const std::string& failure : player.failures) ADD_FAILURE() << who << ": " << failure;
    EXPECT_EQ(player.beams, 11) << who;
    player.link->Close();
  }
  for (Player& player : players) {
    const std::string who = player.team + " " + std::to_string(player.unum);
    ASSERT_TRUE(player.process->Wait(seconds(10))) << who;
    EXPECT_EQ(player.process->ExitStatus(), 0) << who << "\n" << player.process->Err();
    EXPECT_NE(player.process->Out().find("closed connection"), std::string::npos) << who;
  }
}

}  // namespace
}  // namespace zamp
