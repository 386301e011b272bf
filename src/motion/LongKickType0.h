// The long kick for robot types 0 to 3: settles into a crouch, shifts onto the left foot,
// raises the right leg and fires it with fixed joint speeds. Played by the match agent for
// the motion word "LongKick"; 12 steps, 103 cycles. Angles in degrees, gains of
// JointController::SettingRelativeSpeed, fixed speeds in rad/s.
//
// In the kick challenge the robot kicks from a standstill at a ball placed some metres from
// the field centre: the kick then waits longer in its first step and aims the swing by the
// ball's distance from the centre, read from the field model's ball estimate (team frame,
// metres). The adjusted steps stay adjusted for later plays.
#pragma once

#include "motion/MotionSequenceXML.h"

namespace zamp {

class LongKickType0 : public MotionSequenceXML {
 public:
  LongKickType0();
  ~LongKickType0() override;

  void Run() override;

  void SetKickChallenge(bool is_kick_challenge) { is_kick_challenge_ = is_kick_challenge; }

 private:
  void AdjustForKickChallenge();

  bool is_kick_challenge_;
};

}  // namespace zamp
