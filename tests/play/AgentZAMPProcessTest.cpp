// The match agent as a process: the real zamp_agent executable against the loopback fake
// server, fed with recorded server traffic (intact and damaged) and, as two whole teams,
// with a scripted game in which the server passes the say messages on.
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
  const std::vector<std::vector<std::string>> roles = {
      {"--unum=1"}, {"--unum=6"}, {"--mode=dropin", "--unum=3"}, {"--mode=kick"},
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

// --- Two teams against the fake server --------------------------------------------------------

// One player of the scripted game: its process and link, the joints the server simulates
// for it, and what the server saw of it.
struct Player {
  std::string team;
  std::string side;  // "left" or "right"
  int unum;
  AgentTypeID type;
  std::unique_ptr<test::ChildProcess> process;
  std::unique_ptr<test::FakeConnection> link;
  std::array<double, HINGE_JOINT_NUM> degrees{};  // degrees, follow the commanded speeds
  std::string said;                               // say text of the last cycle
  std::vector<std::string> failures;
  int beams = 0;  // cycle messages that carried a beam
  int says = 0;   // cycle messages that carried a say text
  bool out = false;
};

// The perception of one player in one cycle: game state, inertial and foot sensors, the
// simulated joints, every third cycle the ball on the centre spot as seen from the kick-off
// position, and what was said in the previous cycle as the server passes it on: a player
// hears its own message, else one team mate's, and one opponent's.
std::string Perception(const Player& player, const std::vector<Player>& players, int cycle,
                       int before_kick_off) {
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
      .Joints(player.degrees, player.type == AGENT_TYPE_TOENAIL)
      .ForceResistance(FORCE_RESISTANCE_RIGHT, Eigen::Vector3d(0.0, 0.0, -0.01),
                       Eigen::Vector3d(0.0, 0.0, 22.0))
      .ForceResistance(FORCE_RESISTANCE_LEFT, Eigen::Vector3d(0.0, 0.0, -0.01),
                       Eigen::Vector3d(0.0, 0.0, 22.0));

  const Player* mate = nullptr;
  const Player* opponent = nullptr;
  const std::size_t count = players.size();
  for (std::size_t k = 0; k < count; ++k) {
    const Player& speaker = players[(cycle + k) % count];
    if (speaker.said.empty() || &speaker == &player) continue;
    if (speaker.team == player.team && mate == nullptr) mate = &speaker;
    if (speaker.team != player.team && opponent == nullptr) opponent = &speaker;
  }
  const double heard_at = game_time;
  if (!player.said.empty()) {
    text.HearSelf(player.team, heard_at, player.said);
  } else if (mate != nullptr) {
    text.Hear(player.team, heard_at, 30.0, mate->said);
  }
  if (opponent != nullptr) text.Hear(opponent->team, heard_at, -30.0, opponent->said);

  if (cycle % 3 == 0) {
    const double* position = KICK_OFF_POSITIONS[player.unum - 1];
    const double distance = std::hypot(position[0], position[1]);
    text.Ball({distance, std::atan2(-position[1], -position[0]) * 180.0 / PI,
               -std::atan2(0.5, distance) * 180.0 / PI});
  }
  return text.Str();
}

// Checks one answer and lets the joints follow it.
void TakeAnswer(Player& player, int cycle, const std::optional<std::string>& answer) {
  const std::string when = "cycle " + std::to_string(cycle) + ": ";
  if (!answer) {
    player.failures.push_back(when + "no answer");
    player.out = true;
    return;
  }
  const AgentReply reply = ParseAgentReply(*answer);
  if (!reply.well_formed || !reply.all_finite) {
    player.failures.push_back(when + *answer);
    player.out = true;
    return;
  }
  if (reply.beam) {
    ++player.beams;
    const double* position = KICK_OFF_POSITIONS[player.unum - 1];
    if (reply.beam_pose != std::vector<double>{position[0], position[1], 0.0}) {
      player.failures.push_back(when + "beam " + *answer);
    }
  }
  player.said = reply.say;
  if (!reply.say.empty()) ++player.says;
  if (reply.say.size() > static_cast<std::size_t>(MAX_SAY_MESSAGE_BYTE)) {
    player.failures.push_back(when + "say text too long: " + reply.say);
  }
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    const double moved = player.degrees[j] + reply.speeds[j] * 180.0 / PI * UPDATE_INTERVAL_TIME;
    player.degrees[j] = std::max(-120.0, std::min(120.0, moved));
  }
}

class AgentZAMPTeamTest : public ::testing::Test {
 protected:
  // Starts one player and checks its start-up: the scene for its robot type, then, after
  // the first perception, the init with its beam to its kick-off position.
  void Join(Player& player) {
    player.process = std::make_unique<test::ChildProcess>(test::StartAgent(
        "zamp_agent", {"--host=127.0.0.1", "--port=" + std::to_string(server_.Port()),
                       "--team=" + player.team, "--unum=" + std::to_string(player.unum),
                       "--type=" + std::to_string(player.type), "--mode=game"}));
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
  // A team that gets up and walks reliably: types 0, 2 and 4, at most seven of one type.
  const AgentTypeID T0 = AGENT_TYPE_STANDARD, T2 = AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL;
  const AgentTypeID T4 = AGENT_TYPE_TOENAIL;
  const AgentTypeID types[MAX_TEAM_AGENT_NUM] = {T0, T0, T0, T0, T0, T2, T2, T4, T4, T4, T4};
  std::vector<Player> players(2 * MAX_TEAM_AGENT_NUM);
  for (std::size_t i = 0; i < players.size(); ++i) {
    const bool left = i < static_cast<std::size_t>(MAX_TEAM_AGENT_NUM);
    players[i].team = left ? "Alpha" : "Beta";
    players[i].side = left ? "left" : "right";
    players[i].unum = static_cast<int>(i % MAX_TEAM_AGENT_NUM) + 1;
    players[i].type = types[players[i].unum - 1];
    Join(players[i]);
    if (HasFatalFailure()) return;
  }

  // Lock step, as the server runs: every player gets its perception, then every answer is
  // collected; the processes think in parallel.
  const int before_kick_off = 100;
  const int play_on = 500;
  for (int cycle = 0; cycle < before_kick_off + play_on; ++cycle) {
    std::vector<std::string> perceptions;
    for (const Player& player : players) {
      perceptions.push_back(Perception(player, players, cycle, before_kick_off));
    }
    for (std::size_t i = 0; i < players.size(); ++i) {
      if (!players[i].out && !players[i].link->SendFrame(perceptions[i])) {
        players[i].failures.push_back("cycle " + std::to_string(cycle) + ": could not send");
        players[i].out = true;
      }
    }
    for (Player& player : players) {
      if (!player.out) TakeAnswer(player, cycle, player.link->ReceiveFrame(WAIT));
    }
  }

  for (Player& player : players) player.link->Close();
  for (Player& player : players) {
    const std::string who = player.team + " " + std::to_string(player.unum);
    for (const std::string& failure : player.failures) ADD_FAILURE() << who << ": " << failure;
    EXPECT_EQ(player.beams, 11) << who << " beams once per opportunity, for 11 cycles";
    EXPECT_GT(player.says, 0) << who << " never spoke";
    ASSERT_TRUE(player.process->Wait(seconds(10))) << who;
    EXPECT_EQ(player.process->ExitStatus(), 0) << who << "\n" << player.process->Err();
    EXPECT_NE(player.process->Out().find("closed connection"), std::string::npos) << who;
  }
}

}  // namespace
}  // namespace zamp
