#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "learning/AgentMotionPractice.h"
#include "motion/KickOffShoot.h"
#include "motion/MotionSequenceXML.h"
#include "motion/StandUpFromBack.h"
#include "support/FakeTrainingServer.h"
#include "support/ScratchDirectory.h"
#include "support/TrainerAgentDriver.h"

namespace zamp {
namespace {

using test::FakeTrainingServer;
using test::ScratchDirectory;
using test::TrainerAgentDriver;
using World = FakeTrainingServer::World;

const char KICK_PLACEMENT[] =
    "(ball (pos 0.000000 0.000000 0.042000) (vel 0.000000 0.000000 0.000000))"
    "(agent (unum 10) (team Left) (move -0.200000 -0.050000 0.375000 -90.000000))";
const char WALK_PLACEMENT[] =
    "(agent (unum 10) (team Left) (move 0.000000 2.000000 0.375000 -90.000000))";

// A motion of one step of the given length, bending the head to degree.
std::string OneStep(int time, double degree) {
  return "<sequence name=\"practice\" refresh=\"true\"><motion name=\"nod\" time=\"" +
         std::to_string(time) + "\"><move id=\"hj2\" degree=\"" + std::to_string(degree) +
         "\"/></motion></sequence>";
}

int StepLength(const AgentMotionPractice& practice) {
  return dynamic_cast<const MotionSequenceXML&>(practice.GetMotion()).GetSequence()[0].end_time;
}

TEST(AgentMotionPracticeTest, CommandLineChoosesThePracticeAndItsMotion) {
  ScratchDirectory dir;
  dir.Write("nod.xml", OneStep(3, 10.0));
  TrainerAgentDriver<AgentMotionPractice> any({});
  EXPECT_EQ(any.Agent().GetPracticeType(), AgentMotionPractice::PRACTICE_ANY);
  EXPECT_EQ(dynamic_cast<const MotionSequenceXML&>(any.Agent().GetMotion()).GetFileName(),
            "xml/MotionXML/PushBall.xml");
  TrainerAgentDriver<AgentMotionPractice> back({"--practice=back"});
  EXPECT_EQ(back.Agent().GetPracticeType(), AgentMotionPractice::PRACTICE_STAND_UP_FROM_BACK);
  EXPECT_NE(dynamic_cast<const StandUpFromBack*>(&back.Agent().GetMotion()), nullptr);
  TrainerAgentDriver<AgentMotionPractice> kick({"--practice=kick"});
  EXPECT_NE(dynamic_cast<const KickOffShoot*>(&kick.Agent().GetMotion()), nullptr);
  TrainerAgentDriver<AgentMotionPractice> file(
      {"--practice=prone", "--motion-file=" + dir.PathOf("nod.xml")});
  EXPECT_EQ(file.Agent().GetPracticeType(), AgentMotionPractice::PRACTICE_STAND_UP_FROM_PRONE);
  EXPECT_EQ(StepLength(file.Agent()), 3);
  testing::internal::CaptureStdout();
  TrainerAgentDriver<AgentMotionPractice> unknown({"--practice=juggle"});
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "I use the practice \"any\" because \"juggle\" practice doesn't exist.\n");
  EXPECT_EQ(unknown.Agent().GetPracticeType(), AgentMotionPractice::PRACTICE_ANY);
}

TEST(AgentMotionPracticeTest, EachRepetitionRereadsTheFileAndKeepsTheLastGoodOne) {
  ScratchDirectory dir;
  dir.Write("nod.xml", OneStep(3, 10.0));
  TrainerAgentDriver<AgentMotionPractice> practice({"--motion-file=" + dir.PathOf("nod.xml")});
  World world;
  const auto play = [&](int cycles) {
    for (int i = 0; i < cycles; ++i, ++world.cycle) {
      practice.Step(FakeTrainingServer::Perception(world, "PlayOn"));
      EXPECT_EQ(practice.Trainer(), "") << "nothing is placed while practising a motion";
    }
  };
  play(2);
  dir.Write("nod.xml", OneStep(5, 20.0));
  play(1);  // the first repetition ends and the file is read again
  EXPECT_EQ(StepLength(practice.Agent()), 5);

  // Saved half-written: the motion stays as it was, with one warning over many repetitions.
  dir.Write("nod.xml", "<sequence name=\"practice\" refresh=\"true\"><motion name=");
  testing::internal::CaptureStderr();
  play(5 * 4);
  const std::string warnings = testing::internal::GetCapturedStderr();
  EXPECT_EQ(StepLength(practice.Agent()), 5);
  EXPECT_NE(warnings.find(dir.PathOf("nod.xml")), std::string::npos) << warnings;
  EXPECT_EQ(warnings.find('\n'), warnings.size() - 1) << warnings;

  dir.Write("nod.xml", OneStep(2, 0.0));
  play(5);
  EXPECT_EQ(StepLength(practice.Agent()), 2);
}

TEST(AgentMotionPracticeTest, KickIsPlacedThirtyCyclesAfterEachKickAndResetOnceInTheLast) {
  ScratchDirectory dir;
  dir.Write("kick.xml", OneStep(7, 10.0));
  TrainerAgentDriver<AgentMotionPractice> practice(
      {"--practice=kick", "--motion-file=" + dir.PathOf("kick.xml")});
  World world;
  std::vector<bool> placed;
  for (; world.cycle < 150; ++world.cycle) {
    practice.Step(FakeTrainingServer::Perception(world, "PlayOn"));
    placed.push_back(practice.Trainer() == KICK_PLACEMENT);
    EXPECT_TRUE(placed.back() || practice.Trainer().empty()) << practice.Trainer();
  }
  // The first kick plays unplaced; from the cycle it ends in, 30 cycles of placement; the
  // motion is reset once, in the last of them, and plays its 7 cycles again, the last of
  // which starts the next placement; and so on.
  std::vector<bool> expected;
  for (int i = 0; i < 6; ++i) expected.push_back(false);
  while (expected.size() < placed.size()) {
    for (int i = 0; i < 30; ++i) expected.push_back(true);
    for (int i = 0; i < 6; ++i) expected.push_back(false);
  }
  expected.resize(placed.size());
  EXPECT_EQ(placed, expected);
}

TEST(AgentMotionPracticeTest, WalkingRobotIsPutBackOnlyAfterBeingDownForThreeTenths) {
  TrainerAgentDriver<AgentMotionPractice> practice({"--practice=walk"});
  World world;
  for (; world.cycle < 30; ++world.cycle) {
    practice.Step(FakeTrainingServer::Perception(world, "PlayOn"));
    ASSERT_EQ(practice.Trainer(), "");
  }
  // Down from cycle 30 on, tipped over within that cycle as the gyroscope tells; the robot
  // is helped from 0.3 s later.
  world.tilt = 90.0;
  int first_help = -1;
  for (; world.cycle < 60 && first_help < 0; ++world.cycle) {
    world.gyro.x() = world.cycle == 30 ? -90.0 / FakeTrainingServer::CYCLE : 0.0;
    practice.Step(FakeTrainingServer::Perception(world, "PlayOn"));
    if (practice.Trainer() == WALK_PLACEMENT) first_help = world.cycle;
    EXPECT_TRUE(practice.Trainer().empty() || practice.Trainer() == WALK_PLACEMENT);
  }
  ASSERT_GE(first_help, 0);
  EXPECT_GE(first_help, 30 + 15);
  EXPECT_LE(first_help, 30 + 15 + 2);
}

}  // namespace
}  // namespace zamp
