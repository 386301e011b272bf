// The learning agents' trainer command builder: once per cycle, after ControlEffectorTrainer,
// Make joins the enabled commands (ball placement, drop ball, kick-off, player moves, play
// mode, stop the server, game time, score) into the one text sent on the trainer link.
//
// Flags and values persist from cycle to cycle: a command is repeated with the same values
// until the agent switches it off. A non-finite number goes out as 0: a placement the server
// cannot read would leave the robot wherever the last trial put it. Positions in metres in the server's field frame, speeds in
// metres per second, directions in degrees (for the left team a move direction d makes the
// robot face d + 90 degrees), times in seconds.
#pragma once

#include <Eigen/Core>
#include <array>
#include <string>

#include "core/Effector.h"
#include "core/const.h"

namespace zamp {

class EffectorTrainer : public Effector<EffectorTrainer> {
 public:
  enum EffectorID {
    BEAM_BALL = 0,
    DROP_BALL = 1,
    KICK_OFF = 2,
    MOVE_AGENT = 3,
    PLAY_MODE = 4,
    KILL_SERVER = 5,
    GAME_TIME = 6,
    SCORE = 7,
    EFFECTOR_NUM = 8
  };

  // One player's move: entry i is uniform number i + 1 of "Left" for i < 11, uniform number
  // i - 10 of "Right" after that.
  struct AgentSet {
    Eigen::Vector4d coord = Eigen::Vector4d::Zero();  // x, y, z (m), direction (degrees)
    bool can_move = false;
  };

  EffectorTrainer();
  ~EffectorTrainer() override;

  std::string Make() override;

  void SetEffectorTrainerUse(bool beam_ball, bool drop_ball, bool kick_off, bool move_agent,
                             bool play_mode, bool kill_server, bool game_time, bool score);

  Eigen::Vector3d ball_coord_ = Eigen::Vector3d::Zero();  // m
  Eigen::Vector3d ball_speed_ = Eigen::Vector3d::Zero();  // m/s
  std::string kick_off_team_;
  std::array<AgentSet, MAX_AGENT_NUM> agent_set_;
  std::string play_mode_;
  double game_time_ = 0.0;  // s
  int left_score_ = 0;
  int right_score_ = 0;

 private:
  std::string MakeBeamBall();
  std::string MakeDropBall();
  std::string MakeKickOff();
  std::string MakeMoveAgent();
  std::string MakePlayMode();
  std::string MakeKillServer();
  std::string MakeGameTime();
  std::string MakeScore();
};

}  // namespace zamp
