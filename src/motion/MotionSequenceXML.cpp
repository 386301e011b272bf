#include "motion/MotionSequenceXML.h"

#include <tinyxml2.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/const.h"

namespace zamp {

std::map<std::string, int> MotionSequenceXML::id_;

const char* const MotionSequenceXML::FORMAT_COMMENT = R"xml(<!--
  Motion XML.
  <sequence name="TEXT" refresh="TEXT">: the whole motion.
    name: name of the motion, free text.
    refresh: "true" lets the program re-read the file while it runs; any other value
      means the file is read once.
  <motion name="TEXT" time="INT">: one step, played in order.
    name: name of the step.
    time: length of the step in cycles of 0.02 s.
  <move id="JOINT" degree="REAL" speed="REAL" type="INT" start="INT" end="INT"/>:
    one joint command of the step.
    id: joint name (hj1, hj2, raj1 to raj4, laj1 to laj4, rlj1 to rlj7, llj1 to llj7).
    degree: target angle in degrees.
    speed: gain for type 0, joint speed for type 1 (default 0.05).
    type: 0: the speed depends on the present angle; 1: it does not, the joint turns
      at the given speed until it passes the target (default 0).
    start: first cycle of the step on which the move acts (default 0).
    end: first cycle of the step on which it no longer acts (default: the step's time).
  The attributes speed, start, end and type need not be written.
-->
)xml";

namespace {

// Why a motion could not be read; the public readers turn it into the end of the process,
// TryReroadFile into a refusal that keeps the motion read before.
struct ReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& origin, const std::string& what) {
  throw ReadError("cannot read " + origin + ": " + what);
}

// A motion that cannot be read leaves the agent without a stand-up or kick it relies on,
// so reading stops the process, in every build type, saying which file was at fault.
template <typename Read>
void ReadOrExit(const Read& read) {
  try {
    read();
  } catch (const ReadError& error) {
    std::cerr << error.what() << std::endl;
    std::exit(1);
  }
}

const char* RequiredAttribute(const tinyxml2::XMLElement& e, const char* attribute,
                              const std::string& origin) {
  const char* value = e.Attribute(attribute);
  if (value == nullptr) {
    Fail(origin, std::string("<") + e.Name() + "> on line " + std::to_string(e.GetLineNum()) +
                     " lacks the attribute \"" + attribute + "\"");
  }
  return value;
}

// A NaN or infinite target or gain would silence its joint for good, so it is refused here.
double ReadReal(const tinyxml2::XMLElement& e, const char* attribute, const char* text,
                const std::string& origin) {
  const double value = std::strtod(text, nullptr);
  if (!std::isfinite(value)) {
    Fail(origin, std::string("<") + e.Name() + "> on line " + std::to_string(e.GetLineNum()) +
                     " has the non-finite " + attribute + " \"" + text + "\"");
  }
  return value;
}

int ReadInt(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

MotionSequenceXML::MotionSequenceXML() : current_motion_(0), refresh_(false) { Init(); }

MotionSequenceXML::MotionSequenceXML(const std::string& file)
    : file_name_(file), current_motion_(0), refresh_(false) {
  Init();
  ReadFile(file);
}

MotionSequenceXML::~MotionSequenceXML() {}

void MotionSequenceXML::Init() {
  if (!id_.empty()) return;
  static const char* const kNames[HINGE_JOINT_NUM] = {
      "hj1",  "hj2",  "raj1", "raj2", "raj3", "raj4", "laj1", "laj2",
      "laj3", "laj4", "rlj1", "rlj2", "rlj3", "rlj4", "rlj5", "rlj6",
      "rlj7", "llj1", "llj2", "llj3", "llj4", "llj5", "llj6", "llj7"};
  for (int i = 0; i < HINGE_JOINT_NUM; ++i) id_[kNames[i]] = i;
}

void MotionSequenceXML::ReadFile(const std::string& file) {
  ReadOrExit([&] { LoadFile(file); });
}

void MotionSequenceXML::LoadFile(const std::string& file) {
  const std::string origin = "motion file \"" + file + "\"";
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  if (doc.LoadFile(file.c_str()) != tinyxml2::XML_SUCCESS) Fail(origin, doc.ErrorStr());
  ReadXML(doc, origin);
}

void MotionSequenceXML::ReadDirect(const std::string& text) {
  ReadOrExit([&] {
    const std::string origin = "motion text";
    tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
    if (doc.Parse(text.c_str(), text.size()) != tinyxml2::XML_SUCCESS) {
      Fail(origin, doc.ErrorStr());
    }
    ReadXML(doc, origin);
  });
}

void MotionSequenceXML::ReadXML(tinyxml2::XMLDocument& doc) {
  ReadOrExit([&] { ReadXML(doc, "motion document"); });
}

// Everything is read before anything is replaced, so a document that fails half-way leaves
// the motion as it was.
void MotionSequenceXML::ReadXML(tinyxml2::XMLDocument& doc, const std::string& origin) {
  const tinyxml2::XMLElement* root = doc.FirstChildElement("sequence");
  if (root == nullptr) Fail(origin, "no <sequence> root element");

  const std::string name = RequiredAttribute(*root, "name", origin);
  const bool refresh = std::strcmp(RequiredAttribute(*root, "refresh", origin), "true") == 0;
  std::vector<Motion> sequence;

  for (const tinyxml2::XMLElement* m = root->FirstChildElement("motion"); m != nullptr;
       m = m->NextSiblingElement("motion")) {
    Motion motion;
    motion.name = RequiredAttribute(*m, "name", origin);
    motion.end_time = ReadInt(RequiredAttribute(*m, "time", origin));
    motion.current_time = 0;
    for (const tinyxml2::XMLElement* e = m->FirstChildElement("move"); e != nullptr;
         e = e->NextSiblingElement("move")) {
      motion.parts.push_back(ReadMove(*e, motion.end_time, origin));
    }
    sequence.push_back(motion);
  }
  name_ = name;
  refresh_ = refresh;
  sequence_.swap(sequence);
  KeepCurrentMotionInRange();
}

MotionSequenceXML::Move MotionSequenceXML::ReadMove(const tinyxml2::XMLElement& e, int step_time,
                                                    const std::string& origin) {
  Move move;
  const char* joint = RequiredAttribute(e, "id", origin);
  const char* degree = RequiredAttribute(e, "degree", origin);

  // An unknown joint name drives hj1 and is remembered as such.
  move.id = id_[joint];
  move.degree = ReadReal(e, "degree", degree, origin);

  const char* speed = e.Attribute("speed");
  move.speed = speed != nullptr ? ReadReal(e, "speed", speed, origin) : 0.05;

  move.type = TYPE_RELATIVE_SPEED;
  if (const char* type = e.Attribute("type")) {
    const int value = ReadInt(type);
    if (value < MOVE_TYPE_NUM) move.type = static_cast<MoveType>(value);
  }

  const char* start = e.Attribute("start");
  move.start_time = start != nullptr ? ReadInt(start) : 0;
  const char* end = e.Attribute("end");
  move.end_time = end != nullptr ? ReadInt(end) : step_time;
  return move;
}

// A text read in the middle of a play may hold fewer steps than the one before it.
void MotionSequenceXML::KeepCurrentMotionInRange() {
  const int size = static_cast<int>(sequence_.size());
  if (current_motion_ >= size) current_motion_ = size - 1;
  if (current_motion_ < 0) current_motion_ = 0;
}

void MotionSequenceXML::ReroadFile() {
  if (!refresh_ || file_name_.empty()) return;
  ReadFile(file_name_);
  Reset();
}

bool MotionSequenceXML::TryReroadFile(std::string& error) {
  if (!refresh_ || file_name_.empty()) return true;
  try {
    LoadFile(file_name_);
  } catch (const ReadError& failure) {
    error = failure.what();
    return false;
  }
  Reset();
  return true;
}

void MotionSequenceXML::WriteXMLSourceCode(const char* out) {
  std::ifstream in(file_name_);
  std::ofstream os(out, std::ios::trunc);
  os << "string str;\n\n";
  std::string line;
  while (std::getline(in, line)) {
    os << "str += \"";
    for (char c : line) {
      if (c == '"') os << '\\';
      os << c;
    }
    os << "\";\n";
  }
}

void MotionSequenceXML::Run() {
  if (end_) return;
  if (sequence_.empty()) {
    end_ = true;
    return;
  }
  JointController& joints = *Singleton<JointController>::GetInstance();

  Motion& motion = sequence_[current_motion_];
  const int t = motion.current_time;
  for (const Move& move : motion.parts) {
    if (t < move.start_time || move.end_time <= t) continue;
    if (move.type == TYPE_RELATIVE_SPEED) {
      joints.SettingRelativeSpeed(move.id, move.degree, move.speed);
    } else if (move.type == TYPE_FIXED_SPEED) {
      joints.SettingFixedSpeed(move.id, move.degree, move.speed);
    }
  }

  motion.current_time = t + 1;
  if (motion.current_time < motion.end_time) return;
  motion.current_time = 0;
  ++current_motion_;
  if (current_motion_ >= static_cast<int>(sequence_.size())) {
    current_motion_ = static_cast<int>(sequence_.size()) - 1;
    end_ = true;
  }
}

void MotionSequenceXML::Reset() {
  for (Motion& motion : sequence_) motion.current_time = 0;
  current_motion_ = 0;
  end_ = false;
}

std::string MotionSequenceXML::GetCurrentMotionName() const {
  if (sequence_.empty()) return std::string();
  return sequence_[current_motion_].name;
}

}  // namespace zamp
