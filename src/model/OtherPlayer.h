// A team mate or an opponent as the field state sees it: its five visible parts, each
// tracked on its own, and the player's own estimate, which is its head's (team frame, m and
// m/s).
#pragma once

#include "core/const.h"
#include "model/DynamicFieldObject.h"
#include "model/VisiblePart.h"

namespace zamp {

class OtherPlayer : public DynamicFieldObject {
 public:
  explicit OtherPlayer(bool is_friend);

  const VisiblePart& GetVisiblePart(VisiblePartID id) const { return visible_part_[id]; }
  bool IsFall() const { return is_fall_; }
  // Horizontal (x, y) distance between two of its parts' estimated positions, m.
  double CulcEachPartDistance(int part1, int part2) const;

 private:
  friend class FieldState;
  friend class KalmanFieldState;
  friend class SimpleFieldState;
  friend struct FieldTestAccess;

  VisiblePart visible_part_[VISIBLE_PART_NUM];  // by VisiblePartID
  bool is_fall_;                                // lies on the ground, judged from head and feet
};

}  // namespace zamp
