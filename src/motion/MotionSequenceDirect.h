// The step player of the motions written as code: a table of member functions of T, one
// called per agent cycle. A step either lasts a fixed number of cycles (auto-increment) or
// decides itself when to move on and where to jump with Next and NextTo. T is the kick that
// derives from this class; its Run calls Play. Like every motion it acts only through the
// shared JointController.
#pragma once

#include <vector>

#include "motion/MotionSequence.h"

namespace zamp {

template <typename T>
class MotionSequenceDirect : public MotionSequence {
 public:
  typedef void (T::*FuncMotion)();

  // One step of the table.
  struct Motion {
    FuncMotion Func;
    int end_time;  // cycles; counted only when is_auto_increment
    bool is_auto_increment;
  };

  MotionSequenceDirect() : current_motion_(0), current_time_(0) {}
  ~MotionSequenceDirect() override {}

  void Run() override = 0;
  void Reset() override {
    current_motion_ = 0;
    current_time_ = 0;
    end_ = false;
  }

  int GetCurrentMotion() const { return current_motion_; }
  int GetCurrentTime() const { return current_time_; }

 protected:
  // One cycle of the table: calls the current step's function and, when that step counts
  // its own cycles, moves on after end_time of them. The step whose function was called
  // is the one that counts, even when its function has jumped elsewhere.
  void Play(T& self) {
    if (end_) return;
    if (current_motion_ < 0 || current_motion_ >= static_cast<int>(motions_.size())) {
      end_ = true;
      return;
    }
    const Motion m = motions_[current_motion_];
    (self.*m.Func)();
    if (!m.is_auto_increment) return;
    ++current_time_;
    if (current_time_ >= m.end_time) Next();
  }

  void Next() {
    current_time_ = 0;
    ++current_motion_;
    EndWhenPastLast();
  }

  void NextTo(int k) {
    current_time_ = 0;
    current_motion_ = k < 0 ? 0 : k;
    EndWhenPastLast();
  }

  std::vector<Motion> motions_;
  int current_motion_;
  int current_time_;  // cycles into the current step

 private:
  void EndWhenPastLast() {
    if (current_motion_ < static_cast<int>(motions_.size())) return;
    current_motion_ = 0;
    end_ = true;
  }
};

}  // namespace zamp
