#include "motion/OldKick.h"

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"

namespace zamp {

namespace {

const double FULL_SPEED = 9999.0;  // rad/s, far above any joint's limit

bool AllStill(const JointController& joints, int a, int b, int c) {
  return joints.GetSpeed(a) == 0.0 && joints.GetSpeed(b) == 0.0 && joints.GetSpeed(c) == 0.0;
}

}  // namespace

OldKick::OldKick() {
  motions_.push_back({&OldKick::Set, 0, false});
  motions_.push_back({&OldKick::LandLeftFoot1, 20, true});
  motions_.push_back({&OldKick::LandLeftFoot2, 0, false});
  motions_.push_back({&OldKick::FireLeftFoot, 0, false});
  motions_.push_back({&OldKick::LandRightFoot1, 20, true});
  motions_.push_back({&OldKick::LandRightFoot2, 0, false});
  motions_.push_back({&OldKick::FireRightFoot, 0, false});
}

OldKick::~OldKick() {}

void OldKick::Run() { Play(*this); }

// The ready pose for 61 cycles; a ball straight ahead is kicked with the right foot.
void OldKick::Set() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  joints.SettingRelativeSpeed(HJ_RAJ1, -100.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LAJ1, -100.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RAJ2, -20.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LAJ2, 20.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RAJ3, 90.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LAJ3, -90.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RAJ4, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LAJ4, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ1, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ2, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ3, 25.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ4, -60.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ5, 35.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ6, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ1, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ2, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ3, 25.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ4, -60.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ5, 35.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ6, 0.0, 0.1);
  ++current_time_;
  if (current_time_ > 60) {
    if (Singleton<FieldState>::GetInstance()->GetBall().GetHorizonDegree() > 0.0) {
      NextTo(LEFT_FOOT);
    } else {
      NextTo(RIGHT_FOOT);
    }
  }
}

// Rolls both legs so that the weight moves over the right foot.
void OldKick::LandLeftFoot1() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  joints.SettingRelativeSpeed(HJ_LLJ2, 10.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ6, -10.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ2, 10.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ6, -10.0, 0.1);
}

// Lifts the left leg and straightens the right one; once the thigh is up the left ankle
// is drawn to its limit. Waits until the three left leg pitch joints have arrived.
void OldKick::LandLeftFoot2() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  joints.SettingRelativeSpeed(HJ_LLJ3, 60.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ4, -110.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ3, 0.0, 0.05);
  joints.SettingRelativeSpeed(HJ_RLJ4, 0.0, 0.05);
  joints.SettingRelativeSpeed(HJ_RLJ5, 0.0, 0.05);
  if (agent.GetJointDegree(HJ_LLJ3) >= 38.0) {
    joints.SettingRelativeSpeed(HJ_LLJ5, joints.GetMinDegree(HJ_LLJ5), 0.1);
  }
  if (AllStill(joints, HJ_LLJ3, HJ_LLJ4, HJ_LLJ5)) Next();
}

void OldKick::FireLeftFoot() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  if (current_time_ > 1) joints.SettingFixedSpeed(HJ_LLJ3, 85.0, FULL_SPEED);
  joints.SettingFixedSpeed(HJ_LLJ4, -80.0, FULL_SPEED);
  if (current_time_ > 2) {
    joints.SettingRelativeSpeed(HJ_RLJ3, -25.0, 7.0);
    joints.SettingRelativeSpeed(HJ_RLJ4, 50.0, 7.0);
    joints.SettingRelativeSpeed(HJ_RLJ5, -20.0, 7.0);
    joints.SettingFixedSpeed(HJ_LLJ5, 0.0, FULL_SPEED);
  }
  ++current_time_;
  if (AllStill(joints, HJ_LLJ3, HJ_LLJ4, HJ_LLJ5)) NextTo(END);
}

void OldKick::LandRightFoot1() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  joints.SettingRelativeSpeed(HJ_LLJ2, -10.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ6, 10.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ2, -10.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ6, 10.0, 0.1);
}

void OldKick::LandRightFoot2() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  joints.SettingRelativeSpeed(HJ_RLJ3, 60.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ4, -110.0, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ3, 0.0, 0.05);
  joints.SettingRelativeSpeed(HJ_LLJ4, 0.0, 0.05);
  joints.SettingRelativeSpeed(HJ_LLJ5, 0.0, 0.05);
  if (agent.GetJointDegree(HJ_RLJ3) >= 38.0) {
    joints.SettingRelativeSpeed(HJ_RLJ5, joints.GetMinDegree(HJ_RLJ5), 0.1);
  }
  if (AllStill(joints, HJ_RLJ3, HJ_RLJ4, HJ_RLJ5)) Next();
}

void OldKick::FireRightFoot() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  if (current_time_ > 1) joints.SettingFixedSpeed(HJ_RLJ3, 85.0, FULL_SPEED);
  joints.SettingFixedSpeed(HJ_RLJ4, -80.0, FULL_SPEED);
  if (current_time_ > 2) {
    joints.SettingRelativeSpeed(HJ_LLJ3, -25.0, 7.0);
    joints.SettingRelativeSpeed(HJ_LLJ4, 50.0, 7.0);
    joints.SettingRelativeSpeed(HJ_LLJ5, -20.0, 7.0);
    joints.SettingFixedSpeed(HJ_RLJ5, 0.0, FULL_SPEED);
  }
  ++current_time_;
  if (AllStill(joints, HJ_RLJ3, HJ_RLJ4, HJ_RLJ5)) NextTo(END);
}

}  // namespace zamp
