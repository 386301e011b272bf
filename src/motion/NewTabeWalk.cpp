#include "motion/NewTabeWalk.h"

#include <cmath>
#include <iostream>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "core/const.h"
#include "model/AgentState.h"

namespace zamp {

namespace {

const double FORWARD_ACCELE = 0.015;
const double HORIZON_ACCELE = 0.025;
const double ROTATION_ACCELE = 0.05;

// Keeps the window edges and the end of the phase from flipping on rounding.
const double PHASE_MARGIN = 5e-05;
// Steepness of the forward swing's sigmoid.
const double SWING_STEEPNESS = 10.0;
// A foot pitch (sum of measured hip, knee and ankle pitch) at least this far from level is
// reported, degrees.
const double FOOT_PITCH_REPORT = 1.0;

// The body parts that carry one leg's links.
struct LegLinks {
  BodyPartID thigh, shank, ankle;
};

const LegLinks RIGHT_LINKS = {BP_THIGH_RIGHT, BP_SHANK_RIGHT, BP_ANKLE_RIGHT};
const LegLinks LEFT_LINKS = {BP_THIGH_LEFT, BP_SHANK_LEFT, BP_ANKLE_LEFT};

// Hip to knee at zero joint angles, m, in the thigh's frame.
Eigen::Vector3d Thigh(const AgentState& agent, const LegLinks& leg) {
  return agent.GetBodyPart(leg.shank).local_coord - agent.GetBodyPart(leg.thigh).anchor;
}

// Knee to ankle at zero joint angles, m, in the shank's frame.
Eigen::Vector3d Shank(const AgentState& agent, const LegLinks& leg) {
  return agent.GetBodyPart(leg.ankle).local_coord - agent.GetBodyPart(leg.shank).anchor;
}

// Direction of a link in the y-z plane, degrees from +y towards +z.
double PitchDirection(const Eigen::Vector3d& link) {
  return Tool::CulcDegree(0.0, 0.0, link.y(), link.z(), 0.0);
}

}  // namespace

NewTabeWalk::NewTabeWalk()
    : pendulum_(-0.5),
      pendulum_start_(-0.5),
      pendulum_end_(0.5),
      pendulum_length_(10),
      spend_ground_z_(0.1),
      spend_air_z_(0.9),
      spend_start_(0.3),
      spend_end_(0.5),
      max_x_(0.02),
      max_y_(0.05),
      max_z_(0.02),
      max_rot_(-15.0),
      offset_x_(0.005),
      offset_y_(0.0),
      offset_z_(0.03),
      shift_x_(0.0),
      factor_y_(0.0),
      lj2_offset_(0.0),
      lj5_offset_(2.0) {
  InitSpeed(vertical_, FORWARD_ACCELE, -1.0, 1.0);
  InitSpeed(horizon_, HORIZON_ACCELE, -1.0, 1.0);
  InitSpeed(rotation_, ROTATION_ACCELE, -1.0, 1.0);
}

NewTabeWalk::~NewTabeWalk() {}

NewTabeWalk::LegAngles NewTabeWalk::SolveLeg(const Eigen::Vector3d& thigh,
                                             const Eigen::Vector3d& shank,
                                             const Eigen::Vector3d& foot) {
  if (!thigh.allFinite() || !shank.allFinite() || !foot.allFinite()) return {0.0, 0.0, 0.0};
  const double length1 = thigh.norm();
  const double length2 = shank.norm();
  // The roll turns the leg's plane about +y so that it holds the target; in that plane the
  // target lies at y forward and at the distance r below the hip.
  const double r = std::hypot(foot.x(), foot.z());
  const double roll = (r > 0.0) ? Tool::ToDegree(std::atan2(-foot.x(), -foot.z())) : 0.0;
  const double y = foot.y();
  const double z = -r;
  // Link directions in the plane, degrees: the thigh's, and the shank's turn against it.
  // Beyond reach the leg is stretched along the target's direction. Within reach, sign -1
  // takes the solution whose knee lies in front of the hip-ankle line.
  double thigh_direction = Tool::CulcDegree(0.0, 0.0, y, z, 0.0);
  double bend = 0.0;
  if (std::hypot(y, z) < length1 + length2) {
    const Eigen::Vector4d planar = Tool::CulcInverseKinematics(length1, length2, y, z, -1.0);
    thigh_direction = planar[2];
    bend = planar[3];
  }
  // The joints turn the links from their rest directions.
  const double thigh_rest = PitchDirection(thigh);
  const double shank_rest = PitchDirection(shank);
  const LegAngles angles = {roll, Tool::LimitDegree180(thigh_direction - thigh_rest),
                            Tool::LimitDegree180(bend + thigh_rest - shank_rest)};
  if (!std::isfinite(angles.roll) || !std::isfinite(angles.hip_pitch) ||
      !std::isfinite(angles.knee)) {
    return {0.0, 0.0, 0.0};
  }
  return angles;
}

double NewTabeWalk::SwingWeight(double phase) const {
  if (phase < spend_start_ + PHASE_MARGIN) return 0.0;
  if (phase >= spend_start_ + spend_end_ - PHASE_MARGIN) return 1.0;
  return (1.0 - std::cos(Tool::PI * (phase - spend_start_) / spend_end_)) / 2.0;
}

double NewTabeWalk::ForwardPosition(double phase) const {
  if (phase < spend_start_ + PHASE_MARGIN) return -0.5 - phase + spend_start_;
  if (phase >= spend_start_ + spend_end_ - PHASE_MARGIN) {
    return 0.5 - phase + spend_end_ + spend_start_;
  }
  return 1.0 / (1.0 + std::exp(-SWING_STEEPNESS * ((phase - spend_start_) / spend_end_ - 0.5))) -
         0.5;
}

double NewTabeWalk::Lift(double phase) const {
  if (phase < spend_ground_z_ || phase > spend_air_z_) return 0.0;
  return (1.0 - std::cos(2.0 * Tool::PI * (phase - spend_ground_z_) / spend_air_z_)) / 2.0;
}

double NewTabeWalk::Yaw(double phase, double rotation) const {
  double share = max_rot_;
  if (phase < spend_start_ + PHASE_MARGIN) {
    share = 0.0;
  } else if (phase < spend_start_ + spend_end_ - PHASE_MARGIN) {
    share = max_rot_ * (1.0 - std::cos(Tool::PI * (phase - spend_start_) / spend_end_)) / 2.0;
  }
  return std::fabs(rotation) * share;
}

NewTabeWalk::FootTargets NewTabeWalk::CulcFootTargets(const AgentState& agent) const {
  const double vc = vertical_.current;
  const double hc = horizon_.current;
  const double rc = rotation_.current;

  // The right leg runs on p, the left half a period later.
  const double p = (pendulum_ - pendulum_start_) / (pendulum_end_ - pendulum_start_);
  const double q = std::fmod(p + 0.5, 1.0);
  const double sideways_phase = (hc >= 0.0) ? q : p;
  const double turning_phase = (rc >= 0.0) ? q : p;

  const double spread = SwingWeight(sideways_phase) * max_x_ * std::fabs(hc);
  const double sway = (std::cosh(pendulum_ / 2.0) / 2.0 - 1.5) * shift_x_;
  const double forward_offset = offset_y_ - max_y_ * factor_y_;

  const Eigen::Vector3d right_rest = Thigh(agent, RIGHT_LINKS) + Shank(agent, RIGHT_LINKS);
  const Eigen::Vector3d left_rest = Thigh(agent, LEFT_LINKS) + Shank(agent, LEFT_LINKS);

  // The feet spread outward (the right foot to +x, the left to -x) and move forward with
  // the forward position: forward in the swing, back while they carry the body.
  FootTargets t;
  t.right = right_rest + Eigen::Vector3d(offset_x_ / 2.0 + spread - sway,
                                         vc * ForwardPosition(p) * max_y_ + forward_offset,
                                         offset_z_ + Lift(p) * max_z_);
  t.left = left_rest + Eigen::Vector3d(-offset_x_ / 2.0 - spread + sway,
                                       vc * ForwardPosition(q) * max_y_ + forward_offset,
                                       offset_z_ + Lift(q) * max_z_);
  t.yaw = Yaw(turning_phase, rc);
  return t;
}

void NewTabeWalk::Run() {
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  JointController& joint = *Singleton<JointController>::GetInstance();

  ZeroNonFiniteTargets();
  if (ConsumeStopRequest()) return;

  const FootTargets feet = CulcFootTargets(agent);
  const LegAngles right =
      SolveLeg(Thigh(agent, RIGHT_LINKS), Shank(agent, RIGHT_LINKS), feet.right);
  const LegAngles left = SolveLeg(Thigh(agent, LEFT_LINKS), Shank(agent, LEFT_LINKS), feet.left);

  // Each target is limited to what its joint reaches this cycle; the ankles then level the
  // feet against the limited hip and knee angles.
  const double llj2 = joint.LimitTargetDegree(HJ_LLJ2, lj2_offset_ + left.roll);
  const double llj3 = joint.LimitTargetDegree(HJ_LLJ3, left.hip_pitch);
  const double llj4 = joint.LimitTargetDegree(HJ_LLJ4, left.knee);
  const double rlj2 = joint.LimitTargetDegree(HJ_RLJ2, right.roll - lj2_offset_);
  const double rlj3 = joint.LimitTargetDegree(HJ_RLJ3, right.hip_pitch);
  const double rlj4 = joint.LimitTargetDegree(HJ_RLJ4, right.knee);
  const double rlj5 = -rlj3 - rlj4 + lj5_offset_;
  const double llj5 = -llj3 - llj4 + lj5_offset_;
  const double rlj6 = -rlj2;
  const double llj6 = -llj2;

  const double foot_pitch =
      agent.GetJointDegree(HJ_LLJ3) + agent.GetJointDegree(HJ_LLJ4) + agent.GetJointDegree(HJ_LLJ5);
  if (std::fabs(foot_pitch) >= FOOT_PITCH_REPORT) std::cout << foot_pitch << std::endl;

  const double power = 1.0;
  const double unused_weight = 0.0;
  const struct {
    HingeJointID id;
    double degree;
  } commands[] = {
      {HJ_RLJ1, feet.yaw}, {HJ_RLJ2, rlj2}, {HJ_RLJ3, rlj3},     {HJ_RLJ4, rlj4},
      {HJ_RLJ5, rlj5},     {HJ_RLJ6, rlj6}, {HJ_LLJ1, feet.yaw}, {HJ_LLJ2, llj2},
      {HJ_LLJ3, llj3},     {HJ_LLJ4, llj4}, {HJ_LLJ5, llj5},     {HJ_LLJ6, llj6},
  };
  for (const auto& c : commands) {
    joint.SettingJustTargetDegree(c.id, c.degree, power, unused_weight);
  }

  LimitTarget();
  UpdateSpeed(vertical_);
  UpdateSpeed(horizon_);
  UpdateSpeed(rotation_);

  pendulum_ += 1.0 / pendulum_length_;
  if (pendulum_ >= pendulum_end_ - PHASE_MARGIN) pendulum_ = pendulum_start_;
}

}  // namespace zamp
