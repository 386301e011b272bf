// A field object whose position the field state estimates: position, velocity and their
// covariance in the team frame (own goal at x = -15, attack towards +x, z up).
#pragma once

#include <Eigen/Core>

#include "model/FieldObject.h"

namespace zamp {

class DynamicFieldObject : public FieldObject {
 public:
  explicit DynamicFieldObject(ObjectID id)
      : FieldObject(id),
        abs_coord_(Eigen::Vector3d::Zero()),
        speed_(Eigen::Vector3d::Zero()),
        covariance_error_(KalmanMatrix::Zero()) {}

  const Eigen::Vector3d& GetAbsoluteCoordinates() const { return abs_coord_; }
  const Eigen::Vector3d& GetSpeed() const { return speed_; }
  const KalmanMatrix& GetCovarianceError() const { return covariance_error_; }

 private:
  friend class KalmanFieldState;
  friend class SimpleFieldState;
  friend struct FieldTestAccess;

  Eigen::Vector3d abs_coord_;      // m, team frame
  Eigen::Vector3d speed_;          // m/s, team frame
  KalmanMatrix covariance_error_;  // 6 x 6, state (x, y, z, vx, vy, vz)
};

}  // namespace zamp
