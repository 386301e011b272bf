// A trial formation for the game strategy, never chosen by the match agent: the game
// strategy with a second table of formation points, built from the latest heard ball
// sighting instead of the team's trusted one.
//
// Runs as the game strategy does. Team frame (own goal at x = -15, attack towards +x);
// metres.
#pragma once

#include <Eigen/Core>

#include "play/StrategyZAMP.h"

namespace zamp {

class StrategyTest : public StrategyZAMP {
 protected:
  void SettingPosition(Eigen::Vector2d positions[POSITION_NUM]) override;
};

}  // namespace zamp
