#include "motion/Walk.h"

#include <cmath>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/const.h"

namespace zamp {

namespace {

const double STAND_GAIN = 0.075;
const double STAND_HIP_PITCH = 30.0;    // degrees
const double STAND_KNEE = -70.0;        // degrees
const double STAND_ANKLE_PITCH = 40.0;  // degrees

void LimitOne(Walk::Speed& s) {
  if (std::isnan(s.target)) {
    s.target = 0.0;
  } else if (s.target < s.min) {
    s.target = s.min;
  } else if (s.target > s.max) {
    s.target = s.max;
  }
}

}  // namespace

Walk::Walk() : stop_(false) {}

Walk::~Walk() {}

void Walk::SettingSpeed(double vertical, double horizon, double rotation) {
  vertical_.target = vertical;
  horizon_.target = horizon;
  rotation_.target = rotation;
}

void Walk::ResetCurrentSpeed() {
  vertical_.current = 0.0;
  horizon_.current = 0.0;
  rotation_.current = 0.0;
}

void Walk::InitSpeed(Speed& s, double accele, double min, double max) {
  s.accele = accele;
  s.min = min;
  s.max = max;
  s.target = 0.0;
  s.current = 0.0;
}

void Walk::LimitTarget() {
  LimitOne(vertical_);
  LimitOne(horizon_);
  LimitOne(rotation_);
}

void Walk::UpdateSpeed(Speed& s) {
  if (s.target - SPEED_DEAD_BAND > s.current) {
    s.current += s.accele;
  } else if (s.current > s.target + SPEED_DEAD_BAND) {
    s.current -= s.accele;
  }
}

void Walk::AdjustSpeed() {
  const double vc = vertical_.current;
  const double hc = horizon_.current;
  LimitTarget();
  const double forward_share = 1.0 - 0.3 * std::fabs(vc);
  horizon_.target *= forward_share;
  rotation_.target *= forward_share * (1.0 - 0.3 * std::fabs(hc));
  vertical_.target *= std::fabs((1.0 - 0.9 * std::fabs(horizon_.target)) *
                                (1.0 - 0.5 * std::fabs(rotation_.target)));
}

void Walk::Stop() {
  JointController& joint = *Singleton<JointController>::GetInstance();
  joint.SettingRelativeSpeed(HJ_RLJ3, STAND_HIP_PITCH, STAND_GAIN);
  joint.SettingRelativeSpeed(HJ_RLJ4, STAND_KNEE, STAND_GAIN);
  joint.SettingRelativeSpeed(HJ_RLJ5, STAND_ANKLE_PITCH, STAND_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ3, STAND_HIP_PITCH, STAND_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ4, STAND_KNEE, STAND_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ5, STAND_ANKLE_PITCH, STAND_GAIN);
}

}  // namespace zamp
