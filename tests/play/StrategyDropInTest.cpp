// Drop-in play: the say text, the records filled from untrusted hear texts, and the
// election by distance.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "play/Audio.h"
#include "play/StrategyDropIn.h"
#include "support/FieldTestAccess.h"
#include "support/PerceptionText.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;

// Codec resolution of the position fields, m.
const double kCoordStep = 0.04;

// A drop-in message as mate `unum` says it at its turn, `cycle` rounded down to the start of
// the 22-cycle period; `said` is its time, s.
std::string DropInMessage(int unum, int cycle, double ball_seen, const V& ball, const V& position,
                          bool fallen, double* said) {
  *said = (cycle / 22 * 22 + 2 * unum - 2) * 0.02;
  std::string text;
  EXPECT_TRUE(makeSayMessage(unum, *said, ball_seen, ball.x(), ball.y(), position.x(), position.y(),
                             fallen, text));
  return text;
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

TEST_F(StrategyDropInTest, SaysItsPositionAndBallAtItsTurnAndHearsItsEcho) {
  world_.PlaceAgent(-2.0, 1.0, 0.0);
  world_.PlaceBall(4.0, -1.0);
  FieldTestAccess::SetBallUpdateTime(world_.field(), 7.5);
  world_.SetServerTime(8.82);  // cycle 441: residue 1, nobody's turn
  EXPECT_EQ(strategy().MakeSay(), "");

  world_.SetServerTime(8.84);  // cycle 442: residue 2, uniform number 2
  world_.SetFallen(true);
  const std::string text = strategy().MakeSay();
  ASSERT_EQ(text.size(), 13u);
  world_.SetServerTime(8.86);
  world_.HearSelf(text);
  strategy().UpdateHear();
  const StrategyZAMP::ShareData& own = Access::Record(strategy(), 2);
  EXPECT_TRUE(own.is_existence);
  EXPECT_NEAR(own.ball_primary, 7.5, 1e-9);
  EXPECT_NEAR(own.ball_coord.x(), 4.0, kCoordStep);
  EXPECT_NEAR(own.ball_coord.y(), -1.0, kCoordStep);
  EXPECT_NEAR(own.agent_coord.x(), -2.0, kCoordStep);
  EXPECT_NEAR(own.agent_coord.y(), 1.0, kCoordStep);
  EXPECT_TRUE(own.has_fall);
}

// What the drop-in message lacks comes out as 0 (move state 0: dribbling).
TEST_F(StrategyDropInTest, HeardMessageFillsTheSendersRecord) {
  HearMate(5, 8.5, V(3.0, -2.0), V(1.0, 1.0), true, 40.0);
  const StrategyZAMP::ShareData& record = Access::Record(strategy(), 5);
  EXPECT_EQ(Access::LatestHeard(strategy()), &record);
  EXPECT_EQ(record.uniform_number, 5);
  EXPECT_NEAR(record.server_time, 9.0, 1e-9);  // when it was heard
  EXPECT_NEAR(record.agent_coord.x(), 1.0, kCoordStep);
  EXPECT_EQ(record.hear_direction, 40.0);
  EXPECT_EQ(record.move_state, AgentState::MS_DRRIBLE);
  EXPECT_EQ(record.ball_nearest_enemy_dist, 0.0);
}

// Texts that fail the codec's checks change no heard record; the mates never heard are
// taken from the agent's own sight, each by its record's place in the table.
TEST_F(StrategyDropInTest, RejectedTextsLeaveHeardRecordsAlone) {
  const auto key = [this](int unum) {
    const StrategyZAMP::ShareData& r = Access::Record(strategy(), unum);
    return std::make_tuple(r.is_existence, r.uniform_number, r.server_time, r.ball_primary,
                           r.agent_coord.x(), r.ball_coord.x(), r.has_fall, r.hear_direction);
  };
  HearMate(5, 8.5, V(3.0, -2.0), V(1.0, 1.0), false);
  const auto heard = key(5);
  FieldTestAccess::PlaceMate(world_.field(), 3, Eigen::Vector3d(2.0, 3.0, 0.4), true);

  double said = 0.0;
  const std::string good = DropInMessage(7, 600, 11.0, V(0, 0), V(0, 0), false, &said);
  const std::pair<std::string, double> cases[] = {
      {good.substr(0, 12), said + 0.02},        // 12 characters
      {good + "a", said + 0.02},                // 14 characters
      {good.substr(0, 12) + "!", said + 0.02},  // a foreign character
      {good, said + 0.1},                       // heard 0.1 s late
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    world_.SetServerTime(c.second);
    world_.Hear(c.first, -25.0);
    strategy().UpdateHear();
    EXPECT_EQ(key(5), heard);
    EXPECT_EQ(Access::LatestHeard(strategy()), &Access::Record(strategy(), 5));
    EXPECT_FALSE(Access::Record(strategy(), 7).is_existence);
    EXPECT_EQ(key(4), std::make_tuple(false, 0, 0.0, 0.0, 2.0, 0.0, true, -25.0));
  }

  // A failing mate message does not fall back to the agent's echo.
  const std::string own = DropInMessage(2, 500, 9.5, V(0, 0), V(-1.0, -1.0), false, &said);
  world_.SetServerTime(said + 0.02);
  world_.Listen(PerceptionText()
                    .Hear(StrategyWorld::TEAM, said, 10.0, "broken")
                    .HearSelf(StrategyWorld::TEAM, said, own)
                    .Str());
  strategy().UpdateHear();
  EXPECT_FALSE(Access::Record(strategy(), 2).is_existence);
}

TEST_F(StrategyDropInTest, ElectsTheMateNearestTheTrustedBall) {
  struct Case {
    const char* name;
    V mate3, mate4;  // positions
    bool mate3_fallen;
    int elected;
    double primary3, primary4;
  };
  const V BALL(1.0, 0.0);
  // clang-format off
  const Case cases[] = {
      // Zero distance counts as 1e-6: the mate on the ball ranks 1, not 0 / 0.
      {"standing on the ball", {1.0, 0.0}, {0.0, 0.0}, false, 3, 1.0, 1e-6},
      // No angle term: the game strategy would halve mate 4's value from the side.
      {"nearer wins", {1.5, 0.0}, {1.0, 1.0}, false, 3, 1.0, 0.5},
      // A fallen mate keeps a tenth, even as the kicking dribbler.
      {"fallen", {1.5, 0.0}, {1.0, 1.0}, true, 4, 0.1, 0.5},
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
  // During their set plays nobody dribbles.
  world_.SetPlayMode(PM_KICK_IN_RIGHT);
  HearMate(6, 8.0, V(-5.0, -5.0), V(5.0, 5.0), false);
  EXPECT_EQ(Drribler(), 0);
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
// kick, and in the last 30 s of a half, none. Nothing heard changes nothing.
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
      const bool seen = i < c.enemies_seen;
      world_.PlaceEnemy(i, seen ? 10.0 : 0.0, seen ? -9.0 + i : 0.0, seen ? 0.0 : 100.0);
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

  Access::TeamBallEnemyDistance(strategy()) = 3.3;
  Access::KickTarget(strategy()) = V(7.0, 7.0);
  world_.HearNothing();
  strategy().UpdateHear();
  EXPECT_EQ(Access::TeamBallEnemyDistance(strategy()), 3.3);
  EXPECT_EQ(Access::KickTarget(strategy()), V(7.0, 7.0));
}

}  // namespace
}  // namespace test
}  // namespace zamp
