// The game strategy's core: construction, the move-state machine and the per-cycle Run.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/const.h"
#include "motion/TabeWalk.h"
#include "play/StrategyZAMP.h"
#include "support/Fixtures.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"
#include "support/StrategyFixture.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;
typedef AgentState::MoveState MS;
const MS DRRIBLE = AgentState::MS_DRRIBLE;
const MS GOTO = AgentState::MS_GOTO_POSITION;
const MS ADJUST = AgentState::MS_ADJUST_KICK;
const MS NOT_MOVE = AgentState::MS_NOT_MOVE;

class StrategyZAMPTest : public StrategyFixture<> {};

TEST_F(StrategyZAMPTest, StartsWithTheGoalAsKickTargetAndNobodyHeard) {
  EXPECT_EQ(Access::KickTarget(strategy()), Eigen::Vector2d(15.0, 0.0));
  EXPECT_EQ(Drribler(), 11);
  ASSERT_NE(Access::TrustedBall(strategy()), nullptr);
  for (int unum = 1; unum <= 11; ++unum) {
    EXPECT_FALSE(Access::Record(strategy(), unum).is_existence);
  }
  // Numbers outside 1 to 11 name no record.
  for (int unum : {-1, 0, 12, 22}) EXPECT_EQ(Access::Find(strategy(), unum), nullptr) << unum;
  EXPECT_EQ(Access::Find(strategy(), 11), &Access::Record(strategy(), 11));
}

// The kick conditions from the models. The agent stands at `agent` facing +x with the ball
// at `ball`; d is the team's nearest-opponent distance of the ball.
TEST_F(StrategyZAMPTest, UpdateStateFromTheBallTheOpponentsAndTheClock) {
  struct Case {
    const char* name;
    MS current;
    bool is_drribler;
    double game_time;  // s
    KickModeID kick_mode;
    bool can_kick_play;
    Eigen::Vector2d agent, ball;
    double foot_distance;  // m; negative: as placed
    double d;              // m
    MS next;
  };
  const KickModeID NO = KM_NO_KICK_MODE;
  // clang-format off
  const Case cases[] = {
      {"free ball at the foot", DRRIBLE, true, 100, NO, false, {-0.5, 0}, {0, 0}, -1, 9999.9, ADJUST},
      {"0.79 m, 0.1 m behind, own set play", DRRIBLE, true, 100, NO, true, {0, 0}, {-0.1, 0.5}, 0.79, 0.3, ADJUST},
      {"0.2 m behind is behind", DRRIBLE, true, 100, NO, true, {0, 0}, {-0.2, 0.5}, 0.79, 0.3, DRRIBLE},
      {"opponent at 2.4 m", DRRIBLE, true, 100, NO, false, {-0.5, 0}, {0, 0}, -1, 2.4, DRRIBLE},
      {"opponent at 2.5 m", DRRIBLE, true, 100, NO, false, {-0.5, 0}, {0, 0}, -1, 2.5, ADJUST},
      {"269.99 s: opponent at 2.4 m", DRRIBLE, true, 269.99, NO, false, {-0.5, 0}, {0, 0}, -1, 2.4, DRRIBLE},
      {"270 s: opponent at 1.0 m", DRRIBLE, true, 270.0, NO, false, {-0.5, 0}, {0, 0}, -1, 1.0, ADJUST},
      {"270 s: opponent at 0.99 m", DRRIBLE, true, 270.0, NO, false, {-0.5, 0}, {0, 0}, -1, 0.99, DRRIBLE},
      {"second half, 270 s in", DRRIBLE, true, 570.0, NO, false, {-0.5, 0}, {0, 0}, -1, 1.0, ADJUST},
      {"second half start", DRRIBLE, true, 300.0, NO, false, {-0.5, 0}, {0, 0}, -1, 1.0, DRRIBLE},
      {"Z1 goal line strip", DRRIBLE, true, 100, NO, true, {13, 5}, {13.5, 5}, -1, 9999.9, DRRIBLE},
      {"Z1 circle, outside Z2", DRRIBLE, true, 100, NO, true, {10.5, 2}, {11, 2}, -1, 9999.9, DRRIBLE},
      {"Z2 outside Z3, opponent at 1.0 m", DRRIBLE, true, 100, NO, false, {11.5, 0}, {12, 0}, -1, 1.0, ADJUST},
      {"Z2 and Z3", DRRIBLE, true, 100, NO, false, {13, 0.5}, {13.5, 0.5}, -1, 9999.9, DRRIBLE},
      {"our corner kick, pressed", DRRIBLE, true, 100, KM_CORNER_KICK_US, true, {14, 9.5}, {14.5, 9.5}, -1, 0.1, ADJUST},
      {"our corner kick, ball far", DRRIBLE, true, 100, KM_CORNER_KICK_US, true, {13, 9.5}, {14.5, 9.5}, -1, 0.1, DRRIBLE},
      {"not the dribbler, ball at the foot", DRRIBLE, false, 100, NO, false, {-0.5, 0}, {0, 0}, -1, 9999.9, ADJUST},
      {"not the dribbler", DRRIBLE, false, 100, NO, false, {-2, 0}, {0, 0}, -1, 9999.9, GOTO},
      {"give up at 1.25 m", ADJUST, true, 100, NO, false, {-1, 0}, {0, 0}, -1, 1.25, DRRIBLE},
      {"keep lining up at 1.26 m", ADJUST, true, 100, NO, false, {-1, 0}, {0, 0}, -1, 1.26, ADJUST},
      {"270 s: keep at 0.51 m", ADJUST, true, 270, NO, false, {-1, 0}, {0, 0}, -1, 0.51, ADJUST},
      {"270 s: give up at 0.5 m", ADJUST, true, 270, NO, false, {-1, 0}, {0, 0}, -1, 0.5, DRRIBLE},
      {"Z2: keep at 0.6 m", ADJUST, true, 100, NO, false, {11, 0}, {12, 0}, -1, 0.6, ADJUST},
      {"Z2: give up at 0.5 m", ADJUST, true, 100, NO, false, {11, 0}, {12, 0}, -1, 0.5, DRRIBLE},
      {"lost election while lining up, pressed", ADJUST, false, 100, NO, false, {-1, 0}, {0, 0}, -1, 1.0, DRRIBLE},
      {"lost election while lining up", ADJUST, false, 100, NO, false, {-1, 0}, {0, 0}, -1, 9999.9, GOTO},
      {"position, elected", GOTO, true, 100, NO, false, {-5, 0}, {0, 0}, -1, 9999.9, DRRIBLE},
      {"position, ball at the foot", GOTO, false, 100, NO, false, {-0.5, 0}, {0, 0}, -1, 9999.9, GOTO},
      {"back to walking, elected", NOT_MOVE, true, 100, NO, false, {-0.5, 0}, {0, 0}, -1, 9999.9, DRRIBLE},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world_.SetGameTime(c.game_time);
    world_.SetKickMode(c.kick_mode, c.can_kick_play, false);
    world_.PlaceAgent(c.agent.x(), c.agent.y(), 0.0);
    world_.PlaceBall(c.ball.x(), c.ball.y());
    if (c.foot_distance >= 0.0) world_.SetBallFootDistance(c.foot_distance);
    world_.Update();
    Access::TeamBallEnemyDistance(strategy()) = c.d;
    Access::Drribler(strategy()) = c.is_drribler ? 2 : 3;
    world_.SetMoveState(c.current);
    Access::UpdateState(strategy());
    EXPECT_EQ(world_.agent().GetCurrentMoveState(), c.next);
  }
}

TEST_F(StrategyZAMPTest, TheOwnNearestOpponentCountsWhenTheTeamHasNone) {
  world_.PlaceAgent(-0.5, 0.0, 0.0);
  world_.PlaceBall(0.0, 0.0);
  world_.PlaceEnemy(0, 1.0, 0.0);  // 1 m from the ball, seen now
  world_.Update();
  Access::Drribler(strategy()) = 2;
  world_.SetMoveState(DRRIBLE);
  Access::UpdateState(strategy());
  EXPECT_EQ(world_.agent().GetCurrentMoveState(), DRRIBLE);
}

TEST_F(StrategyZAMPTest, NobodyIsTheDrriblerWhenTheElectionNamesNobody) {
  // An agent whose uniform number is not set must not take "nobody" (0) for itself.
  world_.agent().SetUniformNumber(0);
  world_.PlaceAgent(-3.0, 0.0, 0.0);
  world_.Update();
  Access::Drribler(strategy()) = StrategyZAMP::NO_ONE_DRRIBLE;
  world_.SetMoveState(NOT_MOVE);
  Access::UpdateState(strategy());
  EXPECT_EQ(world_.agent().GetCurrentMoveState(), GOTO);
}

// The agent at (-3, 0) facing +x, nobody heard: the formation point is the centre spot.
TEST_F(StrategyZAMPTest, RunDecidesWalksAndLooksAtTheBall) {
  struct Case {
    const char* name;
    int drribler;
    V ball;
    MS next;
    double head;  // degrees
    bool with_walk;
  };
  const Case cases[] = {
      {"the dribbler walks to the ball", 2, {0, 0}, DRRIBLE, 0.0, true},
      {"another walks to its point 3 m ahead", 5, {-3, 2}, GOTO, 90.0, true},
      {"without a walk engine it only decides", 2, {0, 0}, DRRIBLE, 0.0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.with_walk) strategy().walk_.reset();
    world_.PlaceAgent(-3.0, 0.0, 0.0);
    world_.PlaceBall(c.ball.x(), c.ball.y());
    world_.Update();
    Access::Drribler(strategy()) = c.drribler;
    world_.SetMoveState(NOT_MOVE);
    walk().SettingSpeed(0.0, 0.5, 0.5);
    strategy().Run();
    EXPECT_EQ(world_.agent().GetCurrentMoveState(), c.next);
    EXPECT_TRUE(strategy().command_.empty());
    if (c.with_walk) {
      ExpectWalkTargets(1.0, 0.0, 0.0);
      EXPECT_DOUBLE_EQ(world_.joints().GetTargetDegree(HJ_HJ1), c.head);
    }
  }
}

// The strategy runs every cycle of the recorded games on the models those perceptions
// give, hearing the foreign say texts in them and its own messages echoed back as the
// server would echo them.
TEST(StrategyZAMPRecorded, RecordedGamesGiveFiniteWalkTargets) {
  struct Case {
    const char* file;
    const char* team;
    Eigen::Vector3d beam;
  };
  // clang-format off
  const Case cases[] = {
      {"perception/three_players_left_unum1.txt", "Alpha", {-2.0, 0.0, 0.0}},
      {"perception/three_players_right_unum1.txt", "Beta", {-2.0, 0.5, 0.0}},
      {"perception/before_kickoff_type0.txt", "Alpha", {-14.5, 0.0, 0.0}},
      {"perception/toes_type4.txt", "Alpha", {-3.0, 0.0, 0.0}},
      {"perception/ground_truth_sync_type0.txt", "Alpha", {-3.0, 1.0, 45.0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::string> lines = ReadFixtureLines(c.file);
    // Played as uniform number 2: a lone keeper's number hands the ball to nobody.
    ModelCycle cycle(c.team, 2);
    StrategyZAMP strategy;
    strategy.walk_ = std::make_shared<TabeWalk>();
    cycle.Start(lines.front(), c.beam);
    std::string said;
    int heard = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
      std::string message = lines[i];
      if (!said.empty()) message += PerceptionText().HearSelf(c.team, 0.0, said).Str();
      cycle.Step(message);
      strategy.UpdateHear();
      if (StrategyZAMPTestAccess::LatestHeard(strategy)->is_existence) ++heard;
      cycle.agent().SetCurrentBehavior(AgentState::BEH_MOVE);
      strategy.Run();
      strategy.command_.clear();
      said = strategy.MakeSay();
      const Walk& walk = *strategy.walk_;
      ASSERT_TRUE(std::isfinite(walk.GetVerticalSpeed()) && std::isfinite(walk.GetHorizonSpeed()) &&
                  std::isfinite(walk.GetRotationSpeed()))
          << "message " << i;
    }
    EXPECT_GT(heard, 0);
    // Alone in the records, it elects itself in play and nobody before kick-off.
    EXPECT_EQ(StrategyZAMPTestAccess::Drribler(strategy),
              cycle.world().GetPlayMode() == PM_PLAY_ON ? 2 : StrategyZAMP::NO_ONE_DRRIBLE);
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
