// The pendulum walk, a walking engine that can be selected in place of the locus walk. A
// phase variable (the pendulum) runs from a start to an end value once per step period
// (10 cycles, 0.2 s, with the defaults); from it and the current speeds each cycle yields a
// three-dimensional ankle target per leg: sideways speed spreads the feet, forward speed
// moves them forward and back (swing forward in the air, push back on the ground), turning
// speed turns both hips, and each foot is lifted in its air phase. Each leg is solved as
// two links whose lengths and rest directions are measured on the body model, and the
// ankles keep the soles parallel to the torso.
//
// Runs inside the agent's Think, once per cycle while walking. Reads AgentState's body
// tree (link vectors) and joint angles; writes the 12 leg joints of JointController through
// SettingJustTargetDegree, each target first limited to what the joint reaches this cycle.
// It does not publish walk speeds.
//
// Frames and units: a foot target is the ankle joint relative to the hip joint in the frame
// the hip yaw leaves (with yaw 0 the body frame: x right, y forward, z up), in metres.
// Angles in degrees.
//
// Driving it: SettingSpeed (or the setters) then AdjustSpeed, then Run once per cycle.
// SetStop(true) ramps the speeds down and sends the standing pose once they are inside the
// stop band.
#pragma once

#include <Eigen/Core>

#include "motion/Walk.h"

namespace zamp {

class AgentState;

class NewTabeWalk : public Walk {
 public:
  // The joint angles that put one ankle on its target, degrees.
  struct LegAngles {
    double roll;       // hip roll (lj2)
    double hip_pitch;  // lj3
    double knee;       // lj4
  };

  // Ankle targets of the coming cycle, m, and the hip yaw, degrees.
  struct FootTargets {
    Eigen::Vector3d right;
    Eigen::Vector3d left;
    double yaw;
  };

  NewTabeWalk();
  ~NewTabeWalk() override;

  void Run() override;

  // Two-link leg with the knee in front: thigh and shank are the link vectors at zero joint
  // angles (hip to knee, knee to ankle, m, lying in the y-z plane), foot the ankle target
  // relative to the hip. The hip roll turns about +y, hip pitch and knee about +x. A target
  // beyond reach gives the leg stretched towards it, one nearer than the links allow the
  // fully folded leg; a target that is not finite gives the zero pose. Never NaN.
  static LegAngles SolveLeg(const Eigen::Vector3d& thigh, const Eigen::Vector3d& shank,
                            const Eigen::Vector3d& foot);

  // The targets Run would use now, from the phase, the current speeds and the legs' rest
  // vectors (hip to ankle with straight legs) measured on the body model.
  FootTargets CulcFootTargets(const AgentState& agent) const;

  double GetPendulum() const { return pendulum_; }
  int GetPendulumLength() const { return pendulum_length_; }

 private:
  // Phase helpers; phases are fractions of the period in [0, 1).
  double SwingWeight(double phase) const;
  double ForwardPosition(double phase) const;
  double Lift(double phase) const;
  double Yaw(double phase, double rotation) const;

  double pendulum_;        // phase variable, advanced each cycle
  double pendulum_start_;  // its start value
  double pendulum_end_;    // its end value
  int pendulum_length_;    // cycles per period
  double spend_ground_z_;  // start of the lift window, fraction of the period
  double spend_air_z_;     // end and width of the lift window, fraction of the period
  double spend_start_;     // start of the swing window, fraction of the period
  double spend_end_;       // length of the swing window, fraction of the period
  double max_x_;           // m, sideways step at full sideways speed
  double max_y_;           // m, forward step at full forward speed
  double max_z_;           // m, foot lift
  double max_rot_;         // degrees, hip yaw at full turning speed
  double offset_x_;        // m, outward spread of the feet, half to each side
  double offset_y_;        // m, forward offset of both feet
  double offset_z_;        // m, height offset of both feet
  double shift_x_;         // weight of the sideways pendulum sway
  double factor_y_;        // backward shift of both feet, in units of max_y_
  double lj2_offset_;      // degrees, hip roll offset, outward on both legs
  double lj5_offset_;      // degrees, ankle pitch offset
};

}  // namespace zamp
