#include "model/SimpleFieldState.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/AgentState.h"

namespace zamp {

SimpleFieldState::SimpleFieldState() {}

SimpleFieldState::~SimpleFieldState() {}

void SimpleFieldState::Place(double direction) {
  // A robot held in place is moved every cycle: it stays landed.
  if (placement_cycles_ == 0) landed_ = false;
  placement_cycles_ = PLACEMENT_CYCLES;
  placed_direction_ = direction;
  known_ = true;
}

void SimpleFieldState::Update() {
  const RawStorage& raw = *Singleton<RawStorage>::GetInstance();
  AgentState& agent = *Singleton<AgentState>::GetInstance();

  // Once a move has landed the robot stands as placed, which the gyroscope did not see; the
  // placed pose holds while it settles. Before it lands the sensors still tell the old pose.
  bool placing = false;
  if (placement_cycles_ > 0) {
    --placement_cycles_;
    // Settling after the drop, the accelerometer no longer shows gravity alone.
    landed_ = landed_ || HasLanded(agent.GetAcceleration());
    placing = landed_;
  }
  if (placing) {
    ResetGrobalRotation(placed_direction_);
  } else {
    IntegrateGyroRate(agent);
  }

  if (raw.HasNewSeeData()) {
    const double t = raw.GetServerTime().time;
    BeginSightings(t);
    const std::vector<raw::VisibleObject*>& perceived = raw.GetAllVisibleObjects();
    const size_t count = std::min(perceived.size(), all_visible_obj_.size());
    for (size_t i = 0; i < count; ++i) {
      FieldObject& object = *all_visible_obj_[i];
      if (TakeSighting(object, *perceived[i], t)) PlaceSighting(object, object.polar_coord_, agent);
    }

    Eigen::Matrix3d measured;
    // Before anything is known of the pose, the first measurement is taken whole.
    const double rate = known_ ? MEASUREMENT_RATE : 1.0;
    if (!placing && MeasureGlobalRotation(measured) && CorrectGlobalRotation(measured, rate)) {
      obs_global_rotation_update_time_ = t;
      known_ = true;
    }
    UpdateSelfAgent(agent, t);
    PlaceSeen(*ball_, agent);
    for (OtherPlayer* player : players_) {
      for (VisiblePart& part : player->visible_part_) PlaceSeen(part, agent);
      player->abs_coord_ = player->visible_part_[VISIBLE_PART_HEAD].abs_coord_;
      player->speed_ = player->visible_part_[VISIBLE_PART_HEAD].speed_;
    }
  }
  agent.rotation_ = Tool::RotationMatrixToEulerDegree(global_rotation_.matrix());
}

bool SimpleFieldState::HasLanded(const Eigen::Vector3d& acceleration) {
  // A move drops the robot from a little above the ground: for a cycle it falls freely.
  // Otherwise the accelerometer measures the reaction to gravity, straight up in an
  // upright torso, and the jolt of landing, mostly along it too.
  const double norm = acceleration.norm();
  if (!std::isfinite(norm)) return false;
  if (norm < FREE_FALL) return true;
  return acceleration.z() / norm >= std::cos(Tool::ToRadian(UPRIGHT_TILT));
}

void SimpleFieldState::UpdateSelfAgent(AgentState& agent, double t) {
  // Every seen flag implies a position; their mean is the measurement.
  Eigen::Vector3d sum = Eigen::Vector3d::Zero();
  int seen = 0;
  for (const Flag* flag : flags_) {
    if (!flag->visible_) continue;
    sum += flag->GetFixedCoordinates() - global_rotation_.linear() * flag->rel_coord_;
    ++seen;
  }
  if (seen == 0) return;
  const Eigen::Vector3d before = agent.coordnates_;
  agent.coordnates_ = sum / seen;
  agent.speed_ = PerVisionCycle(agent.coordnates_ - before, t - self_update_time_);
  self_update_time_ = t;
}

void SimpleFieldState::PlaceSeen(DynamicFieldObject& object, const AgentState& agent) const {
  if (!object.visible_) return;
  const Eigen::Vector3d before = object.abs_coord_;
  object.abs_coord_ = agent.coordnates_ + global_rotation_.linear() * object.rel_coord_;
  object.speed_ = PerVisionCycle(object.abs_coord_ - before, object.dt_);
}

Eigen::Vector3d SimpleFieldState::PerVisionCycle(const Eigen::Vector3d& displacement, double dt) {
  // Two sightings without a usable time between them: the plain difference.
  if (!std::isfinite(dt) || dt <= 0.0) return displacement;
  return displacement * (SEE_UPDATE_INTERVAL_TIME / dt);
}

}  // namespace zamp
