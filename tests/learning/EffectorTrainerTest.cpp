#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "learning/EffectorTrainer.h"

namespace zamp {
namespace {

TEST(EffectorTrainerTest, EachCommandHasTheServerText) {
  EffectorTrainer effector;
  effector.ball_coord_ = Eigen::Vector3d(2.0, 0.0, 0.042);
  effector.ball_speed_ = Eigen::Vector3d(-9.0, 0.5, 0.0);
  effector.kick_off_team_ = "Left";
  effector.play_mode_ = "PlayOn";
  effector.game_time_ = 120.0;
  effector.left_score_ = 2;
  effector.right_score_ = 3;
  effector.agent_set_[0] = {Eigen::Vector4d(-7.0, 2.0, 0.375, -90.0), true};

  const struct {
    EffectorTrainer::EffectorID id;
    const char* text;
  } cases[] = {
      {EffectorTrainer::BEAM_BALL,
       "(ball (pos 2.000000 0.000000 0.042000) (vel -9.000000 0.500000 0.000000))"},
      {EffectorTrainer::DROP_BALL, "(dropBall)"},
      {EffectorTrainer::KICK_OFF, "(kickOff Left)"},
      {EffectorTrainer::MOVE_AGENT,
       "(agent (unum 1) (team Left) (move -7.000000 2.000000 0.375000 -90.000000))"},
      {EffectorTrainer::PLAY_MODE, "(playMode PlayOn)"},
      {EffectorTrainer::KILL_SERVER, "(killsim)"},
      {EffectorTrainer::GAME_TIME, "(time 120.000000)"},
      {EffectorTrainer::SCORE, "(score (left 2) (right 3))"},
  };
  for (const auto& c : cases) {
    effector.SetEffectorTrainerUse(false, false, false, false, false, false, false, false);
    effector.SetEffectorUse(c.id, true);
    EXPECT_EQ(effector.Make(), c.text) << "slot " << c.id;
  }
}

TEST(EffectorTrainerTest, NothingEnabledOrNobodyToMoveMakesTheEmptyText) {
  EffectorTrainer effector;
  EXPECT_EQ(effector.Make(), "");
  effector.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
  effector.agent_set_[9].coord = Eigen::Vector4d(1.0, 2.0, 3.0, 4.0);
  EXPECT_EQ(effector.Make(), "");
}

TEST(EffectorTrainerTest, MovesFollowTheTableOfBothTeamsAfterTheBall) {
  EffectorTrainer effector;
  effector.SetEffectorTrainerUse(true, false, false, true, false, false, false, false);
  effector.agent_set_[21] = {Eigen::Vector4d(5.0, 0.0, 0.4, 180.0), true};
  effector.agent_set_[11] = {Eigen::Vector4d(1.0, -1.0, 0.4, 0.0), true};
  effector.agent_set_[9] = {Eigen::Vector4d(0.0, 5.0, 0.375, -90.0), true};
  const std::string expected =
      "(ball (pos 0.000000 0.000000 0.000000) (vel 0.000000 0.000000 0.000000))"
      "(agent (unum 10) (team Left) (move 0.000000 5.000000 0.375000 -90.000000))"
      "(agent (unum 1) (team Right) (move 1.000000 -1.000000 0.400000 0.000000))"
      "(agent (unum 11) (team Right) (move 5.000000 0.000000 0.400000 180.000000))";
  EXPECT_EQ(effector.Make(), expected);
  // Building the text changes nothing: the same commands go out every cycle.
  EXPECT_EQ(effector.Make(), expected);
}

TEST(EffectorTrainerTest, NumbersTheServerCannotReadAreSentAsZero) {
  EffectorTrainer effector;
  effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, true);
  effector.ball_coord_ = Eigen::Vector3d(std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity(), 1e300);
  const std::string text = effector.Make();
  EXPECT_EQ(text.rfind("(ball (pos 0.000000 0.000000 1", 0), 0u) << text;
  // The widest number is written whole, not cut off by a buffer.
  EXPECT_EQ(text.find(".000000) (vel"), text.size() - 42) << text;
  EXPECT_EQ(text.substr(text.size() - 33), "(vel 0.000000 0.000000 0.000000))");
}

}  // namespace
}  // namespace zamp
