// The built-in motions are long hand-made tables; a single mistyped number changes a
// stand-up or a kick without any other test noticing. These tests read each built-in text
// back and compare every step and every move with the motion tables as designed.
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

int JointId(const std::string& name) {
  for (int i = 0; i < HINGE_JOINT_NUM; ++i) {
    if (name == kJointNames[i]) return i;
  }
  ADD_FAILURE() << "unknown joint " << name;
  return -1;
}

struct ExpectedMove {
  int id;
  double degree;
  double speed;  // gain for type 0, rad/s for type 1
  int type;
};

struct ExpectedStep {
  std::string name;
  int cycles;
  std::vector<ExpectedMove> moves;
};

// A row as the design tables write it: step name, cycles and the moves.
struct Row {
  const char* name;
  int cycles;
  const char* moves;
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, separator)) {
    const size_t first = item.find_first_not_of(' ');
    const size_t last = item.find_last_not_of(' ');
    items.push_back(first == std::string::npos ? "" : item.substr(first, last - first + 1));
  }
  return items;
}

// Moves written "joint target/gain, ..." or "(none)".
std::vector<ExpectedStep> GainRows(const std::vector<Row>& rows) {
  std::vector<ExpectedStep> steps;
  for (const Row& row : rows) {
    ExpectedStep step{row.name, row.cycles, {}};
    if (std::string(row.moves) != "(none)") {
      for (const std::string& move : Split(row.moves, ',')) {
        const std::vector<std::string> joint_value = Split(move, ' ');
        const std::vector<std::string> target_gain = Split(joint_value.at(1), '/');
        step.moves.push_back({JointId(joint_value.at(0)), std::stod(target_gain.at(0)),
                              std::stod(target_gain.at(1)), 0});
      }
    }
    steps.push_back(step);
  }
  return steps;
}

// Moves written "joint target, joint type0 / type4, ...; gain g": variant 0 takes the
// first of two targets, variant 1 the second.
std::vector<ExpectedStep> LongKickRows(const std::vector<Row>& rows, int variant) {
  std::vector<ExpectedStep> steps;
  for (const Row& row : rows) {
    const std::vector<std::string> moves_gain = Split(row.moves, ';');
    const double gain = std::stod(Split(moves_gain.at(1), ' ').at(1));
    ExpectedStep step{row.name, row.cycles, {}};
    for (const std::string& move : Split(moves_gain.at(0), ',')) {
      const size_t blank = move.find(' ');
      const std::vector<std::string> targets = Split(move.substr(blank + 1), '/');
      const std::string& target = targets.size() == 2 ? targets.at(variant) : targets.at(0);
      step.moves.push_back({JointId(move.substr(0, blank)), std::stod(target), gain, 0});
    }
    steps.push_back(step);
  }
  return steps;
}

// The six "fire" steps: cycles, then the speeds of llj1, llj3, llj4, llj5, rlj1, rlj3,
// rlj4 and rlj5. The arms always swing down at -6 rad/s.
struct FireRow {
  int cycles;
  double llj1, llj3, llj4, llj5, rlj1, rlj3, rlj4, rlj5;
};

std::vector<ExpectedStep> FireRows(const std::vector<FireRow>& rows) {
  std::vector<ExpectedStep> steps;
  for (size_t k = 0; k < rows.size(); ++k) {
    const FireRow& r = rows[k];
    const bool last = k + 1 == rows.size();
    steps.push_back({"fire",
                     r.cycles,
                     {{HJ_RAJ1, -90.0, -6.0, 1},
                      {HJ_LAJ1, -90.0, -6.0, 1},
                      {HJ_LLJ1, 1.0, r.llj1, 1},
                      {HJ_LLJ3, -25.0, r.llj3, 1},
                      {HJ_LLJ4, -130.0, r.llj4, 1},
                      {HJ_LLJ5, -45.0, r.llj5, 1},
                      {HJ_RLJ1, last ? -10.0 : 1.0, r.rlj1, 1},
                      {HJ_RLJ3, 100.0, r.rlj3, 1},
                      {HJ_RLJ4, 1.0, r.rlj4, 1},
                      {HJ_RLJ5, -45.0, r.rlj5, 1}}});
  }
  return steps;
}

std::vector<ExpectedStep> Concat(std::vector<ExpectedStep> a, const std::vector<ExpectedStep>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

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
      {"stop", 3, "(none)"},
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

const std::vector<Row> kLongKick = {
      {"reset", 25, "raj1 -63.431900 / -56.643300, raj2 0.0, raj3 0.0, raj4 0.0, laj1 -65.215700 / -59.909800, laj2 0.0, laj3 0.0, laj4 0.0, llj1 0.0, llj2 0.0, llj3 25.0, llj4 -50.0, llj5 25.0, llj6 0.0, rlj1 0.0, rlj2 0.0, rlj3 25.0, rlj4 -50.0, rlj5 25.0, rlj6 0.0; gain 0.075"},
      {"stabilize", 15, "llj2 -11.0, llj6 11.0, rlj2 -11.0, rlj6 11.0; gain 0.075"},
      {"left_up", 15, "llj1 0.0, llj3 10.0, llj4 0.0, llj5 0.0, rlj1 0.0, rlj3 50.0, rlj4 -70.0, rlj5 30.0; gain 0.075"},
      {"left_up", 5, "rlj3 -50.0, rlj4 -100.0, rlj5 60.0; gain 0.075"},
      {"left_up", 5, "rlj3 -50.0, rlj4 -100.0, rlj5 30.0; gain 0.075"},
      {"left_fix", 22, "raj1 -63.431900 / -56.643300, laj1 -65.215700 / -59.909800, llj1 -39.320100 / -31.761100, llj3 9.477880 / 8.141640, llj4 0.648202 / 0.648967, llj5 -0.536838 / -0.901790, rlj1 -5.003740 / -5.998150, rlj2 1.768690 / 1.477800, rlj3 -27.871800 / -21.966100, rlj4 -118.406000 / -122.636000, rlj5 -51.274400 / -47.910000, rlj6 -8.498330 / -1.836570; gain 0.1"},
};

const std::vector<FireRow> kLongKickType0Fire = {
      {2, 6.064760, -0.528643, -4.926410, -2.504790, -3.122100, 0.185984, 1.444460, 0.091739},
      {2, 2.061280, -0.237068, -0.722312, -1.459470, -1.255870, 1.632600, 2.964260, 1.487100},
      {2, 6.111460, -2.132180, -4.645090, -2.752060, -5.500840, 1.458470, 3.078640, 3.709100},
      {2, 5.425800, -5.746160, -6.148010, -0.608457, -3.260400, 6.069680, 3.174410, 0.454992},
      {2, 0.533297, -6.091010, -6.110820, -5.690180, -2.367720, 6.125730, 5.864640, 4.853300},
      {6, 1.047580, -6.023220, -4.232640, -6.163720, -6.124860, 6.086650, 6.111100, 6.049320},
};

const std::vector<FireRow> kLongKickType4Fire = {
      {2, 0.613742, -3.667390, -4.910430, -3.708100, -2.322430, 5.150530, 2.354600, 3.392280},
      {2, 0.647992, -0.107398, -2.593840, -2.741040, -4.099000, 6.110680, 4.408720, 4.520830},
      {2, 2.007140, -6.069500, -4.961600, -1.102050, -4.651960, 4.200510, 5.525150, 0.737295},
      {2, 5.049790, -6.019270, -5.714810, -5.871420, -3.016750, 6.080480, 2.323870, 5.671480},
      {2, 6.091940, -6.176610, -5.847090, -5.927590, -3.758320, 6.149090, 6.100190, 3.810950},
      {6, 5.257310, -4.560600, -4.220870, -3.775720, -6.022280, 3.111190, 5.559200, 3.451660},
};
// clang-format on

struct BuiltIn {
  const char* label;
  std::unique_ptr<MotionSequenceXML> motion;
  const char* sequence_name;
  std::vector<ExpectedStep> steps;
  int played_cycles;  // played to its end through the closed loop
};

class BuiltInMotionsTest : public MotionLoopTest {};

TEST_F(BuiltInMotionsTest, EveryStepOfEveryBuiltInMotionMatchesItsTableAndPlaysToItsEnd) {
  std::vector<BuiltIn> cases;
  cases.push_back({"StandUpFromBack", std::make_unique<StandUpFromBack>(), "stand_up",
                   GainRows(kStandUpFromBack), 98});
  cases.push_back({"StandUpFromProne", std::make_unique<StandUpFromProne>(), "stand_up",
                   GainRows(kStandUpFromProne), 108});
  cases.push_back({"KickOffShoot", std::make_unique<KickOffShoot>(), "kickoffshoot",
                   GainRows(kKickOffShoot), 208});
  cases.push_back({"LongKickType0", std::make_unique<LongKickType0>(), "test",
                   Concat(LongKickRows(kLongKick, 0), FireRows(kLongKickType0Fire)), 103});
  cases.push_back({"LongKickType4", std::make_unique<LongKickType4>(), "test",
                   Concat(LongKickRows(kLongKick, 1), FireRows(kLongKickType4Fire)), 103});

  for (const BuiltIn& c : cases) {
    SCOPED_TRACE(c.label);
    MotionSequenceXML& motion = *c.motion;
    EXPECT_EQ(c.sequence_name, motion.GetName());
    EXPECT_TRUE(motion.IsRefresh());
    const std::vector<MotionSequenceXML::Motion>& steps = motion.GetSequence();
    ASSERT_EQ(c.steps.size(), steps.size());
    for (size_t s = 0; s < steps.size(); ++s) {
      SCOPED_TRACE("step " + std::to_string(s));
      const ExpectedStep& want = c.steps[s];
      const MotionSequenceXML::Motion& got = steps[s];
      EXPECT_EQ(want.name, got.name);
      EXPECT_EQ(want.cycles, got.end_time);
      ASSERT_EQ(want.moves.size(), got.parts.size());
      for (size_t m = 0; m < got.parts.size(); ++m) {
        SCOPED_TRACE("move " + std::to_string(m));
        EXPECT_EQ(want.moves[m].id, got.parts[m].id);
        EXPECT_DOUBLE_EQ(want.moves[m].degree, got.parts[m].degree);
        EXPECT_DOUBLE_EQ(want.moves[m].speed, got.parts[m].speed);
        EXPECT_EQ(want.moves[m].type, got.parts[m].type);
        EXPECT_EQ(0, got.parts[m].start_time);
        EXPECT_EQ(want.cycles, got.parts[m].end_time);
      }
    }
    EXPECT_EQ(c.played_cycles, PlayToEnd(motion));
    motion.Reset();
    EXPECT_EQ(c.played_cycles, PlayToEnd(motion));
  }
}

}  // namespace
}  // namespace zamp
