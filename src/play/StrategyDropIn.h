// The drop-in mode: the game strategy in a mixed team whose members come from other
// teams' programs. It speaks and hears the team-neutral drop-in message (times, ball, own
// position, fallen flag) instead of the team's own, fills the team records from it, and
// elects the dribbler by distance to the trusted ball alone. Everything heard is untrusted:
// a message that fails the codec's checks changes no record; mates never heard are then
// taken from the agent's own sight of them.
//
// Runs as the game strategy does: UpdateHear before the behaviour update, MakeSay after
// it. Reads: WorldState, AgentState, the field state (ball, team mates), StrategyInformation,
// the perception store's hear records. Writes: its team records and election results.
// Team frame (own goal at x = -15, attack towards +x); metres, seconds, degrees.
#pragma once

#include <string>

#include "play/StrategyZAMP.h"

namespace zamp {

class StrategyDropIn : public StrategyZAMP {
 public:
  ~StrategyDropIn() override;

  std::string MakeSay() override;
  void UpdateHear() override;
};

}  // namespace zamp
