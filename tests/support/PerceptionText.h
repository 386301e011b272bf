// Builds perception message texts in the server's vocabulary, so tests can feed the parser
// and the models synthetic cycles without hand-writing S-expressions. Values are written
// exactly (shortest round-trip decimal form), so what a test puts in is what the store
// reads back.
//
// Units as the server sends them: seconds, degrees, degrees per second, metres; vision in
// polar coordinates relative to the head.
//
//   std::string text = zamp::test::PerceptionText()
//                          .Time(12.5)
//                          .GameState(0.0, "PlayOn")
//                          .Joints(angles)
//                          .Landmark("F1L", {18.7, 53.7, -5.2})
//                          .Ball({1.9, 0.0, -58.1})
//                          .Str();
#pragma once

#include <Eigen/Core>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/const.h"

namespace zamp {
namespace test {

// A seen position: distance (m), horizontal angle (degrees), vertical angle (degrees).
struct Polar {
  double distance;
  double horizontal;
  double vertical;
};

class PerceptionText {
 public:
  // (time (now T))
  PerceptionText& Time(double now);
  // (GS (sl L) (sr R) (t T) (pm MODE)), as in every message after the first.
  PerceptionText& GameState(double game_time, const std::string& play_mode, int score_left = 0,
                            int score_right = 0);
  // (GS (unum N) (team SIDE) ...), as in the first message after init; side is "left" or
  // "right".
  PerceptionText& GameStateWithTeam(int unum, const std::string& side, double game_time,
                                    const std::string& play_mode, int score_left = 0,
                                    int score_right = 0);
  // (GYR (n torso) (rt X Y Z)), degrees per second.
  PerceptionText& Gyro(const Eigen::Vector3d& degree_speed);
  // (ACC (n torso) (a X Y Z)), m/s^2.
  PerceptionText& Accelerometer(const Eigen::Vector3d& acceleration);
  // (HJ (n NAME) (ax DEG)) for one joint by HingeJointID.
  PerceptionText& Joint(int joint_id, double degree);
  // One HJ per joint, indexed by HingeJointID: 22 joints, or all 24 with the toe joints
  // rlj7 and llj7 of robot type 4.
  PerceptionText& Joints(const std::array<double, HINGE_JOINT_NUM>& degrees,
                         bool with_toes = false);
  // (FRP (n NAME) (c X Y Z) (f X Y Z)) for a ForceResistanceID; contact point in metres
  // in the foot's frame, force in newtons.
  PerceptionText& ForceResistance(int id, const Eigen::Vector3d& contact,
                                  const Eigen::Vector3d& force);
  // (hear TEAM TIME DIRECTION TEXT): a team mate's or an opponent's message.
  PerceptionText& Hear(const std::string& team, double time, double direction,
                       const std::string& text);
  // (hear TEAM TIME self TEXT): the agent's own message echoed back.
  PerceptionText& HearSelf(const std::string& team, double time, const std::string& text);
  // Any element text, appended as it is.
  PerceptionText& Element(const std::string& text);

  // Vision. Every call below adds to one "See" element, placed where the first of them
  // was called; See() alone gives an empty vision element.
  PerceptionText& See();
  // A corner flag or goal post by server name: "F1L", "F2L", "F1R", "F2R", "G1L", ...
  PerceptionText& Landmark(const std::string& name, const Polar& polar);
  PerceptionText& Ball(const Polar& polar);
  // (P (team TEAM) (id ID) (head (pol ...)) ...), parts by VisiblePartID.
  PerceptionText& Player(const std::string& team, int id,
                         const std::vector<std::pair<int, Polar>>& parts);
  // (L (pol ...) (pol ...)): a field line by its two end points.
  PerceptionText& Line(const Polar& begin, const Polar& end);
  // (mypos X Y Z) (myorien DEG) (ballpos X Y Z): an instrumented server's ground truth.
  PerceptionText& GroundTruth(const Eigen::Vector3d& my_pos, double my_orien,
                              const Eigen::Vector3d& ball_pos);

  std::string Str() const;

  // The perceptor name of a joint ("hj1" ... "llj7") and of a force sensor ("rf", "lf",
  // "rf1", "lf1"); server part names ("head", "rlowerarm", ...).
  static const char* JointName(int joint_id);
  static const char* ForceResistanceName(int id);
  static const char* VisiblePartName(int part_id);
  // A number in the shortest decimal form that reads back exactly.
  static std::string Number(double value);

 private:
  PerceptionText& AddSeen(const std::string& element);

  std::string elements_;
  std::string seen_;
  bool has_see_ = false;
  size_t see_position_ = 0;
};

}  // namespace test
}  // namespace zamp
