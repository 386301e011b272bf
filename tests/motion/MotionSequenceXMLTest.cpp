#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/const.h"
#include "model/AgentState.h"
#include "motion/MotionSequenceXML.h"
#include "support/AgentStateTestAccess.h"

namespace zamp {
namespace {

class MotionSequenceXMLTest : public ::testing::Test {
 protected:
  void SetUp() override {
    delete Singleton<AgentState>::GetInstance();
    Singleton<AgentState>::ResetForTest();
    Singleton<AgentState>::Create();
    delete Singleton<JointController>::GetInstance();
    Singleton<JointController>::ResetForTest();
    Singleton<JointController>::Create();
  }

  AgentState& Agent() { return *Singleton<AgentState>::GetInstance(); }
  JointController& Joints() { return *Singleton<JointController>::GetInstance(); }

  // One agent cycle: the motion commands, the test reads the speeds, the message is sent.
  void Cycle(MotionSequence& motion) {
    motion.Run();
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) speeds_[j] = Joints().GetSpeed(j);
    Joints().Reset();
  }

  static std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
  }

  double speeds_[HINGE_JOINT_NUM] = {};  // rad/s sent in the last cycle
};

const char* const kThreeSteps =
    "<sequence name=\"three\" refresh=\"true\">"
    "<motion name=\"a\" time=\"2\"><move id=\"raj1\" degree=\"10\" speed=\"0.5\"/></motion>"
    "<motion name=\"b\" time=\"0\"><move id=\"laj1\" degree=\"10\" speed=\"0.5\"/></motion>"
    "<motion name=\"c\" time=\"1\"><move id=\"rlj3\" degree=\"10\" speed=\"0.5\"/></motion>"
    "</sequence>";

TEST_F(MotionSequenceXMLTest, OmittedMoveAttributesTakeTheirDefaults) {
  MotionSequenceXML motion;
  motion.ReadDirect(
      "<sequence name=\"d\" refresh=\"false\"><motion name=\"only\" time=\"7\">"
      "<move id=\"llj4\" degree=\"-12.5\"/></motion></sequence>");
  ASSERT_EQ(1u, motion.GetSequence().size());
  const MotionSequenceXML::Move& move = motion.GetSequence()[0].parts.at(0);
  EXPECT_EQ(HJ_LLJ4, move.id);
  EXPECT_DOUBLE_EQ(-12.5, move.degree);
  EXPECT_DOUBLE_EQ(0.05, move.speed);
  EXPECT_EQ(MotionSequenceXML::TYPE_RELATIVE_SPEED, move.type);
  EXPECT_EQ(0, move.start_time);
  EXPECT_EQ(7, move.end_time);
  EXPECT_EQ("d", motion.GetName());
  EXPECT_FALSE(motion.IsRefresh());
}

TEST_F(MotionSequenceXMLTest, AttributeValuesAreReadLikeStrtodAndStrtol) {
  struct Case {
    const char* move;
    int id;
    double degree;
    double speed;
    int type;
    int start;
    int end;
  } cases[] = {
      {"id=\"rlj7\" degree=\"1.5deg\" speed=\"2e-1x\" type=\"1\" start=\"3steps\" end=\"4\"",
       HJ_RLJ7, 1.5, 0.2, 1, 3, 4},
      // A type of 2 or more plays as type 0; a negative type is kept.
      {"id=\"hj2\" degree=\"1\" type=\"5\"", HJ_HJ2, 1.0, 0.05, 0, 0, 9},
      {"id=\"hj2\" degree=\"1\" type=\"-1\"", HJ_HJ2, 1.0, 0.05, -1, 0, 9},
      // Text that is no number reads as 0.
      {"id=\"laj3\" degree=\"abc\" start=\"x\"", HJ_LAJ3, 0.0, 0.05, 0, 0, 9},
      {"id=\"no_such_joint\" degree=\"4\"", HJ_HJ1, 4.0, 0.05, 0, 0, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.move);
    MotionSequenceXML motion;
    motion.ReadDirect(std::string("<sequence name=\"s\" refresh=\"true\">"
                                  "<motion name=\"m\" time=\"9\"><move ") +
                      c.move + "/></motion></sequence>");
    const MotionSequenceXML::Move& move = motion.GetSequence().at(0).parts.at(0);
    EXPECT_EQ(c.id, move.id);
    EXPECT_DOUBLE_EQ(c.degree, move.degree);
    EXPECT_DOUBLE_EQ(c.speed, move.speed);
    EXPECT_EQ(c.type, move.type);
    EXPECT_EQ(c.start, move.start_time);
    EXPECT_EQ(c.end, move.end_time);
  }
}

TEST_F(MotionSequenceXMLTest, CommentsTextAndForeignElementsAreSkipped) {
  MotionSequenceXML motion;
  motion.ReadDirect(
      "<!-- about --><sequence name=\"s\" refresh=\"true\">text<note/>"
      "<motion name=\"m\" time=\"2\"><!-- c --><pose/><move id=\"hj1\" degree=\"3\"/>"
      "</motion><extra time=\"5\"/></sequence>");
  ASSERT_EQ(1u, motion.GetSequence().size());
  EXPECT_EQ(1u, motion.GetSequence()[0].parts.size());
}

TEST_F(MotionSequenceXMLTest, OnlyTheExactWordTrueAllowsRefresh) {
  const struct {
    const char* value;
    bool refresh;
  } cases[] = {{"true", true}, {"True", false}, {"1", false}, {"", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    MotionSequenceXML motion;
    motion.ReadDirect(std::string("<sequence name=\"s\" refresh=\"") + c.value + "\"></sequence>");
    EXPECT_EQ(c.refresh, motion.IsRefresh());
  }
}

TEST_F(MotionSequenceXMLTest, MoveActsOnlyBetweenItsStartAndEndCycles) {
  MotionSequenceXML motion;
  motion.ReadDirect(
      "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"3\">"
      "<move id=\"raj1\" degree=\"10\" speed=\"0.5\" start=\"1\" end=\"2\"/>"
      "<move id=\"laj1\" degree=\"10\" speed=\"0.5\"/></motion></sequence>");
  const bool expected_raj1[] = {false, true, false};
  for (int cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    Cycle(motion);
    EXPECT_EQ(expected_raj1[cycle], speeds_[HJ_RAJ1] != 0.0);
    EXPECT_DOUBLE_EQ(5.0, speeds_[HJ_LAJ1]);  // 10 degrees away at gain 0.5
  }
  EXPECT_TRUE(motion.IsEnd());
}

// A step of time 0 still takes a cycle, but its moves end where they start (at the step's
// time), so it sends nothing.
TEST_F(MotionSequenceXMLTest, StepsOfTimeZeroAndOnePlayOneCycleEach) {
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  const int expected_joint[] = {HJ_RAJ1, HJ_RAJ1, -1, HJ_RLJ3};
  for (int cycle = 0; cycle < 4; ++cycle) {
    SCOPED_TRACE(cycle);
    EXPECT_FALSE(motion.IsEnd());
    Cycle(motion);
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      EXPECT_EQ(j == expected_joint[cycle], speeds_[j] != 0.0) << "joint " << j;
    }
  }
  EXPECT_TRUE(motion.IsEnd());

  Cycle(motion);
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) EXPECT_EQ(0.0, speeds_[j]) << "joint " << j;
}

TEST_F(MotionSequenceXMLTest, EndedMotionStandsOnItsLastStep) {
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  EXPECT_EQ("a", motion.GetCurrentMotionName());
  for (int cycle = 0; cycle < 10; ++cycle) Cycle(motion);
  EXPECT_TRUE(motion.IsEnd());
  EXPECT_EQ(2, motion.GetCurrentMotion());
  EXPECT_EQ("c", motion.GetCurrentMotionName());
}

TEST_F(MotionSequenceXMLTest, ResetReplaysFromTheFirstStep) {
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  Cycle(motion);  // one cycle into step "a"
  motion.Reset();
  int cycles = 0;
  while (!motion.IsEnd() && cycles < 100) {
    Cycle(motion);
    ++cycles;
  }
  EXPECT_EQ(4, cycles);
}

TEST_F(MotionSequenceXMLTest, FixedSpeedMoveRunsUntilTheTargetIsPassedFromAbove) {
  MotionSequenceXML motion;
  motion.ReadDirect(
      "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"5\">"
      "<move id=\"rlj4\" degree=\"-20\" speed=\"-2.5\" type=\"1\"/></motion></sequence>");
  const double angles[] = {0.0, -19.9, -20.0, -20.1};
  const double expected[] = {-2.5, -2.5, -2.5, 0.0};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(angles[i]);
    AgentStateTestAccess::SetJointDegree(Agent(), HJ_RLJ4, angles[i]);
    Cycle(motion);
    EXPECT_DOUBLE_EQ(expected[i], speeds_[HJ_RLJ4]);
  }
}

TEST_F(MotionSequenceXMLTest, TypeAboveOnePlaysAsRelativeAndNegativeTypeIsSilent) {
  MotionSequenceXML motion;
  motion.ReadDirect(
      "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"1\">"
      "<move id=\"raj3\" degree=\"10\" speed=\"0.5\" type=\"5\"/>"
      "<move id=\"laj3\" degree=\"10\" speed=\"0.5\" type=\"-1\"/></motion></sequence>");
  Cycle(motion);
  EXPECT_DOUBLE_EQ(5.0, speeds_[HJ_RAJ3]);
  EXPECT_EQ(0.0, speeds_[HJ_LAJ3]);
}

TEST_F(MotionSequenceXMLTest, UnknownJointNameDrivesTheNeckYaw) {
  MotionSequenceXML motion;
  motion.ReadDirect(
      "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"1\">"
      "<move id=\"elbow\" degree=\"10\" speed=\"0.5\"/></motion></sequence>");
  Cycle(motion);
  EXPECT_DOUBLE_EQ(5.0, speeds_[HJ_HJ1]);
}

TEST_F(MotionSequenceXMLTest, RunOnASequenceWithoutStepsEndsIt) {
  MotionSequenceXML motion;
  EXPECT_FALSE(motion.IsEnd());
  EXPECT_EQ("", motion.GetCurrentMotionName());
  Cycle(motion);
  EXPECT_TRUE(motion.IsEnd());

  MotionSequenceXML read;
  read.ReadDirect("<sequence name=\"empty\" refresh=\"true\"/>");
  Cycle(read);
  EXPECT_TRUE(read.IsEnd());
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) EXPECT_EQ(0.0, speeds_[j]);
}

TEST_F(MotionSequenceXMLTest, ReadingAShorterTextKeepsTheCurrentStepInRange) {
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  for (int cycle = 0; cycle < 3; ++cycle) Cycle(motion);
  ASSERT_EQ(2, motion.GetCurrentMotion());

  motion.ReadDirect(
      "<sequence name=\"short\" refresh=\"true\"><motion name=\"fire\" time=\"2\">"
      "<move id=\"hj2\" degree=\"10\" speed=\"0.5\"/></motion></sequence>");
  EXPECT_EQ(0, motion.GetCurrentMotion());
  EXPECT_EQ("fire", motion.GetCurrentMotionName());
  Cycle(motion);
  EXPECT_DOUBLE_EQ(5.0, speeds_[HJ_HJ2]);

  motion.ReadDirect("<sequence name=\"none\" refresh=\"true\"/>");
  EXPECT_EQ(0, motion.GetCurrentMotion());
  EXPECT_EQ("", motion.GetCurrentMotionName());
}

TEST_F(MotionSequenceXMLTest, ReroadFileReReadsOnlyRefreshableFiles) {
  const std::string steps_of_two = "<motion name=\"a\" time=\"1\"/><motion name=\"b\" time=\"1\"/>";
  const struct {
    const char* refresh;
    size_t steps_after;
  } cases[] = {{"true", 2}, {"True", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refresh);
    const std::string header = std::string("<sequence name=\"f\" refresh=\"") + c.refresh + "\">";
    const std::string path =
        WriteFile("reroad.xml", header + "<motion name=\"a\" time=\"1\"/></sequence>");
    MotionSequenceXML motion(path);
    EXPECT_EQ(path, motion.GetFileName());
    Cycle(motion);
    ASSERT_TRUE(motion.IsEnd());

    WriteFile("reroad.xml", header + steps_of_two + "</sequence>");
    motion.ReroadFile();
    EXPECT_EQ(c.steps_after, motion.GetSequence().size());
    EXPECT_EQ(c.steps_after == 2, !motion.IsEnd());  // a re-read motion starts afresh
    std::remove(path.c_str());
  }
}

TEST_F(MotionSequenceXMLTest, ReroadFileOnATextChangesNothing) {
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  Cycle(motion);
  motion.ReroadFile();
  EXPECT_EQ(3u, motion.GetSequence().size());
  EXPECT_EQ(1, motion.GetSequence()[0].current_time);
}

TEST_F(MotionSequenceXMLTest, WriteXMLSourceCodeEscapesQuotesLineByLine) {
  const std::string path = WriteFile(
      "source.xml",
      "<sequence name=\"s\" refresh=\"true\">\n  <motion name=\"m\" time=\"1\"/>\n</sequence>\n");
  const std::string out = ::testing::TempDir() + "source.inc";
  MotionSequenceXML motion(path);
  motion.WriteXMLSourceCode(out.c_str());

  std::ifstream in(out);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(
      "string str;\n"
      "\n"
      "str += \"<sequence name=\\\"s\\\" refresh=\\\"true\\\">\";\n"
      "str += \"  <motion name=\\\"m\\\" time=\\\"1\\\"/>\";\n"
      "str += \"</sequence>\";\n",
      text.str());
  std::remove(path.c_str());
  std::remove(out.c_str());
}

// A motion the agent cannot read must stop it with a message naming the file, also in
// builds without assertions.
class MotionSequenceXMLDeathTest : public MotionSequenceXMLTest {
 protected:
  void SetUp() override {
    MotionSequenceXMLTest::SetUp();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
};

TEST_F(MotionSequenceXMLDeathTest, MissingFileEndsTheProcessNamingIt) {
  EXPECT_EXIT(MotionSequenceXML("xml/MotionXML/NoSuchMotion.xml"), ::testing::ExitedWithCode(1),
              "xml/MotionXML/NoSuchMotion\\.xml");
}

TEST_F(MotionSequenceXMLDeathTest, MalformedFileEndsTheProcessNamingIt) {
  const struct {
    const char* label;
    const char* text;
    const char* reason;  // part of the message
  } cases[] = {
      {"not xml", "<sequence name=\"s\" refresh=\"true\"><motion>", "XML_ERROR"},
      {"empty", "", "XML_ERROR_EMPTY_DOCUMENT"},
      {"other root", "<motions name=\"s\" refresh=\"true\"/>", "no <sequence> root"},
      {"sequence name", "<sequence refresh=\"true\"/>", "\"name\""},
      {"refresh", "<sequence name=\"s\"/>", "\"refresh\""},
      {"motion name", "<sequence name=\"s\" refresh=\"true\"><motion time=\"1\"/></sequence>",
       "\"name\""},
      {"motion time", "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\"/></sequence>",
       "\"time\""},
      {"move id",
       "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"1\">"
       "<move degree=\"1\"/></motion></sequence>",
       "\"id\""},
      {"move degree",
       "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"1\">"
       "<move id=\"hj1\"/></motion></sequence>",
       "\"degree\""},
      {"nan degree",
       "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"1\">"
       "<move id=\"hj1\" degree=\"nan\"/></motion></sequence>",
       "non-finite degree"},
      {"infinite speed",
       "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"1\">"
       "<move id=\"hj1\" degree=\"1\" speed=\"1e999\"/></motion></sequence>",
       "non-finite speed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = WriteFile("malformed_motion.xml", c.text);
    EXPECT_EXIT(MotionSequenceXML{path}, ::testing::ExitedWithCode(1),
                std::string("malformed_motion\\.xml.*") + c.reason);
    std::remove(path.c_str());
  }
}

TEST_F(MotionSequenceXMLDeathTest, MalformedTextEndsTheProcess) {
  MotionSequenceXML motion;
  EXPECT_EXIT(motion.ReadDirect("<sequence name=\"s\" refresh=\"true\">"),
              ::testing::ExitedWithCode(1), "motion text");
  EXPECT_EXIT(motion.ReadDirect("<sequence/>"), ::testing::ExitedWithCode(1),
              "motion text.*\"name\"");
}

}  // namespace
}  // namespace zamp
