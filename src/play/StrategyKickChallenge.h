// The kick-challenge mode: the agent starts at the centre spot and only kicks the ball
// towards the field centre, over and over. It stands still while the ball is 2 m or more
// away, otherwise lines up and kicks, and every cycle in which a message is heard it makes
// itself the dribbler with the ball at its own position, so that no team mate's report
// moves it.
//
// Runs as the game strategy does, except that Run skips the move-state machine. Reads:
// WorldState, AgentState, the field state's ball, StrategyInformation. Writes: the walk's
// targets and stop flag, command_, the neck joints.
// Team frame (own goal at x = -15, attack towards +x); metres, degrees.
#pragma once

#include "play/StrategyZAMP.h"

namespace zamp {

class StrategyKickChallenge : public StrategyZAMP {
 public:
  void Run() override;
  void UpdateHear() override;

 protected:
  void AdjustKick() override;
};

}  // namespace zamp
