// A field object that never moves: its field position is known in advance (team frame,
// own goal at x = -15, attack towards +x, z up, m).
#pragma once

#include <Eigen/Core>

#include "model/FieldObject.h"

namespace zamp {

class StaticFieldObject : public FieldObject {
 public:
  StaticFieldObject(ObjectID id, const Eigen::Vector3d& fixed_coord)
      : FieldObject(id), fixed_coord_(fixed_coord) {}

  const Eigen::Vector3d& GetFixedCoordinates() const { return fixed_coord_; }

 private:
  const Eigen::Vector3d fixed_coord_;  // m, team frame
};

}  // namespace zamp
