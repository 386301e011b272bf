// Team hearing, the dribbler election and head control of the game strategy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/const.h"
#include "play/ShareMessageZAMP.h"
#include "play/StrategyZAMP.h"
#include "support/PerceptionText.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;

class StrategyZAMPHearTest : public StrategyFixture<> {
 protected:
  // What mate `unum` says: standing at `position` and seeing the ball at `ball`.
  static std::string Says(int unum, const V& position, const V& ball, int cycle = 440) {
    ShareMessageZAMP::SayValues say;
    say.server_cycle = cycle;
    say.uniform_number = unum;
    say.ball_update_time = cycle * 0.02;
    say.agent_coord = position;
    say.ball_coord = ball;
    say.ball_nearest_enemy_dist = 3.0;
    say.behavior = AgentState::BEH_MOVE;
    say.move_state = AgentState::MS_GOTO_POSITION;
    say.count_enemy_visible = 2;
    say.kick_target_coord = V(15.0, -3.0);
    return StrategyWorld::Message(say);
  }
};

TEST_F(StrategyZAMPHearTest, AHeardMessageFillsTheSendersRecordAndElects) {
  world_.Hear(Says(3, V(-2.0, 1.0), V(0.0, 0.0)), 30.0);
  strategy().UpdateHear();
  const ShareData& record = Access::Record(strategy(), 3);
  EXPECT_TRUE(record.is_existence);
  EXPECT_EQ(record.uniform_number, 3);
  EXPECT_NEAR(record.agent_coord.x(), -2.0, 0.03);
  EXPECT_NEAR(record.agent_coord.y(), 1.0, 0.03);
  EXPECT_DOUBLE_EQ(record.hear_direction, 30.0);
  EXPECT_EQ(record.kick_target_coord, V(15.0, -2.0));  // -3 travels as -2.903
  EXPECT_EQ(record.behavior, AgentState::BEH_MOVE);
  EXPECT_EQ(record.move_state, AgentState::MS_GOTO_POSITION);
  EXPECT_EQ(record.enemy_visible_count, 2);
  EXPECT_EQ(Access::LatestHeard(strategy()), &record);
  EXPECT_EQ(Access::TrustedBall(strategy()), &record);
  EXPECT_EQ(Drribler(), 3);
  EXPECT_EQ(Access::KickTarget(strategy()), V(15.0, -2.0));
  EXPECT_NEAR(Access::TeamBallEnemyDistance(strategy()), 3.0, 1e-9);
  EXPECT_FALSE(Access::Record(strategy(), 2).is_existence);
}

TEST_F(StrategyZAMPHearTest, TheOwnEchoIsHeardOnlyWhenNoMateSpoke) {
  world_.Listen(PerceptionText()
                    .HearSelf(StrategyWorld::TEAM, 10.0, Says(2, V(-1.0, 0.0), V(0.0, 0.0)))
                    .Hear(StrategyWorld::TEAM, 10.0, -45.0, Says(4, V(-3.0, 0.0), V(0.0, 0.0)))
                    .Str());
  strategy().UpdateHear();
  EXPECT_TRUE(Access::Record(strategy(), 4).is_existence);
  EXPECT_FALSE(Access::Record(strategy(), 2).is_existence);

  // Next cycle only the echo: heard from no direction.
  world_.HearSelf(Says(2, V(-1.0, 0.0), V(0.0, 0.0)));
  strategy().UpdateHear();
  EXPECT_TRUE(Access::Record(strategy(), 2).is_existence);
  EXPECT_EQ(Access::Record(strategy(), 2).hear_direction, 0.0);
}

TEST_F(StrategyZAMPHearTest, UnusableMessagesChangeNothing) {
  // The last valid clock slot is uniform number 11's (residue 20); residues 22 to 42 would
  // name records 11 to 21, which do not exist.
  ShareMessageZAMP codec;
  ShareMessageZAMP::SayValues say;
  say.agent_coord = V(-1.0, 0.0);
  std::vector<std::string> texts = {"", "0", "!!!!!!!!!!!!!!!!!", "000000000000000000000000"};
  for (int residue = 22; residue <= 42; residue += 2) {
    say.server_cycle = 440 + residue;
    say.uniform_number = residue / 2 + 1;
    texts.push_back(codec.MakeFrom(say));
    ASSERT_EQ(texts.back().size(), 17u);
  }
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    world_.Hear(text, 10.0);
    strategy().UpdateHear();
    world_.HearSelf(text);
    strategy().UpdateHear();
  }
  // Hear elements with only three data words: the store takes them, the codec does not.
  for (const char* element : {"(hear Alpha 3.00 self)", "(hear Alpha 3.00 40.0)"}) {
    world_.Listen(element);
    EXPECT_TRUE(world_.raw().GetHear(HEAR_FRIEND).hearing || world_.raw().GetHear(HEAR_SELF).hearing);
    strategy().UpdateHear();
  }
  world_.HearNothing();
  strategy().UpdateHear();
  for (int unum = 1; unum <= 11; ++unum) {
    EXPECT_FALSE(Access::Record(strategy(), unum).is_existence);
  }
  EXPECT_EQ(Drribler(), 11);
  EXPECT_EQ(Access::LatestHeard(strategy()), &Access::Record(strategy(), 1));
}

// Mates 2 and 3 report the ball; mate 3 is upright and walks.
TEST_F(StrategyZAMPHearTest, ElectionRanksByDistanceAngleAndFall) {
  struct Case {
    const char* name;
    V ball;
    int previous;  // dribbler before the election
    V mate2;
    bool mate2_fallen;
    AgentState::Behavior mate2_behavior;
    V mate3;
    int elected;
  };
  const AgentState::Behavior MOVE = AgentState::BEH_MOVE;
  const AgentState::Behavior KICK = AgentState::BEH_KICK;
  // clang-format off
  const Case cases[] = {
      {"nearest", {0, 0}, 11, {-1, 0}, false, MOVE, {-3, 0}, 2},
      // In midfield the angle counts from +x: a mate in front of the ball scores 0.3.
      {"behind the ball beats in front", {0, 0}, 11, {1, 0}, false, MOVE, {-2, 0}, 3},
      {"beyond 0.3 m the angle counts", {0, 0}, 11, {0.35, 0}, false, MOVE, {-0.9, 0}, 3},
      {"fallen keeps a tenth", {0, 0}, 11, {-1, 0}, true, MOVE, {-9, 0}, 3},
      {"fallen dribbler in its kick", {0, 0}, 2, {-1, 0}, true, KICK, {-3, 0}, 2},
      {"fallen kicker not the dribbler", {0, 0}, 3, {-1, 0}, true, KICK, {-3, 0}, 3},
      // Near the own goal the approach runs from the goal: a mate between goal and ball wins.
      {"defence: from the goal side", {-12, 0}, 11, {-11.2, 0}, false, MOVE, {-13, 0}, 3},
      // Near the opponent goal the approach runs towards the goal centre.
      {"attack: behind towards the goal", {12, 3}, 11, {13, 2.2}, false, MOVE, {11, 4}, 3},
      {"mate on the ball", {0, 0}, 11, {0, 0}, false, MOVE, {-0.5, 0}, 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewStrategy();
    ShareData& mate2 = Mate(2, c.mate2, c.ball);
    mate2.has_fall = c.mate2_fallen;
    mate2.behavior = c.mate2_behavior;
    Mate(3, c.mate3, c.ball);
    Access::Drribler(strategy()) = c.previous;
    Elect();
    EXPECT_EQ(Drribler(), c.elected);
    for (int unum = 1; unum <= 11; ++unum) {
      EXPECT_TRUE(std::isfinite(Access::Record(strategy(), unum).drrible_primary));
    }
  }
}

TEST_F(StrategyZAMPHearTest, RankingValuesAreTheProductOfTheFactors) {
  // Ball at the centre: mate 2 1 m behind it (factor 1), mate 3 2 m away at 90 degrees
  // (0.5) and fallen (0.1), mate 4 4 m in front (0.3).
  Mate(2, V(-1, 0), V(0, 0));
  Mate(3, V(0, 2), V(0, 0)).has_fall = true;
  Mate(4, V(4, 0), V(0, 0));
  Elect();
  EXPECT_NEAR(Access::Record(strategy(), 2).drrible_primary, 1.0, 1e-12);
  EXPECT_NEAR(Access::Record(strategy(), 3).drrible_primary, 0.5 * 0.5 * 0.1, 1e-12);
  EXPECT_NEAR(Access::Record(strategy(), 4).drrible_primary, 0.25 * 0.3, 1e-12);
  EXPECT_EQ(Access::Record(strategy(), 1).drrible_primary, 0.0);
  const std::vector<ShareData*>& ranking = Access::Ranking(strategy());
  EXPECT_EQ(ranking[0]->uniform_number, 2);
  EXPECT_EQ(ranking[1]->uniform_number, 4);
  EXPECT_EQ(ranking[2]->uniform_number, 3);
}

// The keeper (1) is elected only with the ball within 3.0 m of its goal and keeps the role
// until the ball is more than 4.0 m away.
TEST_F(StrategyZAMPHearTest, KeeperHysteresis) {
  struct Case {
    double goal_distance;  // m, ball from (-15, 0)
    int previous, elected;
  };
  // clang-format off
  const Case cases[] = {
      {2.99, 5, 1}, {3.0, 5, 2}, {3.5, 1, 1}, {4.0, 1, 1}, {4.01, 1, 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.goal_distance << " from " << c.previous);
    const V ball(-15.0 + c.goal_distance, 0.0);
    // The keeper right behind the ball, mate 2 2 m aside: the keeper ranks first.
    Mate(1, ball - V(0.4, 0.0), ball);
    Mate(2, ball + V(0.0, 2.0), ball);
    Access::Drribler(strategy()) = c.previous;
    Elect();
    EXPECT_EQ(Access::Ranking(strategy())[0]->uniform_number, 1);
    EXPECT_EQ(Drribler(), c.elected);
  }
}

TEST_F(StrategyZAMPHearTest, NobodyDrriblesDuringTheOpponentsSetPlaysAndBeforeKickOff) {
  struct Case {
    PlayModeID play_mode;
    int elected;
  };
  // clang-format off
  const Case cases[] = {
      {PM_PLAY_ON, 2},          {PM_GAME_OVER, 2},       {PM_KICK_IN_LEFT, 2},
      {PM_KICK_IN_RIGHT, 0},    {PM_GOAL_KICK_RIGHT, 0}, {PM_BEFORE_KICK_OFF, 0},
      {PM_GOAL_LEFT, 0},
  };
  // clang-format on
  Mate(2, V(-1, 0), V(0, 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.play_mode);
    world_.SetPlayMode(c.play_mode);
    Elect();
    EXPECT_EQ(Drribler(), c.elected);
  }
}

TEST_F(StrategyZAMPHearTest, TheTeamTrustsTheFreshestBallSightingAndTheNearestOpponent) {
  ShareData& stale = Mate(2, V(-1, 0), V(5, 5));
  stale.server_time = 10.0;
  stale.ball_primary = 8.0;  // saw the ball 2 s before speaking
  stale.ball_nearest_enemy_dist = 3.2;
  ShareData& fresh = Mate(3, V(-6, 0), V(-5, 0));
  fresh.server_time = 11.0;
  fresh.ball_primary = 10.9;
  fresh.ball_nearest_enemy_dist = 1.7;
  Elect();
  EXPECT_DOUBLE_EQ(Access::TeamBallEnemyDistance(strategy()), 1.7);
  EXPECT_EQ(Access::TrustedBall(strategy()), &fresh);
  // Distances are to the trusted ball: mate 3 is 1 m from it, mate 2 4 m.
  EXPECT_NEAR(fresh.ball_distance, 1.0, 1e-12);
  EXPECT_NEAR(stale.ball_distance, 4.0, 1e-12);
  EXPECT_EQ(Drribler(), 3);
}

TEST_F(StrategyZAMPHearTest, TheKickTargetComesFromTheMateSeeingTheMostOpponents) {
  ShareData& a = Mate(2, V(-1, 0), V(0, 0));
  a.enemy_visible_count = 3;
  a.kick_target_coord = V(15, 2);
  ShareData& b = Mate(3, V(-2, 0), V(0, 0));
  b.enemy_visible_count = 5;
  b.kick_target_coord = V(12, -4);
  ShareData& c = Mate(4, V(-3, 0), V(0, 0));
  c.enemy_visible_count = 5;
  c.kick_target_coord = V(10, 7);
  Elect();
  // 3 and 4 see five each; 3 ranks higher.
  EXPECT_EQ(Access::KickTarget(strategy()), V(12, -4));

  // While the dribbler (2) lines up or kicks, the target stays.
  a.move_state = AgentState::MS_ADJUST_KICK;
  b.kick_target_coord = V(5, 5);
  Elect();
  EXPECT_EQ(Drribler(), 2);
  EXPECT_EQ(Access::KickTarget(strategy()), V(12, -4));
  a.move_state = AgentState::MS_DRRIBLE;
  a.behavior = AgentState::BEH_KICK;
  Elect();
  EXPECT_EQ(Access::KickTarget(strategy()), V(12, -4));
  a.behavior = AgentState::BEH_MOVE;
  Elect();
  EXPECT_EQ(Access::KickTarget(strategy()), V(5, 5));
}

TEST_F(StrategyZAMPHearTest, EqualRecordsElectTheSameForAnyInitialOrder) {
  // Five mates with identical reports except their numbers: every ranking tie.
  for (int unum = 2; unum <= 6; ++unum) {
    ShareData& record = Mate(unum, V(-1, 0), V(0, 0));
    record.enemy_visible_count = 4;
    record.kick_target_coord = V(static_cast<double>(unum), 0.0);
  }
  Elect();
  const int elected = Drribler();
  const ShareData* trusted = Access::TrustedBall(strategy());
  const std::vector<ShareData*> ranking = Access::Ranking(strategy());
  const V kick_target = Access::KickTarget(strategy());
  EXPECT_EQ(elected, 2);
  EXPECT_EQ(trusted->uniform_number, 2);
  EXPECT_EQ(kick_target, V(2, 0));

  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<ShareData*>& order = Access::Ranking(strategy());
    std::shuffle(order.begin(), order.end(), random);
    Elect();
    ASSERT_EQ(Drribler(), elected);
    ASSERT_EQ(Access::TrustedBall(strategy()), trusted);
    ASSERT_EQ(Access::Ranking(strategy()), ranking);
    ASSERT_EQ(Access::KickTarget(strategy()), kick_target);
  }
}

TEST_F(StrategyZAMPHearTest, HeadFollowsTheSeenBallTheTeamBallOrScans) {
  Mate(3, V(-3, 0), V(0, 0));
  Elect();
  world_.PlaceAgent(-3.0, 0.0, 0.0);

  // Seen: the neck follows the sighting.
  world_.PlaceBall(0.0, 0.0, true);
  world_.SetBallHorizonDegree(30.0);
  Access::ControlHead(strategy());
  EXPECT_DOUBLE_EQ(world_.joints().GetTargetDegree(HJ_HJ1), 30.0);
  EXPECT_DOUBLE_EQ(world_.joints().GetTargetDegree(HJ_HJ2), 0.0);

  // Not seen, the team's sighting fresh: look where the team ball is, down from 0.4 m.
  world_.PlaceBall(0.0, 0.0, false);
  world_.PlaceAgent(-3.0, 0.0, 90.0);
  world_.Update();
  Access::ControlHead(strategy());
  EXPECT_NEAR(world_.joints().GetTargetDegree(HJ_HJ1), -90.0, 1e-9);
  EXPECT_NEAR(world_.joints().GetTargetDegree(HJ_HJ2),
              std::atan2(-0.4, 3.0) * 180.0 / 3.141592653589793, 1e-9);

  // Not seen and the team's sighting 0.6 s old: sweep.
  Access::Record(strategy(), 3).ball_primary = Access::Record(strategy(), 3).server_time - 0.6;
  struct Case {
    int cycle;
    double yaw, yaw_speed, pitch, pitch_speed;
  };
  const Case cases[] = {{14, 120, 6.2, 0, 6.2},     {15, 120, 6.2, -45, -6.2},
                        {44, 120, 6.2, 0, 6.2},     {45, -120, -6.2, -45, -6.2},
                        {90, 120, 6.2, 0, 6.2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cycle);
    world_.SetServerTime(c.cycle * 0.02);
    Access::ControlHead(strategy());
    EXPECT_DOUBLE_EQ(world_.joints().GetTargetDegree(HJ_HJ1), c.yaw);
    EXPECT_DOUBLE_EQ(world_.joints().GetSpeed(HJ_HJ1), c.yaw_speed);
    EXPECT_DOUBLE_EQ(world_.joints().GetTargetDegree(HJ_HJ2), c.pitch);
    EXPECT_DOUBLE_EQ(world_.joints().GetSpeed(HJ_HJ2), c.pitch_speed);
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
