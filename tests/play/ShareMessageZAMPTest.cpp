#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/Parser.h"
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
  EXPECT_EQ("SGz0KxQPQuzbK7nyX", codec_.MakeFrom(say));
}

TEST_F(ShareMessageZAMPTest, AllFieldsAtMinimumGiveOnlyZeroCharacters) {
  Z::SayValues say = Speaker();
  say.agent_coord = Eigen::Vector2d(-20.0, -15.0);
  say.ball_coord = Eigen::Vector2d(-17.0, -12.0);
  say.behavior = AgentState::BEH_READY;
  say.move_state = AgentState::MS_DRRIBLE;
  say.kick_target_coord = Eigen::Vector2d(0.0, -10.0);
  EXPECT_EQ("00000000000000000", codec_.MakeFrom(say));
}

TEST_F(ShareMessageZAMPTest, EveryFieldSurvivesARoundTripWithinItsQuantisation) {
  struct Case {
    const char* name;
    std::function<void(Z::SayValues&)> set;
    int field;
    double expected;
    double tolerance;
  };
  const double half_step_x = 40.0 / 1023.0 / 2.0;
  const double half_step_y = 30.0 / 1023.0 / 2.0;
  const double half_step_ball_x = 34.0 / 1023.0 / 2.0;
  const double half_step_ball_y = 24.0 / 1023.0 / 2.0;
  const std::vector<Case> cases = {
      {"clock", [](Z::SayValues& s) { s.server_cycle = 44 * 1000; }, Z::SHARE_SERVER_TIME, 44000.0,
       0.0},
      {"ball time", [](Z::SayValues& s) { s.ball_update_time = 812.34; }, Z::SHARE_BALL_PRIMARY,
       40617.0, 0.0},
      {"agent x", [](Z::SayValues& s) { s.agent_coord.x() = 7.77; }, Z::SHARE_AGENT_X, 7.77,
       half_step_x},
      {"agent y", [](Z::SayValues& s) { s.agent_coord.y() = -8.31; }, Z::SHARE_AGENT_Y, -8.31,
       half_step_y},
      {"ball x", [](Z::SayValues& s) { s.ball_coord.x() = 14.9; }, Z::SHARE_BALL_X, 14.9,
       half_step_ball_x},
      {"ball y", [](Z::SayValues& s) { s.ball_coord.y() = -0.07; }, Z::SHARE_BALL_Y, -0.07,
       half_step_ball_y},
      {"fall", [](Z::SayValues& s) { s.fall_direction = AgentState::FALL_BACK; }, Z::SHARE_FALL,
       1.0, 0.0},
      {"nearest enemy", [](Z::SayValues& s) { s.ball_nearest_enemy_dist = 3.217; },
       Z::SHARE_BALL_NEAREST_ENEMY_DISTANCE, 321.0, 0.0},
      {"behaviour", [](Z::SayValues& s) { s.behavior = AgentState::BEH_OTHER; },
       Z::SHARE_AGENT_BEHAVIOR, 5.0, 0.0},
      {"move state", [](Z::SayValues& s) { s.move_state = AgentState::MS_NOT_MOVE; },
       Z::SHARE_AGENT_MOVE_STATE, 3.0, 0.0},
      {"enemies seen", [](Z::SayValues& s) { s.count_enemy_visible = 9; },
       Z::SHARE_COUNT_ENEMY_VISIBLE, 9.0, 0.0},
      {"kick target x", [](Z::SayValues& s) { s.kick_target_coord.x() = 12.0; },
       Z::SHARE_KICK_TARGET_X, 12.0, 15.0 / 31.0 / 2.0},
      {"kick target y", [](Z::SayValues& s) { s.kick_target_coord.y() = 4.0; },
       Z::SHARE_KICK_TARGET_Y, 4.0, 20.0 / 31.0 / 2.0},
  };
  for (const Case& c : cases) {
    Z::SayValues say = Speaker();
    c.set(say);
    const std::vector<double> values = RoundTrip(say);
    ASSERT_EQ(13u, values.size()) << c.name;
    EXPECT_NEAR(c.expected, values[c.field], c.tolerance + 1e-12) << c.name;
  }
}

TEST_F(ShareMessageZAMPTest, QuantisationMatchesHandWorkedValues) {
  struct Case {
    std::function<void(Z::SayValues&)> set;
    int field;
    double decoded;
  };
  const std::vector<Case> cases = {
      // 20 m is the top code 1023.
      {[](Z::SayValues& s) { s.agent_coord.x() = 20.0; }, Z::SHARE_AGENT_X, 20.0},
      // 0 m: 511.5 + 0.5 = 512, decoded 512 / 1023 x 40 - 20.
      {[](Z::SayValues& s) { s.agent_coord.x() = 0.0; }, Z::SHARE_AGENT_X, 0.0195503},
      // -3 m: 10.85 + 0.5 truncated to 11, decoded 11 / 31 x 20 - 10.
      {[](Z::SayValues& s) { s.kick_target_coord.y() = -3.0; }, Z::SHARE_KICK_TARGET_Y, -2.9032258},
      // Out of range values are clamped first.
      {[](Z::SayValues& s) { s.agent_coord.x() = 25.0; }, Z::SHARE_AGENT_X, 20.0},
      {[](Z::SayValues& s) { s.count_enemy_visible = 14; }, Z::SHARE_COUNT_ENEMY_VISIBLE, 10.0},
      // A move state of 4 does not fit its two bits.
      {[](Z::SayValues& s) { s.move_state = AgentState::MOVE_STATE_NUM; },
       Z::SHARE_AGENT_MOVE_STATE, 0.0},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Z::SayValues say = Speaker();
    cases[i].set(say);
    EXPECT_NEAR(cases[i].decoded, RoundTrip(say)[cases[i].field], 1e-6) << "case " << i;
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

TEST_F(ShareMessageZAMPTest, BallTimeWrapsWithTheClock) {
  struct Case {
    double ball_time;  // s
    double field;
  };
  const Case cases[] = {
      {1310.0, 65500.0},  // before the wrap: the plain cycle count
      {1310.68, 65534.0},
      {1310.7, 0.0},   // 65535 cycles wrap to 0, as the clock field does
      {1311.2, 25.0},  // 65560 cycles
  };
  for (const Case& c : cases) {
    Z::SayValues say = Speaker();
    say.ball_update_time = c.ball_time;
    EXPECT_EQ(c.field, RoundTrip(say)[Z::SHARE_BALL_PRIMARY]) << c.ball_time;
  }
}

TEST_F(ShareMessageZAMPTest, EachUniformNumberSpeaksOnlyAtItsOwnEvenResidue) {
  for (int unum = 1; unum <= 11; ++unum) {
    for (int base : {0, 44 * 7, 44 * 1000}) {
      for (int residue = 0; residue < Z::SAY_AGENT_CYCLE; ++residue) {
        Z::SayValues say = Speaker();
        say.uniform_number = unum;
        say.server_cycle = base + residue;
        const bool speaks = !codec_.MakeFrom(say).empty();
        EXPECT_EQ(residue == 2 * unum - 2, speaks)
            << "unum " << unum << " cycle " << base + residue;
      }
    }
  }
}

TEST_F(ShareMessageZAMPTest, ReceiverRecoversTheSpeakersUniformNumber) {
  for (int unum = 1; unum <= 11; ++unum) {
    Z::SayValues say = Speaker();
    say.uniform_number = unum;
    say.server_cycle = 44 * 300 + 2 * unum - 2;
    const std::vector<double> values = RoundTrip(say);
    EXPECT_EQ(unum - 1, Z::GetRecordIndex(values));
    Z::ShareDataZAMP record;
    Z::InitShareData(record);
    Z::PutShareData(record, values, 0.0);
    EXPECT_EQ(unum, record.uniform_number);
  }
}

TEST_F(ShareMessageZAMPTest, ClockWrapKeepsTheSpeakerRecoverable) {
  // After 65535 cycles the slots shift, but the clock field the receiver reads shifts too.
  const int cycle = 65535 + 20;  // clock field 20: uniform number 11
  Z::SayValues say = Speaker();
  say.uniform_number = 11;
  say.server_cycle = cycle;
  const std::vector<double> values = RoundTrip(say);
  EXPECT_EQ(20.0, values[Z::SHARE_SERVER_TIME]);
  EXPECT_EQ(10, Z::GetRecordIndex(values));
}

TEST_F(ShareMessageZAMPTest, MalformedTextsAreNotHeard) {
  const std::string valid = "SGz0KxQPQuzbK7nyX";
  std::vector<double> probe;
  ASSERT_TRUE(codec_.Decode(valid, probe));
  struct Case {
    const char* name;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"empty", ""},
      {"16 characters", valid.substr(0, 16)},
      {"18 characters", valid + "0"},
      {"21 characters", valid + "0000"},
      {"foreign character", "SGz0KxQPQu-bK7nyX"},
      {"space", "SGz0KxQPQu bK7nyX"},
      {"zero byte", std::string("SGz0KxQPQu\0bK7nyX", 17)},
      {"high byte",
       "SGz0KxQPQu\xe9"
       "bK7nyX"},
      // Clock field 22: an odd-half residue that names no uniform number.
      {"clock names no mate", "M0000000000000000"},
  };
  for (const Case& c : cases) {
    std::vector<double> values = {1.0, 2.0};
    EXPECT_FALSE(codec_.Decode(c.text, values)) << c.name;
    EXPECT_TRUE(values.empty()) << c.name;
  }
}

TEST_F(ShareMessageZAMPTest, EveryClockResidueBeyondTheEleventhMateIsRejected) {
  for (int residue = 0; residue < Z::SAY_AGENT_CYCLE; ++residue) {
    // The clock field's low six bits are the first character.
    std::string text(17, '0');
    text[0] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz*#"[residue];
    std::vector<double> values;
    EXPECT_EQ(residue / 2 <= 10, codec_.Decode(text, values)) << residue;
  }
}

TEST_F(ShareMessageZAMPTest, InitShareDataResetsEveryMember) {
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  EXPECT_EQ(0, record.uniform_number);
  EXPECT_EQ(0.0, record.server_time);
  EXPECT_EQ(0.0, record.ball_primary);
  EXPECT_EQ(Eigen::Vector2d(9999.9, 9999.9), record.agent_coord);
  EXPECT_EQ(Eigen::Vector2d(0.0, 0.0), record.ball_coord);
  EXPECT_EQ(9999.9, record.ball_distance);
  EXPECT_EQ(0.0, record.drrible_primary);
  EXPECT_FALSE(record.has_fall);
  EXPECT_EQ(9999.9, record.ball_nearest_enemy_dist);
  EXPECT_EQ(AgentState::BEH_READY, record.behavior);
  EXPECT_EQ(AgentState::MS_GOTO_POSITION, record.move_state);
  EXPECT_EQ(0, record.enemy_visible_count);
  EXPECT_EQ(Eigen::Vector2d(0.0, 0.0), record.kick_target_coord);
  EXPECT_FALSE(record.is_existence);
  EXPECT_EQ(0.0, record.hear_direction);
}

TEST_F(ShareMessageZAMPTest, PutShareDataConvertsDecodedValuesIntoARecord) {
  // Clock 44 * 100 + 4 (uniform number 3), ball seen at cycle 4350.
  const std::vector<double> values = {4404.0, 4350.0, -3.2, 4.5, -1.0, 2.25, 1.0,
                                      234.0,  3.0,    2.0,  5.0, 11.6, -2.9};
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  record.drrible_primary = 0.7;
  Z::PutShareData(record, values, -35.5);
  EXPECT_EQ(3, record.uniform_number);
  EXPECT_NEAR(88.08, record.server_time, 1e-9);
  EXPECT_NEAR(87.0, record.ball_primary, 1e-9);
  EXPECT_EQ(Eigen::Vector2d(-3.2, 4.5), record.agent_coord);
  EXPECT_EQ(Eigen::Vector2d(-1.0, 2.25), record.ball_coord);
  EXPECT_EQ(9999.9, record.ball_distance);
  EXPECT_EQ(0.7, record.drrible_primary);
  EXPECT_TRUE(record.has_fall);
  EXPECT_NEAR(2.34, record.ball_nearest_enemy_dist, 1e-12);
  EXPECT_EQ(AgentState::BEH_KICK, record.behavior);
  EXPECT_EQ(AgentState::MS_ADJUST_KICK, record.move_state);
  EXPECT_EQ(5, record.enemy_visible_count);
  // Whole metres, truncated toward zero.
  EXPECT_EQ(Eigen::Vector2d(11.0, -2.0), record.kick_target_coord);
  EXPECT_TRUE(record.is_existence);
  EXPECT_EQ(-35.5, record.hear_direction);
}

TEST_F(ShareMessageZAMPTest, KickTargetTravelsAsWholeMetres) {
  Z::SayValues say = Speaker();
  say.kick_target_coord = Eigen::Vector2d(15.0, -3.0);
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  Z::PutShareData(record, RoundTrip(say), 0.0);
  EXPECT_EQ(Eigen::Vector2d(15.0, -2.0), record.kick_target_coord);
}

TEST_F(ShareMessageZAMPTest, TooFewValuesLeaveTheRecordUnchanged) {
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  Z::PutShareData(record, std::vector<double>(12, 1.0), 10.0);
  EXPECT_FALSE(record.is_existence);
  EXPECT_EQ(0, record.uniform_number);
  EXPECT_EQ(0.0, record.hear_direction);
}

TEST_F(ShareMessageZAMPTest, ReceiveWithoutAPerceptionStoreHearsNothing) {
  // Frees what an earlier test left behind; production never frees a shared instance.
  delete Singleton<RawStorage>::GetInstance();
  Singleton<RawStorage>::ResetForTest();
  for (int hear_id :
       {int{HEAR_FRIEND}, int{HEAR_ENEMY}, int{HEAR_SELF}, -1, MAX_HEAR_MESSAGE_NUM}) {
    std::vector<double> values = {1.0};
    EXPECT_FALSE(codec_.Receive(values, hear_id)) << hear_id;
    EXPECT_TRUE(values.empty()) << hear_id;
  }
}

// Receive and PutShareData over a real perception store: the agent's first three stages
// run on a perception text; the own team is "Alpha".
class ShareMessageZAMPHearTest : public ::testing::Test {
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
    // Frees what an earlier test left behind; production never frees a shared instance.
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

  static test::PerceptionText Cycle() { return test::PerceptionText().Time(100.0); }

  // Uniform number 3's message of the golden-text test.
  const std::string text_ = "SGz0KxQPQuzbK7nyX";
  Z codec_;
};

TEST_F(ShareMessageZAMPHearTest, MateMessageHeardThisCycleFillsItsRecord) {
  Feed(Cycle().Hear("Alpha", 90.0, 154.85, text_).Str());
  std::vector<double> values;
  ASSERT_TRUE(codec_.Receive(values, HEAR_FRIEND));
  ASSERT_EQ(13u, values.size());
  EXPECT_EQ(54300.0, values[Z::SHARE_SERVER_TIME]);
  EXPECT_FALSE(codec_.Receive(values, HEAR_SELF));
  EXPECT_FALSE(codec_.Receive(values, HEAR_ENEMY));

  ASSERT_TRUE(codec_.Receive(values, HEAR_FRIEND));
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  Z::PutShareData(record, values);
  EXPECT_EQ(3, record.uniform_number);
  EXPECT_EQ(154.85, record.hear_direction);
  EXPECT_NEAR(-3.2, record.agent_coord.x(), 40.0 / 1023.0 / 2.0);
}

TEST_F(ShareMessageZAMPHearTest, OwnEchoIsHeardFromNoDirection) {
  Feed(Cycle().HearSelf("Alpha", 90.0, text_).Str());
  std::vector<double> values;
  EXPECT_FALSE(codec_.Receive(values, HEAR_FRIEND));
  ASSERT_TRUE(codec_.Receive(values, HEAR_SELF));
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  record.hear_direction = 77.0;
  Z::PutShareData(record, values);
  EXPECT_EQ(0.0, record.hear_direction);
}

TEST_F(ShareMessageZAMPHearTest, MessageOfAnEarlierCycleIsNotHeardAgain) {
  Feed(Cycle().Hear("Alpha", 90.0, 10.0, text_).Str());
  Feed(Cycle().Str());
  std::vector<double> values;
  EXPECT_FALSE(codec_.Receive(values, HEAR_FRIEND));
  EXPECT_TRUE(values.empty());
}

TEST_F(ShareMessageZAMPHearTest, MalformedHearElementsAreNotHeard) {
  const std::vector<std::string> elements = {
      "(hear Alpha 3.00 self)",                        // only three data words
      "(hear Alpha 3.00 40.0)",                        // only three data words, from a mate
      "(hear Alpha 3.00 40.0 SGz0KxQPQuzbK7ny)",       // 16 characters
      "(hear Alpha 3.00 40.0 SGz0KxQPQuzbK7nyX0000)",  // 21 characters
      "(hear Alpha 3.00 40.0 SGz0KxQPQuz.K7nyX)",      // foreign character
  };
  for (const std::string& element : elements) {
    Feed(Cycle().Element(element).Str());
    // The store did take the element; it is the codec that refuses it.
    const RawStorage& store = *Singleton<RawStorage>::GetInstance();
    EXPECT_TRUE(store.GetHear(HEAR_FRIEND).hearing || store.GetHear(HEAR_SELF).hearing) << element;
    std::vector<double> values;
    EXPECT_FALSE(codec_.Receive(values, HEAR_FRIEND)) << element;
    EXPECT_FALSE(codec_.Receive(values, HEAR_SELF)) << element;
    EXPECT_TRUE(values.empty()) << element;
  }
}

// Make gathers its values from the shared models: one vision cycle of a known scene runs
// through the model stages, and the decoded message must report that scene.
class ShareMessageZAMPModelTest : public ::testing::Test {
 protected:
  ShareMessageZAMPModelTest() : cycle_("Alpha", 3, test::ModelCycle::SIMPLE) {
    cycle_.Start(test::PerceptionText().Time(0.0).GameStateWithTeam(3, "left", 0.0, "PlayOn").Str(),
                 Eigen::Vector3d(-1.0, 0.0, 0.0));
  }

  // Vision of the scene from torso (-3, 2, 0.4) m facing 30 degrees: the ball at (1, -1) and
  // one opponent's head at (2, 1).
  void SeeSceneAt(double time) {
    const test::SyntheticScene scene(Eigen::Vector3d(-3.0, 2.0, 0.4), 30.0,
                                     cycle_.agent().GetBodyPart(BP_HEAD).global_transform);
    test::PerceptionText text;
    text.Time(time).GameState(0.0, "PlayOn").See();
    scene.AddLandmarks(text, true);
    text.Ball(scene.See(Eigen::Vector3d(1.0, -1.0, 0.04)));
    text.Player("Beta", 3, {{VISIBLE_PART_HEAD, scene.See(Eigen::Vector3d(2.0, 1.0, 0.5))}});
    cycle_.Step(text.Str());
  }

  test::ModelCycle cycle_;
  Z codec_;
};

TEST_F(ShareMessageZAMPModelTest, MessageCarriesWhatTheModelsHold) {
  SeeSceneAt(0.08);  // cycle 4: uniform number 3's slot
  ASSERT_EQ(4, cycle_.world().GetServerCycle());
  cycle_.agent().SetCurrentBehavior(AgentState::BEH_MOVE);
  cycle_.agent().SetCurrentMoveState(AgentState::MS_DRRIBLE);
  const std::string text = codec_.Make();
  std::vector<double> v;
  ASSERT_TRUE(codec_.Decode(text, v)) << text;

  EXPECT_EQ(4.0, v[Z::SHARE_SERVER_TIME]);
  EXPECT_EQ(4.0, v[Z::SHARE_BALL_PRIMARY]);  // the ball was seen in this cycle
  EXPECT_NEAR(-3.0, v[Z::SHARE_AGENT_X], 40.0 / 1023.0 / 2.0);
  EXPECT_NEAR(2.0, v[Z::SHARE_AGENT_Y], 30.0 / 1023.0 / 2.0);
  EXPECT_NEAR(1.0, v[Z::SHARE_BALL_X], 34.0 / 1023.0 / 2.0);
  EXPECT_NEAR(-1.0, v[Z::SHARE_BALL_Y], 24.0 / 1023.0 / 2.0);
  EXPECT_EQ(cycle_.agent().GetFallDirection() != AgentState::FALL_NOT ? 1.0 : 0.0,
            v[Z::SHARE_FALL]);
  EXPECT_EQ(std::trunc(cycle_.info().GetBallNearestEnemyDistance() * 100.0),
            v[Z::SHARE_BALL_NEAREST_ENEMY_DISTANCE]);
  EXPECT_LT(v[Z::SHARE_BALL_NEAREST_ENEMY_DISTANCE], 1023.0);  // an opponent was seen
  EXPECT_EQ(2.0, v[Z::SHARE_AGENT_BEHAVIOR]);
  EXPECT_EQ(0.0, v[Z::SHARE_AGENT_MOVE_STATE]);
  // The simple field model counts every opponent slot as seen in a vision cycle: 11, sent
  // as the field's maximum.
  EXPECT_EQ(11, cycle_.info().GetCountEnemyVisible());
  EXPECT_EQ(10.0, v[Z::SHARE_COUNT_ENEMY_VISIBLE]);
  const Eigen::Vector2d& target = cycle_.info().GetKickTargetCoord();
  EXPECT_NEAR(std::min(std::max(target.x(), 0.0), 15.0), v[Z::SHARE_KICK_TARGET_X],
              15.0 / 31.0 / 2.0 + 1e-9);
  EXPECT_NEAR(std::min(std::max(target.y(), -10.0), 10.0), v[Z::SHARE_KICK_TARGET_Y],
              20.0 / 31.0 / 2.0 + 1e-9);
}

TEST_F(ShareMessageZAMPModelTest, SilentOutsideTheOwnSlot) {
  SeeSceneAt(0.10);  // cycle 5
  EXPECT_EQ("", codec_.Make());
}

TEST(ShareMessageZAMPNoModelTest, MakeBeforeTheModelsExistIsSilent) {
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
