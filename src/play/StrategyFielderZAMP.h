// A field player of a normal game (every uniform number but the keeper's): the game
// strategy as it is. The class exists so that the match agent names the role it plays.
#pragma once

#include "play/StrategyZAMP.h"

namespace zamp {

class StrategyFielderZAMP : public StrategyZAMP {
 public:
  ~StrategyFielderZAMP() override;
};

}  // namespace zamp
