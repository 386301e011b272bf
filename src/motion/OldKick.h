// The old standing kick: holds the ready pose for about a second, picks the kicking foot
// from the side the ball lies on, rolls the weight onto the other foot, lifts the kicking
// leg until the joints arrive and snaps it forward at full joint speed. Steps that wait
// for arrival read the shared JointController's commanded speeds and AgentState's measured
// hip pitch (degrees); the ball's horizontal angle (degrees, positive to the left) comes
// from the field model. Commands joints only through the JointController.
#pragma once

#include "motion/LegJoints.h"
#include "motion/MotionSequenceDirect.h"

namespace zamp {

class OldKick : public MotionSequenceDirect<OldKick> {
 public:
  OldKick();
  ~OldKick() override;

  void Run() override;

 private:
  void Set();
  void LandLeftFoot1();
  void LandLeftFoot2();
  void FireLeftFoot();
  void LandRightFoot1();
  void LandRightFoot2();
  void FireRightFoot();
  // The steps of either foot, written for a left-foot kick and mirrored.
  void ShiftWeight(const LegJoints& kicking);
  void LiftLeg(const LegJoints& kicking, const LegJoints& support);
  void FireLeg(const LegJoints& kicking, const LegJoints& support);

  const int LEFT_FOOT = 1;
  const int RIGHT_FOOT = 4;
  const int END = 7;
};

}  // namespace zamp
