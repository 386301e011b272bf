// Stands the robot up from lying on its back: arms thrown back to sit up, legs folded
// under the body, then the ready pose. Played by the match agent while standing up after a
// fall to the back or a side; 7 steps, 98 cycles. Angles in degrees, gains of
// JointController::SettingRelativeSpeed.
#pragma once

#include "motion/MotionSequenceXML.h"

namespace zamp {

class StandUpFromBack : public MotionSequenceXML {
 public:
  StandUpFromBack();
  ~StandUpFromBack() override;
};

}  // namespace zamp
