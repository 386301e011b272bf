#include <gtest/gtest.h>
#include <unistd.h>

#include <Eigen/Core>
#include <algorithm>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "motion/LongKickType4.h"
#include "motion/MotionSequence.h"
#include "motion/MotionSequenceXML.h"
#include "motion/Walk.h"
#include "play/AgentZAMP.h"
#include "play/Strategy.h"
#include "play/StrategyDropIn.h"
#include "play/StrategyFielderZAMP.h"
#include "play/StrategyKeeperZAMP.h"
#include "play/StrategyKickChallenge.h"
#include "play/StrategyKicker.h"
#include "play/StrategyZAMP.h"
#include "support/AgentStateTestAccess.h"
#include "support/AgentZAMPTestAccess.h"
#include "support/ClosedLoop.h"
#include "support/SharedInstances.h"

namespace zamp {
namespace {

using Access = AgentZAMPTestAccess;
using test::Renew;

// A strategy whose motion word and say text the test sets, counting how often it is asked.
class FakeStrategy : public Strategy {
 public:
  void Run() override { ++run_count_; }
  std::string MakeSay() override { return say_; }
  void UpdateHear() override { ++hear_count_; }

  int run_count_ = 0;
  int hear_count_ = 0;
  std::string say_;
};

// A motion whose end the test decides.
class FakeMotion : public MotionSequence {
 public:
  void Run() override {}
  void Reset() override {
    ++reset_count_;
    end_ = false;
  }
  void SetEnd(bool end) { end_ = end; }

  int reset_count_ = 0;
};

// How the robot lies; the field model would have written this torso orientation (degrees).
enum Posture { UPRIGHT, FALLEN_BACK, FALLEN_FRONT };

Eigen::Vector3d RotationFor(Posture posture) {
  switch (posture) {
    case FALLEN_BACK:
      return Eigen::Vector3d(60.0, 0.0, 0.0);
    case FALLEN_FRONT:
      return Eigen::Vector3d(-60.0, 0.0, 0.0);
    default:
      return Eigen::Vector3d::Zero();
  }
}

class AgentZAMPTest : public ::testing::Test {
 protected:
  // The motion files are read relative to the working directory.
  void SetUp() override { ASSERT_EQ(chdir(ZAMP_SOURCE_DIR), 0); }

  // Builds the agent on fresh shared instances with a fake strategy in place of its own.
  void Build(std::vector<std::string> args, AgentTypeID agent_type = AGENT_TYPE_STANDARD) {
    agent_.reset();
    loop_ = std::make_unique<test::ClosedLoop>(agent_type);
    Renew<FieldState>();
    Renew<StrategyInformation>();
    Renew<Drawing>();
    args.insert(args.begin(), "agent");
    args.push_back("--type=" + std::to_string(agent_type));
    args_ = std::move(args);
    argv_.clear();
    for (std::string& arg : args_) argv_.push_back(arg.data());
    agent_ = std::make_unique<AgentZAMP>(static_cast<int>(argv_.size()), argv_.data());
    chosen_strategy_walk_ = Access::GetStrategy(*agent_).walk_;
    auto strategy = std::make_unique<FakeStrategy>();
    strategy_ = strategy.get();
    Access::SetStrategy(*agent_, std::move(strategy));
    effector_ = std::make_unique<EffectorAgent>();
    effector_->SetEffectorAgentUse(false, false, false, true, false, false);
  }

  // One agent cycle through the closed loop: the perception carries the simulated joints
  // and the play mode, the robot lies as posture says, then Think and ControlEffector run
  // and the beam and say pieces of the message are kept.
  void Cycle(Posture posture = UPRIGHT) {
    AgentStateTestAccess::SetRotation(agent(), RotationFor(posture));
    loop_->Step([this] {
      agent_->Think();
      agent_->ControlEffector(*effector_);
      hj1_target_ = Singleton<JointController>::GetInstance()->GetTargetDegree(HJ_HJ1);
      message_ = effector_->Make();
    });
  }

  void Cycles(int count, Posture posture = UPRIGHT) {
    for (int i = 0; i < count; ++i) Cycle(posture);
  }

  AgentState& agent() const { return *Singleton<AgentState>::GetInstance(); }
  AgentState::Behavior behavior() const { return agent().GetCurrentBehavior(); }
  MotionSequence* Motion() const { return Access::GetMotion(*agent_); }
  MotionSequence* Own(const std::string& name) const { return Access::GetOwnMotion(*agent_, name); }
  bool BeamSent() const { return message_.find("(beam ") != std::string::npos; }

  std::vector<std::string> args_;
  std::vector<char*> argv_;
  std::unique_ptr<test::ClosedLoop> loop_;
  std::unique_ptr<AgentZAMP> agent_;
  std::unique_ptr<EffectorAgent> effector_;
  FakeStrategy* strategy_ = nullptr;
  std::shared_ptr<Walk> chosen_strategy_walk_;  // the walk the agent gave its own strategy
  std::string message_;
  double hj1_target_ = 0.0;  // degrees, the neck yaw target of the last cycle
};

// The steps of a keyframe motion played so far: (step index, cycles into that step).
std::pair<int, int> KeyframePosition(MotionSequence* motion) {
  const auto* xml = dynamic_cast<const MotionSequenceXML*>(motion);
  if (xml == nullptr) return {-1, -1};
  const int step = xml->GetCurrentMotion();
  return {step, xml->GetSequence()[step].current_time};
}

// One cycle from a scripted start: the strategy's motion word, the posture held for 0.4 s
// before the cycle and whether the scripted motion has ended decide the next behaviour.
TEST_F(AgentZAMPTest, ChoosesTheNextBehaviour) {
  using B = AgentState::Behavior;
  const B READY = AgentState::BEH_READY, MOVE = AgentState::BEH_MOVE, KICK = AgentState::BEH_KICK;
  const B JUMP = AgentState::BEH_JUMP, STAND_UP = AgentState::BEH_STAND_UP;
  const B OTHER = AgentState::BEH_OTHER;
  const char* const BEAM = "BeforeKickOff";  // allows a beam
  const char* const PLAY = "PlayOn";
  const Posture UP = UPRIGHT, BACK = FALLEN_BACK;
  struct Case {
    const char* name;
    B start;
    const char* play_mode;
    const char* word;
    Posture posture;
    bool motion_ended;
    B next;
    const char* motion;  // "fake" (still the scripted motion) or the agent's own motion
    int fake_resets;
  };
  // clang-format off
  const Case cases[] = {
      {"ReadyHoldsWhileBeaming", READY, BEAM, "", UP, false, READY, "fake", 0},
      {"ReadyFallenWhileBeaming", READY, BEAM, "", BACK, false, STAND_UP, "stand_up_back", 1},
      {"ReadyWalksInPlay", READY, PLAY, "", UP, false, MOVE, "fake", 0},
      {"MoveKeepsWalking", MOVE, PLAY, "", UP, false, MOVE, "fake", 0},
      {"MoveStopsForBeam", MOVE, BEAM, "", UP, false, READY, "fake", 0},
      {"QuickKick", MOVE, PLAY, "QuickKick", UP, false, KICK, "quick_kick", 0},
      {"QuickKick2", MOVE, PLAY, "QuickKick2", UP, false, KICK, "quick_kick2", 0},
      {"OldKick", MOVE, PLAY, "OldKick", UP, false, KICK, "old_kick", 0},
      {"LongKick", MOVE, PLAY, "LongKick", UP, false, KICK, "long_kick", 0},
      {"RightJump", MOVE, PLAY, "RightJump", UP, false, JUMP, "right_jump", 0},
      {"LeftJump", MOVE, PLAY, "LeftJump", UP, false, JUMP, "left_jump", 0},
      {"OpneFoot", MOVE, PLAY, "OpneFoot", UP, false, JUMP, "open_foot", 0},
      {"UnknownWordKeepsWalking", MOVE, PLAY, "OpenFoot", UP, false, MOVE, "fake", 0},
        // The word of the cycle in which beaming becomes allowed still starts the kick.
      {"WordBeatsBeam", MOVE, BEAM, "LongKick", UP, false, KICK, "long_kick", 0},
      {"FallBeatsWord", MOVE, PLAY, "QuickKick", BACK, false, STAND_UP, "stand_up_back", 0},
      {"FallWhileWalking", MOVE, PLAY, "", BACK, false, STAND_UP, "stand_up_back", 1},
      {"KickGoesOn", KICK, PLAY, "", UP, false, KICK, "fake", 0},
      {"KickEnds", KICK, PLAY, "", UP, true, READY, "fake", 1},
      {"BeamCutsKick", KICK, BEAM, "", UP, false, READY, "fake", 1},
      {"FallAfterEndedKick", KICK, PLAY, "", BACK, true, STAND_UP, "stand_up_back", 2},
      {"FallDuringKickWaitsForItsEnd", KICK, PLAY, "", BACK, false, KICK, "fake", 0},
      {"BeamCutsKickWithoutFallTest", KICK, BEAM, "", BACK, false, READY, "fake", 1},
      {"StandUpGoesOn", STAND_UP, PLAY, "", BACK, false, STAND_UP, "fake", 0},
      {"StandUpEnds", STAND_UP, PLAY, "", UP, true, READY, "fake", 1},
      {"StandUpEndsWithoutFallTest", STAND_UP, PLAY, "", BACK, true, READY, "fake", 1},
      {"JumpGoesOn", JUMP, BEAM, "", UP, false, JUMP, "fake", 0},
      {"JumpEnds", JUMP, PLAY, "", FALLEN_FRONT, true, READY, "fake", 1},
      {"OtherStays", OTHER, PLAY, "", BACK, true, OTHER, "fake", 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Build({"--unum=5"});
    // BEH_OTHER leaves the machine alone while the posture's history builds up.
    agent().SetCurrentBehavior(AgentState::BEH_OTHER);
    Cycle(UPRIGHT);
    Cycles(20, c.posture);

    FakeMotion fake;
    fake.SetEnd(c.motion_ended);
    Access::SetMotion(*agent_, &fake);
    agent().SetCurrentBehavior(c.start);
    agent().SetCurrentMoveState(AgentState::MS_DRRIBLE);
    strategy_->command_ = c.word;
    loop_->SetPlayMode(c.play_mode);
    Cycle(c.posture);

    EXPECT_EQ(behavior(), c.next);
    const std::string motion = c.motion;
    EXPECT_EQ(Motion(), motion == "fake" ? &fake : Own(motion));
    EXPECT_EQ(fake.reset_count_, c.fake_resets);
    if (c.start == MOVE) {
      EXPECT_TRUE(strategy_->command_.empty());
      EXPECT_EQ(agent().GetCurrentMoveState(),
                c.next == MOVE ? AgentState::MS_DRRIBLE : AgentState::MS_NOT_MOVE);
      EXPECT_EQ(strategy_->run_count_, c.next == MOVE ? 1 : 0);
    }
    Access::SetMotion(*agent_, nullptr);
  }
}

TEST_F(AgentZAMPTest, StandsUpOnceDownForThreeTenthsOfASecond) {
  for (const auto& c : {std::make_pair(FALLEN_BACK, "stand_up_back"),
                        std::make_pair(FALLEN_FRONT, "stand_up_prone")}) {
    SCOPED_TRACE(c.second);
    Build({"--unum=5"});
    // Upright at server time 0; down from 0.02 s on.
    Cycle(UPRIGHT);
    Cycles(14, c.first);
    EXPECT_EQ(loop_->GetServerTime(), 0.3);
    EXPECT_EQ(behavior(), AgentState::BEH_MOVE) << "down for 0.28 s";
    Cycle(c.first);
    EXPECT_EQ(behavior(), AgentState::BEH_STAND_UP) << "down for exactly 0.3 s";
    EXPECT_EQ(Motion(), Own(c.second));
  }
}

TEST_F(AgentZAMPTest, AFallDuringAKickStartsTheRightStandUpOnceTheKickEnds) {
  for (const auto& c : {std::make_pair(FALLEN_FRONT, "stand_up_prone"),
                        std::make_pair(FALLEN_BACK, "stand_up_back")}) {
    SCOPED_TRACE(c.second);
    Build({"--unum=8"});
    Cycle(UPRIGHT);
    strategy_->command_ = "QuickKick";
    Cycle(UPRIGHT);
    ASSERT_EQ(behavior(), AgentState::BEH_KICK);
    MotionSequence* kick = Motion();

    // The robot goes down early in the kick; the kick is played to its end regardless.
    Cycles(10, UPRIGHT);
    int cycles = 0;
    while (behavior() == AgentState::BEH_KICK && cycles < 200) {
      Cycle(c.first);
      ++cycles;
    }
    // A quick kick lasts 54 cycles; the change comes in the cycle after its last step.
    EXPECT_EQ(cycles + 1 + 10, 55);
    EXPECT_EQ(behavior(), AgentState::BEH_STAND_UP);
    EXPECT_EQ(Motion(), Own(c.second));
    EXPECT_EQ(KeyframePosition(Motion()), std::make_pair(0, 1));
    EXPECT_FALSE(kick->IsEnd()) << "the ended kick is rewound for its next use";
  }
}

TEST_F(AgentZAMPTest, BeamIsSentForElevenCyclesPerOpportunity) {
  Build({"--unum=5"});
  agent_->SettingBeam();
  loop_->SetPlayMode("BeforeKickOff");
  std::vector<bool> sent;
  for (int i = 0; i < 30; ++i) {
    Cycle();
    sent.push_back(BeamSent());
    if (i == 0) {
      EXPECT_EQ(message_, "(beam -7.500000 -1.000000 0.000000)");
    }
  }
  std::vector<bool> expected(30, false);
  std::fill(expected.begin(), expected.begin() + 11, true);
  EXPECT_EQ(sent, expected);

  // Play in between opens the next opportunity.
  loop_->SetPlayMode("PlayOn");
  Cycle();
  EXPECT_FALSE(BeamSent());
  loop_->SetPlayMode("Goal_Left");
  sent.clear();
  for (int i = 0; i < 12; ++i) {
    Cycle();
    sent.push_back(BeamSent());
  }
  expected.assign(12, true);
  expected[11] = false;
  EXPECT_EQ(sent, expected);

  // The kick challenge never beams.
  Build({"--mode=kick", "--unum=3"});
  agent_->SettingBeam();
  loop_->SetPlayMode("BeforeKickOff");
  for (int i = 0; i < 20; ++i) {
    Cycle();
    EXPECT_FALSE(BeamSent()) << "cycle " << i;
  }
}

TEST_F(AgentZAMPTest, BeamPoseByModeAndUniformNumber) {
  // The game table itself is checked for every uniform number by the team process test.
  const struct {
    const char* mode;
    int unum;
    double x;
    double y;
  } cases[] = {{"game", 12, -4.0, -1.5},  {"game", 0, -4.0, -1.5},  {"dropin", 6, -7.0, 4.0},
               {"nonsense", 2, -12.5, 0.5}, {"kicker", 4, -2.5, 0.0}, {"kick", 9, 0.0, 0.0}};
  for (const auto& c : cases) {
    Build({std::string("--mode=") + c.mode});
    agent().SetUniformNumber(c.unum);
    agent_->SettingBeam();
    EXPECT_EQ(agent().GetBeamCoordinates(), Eigen::Vector2d(c.x, c.y)) << c.mode << " " << c.unum;
    EXPECT_EQ(agent().GetBeamDirection(), 0.0);
  }
}

TEST_F(AgentZAMPTest, MotionsFitTheModeAndTheRobotType) {
  // The challenge's long kick waits 50 cycles in its first step instead of 25.
  for (const auto& c : {std::make_pair("--mode=kick", 50), std::make_pair("--mode=game", 25)}) {
    Build({c.first});
    Own("long_kick")->Run();
    const auto* kick = dynamic_cast<const MotionSequenceXML*>(Own("long_kick"));
    ASSERT_NE(kick, nullptr);
    EXPECT_EQ(kick->GetSequence()[0].end_time, c.second) << c.first;
  }
  for (const AgentTypeID type : {AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL, AGENT_TYPE_TOENAIL}) {
    Build({"--unum=4"}, type);
    EXPECT_EQ(dynamic_cast<LongKickType4*>(Own("long_kick")) != nullptr,
              type == AGENT_TYPE_TOENAIL)
        << "type " << type;
  }
  // It starts with the kick-off shot and hands its own walk to the strategy.
  EXPECT_EQ(Motion(), Own("kick_off_shoot"));
  ASSERT_NE(Access::GetWalk(*agent_), nullptr);
  EXPECT_EQ(chosen_strategy_walk_, Access::GetWalk(*agent_));
}

TEST_F(AgentZAMPTest, StrategyByModeAndUniformNumber) {
  const struct {
    const char* mode;
    int unum;
    const std::type_info& strategy;
  } cases[] = {{"game", 1, typeid(StrategyKeeperZAMP)},    {"game", 2, typeid(StrategyFielderZAMP)},
               {"dropin", 1, typeid(StrategyDropIn)},      {"kick", 1, typeid(StrategyKickChallenge)},
               {"kicker", 1, typeid(StrategyKicker)},      {"keeper", 1, typeid(StrategyZAMP)}};
  for (const auto& c : cases) {
    ::testing::internal::CaptureStdout();
    const std::unique_ptr<Strategy> strategy = AgentZAMP::CreateStrategy(c.mode, c.unum);
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_NE(strategy, nullptr);
    const Strategy& chosen = *strategy;
    EXPECT_EQ(typeid(chosen), c.strategy) << c.mode << " " << c.unum;
    const bool known = c.strategy != typeid(StrategyZAMP);
    EXPECT_EQ(out, known ? ""
                         : std::string("I use default mode because \"") + c.mode +
                               "\" mode doesn't exist.\n");
  }
}

TEST_F(AgentZAMPTest, ReadyPoseIsReachedWithTheHeadSweepingEveryThreeSeconds) {
  Build({"--unum=2"});
  loop_->SetPlayMode("BeforeKickOff");
  std::vector<double> head_targets;
  for (int i = 0; i < 151; ++i) {
    Cycle();
    head_targets.push_back(hj1_target_);
    EXPECT_EQ(loop_->GetCommandedSpeed(HJ_HJ2), 0.0);
  }
  EXPECT_EQ(behavior(), AgentState::BEH_READY);
  EXPECT_EQ(head_targets[74], 120.0);
  EXPECT_EQ(head_targets[75], -120.0);
  EXPECT_EQ(head_targets[149], -120.0);
  EXPECT_EQ(head_targets[150], 120.0);
  EXPECT_NEAR(loop_->GetJointDegree(HJ_RAJ1), -100.0, 1.5);
  EXPECT_NEAR(loop_->GetJointDegree(HJ_RLJ4), -60.0, 1.5);
}

TEST_F(AgentZAMPTest, WalkingRunsTheStrategyAndTheSharedWalkEveryCycle) {
  Build({"--unum=7"});
  Access::GetWalk(*agent_)->SettingSpeed(1.0, 0.0, 0.0);
  strategy_->say_ = "Ab3";
  Cycles(40);
  EXPECT_EQ(behavior(), AgentState::BEH_MOVE);
  EXPECT_EQ(strategy_->run_count_, 40);
  EXPECT_EQ(strategy_->hear_count_, 40);
  EXPECT_GT(Access::GetWalk(*agent_)->GetCurrentVerticalSpeed(), 0.0);
  EXPECT_EQ(message_, "(say Ab3)");

  // Back from the ready pose, the walk starts again from rest.
  loop_->SetPlayMode("BeforeKickOff");
  strategy_->say_.clear();
  Cycle();
  ASSERT_EQ(behavior(), AgentState::BEH_READY);
  loop_->SetPlayMode("PlayOn");
  Access::GetWalk(*agent_)->SettingSpeed(0.0, 0.0, 0.0);
  Cycle();
  EXPECT_EQ(behavior(), AgentState::BEH_MOVE);
  EXPECT_EQ(Access::GetWalk(*agent_)->GetCurrentVerticalSpeed(), 0.0);
  EXPECT_EQ(message_, "");
}

}  // namespace
}  // namespace zamp
