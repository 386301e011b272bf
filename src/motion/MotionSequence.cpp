#include "motion/MotionSequence.h"

namespace zamp {

MotionSequence::~MotionSequence() {}

void MotionSequence::Reset() {}

}  // namespace zamp
