// One cycle's perception in fixed, typed records, exactly as the server sent it: no unit
// conversion, no filtering, no frame change. The perception store (RawStorage) owns every
// instance; readers get const references. Flags (`hearing`, `landing`, `visible`) tell
// what arrived in the current cycle; every other value is the latest one received.
#pragma once

#include <Eigen/Core>
#include <string>

#include "core/const.h"

namespace zamp {
namespace raw {

// "time" (child "now").
struct ServerTime {
  double time = 0.0;  // s, the server's clock
};

// "GS".
struct GameState {
  int uniform_number = 0;   // "unum", sent only once after init
  std::string team;         // "team": "left" or "right", sent only once after init
  int score_left = 0;       // "sl"
  int score_right = 0;      // "sr"
  double time = 0.0;        // "t", s, the game clock
  std::string play_mode;    // "pm", the server's play-mode name
};

// "hear": TEAM TIME (self|DIRECTION) TEXT.
struct Hear {
  std::string team_name;
  double time = 0.0;       // s, game time stamp of the message
  double direction = 0.0;  // degrees; 0 for the own echo
  std::string message;
  bool hearing = false;    // a message of this kind arrived this cycle
};

// "GYR".
struct GyroRate {
  std::string body_name;
  Eigen::Vector3d degree_speed = Eigen::Vector3d::Zero();  // degrees/s about x, y, z
};

// "ACC". The field is called speed but holds the acceleration.
struct Accelerometer {
  std::string body_name;
  Eigen::Vector3d speed = Eigen::Vector3d::Zero();  // m/s^2
};

// "HJ".
struct HingeJoint {
  std::string body_name;        // perceptor name, such as "hj1"
  double current_degree = 0.0;  // degrees
};

// "FRP"; reported only while the foot touches the ground.
struct ForceResistance {
  std::string name;                                       // "rf", "lf", "rf1" or "lf1"
  Eigen::Vector3d local_coord = Eigen::Vector3d::Zero();  // m, in the foot's frame
  Eigen::Vector3d force_vect = Eigen::Vector3d::Zero();   // N
  bool landing = false;                                   // reported this cycle
};

struct See {
  bool visible = false;  // seen in this cycle's vision
};

// A seen landmark, ball, line end point or player part.
struct VisibleObject : See {
  // (distance m, horizontal degrees, vertical degrees) relative to the head.
  Eigen::Vector3d polar_coord = Eigen::Vector3d::Zero();
};

// "P": a seen player. Visible as soon as one of its parts was seen.
struct Player : See {
  std::string team_name;
  int id = 0;  // uniform number
  VisibleObject parts[VISIBLE_PART_NUM];
};

// Ground truth that only an instrumented server reports inside "See".
struct HiddenData {
  Eigen::Vector3d my_pos = Eigen::Vector3d::Zero();    // m, field frame ("mypos")
  Eigen::Vector3d ball_pos = Eigen::Vector3d::Zero();  // m, field frame ("ballpos")
  double my_orien = 0.0;                               // degrees ("myorien")
};

}  // namespace raw
}  // namespace zamp
