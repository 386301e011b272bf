#include "motion/OldKick.h"

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "motion/ReadyPose.h"

namespace zamp {

namespace {

const double FULL_SPEED = 9999.0;  // rad/s, far above any joint's limit

// The leg's three pitch joints have arrived: their speeds commanded this cycle are zero.
bool AllStill(const JointController& joints, const LegJoints& leg) {
  return joints.GetSpeed(leg.hip_pitch) == 0.0 && joints.GetSpeed(leg.knee) == 0.0 &&
         joints.GetSpeed(leg.ankle_pitch) == 0.0;
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
  const FieldState& field = *Singleton<FieldState>::GetInstance();
  SetReadyPose(joints, 0.1);
  ++current_time_;
  if (current_time_ > 60) {
    if (field.GetBall().GetHorizonDegree() > 0.0) {
      NextTo(LEFT_FOOT);
    } else {
      NextTo(RIGHT_FOOT);
    }
  }
}

void OldKick::LandLeftFoot1() { ShiftWeight(LEFT_LEG_JOINTS); }

void OldKick::LandLeftFoot2() { LiftLeg(LEFT_LEG_JOINTS, RIGHT_LEG_JOINTS); }

void OldKick::FireLeftFoot() { FireLeg(LEFT_LEG_JOINTS, RIGHT_LEG_JOINTS); }

void OldKick::LandRightFoot1() { ShiftWeight(RIGHT_LEG_JOINTS); }

void OldKick::LandRightFoot2() { LiftLeg(RIGHT_LEG_JOINTS, LEFT_LEG_JOINTS); }

void OldKick::FireRightFoot() { FireLeg(RIGHT_LEG_JOINTS, LEFT_LEG_JOINTS); }

// Rolls both legs so that the weight moves over the support foot.
void OldKick::ShiftWeight(const LegJoints& kicking) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const double roll = kicking.mirror * 10.0;
  joints.SettingRelativeSpeed(HJ_LLJ2, roll, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ6, -roll, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ2, roll, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ6, -roll, 0.1);
}

// Lifts the kicking leg and straightens the support leg; once the thigh is up the kicking
// ankle is drawn to its limit. Waits until the kicking leg's pitch joints have arrived.
void OldKick::LiftLeg(const LegJoints& kicking, const LegJoints& support) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  joints.SettingRelativeSpeed(kicking.hip_pitch, 60.0, 0.1);
  joints.SettingRelativeSpeed(kicking.knee, -110.0, 0.1);
  joints.SettingRelativeSpeed(support.hip_pitch, 0.0, 0.05);
  joints.SettingRelativeSpeed(support.knee, 0.0, 0.05);
  joints.SettingRelativeSpeed(support.ankle_pitch, 0.0, 0.05);
  if (agent.GetJointDegree(kicking.hip_pitch) >= 38.0) {
    joints.SettingRelativeSpeed(kicking.ankle_pitch, joints.GetMinDegree(kicking.ankle_pitch), 0.1);
  }
  if (AllStill(joints, kicking)) Next();
}

void OldKick::FireLeg(const LegJoints& kicking, const LegJoints& support) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  if (current_time_ > 1) joints.SettingFixedSpeed(kicking.hip_pitch, 85.0, FULL_SPEED);
  joints.SettingFixedSpeed(kicking.knee, -80.0, FULL_SPEED);
  if (current_time_ > 2) {
    joints.SettingRelativeSpeed(support.hip_pitch, -25.0, 7.0);
    joints.SettingRelativeSpeed(support.knee, 50.0, 7.0);
    joints.SettingRelativeSpeed(support.ankle_pitch, -20.0, 7.0);
    joints.SettingFixedSpeed(kicking.ankle_pitch, 0.0, FULL_SPEED);
  }
  ++current_time_;
  if (AllStill(joints, kicking)) NextTo(END);
}

}  // namespace zamp
