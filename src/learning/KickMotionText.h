// The generated kicks of the kick optimisation agents, as motion XML text: a fixed table of
// keyframes whose joint degrees and speeds are either fixed numbers or taken from the
// candidate under trial. Build writes the whole document on one line, each piece with its
// own indentation (8 blanks for a move, two tabs where the table says so), parameters as
// "%f" and fixed numbers exactly as the table holds them.
//
// LongKick: 60 parameters. p0 and p1 are the arm degrees (raj1, laj1) of "reset" and
// "left_fix"; p2 to p11 the leg degrees of "left_fix"; p12 + 8k to p19 + 8k the joint speeds
// (radians per second) of the k-th of the six "fire" keyframes. Degrees in degrees, fixed
// speeds of type 0 are gains.
//
// SingleProcessLongKick: 59 parameters. p0 to p4 are the leg degrees (llj1, rlj1, rlj3, rlj4,
// rlj5) of "left_fix"; p5 + 9k to p12 + 9k the joint speeds of the k-th of the six "fire"
// keyframes and p13 + 9k the degree its right ankle roll (rlj6) moves towards.
#pragma once

#include <Eigen/Core>
#include <string>
#include <vector>

namespace zamp {

class KickMotionText {
 public:
  // A number of the text: the fixed text when param is negative, else parameter param.
  struct Value {
    const char* fixed;
    int param;
  };
  struct Move {
    const char* id;
    Value degree;
    Value speed;
    const char* type;  // null: no type attribute
    bool tabs;         // indented by two tabs instead of 8 blanks
  };
  struct Keyframe {
    const char* name;
    int time;  // cycles
    std::vector<Move> moves;
  };

  // The keyframes of the kick tuned by the libcmaes-driven kick optimisers.
  static const std::vector<Keyframe>& LongKick();
  // The keyframes of the kick tuned by the kick optimiser with the built-in CMA-ES.
  static const std::vector<Keyframe>& SingleProcessLongKick();
  // How many parameters a table reads: one more than the highest index it names.
  static int ParamCount(const std::vector<Keyframe>& keyframes);
  // The motion text; params must hold ParamCount(keyframes) values.
  static std::string Build(const std::vector<Keyframe>& keyframes, const Eigen::VectorXd& params);
};

}  // namespace zamp
