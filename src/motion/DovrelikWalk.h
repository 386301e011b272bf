// The sine walk, an open-loop walking engine of the demonstration agent: every leg joint
// follows a sinusoid of the server's cycle count (a step period of 12 cycles, 0.24 s) with
// amplitudes proportional to the current forward, sideways and turning speeds, around a
// crouched offset pose. No foot points, no inverse kinematics, no sensor feedback; the
// phase comes from the server clock, so the walk keeps only its speeds.
//
// Runs inside the agent's Think, once per cycle while walking. Reads WorldState's server
// cycle; writes the 12 leg joints of JointController (relative speed, gain 0.075) and
// AgentState's published walk speeds. Joint angles in degrees; the sinusoids' amplitudes
// are in radians.
//
// Driving it: SettingSpeed (or the setters) then AdjustSpeed, then Run once per cycle; the
// speeds sent to the joints lag one cycle behind the ramp. SetStop(true) ramps the speeds
// down and sends the standing pose once they are inside the stop band.
#pragma once

#include "motion/Walk.h"

namespace zamp {

class DovrelikWalk : public Walk {
 public:
  DovrelikWalk();
  ~DovrelikWalk() override;

  void Run() override;
  void AdjustSpeed() override;
};

}  // namespace zamp
