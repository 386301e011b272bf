#include "support/PerceptionText.h"

#include <charconv>

namespace zamp {
namespace test {

namespace {

const char* const JOINT_NAMES[HINGE_JOINT_NUM] = {
    "hj1",  "hj2",  "raj1", "raj2", "raj3", "raj4", "laj1", "laj2", "laj3", "laj4", "rlj1", "rlj2",
    "rlj3", "rlj4", "rlj5", "rlj6", "rlj7", "llj1", "llj2", "llj3", "llj4", "llj5", "llj6", "llj7"};

const char* const FORCE_RESISTANCE_NAMES[FORCE_RESISTANCE_NUM] = {"rf", "lf", "rf1", "lf1"};

const char* const VISIBLE_PART_NAMES[VISIBLE_PART_NUM] = {"head", "rlowerarm", "llowerarm", "rfoot",
                                                          "lfoot"};

std::string Vector(const Eigen::Vector3d& v) {
  return PerceptionText::Number(v.x()) + " " + PerceptionText::Number(v.y()) + " " +
         PerceptionText::Number(v.z());
}

std::string Pol(const Polar& p) {
  return "(pol " + PerceptionText::Number(p.distance) + " " + PerceptionText::Number(p.horizontal) +
         " " + PerceptionText::Number(p.vertical) + ")";
}

std::string Scores(double game_time, const std::string& play_mode, int score_left,
                   int score_right) {
  return "(sl " + std::to_string(score_left) + ") (sr " + std::to_string(score_right) + ") (t " +
         PerceptionText::Number(game_time) + ") (pm " + play_mode + "))";
}

}  // namespace

PerceptionText& PerceptionText::Time(double now) {
  elements_ += "(time (now " + Number(now) + "))";
  return *this;
}

PerceptionText& PerceptionText::GameState(double game_time, const std::string& play_mode,
                                          int score_left, int score_right) {
  elements_ += "(GS " + Scores(game_time, play_mode, score_left, score_right);
  return *this;
}

PerceptionText& PerceptionText::GameStateWithTeam(int unum, const std::string& side,
                                                  double game_time, const std::string& play_mode,
                                                  int score_left, int score_right) {
  elements_ += "(GS (unum " + std::to_string(unum) + ") (team " + side + ") " +
               Scores(game_time, play_mode, score_left, score_right);
  return *this;
}

PerceptionText& PerceptionText::Gyro(const Eigen::Vector3d& degree_speed) {
  elements_ += "(GYR (n torso) (rt " + Vector(degree_speed) + "))";
  return *this;
}

PerceptionText& PerceptionText::Accelerometer(const Eigen::Vector3d& acceleration) {
  elements_ += "(ACC (n torso) (a " + Vector(acceleration) + "))";
  return *this;
}

PerceptionText& PerceptionText::Joint(int joint_id, double degree) {
  elements_ += std::string("(HJ (n ") + JointName(joint_id) + ") (ax " + Number(degree) + "))";
  return *this;
}

PerceptionText& PerceptionText::Joints(const std::array<double, HINGE_JOINT_NUM>& degrees,
                                       bool with_toes) {
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) {
    if (!with_toes && (id == HJ_RLJ7 || id == HJ_LLJ7)) continue;
    Joint(id, degrees[id]);
  }
  return *this;
}

PerceptionText& PerceptionText::ForceResistance(int id, const Eigen::Vector3d& contact,
                                                const Eigen::Vector3d& force) {
  elements_ += std::string("(FRP (n ") + ForceResistanceName(id) + ") (c " + Vector(contact) +
               ") (f " + Vector(force) + "))";
  return *this;
}

PerceptionText& PerceptionText::Hear(const std::string& team, double time, double direction,
                                     const std::string& text) {
  elements_ += "(hear " + team + " " + Number(time) + " " + Number(direction) + " " + text + ")";
  return *this;
}

PerceptionText& PerceptionText::HearSelf(const std::string& team, double time,
                                         const std::string& text) {
  elements_ += "(hear " + team + " " + Number(time) + " self " + text + ")";
  return *this;
}

PerceptionText& PerceptionText::Element(const std::string& text) {
  elements_ += text;
  return *this;
}

PerceptionText& PerceptionText::See() { return AddSeen(""); }

PerceptionText& PerceptionText::Landmark(const std::string& name, const Polar& polar) {
  return AddSeen("(" + name + " " + Pol(polar) + ")");
}

PerceptionText& PerceptionText::Ball(const Polar& polar) { return Landmark("B", polar); }

PerceptionText& PerceptionText::Player(const std::string& team, int id,
                                       const std::vector<std::pair<int, Polar>>& parts) {
  std::string element = "(P (team " + team + ") (id " + std::to_string(id) + ")";
  for (const auto& part : parts) {
    element += std::string(" (") + VisiblePartName(part.first) + " " + Pol(part.second) + ")";
  }
  return AddSeen(element + ")");
}

PerceptionText& PerceptionText::Line(const Polar& begin, const Polar& end) {
  return AddSeen("(L " + Pol(begin) + " " + Pol(end) + ")");
}

PerceptionText& PerceptionText::GroundTruth(const Eigen::Vector3d& my_pos, double my_orien,
                                            const Eigen::Vector3d& ball_pos) {
  return AddSeen("(mypos " + Vector(my_pos) + ") (myorien " + Number(my_orien) + ") (ballpos " +
                 Vector(ball_pos) + ")");
}

std::string PerceptionText::Str() const {
  if (!has_see_) return elements_;
  std::string text = elements_;
  text.insert(see_position_, "(See" + seen_ + ")");
  return text;
}

const char* PerceptionText::JointName(int joint_id) { return JOINT_NAMES[joint_id]; }

const char* PerceptionText::ForceResistanceName(int id) { return FORCE_RESISTANCE_NAMES[id]; }

const char* PerceptionText::VisiblePartName(int part_id) { return VISIBLE_PART_NAMES[part_id]; }

std::string PerceptionText::Number(double value) {
  char buffer[512];
  const auto result =
      std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

PerceptionText& PerceptionText::AddSeen(const std::string& element) {
  if (!has_see_) {
    has_see_ = true;
    see_position_ = elements_.size();
  }
  if (!element.empty()) seen_ += " " + element;
  return *this;
}

}  // namespace test
}  // namespace zamp
