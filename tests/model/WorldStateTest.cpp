#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "model/WorldState.h"
#include "support/Fixtures.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace {

using test::PerceptionText;

// Fresh shared instances for every test, updated in the agent's order; the own team is
// "Alpha".
class WorldStateTest : public ::testing::Test {
 protected:
  void Feed(const std::string& text) { cycle_.Perceive(text); }
  const WorldState& world() const { return cycle_.world(); }

  test::ModelCycle cycle_{"Alpha", 1};
};

TEST_F(WorldStateTest, DerivesTheSetPlayOfTheOwnTeamFromThePlayMode) {
  const struct {
    const char* side;
    const char* play_mode;
    int play_mode_id;
    KickModeID kick_mode;
    bool can_ball_touch, can_beam, can_kick_off_shoot, can_kick_play;
  } cases[] = {
      // clang-format off
      // side    play mode            bit    kick mode             touch  beam   k.off  k.play
      {"left",  "BeforeKickOff",     1,     KM_NO_KICK_MODE,      false, true,  false, false},
      {"left",  "KickOff_Left",      2,     KM_KICK_OFF_US,       true,  false, true,  true},
      {"left",  "KickOff_Right",     4,     KM_KICK_OFF_ENEMY,    false, false, false, false},
      {"left",  "PlayOn",            8,     KM_NO_KICK_MODE,      false, false, false, false},
      {"left",  "KickIn_Left",       16,    KM_KICK_IN_US,        true,  false, false, true},
      {"left",  "KickIn_Right",      32,    KM_KICK_IN_ENEMY,     false, false, false, false},
      {"left",  "corner_kick_left",  64,    KM_CORNER_KICK_US,    true,  false, false, true},
      {"left",  "corner_kick_right", 128,   KM_CORNER_KICK_ENEMY, false, false, false, false},
      {"left",  "goal_kick_left",    256,   KM_GOAL_KICK_US,      true,  false, false, true},
      {"left",  "goal_kick_right",   512,   KM_GOAL_KICK_ENEMY,   false, false, false, false},
      {"left",  "free_kick_left",    1024,  KM_FREE_KICK_US,      true,  false, false, true},
      {"left",  "free_kick_right",   2048,  KM_FREE_KICK_ENEMY,   false, false, false, false},
      {"left",  "Goal_Left",         4096,  KM_GOAL_US,           false, true,  false, false},
      {"left",  "Goal_Right",        8192,  KM_GOAL_ENEMY,        false, true,  false, false},
      {"left",  "GameOver",          16384, KM_NO_KICK_MODE,      false, false, false, false},
      {"right", "BeforeKickOff",     1,     KM_NO_KICK_MODE,      false, true,  false, false},
      {"right", "KickOff_Left",      2,     KM_KICK_OFF_ENEMY,    false, false, false, false},
      {"right", "KickOff_Right",     4,     KM_KICK_OFF_US,       true,  false, true,  true},
      {"right", "PlayOn",            8,     KM_NO_KICK_MODE,      false, false, false, false},
      {"right", "KickIn_Left",       16,    KM_KICK_IN_ENEMY,     false, false, false, false},
      {"right", "KickIn_Right",      32,    KM_KICK_IN_US,        true,  false, false, true},
      {"right", "corner_kick_left",  64,    KM_CORNER_KICK_ENEMY, false, false, false, false},
      {"right", "corner_kick_right", 128,   KM_CORNER_KICK_US,    true,  false, false, true},
      {"right", "goal_kick_left",    256,   KM_GOAL_KICK_ENEMY,   false, false, false, false},
      {"right", "goal_kick_right",   512,   KM_GOAL_KICK_US,      true,  false, false, true},
      {"right", "free_kick_left",    1024,  KM_FREE_KICK_ENEMY,   false, false, false, false},
      {"right", "free_kick_right",   2048,  KM_FREE_KICK_US,      true,  false, false, true},
      {"right", "Goal_Left",         4096,  KM_GOAL_ENEMY,        false, true,  false, false},
      {"right", "Goal_Right",        8192,  KM_GOAL_US,           false, true,  false, false},
      {"right", "GameOver",          16384, KM_NO_KICK_MODE,      false, false, false, false},
      // A name outside the table is no play mode at all; above all not our kick-off, which a
      // default-inserted 0 would mean.
      {"left",  "playon",            0,     KM_NO_KICK_MODE,      false, false, false, false},
      {"right", "Kickoff_Right",     0,     KM_NO_KICK_MODE,      false, false, false, false},
      {"left",  "",                  0,     KM_NO_KICK_MODE,      false, false, false, false},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.side) + " " + c.play_mode);
    Feed(PerceptionText().Time(10.0).GameStateWithTeam(1, c.side, 3.0, c.play_mode).Str());
    EXPECT_EQ(world().GetPlayMode(), c.play_mode_id);
    EXPECT_EQ(world().GetKickMode(), c.kick_mode);
    EXPECT_EQ(world().CanBallTouch(), c.can_ball_touch);
    EXPECT_EQ(world().CanBeam(), c.can_beam);
    EXPECT_EQ(world().CanKickOffShoot(), c.can_kick_off_shoot);
    EXPECT_EQ(world().CanKickPlay(), c.can_kick_play);
  }
}

TEST_F(WorldStateTest, UnknownPlayModeAfterAKickOffLeavesNoKickMode) {
  Feed(PerceptionText().GameStateWithTeam(1, "left", 0.0, "KickOff_Left").Str());
  ASSERT_EQ(world().GetKickMode(), KM_KICK_OFF_US);
  Feed(PerceptionText().GameState(0.0, "SomethingNew").Str());
  EXPECT_EQ(world().GetPlayMode(), 0);
  EXPECT_EQ(world().GetKickMode(), KM_NO_KICK_MODE);
  EXPECT_FALSE(world().CanKickOffShoot());
}

TEST_F(WorldStateTest, SideFollowsTheLastSideWordAndScoresAreOwnFirst) {
  EXPECT_EQ(world().GetSide(), SIDE_UNKNOWN);
  Feed(PerceptionText().GameState(0.0, "PlayOn", 2, 1).Str());
  EXPECT_EQ(world().GetSide(), SIDE_RIGHT);
  EXPECT_EQ(world().GetUsScore(), 1);
  EXPECT_EQ(world().GetEnemyScore(), 2);
  Feed(PerceptionText().GameStateWithTeam(1, "left", 0.0, "PlayOn", 2, 1).Str());
  EXPECT_EQ(world().GetSide(), SIDE_LEFT);
  EXPECT_EQ(world().GetUsScore(), 2);
  EXPECT_EQ(world().GetEnemyScore(), 1);
  Feed(PerceptionText().GameState(0.0, "PlayOn").Str());
  EXPECT_EQ(world().GetSide(), SIDE_LEFT);
  Feed(PerceptionText().GameStateWithTeam(1, "Left", 0.0, "PlayOn").Str());
  EXPECT_EQ(world().GetSide(), SIDE_RIGHT);
}

TEST_F(WorldStateTest, CountsServerCyclesAndAgentTimeFromTheFirstPerception) {
  const struct {
    double server_time;
    int server_cycle;
  } cases[] = {{12.34, 617},
               {0.019999, 1},
               {3.58, 179},
               {2607.14, 130357},
               {-0.5, -24},
               // Times no int can count saturate.
               {1e300, INT_MAX},
               {-1e300, INT_MIN}};
  for (const auto& c : cases) {
    Feed(PerceptionText().Time(c.server_time).Str());
    EXPECT_EQ(world().GetServerCycle(), c.server_cycle) << c.server_time;
  }
  test::ModelCycle fresh("Alpha", 1);
  fresh.Perceive(PerceptionText().Time(5.0).GameState(1.5, "PlayOn").Str());
  EXPECT_DOUBLE_EQ(fresh.world().GetAgentTime(), 5.0);
  EXPECT_DOUBLE_EQ(fresh.world().GetGameTime(), 1.5);
  fresh.Perceive(PerceptionText().Time(6.0).GameState(2.5, "PlayOn").Str());
  EXPECT_NEAR(fresh.world().GetAgentTime(), 1.0, 1e-12);
}

// The words of "(key ...)" in a raw message, read without the parser.
std::string Value(const std::string& text, const std::string& key) {
  const size_t at = text.find("(" + key + " ");
  if (at == std::string::npos) return "";
  const size_t begin = at + key.size() + 2;
  return text.substr(begin, text.find(')', begin) - begin);
}

TEST(WorldStateCaptureTest, FollowsTheGameThroughTheWholeCapture) {
  const struct {
    const char* file;
    const char* team;
    SideID side;
    int first_play_on;  // the message (counted from 1) in which PlayOn starts
  } captures[] = {{"three_players_left_unum1.txt", "Alpha", SIDE_LEFT, 269},
                  {"three_players_right_unum1.txt", "Beta", SIDE_RIGHT, 233}};
  for (const auto& c : captures) {
    SCOPED_TRACE(c.file);
    test::ModelCycle cycle(c.team, 1);
    const WorldState& world = cycle.world();
    const std::vector<std::string> lines =
        test::ReadFixtureLines(std::string("perception/") + c.file);
    const double first_time = std::stod(Value(lines[0], "time (now"));
    int first_play_on = 0;
    bool side_announced = false;
    for (size_t n = 0; n < lines.size() && !::testing::Test::HasFailure(); ++n) {
      SCOPED_TRACE("message " + std::to_string(n + 1));
      cycle.Perceive(lines[n]);
      // The side word comes in the third message only; before it the side reads as right.
      side_announced = side_announced || !Value(lines[n], "team").empty();
      EXPECT_EQ(world.GetSide(), side_announced ? c.side : SIDE_RIGHT);
      const bool play_on = world.GetPlayMode() == PM_PLAY_ON;
      if (play_on && first_play_on == 0) first_play_on = static_cast<int>(n + 1);
      EXPECT_EQ(world.GetPlayMode(), first_play_on == 0 ? PM_BEFORE_KICK_OFF : PM_PLAY_ON);
      EXPECT_EQ(world.GetKickMode(), KM_NO_KICK_MODE);
      EXPECT_EQ(world.CanBeam(), !play_on);
      EXPECT_FALSE(world.CanBallTouch() || world.CanKickOffShoot() || world.CanKickPlay());
      const double now = std::stod(Value(lines[n], "time (now"));
      EXPECT_EQ(world.GetServerTime(), now);
      EXPECT_EQ(world.GetServerCycle(), static_cast<int>(now / 0.02 + 0.1));
      EXPECT_EQ(world.GetGameTime(), std::stod(Value(lines[n], "t")));
      EXPECT_NEAR(world.GetAgentTime(), n == 0 ? now : now - first_time, 1e-9);
      EXPECT_EQ(world.GetUsScore() + world.GetEnemyScore(), 0);
    }
    EXPECT_EQ(first_play_on, c.first_play_on);
  }
}

}  // namespace
}  // namespace zamp
