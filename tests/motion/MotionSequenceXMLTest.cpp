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
#include "support/SharedInstances.h"

namespace zamp {
namespace {

// A sequence of one step of the given time holding the given move elements.
std::string OneStep(const std::string& moves, int time = 1) {
  return "<sequence name=\"s\" refresh=\"true\"><motion name=\"m\" time=\"" + std::to_string(time) +
         "\">" + moves + "</motion></sequence>";
}

std::string WriteFile(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

const char* const kThreeSteps =
    "<sequence name=\"three\" refresh=\"true\">"
    "<motion name=\"a\" time=\"2\"><move id=\"raj1\" degree=\"10\" speed=\"0.5\"/></motion>"
    "<motion name=\"b\" time=\"0\"><move id=\"laj1\" degree=\"10\" speed=\"0.5\"/></motion>"
    "<motion name=\"c\" time=\"1\"><move id=\"rlj3\" degree=\"10\" speed=\"0.5\"/></motion>"
    "</sequence>";

class MotionSequenceXMLTest : public ::testing::Test {
 protected:
  void SetUp() override { test::RenewAndCreate<AgentState, JointController>(); }

  // One agent cycle: the motion commands, the test reads the speeds, the message is sent.
  void Cycle(MotionSequence& motion) {
    motion.Run();
    JointController& joints = *Singleton<JointController>::GetInstance();
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) speeds_[j] = joints.GetSpeed(j);
    joints.Reset();
  }

  // The joints that were sent a speed in the last cycle.
  std::vector<int> Moved() const {
    std::vector<int> moved;
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      if (speeds_[j] != 0.0) moved.push_back(j);
    }
    return moved;
  }

  double speeds_[HINGE_JOINT_NUM] = {};  // rad/s sent in the last cycle
};

TEST_F(MotionSequenceXMLTest, AttributesAreReadLikeStrtodAndStrtolOrTakeTheirDefaults) {
  const struct {
    const char* move;
    int id;
    double degree, speed;
    int type, start, end;
  } cases[] = {
      {"id=\"llj4\" degree=\"-12.5\"", HJ_LLJ4, -12.5, 0.05, 0, 0, 9},
      {"id=\"rlj7\" degree=\"1.5deg\" speed=\"2e-1x\" type=\"1\" start=\"3steps\" end=\"4\"",
       HJ_RLJ7, 1.5, 0.2, 1, 3, 4},
      // A type of 2 or more plays as type 0; a negative type is kept.
      {"id=\"hj2\" degree=\"1\" type=\"5\"", HJ_HJ2, 1.0, 0.05, 0, 0, 9},
      {"id=\"hj2\" degree=\"1\" type=\"-1\"", HJ_HJ2, 1.0, 0.05, -1, 0, 9},
      // Text that is no number reads as 0; an unknown joint is the neck yaw.
      {"id=\"laj3\" degree=\"abc\" start=\"x\"", HJ_LAJ3, 0.0, 0.05, 0, 0, 9},
      {"id=\"no_such_joint\" degree=\"4\"", HJ_HJ1, 4.0, 0.05, 0, 0, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.move);
    MotionSequenceXML motion;
    motion.ReadDirect(OneStep(std::string("<move ") + c.move + "/>", 9));
    const MotionSequenceXML::Move& move = motion.GetSequence().at(0).parts.at(0);
    EXPECT_EQ(c.id, move.id);
    EXPECT_DOUBLE_EQ(c.degree, move.degree);
    EXPECT_DOUBLE_EQ(c.speed, move.speed);
    EXPECT_EQ(c.type, move.type);
    EXPECT_EQ(c.start, move.start_time);
    EXPECT_EQ(c.end, move.end_time);
  }
  // Comments, text and foreign elements are skipped; only the exact word "true" refreshes.
  MotionSequenceXML motion;
  motion.ReadDirect(
      "<!-- about --><sequence name=\"s\" refresh=\"True\">text<note/>"
      "<motion name=\"m\" time=\"2\"><!-- c --><pose/><move id=\"hj1\" degree=\"3\"/>"
      "</motion><extra time=\"5\"/></sequence>");
  ASSERT_EQ(1u, motion.GetSequence().size());
  EXPECT_EQ(1u, motion.GetSequence()[0].parts.size());
  EXPECT_FALSE(motion.IsRefresh());
}

TEST_F(MotionSequenceXMLTest, MovesActOnlyBetweenTheirStartAndEndCyclesAsTheirTypeSays) {
  MotionSequenceXML motion;
  motion.ReadDirect(
      OneStep("<move id=\"raj1\" degree=\"10\" speed=\"0.5\" start=\"1\" end=\"2\"/>"
              "<move id=\"laj1\" degree=\"10\" speed=\"0.5\"/>"
              "<move id=\"raj3\" degree=\"10\" speed=\"0.5\" type=\"5\"/>"
              "<move id=\"laj3\" degree=\"10\" speed=\"0.5\" type=\"-1\"/>"
              "<move id=\"rlj4\" degree=\"-20\" speed=\"-2.5\" type=\"1\"/>",
              4));
  // The fixed-speed move runs until the angle has passed its target from above.
  const double rlj4[] = {0.0, -19.9, -20.0, -20.1};
  const double expected_rlj4[] = {-2.5, -2.5, -2.5, 0.0};
  for (int cycle = 0; cycle < 4; ++cycle) {
    SCOPED_TRACE(cycle);
    AgentStateTestAccess::SetJointDegree(*Singleton<AgentState>::GetInstance(), HJ_RLJ4,
                                         rlj4[cycle]);
    Cycle(motion);
    EXPECT_EQ(cycle == 1, speeds_[HJ_RAJ1] != 0.0);
    EXPECT_DOUBLE_EQ(5.0, speeds_[HJ_LAJ1]);  // 10 degrees away at gain 0.5
    EXPECT_DOUBLE_EQ(5.0, speeds_[HJ_RAJ3]);
    EXPECT_EQ(0.0, speeds_[HJ_LAJ3]);
    EXPECT_DOUBLE_EQ(expected_rlj4[cycle], speeds_[HJ_RLJ4]);
  }
  EXPECT_TRUE(motion.IsEnd());
}

// A step of time 0 still takes a cycle, but its moves end where they start (at the step's
// time), so it sends nothing.
TEST_F(MotionSequenceXMLTest, StepsOfTimeZeroAndOnePlayOneCycleEachAndTheEndStandsOnTheLast) {
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  EXPECT_EQ("a", motion.GetCurrentMotionName());
  const std::vector<int> expected[] = {{HJ_RAJ1}, {HJ_RAJ1}, {}, {HJ_RLJ3}, {}, {}};
  for (int cycle = 0; cycle < 6; ++cycle) {
    EXPECT_EQ(cycle >= 4, motion.IsEnd()) << cycle;
    Cycle(motion);
    EXPECT_EQ(expected[cycle], Moved()) << cycle;
  }
  EXPECT_EQ(2, motion.GetCurrentMotion());
  EXPECT_EQ("c", motion.GetCurrentMotionName());
  motion.Reset();
  EXPECT_FALSE(motion.IsEnd());
  Cycle(motion);
  EXPECT_EQ(std::vector<int>{HJ_RAJ1}, Moved());
}

TEST_F(MotionSequenceXMLTest, RunOnASequenceWithoutStepsEndsIt) {
  MotionSequenceXML motion;
  EXPECT_EQ("", motion.GetCurrentMotionName());
  Cycle(motion);
  EXPECT_TRUE(motion.IsEnd());
  MotionSequenceXML read;
  read.ReadDirect("<sequence name=\"empty\" refresh=\"true\"/>");
  Cycle(read);
  EXPECT_TRUE(read.IsEnd());
  EXPECT_TRUE(Moved().empty());
}

TEST_F(MotionSequenceXMLTest, ReadingAShorterTextKeepsTheCurrentStepInRange) {
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  for (int cycle = 0; cycle < 3; ++cycle) Cycle(motion);
  ASSERT_EQ(2, motion.GetCurrentMotion());
  motion.ReadDirect(OneStep("<move id=\"hj2\" degree=\"10\" speed=\"0.5\"/>"));
  EXPECT_EQ(0, motion.GetCurrentMotion());
  Cycle(motion);
  EXPECT_DOUBLE_EQ(5.0, speeds_[HJ_HJ2]);
  motion.ReadDirect("<sequence name=\"none\" refresh=\"true\"/>");
  EXPECT_EQ(0, motion.GetCurrentMotion());
  EXPECT_EQ("", motion.GetCurrentMotionName());
}

TEST_F(MotionSequenceXMLTest, ReroadFileReReadsOnlyRefreshableFiles) {
  const std::string steps_of_two = "<motion name=\"a\" time=\"1\"/><motion name=\"b\" time=\"1\"/>";
  for (const std::string refresh : {"true", "True"}) {
    SCOPED_TRACE(refresh);
    const std::string header = "<sequence name=\"f\" refresh=\"" + refresh + "\">";
    const std::string path =
        WriteFile("reroad.xml", header + "<motion name=\"a\" time=\"1\"/></sequence>");
    MotionSequenceXML motion(path);
    Cycle(motion);
    ASSERT_TRUE(motion.IsEnd());
    WriteFile("reroad.xml", header + steps_of_two + "</sequence>");
    motion.ReroadFile();
    EXPECT_EQ(refresh == "true" ? 2u : 1u, motion.GetSequence().size());
    EXPECT_EQ(refresh == "true", !motion.IsEnd());  // a re-read motion starts afresh
    std::remove(path.c_str());
  }
  // A motion read from a text has no file to re-read.
  MotionSequenceXML motion;
  motion.ReadDirect(kThreeSteps);
  Cycle(motion);
  motion.ReroadFile();
  EXPECT_EQ(1, motion.GetSequence()[0].current_time);
}

TEST_F(MotionSequenceXMLTest, WriteXMLSourceCodeEscapesQuotesLineByLine) {
  const std::string path = WriteFile(
      "source.xml",
      "<sequence name=\"s\" refresh=\"true\">\n  <motion name=\"m\" time=\"1\"/>\n</sequence>\n");
  const std::string out = ::testing::TempDir() + "source.inc";
  MotionSequenceXML(path).WriteXMLSourceCode(out.c_str());
  std::stringstream text;
  text << std::ifstream(out).rdbuf();
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
TEST(MotionSequenceXMLDeathTest, MissingOrMalformedFileEndsTheProcessNamingIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(MotionSequenceXML("xml/MotionXML/NoSuchMotion.xml"), ::testing::ExitedWithCode(1),
              "xml/MotionXML/NoSuchMotion\\.xml");
  const struct {
    std::string text;
    const char* reason;  // part of the message
  } cases[] = {
      {"<sequence name=\"s\" refresh=\"true\"><motion>", "XML_ERROR"},
      {"", "XML_ERROR_EMPTY_DOCUMENT"},
      {"<motions name=\"s\" refresh=\"true\"/>", "no <sequence> root"},
      {"<sequence refresh=\"true\"/>", "\"name\""},
      {"<sequence name=\"s\"/>", "\"refresh\""},
      {"<sequence name=\"s\" refresh=\"true\"><motion name=\"m\"/></sequence>", "\"time\""},
      {OneStep("<move degree=\"1\"/>"), "\"id\""},
      {OneStep("<move id=\"hj1\"/>"), "\"degree\""},
      {OneStep("<move id=\"hj1\" degree=\"nan\"/>"), "non-finite degree"},
      {OneStep("<move id=\"hj1\" degree=\"1\" speed=\"1e999\"/>"), "non-finite speed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string path = WriteFile("malformed_motion.xml", c.text);
    EXPECT_EXIT(MotionSequenceXML{path}, ::testing::ExitedWithCode(1),
                std::string("malformed_motion\\.xml.*") + c.reason);
    std::remove(path.c_str());
  }
  MotionSequenceXML motion;
  EXPECT_EXIT(motion.ReadDirect("<sequence/>"), ::testing::ExitedWithCode(1),
              "motion text.*\"name\"");
}

}  // namespace
}  // namespace zamp
