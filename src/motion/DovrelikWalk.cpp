#include "motion/DovrelikWalk.h"

#include <Eigen/Core>
#include <cmath>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "core/const.h"
#include "model/AgentState.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

const double FORWARD_ACCELE = 0.015;
const double HORIZON_ACCELE = 0.025;
const double ROTATION_ACCELE = 0.05;
// m/s that a current speed of 1.0 stands for, forward and sideways.
const Eigen::Vector3d MAX_WALK_SPEED(0.5338078291814946, 0.4, 0.0);

// Degrees of phase per server cycle: the step repeats every 12 cycles, the foot lift twice
// per step.
const double STEP_PHASE_RATE = 30.0;
const double LIFT_PHASE_RATE = 60.0;

// Forward and backward walking differ in hip swing, foot lift and lateral shift.
const double HIP_PITCH_FACTOR_FORWARD = 1.0666544004537009;   // rad per unit speed
const double HIP_PITCH_FACTOR_BACKWARD = 1.0292971058347193;  // rad per unit speed
const double FOOT_LIFT_FORWARD = 0.310342;                    // rad
const double FOOT_LIFT_BACKWARD = 0.320952;                   // rad
const double LATERAL_SHIFT_FORWARD = 0.026337;                // rad
const double LATERAL_SHIFT_BACKWARD = 0.05851;                // rad
const double SIDEWAYS_SWAY_FACTOR = 0.2955026243572807;       // rad per unit speed
const double TURNING_FACTOR = 0.19738581623010132 * 4.0;      // rad per unit speed
const double KNEE_FACTOR = -2.17;                             // knee bend per unit of lift

// The crouched pose the sinusoids swing around, degrees.
const double HIP_PITCH_OFFSET = 24.5;
const double KNEE_OFFSET = -53.165;
const double ANKLE_PITCH_OFFSET = 37.485;

const double JOINT_GAIN = 0.075;

// Pitch angles of one leg, radians.
struct LegPitch {
  double hip, knee, ankle;
};

// The swing leg bends by the lift; the support leg only swings about the hip.
LegPitch Leg(double base, double lift, bool swing) {
  if (swing) return {base + lift, KNEE_FACTOR * lift, -base + lift};
  return {base, 0.0, -base};
}

}  // namespace

DovrelikWalk::DovrelikWalk() {
  InitSpeed(vertical_, FORWARD_ACCELE, -1.0, 1.0);
  InitSpeed(horizon_, HORIZON_ACCELE, -1.0, 1.0);
  InitSpeed(rotation_, ROTATION_ACCELE, -1.0, 1.0);
  Singleton<AgentState>::GetInstance()->SetMaxWalkSpeed(MAX_WALK_SPEED);
}

DovrelikWalk::~DovrelikWalk() {}

void DovrelikWalk::AdjustSpeed() { Walk::AdjustSpeed(); }

void DovrelikWalk::Run() {
  AgentState& agent = *Singleton<AgentState>::GetInstance();
  const WorldState& world = *Singleton<WorldState>::GetInstance();
  JointController& joint = *Singleton<JointController>::GetInstance();

  ZeroNonFiniteTargets();
  if (ConsumeStopRequest()) {
    agent.SetCurrentWalkSpeed(Eigen::Vector3d::Zero());
    return;
  }

  // The joints use the speeds as they stand before this cycle's ramp step.
  const double vc = vertical_.current;
  const double hc = horizon_.current;
  const double rc = rotation_.current;
  const bool forward = vc >= 0.0;

  const double theta = Tool::ToRadian(static_cast<double>(world.GetServerCycle()));
  const double c = std::cos(STEP_PHASE_RATE * theta);
  const double s = std::sin(STEP_PHASE_RATE * theta);

  const double sway = SIDEWAYS_SWAY_FACTOR * c * hc;
  const double yaw = -(TURNING_FACTOR * c * rc);
  const double pitch = c * vc * (forward ? HIP_PITCH_FACTOR_FORWARD : HIP_PITCH_FACTOR_BACKWARD);
  const double lift = (1.0 - std::cos(LIFT_PHASE_RATE * theta)) *
                      (forward ? FOOT_LIFT_FORWARD : FOOT_LIFT_BACKWARD);
  const double shift = s * (forward ? LATERAL_SHIFT_FORWARD : LATERAL_SHIFT_BACKWARD);

  // The swing leg alternates with the sign of the lateral shift.
  const bool right_swings = shift > 0.0;
  const LegPitch right = Leg(-pitch, lift, right_swings);
  const LegPitch left = Leg(pitch, lift, !right_swings);

  joint.SettingRelativeSpeed(HJ_RLJ3, Tool::ToDegree(right.hip) + HIP_PITCH_OFFSET, JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_RLJ4, Tool::ToDegree(right.knee) + KNEE_OFFSET, JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_RLJ5, Tool::ToDegree(right.ankle) + ANKLE_PITCH_OFFSET, JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ3, Tool::ToDegree(left.hip) + HIP_PITCH_OFFSET, JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ4, Tool::ToDegree(left.knee) + KNEE_OFFSET, JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ5, Tool::ToDegree(left.ankle) + ANKLE_PITCH_OFFSET, JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_RLJ2, Tool::ToDegree(-sway - shift), JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_RLJ6, Tool::ToDegree(sway + shift), JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ2, Tool::ToDegree(sway - shift), JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ6, Tool::ToDegree(-sway + shift), JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_RLJ1, Tool::ToDegree(yaw), JOINT_GAIN);
  joint.SettingRelativeSpeed(HJ_LLJ1, Tool::ToDegree(yaw), JOINT_GAIN);

  // Callers that skip AdjustSpeed would otherwise ramp the speeds past full speed without
  // bound; the other engines clamp here too.
  LimitTarget();
  UpdateSpeed(vertical_);
  UpdateSpeed(horizon_);
  UpdateSpeed(rotation_);
  agent.SetCurrentWalkSpeed(Eigen::Vector3d(vertical_.current, horizon_.current, 0.0));
}

}  // namespace zamp
