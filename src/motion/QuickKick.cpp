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
  if (movement_ > 40.0) {
    ball_direction_ = -Singleton<FieldState>::GetInstance()->GetBall().GetHorizonDegree();
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

// Straightens the right leg while rolling the weight over onto it, then lifts the left leg
// for four cycles.
void QuickKick::LandLeftFoot() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  if (gravity_ < 10.0) gravity_ += 5.0;
  if (movement_ > 0.0) {
    movement_ -= 2.0;
    const double m = movement_;
    const double g = gravity_;
    joints.SettingRelativeSpeed(HJ_RLJ3, m, 0.5);
    joints.SettingRelativeSpeed(HJ_RLJ4, -2.0 * m, 0.5);
    joints.SettingRelativeSpeed(HJ_RLJ5, m, 0.5);
    joints.SettingRelativeSpeed(HJ_LLJ2, g, 0.5);
    joints.SettingRelativeSpeed(HJ_RLJ2, g, 0.5);
    joints.SettingRelativeSpeed(HJ_LLJ6, -g, 0.5);
    joints.SettingRelativeSpeed(HJ_RLJ6, -g, 0.5);
    return;
  }
  const double roll = KickLegRoll();
  joints.SettingRelativeSpeed(HJ_LLJ3, 20.0, 0.2);
  joints.SettingRelativeSpeed(HJ_LLJ4, -50.0, 0.2);
  joints.SettingRelativeSpeed(HJ_LLJ5, 15.0, 0.2);
  joints.SettingRelativeSpeed(HJ_RLJ2, 10.0, 0.2);
  joints.SettingRelativeSpeed(HJ_RLJ6, -10.0, 0.2);
  joints.SettingRelativeSpeed(HJ_LLJ2, roll, 0.2);
  joints.SettingRelativeSpeed(HJ_LLJ6, -roll, 0.2);
  ++current_time_;
  if (current_time_ > 3) Next();
}

void QuickKick::FireLeftFoot() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const double g = gravity_;
  joints.SettingRelativeSpeed(HJ_LLJ1, 15.0, 7.0);
  joints.SettingRelativeSpeed(HJ_LLJ3, 80.0, 7.0);
  joints.SettingRelativeSpeed(HJ_LLJ4, -35.0, 7.0);
  joints.SettingRelativeSpeed(HJ_LLJ5, 15.0, 7.0);
  joints.SettingRelativeSpeed(HJ_RLJ3, -35.0, 7.0);
  joints.SettingRelativeSpeed(HJ_RLJ5, 30.0, 7.0);
  joints.SettingRelativeSpeed(HJ_RLJ2, 8.0 + g, 0.5);
  joints.SettingRelativeSpeed(HJ_RLJ6, -g - 8.0, 0.5);
  ++current_time_;
  if (current_time_ > 6) NextTo(END);
}

void QuickKick::LandRightFoot() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  if (gravity_ < 10.0) gravity_ += 5.0;
  if (movement_ > 0.0) {
    movement_ -= 2.0;
    const double m = movement_;
    const double g = gravity_;
    joints.SettingRelativeSpeed(HJ_LLJ3, m, 0.5);
    joints.SettingRelativeSpeed(HJ_LLJ4, -2.0 * m, 0.5);
    joints.SettingRelativeSpeed(HJ_LLJ5, m, 0.5);
    joints.SettingRelativeSpeed(HJ_LLJ2, -g, 0.5);
    joints.SettingRelativeSpeed(HJ_RLJ2, -g, 0.5);
    joints.SettingRelativeSpeed(HJ_LLJ6, g, 0.5);
    joints.SettingRelativeSpeed(HJ_RLJ6, g, 0.5);
    return;
  }
  const double roll = KickLegRoll();
  joints.SettingRelativeSpeed(HJ_RLJ3, 20.0, 0.2);
  joints.SettingRelativeSpeed(HJ_RLJ4, -50.0, 0.2);
  joints.SettingRelativeSpeed(HJ_RLJ5, 15.0, 0.2);
  joints.SettingRelativeSpeed(HJ_LLJ2, -10.0, 0.2);
  joints.SettingRelativeSpeed(HJ_LLJ6, 10.0, 0.2);
  joints.SettingRelativeSpeed(HJ_RLJ2, -roll, 0.2);
  joints.SettingRelativeSpeed(HJ_RLJ6, roll, 0.2);
  ++current_time_;
  if (current_time_ > 3) Next();
}

void QuickKick::FireRightFoot() {
  JointController& joints = *Singleton<JointController>::GetInstance();
  const double g = gravity_;
  joints.SettingRelativeSpeed(HJ_RLJ1, 15.0, 7.0);
  joints.SettingRelativeSpeed(HJ_RLJ3, 80.0, 7.0);
  joints.SettingRelativeSpeed(HJ_RLJ4, -35.0, 7.0);
  joints.SettingRelativeSpeed(HJ_RLJ5, 15.0, 7.0);
  joints.SettingRelativeSpeed(HJ_LLJ3, -35.0, 7.0);
  joints.SettingRelativeSpeed(HJ_LLJ5, 30.0, 7.0);
  joints.SettingRelativeSpeed(HJ_LLJ2, -g - 8.0, 0.5);
  joints.SettingRelativeSpeed(HJ_LLJ6, 8.0 + g, 0.5);
  ++current_time_;
  if (current_time_ > 6) NextTo(END);
}

}  // namespace zamp
