#include "model/FieldState.h"

#include <Eigen/SVD>
#include <cmath>
#include <vector>

#include "core/RawStruct.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/AgentState.h"

namespace zamp {

FieldState::FieldState() : ball_(new Ball()), obs_global_rotation_update_time_(0.0) {
  flags_[FLAG_FIELD_ENEMY_LEFT] = new Flag(Eigen::Vector3d(15.0, 10.0, 0.0));
  flags_[FLAG_FIELD_ENEMY_RIGHT] = new Flag(Eigen::Vector3d(15.0, -10.0, 0.0));
  flags_[FLAG_FIELD_US_LEFT] = new Flag(Eigen::Vector3d(-15.0, 10.0, 0.0));
  flags_[FLAG_FIELD_US_RIGHT] = new Flag(Eigen::Vector3d(-15.0, -10.0, 0.0));
  flags_[FLAG_GOAL_ENEMY_LEFT] = new Flag(Eigen::Vector3d(15.0, 1.05, 0.8));
  flags_[FLAG_GOAL_ENEMY_RIGHT] = new Flag(Eigen::Vector3d(15.0, -1.05, 0.8));
  flags_[FLAG_GOAL_US_LEFT] = new Flag(Eigen::Vector3d(-15.0, 1.05, 0.8));
  flags_[FLAG_GOAL_US_RIGHT] = new Flag(Eigen::Vector3d(-15.0, -1.05, 0.8));
  for (int i = 0; i < MAX_AGENT_NUM; ++i) players_[i] = new OtherPlayer(i < MAX_TEAM_AGENT_NUM);

  all_visible_obj_.reserve(ALL_VISIBLE_OBJECT_NUM);
  for (int i = 0; i < FLAG_NUM; ++i) all_visible_obj_.push_back(flags_[i]);
  all_visible_obj_.push_back(ball_);
  for (int i = 0; i < MAX_AGENT_NUM; ++i) {
    for (int k = 0; k < VISIBLE_PART_NUM; ++k) {
      players_[i]->visible_part_[k].parent_id_ = i;
      all_visible_obj_.push_back(&players_[i]->visible_part_[k]);
    }
  }
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    us_players_.push_back(players_[i]);
    enemy_players_.push_back(players_[MAX_TEAM_AGENT_NUM + i]);
  }

  const auto pair = [this](int first, int second) {
    return FlagPair(flags_[first], flags_[second]);
  };
  flag_forward_pairs_ = {pair(1, 0), pair(5, 4), pair(3, 2), pair(7, 6)};
  flag_right_pairs_ = {pair(2, 0), pair(6, 4), pair(3, 1), pair(7, 5)};
  flag_right_product_pairs_ = {{pair(0, 4), pair(0, 5)}, {pair(0, 4), pair(0, 1)},
                               {pair(0, 5), pair(0, 1)}, {pair(4, 5), pair(4, 1)},
                               {pair(2, 6), pair(2, 7)}, {pair(2, 6), pair(2, 3)},
                               {pair(2, 7), pair(2, 3)}, {pair(6, 7), pair(6, 3)}};

  ResetGrobalRotation();
  obs_global_rotation_update_time_ = 0.0;
}

FieldState::~FieldState() {
  for (Flag* flag : flags_) delete flag;
  delete ball_;
  for (OtherPlayer* player : players_) delete player;
}

void FieldState::ResetGrobalRotation() {
  // Built before any beam is known (a field state may be created first in tests), the
  // rotation simply faces +x.
  const AgentState* agent = Singleton<AgentState>::GetInstance();
  ResetGrobalRotation(agent != nullptr ? agent->GetBeamDirection() : 0.0);
}

void FieldState::ResetGrobalRotation(double direction) {
  const double angle = Tool::ToRadian(direction) - Tool::PI / 2.0;
  const Eigen::Matrix3d m = Eigen::AngleAxisd(angle, Eigen::Vector3d::UnitZ()).toRotationMatrix();
  global_rotation_ = Eigen::Affine3d::Identity();
  global_rotation_.linear() = Orthonormalize(m);
}

Eigen::Matrix3d FieldState::Orthonormalize(const Eigen::Matrix3d& m) {
  const Eigen::JacobiSVD<Eigen::Matrix3d> svd(m, Eigen::ComputeFullU | Eigen::ComputeFullV);
  return svd.matrixU() * svd.matrixV().transpose();
}

Eigen::Matrix3d FieldState::MeasuredRotation(const Eigen::Vector3d& right,
                                             const Eigen::Vector3d& forward,
                                             const Eigen::Vector3d& up) {
  Eigen::Matrix3d measured;
  measured.row(0) = right;
  measured.row(1) = forward;
  measured.row(2) = up;
  return Orthonormalize(measured);
}

Eigen::Vector3d FieldState::WrapPolar(const Eigen::Vector3d& polar) {
  return Eigen::Vector3d(polar.x(), Tool::LimitDegree180(polar.y()),
                         Tool::LimitDegree180(polar.z()));
}

bool FieldState::MeasureGlobalRotation(Eigen::Matrix3d& measured) const {
  const auto seen = [](const FlagPair& pair) {
    return pair.first->visible_ && pair.second->visible_;
  };
  // Sums the unit vectors of the seen pairs; false when no pair had both flags seen.
  const auto average = [&seen](const std::vector<FlagPair>& pairs, Eigen::Vector3d& sum) {
    sum.setZero();
    bool any = false;
    for (const FlagPair& pair : pairs) {
      if (!seen(pair)) continue;
      const Eigen::Vector3d diff = pair.second->rel_coord_ - pair.first->rel_coord_;
      if (diff.norm() < MIN_AXIS_LENGTH) continue;
      sum += diff.normalized();
      any = true;
    }
    return any;
  };

  Eigen::Vector3d forward;
  if (!average(flag_forward_pairs_, forward)) return false;
  Eigen::Vector3d right;
  if (!average(flag_right_pairs_, right)) {
    bool any = false;
    for (const auto& pairs : flag_right_product_pairs_) {
      const FlagPair& ab = pairs.first;
      const FlagPair& cd = pairs.second;
      if (!seen(ab) || !seen(cd)) continue;
      const Eigen::Vector3d cross = (ab.second->rel_coord_ - ab.first->rel_coord_)
                                        .cross(cd.second->rel_coord_ - cd.first->rel_coord_);
      if (cross.norm() < MIN_AXIS_LENGTH) continue;
      right += cross.normalized();
      any = true;
    }
    if (!any) return false;
  }
  // Opposite unit vectors cancel: no direction was measured.
  if (!(forward.norm() >= MIN_AXIS_LENGTH) || !(right.norm() >= MIN_AXIS_LENGTH)) return false;
  forward.normalize();
  right.normalize();
  const Eigen::Vector3d up = right.cross(forward);
  if (!(up.norm() >= MIN_AXIS_LENGTH)) return false;
  measured = MeasuredRotation(right, forward, up);
  return true;
}

bool FieldState::CorrectGlobalRotation(const Eigen::Matrix3d& measured, double rate) {
  const Eigen::Matrix3d difference = global_rotation_.linear() * measured.transpose();
  const Eigen::AngleAxisd error(difference);
  const Eigen::AngleAxisd correction(-rate * error.angle(), error.axis());
  const Eigen::Matrix3d corrected = correction.toRotationMatrix() * global_rotation_.linear();
  if (!corrected.allFinite()) return false;
  global_rotation_.linear() = corrected;
  return true;
}

void FieldState::IntegrateGyroRate(const AgentState& agent) {
  Eigen::Vector3d change;
  for (int i = 0; i < 3; ++i) {
    change[i] = Tool::CulcTrapezoidIntegration(agent.GetGyroRate()[i], agent.GetPrevGyroRate()[i],
                                               UPDATE_INTERVAL_TIME);
  }
  // The increment is a rotation in the body frame, so it multiplies from the right.
  if (change.allFinite()) {
    const Eigen::Matrix4d increment = Tool::MakeMatrixRotation(change, Eigen::Vector3d::Zero());
    global_rotation_.linear() = global_rotation_.linear() * increment.topLeftCorner<3, 3>();
  }
}

void FieldState::BeginSightings(double t) {
  for (OtherPlayer* player : players_) {
    player->dt_ = t - player->update_time_;
    player->visible_ = false;
  }
}

bool FieldState::TakeSighting(FieldObject& object, const raw::VisibleObject& seen, double t) {
  object.dt_ = t - object.update_time_;
  // A sighting with unusable numbers counts as no sighting.
  object.visible_ = seen.visible && seen.polar_coord.allFinite();
  if (!object.visible_) return false;
  object.polar_coord_ = WrapPolar(seen.polar_coord);
  object.update_time_ = t;
  if (object.id_ == OBJ_VISIBLE_PART) {
    OtherPlayer& player = *players_[static_cast<VisiblePart&>(object).GetParentID()];
    if (!player.visible_) {
      player.visible_ = true;
      player.update_time_ = t;
    }
  }
  return true;
}

void FieldState::PlaceSighting(FieldObject& object, const Eigen::Vector3d& polar,
                               const AgentState& agent) {
  object.rel_coord_ = agent.GetBodyPart(BP_HEAD).global_transform * Tool::PolarToCartesian(polar);
  object.horizon_degree_ = agent.GetJointDegree(HJ_HJ1) + polar.y();
  object.vertical_degree_ = agent.GetJointDegree(HJ_HJ2) + polar.z();
  object.foot_distance_ = std::cos(Tool::ToRadian(object.vertical_degree_)) * polar.x();
}

}  // namespace zamp
