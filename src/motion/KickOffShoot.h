// The kick-off shot: from the standing pose the robot shifts onto its right foot, winds the
// left leg back and fires it through the ball. The match agent's first motion; 8 steps,
// 208 cycles. Angles in degrees, gains of JointController::SettingRelativeSpeed.
#pragma once

#include "motion/MotionSequenceXML.h"

namespace zamp {

class KickOffShoot : public MotionSequenceXML {
 public:
  KickOffShoot();
  ~KickOffShoot() override;
};

}  // namespace zamp
