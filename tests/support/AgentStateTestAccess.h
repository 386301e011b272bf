// Test seam into the body model: sets the sensor values and the orientation that the
// perception store and the field model would write, and runs the update steps that follow
// UpdateRaw, so body-model and joint-controller tests need no parsed message.
#pragma once

#include <Eigen/Core>

#include "core/const.h"
#include "model/AgentState.h"

namespace zamp {

class AgentStateTestAccess {
 public:
  static void SetJointDegree(AgentState& state, HingeJointID id, double degree) {
    state.joint_degrees_[id] = degree;
  }

  static void SetRotation(AgentState& state, const Eigen::Vector3d& rotation) {
    state.rotation_ = rotation;
  }

  // coordinates: m, team frame, as the field model would estimate them.
  static void SetCoordinates(AgentState& state, const Eigen::Vector3d& coordinates) {
    state.coordnates_ = coordinates;
  }

  static void SetFallDirection(AgentState& state, AgentState::FallID fall_direction) {
    state.fall_direction_ = fall_direction;
  }

  // coord: m, in the foot's frame; force: N.
  static void SetForce(AgentState& state, ForceResistanceID id, bool landing,
                       const Eigen::Vector3d& coord, const Eigen::Vector3d& force) {
    state.foot_landing_[id] = landing;
    state.force_coords_[id] = coord;
    state.force_vects_[id] = force;
  }

  // Every step of Update after UpdateRaw; server_time in s.
  static void UpdateFromSensors(AgentState& state, double server_time) {
    state.UpdateBody();
    state.UpdateCenterOfGravity();
    state.UpdateFoolLanding();
    state.UpdateZMP();
    state.UpdateDirectionOfFall(server_time);
  }
};

}  // namespace zamp
