// The keeper (uniform number 1 in a normal game). On top of the game strategy it dives or
// blocks when a fast ball rolls at its goal, guards a point just in front of the goal on
// the line towards the latest heard ball, and only comes out to kick a ball that is at its
// feet and not in the opponent half's far end.
//
// Runs as the game strategy does: UpdateHear before the behaviour update, Run while the
// agent walks. Reads: WorldState, AgentState, the field state's ball (its speed for the
// dive), StrategyInformation. Writes: AgentState's move state, the walk's targets and stop
// flag, command_ ("RightJump", "LeftJump" or the block "OpneFoot").
// Team frame (own goal at x = -15, attack towards +x); metres, m/s, seconds, degrees.
#pragma once

#include <Eigen/Core>
#include <string>

#include "play/StrategyZAMP.h"

namespace zamp {

class StrategyKeeperZAMP : public StrategyZAMP {
 public:
  // The save reads the field model's ball speed rather than a history of this many
  // sightings.
  static constexpr int SAVE_BALL_COORD_NUM = 20;

  bool IsKeeper() const override;

  // The save for a ball at `ball` (m) rolling with `ball_speed` (m/s) against a keeper at
  // `keeper` (m), `half_time` s into the half: "OpneFoot" when the ball's path passes
  // within 0.25 m of the keeper, "LeftJump" or "RightJump" when it passes farther to that
  // side, empty when no save is needed.
  static std::string SaveCommand(const Eigen::Vector2d& ball, const Eigen::Vector2d& ball_speed,
                                 const Eigen::Vector2d& keeper, double half_time);

 protected:
  void UpdateState() override;
  void Position() override;
  Eigen::Vector2d DecidePosition() override;
};

}  // namespace zamp
