#include <gtest/gtest.h>
#include <unistd.h>

#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "motion/LongKickType0.h"
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
#include "support/AgentReply.h"
#include "support/AgentStateTestAccess.h"
#include "support/AgentZAMPTestAccess.h"
#include "support/ClosedLoop.h"
#include "support/Fixtures.h"
#include "support/MessageCorruptor.h"
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
  void Run() override { ++run_count_; }
  void Reset() override {
    ++reset_count_;
    end_ = false;
  }
  void SetEnd(bool end) { end_ = end; }

  int run_count_ = 0;
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

// --- Behaviour state machine, one cycle from a scripted start ----------------------------

struct TransitionCase {
  const char* name;
  AgentState::Behavior start;
  const char* play_mode;  // "BeforeKickOff" allows a beam, "PlayOn" does not
  const char* word;       // the strategy's motion word this cycle
  Posture posture;        // held for 0.4 s before the cycle
  bool motion_ended;      // the scripted motion has played to its end
  AgentState::Behavior next;
  const char* motion;  // "fake" (still the scripted motion) or the agent's own motion
  int fake_resets;
};

void PrintTo(const TransitionCase& c, std::ostream* os) { *os << c.name; }

class AgentZAMPTransitionTest : public AgentZAMPTest,
                                public ::testing::WithParamInterface<TransitionCase> {};

TEST_P(AgentZAMPTransitionTest, ChoosesTheNextBehaviour) {
  const TransitionCase& c = GetParam();
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
  if (c.start == AgentState::BEH_MOVE) {
    EXPECT_TRUE(strategy_->command_.empty());
    EXPECT_EQ(agent().GetCurrentMoveState(),
              c.next == AgentState::BEH_MOVE ? AgentState::MS_DRRIBLE : AgentState::MS_NOT_MOVE);
    EXPECT_EQ(strategy_->run_count_, c.next == AgentState::BEH_MOVE ? 1 : 0);
  }
}

using B = AgentState::Behavior;
constexpr B READY = AgentState::BEH_READY;
constexpr B MOVE = AgentState::BEH_MOVE;
constexpr B KICK = AgentState::BEH_KICK;
constexpr B JUMP = AgentState::BEH_JUMP;
constexpr B STAND_UP = AgentState::BEH_STAND_UP;
constexpr B OTHER = AgentState::BEH_OTHER;
constexpr const char* BEAM = "BeforeKickOff";
constexpr const char* PLAY = "PlayOn";

INSTANTIATE_TEST_SUITE_P(
    Table, AgentZAMPTransitionTest,
    ::testing::Values(
        TransitionCase{"ReadyHoldsWhileBeaming", READY, BEAM, "", UPRIGHT, false, READY, "fake", 0},
        TransitionCase{"ReadyFallenWhileBeaming", READY, BEAM, "", FALLEN_BACK, false, STAND_UP,
                       "stand_up_back", 1},
        TransitionCase{"ReadyWalksInPlay", READY, PLAY, "", UPRIGHT, false, MOVE, "fake", 0},
        TransitionCase{"ReadyFallenInPlay", READY, PLAY, "", FALLEN_BACK, false, STAND_UP,
                       "stand_up_back", 1},
        TransitionCase{"MoveKeepsWalking", MOVE, PLAY, "", UPRIGHT, false, MOVE, "fake", 0},
        TransitionCase{"MoveStopsForBeam", MOVE, BEAM, "", UPRIGHT, false, READY, "fake", 0},
        TransitionCase{"QuickKick", MOVE, PLAY, "QuickKick", UPRIGHT, false, KICK, "quick_kick", 0},
        TransitionCase{"QuickKick2", MOVE, PLAY, "QuickKick2", UPRIGHT, false, KICK, "quick_kick2",
                       0},
        TransitionCase{"OldKick", MOVE, PLAY, "OldKick", UPRIGHT, false, KICK, "old_kick", 0},
        TransitionCase{"LongKick", MOVE, PLAY, "LongKick", UPRIGHT, false, KICK, "long_kick", 0},
        TransitionCase{"RightJump", MOVE, PLAY, "RightJump", UPRIGHT, false, JUMP, "right_jump", 0},
        TransitionCase{"LeftJump", MOVE, PLAY, "LeftJump", UPRIGHT, false, JUMP, "left_jump", 0},
        TransitionCase{"OpneFoot", MOVE, PLAY, "OpneFoot", UPRIGHT, false, JUMP, "open_foot", 0},
        TransitionCase{"UnknownWordKeepsWalking", MOVE, PLAY, "OpenFoot", UPRIGHT, false, MOVE,
                       "fake", 0},
        TransitionCase{"WordBeatsBeam", MOVE, BEAM, "LongKick", UPRIGHT, false, KICK, "long_kick",
                       0},
        TransitionCase{"FallBeatsWord", MOVE, PLAY, "QuickKick", FALLEN_BACK, false, STAND_UP,
                       "stand_up_back", 0},
        TransitionCase{"FallWhileWalking", MOVE, PLAY, "", FALLEN_BACK, false, STAND_UP,
                       "stand_up_back", 1},
        TransitionCase{"KickGoesOn", KICK, PLAY, "", UPRIGHT, false, KICK, "fake", 0},
        TransitionCase{"KickEnds", KICK, PLAY, "", UPRIGHT, true, READY, "fake", 1},
        TransitionCase{"BeamCutsKick", KICK, BEAM, "", UPRIGHT, false, READY, "fake", 1},
        TransitionCase{"FallAfterEndedKick", KICK, PLAY, "", FALLEN_BACK, true, STAND_UP,
                       "stand_up_back", 2},
        TransitionCase{"FallDuringKickWaitsForItsEnd", KICK, PLAY, "", FALLEN_BACK, false, KICK,
                       "fake", 0},
        TransitionCase{"BeamCutsKickWithoutFallTest", KICK, BEAM, "", FALLEN_BACK, false, READY,
                       "fake", 1},
        TransitionCase{"StandUpGoesOn", STAND_UP, PLAY, "", FALLEN_BACK, false, STAND_UP, "fake",
                       0},
        TransitionCase{"StandUpEnds", STAND_UP, PLAY, "", UPRIGHT, true, READY, "fake", 1},
        TransitionCase{"StandUpEndsWithoutFallTest", STAND_UP, PLAY, "", FALLEN_BACK, true, READY,
                       "fake", 1},
        TransitionCase{"JumpGoesOn", JUMP, BEAM, "", UPRIGHT, false, JUMP, "fake", 0},
        TransitionCase{"JumpEnds", JUMP, PLAY, "", FALLEN_FRONT, true, READY, "fake", 1},
        TransitionCase{"OtherStays", OTHER, PLAY, "", FALLEN_BACK, true, OTHER, "fake", 0}),
    [](const ::testing::TestParamInfo<TransitionCase>& param_info) {
      return param_info.param.name;
    });

// --- Scenarios over many cycles -----------------------------------------------------------

TEST_F(AgentZAMPTest, AFallBeatsAKickWordInTheSameCycle) {
  Build({"--unum=5"});
  Cycle(UPRIGHT);
  ASSERT_EQ(behavior(), AgentState::BEH_MOVE);
  Cycles(14, FALLEN_BACK);
  ASSERT_EQ(behavior(), AgentState::BEH_MOVE);
  const int runs = strategy_->run_count_;

  strategy_->command_ = "QuickKick";
  Cycle(FALLEN_BACK);

  EXPECT_EQ(behavior(), AgentState::BEH_STAND_UP);
  EXPECT_EQ(Motion(), Own("stand_up_back"));
  EXPECT_EQ(KeyframePosition(Motion()), std::make_pair(0, 1));
  EXPECT_TRUE(strategy_->command_.empty());
  EXPECT_EQ(strategy_->run_count_, runs);
  EXPECT_EQ(agent().GetCurrentMoveState(), AgentState::MS_NOT_MOVE);
  // The word is gone: once up again the robot walks instead of kicking.
  Cycles(97, UPRIGHT);
  ASSERT_TRUE(Motion()->IsEnd());
  Cycles(2, UPRIGHT);
  EXPECT_EQ(behavior(), AgentState::BEH_MOVE);
}

TEST_F(AgentZAMPTest, AKickWordInTheCycleBeamingBecomesAllowedStillStartsTheKick) {
  Build({"--unum=5"});
  Cycles(2);
  ASSERT_EQ(behavior(), AgentState::BEH_MOVE);

  loop_->SetPlayMode("BeforeKickOff");
  strategy_->command_ = "LongKick";
  Cycle();
  EXPECT_EQ(behavior(), AgentState::BEH_KICK);
  EXPECT_EQ(Motion(), Own("long_kick"));
  EXPECT_EQ(KeyframePosition(Motion()), std::make_pair(0, 1));

  // While beaming stays allowed the kick gives way to the ready pose, rewound.
  Cycle();
  EXPECT_EQ(behavior(), AgentState::BEH_READY);
  EXPECT_EQ(KeyframePosition(Own("long_kick")), std::make_pair(0, 0));
}

struct FallBoundaryCase {
  const char* name;
  Posture posture;
  const char* stand_up;
};

void PrintTo(const FallBoundaryCase& c, std::ostream* os) { *os << c.name; }

class AgentZAMPFallBoundaryTest : public AgentZAMPTest,
                                  public ::testing::WithParamInterface<FallBoundaryCase> {};

TEST_P(AgentZAMPFallBoundaryTest, StandsUpOnceDownForThreeTenthsOfASecond) {
  Build({"--unum=5"});
  // Upright at server time 0; down from 0.02 s on.
  Cycle(UPRIGHT);
  Cycles(14, GetParam().posture);
  EXPECT_EQ(loop_->GetServerTime(), 0.3);
  EXPECT_EQ(behavior(), AgentState::BEH_MOVE) << "down for 0.28 s";
  Cycle(GetParam().posture);
  EXPECT_EQ(behavior(), AgentState::BEH_STAND_UP) << "down for exactly 0.3 s";
  EXPECT_EQ(Motion(), Own(GetParam().stand_up));
}

INSTANTIATE_TEST_SUITE_P(Directions, AgentZAMPFallBoundaryTest,
                         ::testing::Values(FallBoundaryCase{"Back", FALLEN_BACK, "stand_up_back"},
                                           FallBoundaryCase{"Front", FALLEN_FRONT,
                                                            "stand_up_prone"}),
                         [](const ::testing::TestParamInfo<FallBoundaryCase>& param_info) {
                           return param_info.param.name;
                         });

struct EndedKickCase {
  const char* name;
  Posture posture;
  AgentState::Behavior next;
  const char* motion;
};

void PrintTo(const EndedKickCase& c, std::ostream* os) { *os << c.name; }

class AgentZAMPEndedKickTest : public AgentZAMPTest,
                               public ::testing::WithParamInterface<EndedKickCase> {};

TEST_P(AgentZAMPEndedKickTest, AFallDuringAKickStartsTheRightStandUpOnceTheKickEnds) {
  const EndedKickCase& c = GetParam();
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
    Cycle(c.posture);
    ++cycles;
  }
  // A quick kick lasts 54 cycles; the change comes in the cycle after its last step.
  EXPECT_EQ(cycles + 1 + 10, 55);
  EXPECT_EQ(behavior(), c.next);
  EXPECT_EQ(Motion(), Own(c.motion));
  EXPECT_FALSE(kick->IsEnd()) << "the ended kick is rewound for its next use";
  if (c.next == AgentState::BEH_STAND_UP) {
    EXPECT_EQ(KeyframePosition(Motion()), std::make_pair(0, 1));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Postures, AgentZAMPEndedKickTest,
    ::testing::Values(EndedKickCase{"Front", FALLEN_FRONT, AgentState::BEH_STAND_UP,
                                    "stand_up_prone"},
                      EndedKickCase{"Back", FALLEN_BACK, AgentState::BEH_STAND_UP, "stand_up_back"},
                      EndedKickCase{"Upright", UPRIGHT, AgentState::BEH_READY, "quick_kick"}),
    [](const ::testing::TestParamInfo<EndedKickCase>& param_info) {
      return param_info.param.name;
    });

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
}

TEST_F(AgentZAMPTest, KickModeNeverBeamsButStoresTheCentre) {
  Build({"--mode=kick", "--unum=3"});
  agent_->SettingBeam();
  EXPECT_EQ(agent().GetBeamCoordinates(), Eigen::Vector2d(0.0, 0.0));
  EXPECT_EQ(agent().GetBeamDirection(), 0.0);
  loop_->SetPlayMode("BeforeKickOff");
  for (int i = 0; i < 20; ++i) {
    Cycle();
    EXPECT_FALSE(BeamSent()) << "cycle " << i;
  }
}

TEST_F(AgentZAMPTest, KickModeMarksTheLongKickForTheChallenge) {
  Build({"--mode=kick"});
  // The challenge version waits 50 cycles in its first step instead of 25.
  Own("long_kick")->Run();
  const auto* kick = dynamic_cast<const MotionSequenceXML*>(Own("long_kick"));
  ASSERT_NE(kick, nullptr);
  EXPECT_EQ(kick->GetSequence()[0].end_time, 50);

  Build({"--mode=game"});
  Own("long_kick")->Run();
  kick = dynamic_cast<const MotionSequenceXML*>(Own("long_kick"));
  EXPECT_EQ(kick->GetSequence()[0].end_time, 25);
}

TEST_F(AgentZAMPTest, LongKickFitsTheRobotType) {
  const struct {
    AgentTypeID type;
    bool type4_kick;
  } cases[] = {{AGENT_TYPE_STANDARD, false},
               {AGENT_TYPE_LONG_ARM_AND_FOOT, false},
               {AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL, false},
               {AGENT_TYPE_LONG_ARM_AND_FOOT_WIDER_HIP, false},
               {AGENT_TYPE_TOENAIL, true}};
  for (const auto& c : cases) {
    Build({"--unum=4"}, c.type);
    EXPECT_EQ(dynamic_cast<LongKickType4*>(Own("long_kick")) != nullptr, c.type4_kick)
        << "type " << c.type;
    EXPECT_EQ(dynamic_cast<LongKickType0*>(Own("long_kick")) != nullptr, !c.type4_kick)
        << "type " << c.type;
  }
}

TEST_F(AgentZAMPTest, StrategyByModeAndUniformNumber) {
  Build({"--unum=1"});
  const struct {
    const char* mode;
    int unum;
    const std::type_info& strategy;
  } cases[] = {{"game", 1, typeid(StrategyKeeperZAMP)},    {"game", 2, typeid(StrategyFielderZAMP)},
               {"game", 11, typeid(StrategyFielderZAMP)},  {"dropin", 1, typeid(StrategyDropIn)},
               {"kick", 1, typeid(StrategyKickChallenge)}, {"kicker", 1, typeid(StrategyKicker)},
               {"Game", 1, typeid(StrategyZAMP)},          {"", 5, typeid(StrategyZAMP)},
               {"keeper", 1, typeid(StrategyZAMP)}};
  for (const auto& c : cases) {
    ::testing::internal::CaptureStdout();
    const std::unique_ptr<Strategy> strategy = AgentZAMP::CreateStrategy(c.mode, c.unum);
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_NE(strategy, nullptr);
    EXPECT_EQ(typeid(*strategy), c.strategy) << c.mode << " " << c.unum;
    const bool known = c.strategy != typeid(StrategyZAMP);
    EXPECT_EQ(out, known ? ""
                         : std::string("I use default mode because \"") + c.mode +
                               "\" mode doesn't exist.\n");
  }
}

TEST_F(AgentZAMPTest, StartsWithTheKickOffShotAsItsMotionAndSharesTheWalk) {
  Build({"--unum=9"});
  EXPECT_EQ(Motion(), Own("kick_off_shoot"));
  ASSERT_NE(Access::GetWalk(*agent_), nullptr);
  EXPECT_EQ(chosen_strategy_walk_, Access::GetWalk(*agent_));
}

TEST_F(AgentZAMPTest, BeamPoseByModeAndUniformNumber) {
  const struct {
    const char* mode;
    int unum;
    double x;
    double y;
  } cases[] = {{"game", 1, -14.5, 0.0},  {"game", 2, -12.5, 0.5},  {"game", 3, -11.0, -2.5},
               {"game", 4, -10.0, 2.0},  {"game", 5, -7.5, -1.0},  {"game", 6, -7.0, 4.0},
               {"game", 7, -5.0, 0.5},   {"game", 8, -2.0, -2.0},  {"game", 9, -1.0, 0.0},
               {"game", 10, -2.5, 3.0},  {"game", 11, -4.0, -1.5}, {"game", 12, -4.0, -1.5},
               {"game", 0, -4.0, -1.5},  {"dropin", 6, -7.0, 4.0}, {"nonsense", 2, -12.5, 0.5},
               {"kicker", 4, -2.5, 0.0}, {"kick", 9, 0.0, 0.0}};
  for (const auto& c : cases) {
    Build({std::string("--mode=") + c.mode});
    agent().SetUniformNumber(c.unum);
    agent_->SettingBeam();
    EXPECT_EQ(agent().GetBeamCoordinates(), Eigen::Vector2d(c.x, c.y)) << c.mode << " " << c.unum;
    EXPECT_EQ(agent().GetBeamDirection(), 0.0);
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
    EXPECT_EQ(loop_->GetCommandedSpeed(HJ_RLJ7), 0.0);
    EXPECT_EQ(loop_->GetCommandedSpeed(HJ_LLJ7), 0.0);
  }
  EXPECT_EQ(behavior(), AgentState::BEH_READY);
  EXPECT_EQ(head_targets[0], 120.0);
  EXPECT_EQ(head_targets[74], 120.0);
  EXPECT_EQ(head_targets[75], -120.0);
  EXPECT_EQ(head_targets[149], -120.0);
  EXPECT_EQ(head_targets[150], 120.0);

  const struct {
    HingeJointID joint;
    double degree;
  } pose[] = {{HJ_RAJ1, -100}, {HJ_LAJ1, -100}, {HJ_RAJ2, -20}, {HJ_LAJ2, 20}, {HJ_RAJ3, 90},
              {HJ_LAJ3, -90},  {HJ_RAJ4, 0},    {HJ_LAJ4, 0},   {HJ_RLJ1, 0},  {HJ_RLJ2, 0},
              {HJ_LLJ1, 0},    {HJ_LLJ2, 0},    {HJ_RLJ3, 25},  {HJ_LLJ3, 25}, {HJ_RLJ4, -60},
              {HJ_LLJ4, -60},  {HJ_RLJ5, 35},   {HJ_LLJ5, 35},  {HJ_RLJ6, 0},  {HJ_LLJ6, 0}};
  for (const auto& p : pose) {
    // The elbows stop one degree short of straight, at the end of their range.
    EXPECT_NEAR(loop_->GetJointDegree(p.joint), p.degree, 1.5) << "joint " << p.joint;
  }
}

TEST_F(AgentZAMPTest, WalkingRunsTheStrategyAndTheSharedWalkEveryCycle) {
  Build({"--unum=7"});
  Access::GetWalk(*agent_)->SettingSpeed(1.0, 0.0, 0.0);
  Cycles(40);
  EXPECT_EQ(behavior(), AgentState::BEH_MOVE);
  EXPECT_EQ(strategy_->run_count_, 40);
  EXPECT_EQ(strategy_->hear_count_, 40);
  EXPECT_GT(Access::GetWalk(*agent_)->GetCurrentVerticalSpeed(), 0.0);
  EXPECT_NEAR(loop_->GetJointDegree(HJ_RAJ1), -100.0, 0.5);
  EXPECT_NEAR(loop_->GetJointDegree(HJ_LAJ2), 20.0, 0.5);

  // Back from the ready pose, the walk starts again from rest.
  loop_->SetPlayMode("BeforeKickOff");
  Cycle();
  ASSERT_EQ(behavior(), AgentState::BEH_READY);
  loop_->SetPlayMode("PlayOn");
  Access::GetWalk(*agent_)->SettingSpeed(0.0, 0.0, 0.0);
  Cycle();
  EXPECT_EQ(behavior(), AgentState::BEH_MOVE);
  EXPECT_EQ(Access::GetWalk(*agent_)->GetCurrentVerticalSpeed(), 0.0);
}

TEST_F(AgentZAMPTest, TheStrategysSayTextGoesIntoTheMessage) {
  Build({"--unum=6"});
  strategy_->say_ = "Ab3";
  Cycle();
  EXPECT_EQ(message_, "(say Ab3)");
  strategy_->say_.clear();
  Cycle();
  EXPECT_EQ(message_, "");
}

// --- Damaged perceptions --------------------------------------------------------------------

// Looks at the joint speeds between the decision and the message, before the effector
// replaces what it could not send.
class ProbeAgent : public AgentZAMP {
 public:
  using AgentZAMP::AgentZAMP;
  void ControlEffector(EffectorAgent& effector) override {
    AgentZAMP::ControlEffector(effector);
    const JointController& joint = *Singleton<JointController>::GetInstance();
    for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
      speeds_finite_ = speeds_finite_ && std::isfinite(joint.GetSpeed(j));
    }
  }
  bool speeds_finite_ = true;
};

TEST_F(AgentZAMPTest, DamagedCapturesNeverLeadToANonFiniteJointSpeed) {
  const struct {
    const char* capture;
    const char* team;
    const char* type;
  } captures[] = {{"before_kickoff_type0.txt", "Alpha", "0"},
                  {"ground_truth_sync_type0.txt", "Alpha", "2"},
                  {"three_players_left_unum1.txt", "Alpha", "0"},
                  {"three_players_right_unum1.txt", "Beta", "0"},
                  {"toes_type4.txt", "Alpha", "4"}};
  const std::vector<std::vector<std::string>> roles = {
      {"--unum=1"}, {"--unum=4"}, {"--mode=dropin"}, {"--mode=kick"}, {"--mode=kicker"}};
  unsigned seed = 100;
  for (const auto& c : captures) {
    const std::vector<std::string> lines =
        test::ReadFixtureLines(std::string("perception/") + c.capture);
    for (const std::vector<std::string>& role : roles) {
      ++seed;
      Renew<Parser>();
      Renew<RawStorage>();
      Renew<WorldState>();
      Renew<AgentState>();
      Renew<FieldState>();
      Renew<StrategyInformation>();
      Renew<JointController>();
      Renew<Drawing>();
      std::vector<std::string> args = {"agent", std::string("--team=") + c.team,
                                       std::string("--type=") + c.type};
      args.insert(args.end(), role.begin(), role.end());
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      ProbeAgent probe(static_cast<int>(argv.size()), argv.data());
      probe.SettingBeam();
      EffectorAgent effector;
      effector.SetEffectorAgentUse(false, false, false, true, true, false);
      test::MessageCorruptor corruptor(seed);

      for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string reply = probe.Step(corruptor.Corrupt(lines[i]), effector);
        ASSERT_TRUE(probe.speeds_finite_) << c.capture << " seed " << seed << " message " << i;
        ASSERT_TRUE(test::ParseAgentReply(reply).well_formed)
            << c.capture << " seed " << seed << " message " << i << ": " << reply;
      }
    }
  }
}

}  // namespace
}  // namespace zamp
