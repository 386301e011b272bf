// The kicker mode: the game strategy tuned for one agent that carries the ball up the
// field and shoots. It starts a kick only close to the opponent goal (or at once in our
// kick-ins and corner kicks), dribbles inside a narrower central corridor, and stands a
// little farther from the ball for the long kick of the standard-footed robot types.
//
// Runs as the game strategy does. Reads and writes what the game strategy does.
// Team frame (own goal at x = -15, attack towards +x); metres, degrees.
#pragma once

#include "play/StrategyZAMP.h"

namespace zamp {

class StrategyKicker : public StrategyZAMP {
 protected:
  void UpdateState() override;
  void Drrible() override;
  void AdjustKick() override;
};

}  // namespace zamp
