#include "model/KalmanFieldState.h"

#include <Eigen/Geometry>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/AgentState.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

// Line end points this close to a seen flag are taken as further sightings of it, m.
const double LINE_MERGE_DISTANCE = 0.4;
const double ROTATION_CORRECTION_RATE = 0.05;
const double SELF_PROCESS_NOISE = 0.0001;
const double BALL_PROCESS_NOISE = 0.0005;
const double PLAYER_PROCESS_NOISE = 0.012 / 2.0;
const double BALL_DRAG = 0.01;      // kg/s; the drag force is -BALL_DRAG * speed
const double PLAYER_DAMPING = 0.1;  // 1/s^2, deceleration per unit of speed
const double WALK_PREDICTION_GAIN = 0.06;
const double FALL_PART_DISTANCE = 0.15;  // m, head to foot horizontally when lying

// Position += velocity * dt over one cycle.
const KalmanMatrix& TransitionMatrix() {
  static const KalmanMatrix F = [] {
    KalmanMatrix m = KalmanMatrix::Identity();
    for (int i = 0; i < 3; ++i) m(i, i + 3) = UPDATE_INTERVAL_TIME;
    return m;
  }();
  return F;
}

// Acceleration to (position, velocity) over one cycle.
const Eigen::Matrix<double, 6, 3>& ControlMatrix() {
  static const Eigen::Matrix<double, 6, 3> B = [] {
    Eigen::Matrix<double, 6, 3> m = Eigen::Matrix<double, 6, 3>::Zero();
    for (int i = 0; i < 3; ++i) {
      m(i, i) = UPDATE_INTERVAL_TIME * UPDATE_INTERVAL_TIME / 2.0;
      m(i + 3, i) = UPDATE_INTERVAL_TIME;
    }
    return m;
  }();
  return B;
}

KalmanMatrix ProcessNoise(double q) { return q * KalmanMatrix::Identity(); }

bool IsUsableInterval(double dt) { return std::isfinite(dt) && dt > 0.0; }

KalmanValue MakeValue(const Eigen::Vector3d& position, const Eigen::Vector3d& speed,
                      const KalmanMatrix& covariance) {
  KalmanVector x;
  x << position, speed;
  return KalmanValue(x, covariance);
}

KalmanVector MakeMeasurement(const Eigen::Vector3d& location, const Eigen::Vector3d& speed) {
  KalmanVector z;
  z << location, speed;
  return z;
}

}  // namespace

// Room for the end points of every field line and centre-circle segment at once.
KalmanFieldState::KalmanFieldState() { line_ends_.reserve(128); }

KalmanFieldState::~KalmanFieldState() {}

void KalmanFieldState::Update() {
  const RawStorage& raw = *Singleton<RawStorage>::GetInstance();
  const WorldState& world = *Singleton<WorldState>::GetInstance();
  AgentState& agent = *Singleton<AgentState>::GetInstance();

  UpdateRaw(raw, agent);
  UpdateRotation(raw, world, agent);
  UpdateSelfAgent(raw, agent);
  UpdateBall(raw, world, agent);
  UpdatePlayer(raw, agent);
}

void KalmanFieldState::UpdateRaw(const RawStorage& raw, const AgentState& agent) {
  if (!raw.HasNewSeeData()) return;

  const Eigen::Affine3d& head = agent.GetBodyPart(BP_HEAD).global_transform;
  const double t = raw.GetServerTime().time;
  const std::vector<raw::VisibleObject>& lines = raw.GetLines();

  BeginSightings(t);

  // Every seen flag is compared with every line end point: the points are placed once. An
  // unusable point is placed nowhere (NaN), which no distance test accepts.
  line_ends_.clear();
  for (const raw::VisibleObject& end : lines) {
    line_ends_.push_back(end.polar_coord.allFinite()
                             ? Tool::PolarToCartesian(end.polar_coord)
                             : Eigen::Vector3d::Constant(std::numeric_limits<double>::quiet_NaN()));
  }

  const std::vector<raw::VisibleObject*>& perceived = raw.GetAllVisibleObjects();
  const size_t count = std::min(perceived.size(), all_visible_obj_.size());
  for (size_t i = 0; i < count; ++i) {
    FieldObject& object = *all_visible_obj_[i];
    const raw::VisibleObject& seen = *perceived[i];
    if (!TakeSighting(object, seen, t)) continue;
    Eigen::Vector3d polar = object.polar_coord_;

    if (object.id_ == OBJ_FLAG) {
      // Field lines end at the corner flags: their end points are extra, independent
      // sightings of the same landmark.
      const Eigen::Vector3d flag = Tool::PolarToCartesian(polar);
      Eigen::Vector3d sum = polar;
      int merged = 0;
      for (size_t e = 0; e < lines.size(); ++e) {
        if ((line_ends_[e] - flag).norm() < LINE_MERGE_DISTANCE) {
          sum += lines[e].polar_coord;
          ++merged;
        }
      }
      if (merged >= 1) polar = sum / (merged + 1);
    }

    PlaceSighting(object, polar, agent);

    const Eigen::Vector3d polar_error(polar.x() + SERVER_DISTANCE_ERROR * polar.x() / 100.0,
                                      polar.y() + SERVER_HORIZONTAL_ERROR,
                                      polar.z() + SERVER_VERTICAL_ERROR);
    const double error = (head * Tool::PolarToCartesian(polar_error) - object.rel_coord_).norm();
    // The speed noise is the position noise spread over the time between two sightings;
    // a sighting without a usable interval is weighed as if a vision period had passed.
    const double interval = IsUsableInterval(object.dt_) ? object.dt_ : SEE_UPDATE_INTERVAL_TIME;
    KalmanMatrix noise = error * KalmanMatrix::Identity();
    noise.bottomRightCorner<3, 3>() = noise.topLeftCorner<3, 3>() / interval +
                                      object.measure_covariance_error_.topLeftCorner<3, 3>();
    object.measure_covariance_error_ = noise;
  }
}

void KalmanFieldState::UpdateRotation(const RawStorage& raw, const WorldState& world,
                                      AgentState& agent) {
  IntegrateGyroRate(agent);
  agent.rotation_ = Tool::RotationMatrixToEulerDegree(global_rotation_.matrix());
  AdjustObserveGlobalRotation(raw, world, agent);
}

void KalmanFieldState::AdjustObserveGlobalRotation(const RawStorage& raw, const WorldState& world,
                                                   AgentState& agent) {
  if (!raw.HasNewSeeData()) return;
  Eigen::Matrix3d measured;
  if (!MeasureGlobalRotation(measured)) return;

  if (!CorrectGlobalRotation(measured, ROTATION_CORRECTION_RATE)) return;

  agent.rotation_ = Tool::RotationMatrixToEulerDegree(global_rotation_.matrix());
  obs_global_rotation_update_time_ = world.GetServerTime();
}

void KalmanFieldState::UpdateSelfAgent(const RawStorage& raw, AgentState& agent) {
  const Eigen::Vector3d before = agent.coordnates_;
  KalmanValue kv = MakeValue(agent.coordnates_, agent.speed_, agent.covariance_error_);

  const double heading = Tool::ToRadian(agent.rotation_.z());
  const Eigen::Vector3d& walk_speed = agent.GetCurrentWalkSpeed();
  const Eigen::Vector3d& max_walk_speed = agent.GetMaxWalkSpeed();
  const Eigen::Vector2d walk =
      Eigen::Rotation2Dd(heading) * Eigen::Vector2d(walk_speed.x(), walk_speed.y());
  const Eigen::Vector3d u(WALK_PREDICTION_GAIN * max_walk_speed.x() * walk.x(),
                          WALK_PREDICTION_GAIN * max_walk_speed.y() * walk.y(), 0.0);
  kv = KalmanFilter::TimeUpdate(kv, TransitionMatrix(), ControlMatrix() * u,
                                ProcessNoise(SELF_PROCESS_NOISE));

  if (raw.HasNewSeeData()) {
    const Eigen::Matrix3d& rotation = global_rotation_.linear();
    for (Flag* flag : flags_) {
      if (!flag->visible_) continue;
      const Eigen::Vector3d location = flag->GetFixedCoordinates() - rotation * flag->rel_coord_;
      const KalmanVector z =
          MakeMeasurement(location, MeasuredSpeed(location, before, flag->dt_, kv));
      kv = KalmanFilter::MeasurementUpdate(kv, z, FieldMeasureCovariance(*flag));
    }
  }
  agent.coordnates_ = kv.first.head<3>();
  agent.speed_ = kv.first.tail<3>();
  agent.covariance_error_ = kv.second;
}

void KalmanFieldState::UpdateBall(const RawStorage& raw, const WorldState& world,
                                  const AgentState& agent) {
  Ball& ball = *ball_;
  const Eigen::Vector3d before = ball.abs_coord_;
  KalmanValue kv = MakeValue(ball.abs_coord_, ball.speed_, ball.covariance_error_);

  const Eigen::Vector3d u = ball.speed_ * (-BALL_DRAG) / BALL_MASS;
  kv = KalmanFilter::TimeUpdate(kv, TransitionMatrix(), ControlMatrix() * u,
                                ProcessNoise(BALL_PROCESS_NOISE));

  if (raw.HasNewSeeData() && ball.visible_) {
    const Eigen::Vector3d location =
        agent.GetCoordinates() + global_rotation_.linear() * ball.rel_coord_;
    // Outside play the ball is placed, not moving: measure it at rest.
    const Eigen::Vector3d speed = world.GetPlayMode() == PM_PLAY_ON
                                      ? MeasuredSpeed(location, before, ball.dt_, kv)
                                      : Eigen::Vector3d::Zero();
    kv = KalmanFilter::MeasurementUpdate(kv, MakeMeasurement(location, speed),
                                         FieldMeasureCovariance(ball));
  }
  ball.abs_coord_ = kv.first.head<3>();
  ball.speed_ = kv.first.tail<3>();
  ball.covariance_error_ = kv.second;
}

void KalmanFieldState::UpdatePlayer(const RawStorage& raw, const AgentState& agent) {
  if (!raw.HasNewSeeData()) return;

  const Eigen::Matrix3d& rotation = global_rotation_.linear();
  for (OtherPlayer* player : players_) {
    if (!player->visible_) {
      player->is_fall_ = false;
      continue;
    }
    for (int k = 0; k < VISIBLE_PART_NUM; ++k) {
      VisiblePart& part = player->visible_part_[k];
      const Eigen::Vector3d before = part.abs_coord_;
      KalmanValue kv = MakeValue(part.abs_coord_, part.speed_, part.covariance_error_);
      const Eigen::Vector3d u = -PLAYER_DAMPING * player->speed_;
      kv = KalmanFilter::TimeUpdate(kv, TransitionMatrix(), ControlMatrix() * u,
                                    ProcessNoise(PLAYER_PROCESS_NOISE));
      if (part.visible_) {
        const Eigen::Vector3d location = agent.GetCoordinates() + rotation * part.rel_coord_;
        const KalmanVector z =
            MakeMeasurement(location, MeasuredSpeed(location, before, part.dt_, kv));
        kv = KalmanFilter::MeasurementUpdate(kv, z, FieldMeasureCovariance(part));
      }
      part.abs_coord_ = kv.first.head<3>();
      part.speed_ = kv.first.tail<3>();
      part.covariance_error_ = kv.second;
      if (k == VISIBLE_PART_HEAD) {
        player->abs_coord_ = part.abs_coord_;
        player->speed_ = part.speed_;
        player->covariance_error_ = part.covariance_error_;
      }
    }

    const VisiblePart& head = player->visible_part_[VISIBLE_PART_HEAD];
    if (!head.visible_) {
      player->is_fall_ = false;
      continue;
    }
    const auto foot_distance = [&](VisiblePartID foot) {
      return player->visible_part_[foot].visible_
                 ? player->CulcEachPartDistance(VISIBLE_PART_HEAD, foot)
                 : 0.0;
    };
    player->is_fall_ = foot_distance(VISIBLE_PART_RIGHT_FOOT) >= FALL_PART_DISTANCE ||
                       foot_distance(VISIBLE_PART_LEFT_FOOT) >= FALL_PART_DISTANCE;
  }
}

KalmanMatrix KalmanFieldState::FieldMeasureCovariance(const FieldObject& object) const {
  const Eigen::Matrix3d& g = global_rotation_.linear();
  const KalmanMatrix& r = object.measure_covariance_error_;
  KalmanMatrix field = KalmanMatrix::Zero();
  field.topLeftCorner<3, 3>() = g * r.topLeftCorner<3, 3>() * g.transpose();
  field.bottomRightCorner<3, 3>() = g * r.bottomRightCorner<3, 3>() * g.transpose();
  return field;
}

Eigen::Vector3d KalmanFieldState::MeasuredSpeed(const Eigen::Vector3d& location,
                                                const Eigen::Vector3d& before, double dt,
                                                const KalmanValue& current) {
  if (!IsUsableInterval(dt)) return current.first.tail<3>();
  return (location - before) / dt;
}

}  // namespace zamp
