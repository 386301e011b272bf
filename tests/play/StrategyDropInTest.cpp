// Drop-in play: the say text, the records filled from untrusted hear texts, and the
// election by distance.
#include <gtest/gtest.h>

#include <string>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "play/Audio.h"
#include "play/StrategyDropIn.h"
#include "support/FieldTestAccess.h"
#include "support/PerceptionText.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;
typedef StrategyZAMP::ShareData ShareData;

// Codec resolution of the position fields, m.
const double kCoordStep = 0.04;

// A drop-in message as mate `unum` says it at its turn, `cycle` rounded down to the start of
// the 22-cycle period; `said` is its time, s.
std::string DropInMessage(int unum, int cycle, double ball_seen, const V& ball, const V& position,
                          bool fallen, double* said = nullptr) {
  const double time = (cycle / 22 * 22 + 2 * unum - 2) * 0.02;
  if (said != nullptr) *said = time;
  std::string text;
  EXPECT_TRUE(makeSayMessage(unum, time, ball_seen, ball.x(), ball.y(), position.x(), position.y(),
                             fallen, text));
  return text;
}

void ExpectSameRecord(const ShareData& a, const ShareData& b) {
  EXPECT_EQ(a.uniform_number, b.uniform_number);
  EXPECT_EQ(a.server_time, b.server_time);
  EXPECT_EQ(a.ball_primary, b.ball_primary);
  EXPECT_EQ(a.agent_coord, b.agent_coord);
  EXPECT_EQ(a.ball_coord, b.ball_coord);
  EXPECT_EQ(a.has_fall, b.has_fall);
  EXPECT_EQ(a.ball_nearest_enemy_dist, b.ball_nearest_enemy_dist);
  EXPECT_EQ(a.behavior, b.behavior);
  EXPECT_EQ(a.move_state, b.move_state);
  EXPECT_EQ(a.enemy_visible_count, b.enemy_visible_count);
  EXPECT_EQ(a.kick_target_coord, b.kick_target_coord);
  EXPECT_EQ(a.is_existence, b.is_existence);
  EXPECT_EQ(a.hear_direction, b.hear_direction);
}

class StrategyDropInTest : public StrategyFixture<StrategyDropIn> {
 protected:
  StrategyDropInTest() : StrategyFixture(2) {}

  // Mate `unum` says its message at the turn after cycle 440 (8.8 s); the agent hears it
  // two cycles later from `direction` degrees.
  void HearMate(int unum, double ball_seen, const V& ball, const V& position, bool fallen,
                double direction = 0.0) {
    double said = 0.0;
    const std::string text = DropInMessage(unum, 440, ball_seen, ball, position, fallen, &said);
    world_.SetServerTime(said + 0.04);
    world_.Hear(text, direction);
    strategy().UpdateHear();
  }
};

TEST_F(StrategyDropInTest, SaysItsPositionAndBallAtItsTurn) {
  world_.PlaceAgent(-2.0, 1.0, 0.0);
  world_.PlaceBall(4.0, -1.0);
  FieldTestAccess::SetBallUpdateTime(world_.field(), 7.5);
  world_.SetServerTime(8.82);  // cycle 441: residue 1, nobody's turn
  EXPECT_EQ(strategy().MakeSay(), "");

  world_.SetServerTime(8.84);  // cycle 442: residue 2, uniform number 2
  world_.SetFallen(true);
  const std::string text = strategy().MakeSay();
  ASSERT_EQ(text.size(), 13u);
  int unum = 0;
  double ball_seen, ball_x, ball_y, agent_x, agent_y;
  bool fallen = false;
  ASSERT_TRUE(
      processHearMessage(text, 8.86, unum, ball_seen, ball_x, ball_y, agent_x, agent_y, fallen));
  EXPECT_EQ(unum, 2);
  EXPECT_NEAR(ball_seen, 7.5, 1e-9);
  EXPECT_NEAR(ball_x, 4.0, kCoordStep);
  EXPECT_NEAR(ball_y, -1.0, kCoordStep);
  EXPECT_NEAR(agent_x, -2.0, kCoordStep);
  EXPECT_NEAR(agent_y, 1.0, kCoordStep);
  EXPECT_TRUE(fallen);
}

// What the drop-in message lacks comes out as 0.
TEST_F(StrategyDropInTest, HeardMessageFillsTheSendersRecord) {
  HearMate(5, 8.5, V(3.0, -2.0), V(1.0, 1.0), true, 40.0);
  const ShareData& record = Access::Record(strategy(), 5);
  EXPECT_EQ(Access::LatestHeard(strategy()), &record);
  EXPECT_EQ(record.uniform_number, 5);
  EXPECT_TRUE(record.is_existence);
  EXPECT_NEAR(record.server_time, 9.0, 1e-9);  // when it was heard
  EXPECT_NEAR(record.ball_primary, 8.5, 1e-9);
  EXPECT_NEAR(record.agent_coord.x(), 1.0, kCoordStep);
  EXPECT_NEAR(record.agent_coord.y(), 1.0, kCoordStep);
  EXPECT_NEAR(record.ball_coord.x(), 3.0, kCoordStep);
  EXPECT_NEAR(record.ball_coord.y(), -2.0, kCoordStep);
  EXPECT_TRUE(record.has_fall);
  EXPECT_EQ(record.hear_direction, 40.0);
  EXPECT_EQ(record.move_state, AgentState::MS_DRRIBLE);
  EXPECT_EQ(record.behavior, AgentState::BEH_READY);
  EXPECT_EQ(record.enemy_visible_count, 0);
  EXPECT_EQ(record.kick_target_coord, V(0.0, 0.0));
  EXPECT_EQ(record.ball_nearest_enemy_dist, 0.0);

  // The agent's own echo fills its own record the same way.
  double said = 0.0;
  const std::string own = DropInMessage(2, 500, 9.5, V(0, 0), V(-1.0, -1.0), false, &said);
  world_.SetServerTime(said + 0.02);
  world_.HearSelf(own);
  strategy().UpdateHear();
  EXPECT_TRUE(Access::Record(strategy(), 2).is_existence);
  EXPECT_NEAR(Access::Record(strategy(), 2).agent_coord.x(), -1.0, kCoordStep);
}

// Texts that fail the codec's checks change no heard record; the mates never heard are
// taken from the agent's own sight, each by its record's place in the table.
TEST_F(StrategyDropInTest, RejectedTextsLeaveHeardRecordsAlone) {
  HearMate(5, 8.5, V(3.0, -2.0), V(1.0, 1.0), false);
  const ShareData heard = Access::Record(strategy(), 5);
  FieldTestAccess::PlaceMate(world_.field(), 3, Eigen::Vector3d(2.0, 3.0, 0.4), true);

  double said = 0.0;
  const std::string good = DropInMessage(7, 600, 11.0, V(0, 0), V(0, 0), false, &said);
  struct Case {
    const char* name;
    std::string text;
    double heard_time;  // s
  };
  const Case cases[] = {
      {"12 characters", good.substr(0, 12), said + 0.02},
      {"14 characters", good + "a", said + 0.02},
      {"a foreign character", good.substr(0, 12) + "!", said + 0.02},
      {"heard 0.1 s late", good, said + 0.1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.SetServerTime(c.heard_time);
    world_.Hear(c.text, -25.0);
    strategy().UpdateHear();
    ExpectSameRecord(Access::Record(strategy(), 5), heard);
    EXPECT_EQ(Access::LatestHeard(strategy()), &Access::Record(strategy(), 5));
    EXPECT_FALSE(Access::Record(strategy(), 7).is_existence);

    const ShareData& seen = Access::Record(strategy(), 4);
    EXPECT_FALSE(seen.is_existence);
    EXPECT_EQ(seen.uniform_number, 0);
    EXPECT_EQ(seen.agent_coord, V(2.0, 3.0));
    EXPECT_TRUE(seen.has_fall);
    EXPECT_EQ(seen.hear_direction, -25.0);
  }
}

// Only the friend's message is read when there is one; a failing one does not fall back to
// the agent's echo.
TEST_F(StrategyDropInTest, ReadsTheEchoOnlyWhenNoMateSpoke) {
  double said = 0.0;
  const std::string own = DropInMessage(2, 500, 9.5, V(0, 0), V(-1.0, -1.0), false, &said);
  Singleton<Parser>::GetInstance()->Update(PerceptionText()
                                               .Time(said + 0.02)
                                               .Hear(StrategyWorld::TEAM, said, 10.0, "broken")
                                               .HearSelf(StrategyWorld::TEAM, said, own)
                                               .Str());
  Singleton<RawStorage>::GetInstance()->Update();
  world_.SetServerTime(said + 0.02);
  strategy().UpdateHear();
  EXPECT_FALSE(Access::Record(strategy(), 2).is_existence);
}

TEST_F(StrategyDropInTest, ElectsTheMateNearestTheTrustedBall) {
  struct Case {
    const char* name;
    V mate3;  // mate 3's position
    bool mate3_fallen;
    V mate4;
    int elected;
    double primary3;
    double primary4;
  };
  const V BALL(1.0, 0.0);
  // clang-format off
  const Case cases[] = {
      // Zero distance counts as 1e-6: the mate on the ball ranks 1, not 0 / 0.
      {"standing on the ball", {1.0, 0.0}, false, {0.0, 0.0}, 3, 1.0, 1e-6},
      // No angle term: the game strategy would halve mate 4's value from the side.
      {"nearer wins", {1.5, 0.0}, false, {1.0, 1.0}, 3, 1.0, 0.5},
      // A fallen mate keeps a tenth, even as the kicking dribbler.
      {"fallen", {1.5, 0.0}, true, {1.0, 1.0}, 4, 0.1, 0.5},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewStrategy();
    Mate(3, c.mate3, BALL).has_fall = c.mate3_fallen;
    Access::Record(strategy(), 3).behavior = AgentState::BEH_KICK;
    Mate(4, c.mate4, BALL);
    Access::Drribler(strategy()) = 3;
    // Mate 6's own sighting is older than its message, so mate 3's ball is trusted.
    HearMate(6, 8.0, V(-5.0, -5.0), V(5.0, 5.0), false);
    ASSERT_EQ(Access::TrustedBall(strategy()), &Access::Record(strategy(), 3));
    EXPECT_EQ(Drribler(), c.elected);
    EXPECT_NEAR(Access::Record(strategy(), 3).drrible_primary, c.primary3, 1e-12);
    EXPECT_NEAR(Access::Record(strategy(), 4).drrible_primary, c.primary4, 1e-12);
  }
}

TEST_F(StrategyDropInTest, NobodyDribblesDuringTheirSetPlays) {
  struct Case {
    const char* name;
    PlayModeID play_mode;
    KickModeID kick_mode;
    bool can_kick_play;
    int elected;
  };
  const Case cases[] = {
      {"play on", PM_PLAY_ON, KM_NO_KICK_MODE, false, 3},
      {"their kick-in", PM_KICK_IN_RIGHT, KM_KICK_IN_ENEMY, false, 0},
      {"our kick-in", PM_KICK_IN_LEFT, KM_KICK_IN_US, true, 3},
      {"before kick-off", PM_BEFORE_KICK_OFF, KM_NO_KICK_MODE, false, 0},
      {"game over", PM_GAME_OVER, KM_NO_KICK_MODE, false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.SetPlayMode(c.play_mode);
    world_.SetKickMode(c.kick_mode, c.can_kick_play, false);
    Mate(3, V(1.0, 0.0), V(1.0, 0.0));
    HearMate(6, 8.0, V(-5.0, -5.0), V(5.0, 5.0), false);
    EXPECT_EQ(Drribler(), c.elected);
  }
}

// A mate that was never heard but is seen next to the ball ranks first with uniform
// number 0: nobody dribbles, and the agent positions itself.
TEST_F(StrategyDropInTest, AMateNeverHeardElectsNobody) {
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    FieldTestAccess::PlaceMate(world_.field(), i, Eigen::Vector3d(-10.0, 9.0, 0.4), false);
  }
  FieldTestAccess::PlaceMate(world_.field(), 7, Eigen::Vector3d(0.0, 0.0, 0.4), false);
  Mate(3, V(4.0, 0.0), V(0.0, 0.0));
  world_.SetServerTime(20.0);
  world_.Hear("garbage");
  strategy().UpdateHear();
  EXPECT_EQ(Drribler(), StrategyZAMP::NO_ONE_DRRIBLE);

  world_.SetMoveState(AgentState::MS_DRRIBLE);
  world_.Update();
  strategy().Run();
  EXPECT_EQ(world_.agent().GetCurrentMoveState(), AgentState::MS_GOTO_POSITION);
}

// The drop-in message carries no opponent distance: with fewer than 9 opponents in view
// the agent assumes one 1.2 m from the ball, with more it assumes none; while lining up a
// kick, and in the last 30 s of a half, none.
TEST_F(StrategyDropInTest, AssumesAnOpponentNearTheBallUnlessCrowded) {
  struct Case {
    const char* name;
    int enemies_seen;
    AgentState::MoveState move_state;
    double game_time;  // s
    double enemy_distance;
    bool own_target;
  };
  const AgentState::MoveState DR = AgentState::MS_DRRIBLE;
  const Case cases[] = {
      {"8 opponents seen", 8, DR, 100.0, 1.2, true},
      {"9 opponents seen", 9, DR, 100.0, 9999.9, true},
      {"lining up", 0, AgentState::MS_ADJUST_KICK, 100.0, 9999.9, false},
      {"last 30 s", 0, DR, 570.0, 9999.9, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewStrategy();
    for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
      if (i < c.enemies_seen) {
        world_.PlaceEnemy(i, 10.0, -9.0 + i);
      } else {
        world_.PlaceEnemy(i, 0.0, 0.0, 100.0);
      }
    }
    world_.SetGameTime(c.game_time);
    world_.Update();
    world_.SetMoveState(c.move_state);
    Access::KickTarget(strategy()) = V(7.0, 7.0);
    HearMate(6, 8.0, V(-5.0, -5.0), V(5.0, 5.0), false);
    EXPECT_EQ(Access::TeamBallEnemyDistance(strategy()), c.enemy_distance);
    EXPECT_EQ(Access::KickTarget(strategy()),
              c.own_target ? world_.info().GetKickTargetCoord() : V(7.0, 7.0));
  }
}

TEST_F(StrategyDropInTest, NothingHeardChangesNothing) {
  Access::TeamBallEnemyDistance(strategy()) = 3.3;
  Access::KickTarget(strategy()) = V(7.0, 7.0);
  world_.HearNothing();
  strategy().UpdateHear();
  EXPECT_EQ(Drribler(), 11);
  EXPECT_EQ(Access::TeamBallEnemyDistance(strategy()), 3.3);
  EXPECT_EQ(Access::KickTarget(strategy()), V(7.0, 7.0));
  for (int unum = 1; unum <= MAX_TEAM_AGENT_NUM; ++unum) {
    EXPECT_EQ(Access::Record(strategy(), unum).agent_coord, V(9999.9, 9999.9));
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
