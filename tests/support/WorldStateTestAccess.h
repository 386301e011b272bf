// Test seam into the game state: sets the clock, the play mode and the set-play answers
// directly, so decision-code tests need no parsed game-state message.
#pragma once

#include "core/const.h"
#include "model/WorldState.h"

namespace zamp {

struct WorldStateTestAccess {
  // server_time: s; the cycle count follows as the game state derives it.
  static void SetServerTime(WorldState& world, double server_time) {
    world.server_time_ = server_time;
    world.server_cycle_ = static_cast<int>(server_time / UPDATE_INTERVAL_TIME + 0.1);
  }

  // game_time: s of play time.
  static void SetGameTime(WorldState& world, double game_time) { world.game_time_ = game_time; }

  static void SetSide(WorldState& world, SideID side) { world.side_ = side; }

  // The play mode with the set-play answers derived from it exactly as the game state
  // derives them for the current side.
  static void SetPlayMode(WorldState& world, PlayModeID play_mode) {
    world.play_mode_ = play_mode;
    world.UpdateOthers();
  }

  // Only the set-play answers, for combinations that no play mode gives.
  static void SetKickMode(WorldState& world, KickModeID kick_mode, bool can_kick_play,
                          bool can_kick_off_shoot) {
    world.kick_mode_ = kick_mode;
    world.can_kick_play_ = can_kick_play;
    world.can_kick_off_shoot_ = can_kick_off_shoot;
  }
};

}  // namespace zamp
