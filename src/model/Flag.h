// One of the eight landmarks (corner flags and goal posts) at its known field position.
#pragma once

#include <Eigen/Core>

#include "model/StaticFieldObject.h"

namespace zamp {

class Flag : public StaticFieldObject {
 public:
  explicit Flag(const Eigen::Vector3d& fixed_coord) : StaticFieldObject(OBJ_FLAG, fixed_coord) {}
};

}  // namespace zamp
