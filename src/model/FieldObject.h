// Base of everything the field model knows about: landmarks, the ball, other players and
// their visible body parts. The objects are plain data: the field states (FieldState and
// its subclasses) fill the fields once per cycle and everybody else reads them through the
// accessors.
//
// Frames and units: polar coordinates as perceived (distance m, horizontal and vertical
// angle in degrees, relative to the head); relative coordinates in the torso frame (x
// right, y forward, z up, m); times are server times in seconds.
#pragma once

#include <Eigen/Core>

#include "core/const.h"
#include "model/KalmanFilter.h"

namespace zamp {

class FieldObject {
 public:
  explicit FieldObject(ObjectID id);

  ObjectID GetObjectID() const { return id_; }
  const Eigen::Vector3d& GetPolarCoordinates() const { return polar_coord_; }
  const Eigen::Vector3d& GetRelativeCoordinates() const { return rel_coord_; }
  const KalmanMatrix& GetMeasureCovarianceError() const { return measure_covariance_error_; }
  double GetFootDistance() const { return foot_distance_; }
  double GetHorizonDegree() const { return horizon_degree_; }
  double GetVerticalDegree() const { return vertical_degree_; }
  double GetUpdateTime() const { return update_time_; }
  double GetUpdateDiffTime() const { return dt_; }
  bool IsVisible() const { return visible_; }

 private:
  friend class FieldState;
  friend class KalmanFieldState;
  friend class SimpleFieldState;
  friend struct FieldTestAccess;

  ObjectID id_;
  Eigen::Vector3d polar_coord_;            // (m, degrees, degrees) as last perceived
  Eigen::Vector3d rel_coord_;              // m, torso frame, as last seen
  KalmanMatrix measure_covariance_error_;  // 6 x 6, noise of the last measurement
  double foot_distance_;                   // m, horizontal distance
  double horizon_degree_;                  // degrees, horizontal angle plus neck yaw
  double vertical_degree_;                 // degrees, vertical angle plus neck pitch
  double update_time_;                     // s, server time of the last sighting
  double dt_;                              // s, last sighting to the current vision cycle
  bool visible_;                           // seen in the current vision cycle
};

}  // namespace zamp
