// The six driven joints of one leg, so that a motion written for one leg serves the other:
// the kicks are written once for a kicking and a support leg and played with the legs
// swapped. Joint identifiers of HingeJointID; the toe joint (lj7) is not driven by them.
#pragma once

#include "core/const.h"

namespace zamp {

struct LegJoints {
  HingeJointID hip_yaw;      // lj1, hip yaw-pitch
  HingeJointID hip_roll;     // lj2
  HingeJointID hip_pitch;    // lj3
  HingeJointID knee;         // lj4
  HingeJointID ankle_pitch;  // lj5
  HingeJointID ankle_roll;   // lj6
  // Mirror images have opposite roll angles: a pose written for a left-leg kick is played
  // with the right leg by swapping the legs and multiplying every roll angle by this.
  double mirror;
};

inline constexpr LegJoints LEFT_LEG_JOINTS = {HJ_LLJ1, HJ_LLJ2, HJ_LLJ3, HJ_LLJ4,
                                              HJ_LLJ5, HJ_LLJ6, 1.0};
inline constexpr LegJoints RIGHT_LEG_JOINTS = {HJ_RLJ1, HJ_RLJ2, HJ_RLJ3, HJ_RLJ4,
                                               HJ_RLJ5, HJ_RLJ6, -1.0};

}  // namespace zamp
