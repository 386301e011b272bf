// Interface of every whole-body motion that is played one step per agent cycle: the
// stand-ups, the kicks and the keeper's jumps. The match agent calls Run once per cycle,
// after all model updates, until IsEnd reports the end, and Reset before playing the motion
// again. A motion acts only through the shared JointController; it reads the models but
// never writes them.
#pragma once

namespace zamp {

class MotionSequence {
 public:
  MotionSequence() : end_(false) {}
  virtual ~MotionSequence();

  // One cycle of the motion; does nothing once the motion has ended.
  virtual void Run() = 0;
  // Rewinds the motion to its first step.
  virtual void Reset();
  virtual bool IsEnd() const { return end_; }

 protected:
  bool end_;
};

}  // namespace zamp
