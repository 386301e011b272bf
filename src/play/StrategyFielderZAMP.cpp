#include "play/StrategyFielderZAMP.h"

namespace zamp {

StrategyFielderZAMP::~StrategyFielderZAMP() = default;

}  // namespace zamp
