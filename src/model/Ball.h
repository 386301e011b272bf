// The ball as the field state tracks it (team frame, m and m/s).
#pragma once

#include "model/DynamicFieldObject.h"

namespace zamp {

class Ball : public DynamicFieldObject {
 public:
  Ball() : DynamicFieldObject(OBJ_BALL) {}
};

}  // namespace zamp
