#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/WorldState.h"
#include "support/Fixtures.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace {

using test::PerceptionText;
using test::ReadFixtureLines;

// Fresh shared instances for every test, updated in the agent's order.
class WorldStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Singleton<Parser>::ResetForTest();
    Singleton<RawStorage>::ResetForTest();
    Singleton<WorldState>::ResetForTest();
    Singleton<Parser>::Create();
    Singleton<RawStorage>::Create();
    Singleton<WorldState>::Create();
    Singleton<WorldState>::GetInstance()->SetTeamName("Alpha");
  }

  void TearDown() override {
    delete Singleton<Parser>::GetInstance();
    delete Singleton<RawStorage>::GetInstance();
    delete Singleton<WorldState>::GetInstance();
    Singleton<Parser>::ResetForTest();
    Singleton<RawStorage>::ResetForTest();
    Singleton<WorldState>::ResetForTest();
  }

  void Feed(const std::string& text) {
    Singleton<Parser>::GetInstance()->Update(text);
    Singleton<RawStorage>::GetInstance()->Update();
    Singleton<WorldState>::GetInstance()->Update();
  }

  const WorldState& world() const { return *Singleton<WorldState>::GetInstance(); }
};

TEST_F(WorldStateTest, KnowsNothingBeforeTheFirstUpdate) {
  EXPECT_EQ(world().GetPlayMode(), PM_UNKNOWN);
  EXPECT_EQ(world().GetKickMode(), KM_NO_KICK_MODE);
  EXPECT_EQ(world().GetSide(), SIDE_UNKNOWN);
  EXPECT_FALSE(world().CanBallTouch());
  EXPECT_FALSE(world().CanBeam());
  EXPECT_FALSE(world().CanKickOffShoot());
  EXPECT_EQ(world().GetTeamName(), "Alpha");
}

struct PlayModeCase {
  const char* side;
  const char* play_mode;
  int play_mode_id;
  KickModeID kick_mode;
  bool can_ball_touch;
  bool can_beam;
  bool can_kick_off_shoot;
  bool can_kick_play;
};

void PrintTo(const PlayModeCase& c, std::ostream* os) {
  *os << c.side << " \"" << c.play_mode << '"';
}

class WorldStatePlayModeTest : public WorldStateTest,
                               public ::testing::WithParamInterface<PlayModeCase> {};

TEST_P(WorldStatePlayModeTest, DerivesTheSetPlayOfTheOwnTeam) {
  const PlayModeCase& c = GetParam();
  Feed(PerceptionText().Time(10.0).GameStateWithTeam(1, c.side, 3.0, c.play_mode).Str());
  EXPECT_EQ(world().GetPlayMode(), c.play_mode_id);
  EXPECT_EQ(world().GetKickMode(), c.kick_mode);
  EXPECT_EQ(world().CanBallTouch(), c.can_ball_touch);
  EXPECT_EQ(world().CanBeam(), c.can_beam);
  EXPECT_EQ(world().CanKickOffShoot(), c.can_kick_off_shoot);
  EXPECT_EQ(world().CanKickPlay(), c.can_kick_play);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(PlayModes, WorldStatePlayModeTest, ::testing::Values(
    //          side     play mode            bit    kick mode             touch  beam   k.off  k.play
    PlayModeCase{"left",  "BeforeKickOff",     1,     KM_NO_KICK_MODE,      false, true,  false, false},
    PlayModeCase{"left",  "KickOff_Left",      2,     KM_KICK_OFF_US,       true,  false, true,  true},
    PlayModeCase{"left",  "KickOff_Right",     4,     KM_KICK_OFF_ENEMY,    false, false, false, false},
    PlayModeCase{"left",  "PlayOn",            8,     KM_NO_KICK_MODE,      false, false, false, false},
    PlayModeCase{"left",  "KickIn_Left",       16,    KM_KICK_IN_US,        true,  false, false, true},
    PlayModeCase{"left",  "KickIn_Right",      32,    KM_KICK_IN_ENEMY,     false, false, false, false},
    PlayModeCase{"left",  "corner_kick_left",  64,    KM_CORNER_KICK_US,    true,  false, false, true},
    PlayModeCase{"left",  "corner_kick_right", 128,   KM_CORNER_KICK_ENEMY, false, false, false, false},
    PlayModeCase{"left",  "goal_kick_left",    256,   KM_GOAL_KICK_US,      true,  false, false, true},
    PlayModeCase{"left",  "goal_kick_right",   512,   KM_GOAL_KICK_ENEMY,   false, false, false, false},
    PlayModeCase{"left",  "free_kick_left",    1024,  KM_FREE_KICK_US,      true,  false, false, true},
    PlayModeCase{"left",  "free_kick_right",   2048,  KM_FREE_KICK_ENEMY,   false, false, false, false},
    PlayModeCase{"left",  "Goal_Left",         4096,  KM_GOAL_US,           false, true,  false, false},
    PlayModeCase{"left",  "Goal_Right",        8192,  KM_GOAL_ENEMY,        false, true,  false, false},
    PlayModeCase{"left",  "GameOver",          16384, KM_NO_KICK_MODE,      false, false, false, false},
    PlayModeCase{"right", "BeforeKickOff",     1,     KM_NO_KICK_MODE,      false, true,  false, false},
    PlayModeCase{"right", "KickOff_Left",      2,     KM_KICK_OFF_ENEMY,    false, false, false, false},
    PlayModeCase{"right", "KickOff_Right",     4,     KM_KICK_OFF_US,       true,  false, true,  true},
    PlayModeCase{"right", "PlayOn",            8,     KM_NO_KICK_MODE,      false, false, false, false},
    PlayModeCase{"right", "KickIn_Left",       16,    KM_KICK_IN_ENEMY,     false, false, false, false},
    PlayModeCase{"right", "KickIn_Right",      32,    KM_KICK_IN_US,        true,  false, false, true},
    PlayModeCase{"right", "corner_kick_left",  64,    KM_CORNER_KICK_ENEMY, false, false, false, false},
    PlayModeCase{"right", "corner_kick_right", 128,   KM_CORNER_KICK_US,    true,  false, false, true},
    PlayModeCase{"right", "goal_kick_left",    256,   KM_GOAL_KICK_ENEMY,   false, false, false, false},
    PlayModeCase{"right", "goal_kick_right",   512,   KM_GOAL_KICK_US,      true,  false, false, true},
    PlayModeCase{"right", "free_kick_left",    1024,  KM_FREE_KICK_ENEMY,   false, false, false, false},
    PlayModeCase{"right", "free_kick_right",   2048,  KM_FREE_KICK_US,      true,  false, false, true},
    PlayModeCase{"right", "Goal_Left",         4096,  KM_GOAL_ENEMY,        false, true,  false, false},
    PlayModeCase{"right", "Goal_Right",        8192,  KM_GOAL_US,           false, true,  false, false},
    PlayModeCase{"right", "GameOver",          16384, KM_NO_KICK_MODE,      false, false, false, false},
    // A name outside the table is no play mode at all; above all not our kick-off, which a
    // default-inserted 0 would mean.
    PlayModeCase{"left",  "playon",            0,     KM_NO_KICK_MODE,      false, false, false, false},
    PlayModeCase{"right", "Kickoff_Right",     0,     KM_NO_KICK_MODE,      false, false, false, false},
    PlayModeCase{"left",  "",                  0,     KM_NO_KICK_MODE,      false, false, false, false},
    PlayModeCase{"right", "",                  0,     KM_NO_KICK_MODE,      false, false, false, false}));
// clang-format on

TEST_F(WorldStateTest, UnknownPlayModeLeavesTheTablesAsTheyWere) {
  Feed(PerceptionText().GameStateWithTeam(1, "left", 0.0, "SomethingNew").Str());
  Feed(PerceptionText().GameState(0.0, "KickOff_Left").Str());
  EXPECT_EQ(world().GetKickMode(), KM_KICK_OFF_US);
  Feed(PerceptionText().GameState(0.0, "SomethingNew").Str());
  EXPECT_EQ(world().GetPlayMode(), 0);
  EXPECT_EQ(world().GetKickMode(), KM_NO_KICK_MODE);
  EXPECT_FALSE(world().CanKickOffShoot());
}

TEST_F(WorldStateTest, SideFollowsTheLastSideWordReceived) {
  Feed(PerceptionText().GameState(0.0, "BeforeKickOff").Str());
  EXPECT_EQ(world().GetSide(), SIDE_RIGHT);
  Feed(PerceptionText().GameStateWithTeam(1, "left", 0.0, "BeforeKickOff").Str());
  EXPECT_EQ(world().GetSide(), SIDE_LEFT);
  Feed(PerceptionText().GameState(0.0, "BeforeKickOff").Str());
  EXPECT_EQ(world().GetSide(), SIDE_LEFT);
  Feed(PerceptionText().GameStateWithTeam(1, "Left", 0.0, "BeforeKickOff").Str());
  EXPECT_EQ(world().GetSide(), SIDE_RIGHT);
}

TEST_F(WorldStateTest, ScoresAreInOwnThenOpponentOrder) {
  Feed(PerceptionText().GameStateWithTeam(1, "left", 0.0, "PlayOn", 2, 1).Str());
  EXPECT_EQ(world().GetUsScore(), 2);
  EXPECT_EQ(world().GetEnemyScore(), 1);
  Feed(PerceptionText().GameStateWithTeam(1, "right", 0.0, "PlayOn", 2, 1).Str());
  EXPECT_EQ(world().GetUsScore(), 1);
  EXPECT_EQ(world().GetEnemyScore(), 2);
}

struct CycleCase {
  double server_time;
  int server_cycle;
};

void PrintTo(const CycleCase& c, std::ostream* os) { *os << c.server_time; }

class WorldStateCycleTest : public WorldStateTest,
                            public ::testing::WithParamInterface<CycleCase> {};

TEST_P(WorldStateCycleTest, CountsServerCycles) {
  Feed(PerceptionText().Time(GetParam().server_time).Str());
  EXPECT_EQ(world().GetServerTime(), GetParam().server_time);
  EXPECT_EQ(world().GetServerCycle(), GetParam().server_cycle);
}

INSTANTIATE_TEST_SUITE_P(ServerTimes, WorldStateCycleTest,
                         ::testing::Values(CycleCase{12.34, 617}, CycleCase{0.019999, 1},
                                           CycleCase{0.0, 0}, CycleCase{3.58, 179},
                                           CycleCase{2607.14, 130357}, CycleCase{-0.5, -24},
                                           // Times no int can count saturate.
                                           CycleCase{1e300, INT_MAX}, CycleCase{-1e300, INT_MIN}));

TEST_F(WorldStateTest, AgentTimeCountsFromTheFirstPerception) {
  Feed(PerceptionText().Time(5.0).GameState(1.5, "PlayOn").Str());
  EXPECT_DOUBLE_EQ(world().GetAgentTime(), 5.0);
  EXPECT_DOUBLE_EQ(world().GetGameTime(), 1.5);
  Feed(PerceptionText().Time(5.02).GameState(1.52, "PlayOn").Str());
  EXPECT_NEAR(world().GetAgentTime(), 0.02, 1e-12);
  EXPECT_DOUBLE_EQ(world().GetGameTime(), 1.52);
  Feed(PerceptionText().Time(6.0).GameState(2.5, "PlayOn").Str());
  EXPECT_NEAR(world().GetAgentTime(), 1.0, 1e-12);
}

// The words of "(key ...)" in a raw message, read without the parser.
std::string Value(const std::string& text, const std::string& key) {
  const size_t at = text.find("(" + key + " ");
  if (at == std::string::npos) return "";
  const size_t begin = at + key.size() + 2;
  return text.substr(begin, text.find(')', begin) - begin);
}

struct CaptureCase {
  const char* file;
  const char* team;
  SideID side;
  int first_play_on;  // the message (counted from 1) in which PlayOn starts
};

void PrintTo(const CaptureCase& c, std::ostream* os) { *os << c.file; }

class WorldStateCaptureTest : public WorldStateTest,
                              public ::testing::WithParamInterface<CaptureCase> {};

TEST_P(WorldStateCaptureTest, FollowsTheGameThroughTheWholeCapture) {
  const CaptureCase& c = GetParam();
  Singleton<WorldState>::GetInstance()->SetTeamName(c.team);
  const std::vector<std::string> lines = ReadFixtureLines(std::string("perception/") + c.file);
  ASSERT_EQ(lines.size(), 601u);
  const double first_time = std::stod(Value(lines[0], "time (now"));
  int first_play_on = 0;
  bool side_announced = false;
  for (size_t n = 0; n < lines.size() && !HasFailure(); ++n) {
    SCOPED_TRACE("message " + std::to_string(n + 1));
    Feed(lines[n]);
    // The side word comes in the third message only; before it the side reads as right.
    side_announced = side_announced || !Value(lines[n], "team").empty();
    EXPECT_EQ(world().GetSide(), side_announced ? c.side : SIDE_RIGHT);

    const bool play_on = world().GetPlayMode() == PM_PLAY_ON;
    if (play_on && first_play_on == 0) first_play_on = static_cast<int>(n + 1);
    EXPECT_EQ(world().GetPlayMode(), first_play_on == 0 ? PM_BEFORE_KICK_OFF : PM_PLAY_ON);
    EXPECT_EQ(world().GetKickMode(), KM_NO_KICK_MODE);
    EXPECT_EQ(world().CanBeam(), !play_on);
    EXPECT_FALSE(world().CanBallTouch());
    EXPECT_FALSE(world().CanKickOffShoot());
    EXPECT_FALSE(world().CanKickPlay());

    const double now = std::stod(Value(lines[n], "time (now"));
    EXPECT_EQ(world().GetServerTime(), now);
    EXPECT_EQ(world().GetServerCycle(), static_cast<int>(now / 0.02 + 0.1));
    EXPECT_EQ(world().GetGameTime(), std::stod(Value(lines[n], "t")));
    EXPECT_NEAR(world().GetAgentTime(), n == 0 ? now : now - first_time, 1e-9);
    EXPECT_EQ(world().GetUsScore(), 0);
    EXPECT_EQ(world().GetEnemyScore(), 0);
  }
  EXPECT_EQ(first_play_on, c.first_play_on);
}

INSTANTIATE_TEST_SUITE_P(
    Captures, WorldStateCaptureTest,
    ::testing::Values(CaptureCase{"three_players_left_unum1.txt", "Alpha", SIDE_LEFT, 269},
                      CaptureCase{"three_players_right_unum1.txt", "Beta", SIDE_RIGHT, 233}));

}  // namespace
}  // namespace zamp
