#include "model/SimpleFieldState.h"

#include <algorithm>
#include <vector>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/AgentState.h"

namespace zamp {

SimpleFieldState::SimpleFieldState() {}

SimpleFieldState::~SimpleFieldState() {}

void SimpleFieldState::Update() {
  const RawStorage& raw = *Singleton<RawStorage>::GetInstance();
  AgentState& agent = *Singleton<AgentState>::GetInstance();
  if (!raw.HasNewSeeData()) return;

  const double t = raw.GetServerTime().time;

  const std::vector<raw::VisibleObject*>& perceived = raw.GetAllVisibleObjects();
  const size_t count = std::min(perceived.size(), all_visible_obj_.size());
  for (size_t i = 0; i < count; ++i) {
    FieldObject& object = *all_visible_obj_[i];
    const raw::VisibleObject& seen = *perceived[i];
    object.visible_ = seen.visible;
    if (object.id_ == OBJ_VISIBLE_PART) {
      OtherPlayer& player = *players_[static_cast<VisiblePart&>(object).GetParentID()];
      player.visible_ = true;
      player.dt_ = t - player.update_time_;
      player.update_time_ = t;
    }
    object.dt_ = t - object.update_time_;
    object.update_time_ = t;
    // Unusable numbers keep the object where it was last placed.
    if (!seen.polar_coord.allFinite()) continue;
    object.polar_coord_ = WrapPolar(seen.polar_coord);
    PlaceSighting(object, object.polar_coord_, agent);
  }

  const FlagPair& forward_pair = flag_forward_pairs_.front();
  const FlagPair& right_pair = flag_right_pairs_.front();
  const Eigen::Vector3d forward = forward_pair.second->rel_coord_ - forward_pair.first->rel_coord_;
  const Eigen::Vector3d right = right_pair.second->rel_coord_ - right_pair.first->rel_coord_;
  const Eigen::Vector3d up = right.normalized().cross(forward.normalized());
  // Until the flags have been seen the previous orientation and position stay.
  if (forward.norm() >= MIN_AXIS_LENGTH && right.norm() >= MIN_AXIS_LENGTH &&
      up.norm() >= MIN_AXIS_LENGTH) {
    global_rotation_ = Eigen::Affine3d::Identity();
    global_rotation_.linear() = MeasuredRotation(right.normalized(), forward.normalized(), up);
    agent.rotation_ = Tool::RotationMatrixToEulerDegree(global_rotation_.matrix());

    const Flag& anchor = *flags_[FLAG_FIELD_ENEMY_LEFT];
    const Eigen::Vector3d before = agent.coordnates_;
    agent.coordnates_ =
        anchor.GetFixedCoordinates() - global_rotation_.linear() * anchor.rel_coord_;
    agent.speed_ = agent.coordnates_ - before;
  }

  const Eigen::Matrix3d& rotation = global_rotation_.linear();
  const auto place = [&](DynamicFieldObject& object) {
    const Eigen::Vector3d before = object.abs_coord_;
    object.abs_coord_ = agent.coordnates_ + rotation * object.rel_coord_;
    object.speed_ = object.abs_coord_ - before;
  };
  place(*ball_);
  for (OtherPlayer* player : players_) {
    for (VisiblePart& part : player->visible_part_) place(part);
    player->abs_coord_ = player->visible_part_[VISIBLE_PART_HEAD].abs_coord_;
    player->speed_ = player->visible_part_[VISIBLE_PART_HEAD].speed_;
  }
}

}  // namespace zamp
