#include "motion/TabeWalk.h"

#include <Eigen/Geometry>
#include <cmath>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "core/const.h"
#include "model/AgentState.h"
#include "motion/LegJoints.h"
#include "motion/TabeLocus.h"

namespace zamp {

namespace {

const double THIGH_LENGTH = 125.0;         // mm, hip to knee
const double SHANK_LENGTH = 55.0;          // mm, knee to ankle
const int BACKWARD_PHASE_SHIFT = 6;        // points
const double YAW_SAME_PHASE_GAIN = -30.0;  // degrees per unit turning speed
const double YAW_OPPOSITE_GAIN = 10.0;     // degrees per unit turning speed
const double ROLL_BASE = 5.0;              // degrees
const double ROLL_SAME_PHASE_GAIN = 16.0;  // degrees per unit sideways speed
const double ROLL_OPPOSITE_GAIN = -12.0;   // degrees per unit sideways speed
const double LEVELLING_YAW_SHARE = 0.2;
const double YAW_JOINT_GAIN = 0.17129999999999998;  // one unit in the last place below 0.1713
const double PITCH_JOINT_GAIN = 0.315;
const double ROLL_JOINT_GAIN = 0.15;

const double FORWARD_ACCELE = 0.015;
const double HORIZON_ACCELE = 0.025;
const double ROTATION_ACCELE = 0.05;
// m/s that a current speed of 1.0 stands for, forward and sideways.
const Eigen::Vector3d MAX_WALK_SPEED(0.6912442396313364, 0.4, 0.0);

// The body parts whose hinge axes level the foot, and the joints the gait drives.
struct LegChain {
  BodyPartID hip1, hip2, thigh, shank;
  LegJoints joints;
};

const LegChain RIGHT_LEG = {BP_HIP1_RIGHT, BP_HIP2_RIGHT, BP_THIGH_RIGHT, BP_SHANK_RIGHT,
                            RIGHT_LEG_JOINTS};
const LegChain LEFT_LEG = {BP_HIP1_LEFT, BP_HIP2_LEFT, BP_THIGH_LEFT, BP_SHANK_LEFT,
                           LEFT_LEG_JOINTS};

// Target angles of one leg's six joints, degrees.
struct LegAngles {
  double yaw, roll, hip_pitch, knee, ankle_pitch, ankle_roll;
};

bool InFirstHalf(int counter, bool backward, int n) {
  if (n <= 0) return true;
  const int shifted = counter + (backward ? BACKWARD_PHASE_SHIFT : 0);
  return ((shifted % n) + n) % n < n / 2;
}

double HipYaw(double rc, bool first_half) {
  return ((rc >= 0.0) == first_half) ? YAW_SAME_PHASE_GAIN * std::fabs(rc)
                                     : YAW_OPPOSITE_GAIN * std::fabs(rc);
}

double HipRoll(double hc, bool first_half) {
  return ((hc >= 0.0) == first_half) ? ROLL_BASE + ROLL_SAME_PHASE_GAIN * std::fabs(hc)
                                     : ROLL_BASE + ROLL_OPPOSITE_GAIN * std::fabs(hc);
}

// Hip and knee pitch from the two-link solution, then the ankle angles that keep the sole
// parallel to the torso's ground plane. The levelling sees only part of the yaw.
LegAngles SolveLeg(const AgentState& agent, const LegChain& leg, const Eigen::Vector2d& foot,
                   double yaw, double roll, double ankle_offset) {
  LegAngles a;
  a.yaw = yaw;
  a.roll = roll;
  const Eigen::Vector4d ik =
      Tool::CulcInverseKinematics(THIGH_LENGTH, SHANK_LENGTH, foot.x(), foot.y(), 1);
  a.hip_pitch = -(ik[2] + 90.0);
  a.knee = -ik[3];
  const Eigen::Matrix3d q = agent.GetBodyPart(leg.hip1).JointRotation(LEVELLING_YAW_SHARE * yaw) *
                            agent.GetBodyPart(leg.hip2).JointRotation(roll) *
                            agent.GetBodyPart(leg.thigh).JointRotation(a.hip_pitch) *
                            agent.GetBodyPart(leg.shank).JointRotation(a.knee);
  Eigen::Affine3d transform = Eigen::Affine3d::Identity();
  transform.linear() = q;
  const Eigen::Vector3d euler = Tool::RotationMatrixToEulerDegree(transform.matrix());
  a.ankle_pitch = ankle_offset - euler[0];
  a.ankle_roll = euler[1];
  return a;
}

bool IsFinite(const LegAngles& a) {
  return std::isfinite(a.yaw) && std::isfinite(a.roll) && std::isfinite(a.hip_pitch) &&
         std::isfinite(a.knee) && std::isfinite(a.ankle_pitch) && std::isfinite(a.ankle_roll);
}

// A leg without a finite solution is left uncommanded and holds still this cycle.
void CommandLeg(JointController& joint, const LegJoints& leg, const LegAngles& a) {
  if (!IsFinite(a)) return;
  joint.SettingRelativeSpeed(leg.hip_yaw, a.yaw, YAW_JOINT_GAIN);
  joint.SettingRelativeSpeed(leg.hip_pitch, a.hip_pitch, PITCH_JOINT_GAIN);
  joint.SettingRelativeSpeed(leg.knee, a.knee, PITCH_JOINT_GAIN);
  joint.SettingRelativeSpeed(leg.ankle_pitch, a.ankle_pitch, PITCH_JOINT_GAIN);
  joint.SettingRelativeSpeed(leg.hip_roll, a.roll, ROLL_JOINT_GAIN);
  joint.SettingRelativeSpeed(leg.ankle_roll, a.ankle_roll, ROLL_JOINT_GAIN);
}

}  // namespace

TabeWalk::TabeWalk() {
  InitSpeed(vertical_, FORWARD_ACCELE, -1.0, 1.0);
  InitSpeed(horizon_, HORIZON_ACCELE, -1.0, 1.0);
  InitSpeed(rotation_, ROTATION_ACCELE, -1.0, 1.0);
  Singleton<AgentState>::GetInstance()->SetMaxWalkSpeed(MAX_WALK_SPEED);
  locus_point_ = std::make_unique<TabeLocus>();
}

TabeWalk::~TabeWalk() {}

void TabeWalk::Run() {
  AgentState& agent = *Singleton<AgentState>::GetInstance();
  JointController& joint = *Singleton<JointController>::GetInstance();
  LocusPoint& locus = *locus_point_;

  if (stop_) {
    SettingSpeed(0.0, 0.0, 0.0);
    stop_ = false;
    if (std::fabs(vertical_.current) < STOP_SPEED_BAND &&
        std::fabs(horizon_.current) < STOP_SPEED_BAND &&
        std::fabs(rotation_.current) < STOP_SPEED_BAND) {
      Stop();
      ResetCurrentSpeed();
      return;
    }
  }

  const Eigen::Vector2d right = locus.GetRightTarget();
  const Eigen::Vector2d left = locus.GetLeftTarget();
  const std::vector<LocusPoint::Data>& loci = locus.GetLocuses();
  const int type = locus.GetLocusType();
  const bool has_locus = type >= 0 && type < static_cast<int>(loci.size());
  const double center_y = has_locus ? loci[type].center_y : 0.0;
  const int n = has_locus ? static_cast<int>(loci[type].targets.size()) : 0;

  LimitTarget();
  UpdateSpeed(vertical_);
  UpdateSpeed(horizon_);
  UpdateSpeed(rotation_);
  const double vc = vertical_.current;
  const double hc = horizon_.current;
  const double rc = rotation_.current;
  agent.SetCurrentWalkSpeed(Eigen::Vector3d(vc, hc, 0.0));

  const bool first_half = InFirstHalf(locus.GetCurrentCycle(), vc < 0.0, n);
  const double yaw = HipYaw(rc, first_half);
  const double roll = HipRoll(hc, first_half);

  // The stride scales with the speed's magnitude; walking backwards takes the backward
  // locus rather than a negative stride. The height stays the point's own.
  const double stride = std::fabs(vc);
  const Eigen::Vector2d left_foot(stride * left.x(), center_y + (left.y() - center_y));
  const Eigen::Vector2d right_foot(stride * right.x(), center_y + (right.y() - center_y));

  // Each ankle takes the offset of the other foot's point.
  const LegAngles left_leg =
      SolveLeg(agent, LEFT_LEG, left_foot, yaw, roll, locus.GetRightDegreeLJ5());
  const LegAngles right_leg =
      SolveLeg(agent, RIGHT_LEG, right_foot, yaw, -roll, locus.GetLeftDegreeLJ5());
  CommandLeg(joint, LEFT_LEG.joints, left_leg);
  CommandLeg(joint, RIGHT_LEG.joints, right_leg);

  locus.SetLocusType(vc >= 0.0 ? LocusPoint::LOCUS_FORWORD : LocusPoint::LOCUS_BACK);
  locus.UpdatePoint();
}

}  // namespace zamp
