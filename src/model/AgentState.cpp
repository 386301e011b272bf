#include "model/AgentState.h"

#include <cmath>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

const double FALL_LIMIT_DEGREE = 40.0;  // degrees of roll or pitch that count as fallen

}  // namespace

AgentState::AgentState()
    : beam_coord_(Eigen::Vector2d::Zero()),
      beam_direction_(0.0),
      uniform_number_(10),
      agent_type_(AGENT_TYPE_STANDARD),
      gyro_(Eigen::Vector3d::Zero()),
      prev_gyro_(Eigen::Vector3d::Zero()),
      accele_(Eigen::Vector3d::Zero()),
      zmp_(Eigen::Vector3d::Zero()),
      center_of_gravity_(Eigen::Vector3d::Zero()),
      fall_direction_(FALL_NOT),
      foot_landing_id_(FL_NONE),
      prev_foot_landing_id_(FL_NONE),
      not_fall_time_(0.0),
      rotation_(Eigen::Vector3d::Zero()),
      coordnates_(Eigen::Vector3d::Zero()),
      speed_(Eigen::Vector3d::Zero()),
      covariance_error_(KalmanMatrix::Zero()),
      current_walk_speed_(Eigen::Vector3d::Zero()),
      max_walk_speed_(Eigen::Vector3d::Zero()),
      behavior_(BEH_READY),
      move_state_(MS_NOT_MOVE) {
  for (int i = 0; i < FORCE_RESISTANCE_NUM; ++i) {
    force_coords_[i] = Eigen::Vector3d::Zero();
    force_vects_[i] = Eigen::Vector3d::Zero();
    foot_landing_[i] = false;
  }
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    joint_degrees_[j] = 0.0;
    prev_joint_degrees_[j] = 0.0;
  }
  InitBody();
}

AgentState::~AgentState() {}

void AgentState::InitBody() {
  struct PartRow {
    BodyPartID id;
    HingeJointID joint;
    double local[3];  // m
    double axis[3];
    double anchor[3];  // m
    double mass;       // kg
  };
  static const PartRow PARTS[BODY_PART_NUM] = {
      {BP_TORSO, HJ_UNKNOWN, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 1.2171},
      {BP_NECK, HJ_HJ1, {0, 0, 0.09}, {0, 0, 1}, {0, 0, 0}, 0.05},
      {BP_HEAD, HJ_HJ2, {0, 0, 0.06}, {1, 0, 0}, {0, 0, -0.005}, 0.35},
      {BP_SHOULDER_RIGHT, HJ_RAJ1, {0.098, 0, 0.075}, {1, 0, 0}, {0, 0, 0}, 0.07},
      {BP_UPPERARM_RIGHT, HJ_RAJ2, {0, 0, 0}, {0, 0, 1}, {-0.01, -0.02, 0}, 0.15},
      {BP_ELBOW_RIGHT, HJ_RAJ3, {-0.01, 0.07, 0.009}, {0, 1, 0}, {0, 0, 0}, 0.035},
      {BP_LOWERARM_RIGHT, HJ_RAJ4, {0, 0, 0}, {0, 0, 1}, {0, -0.05, 0}, 0.2},
      {BP_SHOULDER_LEFT, HJ_LAJ1, {-0.098, 0, 0.075}, {1, 0, 0}, {0, 0, 0}, 0.07},
      {BP_UPPERARM_LEFT, HJ_LAJ2, {0, 0, 0}, {0, 0, 1}, {0.01, -0.02, 0}, 0.15},
      {BP_ELBOW_LEFT, HJ_LAJ3, {0.01, 0.07, 0.009}, {0, 1, 0}, {0, 0, 0}, 0.035},
      {BP_LOWERARM_LEFT, HJ_LAJ4, {0, 0, 0}, {0, 0, 1}, {0, -0.05, 0}, 0.2},
      {BP_HIP1_RIGHT, HJ_RLJ1, {0.055, -0.01, -0.115}, {-0.7071, 0, 0.7071}, {0, 0, 0}, 0.09},
      {BP_HIP2_RIGHT, HJ_RLJ2, {0, 0, 0}, {0, 1, 0}, {0, 0, 0}, 0.125},
      {BP_THIGH_RIGHT, HJ_RLJ3, {0, 0, 0}, {1, 0, 0}, {0, -0.01, 0.04}, 0.275},
      {BP_SHANK_RIGHT, HJ_RLJ4, {0, -0.005, -0.08}, {1, 0, 0}, {0, -0.01, 0.045}, 0.225},
      {BP_ANKLE_RIGHT, HJ_RLJ5, {0, -0.01, -0.055}, {1, 0, 0}, {0, 0, 0}, 0.125},
      {BP_FOOT_RIGHT, HJ_RLJ6, {0, 0, 0}, {0, 1, 0}, {0, -0.03, 0.04}, 0.2},
      {BP_TOENAIL_RIGHT, HJ_RLJ7, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 0.0},
      {BP_HIP1_LEFT, HJ_LLJ1, {-0.055, -0.01, -0.115}, {-0.7071, 0, -0.7071}, {0, 0, 0}, 0.09},
      {BP_HIP2_LEFT, HJ_LLJ2, {0, 0, 0}, {0, 1, 0}, {0, 0, 0}, 0.125},
      {BP_THIGH_LEFT, HJ_LLJ3, {0, 0, 0}, {1, 0, 0}, {0, -0.01, 0.04}, 0.275},
      {BP_SHANK_LEFT, HJ_LLJ4, {0, -0.005, -0.08}, {1, 0, 0}, {0, -0.01, 0.045}, 0.225},
      {BP_ANKLE_LEFT, HJ_LLJ5, {0, -0.01, -0.055}, {1, 0, 0}, {0, 0, 0}, 0.125},
      {BP_FOOT_LEFT, HJ_LLJ6, {0, 0, 0}, {0, 1, 0}, {0, -0.03, 0.04}, 0.2},
      {BP_TOENAIL_LEFT, HJ_LLJ7, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 0.0},
  };
  for (const PartRow& row : PARTS) {
    BodyPart& part = body_parts_[row.id];
    part.hinge_joint_id = row.joint;
    part.childs.clear();
    part.local_coord = Eigen::Vector3d(row.local[0], row.local[1], row.local[2]);
    part.axis = Eigen::Vector3d(row.axis[0], row.axis[1], row.axis[2]);
    part.anchor = Eigen::Vector3d(row.anchor[0], row.anchor[1], row.anchor[2]);
    part.mass = row.mass;
  }
  body_parts_[BP_TORSO].childs = {BP_NECK, BP_SHOULDER_RIGHT, BP_HIP1_RIGHT, BP_SHOULDER_LEFT,
                                  BP_HIP1_LEFT};
  // Every other part carries at most the next part of its chain.
  const BodyPartID chains[][2] = {
      {BP_NECK, BP_HEAD},
      {BP_SHOULDER_RIGHT, BP_UPPERARM_RIGHT},
      {BP_UPPERARM_RIGHT, BP_ELBOW_RIGHT},
      {BP_ELBOW_RIGHT, BP_LOWERARM_RIGHT},
      {BP_SHOULDER_LEFT, BP_UPPERARM_LEFT},
      {BP_UPPERARM_LEFT, BP_ELBOW_LEFT},
      {BP_ELBOW_LEFT, BP_LOWERARM_LEFT},
      {BP_HIP1_RIGHT, BP_HIP2_RIGHT},
      {BP_HIP2_RIGHT, BP_THIGH_RIGHT},
      {BP_THIGH_RIGHT, BP_SHANK_RIGHT},
      {BP_SHANK_RIGHT, BP_ANKLE_RIGHT},
      {BP_ANKLE_RIGHT, BP_FOOT_RIGHT},
      {BP_FOOT_RIGHT, BP_TOENAIL_RIGHT},
      {BP_HIP1_LEFT, BP_HIP2_LEFT},
      {BP_HIP2_LEFT, BP_THIGH_LEFT},
      {BP_THIGH_LEFT, BP_SHANK_LEFT},
      {BP_SHANK_LEFT, BP_ANKLE_LEFT},
      {BP_ANKLE_LEFT, BP_FOOT_LEFT},
      {BP_FOOT_LEFT, BP_TOENAIL_LEFT},
  };
  for (const auto& link : chains) body_parts_[link[0]].childs.push_back(link[1]);
}

void AgentState::Update() {
  const RawStorage* raw_storage = Singleton<RawStorage>::GetInstance();
  const WorldState* world_state = Singleton<WorldState>::GetInstance();
  if (raw_storage != nullptr) UpdateRaw(*raw_storage);
  UpdateBody();
  UpdateCenterOfGravity();
  UpdateFoolLanding();
  UpdateZMP();
  UpdateDirectionOfFall(world_state != nullptr ? world_state->GetServerTime() : not_fall_time_);
}

void AgentState::UpdateRaw(const RawStorage& raw_storage) {
  // The store has already turned non-finite numbers into 0, so the values are copied as
  // they are, but for the joint angles: a hinge turns periodically, and wrapping keeps an
  // angle no joint reaches from overflowing into a NaN pose when it is turned into radians.
  prev_gyro_ = gyro_;
  gyro_ = raw_storage.GetGyroRate().degree_speed;
  accele_ = raw_storage.GetAccelerometer().speed;
  for (int i = 0; i < FORCE_RESISTANCE_NUM; ++i) {
    const raw::ForceResistance& force = raw_storage.GetForceResistance(i);
    force_coords_[i] = force.local_coord;
    force_vects_[i] = force.force_vect;
    foot_landing_[i] = force.landing;
  }
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    prev_joint_degrees_[j] = joint_degrees_[j];
    joint_degrees_[j] = Tool::LimitDegree180(raw_storage.GetHingeJoint(j).current_degree);
  }
}

void AgentState::ResetBody() {
  for (BodyPart& part : body_parts_) {
    part.global_coord = Eigen::Vector3d::Zero();
    part.global_transform = Eigen::Affine3d::Identity();
  }
}

void AgentState::UpdateBody() {
  ResetBody();
  const BodyPart& torso = body_parts_[BP_TORSO];
  for (BodyPartID child : torso.childs) {
    UpdateBodyPart(child, torso.global_coord, torso.global_transform.linear());
  }
}

void AgentState::UpdateBodyPart(BodyPartID id, const Eigen::Vector3d& parent_center,
                                const Eigen::Matrix3d& parent_orientation) {
  BodyPart& part = body_parts_[id];
  // Only the torso lacks a joint, and it is never visited here; an unknown joint turns
  // nothing rather than reading past the joint array.
  const bool has_joint = part.hinge_joint_id >= 0 && part.hinge_joint_id < HINGE_JOINT_NUM;
  const double degree = has_joint ? joint_degrees_[part.hinge_joint_id] : 0.0;
  const Eigen::Vector3d joint = parent_center + parent_orientation * part.local_coord;
  const Eigen::Matrix3d orientation = parent_orientation * part.JointRotation(degree);
  const Eigen::Vector3d center = joint - orientation * part.anchor;
  for (BodyPartID child : part.childs) UpdateBodyPart(child, center, orientation);
  part.global_coord = center;
  part.global_transform.linear() = orientation;
  part.global_transform.translation() = center;
}

void AgentState::UpdateCenterOfGravity() {
  Eigen::Vector3d moment = Eigen::Vector3d::Zero();
  double total_mass = 0.0;
  for (const BodyPart& part : body_parts_) {
    moment += part.mass * part.global_coord;
    total_mass += part.mass;
  }
  center_of_gravity_ = moment / total_mass;
}

void AgentState::UpdateFoolLanding() {
  prev_foot_landing_id_ = foot_landing_id_;
  const bool right = foot_landing_[FORCE_RESISTANCE_RIGHT];
  const bool left = foot_landing_[FORCE_RESISTANCE_LEFT];
  if (right && left) {
    foot_landing_id_ = FL_BOTH;
  } else if (left) {
    foot_landing_id_ = FL_LEFT;
  } else if (right) {
    foot_landing_id_ = FL_RIGHT;
  } else {
    foot_landing_id_ = FL_NONE;
  }
}

void AgentState::UpdateZMP() {
  if (foot_landing_id_ == FL_NONE) {
    zmp_ = Eigen::Vector3d::Zero();
    return;
  }
  const ForceResistanceID sensors[2] = {FORCE_RESISTANCE_RIGHT, FORCE_RESISTANCE_LEFT};
  const BodyPartID feet[2] = {BP_FOOT_RIGHT, BP_FOOT_LEFT};
  Eigen::Vector3d weighted = Eigen::Vector3d::Zero();
  double total_weight = 0.0;
  for (int i = 0; i < 2; ++i) {
    if (!foot_landing_[sensors[i]]) continue;
    const Eigen::Vector3d point = force_coords_[sensors[i]] + body_parts_[feet[i]].global_coord;
    const double weight = force_vects_[sensors[i]].norm();
    weighted += point * weight;
    total_weight += weight;
  }
  zmp_ = weighted / total_weight;
  // Contact reported with no force leaves nothing to weigh by.
  if (!zmp_.allFinite()) zmp_ = Eigen::Vector3d::Zero();
}

void AgentState::UpdateDirectionOfFall(double server_time) {
  // Written as "at least the limit" so that a NaN orientation counts as upright.
  if (std::abs(rotation_.x()) >= FALL_LIMIT_DEGREE ||
      std::abs(rotation_.y()) >= FALL_LIMIT_DEGREE) {
    fall_direction_ = (rotation_.x() >= 0.0) ? FALL_BACK : FALL_FRONT;
  } else {
    fall_direction_ = FALL_NOT;
    not_fall_time_ = server_time;
  }
}

}  // namespace zamp
