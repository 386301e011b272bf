#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/WorldState.h"
#include "play/ShareMessageZAMP.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"
#include "support/SyntheticScene.h"

namespace zamp {
namespace {

typedef ShareMessageZAMP Z;

// Uniform number 3's message of a known record.
const char* const kGolden = "SGz0KxQPQuzbK7nyX";

// A record that speaks: uniform number 1 has the slot at cycle 0.
Z::SayValues Speaker() {
  Z::SayValues say;
  say.server_cycle = 0;
  say.uniform_number = 1;
  return say;
}

class ShareMessageZAMPTest : public ::testing::Test {
 protected:
  // Encodes `say`, decodes the text and returns the 13 values.
  std::vector<double> RoundTrip(const Z::SayValues& say) {
    const std::string text = codec_.MakeFrom(say);
    EXPECT_EQ(17u, text.size());
    std::vector<double> values;
    EXPECT_TRUE(codec_.Decode(text, values)) << text;
    return values;
  }

  Z codec_;
};

TEST_F(ShareMessageZAMPTest, KnownRecordGivesGoldenText) {
  Z::SayValues say;
  say.server_cycle = 54300;  // 54300 % 44 = 4: uniform number 3's slot
  say.uniform_number = 3;
  say.ball_update_time = 1085.5;
  say.agent_coord = Eigen::Vector2d(-3.2, 4.5);
  say.ball_coord = Eigen::Vector2d(-1.0, 2.25);
  say.fall_direction = AgentState::FALL_NOT;
  say.ball_nearest_enemy_dist = 2.345;
  say.behavior = AgentState::BEH_MOVE;
  say.move_state = AgentState::MS_DRRIBLE;
  say.count_enemy_visible = 3;
  say.kick_target_coord = Eigen::Vector2d(15.0, 0.0);
  // Fields 54300, 54275, 430, 665, 481, 607, 0, 234, 2, 0, 3, 31, 16 packed least
  // significant bit first, six bits per character.
  EXPECT_EQ(kGolden, codec_.MakeFrom(say));
}

// The kept-text form writes the same message over whatever the text held, and empties it
// outside the agent's slot.
TEST_F(ShareMessageZAMPTest, MakeFromIntoReplacesTheTextWithMakeFromsMessage) {
  Z::SayValues say = Speaker();
  say.agent_coord = Eigen::Vector2d(-3.2, 4.5);
  std::string text = "an earlier text longer than any message";
  codec_.MakeFromInto(say, text);
  EXPECT_EQ(text, codec_.MakeFrom(say));
  say.server_cycle = 1;  // not uniform number 1's slot
  codec_.MakeFromInto(say, text);
  EXPECT_EQ(text, "");
}

TEST_F(ShareMessageZAMPTest, EveryFieldSurvivesARoundTripWithinItsQuantisation) {
  struct Case {
    const char* name;
    std::function<void(Z::SayValues&)> set;
    int field;
    double expected, tolerance;
  };
  const double half_step_x = 40.0 / 1023.0 / 2.0;
  const double half_step_y = 30.0 / 1023.0 / 2.0;
  const double half_step_ball_x = 34.0 / 1023.0 / 2.0;
  const double half_step_ball_y = 24.0 / 1023.0 / 2.0;
  // clang-format off
  const std::vector<Case> cases = {
      {"clock", [](Z::SayValues& s) { s.server_cycle = 44 * 1000; }, Z::SHARE_SERVER_TIME, 44000.0, 0.0},
      {"ball time", [](Z::SayValues& s) { s.ball_update_time = 812.34; }, Z::SHARE_BALL_PRIMARY, 40617.0, 0.0},
      {"agent x", [](Z::SayValues& s) { s.agent_coord.x() = 7.77; }, Z::SHARE_AGENT_X, 7.77, half_step_x},
      {"agent y", [](Z::SayValues& s) { s.agent_coord.y() = -8.31; }, Z::SHARE_AGENT_Y, -8.31, half_step_y},
      {"ball x", [](Z::SayValues& s) { s.ball_coord.x() = 14.9; }, Z::SHARE_BALL_X, 14.9, half_step_ball_x},
      {"ball y", [](Z::SayValues& s) { s.ball_coord.y() = -0.07; }, Z::SHARE_BALL_Y, -0.07, half_step_ball_y},
      {"fall", [](Z::SayValues& s) { s.fall_direction = AgentState::FALL_BACK; }, Z::SHARE_FALL, 1.0, 0.0},
      {"nearest enemy", [](Z::SayValues& s) { s.ball_nearest_enemy_dist = 3.217; }, Z::SHARE_BALL_NEAREST_ENEMY_DISTANCE, 321.0, 0.0},
      {"behaviour", [](Z::SayValues& s) { s.behavior = AgentState::BEH_OTHER; }, Z::SHARE_AGENT_BEHAVIOR, 5.0, 0.0},
      {"move state", [](Z::SayValues& s) { s.move_state = AgentState::MS_NOT_MOVE; }, Z::SHARE_AGENT_MOVE_STATE, 3.0, 0.0},
      {"enemies seen", [](Z::SayValues& s) { s.count_enemy_visible = 9; }, Z::SHARE_COUNT_ENEMY_VISIBLE, 9.0, 0.0},
      {"kick target x", [](Z::SayValues& s) { s.kick_target_coord.x() = 12.0; }, Z::SHARE_KICK_TARGET_X, 12.0, 15.0 / 31.0 / 2.0},
      {"kick target y", [](Z::SayValues& s) { s.kick_target_coord.y() = 4.0; }, Z::SHARE_KICK_TARGET_Y, 4.0, 20.0 / 31.0 / 2.0},
      // Out of range values are clamped first; a move state of 4 does not fit its two bits.
      {"agent x clamped", [](Z::SayValues& s) { s.agent_coord.x() = 25.0; }, Z::SHARE_AGENT_X, 20.0, 0.0},
      {"enemies clamped", [](Z::SayValues& s) { s.count_enemy_visible = 14; }, Z::SHARE_COUNT_ENEMY_VISIBLE, 10.0, 0.0},
      {"move state out of range", [](Z::SayValues& s) { s.move_state = AgentState::MOVE_STATE_NUM; }, Z::SHARE_AGENT_MOVE_STATE, 0.0, 0.0},
      // The ball time wraps with the clock: 65535 cycles are 0 again, 65560 are 25.
      {"ball time before the wrap", [](Z::SayValues& s) { s.ball_update_time = 1310.68; }, Z::SHARE_BALL_PRIMARY, 65534.0, 0.0},
      {"ball time at the wrap", [](Z::SayValues& s) { s.ball_update_time = 1310.7; }, Z::SHARE_BALL_PRIMARY, 0.0, 0.0},
      {"ball time after the wrap", [](Z::SayValues& s) { s.ball_update_time = 1311.2; }, Z::SHARE_BALL_PRIMARY, 25.0, 0.0},
  };
  // clang-format on
  for (const Case& c : cases) {
    Z::SayValues say = Speaker();
    c.set(say);
    const std::vector<double> values = RoundTrip(say);
    ASSERT_EQ(13u, values.size()) << c.name;
    EXPECT_NEAR(c.expected, values[c.field], c.tolerance + 1e-12) << c.name;
  }
}

TEST_F(ShareMessageZAMPTest, NonFiniteValuesGoOutAsTheFieldMinimum) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Z::SayValues say = Speaker();
  say.ball_update_time = inf;
  say.agent_coord = Eigen::Vector2d(nan, -inf);
  say.ball_coord = Eigen::Vector2d(inf, nan);
  say.ball_nearest_enemy_dist = nan;
  say.kick_target_coord = Eigen::Vector2d(nan, inf);
  const std::vector<double> values = RoundTrip(say);
  EXPECT_EQ(0.0, values[Z::SHARE_BALL_PRIMARY]);
  EXPECT_EQ(-20.0, values[Z::SHARE_AGENT_X]);
  EXPECT_EQ(-15.0, values[Z::SHARE_AGENT_Y]);
  EXPECT_EQ(-17.0, values[Z::SHARE_BALL_X]);
  EXPECT_EQ(-12.0, values[Z::SHARE_BALL_Y]);
  EXPECT_EQ(0.0, values[Z::SHARE_BALL_NEAREST_ENEMY_DISTANCE]);
  EXPECT_EQ(0.0, values[Z::SHARE_KICK_TARGET_X]);
  EXPECT_EQ(-10.0, values[Z::SHARE_KICK_TARGET_Y]);
}

TEST_F(ShareMessageZAMPTest, EachUniformNumberSpeaksOnlyAtItsOwnEvenResidueAndIsRecognised) {
  for (int unum = 1; unum <= 11; ++unum) {
    for (int base : {0, 44 * 1000}) {
      for (int residue = 0; residue < Z::SAY_AGENT_CYCLE; ++residue) {
        Z::SayValues say = Speaker();
        say.uniform_number = unum;
        say.server_cycle = base + residue;
        const bool speaks = !codec_.MakeFrom(say).empty();
        EXPECT_EQ(residue == 2 * unum - 2, speaks)
            << "unum " << unum << " cycle " << base + residue;
      }
    }
    // After 65535 cycles the slots shift, but the clock field the receiver reads shifts too.
    for (int cycle : {44 * 300 + 2 * unum - 2, 65535 + 2 * unum - 2}) {
      Z::SayValues say = Speaker();
      say.uniform_number = unum;
      say.server_cycle = cycle;
      const std::vector<double> values = RoundTrip(say);
      EXPECT_EQ(unum - 1, Z::GetRecordIndex(values)) << cycle;
    }
  }
}

TEST_F(ShareMessageZAMPTest, MalformedTextsAreNotHeard) {
  struct Case {
    const char* name;
    std::string text;
  };
  const std::string valid = kGolden;
  const std::vector<Case> cases = {
      {"empty", ""},
      {"16 characters", valid.substr(0, 16)},
      {"18 characters", valid + "0"},
      {"21 characters", valid + "0000"},
      {"foreign character", "SGz0KxQPQu-bK7nyX"},
      {"zero byte", std::string("SGz0KxQPQu\0bK7nyX", 17)},
      {"high byte",
       "SGz0KxQPQu\xe9"
       "bK7nyX"},
  };
  for (const Case& c : cases) {
    std::vector<double> values = {1.0, 2.0};
    EXPECT_FALSE(codec_.Decode(c.text, values)) << c.name;
    EXPECT_TRUE(values.empty()) << c.name;
  }
  // Clock residues from 22 on would name records 11 to 21, which do not exist. The clock
  // field's low six bits are the first character.
  for (int residue = 0; residue < Z::SAY_AGENT_CYCLE; ++residue) {
    std::string text(17, '0');
    text[0] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz*#"[residue];
    std::vector<double> values;
    EXPECT_EQ(residue / 2 <= 10, codec_.Decode(text, values)) << residue;
  }
}

TEST(ShareMessageZAMPReceiveTest, WithoutAStoreOrAFullSetOfValuesNothingIsHeard) {
  // Frees what an earlier test left behind; production never frees a shared instance.
  delete Singleton<RawStorage>::GetInstance();
  Singleton<RawStorage>::ResetForTest();
  Z codec;
  for (int hear_id : {int{HEAR_FRIEND}, int{HEAR_SELF}, -1, MAX_HEAR_MESSAGE_NUM}) {
    std::vector<double> values = {1.0};
    EXPECT_FALSE(codec.Receive(values, hear_id)) << hear_id;
    EXPECT_TRUE(values.empty()) << hear_id;
  }
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  Z::PutShareData(record, std::vector<double>(12, 1.0), 10.0);
  EXPECT_FALSE(record.is_existence);
  EXPECT_EQ(0, record.uniform_number);
  EXPECT_EQ(0.0, record.hear_direction);
}

// Make gathers its values from the shared models: one vision cycle of a known scene runs
// through the model stages, and the decoded message must report that scene.
TEST(ShareMessageZAMPModelTest, MessageCarriesWhatTheModelsHold) {
  test::ModelCycle cycle("Alpha", 3, test::ModelCycle::SIMPLE);
  cycle.Start(test::PerceptionText().Time(0.0).GameStateWithTeam(3, "left", 0.0, "PlayOn").Str(),
              Eigen::Vector3d(-1.0, 0.0, 0.0));
  // Vision at cycle 4 (uniform number 3's slot) from torso (-3, 2, 0.4) m facing 30
  // degrees: the ball at (1, -1) and one opponent's head at (2, 1).
  const test::SyntheticScene scene(Eigen::Vector3d(-3.0, 2.0, 0.4), 30.0,
                                   cycle.agent().GetBodyPart(BP_HEAD).global_transform);
  test::PerceptionText text;
  text.Time(0.08).GameState(0.0, "PlayOn").See();
  scene.AddLandmarks(text, true);
  text.Ball(scene.See(Eigen::Vector3d(1.0, -1.0, 0.04)));
  text.Player("Beta", 3, {{VISIBLE_PART_HEAD, scene.See(Eigen::Vector3d(2.0, 1.0, 0.5))}});
  cycle.Step(text.Str());
  ASSERT_EQ(4, cycle.world().GetServerCycle());
  cycle.agent().SetCurrentBehavior(AgentState::BEH_MOVE);
  cycle.agent().SetCurrentMoveState(AgentState::MS_DRRIBLE);
  Z codec;
  std::vector<double> v;
  ASSERT_TRUE(codec.Decode(codec.Make(), v));

  EXPECT_EQ(4.0, v[Z::SHARE_SERVER_TIME]);
  EXPECT_EQ(4.0, v[Z::SHARE_BALL_PRIMARY]);  // the ball was seen in this cycle
  EXPECT_NEAR(-3.0, v[Z::SHARE_AGENT_X], 40.0 / 1023.0 / 2.0);
  EXPECT_NEAR(1.0, v[Z::SHARE_BALL_X], 34.0 / 1023.0 / 2.0);
  EXPECT_EQ(std::trunc(cycle.info().GetBallNearestEnemyDistance() * 100.0),
            v[Z::SHARE_BALL_NEAREST_ENEMY_DISTANCE]);
  EXPECT_LT(v[Z::SHARE_BALL_NEAREST_ENEMY_DISTANCE], 1023.0);  // an opponent was seen
  EXPECT_EQ(2.0, v[Z::SHARE_AGENT_BEHAVIOR]);
  EXPECT_EQ(0.0, v[Z::SHARE_AGENT_MOVE_STATE]);
  // The one opponent seen in this cycle.
  EXPECT_EQ(1.0, v[Z::SHARE_COUNT_ENEMY_VISIBLE]);
}

TEST(ShareMessageZAMPModelTest, MakeBeforeTheModelsExistIsSilent) {
  delete Singleton<WorldState>::GetInstance();
  Singleton<WorldState>::ResetForTest();
  delete Singleton<AgentState>::GetInstance();
  Singleton<AgentState>::ResetForTest();
  delete Singleton<FieldState>::GetInstance();
  Singleton<FieldState>::ResetForTest();
  delete Singleton<StrategyInformation>::GetInstance();
  Singleton<StrategyInformation>::ResetForTest();
  Z codec;
  EXPECT_EQ("", codec.Make());
}

}  // namespace
}  // namespace zamp
