// One rigid part of the body tree. Offsets are in metres in the parent's (local_coord) or
// the part's own (anchor) frame; global values are in the torso frame (x right, y forward,
// z up) and are recomputed by AgentState every cycle.
#pragma once

#include <Eigen/Core>
#include <Eigen/Geometry>
#include <vector>

#include "core/const.h"

namespace zamp {

struct BodyPart {
  // The turn of this part against its parent at a joint angle (degrees) about its axis,
  // right-hand rule. A part without an axis (the toes) does not turn.
  Eigen::Matrix3d JointRotation(double degree) const;

  HingeJointID hinge_joint_id = HJ_UNKNOWN;  // joint against the parent; HJ_UNKNOWN for the torso
  std::vector<BodyPartID> childs;
  Eigen::Vector3d local_coord = Eigen::Vector3d::Zero();   // m, joint in the parent's frame
  Eigen::Vector3d global_coord = Eigen::Vector3d::Zero();  // m, centre in the torso frame
  Eigen::Affine3d global_transform = Eigen::Affine3d::Identity();
  Eigen::Vector3d axis = Eigen::Vector3d::Zero();    // joint axis in the part's frame
  Eigen::Vector3d anchor = Eigen::Vector3d::Zero();  // m, centre to joint, part's frame
  double mass = 0.0;                                 // kg
};

}  // namespace zamp
