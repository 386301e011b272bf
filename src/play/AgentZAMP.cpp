#include "play/AgentZAMP.h"

#include <Eigen/Core>
#include <iostream>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/RcssserverSocket.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/WorldState.h"
#include "motion/KickOffShoot.h"
#include "motion/LongKickType0.h"
#include "motion/LongKickType4.h"
#include "motion/MotionSequenceXML.h"
#include "motion/OldKick.h"
#include "motion/QuickKick.h"
#include "motion/QuickKickMorvaleq.h"
#include "motion/ReadyPose.h"
#include "motion/StandUpFromBack.h"
#include "motion/StandUpFromProne.h"
#include "motion/TabeWalk.h"
#include "play/Strategy.h"
#include "play/StrategyDropIn.h"
#include "play/StrategyFielderZAMP.h"
#include "play/StrategyKeeperZAMP.h"
#include "play/StrategyKickChallenge.h"
#include "play/StrategyKicker.h"
#include "play/StrategyZAMP.h"

namespace zamp {

namespace {

// Kick-off positions by uniform number 1 to 11 (team frame, metres); the keeper stands in
// front of the own goal, the others spread over the own half.
const double BEAM_TABLE[MAX_TEAM_AGENT_NUM][2] = {
    {-14.5, 0.0}, {-12.5, 0.5}, {-11.0, -2.5}, {-10.0, 2.0}, {-7.5, -1.0}, {-7.0, 4.0},
    {-5.0, 0.5},  {-2.0, -2.0}, {-1.0, 0.0},   {-2.5, 3.0},  {-4.0, -1.5}};

}  // namespace

AgentZAMP::AgentZAMP(int argc, char** argv) : Agent(argc, argv), motion_(nullptr) {
  CreateMotion();
  const std::string& mode = agent_socket_->GetMode();
  strategy_ = CreateStrategy(mode, agent_socket_->GetUniformNumber());
  if (mode == "kick") {
    // The challenge kicks from a standstill at a placed ball, so the robot is placed by the
    // referee rather than beamed.
    if (LongKickType0* long_kick = dynamic_cast<LongKickType0*>(long_kick_.get())) {
      long_kick->SetKickChallenge(true);
    }
    can_init_beam_ = false;
  }
  strategy_->walk_ = walk_;
  using_beam_time_ = 0.0;
  motion_ = kick_off_shoot_.get();
}

AgentZAMP::~AgentZAMP() {}

std::unique_ptr<Strategy> AgentZAMP::CreateStrategy(const std::string& mode, int uniform_number) {
  if (mode == "game") {
    if (uniform_number == 1) return std::make_unique<StrategyKeeperZAMP>();
    return std::make_unique<StrategyFielderZAMP>();
  }
  if (mode == "dropin") return std::make_unique<StrategyDropIn>();
  if (mode == "kick") return std::make_unique<StrategyKickChallenge>();
  if (mode == "kicker") return std::make_unique<StrategyKicker>();
  std::cout << "I use default mode because \"" << mode << "\" mode doesn't exist." << std::endl;
  return std::make_unique<StrategyZAMP>();
}

void AgentZAMP::CreateMotion() {
  stand_up_back_ = std::make_unique<StandUpFromBack>();
  stand_up_prone_ = std::make_unique<StandUpFromProne>();
  kick_off_shoot_ = std::make_unique<KickOffShoot>();
  old_kick_ = std::make_unique<OldKick>();
  quick_kick_ = std::make_unique<QuickKick>();
  if (Singleton<AgentState>::GetInstance()->GetAgentType() == AGENT_TYPE_TOENAIL) {
    long_kick_ = std::make_unique<LongKickType4>();
  } else {
    long_kick_ = std::make_unique<LongKickType0>();
  }
  right_jump_ = std::make_unique<MotionSequenceXML>("xml/MotionXML/RightJump.xml");
  left_jump_ = std::make_unique<MotionSequenceXML>("xml/MotionXML/LeftJump.xml");
  open_foot_ = std::make_unique<MotionSequenceXML>("xml/MotionXML/OpenFoot.xml");
  walk_ = std::make_shared<TabeWalk>();
  quick_kick2_ = std::make_unique<QuickKickMorvaleq>(walk_);
}

void AgentZAMP::Think() {
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  const WorldState& world = *Singleton<WorldState>::GetInstance();

  strategy_->UpdateHear();
  UpdateState();
  switch (agent.GetCurrentBehavior()) {
    case AgentState::BEH_STAND_UP:
      BehaveStandUp();
      break;
    case AgentState::BEH_MOVE:
      BehaveMove();
      break;
    case AgentState::BEH_KICK:
      BehaveKick();
      break;
    case AgentState::BEH_JUMP:
      BehaveJump();
      break;
    default:
      BehaveReady();
      break;
  }

  if (agent.GetUniformNumber() == 10 && world.GetSide() == SIDE_LEFT) {
    static const std::string DRAWING_SET = "Agent";
    Singleton<Drawing>::GetInstance()->swapBuffers(&DRAWING_SET);
  }
}

void AgentZAMP::UpdateState() {
  AgentState& agent = *Singleton<AgentState>::GetInstance();
  const bool can_beam = Singleton<WorldState>::GetInstance()->CanBeam();

  switch (agent.GetCurrentBehavior()) {
    case AgentState::BEH_READY:
      if (!can_beam) {
        agent.SetCurrentBehavior(AgentState::BEH_MOVE);
        walk_->ResetCurrentSpeed();
      }
      if (CheckFall()) agent.SetCurrentBehavior(AgentState::BEH_STAND_UP);
      break;

    case AgentState::BEH_MOVE: {
      struct MotionWord {
        const char* word;
        MotionSequence* motion;
        AgentState::Behavior behavior;
      };
      const MotionWord words[] = {{"QuickKick", quick_kick_.get(), AgentState::BEH_KICK},
                                  {"QuickKick2", quick_kick2_.get(), AgentState::BEH_KICK},
                                  {"OldKick", old_kick_.get(), AgentState::BEH_KICK},
                                  {"LongKick", long_kick_.get(), AgentState::BEH_KICK},
                                  {"RightJump", right_jump_.get(), AgentState::BEH_JUMP},
                                  {"LeftJump", left_jump_.get(), AgentState::BEH_JUMP},
                                  {"OpneFoot", open_foot_.get(), AgentState::BEH_JUMP}};

      // A requested motion outranks the return to the ready pose, so a kick asked for in the
      // cycle the game stops is still played.
      AgentState::Behavior next = can_beam ? AgentState::BEH_READY : AgentState::BEH_MOVE;
      for (const MotionWord& entry : words) {
        if (strategy_->command_ == entry.word) {
          motion_ = entry.motion;
          next = entry.behavior;
          break;
        }
      }
      if (CheckFall()) {
        agent.SetCurrentBehavior(AgentState::BEH_STAND_UP);
        agent.SetCurrentMoveState(AgentState::MS_NOT_MOVE);
      } else if (next != AgentState::BEH_MOVE) {
        agent.SetCurrentBehavior(next);
        agent.SetCurrentMoveState(AgentState::MS_NOT_MOVE);
      }
      strategy_->command_.clear();
      break;
    }

    case AgentState::BEH_KICK: {
      // Whether the kick has ended is taken before the rewind below clears it, so that a
      // robot that went down during its kick gets up instead of standing in the ready pose.
      const bool ended = motion_->IsEnd();
      if (can_beam || ended) {
        agent.SetCurrentBehavior(AgentState::BEH_READY);
        ResetMotion();
      }
      if (ended && CheckFall()) agent.SetCurrentBehavior(AgentState::BEH_STAND_UP);
      break;
    }

    case AgentState::BEH_STAND_UP:
    case AgentState::BEH_JUMP:
      if (motion_->IsEnd()) {
        agent.SetCurrentBehavior(AgentState::BEH_READY);
        ResetMotion();
      }
      break;

    default:
      break;
  }
}

bool AgentZAMP::CheckFall() {
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  const WorldState& world = *Singleton<WorldState>::GetInstance();
  const AgentState::FallID fall = agent.GetFallDirection();
  if (fall == AgentState::FALL_NOT ||
      world.GetServerTime() - agent.GetNotFallTime() < FALL_CONFIRM_TIME) {
    return false;
  }
  ResetMotion();
  motion_ = (fall == AgentState::FALL_FRONT) ? stand_up_prone_.get() : stand_up_back_.get();
  return true;
}

void AgentZAMP::ResetMotion() { motion_->Reset(); }

void AgentZAMP::BehaveReady() {
  JointController& joint = *Singleton<JointController>::GetInstance();
  const int cycle = Singleton<WorldState>::GetInstance()->GetServerCycle();

  SetReadyPose(joint, 0.5);
  // The head sweeps from side to side every 150 cycles (3 s) to see more of the field.
  joint.SettingRelativeSpeed(HJ_HJ1, (cycle % 150 <= 74) ? 120.0 : -120.0, 0.05);
}

void AgentZAMP::BehaveMove() {
  SetReadyArmPose(*Singleton<JointController>::GetInstance(), 0.5);
  strategy_->Run();
  walk_->Run();
}

void AgentZAMP::BehaveStandUp() { motion_->Run(); }

void AgentZAMP::BehaveKick() { motion_->Run(); }

void AgentZAMP::BehaveJump() { motion_->Run(); }

void AgentZAMP::SettingBeam() {
  AgentState& agent = *Singleton<AgentState>::GetInstance();
  const std::string& mode = agent_socket_->GetMode();
  if (mode == "kicker") {
    agent.SettingBeam(Eigen::Vector3d(-2.5, 0.0, 0.0));
  } else if (mode == "kick") {
    agent.SettingBeam(Eigen::Vector3d(0.0, 0.0, 0.0));
  } else {
    const int number = agent.GetUniformNumber();
    const int row =
        (number >= 1 && number <= MAX_TEAM_AGENT_NUM) ? number - 1 : MAX_TEAM_AGENT_NUM - 1;
    agent.SettingBeam(Eigen::Vector3d(BEAM_TABLE[row][0], BEAM_TABLE[row][1], 0.0));
  }
}

void AgentZAMP::ControlEffector(EffectorAgent& effector) {
  const WorldState& world = *Singleton<WorldState>::GetInstance();

  strategy_->MakeSayInto(say_text_);
  effector.SetSay(say_text_);
  if (world.CanBeam() && using_beam_time_ <= MAX_USING_BEAM_TIME) {
    // The beam places the robot facing the beam direction, so the field model's heading
    // starts again from there.
    Singleton<FieldState>::GetInstance()->ResetGrobalRotation();
    effector.SetEffectorUse(EffectorAgent::BEAM, can_init_beam_);
    using_beam_time_ += UPDATE_INTERVAL_TIME;
  } else {
    effector.SetEffectorUse(EffectorAgent::BEAM, false);
    if (!world.CanBeam()) using_beam_time_ = 0.0;
  }
}

}  // namespace zamp
