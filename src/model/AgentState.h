// The agent's model of its own robot: this cycle's sensor values with the previous cycle's,
// the 25-part kinematic tree, centre of gravity, foot contact, zero-moment point and fall
// direction. It also carries values other units write through it: beam pose, uniform number
// and robot type, the field pose estimated by the field model, the walk speeds published by
// the walk engine, and the behaviour and move state chosen by the decision code.
//
// Reads: the perception store (gyroscope, accelerometer, force sensors, joints) and
// WorldState's server time. Runs once per cycle after WorldState::Update and before the
// field state's Update, so the fall test sees the previous cycle's orientation.
// Body frame: x right, y forward, z up, origin at the torso centre. Angles in degrees.
#pragma once

#include <Eigen/Core>

#include "core/const.h"
#include "model/BodyPart.h"
#include "model/KalmanFilter.h"

namespace zamp {

class RawStorage;

class AgentState {
 public:
  enum FallID { FALL_FRONT = 0, FALL_BACK, FALL_RIGHT, FALL_LEFT, FALL_NOT };
  enum FootLanding { FL_LEFT = 0, FL_RIGHT, FL_BOTH, FL_NONE };
  enum Behavior {
    BEH_READY = 0,
    BEH_STAND_UP,
    BEH_MOVE,
    BEH_KICK,
    BEH_JUMP,
    BEH_OTHER,
    BEHAVIOR_NUM
  };
  enum MoveState { MS_DRRIBLE = 0, MS_GOTO_POSITION, MS_ADJUST_KICK, MS_NOT_MOVE, MOVE_STATE_NUM };

  AgentState();
  virtual ~AgentState();
  AgentState(const AgentState&) = delete;
  AgentState& operator=(const AgentState&) = delete;

  void InitBody();
  void Update();

  // beam: (x m, y m, direction degrees).
  void SettingBeam(const Eigen::Vector3d& beam) {
    beam_coord_ = Eigen::Vector2d(beam.x(), beam.y());
    beam_direction_ = beam.z();
  }

  void SetUniformNumber(int uniform_number) { uniform_number_ = uniform_number; }
  void SetAgentType(AgentTypeID agent_type) { agent_type_ = agent_type; }
  void SetCurrentWalkSpeed(const Eigen::Vector3d& speed) { current_walk_speed_ = speed; }
  void SetMaxWalkSpeed(const Eigen::Vector3d& speed) { max_walk_speed_ = speed; }
  void SetCurrentBehavior(Behavior behavior) { behavior_ = behavior; }
  void SetCurrentMoveState(MoveState move_state) { move_state_ = move_state; }

  AgentTypeID GetAgentType() const { return agent_type_; }
  const Eigen::Vector2d& GetBeamCoordinates() const { return beam_coord_; }
  double GetBeamDirection() const { return beam_direction_; }
  const Eigen::Vector3d& GetGyroRate() const { return gyro_; }
  const Eigen::Vector3d& GetPrevGyroRate() const { return prev_gyro_; }
  const Eigen::Vector3d& GetAcceleration() const { return accele_; }
  const Eigen::Vector3d& GetForceCoordinates(ForceResistanceID id) const {
    return force_coords_[id];
  }
  const Eigen::Vector3d& GetForceVector(ForceResistanceID id) const { return force_vects_[id]; }
  bool IsFootLanding(ForceResistanceID id) const { return foot_landing_[id]; }
  double GetJointDegree(HingeJointID id) const { return joint_degrees_[id]; }
  double GetPrevJointDegree(HingeJointID id) const { return prev_joint_degrees_[id]; }
  int GetUniformNumber() const { return uniform_number_; }
  const Eigen::Vector3d& GetRotation() const { return rotation_; }
  double GetDirection() const { return rotation_.z(); }
  const Eigen::Vector3d& GetCoordinates() const { return coordnates_; }
  const Eigen::Vector3d& GetSpeed() const { return speed_; }
  const KalmanMatrix& GetCovarianceError() const { return covariance_error_; }
  const Eigen::Vector3d& GetZMP() const { return zmp_; }
  const Eigen::Vector3d& GetCenterOfGravity() const { return center_of_gravity_; }
  FallID GetFallDirection() const { return fall_direction_; }
  double GetNotFallTime() const { return not_fall_time_; }
  const BodyPart& GetBodyPart(BodyPartID id) const { return body_parts_[id]; }
  FootLanding GetFootLanding() const { return foot_landing_id_; }
  FootLanding GetPrevFootLanding() const { return prev_foot_landing_id_; }
  const Eigen::Vector3d& GetCurrentWalkSpeed() const { return current_walk_speed_; }
  const Eigen::Vector3d& GetMaxWalkSpeed() const { return max_walk_speed_; }
  Behavior GetCurrentBehavior() const { return behavior_; }
  MoveState GetCurrentMoveState() const { return move_state_; }

 private:
  // The field models own the pose estimate and write it directly.
  friend class KalmanFieldState;
  friend class SimpleFieldState;
  // Test seam: lets the body-model tests set sensor values and the orientation directly.
  friend class AgentStateTestAccess;

  void UpdateRaw(const RawStorage& raw_storage);
  void ResetBody();
  void UpdateBody();
  // Places one part from its parent's centre (m) and orientation, then its children.
  void UpdateBodyPart(BodyPartID id, const Eigen::Vector3d& parent_center,
                      const Eigen::Matrix3d& parent_orientation);
  void UpdateCenterOfGravity();
  void UpdateFoolLanding();
  void UpdateZMP();
  // server_time: s, recorded as the last upright time when the body is upright.
  void UpdateDirectionOfFall(double server_time);

  Eigen::Vector2d beam_coord_;  // m, team frame
  double beam_direction_;       // degrees
  int uniform_number_;
  AgentTypeID agent_type_;
  Eigen::Vector3d gyro_;                                // degrees/s
  Eigen::Vector3d prev_gyro_;                           // degrees/s
  Eigen::Vector3d accele_;                              // m/s^2
  Eigen::Vector3d force_coords_[FORCE_RESISTANCE_NUM];  // m, in the foot's frame
  Eigen::Vector3d force_vects_[FORCE_RESISTANCE_NUM];   // N
  bool foot_landing_[FORCE_RESISTANCE_NUM];
  double joint_degrees_[HINGE_JOINT_NUM];       // degrees
  double prev_joint_degrees_[HINGE_JOINT_NUM];  // degrees
  BodyPart body_parts_[BODY_PART_NUM];
  Eigen::Vector3d zmp_;                // m, torso frame
  Eigen::Vector3d center_of_gravity_;  // m, torso frame
  FallID fall_direction_;
  FootLanding foot_landing_id_;
  FootLanding prev_foot_landing_id_;
  double not_fall_time_;                // s, server time of the last upright cycle
  Eigen::Vector3d rotation_;            // degrees; z is the heading in the team frame
  Eigen::Vector3d coordnates_;          // m, team frame
  Eigen::Vector3d speed_;               // m/s, team frame
  KalmanMatrix covariance_error_;       // 6 x 6, state (x, y, z, vx, vy, vz)
  Eigen::Vector3d current_walk_speed_;  // forward, sideways, turn
  Eigen::Vector3d max_walk_speed_;      // forward, sideways, turn
  Behavior behavior_;
  MoveState move_state_;
};

}  // namespace zamp
