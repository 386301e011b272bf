#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "motion/MotionSequenceDirect.h"

namespace zamp {
namespace {

// A step table that records which step ran on each cycle. Step 0 counts three cycles,
// step 1 jumps to the step in `jump_to_` on its second cycle, step 2 counts two cycles
// and jumps away on its first, step 3 waits for `release_`.
class RecordingMotion : public MotionSequenceDirect<RecordingMotion> {
 public:
  RecordingMotion() {
    motions_.push_back({&RecordingMotion::Count, 3, true});
    motions_.push_back({&RecordingMotion::Jump, 0, false});
    motions_.push_back({&RecordingMotion::JumpFromCounting, 2, true});
    motions_.push_back({&RecordingMotion::Wait, 0, false});
  }

  void Run() override { Play(*this); }

  std::string log_;
  int jump_to_ = 2;
  bool release_ = false;

 private:
  void Count() { log_ += 'c'; }
  void Jump() {
    log_ += 'j';
    if (++current_time_ >= 2) NextTo(jump_to_);
  }
  void JumpFromCounting() {
    log_ += 'k';
    NextTo(3);
  }
  void Wait() {
    log_ += 'w';
    if (release_) Next();
  }
};

class EmptyMotion : public MotionSequenceDirect<EmptyMotion> {
 public:
  void Run() override { Play(*this); }
};

TEST(MotionSequenceDirectTest, AutoStepsCountTheirCyclesAndManualStepsMoveThemselves) {
  RecordingMotion motion;
  for (int cycle = 0; cycle < 9; ++cycle) motion.Run();
  // The counting step of 2 cycles jumped on its first cycle; its own count still ran, so
  // the waiting step starts with its counter at 1.
  EXPECT_EQ("cccjjkwww", motion.log_);
  EXPECT_EQ(3, motion.GetCurrentMotion());
  EXPECT_EQ(1, motion.GetCurrentTime());
  EXPECT_FALSE(motion.IsEnd());

  motion.release_ = true;
  motion.Run();
  EXPECT_TRUE(motion.IsEnd());
  EXPECT_EQ(0, motion.GetCurrentMotion());

  motion.Run();
  EXPECT_EQ("cccjjkwwww", motion.log_);  // an ended motion runs no step
}

TEST(MotionSequenceDirectTest, JumpTargetsOutsideTheTableEndOrRestartAndResetReplays) {
  const struct {
    int jump_to;
    bool ends;
  } cases[] = {{4, true}, {99, true}, {-3, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.jump_to);
    RecordingMotion motion;
    motion.jump_to_ = c.jump_to;
    for (int cycle = 0; cycle < 5; ++cycle) motion.Run();
    EXPECT_EQ(c.ends, motion.IsEnd());
    EXPECT_EQ(0, motion.GetCurrentMotion());
    EXPECT_EQ(0, motion.GetCurrentTime());
    motion.Reset();
    EXPECT_FALSE(motion.IsEnd());
    motion.log_.clear();
    motion.Run();
    EXPECT_EQ("c", motion.log_);
  }
  EmptyMotion empty;
  empty.Run();
  EXPECT_TRUE(empty.IsEnd());
}

}  // namespace
}  // namespace zamp
