// The models of one agent for strategy tests, with their fields set directly: the game
// state, the agent's pose, the ball's sighting, opponents and seen team mates. Hearing goes
// through the real parser and perception store, so the strategy decodes what a team mate's
// codec made. No server, no model filtering: a test states a situation, calls Update (the
// play information, as the cycle runs it before Think) and runs one strategy operation.
//
//   zamp::test::StrategyWorld world(2);
//   zamp::StrategyZAMP strategy;
//   strategy.walk_ = world.walk();
//   world.PlaceAgent(0, 0, 0);
//   world.PlaceBall(0.5, 0);
//   world.Update();
//
// Team frame, metres, seconds, degrees.
#pragma once

#include <memory>
#include <string>

#include "core/const.h"
#include "model/AgentState.h"
#include "motion/Walk.h"
#include "play/ShareMessageZAMP.h"
#include "support/ModelCycle.h"

namespace zamp {
namespace test {

class StrategyWorld : public ModelCycle {
 public:
  static const char* const TEAM;

  // Fresh models for the agent with this uniform number and robot type, playing on the
  // left in PlayOn at game time 0, and a TabeWalk for the strategy.
  explicit StrategyWorld(int uniform_number = 2, AgentTypeID agent_type = AGENT_TYPE_STANDARD);

  // Game state.
  void SetGameTime(double game_time);
  void SetServerTime(double server_time);
  // The play mode with the set-play answers the game state derives from it (left side).
  void SetPlayMode(PlayModeID play_mode);
  void SetKickMode(KickModeID kick_mode, bool can_kick_play, bool can_kick_off_shoot);

  // The agent's torso at (x, y) m facing heading degrees.
  void PlaceAgent(double x, double y, double heading);
  void SetMoveState(AgentState::MoveState move_state);
  void SetFallen(bool fallen);

  // The ball on the ground at (x, y), seen from the agent's current pose with the neck
  // straight: its distance and horizontal angle follow from the geometry. Place the agent
  // first.
  void PlaceBall(double x, double y, bool visible = true, double seen_ago = 0.0);
  // Overrides of the sighting that PlaceBall derived.
  void SetBallFootDistance(double foot_distance);
  void SetBallHorizonDegree(double horizon_degree);
  // Opponent `index` (0-10) at (x, y), last seen `seen_ago` s ago.
  void PlaceEnemy(int index, double x, double y, double seen_ago = 0.0);
  // The nearest seen part (a foot) of team mate `uniform_number`.
  void SeeMate(int uniform_number, double foot_distance, double horizon_degree);

  // The play information from the current models, as the cycle runs it before Think.
  void Update();

  // One perception at the current server time that carries these further elements, a team
  // mate's message (heard from `direction` degrees), the agent's own echo, or no message at
  // all, through the parser and the store only.
  void Hear(const std::string& text, double direction = 0.0);
  void HearSelf(const std::string& text);
  void HearNothing() { Listen(std::string()); }
  void Listen(const std::string& elements);

  // The message that team mate `say.uniform_number` would send with these values; the
  // server cycle is moved into the mate's speaking slot near `say.server_cycle`.
  static std::string Message(ShareMessageZAMP::SayValues say);

  const std::shared_ptr<Walk>& walk() const { return walk_; }

 private:
  std::shared_ptr<Walk> walk_;
  double server_time_ = 0.0;  // s
};

}  // namespace test
}  // namespace zamp
