#include "learning/KickMotionText.h"

#include <algorithm>

#include "core/FixedText.h"

namespace zamp {

namespace {

using Value = KickMotionText::Value;
using Move = KickMotionText::Move;
using Keyframe = KickMotionText::Keyframe;

Value Fixed(const char* text) { return Value{text, -1}; }
Value Param(int index) { return Value{nullptr, index}; }

// A relative move at the gain the kick's slow keyframes use.
Move Slow(const char* id, const char* degree, bool tabs = false) {
  return Move{id, Fixed(degree), Fixed("0.075"), nullptr, tabs};
}
Move SlowParam(const char* id, int param, bool tabs = false) {
  return Move{id, Param(param), Fixed("0.075"), nullptr, tabs};
}
Move Fix(const char* id, int param, bool tabs = false) {
  return Move{id, Param(param), Fixed("0.1"), nullptr, tabs};
}
Move Fire(const char* id, const char* degree, Value speed, bool tabs = false) {
  return Move{id, Fixed(degree), speed, "1", tabs};
}

std::vector<Keyframe> MakeLongKick() {
  std::vector<Keyframe> frames;
  frames.push_back({"reset", 25, {SlowParam("raj1", 0), Slow("raj2", "0.0"),  Slow("raj3", "0.0"),
                                  Slow("raj4", "0.0"),  SlowParam("laj1", 1), Slow("laj2", "0.0"),
                                  Slow("laj3", "0.0"),  Slow("laj4", "0.0"),  Slow("llj1", "0.0"),
                                  Slow("llj2", "0.0"),  Slow("llj3", "25.0"), Slow("llj4", "-50.0"),
                                  Slow("llj5", "25.0"), Slow("llj6", "0.0"),  Slow("rlj1", "0.0"),
                                  Slow("rlj2", "0.0"),  Slow("rlj3", "25.0"), Slow("rlj4", "-50.0"),
                                  Slow("rlj5", "25.0"), Slow("rlj6", "0.0")}});
  frames.push_back(
      {"stabilize",
       15,
       {Slow("llj2", "-11.0"), Slow("llj6", "11.0"), Slow("rlj2", "-11.0"), Slow("rlj6", "11.0")}});
  frames.push_back(
      {"left_up",
       15,
       {Slow("llj1", "0.0"), Slow("llj3", "10.0"), Slow("llj4", "0.0"), Slow("llj5", "0.0"),
        Slow("rlj1", "0.0"), Slow("rlj3", "50.0"), Slow("rlj4", "-70.0"), Slow("rlj5", "30.0")}});
  frames.push_back(
      {"left_up", 5, {Slow("rlj3", "-50.0"), Slow("rlj4", "-100.0"), Slow("rlj5", "60.0")}});
  frames.push_back(
      {"left_up", 5, {Slow("rlj3", "-50.0"), Slow("rlj4", "-100.0"), Slow("rlj5", "30.0")}});
  frames.push_back({"left_fix",
                    30,
                    {Fix("raj1", 0), Fix("laj1", 1), Fix("llj1", 2), Fix("llj3", 3), Fix("llj4", 4),
                     Fix("llj5", 5), Fix("rlj1", 6, true), Fix("rlj2", 7), Fix("rlj3", 8),
                     Fix("rlj4", 9), Fix("rlj5", 10), Fix("rlj6", 11)}});
  const int fire_times[] = {2, 2, 2, 2, 2, 6};
  for (int k = 0; k < 6; ++k) {
    const int b = 12 + 8 * k;
    frames.push_back(
        {"fire",
         fire_times[k],
         {Fire("raj1", "-90.0", Fixed("-6.0")), Fire("laj1", "-90.0", Fixed("-6.0")),
          Fire("llj1", "1.0", Param(b), true), Fire("llj3", "-25.0", Param(b + 1), true),
          Fire("llj4", "-130.0", Param(b + 2), true), Fire("llj5", "-45.0", Param(b + 3), true),
          Fire("rlj1", k == 5 ? "-10.0" : "1.0", Param(b + 4)), Fire("rlj3", "100.0", Param(b + 5)),
          Fire("rlj4", "1.0", Param(b + 6)), Fire("rlj5", "-45.0", Param(b + 7))}});
  }
  return frames;
}

std::vector<Keyframe> MakeSingleProcessLongKick() {
  std::vector<Keyframe> frames;
  frames.push_back(
      {"reset",
       25,
       {Slow("raj1", "-60.0"), Slow("raj2", "0.0"),   Slow("raj3", "0.0"),  Slow("raj4", "0.0"),
        Slow("laj1", "-60.0"), Slow("laj2", "0.0"),   Slow("laj3", "0.0"),  Slow("laj4", "0.0"),
        Slow("llj1", "0.0"),   Slow("llj2", "0.0"),   Slow("llj3", "25.0"), Slow("llj4", "-50.0"),
        Slow("llj5", "25.0"),  Slow("llj6", "0.0"),   Slow("rlj1", "0.0"),  Slow("rlj2", "0.0"),
        Slow("rlj3", "25.0"),  Slow("rlj4", "-50.0"), Slow("rlj5", "25.0"), Slow("rlj6", "0.0")}});
  frames.push_back(
      {"stabilize",
       15,
       {Slow("llj2", "-11.0"), Slow("llj6", "11.0"), Slow("rlj2", "-11.0"), Slow("rlj6", "11.0")}});
  frames.push_back(
      {"left_up",
       15,
       {Slow("llj1", "0.0"), Slow("llj3", "10.0"), Slow("llj4", "0.0"), Slow("llj5", "0.0"),
        Slow("rlj1", "0.0"), Slow("rlj3", "50.0"), Slow("rlj4", "-70.0"), Slow("rlj5", "30.0")}});
  frames.push_back(
      {"left_up", 5, {Slow("rlj3", "-50.0"), Slow("rlj4", "-70.0"), Slow("rlj5", "60.0")}});
  frames.push_back(
      {"left_fix",
       30,
       {SlowParam("llj1", 0), Slow("llj3", "0.0"), Slow("llj4", "0.0"), Slow("llj5", "0.0"),
        SlowParam("rlj1", 1, true), Slow("rlj2", "0.0"), SlowParam("rlj3", 2), SlowParam("rlj4", 3),
        SlowParam("rlj5", 4), Slow("rlj6", "0.0")}});
  const int fire_times[] = {2, 2, 2, 2, 2, 4};
  for (int k = 0; k < 6; ++k) {
    const int b = 5 + 9 * k;
    frames.push_back(
        {"fire",
         fire_times[k],
         {Fire("raj1", "-90.0", Fixed("-6.0")), Fire("laj1", "-90.0", Fixed("-6.0")),
          Fire("llj1", "1.0", Param(b), true), Fire("llj3", "-25.0", Param(b + 1), true),
          Fire("llj4", "-130.0", Param(b + 2), true), Fire("llj5", "-45.0", Param(b + 3), true),
          Fire("rlj1", "-10.0", Param(b + 4)), Fire("rlj3", "100.0", Param(b + 5)),
          Fire("rlj4", "110.266740", Param(b + 6)), Fire("rlj5", "-25.0", Param(b + 7)),
          Move{"rlj6", Param(b + 8), Fixed("0.075"), "0", true}}});
  }
  return frames;
}

// A non-finite parameter would make the text unreadable for the motion reader, which ends
// the process; written as 0 it keeps the trial going.
std::string Text(const Value& value, const Eigen::VectorXd& params) {
  return value.param < 0 ? value.fixed : FixedText(params[value.param]);
}

}  // namespace

const std::vector<Keyframe>& KickMotionText::LongKick() {
  static const std::vector<Keyframe> frames = MakeLongKick();
  return frames;
}

const std::vector<Keyframe>& KickMotionText::SingleProcessLongKick() {
  static const std::vector<Keyframe> frames = MakeSingleProcessLongKick();
  return frames;
}

int KickMotionText::ParamCount(const std::vector<Keyframe>& keyframes) {
  int count = 0;
  for (const Keyframe& frame : keyframes) {
    for (const Move& move : frame.moves) {
      count = std::max({count, move.degree.param + 1, move.speed.param + 1});
    }
  }
  return count;
}

std::string KickMotionText::Build(const std::vector<Keyframe>& keyframes,
                                  const Eigen::VectorXd& params) {
  std::string text = "<sequence name=\"test\" refresh=\"true\">";
  for (const Keyframe& frame : keyframes) {
    text += "    <motion name=\"" + std::string(frame.name) + "\" time=\"" +
            std::to_string(frame.time) + "\">";
    for (const Move& move : frame.moves) {
      text += move.tabs ? "\t\t" : "        ";
      text += "<move id=\"" + std::string(move.id) + "\" degree=\"" + Text(move.degree, params) +
              "\" speed=\"" + Text(move.speed, params) + "\"";
      if (move.type != nullptr) text += " type=\"" + std::string(move.type) + "\"";
      text += "/>";
    }
    text += "    </motion>";
  }
  text += "</sequence>";
  return text;
}

}  // namespace zamp
