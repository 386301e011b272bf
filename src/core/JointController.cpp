#include "core/JointController.h"

#include <cmath>

#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/AgentState.h"

namespace zamp {

namespace {

const double STANDARD_MAX_ANGULAR_VEL = 6.1395;  // rad/s
const double FAST_ANKLE_PITCH_VEL = 8.80667;     // rad/s, robot type 2
const double SLOW_ANKLE_ROLL_VEL = 3.47234;      // rad/s, robot type 2

struct JointRange {
  double min;  // degrees
  double max;  // degrees
};

const JointRange JOINT_RANGES[HINGE_JOINT_NUM] = {
    {-120, 120}, {-45, 45},                                                          // head
    {-120, 120}, {-95, -1}, {-120, 120}, {-90, -1},                                  // right arm
    {-120, 120}, {1, 95},   {-120, 120}, {1, 90},                                    // left arm
    {-90, 1},    {-45, 25}, {-25, 100},  {-130, 1}, {-45, 75}, {-25, 45}, {-1, 70},  // right leg
    {-90, 1},    {-25, 45}, {-25, 100},  {-130, 1}, {-45, 75}, {-45, 25}, {-1, 70},  // left leg
};

bool IsJoint(int id) { return id >= 0 && id < HINGE_JOINT_NUM; }

// The joint's angle as the body model perceived it this cycle (degrees); 0 before the body
// model exists.
double CurrentDegree(int id) {
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  if (agent_state == nullptr) return 0.0;
  return agent_state->GetJointDegree(static_cast<HingeJointID>(id));
}

// Degrees the joint still turns during the coming cycle under last cycle's speed.
double DegreesPerCycle(double speed) { return Tool::ToDegree(speed) * UPDATE_INTERVAL_TIME; }

}  // namespace

JointController::JointController() : permissible_range_(0.2) {
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    joint_speeds_[j] = 0.0;
    prev_joint_speeds_[j] = 0.0;
    target_degrees_[j] = 0.0;
    for (int h = 0; h < HISTORY_TARGET_DEGREE_NUM; ++h) prev_target_degrees_[h][j] = 0.0;
    max_angular_vel_[j] = STANDARD_MAX_ANGULAR_VEL;
    min_degrees_[j] = JOINT_RANGES[j].min;
    max_degrees_[j] = JOINT_RANGES[j].max;
  }
  const AgentState* agent_state = Singleton<AgentState>::GetInstance();
  if (agent_state != nullptr &&
      agent_state->GetAgentType() == AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL) {
    max_angular_vel_[HJ_RLJ5] = FAST_ANKLE_PITCH_VEL;
    max_angular_vel_[HJ_LLJ5] = FAST_ANKLE_PITCH_VEL;
    max_angular_vel_[HJ_RLJ6] = SLOW_ANKLE_ROLL_VEL;
    max_angular_vel_[HJ_LLJ6] = SLOW_ANKLE_ROLL_VEL;
  }
}

JointController::~JointController() {}

// The dead-band tests below are written as "outside the band, else 0" so that a NaN
// target or angle fails them and the joint holds still instead of receiving a NaN speed.

void JointController::SettingRelativeSpeed(int id, double target_degree, double gain) {
  if (!IsJoint(id)) return;
  target_degrees_[id] = target_degree;
  const double diff = target_degree - CurrentDegree(id);
  if (std::abs(diff) > permissible_range_) {
    joint_speeds_[id] = Tool::LimitParam(diff * gain, -max_angular_vel_[id], max_angular_vel_[id]);
  } else {
    joint_speeds_[id] = 0.0;
  }
}

void JointController::SettingRelativeAverageSpeed(int id, double target_degree, double gain) {
  if (!IsJoint(id)) return;
  target_degrees_[id] = target_degree;
  const double diff = target_degree - CurrentDegree(id);
  if (std::abs(diff) > permissible_range_) {
    const double v = diff * gain;
    const double sign = (v > 0.0) ? 1.0 : -1.0;
    joint_speeds_[id] = (v + sign * std::abs(prev_joint_speeds_[id])) / 2.0;
  } else {
    joint_speeds_[id] = 0.0;
  }
}

void JointController::SettingFixedSpeed(int id, double target_degree, double speed) {
  if (!IsJoint(id)) return;
  target_degrees_[id] = target_degree;
  const double cur = CurrentDegree(id);
  if (speed > 0.0) {
    joint_speeds_[id] = (target_degree >= cur) ? speed : 0.0;
  } else {
    joint_speeds_[id] = (cur >= target_degree) ? speed : 0.0;
  }
}

void JointController::SettingJustTargetDegree(int id, double target_degree, double power,
                                              double /*error_weight*/) {
  if (!IsJoint(id)) return;
  const double t = Tool::LimitParam(target_degree, min_degrees_[id], max_degrees_[id]);
  target_degrees_[id] = t;
  const double predicted = CurrentDegree(id) + DegreesPerCycle(prev_joint_speeds_[id]);
  const double speed = Tool::ToRadian(t - predicted) / UPDATE_INTERVAL_TIME;
  const double limit = power * max_angular_vel_[id];
  const double clamped = Tool::LimitParam(speed, -limit, limit);
  // No band protects this setter, so a NaN target is stopped here.
  joint_speeds_[id] = std::isfinite(clamped) ? clamped : 0.0;
}

double JointController::LimitTargetDegree(int id, double degree) const {
  if (!IsJoint(id)) return degree;
  const double reach = DegreesPerCycle(max_angular_vel_[id]);
  const double predicted = CurrentDegree(id) + DegreesPerCycle(prev_joint_speeds_[id]);
  const double low = Tool::LimitParam(predicted - reach, min_degrees_[id], max_degrees_[id]);
  // When the range lies wholly above what the joint can reach, its minimum is the best.
  const double high = Tool::LimitParam(predicted + reach, min_degrees_[id], max_degrees_[id]);
  if (degree < low) return low;
  return (high < degree) ? high : degree;
}

bool JointController::IsArrived(int id) const {
  if (!IsJoint(id)) return false;
  return std::abs(target_degrees_[id] - CurrentDegree(id)) <= permissible_range_;
}

bool JointController::CheckAllArrived() const {
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    if (!IsArrived(j)) return false;
  }
  return true;
}

void JointController::Reset() {
  for (int j = 0; j < HINGE_JOINT_NUM; ++j) {
    // The effector sends a non-finite speed as 0, so that is what the joint received.
    prev_joint_speeds_[j] = std::isfinite(joint_speeds_[j]) ? joint_speeds_[j] : 0.0;
    joint_speeds_[j] = 0.0;
    for (int h = HISTORY_TARGET_DEGREE_NUM - 1; h > 0; --h) {
      prev_target_degrees_[h][j] = prev_target_degrees_[h - 1][j];
    }
    prev_target_degrees_[0][j] = target_degrees_[j];
    target_degrees_[j] = 0.0;
  }
}

void JointController::Update() {}

}  // namespace zamp
