#include "learning/AgentMotionPractice.h"

#include <iostream>

#include "core/JointController.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "learning/EffectorTrainer.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/WorldState.h"
#include "motion/KickOffShoot.h"
#include "motion/MotionSequenceXML.h"
#include "motion/ReadyPose.h"
#include "motion/StandUpFromBack.h"
#include "motion/StandUpFromProne.h"
#include "motion/TabeWalk.h"

namespace zamp {

namespace {

const char PRACTICE_OPTION[] = "--practice=";
const char MOTION_FILE_OPTION[] = "--motion-file=";
const double READY_GAIN = 0.5;
const double DOWN_TIME = 0.3;          // s on the ground before the robot is helped
const double TIP_OVER_SPEED = 6.0;     // rad/s on both ankles after a stand-up
const double TURNS_REPORTED = 1080.0;  // degrees: three full turns
const double REPORTED = -999999999.9;  // the turn count once the report is out
const int LEFT_PLAYER_10 = 9;          // trainer table entry
const double START_DIRECTION = -90.0;  // degrees: the left team faces +x
const Eigen::Vector4d KICK_PLACE(-0.2, -0.05, 0.375, START_DIRECTION);
const Eigen::Vector3d BALL_PLACE(0.0, 0.0, 0.042);
const Eigen::Vector4d WALK_PLACE(0.0, 2.0, 0.375, START_DIRECTION);

std::string OptionValue(int argc, char** argv, const std::string& option) {
  std::string value;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    if (arg.compare(0, option.size(), option) == 0) value = arg.substr(option.size());
  }
  return value;
}

std::unique_ptr<MotionSequence> MakeMotion(AgentMotionPractice::PracticeType type,
                                           const std::string& file) {
  if (!file.empty()) return std::make_unique<MotionSequenceXML>(file);
  switch (type) {
    case AgentMotionPractice::PRACTICE_STAND_UP_FROM_BACK:
      return std::make_unique<StandUpFromBack>();
    case AgentMotionPractice::PRACTICE_STAND_UP_FROM_PRONE:
      return std::make_unique<StandUpFromProne>();
    case AgentMotionPractice::PRACTICE_KICK:
      // The kick-off shot fires the left leg from 5 cm to the right of the ball, where the
      // kick practice places the robot.
      return std::make_unique<KickOffShoot>();
    default:
      return std::make_unique<MotionSequenceXML>(AgentMotionPractice::DEFAULT_MOTION_FILE);
  }
}

}  // namespace

AgentMotionPractice::AgentMotionPractice(int argc, char** argv)
    : AgentWithTrainer(argc, argv),
      walk_(std::make_unique<TabeWalk>()),
      practice_type_(ReadPracticeType(argc, argv)),
      ready_time_(USE_READY_TIME),
      before_direction_(0.0),
      rotation_value_(0.0) {
  motion_ = MakeMotion(practice_type_, ReadMotionFile(argc, argv));
}

AgentMotionPractice::~AgentMotionPractice() {}

AgentMotionPractice::PracticeType AgentMotionPractice::ReadPracticeType(int argc, char** argv) {
  const std::string name = OptionValue(argc, argv, PRACTICE_OPTION);
  if (name.empty() || name == "any") return PRACTICE_ANY;
  if (name == "back") return PRACTICE_STAND_UP_FROM_BACK;
  if (name == "prone") return PRACTICE_STAND_UP_FROM_PRONE;
  if (name == "kick") return PRACTICE_KICK;
  if (name == "walk") return PRACTICE_WALK;
  std::cout << "I use the practice \"any\" because \"" << name << "\" practice doesn't exist."
            << std::endl;
  return PRACTICE_ANY;
}

std::string AgentMotionPractice::ReadMotionFile(int argc, char** argv) {
  return OptionValue(argc, argv, MOTION_FILE_OPTION);
}

void AgentMotionPractice::Think() {
  switch (practice_type_) {
    case PRACTICE_STAND_UP_FROM_BACK:
      PracticeStandUpFromBack();
      break;
    case PRACTICE_STAND_UP_FROM_PRONE:
      PracticeStandUpFromProne();
      break;
    case PRACTICE_KICK:
      PracticeKick();
      break;
    case PRACTICE_WALK:
      PracticeWalk();
      break;
    case PRACTICE_ANY:
      PracticeAny();
      break;
  }
}

void AgentMotionPractice::Ready() { SettingReadyPose(READY_GAIN); }

void AgentMotionPractice::ResetMotion() {
  if (MotionSequenceXML* xml = dynamic_cast<MotionSequenceXML*>(motion_.get())) {
    std::string error;
    if (!xml->TryReroadFile(error)) {
      if (!reread_failed_) std::cerr << error << "; playing the motion as read before" << std::endl;
      reread_failed_ = true;
    } else {
      reread_failed_ = false;
    }
  }
  motion_->Reset();
}

bool AgentMotionPractice::CheckFall() {
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  const double now = Singleton<WorldState>::GetInstance()->GetServerTime();
  if (agent.GetFallDirection() == AgentState::FALL_NOT) return false;
  if (now - agent.GetNotFallTime() < DOWN_TIME) return false;
  Singleton<FieldState>::GetInstance()->ResetGrobalRotation();
  return true;
}

void AgentMotionPractice::PracticeAny() {
  motion_->Run();
  if (motion_->IsEnd()) ResetMotion();
}

void AgentMotionPractice::PracticeStandUp(double ankle_speed) {
  if (!motion_->IsEnd()) {
    motion_->Run();
    return;
  }
  // Both ankles drive the robot over again, so the stand-up can be practised once more.
  JointController& joints = *Singleton<JointController>::GetInstance();
  joints.SetSpeed(HJ_RLJ5, ankle_speed);
  joints.SetSpeed(HJ_LLJ5, ankle_speed);
  if (CheckFall()) ResetMotion();
}

void AgentMotionPractice::PracticeStandUpFromBack() { PracticeStandUp(-TIP_OVER_SPEED); }

void AgentMotionPractice::PracticeStandUpFromProne() { PracticeStandUp(TIP_OVER_SPEED); }

void AgentMotionPractice::PracticeKick() {
  motion_->Run();
  if (!motion_->IsEnd()) return;
  Ready();
  if (ready_time_ >= USE_READY_TIME) ready_time_ = 0;
}

void AgentMotionPractice::PracticeWalk() {
  if (Singleton<WorldState>::GetInstance()->GetPlayMode() == PM_BEFORE_KICK_OFF) {
    Ready();
    return;
  }
  SetReadyArmPose(*Singleton<JointController>::GetInstance(), READY_GAIN);
  walk_->Run();
  walk_->SettingSpeed(1.0, 0.0, 0.0);

  const double orientation = Singleton<RawStorage>::GetInstance()->GetHiddenData().my_orien;
  double change = Tool::LimitDegree180(orientation - before_direction_);
  if (change <= -180.0) change += 360.0;
  rotation_value_ += change;
  before_direction_ = orientation;
  if (rotation_value_ >= TURNS_REPORTED) {
    std::cout << "ws.GetGameTime() " << Singleton<WorldState>::GetInstance()->GetGameTime()
              << std::endl;
    rotation_value_ = REPORTED;
  }
}

void AgentMotionPractice::ControlEffectorTrainer(EffectorTrainer& effector) {
  effector.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
  EffectorTrainer::AgentSet& self = effector.agent_set_[LEFT_PLAYER_10];
  switch (practice_type_) {
    case PRACTICE_KICK:
      if (ready_time_ < USE_READY_TIME) {
        self.can_move = true;
        self.coord = KICK_PLACE;
        effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, true);
        effector.ball_coord_ = BALL_PLACE;
        effector.ball_speed_ = Eigen::Vector3d::Zero();
        if (ready_time_ == USE_READY_TIME - 1) ResetMotion();
        ++ready_time_;
      } else {
        self.can_move = false;
        effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, false);
      }
      break;
    case PRACTICE_WALK:
      self.can_move = CheckFall();
      if (self.can_move) {
        self.coord = WALK_PLACE;
        walk_->ResetCurrentSpeed();
      }
      break;
    default:
      self.can_move = false;
      effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, false);
      break;
  }
}

}  // namespace zamp
