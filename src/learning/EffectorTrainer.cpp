#include "learning/EffectorTrainer.h"

#include "core/FixedText.h"

namespace zamp {

EffectorTrainer::EffectorTrainer() {
  slots_.resize(EFFECTOR_NUM);
  slots_[BEAM_BALL] = Slot{&EffectorTrainer::MakeBeamBall, false};
  slots_[DROP_BALL] = Slot{&EffectorTrainer::MakeDropBall, false};
  slots_[KICK_OFF] = Slot{&EffectorTrainer::MakeKickOff, false};
  slots_[MOVE_AGENT] = Slot{&EffectorTrainer::MakeMoveAgent, false};
  slots_[PLAY_MODE] = Slot{&EffectorTrainer::MakePlayMode, false};
  slots_[KILL_SERVER] = Slot{&EffectorTrainer::MakeKillServer, false};
  slots_[GAME_TIME] = Slot{&EffectorTrainer::MakeGameTime, false};
  slots_[SCORE] = Slot{&EffectorTrainer::MakeScore, false};
}

EffectorTrainer::~EffectorTrainer() {}

std::string EffectorTrainer::Make() { return Effector<EffectorTrainer>::Make(this); }

void EffectorTrainer::SetEffectorTrainerUse(bool beam_ball, bool drop_ball, bool kick_off,
                                            bool move_agent, bool play_mode, bool kill_server,
                                            bool game_time, bool score) {
  SetEffectorUse(BEAM_BALL, beam_ball);
  SetEffectorUse(DROP_BALL, drop_ball);
  SetEffectorUse(KICK_OFF, kick_off);
  SetEffectorUse(MOVE_AGENT, move_agent);
  SetEffectorUse(PLAY_MODE, play_mode);
  SetEffectorUse(KILL_SERVER, kill_server);
  SetEffectorUse(GAME_TIME, game_time);
  SetEffectorUse(SCORE, score);
}

std::string EffectorTrainer::MakeBeamBall() {
  return "(ball (pos " + FixedText(ball_coord_.x()) + " " + FixedText(ball_coord_.y()) + " " +
         FixedText(ball_coord_.z()) + ") (vel " + FixedText(ball_speed_.x()) + " " +
         FixedText(ball_speed_.y()) + " " + FixedText(ball_speed_.z()) + "))";
}

std::string EffectorTrainer::MakeDropBall() { return "(dropBall)"; }

std::string EffectorTrainer::MakeKickOff() { return "(kickOff " + kick_off_team_ + ")"; }

std::string EffectorTrainer::MakeMoveAgent() {
  std::string text;
  for (int i = 0; i < MAX_AGENT_NUM; ++i) {
    const AgentSet& set = agent_set_[i];
    if (!set.can_move) continue;
    const bool left = i < MAX_TEAM_AGENT_NUM;
    const int unum = left ? i + 1 : i - MAX_TEAM_AGENT_NUM + 1;
    text += "(agent (unum " + std::to_string(unum) + ") (team " + (left ? "Left" : "Right") +
            ") (move " + FixedText(set.coord[0]) + " " + FixedText(set.coord[1]) + " " +
            FixedText(set.coord[2]) + " " + FixedText(set.coord[3]) + "))";
  }
  return text;
}

std::string EffectorTrainer::MakePlayMode() { return "(playMode " + play_mode_ + ")"; }

std::string EffectorTrainer::MakeKillServer() { return "(killsim)"; }

std::string EffectorTrainer::MakeGameTime() { return "(time " + FixedText(game_time_) + ")"; }

std::string EffectorTrainer::MakeScore() {
  return "(score (left " + std::to_string(left_score_) + ") (right " +
         std::to_string(right_score_) + "))";
}

}  // namespace zamp
