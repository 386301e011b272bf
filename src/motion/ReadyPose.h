// The ready pose that the match agent holds while it may beam and that the standing kick
// starts from: arms forward and down with the elbows bent, knees bent so the robot stands
// low and stable. Motions and agents call it every cycle they hold the pose; gain is the
// proportional gain of JointController::SettingRelativeSpeed.
#pragma once

namespace zamp {

class JointController;

// Only the arms; walking keeps them so while the walk engine drives the legs.
void SetReadyArmPose(JointController& joint, double gain);
// Arms and legs (not the toes and not the head).
void SetReadyPose(JointController& joint, double gain);

}  // namespace zamp
