// The long kick for robot type 4 (the model with toes): settles into a crouch, shifts onto
// the left foot, raises the right leg and fires it with fixed joint speeds. Played by the
// match agent for the motion word "LongKick"; 12 steps, 103 cycles. Angles in degrees,
// gains of JointController::SettingRelativeSpeed, fixed speeds in rad/s.
#pragma once

#include "motion/MotionSequenceXML.h"

namespace zamp {

class LongKickType4 : public MotionSequenceXML {
 public:
  LongKickType4();
  ~LongKickType4() override;
};

}  // namespace zamp
