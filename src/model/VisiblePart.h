// One body part of another player that vision reports (head, lower arms, feet), tracked
// on its own in the team frame; the player's estimate follows its head.
#pragma once

#include "model/DynamicFieldObject.h"

namespace zamp {

class VisiblePart : public DynamicFieldObject {
 public:
  VisiblePart() : DynamicFieldObject(OBJ_VISIBLE_PART), parent_id_(0) {}

  // Index 0-21 of the owning player in the field state.
  int GetParentID() const { return parent_id_; }

 private:
  friend class FieldState;

  int parent_id_;
};

}  // namespace zamp
