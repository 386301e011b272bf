#include "motion/QuickKick.h"

#include <cmath>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/FieldState.h"

namespace zamp {

QuickKick::QuickKick() : movement_(20.0), gravity_(0.0), ball_direction_(0.0) {
  motions_.push_back({&QuickKick::Set, 0, false});
  motions_.push_back({&QuickKick::LandLeftFoot, 0, false});
  motions_.push_back({&QuickKick::FireLeftFoot, 0, false});
  motions_.push_back({&QuickKick::LandRightFoot, 0, false});
  motions_.push_back({&QuickKick::FireRightFoot, 0, false});
}

QuickKick::~QuickKick() {}

void QuickKick::Run() { Play(*this); }

void QuickKick::Reset() {
  MotionSequenceDirect<QuickKick>::Reset();
  movement_ = 20.0;
  gravity_ = 0.0;
  ball_direction_ = 0.0;
}

// Crouches one degree per cycle from 20 to 41 degrees of hip pitch, then picks the foot
// on the ball's side: a ball straight ahead is kicked with the right foot.
void QuickKick::Set() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const FieldState& field = *Singleton<FieldState>::GetInstance();
  if (movement_ > 40.0) {
    ball_direction_ = -field.GetBall().GetHorizonDegree();
    if (ball_direction_ >= 0.0) {
      NextTo(RIGHT_FOOT);
    } else {
      NextTo(LEFT_FOOT);
    }
  } else {
    movement_ += 1.0;
  }
  const double m = movement_;
  joints.SettingRelativeSpeed(HJ_RLJ3, m, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ4, -2.0 * m, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ5, 1.1 * m, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ3, m, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ4, -2.0 * m, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ5, 1.1 * m, 0.1);
  joints.SettingRelativeSpeed(HJ_LLJ2, 0.0, 0.1);
  joints.SettingRelativeSpeed(HJ_RLJ6, 0.0, 0.1);
}

double QuickKick::KickLegRoll() const {
  const double d = std::fabs(ball_direction_);
  if (d < 0.01) return -10.0;
  if (d < 0.07) return 0.0;
  return 20.0;
}

void QuickKick::LandLeftFoot() { LandFoot(LEFT_LEG_JOINTS, RIGHT_LEG_JOINTS); }

void QuickKick::FireLeftFoot() { FireFoot(LEFT_LEG_JOINTS, RIGHT_LEG_JOINTS); }

void QuickKick::LandRightFoot() { LandFoot(RIGHT_LEG_JOINTS, LEFT_LEG_JOINTS); }

void QuickKick::FireRightFoot() { FireFoot(RIGHT_LEG_JOINTS, LEFT_LEG_JOINTS); }

// Straightens the support leg while rolling the weight over onto it, then lifts the kicking
// leg for four cycles.
void QuickKick::LandFoot(const LegJoints& kicking, const LegJoints& support) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  if (gravity_ < 10.0) gravity_ += 5.0;
  if (movement_ > 0.0) {
    movement_ -= 2.0;
    const double m = movement_;
    const double g = kicking.mirror * gravity_;
    joints.SettingRelativeSpeed(support.hip_pitch, m, 0.5);
    joints.SettingRelativeSpeed(support.knee, -2.0 * m, 0.5);
    joints.SettingRelativeSpeed(support.ankle_pitch, m, 0.5);
    joints.SettingRelativeSpeed(kicking.hip_roll, g, 0.5);
    joints.SettingRelativeSpeed(support.hip_roll, g, 0.5);
    joints.SettingRelativeSpeed(kicking.ankle_roll, -g, 0.5);
    joints.SettingRelativeSpeed(support.ankle_roll, -g, 0.5);
    return;
  }
  const double roll = kicking.mirror * KickLegRoll();
  const double support_roll = kicking.mirror * 10.0;
  joints.SettingRelativeSpeed(kicking.hip_pitch, 20.0, 0.2);
  joints.SettingRelativeSpeed(kicking.knee, -50.0, 0.2);
  joints.SettingRelativeSpeed(kicking.ankle_pitch, 15.0, 0.2);
  joints.SettingRelativeSpeed(support.hip_roll, support_roll, 0.2);
  joints.SettingRelativeSpeed(support.ankle_roll, -support_roll, 0.2);
  joints.SettingRelativeSpeed(kicking.hip_roll, roll, 0.2);
  joints.SettingRelativeSpeed(kicking.ankle_roll, -roll, 0.2);
  ++current_time_;
  if (current_time_ > 3) Next();
}

void QuickKick::FireFoot(const LegJoints& kicking, const LegJoints& support) {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const double support_roll = kicking.mirror * (8.0 + gravity_);
  joints.SettingRelativeSpeed(kicking.hip_yaw, 15.0, 7.0);
  joints.SettingRelativeSpeed(kicking.hip_pitch, 80.0, 7.0);
  joints.SettingRelativeSpeed(kicking.knee, -35.0, 7.0);
  joints.SettingRelativeSpeed(kicking.ankle_pitch, 15.0, 7.0);
  joints.SettingRelativeSpeed(support.hip_pitch, -35.0, 7.0);
  joints.SettingRelativeSpeed(support.ankle_pitch, 30.0, 7.0);
  joints.SettingRelativeSpeed(support.hip_roll, support_roll, 0.5);
  joints.SettingRelativeSpeed(support.ankle_roll, -support_roll, 0.5);
  ++current_time_;
  if (current_time_ > 6) NextTo(END);
}

}  // namespace zamp
