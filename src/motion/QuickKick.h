// A quick standing kick: the robot crouches, picks the kicking foot from the side the ball
// lies on, shifts its weight onto the other foot and swings the kicking leg through with
// high gains. 54 cycles from Reset to the end. Reads the field model's ball (horizontal
// angle in degrees, positive to the left) once the crouch is done; commands joints through
// the shared JointController. Angles in degrees.
#pragma once

#include "motion/LegJoints.h"
#include "motion/MotionSequenceDirect.h"

namespace zamp {

class QuickKick : public MotionSequenceDirect<QuickKick> {
 public:
  QuickKick();
  ~QuickKick() override;

  void Run() override;
  void Reset() override;

 private:
  void Set();
  void LandLeftFoot();
  void FireLeftFoot();
  void LandRightFoot();
  void FireRightFoot();
  // The landing and firing of either foot, written for a left-foot kick and mirrored.
  void LandFoot(const LegJoints& kicking, const LegJoints& support);
  void FireFoot(const LegJoints& kicking, const LegJoints& support);
  // Hip roll of the kicking leg (degrees, for the left leg; the right leg mirrors it) that
  // opens the swing more the further the ball lies to the side.
  double KickLegRoll() const;

  const int LEFT_FOOT = 1;
  const int RIGHT_FOOT = 3;
  const int END = 5;
  double movement_;        // degrees, hip pitch of the crouch
  double gravity_;         // degrees, hip roll that shifts the weight
  double ball_direction_;  // degrees, minus the ball's horizontal angle
};

}  // namespace zamp
