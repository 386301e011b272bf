#include "motion/ReadyPose.h"

#include "core/JointController.h"
#include "core/const.h"

namespace zamp {

void SetReadyArmPose(JointController& joint, double gain) {
  joint.SettingRelativeSpeed(HJ_RAJ1, -100.0, gain);
  joint.SettingRelativeSpeed(HJ_LAJ1, -100.0, gain);
  joint.SettingRelativeSpeed(HJ_RAJ2, -20.0, gain);
  joint.SettingRelativeSpeed(HJ_LAJ2, 20.0, gain);
  joint.SettingRelativeSpeed(HJ_RAJ3, 90.0, gain);
  joint.SettingRelativeSpeed(HJ_LAJ3, -90.0, gain);
  joint.SettingRelativeSpeed(HJ_RAJ4, 0.0, gain);
  joint.SettingRelativeSpeed(HJ_LAJ4, 0.0, gain);
}

void SetReadyPose(JointController& joint, double gain) {
  SetReadyArmPose(joint, gain);
  const HingeJointID hip_yaw[] = {HJ_RLJ1, HJ_LLJ1};
  const HingeJointID hip_roll[] = {HJ_RLJ2, HJ_LLJ2};
  const HingeJointID hip_pitch[] = {HJ_RLJ3, HJ_LLJ3};
  const HingeJointID knee[] = {HJ_RLJ4, HJ_LLJ4};
  const HingeJointID ankle_pitch[] = {HJ_RLJ5, HJ_LLJ5};
  const HingeJointID ankle_roll[] = {HJ_RLJ6, HJ_LLJ6};
  for (int leg = 0; leg < 2; ++leg) {
    joint.SettingRelativeSpeed(hip_yaw[leg], 0.0, gain);
    joint.SettingRelativeSpeed(hip_roll[leg], 0.0, gain);
    joint.SettingRelativeSpeed(hip_pitch[leg], 25.0, gain);
    joint.SettingRelativeSpeed(knee[leg], -60.0, gain);
    joint.SettingRelativeSpeed(ankle_pitch[leg], 35.0, gain);
    joint.SettingRelativeSpeed(ankle_roll[leg], 0.0, gain);
  }
}

}  // namespace zamp
