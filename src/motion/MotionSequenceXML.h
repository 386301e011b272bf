// A keyframe motion read from a motion XML file or text: a sequence of named steps, each
// lasting a whole number of agent cycles (0.02 s) and holding joint commands. Run plays one
// cycle of the current step through the shared JointController; the agent calls it once
// per cycle after the model updates. Targets are joint angles in degrees; a gain is the
// factor of JointController::SettingRelativeSpeed, a fixed speed is in radians per second.
//
// The motion XML format (this is its only description; the built-in motions, the motion
// files under xml/MotionXML/ and the kick optimisers' generated motions all use it):
//
//   document  := sequence
//   sequence  := <sequence name=TEXT refresh=TEXT> motion* </sequence>
//   motion    := <motion name=TEXT time=INT> move* </motion>
//   move      := <move id=JOINT degree=REAL [speed=REAL] [type=INT] [start=INT] [end=INT]/>
//
//   sequence name     free name of the whole motion
//   sequence refresh  "true": ReroadFile may re-read the file; any other value: it may not
//   motion name       name of the step (the kick trials look for "fire")
//   motion time       length of the step in cycles; a step of 0 still takes one cycle,
//                     but its moves (ending at the step's time by default) send nothing
//   move id           joint name: hj1 hj2 raj1..raj4 laj1..laj4 rlj1..rlj7 llj1..llj7; an
//                     unknown name drives hj1
//   move degree       target angle, degrees
//   move speed        gain for type 0, joint speed (rad/s) for type 1; default 0.05
//   move type         0: speed proportional to the remaining angle (SettingRelativeSpeed);
//                     1: fixed speed until the target is passed (SettingFixedSpeed);
//                     2 or more counts as 0; a negative type silences the move; default 0
//   move start, end   the move is active on the step's cycles start <= t < end;
//                     defaults 0 and the step's time
//
// Numbers are read like strtod and base-10 strtol: text after the number is ignored. A
// motion without moves is a pause. Comments, text and other elements are skipped. Example,
// a two-step motion that bends the right knee for 10 cycles and then straightens it at a
// fixed speed for 5 cycles, the ankle following only in the last 2:
//
//   <sequence name="knee" refresh="true">
//     <motion name="bend" time="10">
//       <move id="rlj4" degree="-60.0" speed="0.1"/>
//     </motion>
//     <motion name="straighten" time="5">
//       <move id="rlj4" degree="0.0" speed="3.0" type="1"/>
//       <move id="rlj5" degree="0.0" start="3"/>
//     </motion>
//   </sequence>
//
// A file or text that cannot be read as such a document (missing file, XML error, no
// sequence root, a required attribute missing, a number that is not finite) ends the
// process with status 1 after one line on standard error naming the file: a motion the
// agent cannot play leaves it unable to stand up or kick.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "motion/MotionSequence.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

namespace zamp {

class MotionSequenceXML : public MotionSequence {
 public:
  // Any int is a valid value: negative types are kept and silence their move.
  enum MoveType : int { TYPE_RELATIVE_SPEED = 0, TYPE_FIXED_SPEED, MOVE_TYPE_NUM };

  // One joint command.
  struct Move {
    int id;          // HingeJointID
    MoveType type;   // how the joint is driven
    double degree;   // degrees, target angle
    double speed;    // gain (type 0) or rad/s (type 1)
    int start_time;  // cycles into the step, first active
    int end_time;    // cycles into the step, first inactive
  };

  // One step.
  struct Motion {
    std::vector<Move> parts;
    std::string name;
    int end_time;      // cycles, length of the step
    int current_time;  // cycles already played in this step
  };

  MotionSequenceXML();
  explicit MotionSequenceXML(const std::string& file);
  ~MotionSequenceXML() override;

  void Init();
  void ReadFile(const std::string& file);
  void ReadDirect(const std::string& text);
  void ReadXML(tinyxml2::XMLDocument& doc);
  void ReroadFile();
  // ReroadFile for a file that may be saved half-written while the agent runs: a file that
  // cannot be read leaves the motion as it was (not reset) and returns false with the reason
  // in error.
  bool TryReroadFile(std::string& error);
  // Writes the file the sequence came from as C++ statements appending its lines to a
  // std::string named str, for compiling a motion into the program.
  void WriteXMLSourceCode(const char* out);

  void Run() override;
  void Reset() override;

  // Name of the step being played; after the end, the name of the last step. Empty when
  // the sequence has no steps.
  std::string GetCurrentMotionName() const;
  const std::string& GetName() const { return name_; }
  const std::string& GetFileName() const { return file_name_; }
  const std::vector<Motion>& GetSequence() const { return sequence_; }
  int GetCurrentMotion() const { return current_motion_; }
  bool IsRefresh() const { return refresh_; }

 protected:
  // The format above as an XML comment, for the built-in texts to open with.
  static const char* const FORMAT_COMMENT;

  static std::map<std::string, int> id_;  // joint name to HingeJointID, shared

  std::vector<Motion> sequence_;
  std::string file_name_;
  std::string name_;
  int current_motion_;
  bool refresh_;

 private:
  void LoadFile(const std::string& file);
  void ReadXML(tinyxml2::XMLDocument& doc, const std::string& origin);
  Move ReadMove(const tinyxml2::XMLElement& e, int step_time, const std::string& origin);
  void KeepCurrentMotionInRange();
};

}  // namespace zamp
