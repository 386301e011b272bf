#include "model/FieldObject.h"

namespace zamp {

FieldObject::FieldObject(ObjectID id)
    : id_(id),
      polar_coord_(Eigen::Vector3d::Zero()),
      rel_coord_(Eigen::Vector3d::Zero()),
      measure_covariance_error_(KalmanMatrix::Zero()),
      foot_distance_(0.0),
      horizon_degree_(0.0),
      vertical_degree_(0.0),
      update_time_(0.0),
      dt_(0.0),
      visible_(false) {}

}  // namespace zamp
