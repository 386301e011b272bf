#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "learning/KickMotionText.h"
#include "motion/MotionSequenceXML.h"
#include "support/ClosedLoop.h"
#include "support/Fixtures.h"

namespace zamp {
namespace {

using Keyframes = std::vector<KickMotionText::Keyframe>;

// p_i = (i - 30) / 8: every parameter distinct and exact in "%f".
Eigen::VectorXd Ramp(int n) {
  Eigen::VectorXd p(n);
  for (int i = 0; i < n; ++i) p[i] = (i - 30) / 8.0;
  return p;
}

const struct KickCase {
  const char* name;
  const Keyframes& (*keyframes)();
  int params;
  const char* golden;  // written once, independently, from the keyframe table
  size_t steps;
  int cycles;       // played to the end
  int fire_cycles;  // at least
} KICKS[] = {
    // 25 + 15 + 15 + 5 + 5 + 30 cycles of wind-up, then 5 x 2 + 6 of "fire".
    {"long kick", &KickMotionText::LongKick, 60, "learning/long_kick_text.xml", 12, 111, 15},
    // 25 + 15 + 15 + 5 + 30 cycles of wind-up, then 5 x 2 + 4 of "fire".
    {"single-process long kick", &KickMotionText::SingleProcessLongKick, 59,
     "learning/single_process_long_kick_text.xml", 11, 104, 13},
};

TEST(KickMotionTextTest, EachKickMatchesItsHandWrittenText) {
  for (const KickCase& kick : KICKS) {
    const Keyframes& frames = kick.keyframes();
    EXPECT_EQ(KickMotionText::ParamCount(frames), kick.params) << kick.name;
    const std::vector<std::string> golden = test::ReadFixtureLines(kick.golden);
    ASSERT_EQ(golden.size(), 1u) << kick.name;
    EXPECT_EQ(KickMotionText::Build(frames, Ramp(kick.params)), golden[0]) << kick.name;
  }
}

TEST(KickMotionTextTest, EachKickParsesAndPlaysItsKeyframesToTheEnd) {
  for (const KickCase& kick : KICKS) {
    test::ClosedLoop loop;
    MotionSequenceXML motion;
    motion.ReadDirect(KickMotionText::Build(kick.keyframes(), Ramp(kick.params)));
    ASSERT_EQ(motion.GetSequence().size(), kick.steps) << kick.name;
    motion.Reset();
    int cycles = 0;
    int fire_cycles = 0;
    while (!motion.IsEnd() && cycles < 500) {
      loop.Step([&] { motion.Run(); });
      ++cycles;
      if (motion.GetCurrentMotionName() == "fire") ++fire_cycles;
    }
    EXPECT_EQ(cycles, kick.cycles) << kick.name;
    EXPECT_EQ(motion.GetCurrentMotionName(), "fire") << kick.name << " played to its end";
    EXPECT_GE(fire_cycles, kick.fire_cycles) << kick.name;
  }
}

}  // namespace
}  // namespace zamp
