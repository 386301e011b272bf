// Stands the robot up from lying face down: hips flexed to push the body back over the
// feet, knees closed, then the ready pose. Played by the match agent while standing up
// after a fall to the front; 5 steps, 108 cycles. Angles in degrees, gains of
// JointController::SettingRelativeSpeed.
#pragma once

#include "motion/MotionSequenceXML.h"

namespace zamp {

class StandUpFromProne : public MotionSequenceXML {
 public:
  StandUpFromProne();
  ~StandUpFromProne() override;
};

}  // namespace zamp
