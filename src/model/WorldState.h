// The game-level state of the current cycle: server clock and cycle count, time since the
// agent came in, play mode and set-play (kick) mode seen from the own team, side, score in
// own/opponent order, and the four yes/no answers the decision code asks every cycle.
//
// Reads: the perception store's server-time and game-state records.
// Runs: once per cycle, right after RawStorage::Update and before AgentState::Update.
// Times are in seconds.
#pragma once

#include <map>
#include <string>

#include "core/const.h"

namespace zamp {

class RawStorage;

class WorldState {
 public:
  typedef std::map<PlayModeID, KickModeID> KickModeGetter;

  static constexpr int CAN_KICK_LEFT_FLAG = 1362;   // our set plays when playing on the left
  static constexpr int CAN_KICK_RIGHT_FLAG = 2724;  // our set plays when playing on the right
  static constexpr int CAN_BEAM_FLAG = 12289;       // before kick-off, after either goal

  WorldState();
  virtual ~WorldState();
  WorldState(const WorldState&) = delete;
  WorldState& operator=(const WorldState&) = delete;

  void Update();

  void SetTeamName(const std::string& name) { team_name_ = name; }
  const std::string& GetTeamName() const { return team_name_; }

  PlayModeID GetPlayMode() const { return play_mode_; }
  KickModeID GetKickMode() const { return kick_mode_; }
  SideID GetSide() const { return side_; }
  double GetServerTime() const { return server_time_; }
  int GetServerCycle() const { return server_cycle_; }
  double GetGameTime() const { return game_time_; }
  double GetAgentTime() const { return agent_time_; }
  int GetUsScore() const { return us_score_; }
  int GetEnemyScore() const { return enemy_score_; }
  bool CanBallTouch() const { return can_ball_touch_; }
  bool CanBeam() const { return can_beam_; }
  bool CanKickOffShoot() const { return can_kick_off_shoot_; }
  bool CanKickPlay() const { return can_kick_play_; }

 private:
  // Test seam: lets the decision-code tests set the game state directly.
  friend struct WorldStateTestAccess;

  void UpdateRaw(const RawStorage& raw_storage);
  void UpdateOthers();

  std::map<std::string, PlayModeID> play_mode_id_;
  KickModeGetter kick_mode_left_id_;
  KickModeGetter kick_mode_right_id_;
  std::string team_name_;
  PlayModeID play_mode_;
  KickModeID kick_mode_;
  SideID side_;
  double server_time_;    // s
  int server_cycle_;      // server clock in 0.02 s cycles
  double game_time_;      // s
  double agent_time_;     // s since the first perception
  double agent_in_time_;  // s, server time of the first perception
  int us_score_;
  int enemy_score_;
  bool can_ball_touch_;
  bool can_beam_;
  bool can_kick_off_shoot_;
  bool can_kick_play_;
};

}  // namespace zamp
