#include "model/BodyPart.h"

#include <cmath>

#include "core/Tool.h"

namespace zamp {

Eigen::Matrix3d BodyPart::JointRotation(double degree) const {
  // The general formula would scale an axis-less part by cos(theta) instead of leaving it.
  if (axis.isZero(0.0)) return Eigen::Matrix3d::Identity();
  const double theta = Tool::ToRadian(degree);
  Eigen::Matrix3d cross;
  cross << 0, -axis.z(), axis.y(), axis.z(), 0, -axis.x(), -axis.y(), axis.x(), 0;
  const double c = std::cos(theta);
  return c * Eigen::Matrix3d::Identity() + (1.0 - c) * axis * axis.transpose() +
         std::sin(theta) * cross;
}

}  // namespace zamp
