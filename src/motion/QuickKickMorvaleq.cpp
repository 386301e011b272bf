#include "motion/QuickKickMorvaleq.h"

#include <utility>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "motion/Walk.h"

namespace zamp {

namespace {

const int SETTING_FOOT_TIME_OUT = 21;              // cycles
const double LEAN_GAIN = 0.08726646259971647;      // support leg's roll and pitch joints
const double DRAW_BACK_GAIN = 1.5298613745186214;  // kicking hip drawn back
const double SWING_SPEED = 1000.0;                 // rad/s, far above any joint's limit
const double ANKLE_GAIN = 17.453292519943293;      // kicking ankle during the swing
const double SWING_DONE_DEGREE = 69.0;             // degrees of kicking hip pitch

}  // namespace

QuickKickMorvaleq::QuickKickMorvaleq(std::shared_ptr<Walk> walk)
    : walk_(std::move(walk)), time_out(0), is_kick_left_(true) {
  motions_.push_back({&QuickKickMorvaleq::SelectKick, 1, true});
  motions_.push_back({&QuickKickMorvaleq::SettingFoot, 0, false});
  motions_.push_back({&QuickKickMorvaleq::MovePivot, 3, true});
  motions_.push_back({&QuickKickMorvaleq::ReadyLeft, 4, true});
  motions_.push_back({&QuickKickMorvaleq::FireLeft, 0, false});
  motions_.push_back({&QuickKickMorvaleq::ReadyRight, 4, true});
  motions_.push_back({&QuickKickMorvaleq::FireRight, 0, false});
}

QuickKickMorvaleq::~QuickKickMorvaleq() {}

void QuickKickMorvaleq::Run() { Play(*this); }

// A ball straight ahead is kicked with the left foot.
void QuickKickMorvaleq::SelectKick() {
  is_kick_left_ = Singleton<FieldState>::GetInstance()->GetBall().GetHorizonDegree() >= 0.0;
  walk_->Run();
}

void QuickKickMorvaleq::LeanOverSupportFoot(double gain) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const LegJoints& kicking = is_kick_left_ ? LEFT_LEG_JOINTS : RIGHT_LEG_JOINTS;
  const LegJoints& support = is_kick_left_ ? RIGHT_LEG_JOINTS : LEFT_LEG_JOINTS;
  const double roll = kicking.mirror * 10.0;
  joints.SettingRelativeSpeed(support.hip_roll, roll, gain);
  joints.SettingRelativeSpeed(support.ankle_roll, -roll, gain);
}

// Keeps walking until the support foot has just touched down.
void QuickKickMorvaleq::SettingFoot() {
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  walk_->Run();
  ++time_out;
  const AgentState::FootLanding support =
      is_kick_left_ ? AgentState::FL_RIGHT : AgentState::FL_LEFT;
  const bool landed =
      agent.GetFootLanding() != agent.GetPrevFootLanding() && agent.GetFootLanding() == support;
  if (!landed && time_out < SETTING_FOOT_TIME_OUT) return;
  LeanOverSupportFoot(0.5);
  time_out = 0;
  Next();
}

// Half a walking step more; the lean replaces the walk's command for those joints.
void QuickKickMorvaleq::MovePivot() {
  walk_->Run();
  LeanOverSupportFoot(0.5);
  ++current_time_;
  if (current_time_ >= WALKING_SYCLE_HALF - 1) NextTo(is_kick_left_ ? LEFT_FOOT : RIGHT_FOOT);
}

void QuickKickMorvaleq::ReadyLeft() { Ready(LEFT_LEG_JOINTS, RIGHT_LEG_JOINTS); }

void QuickKickMorvaleq::ReadyRight() { Ready(RIGHT_LEG_JOINTS, LEFT_LEG_JOINTS); }

void QuickKickMorvaleq::FireLeft() { Fire(LEFT_LEG_JOINTS, RIGHT_LEG_JOINTS); }

void QuickKickMorvaleq::FireRight() { Fire(RIGHT_LEG_JOINTS, LEFT_LEG_JOINTS); }

void QuickKickMorvaleq::Ready(const LegJoints& kicking, const LegJoints& support) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const double roll = kicking.mirror * 12.0;
  joints.SettingRelativeSpeed(support.hip_roll, roll, LEAN_GAIN);
  joints.SettingRelativeSpeed(support.ankle_roll, -roll, LEAN_GAIN);
  joints.SettingRelativeSpeed(kicking.hip_pitch, -15.0, DRAW_BACK_GAIN);
}

// Holds the support leg, waits WAIT_COUNT cycles for the body to settle, then swings.
void QuickKickMorvaleq::Fire(const LegJoints& kicking, const LegJoints& support) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  const double roll = kicking.mirror * 12.0;
  joints.SettingRelativeSpeed(support.hip_roll, roll, LEAN_GAIN);
  joints.SettingRelativeSpeed(support.hip_pitch, 1.5, LEAN_GAIN);
  joints.SettingRelativeSpeed(support.knee, -3.0, LEAN_GAIN);
  joints.SettingRelativeSpeed(support.ankle_pitch, 1.5, LEAN_GAIN);
  joints.SettingRelativeSpeed(support.ankle_roll, -roll, LEAN_GAIN);
  if (current_time_ > WAIT_COUNT) {
    joints.SettingFixedSpeed(kicking.hip_pitch, 70.0, SWING_SPEED);
    joints.SettingFixedSpeed(kicking.knee, -35.0, SWING_SPEED);
    joints.SettingRelativeSpeed(kicking.ankle_pitch, 0.0, ANKLE_GAIN);
  }
  ++current_time_;
  if (current_time_ > WAIT_COUNT && agent.GetJointDegree(kicking.hip_pitch) > SWING_DONE_DEGREE) {
    NextTo(END);
  }
}

}  // namespace zamp
