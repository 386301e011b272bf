// The built-in motions are long hand-made tables; a single mistyped number changes a
// stand-up or a kick without any other test noticing. This test reads each built-in text
// back and compares every step and every move with the motion tables as designed, then
// plays each motion to its end through the closed loop.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/const.h"
#include "motion/KickOffShoot.h"
#include "motion/LongKickType0.h"
#include "motion/LongKickType4.h"
#include "motion/MotionLoopTest.h"
#include "motion/StandUpFromBack.h"
#include "motion/StandUpFromProne.h"

namespace zamp {
namespace {

// Joint names in HingeJointID order, written out here so that a wrong entry in the
// reader's own table cannot hide a wrong joint in a text.
const char* const kJointNames[HINGE_JOINT_NUM] = {
    "hj1",  "hj2",  "raj1", "raj2", "raj3", "raj4", "laj1", "laj2", "laj3", "laj4", "rlj1", "rlj2",
    "rlj3", "rlj4", "rlj5", "rlj6", "rlj7", "llj1", "llj2", "llj3", "llj4", "llj5", "llj6", "llj7"};

// A step as the design tables write it: name, cycles and the moves, "joint target/gain" for
// a relative move (type 0), "joint target@speed" (rad/s) for a fixed-speed one (type 1).
struct Row {
  const char* name;
  int cycles;
  const char* moves;
};

// The tables as designed, one row per step, kept on one line each for comparison.
// clang-format off
const std::vector<Row> kStandUpFromBack = {
      {"init", 20, "hj1 0.0/0.1, hj2 0.0/0.1, raj1 -90.0/0.1, laj1 -90.0/0.1, raj2 0.0/0.1, laj2 0.0/0.1, raj3 90.0/0.1, laj3 -90.0/0.1, raj4 0.0/0.1, laj4 0.0/0.1, rlj1 0.0/0.2, llj1 0.0/0.2, rlj2 0.0/0.2, llj2 0.0/0.2, rlj3 0.0/0.2, llj3 0.0/0.2, rlj4 0.0/0.2, llj4 0.0/0.2, rlj5 0.0/0.2, llj5 0.0/0.2, rlj6 0.0/0.2, llj6 0.0/0.2"},
      {"passiveness", 8, "raj1 -180.0/0.05, laj1 -180.0/0.05, raj2 -180.0/0.05, laj2 180.0/0.05, raj3 -180.0/0.05, laj3 180.0/0.05"},
      {"open_foot1", 7, "raj1 -180.0/0.05, laj1 -180.0/0.05, rlj2 -120.0/0.05, llj2 120.0/0.05, rlj3 30.0/0.05, llj3 30.0/0.05, rlj4 -10.0/0.05, llj4 -10.0/0.05, rlj5 -30.0/0.05, llj5 -30.0/0.05"},
      {"open_foot2", 8, "raj1 -180.0/0.05, laj1 -180.0/0.05, rlj1 -60.0/0.05, llj1 -60.0/0.05, rlj2 -90.0/0.05, llj2 90.0/0.05, rlj3 120.0/0.05, llj3 120.0/0.05, rlj4 -90.0/0.05, llj4 -90.0/0.05, rlj5 -90.0/0.05, llj5 -90.0/0.05"},
      {"settle_body", 30, "raj1 40.0/0.05, laj1 40.0/0.05, raj2 0.0/0.05, laj2 0.0/0.05, raj3 90.0/0.05, laj3 -90.0/0.05, rlj1 -90.0/0.07, llj1 -90.0/0.07, rlj2 45.0/0.07, llj2 -45.0/0.07, rlj3 100.0/0.07, llj3 100.0/0.07, rlj4 -90.0/0.07, llj4 -90.0/0.07, rlj5 -45.0/0.07, llj5 -45.0/0.07"},
      {"close_foot", 5, "raj1 -90.0/0.5, laj1 -90.0/0.5, raj2 0.0/0.5, laj2 0.0/0.5, raj3 90.0/0.5, laj3 -90.0/0.5, raj4 0.0/0.5, laj4 0.0/0.5, rlj1 90.0/0.05, llj1 90.0/0.05, rlj2 120.0/0.05, llj2 -120.0/0.05, rlj3 -120.0/0.05, llj3 -120.0/0.05, rlj4 90.0/0.05, llj4 90.0/0.05, rlj5 120.0/0.05, llj5 120.0/0.05"},
      {"set", 20, "raj1 -100.0/0.5, laj1 -100.0/0.5, raj2 -20.0/0.5, laj2 20.0/0.5, raj3 90.0/0.5, laj3 -90.0/0.5, raj4 0.0/0.5, laj4 0.0/0.5, rlj1 0.0/0.1, llj1 0.0/0.1, rlj2 0.0/0.1, llj2 0.0/0.1, rlj3 25.0/0.1, llj3 25.0/0.1, rlj4 -60.0/0.1, llj4 -60.0/0.1, rlj5 35.0/0.1, llj5 35.0/0.1, rlj6 0.0/0.1, llj6 0.0/0.1, rlj7 0.0/0.1, llj7 0.0/0.1"},
};

const std::vector<Row> kStandUpFromProne = {
      {"init", 20, "hj1 0.0/0.1, hj2 0.0/0.1, raj1 -90.0/0.1, laj1 -90.0/0.1, raj2 0.0/0.1, laj2 0.0/0.1, raj3 90.0/0.1, laj3 -90.0/0.1, raj4 0.0/0.1, laj4 0.0/0.1, rlj1 0.0/0.2, llj1 0.0/0.2, rlj2 0.0/0.2, llj2 0.0/0.2, rlj3 0.0/0.2, llj3 0.0/0.2, rlj4 0.0/0.2, llj4 0.0/0.2, rlj5 0.0/0.2, llj5 0.0/0.2, rlj6 0.0/0.2, llj6 0.0/0.2"},
      {"open_foot", 50, "rlj1 -45.0/0.5, llj1 -45.0/0.5, rlj3 100.0/0.5, llj3 100.0/0.5"},
      {"stop", 3, ""},
      {"close_foot", 15, "rlj1 -5.0/0.5, llj1 -5.0/0.5, rlj4 -45.0/0.5, llj4 -45.0/0.5"},
      {"set", 20, "raj1 -90.0/0.5, laj1 -90.0/0.5, raj2 0.0/0.5, laj2 0.0/0.5, raj3 90.0/0.5, laj3 -90.0/0.5, raj4 0.0/0.5, laj4 0.0/0.5, rlj3 25.0/0.1, llj3 25.0/0.1, rlj4 -60.0/0.1, llj4 -60.0/0.1, rlj5 35.0/0.1, llj5 35.0/0.1, rlj7 0.0/0.1, llj7 0.0/0.1"},
};

const std::vector<Row> kKickOffShoot = {
      {"init", 60, "rlj3 25.0/0.1, llj3 25.0/0.1, rlj4 -50.0/0.1, llj4 -50.0/0.1, rlj5 25.0/0.1, llj5 25.0/0.1"},
      {"set", 10, "rlj3 0.0/0.1, llj3 0.0/0.1, rlj4 0.0/0.1, llj4 0.0/0.1, rlj5 0.0/0.1, llj5 0.0/0.1"},
      {"left_bend", 20, "rlj2 -13.0/0.2, rlj6 13.0/0.2, llj2 -13.0/0.2, llj6 13.0/0.2, rlj3 20.0/0.2, rlj4 -40.0/0.2, rlj5 20.0/0.2"},
      {"right_bend1", 18, "llj3 -34.0/0.1, llj5 25.0/0.1"},
      {"left_landing", 40, "llj3 -20.0/0.2, llj5 30.0/0.1, llj2 0.0/0.1, llj6 0.0/0.1, rlj2 9.0/0.05, rlj6 -9.0/0.05"},
      {"right_bend2", 30, "llj1 5.0/0.1, rlj4 1.0/0.01, rlj5 16.9/0.1, llj3 0.0/0.2, llj4 -85.0/0.2, llj5 60.0/0.2"},
      {"left_ankle_stretch", 10, "llj5 -35.0/7.0"},
      {"fire", 20, "llj1 -10.0/7.0, llj2 17.0/7.0, llj3 140.0/999.0, llj4 -80.0/7.0, llj5 -35.0/7.0, llj7 60.0/7.0, rlj2 11.0/6.0, rlj3 -100.0/0.10618325, rlj4 -30.0/6.0, rlj5 -90.0/6.0"},
};

// The two long kicks differ in their arm targets, the final pose and the swing speeds.
const std::vector<Row> kLongKickType0 = {
      {"reset", 25, "raj1 -63.431900/0.075, raj2 0.0/0.075, raj3 0.0/0.075, raj4 0.0/0.075, laj1 -65.215700/0.075, laj2 0.0/0.075, laj3 0.0/0.075, laj4 0.0/0.075, llj1 0.0/0.075, llj2 0.0/0.075, llj3 25.0/0.075, llj4 -50.0/0.075, llj5 25.0/0.075, llj6 0.0/0.075, rlj1 0.0/0.075, rlj2 0.0/0.075, rlj3 25.0/0.075, rlj4 -50.0/0.075, rlj5 25.0/0.075, rlj6 0.0/0.075"},
      {"stabilize", 15, "llj2 -11.0/0.075, llj6 11.0/0.075, rlj2 -11.0/0.075, rlj6 11.0/0.075"},
      {"left_up", 15, "llj1 0.0/0.075, llj3 10.0/0.075, llj4 0.0/0.075, llj5 0.0/0.075, rlj1 0.0/0.075, rlj3 50.0/0.075, rlj4 -70.0/0.075, rlj5 30.0/0.075"},
      {"left_up", 5, "rlj3 -50.0/0.075, rlj4 -100.0/0.075, rlj5 60.0/0.075"},
      {"left_up", 5, "rlj3 -50.0/0.075, rlj4 -100.0/0.075, rlj5 30.0/0.075"},
      {"left_fix", 22, "raj1 -63.431900/0.1, laj1 -65.215700/0.1, llj1 -39.320100/0.1, llj3 9.477880/0.1, llj4 0.648202/0.1, llj5 -0.536838/0.1, rlj1 -5.003740/0.1, rlj2 1.768690/0.1, rlj3 -27.871800/0.1, rlj4 -118.406000/0.1, rlj5 -51.274400/0.1, rlj6 -8.498330/0.1"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@6.064760, llj3 -25@-0.528643, llj4 -130@-4.926410, llj5 -45@-2.504790, rlj1 1@-3.122100, rlj3 100@0.185984, rlj4 1@1.444460, rlj5 -45@0.091739"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@2.061280, llj3 -25@-0.237068, llj4 -130@-0.722312, llj5 -45@-1.459470, rlj1 1@-1.255870, rlj3 100@1.632600, rlj4 1@2.964260, rlj5 -45@1.487100"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@6.111460, llj3 -25@-2.132180, llj4 -130@-4.645090, llj5 -45@-2.752060, rlj1 1@-5.500840, rlj3 100@1.458470, rlj4 1@3.078640, rlj5 -45@3.709100"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@5.425800, llj3 -25@-5.746160, llj4 -130@-6.148010, llj5 -45@-0.608457, rlj1 1@-3.260400, rlj3 100@6.069680, rlj4 1@3.174410, rlj5 -45@0.454992"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@0.533297, llj3 -25@-6.091010, llj4 -130@-6.110820, llj5 -45@-5.690180, rlj1 1@-2.367720, rlj3 100@6.125730, rlj4 1@5.864640, rlj5 -45@4.853300"},
      {"fire", 6, "raj1 -90@-6, laj1 -90@-6, llj1 1@1.047580, llj3 -25@-6.023220, llj4 -130@-4.232640, llj5 -45@-6.163720, rlj1 -10@-6.124860, rlj3 100@6.086650, rlj4 1@6.111100, rlj5 -45@6.049320"},
};

const std::vector<Row> kLongKickType4 = {
      {"reset", 25, "raj1 -56.643300/0.075, raj2 0.0/0.075, raj3 0.0/0.075, raj4 0.0/0.075, laj1 -59.909800/0.075, laj2 0.0/0.075, laj3 0.0/0.075, laj4 0.0/0.075, llj1 0.0/0.075, llj2 0.0/0.075, llj3 25.0/0.075, llj4 -50.0/0.075, llj5 25.0/0.075, llj6 0.0/0.075, rlj1 0.0/0.075, rlj2 0.0/0.075, rlj3 25.0/0.075, rlj4 -50.0/0.075, rlj5 25.0/0.075, rlj6 0.0/0.075"},
      {"stabilize", 15, "llj2 -11.0/0.075, llj6 11.0/0.075, rlj2 -11.0/0.075, rlj6 11.0/0.075"},
      {"left_up", 15, "llj1 0.0/0.075, llj3 10.0/0.075, llj4 0.0/0.075, llj5 0.0/0.075, rlj1 0.0/0.075, rlj3 50.0/0.075, rlj4 -70.0/0.075, rlj5 30.0/0.075"},
      {"left_up", 5, "rlj3 -50.0/0.075, rlj4 -100.0/0.075, rlj5 60.0/0.075"},
      {"left_up", 5, "rlj3 -50.0/0.075, rlj4 -100.0/0.075, rlj5 30.0/0.075"},
      {"left_fix", 22, "raj1 -56.643300/0.1, laj1 -59.909800/0.1, llj1 -31.761100/0.1, llj3 8.141640/0.1, llj4 0.648967/0.1, llj5 -0.901790/0.1, rlj1 -5.998150/0.1, rlj2 1.477800/0.1, rlj3 -21.966100/0.1, rlj4 -122.636000/0.1, rlj5 -47.910000/0.1, rlj6 -1.836570/0.1"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@0.613742, llj3 -25@-3.667390, llj4 -130@-4.910430, llj5 -45@-3.708100, rlj1 1@-2.322430, rlj3 100@5.150530, rlj4 1@2.354600, rlj5 -45@3.392280"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@0.647992, llj3 -25@-0.107398, llj4 -130@-2.593840, llj5 -45@-2.741040, rlj1 1@-4.099000, rlj3 100@6.110680, rlj4 1@4.408720, rlj5 -45@4.520830"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@2.007140, llj3 -25@-6.069500, llj4 -130@-4.961600, llj5 -45@-1.102050, rlj1 1@-4.651960, rlj3 100@4.200510, rlj4 1@5.525150, rlj5 -45@0.737295"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@5.049790, llj3 -25@-6.019270, llj4 -130@-5.714810, llj5 -45@-5.871420, rlj1 1@-3.016750, rlj3 100@6.080480, rlj4 1@2.323870, rlj5 -45@5.671480"},
      {"fire", 2, "raj1 -90@-6, laj1 -90@-6, llj1 1@6.091940, llj3 -25@-6.176610, llj4 -130@-5.847090, llj5 -45@-5.927590, rlj1 1@-3.758320, rlj3 100@6.149090, rlj4 1@6.100190, rlj5 -45@3.810950"},
      {"fire", 6, "raj1 -90@-6, laj1 -90@-6, llj1 1@5.257310, llj3 -25@-4.560600, llj4 -130@-4.220870, llj5 -45@-3.775720, rlj1 -10@-6.022280, rlj3 100@3.111190, rlj4 1@5.559200, rlj5 -45@3.451660"},
};
// clang-format on

class BuiltInMotionsTest : public MotionLoopTest {};

TEST_F(BuiltInMotionsTest, EveryStepOfEveryBuiltInMotionMatchesItsTableAndPlaysToItsEnd) {
  const struct {
    const char* label;
    std::shared_ptr<MotionSequenceXML> motion;
    const char* sequence_name;
    const std::vector<Row>& rows;
    int played_cycles;  // played to its end through the closed loop
  } cases[] = {
      {"StandUpFromBack", std::make_shared<StandUpFromBack>(), "stand_up", kStandUpFromBack, 98},
      {"StandUpFromProne", std::make_shared<StandUpFromProne>(), "stand_up", kStandUpFromProne,
       108},
      {"KickOffShoot", std::make_shared<KickOffShoot>(), "kickoffshoot", kKickOffShoot, 208},
      {"LongKickType0", std::make_shared<LongKickType0>(), "test", kLongKickType0, 103},
      {"LongKickType4", std::make_shared<LongKickType4>(), "test", kLongKickType4, 103},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    MotionSequenceXML& motion = *c.motion;
    EXPECT_EQ(c.sequence_name, motion.GetName());
    EXPECT_TRUE(motion.IsRefresh());
    const std::vector<MotionSequenceXML::Motion>& steps = motion.GetSequence();
    ASSERT_EQ(c.rows.size(), steps.size());
    for (size_t s = 0; s < steps.size(); ++s) {
      SCOPED_TRACE("step " + std::to_string(s));
      const Row& want = c.rows[s];
      const MotionSequenceXML::Motion& got = steps[s];
      EXPECT_EQ(want.name, got.name);
      EXPECT_EQ(want.cycles, got.end_time);
      std::string moves = want.moves;
      for (char& ch : moves) ch = ch == ',' ? ' ' : ch;
      std::istringstream in(moves);
      std::string joint;
      std::string value;
      size_t m = 0;
      for (; in >> joint >> value; ++m) {
        SCOPED_TRACE(joint);
        ASSERT_LT(m, got.parts.size());
        const size_t at = value.find_first_of("/@");
        EXPECT_EQ(joint, kJointNames[got.parts[m].id]);
        EXPECT_DOUBLE_EQ(std::stod(value.substr(0, at)), got.parts[m].degree);
        EXPECT_DOUBLE_EQ(std::stod(value.substr(at + 1)), got.parts[m].speed);
        EXPECT_EQ(value[at] == '@' ? 1 : 0, got.parts[m].type);
        EXPECT_EQ(0, got.parts[m].start_time);
        EXPECT_EQ(want.cycles, got.parts[m].end_time);
      }
      EXPECT_EQ(m, got.parts.size());
    }
    EXPECT_EQ(c.played_cycles, PlayToEnd(motion));
    motion.Reset();
    EXPECT_EQ(c.played_cycles, PlayToEnd(motion));
  }
}

}  // namespace
}  // namespace zamp
