// The motion practice agent: repeats one motion over and over so that a motion designer can
// watch and tune it. Practice types (--practice=):
//   any    a keyframe motion file, re-read before every repetition (default, with
//          xml/MotionXML/PushBall.xml);
//   back, prone  a stand-up, after which the robot throws itself down again;
//   kick   a kick, with robot and ball put back by the trainer for 30 cycles after each;
//   walk   straight walking, the robot put back by the trainer after falls.
// --motion-file=PATH plays that motion file instead (a stand-up or kick practice otherwise
// plays the built-in stand-up or the kick-off shot). A re-read file that
// cannot be read, as when it is saved half-written, leaves the motion as it was, with one
// warning naming the file.
#pragma once

#include <memory>
#include <string>

#include "learning/AgentWithTrainer.h"

namespace zamp {

class MotionSequence;
class MotionSequenceXML;
class Walk;

class AgentMotionPractice : public AgentWithTrainer {
 public:
  enum PracticeType {
    PRACTICE_STAND_UP_FROM_BACK = 0,
    PRACTICE_STAND_UP_FROM_PRONE = 1,
    PRACTICE_KICK = 2,
    PRACTICE_WALK = 3,
    PRACTICE_ANY = 4
  };

  static constexpr const char* DEFAULT_MOTION_FILE = "xml/MotionXML/PushBall.xml";

  AgentMotionPractice(int argc, char** argv);
  ~AgentMotionPractice() override;

  void Think() override;
  void ControlEffectorTrainer(EffectorTrainer& effector) override;
  void Ready();
  void ResetMotion();
  bool CheckFall();
  void PracticeStandUpFromBack();
  void PracticeStandUpFromProne();
  void PracticeKick();
  void PracticeWalk();
  void PracticeAny();

  PracticeType GetPracticeType() const { return practice_type_; }
  const MotionSequence& GetMotion() const { return *motion_; }
  // The practice type and motion file of the command line; unknown types print a notice
  // and give PRACTICE_ANY; the file is "" when not given.
  static PracticeType ReadPracticeType(int argc, char** argv);
  static std::string ReadMotionFile(int argc, char** argv);

 private:
  const int USE_READY_TIME = 30;  // cycles of kick set-up

  void PracticeStandUp(double ankle_speed);

  std::unique_ptr<MotionSequence> motion_;
  std::unique_ptr<Walk> walk_;
  PracticeType practice_type_;
  int ready_time_;            // cycles of the kick set-up
  double before_direction_;   // degrees, true heading of the previous walking cycle
  double rotation_value_;     // degrees turned while walking, counterclockwise positive
  bool reread_failed_ = false;  // the last re-read was refused (warned once)
};

}  // namespace zamp
