#include "model/WorldState.h"

#include <climits>

#include "core/RawStorage.h"
#include "core/Singleton.h"

namespace zamp {

namespace {

// The server clock in whole cycles. The small offset absorbs the rounding of times such as
// 12.34 s, which divide to just below a whole number. Times beyond the int range clamp.
int ToServerCycle(double server_time) {
  const double cycle = server_time / UPDATE_INTERVAL_TIME + 0.1;
  if (cycle >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (cycle <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(cycle);
}

}  // namespace

WorldState::WorldState()
    : play_mode_(PM_UNKNOWN),
      kick_mode_(KM_NO_KICK_MODE),
      side_(SIDE_UNKNOWN),
      server_time_(0.0),
      server_cycle_(0),
      game_time_(0.0),
      agent_time_(0.0),
      agent_in_time_(0.0),
      us_score_(0),
      enemy_score_(0),
      can_ball_touch_(false),
      can_beam_(false),
      can_kick_off_shoot_(false),
      can_kick_play_(false) {
  play_mode_id_ = {{"BeforeKickOff", PM_BEFORE_KICK_OFF},
                   {"KickOff_Left", PM_KICK_OFF_LEFT},
                   {"KickOff_Right", PM_KICK_OFF_RIGHT},
                   {"PlayOn", PM_PLAY_ON},
                   {"KickIn_Left", PM_KICK_IN_LEFT},
                   {"KickIn_Right", PM_KICK_IN_RIGHT},
                   {"corner_kick_left", PM_CORNER_KICK_LEFT},
                   {"corner_kick_right", PM_CORNER_KICK_RIGHT},
                   {"goal_kick_left", PM_GOAL_KICK_LEFT},
                   {"goal_kick_right", PM_GOAL_KICK_RIGHT},
                   {"free_kick_left", PM_FREE_KICK_LEFT},
                   {"free_kick_right", PM_FREE_KICK_RIGHT},
                   {"Goal_Left", PM_GOAL_LEFT},
                   {"Goal_Right", PM_GOAL_RIGHT},
                   {"GameOver", PM_GAME_OVER}};
  kick_mode_left_id_ = {{PM_KICK_OFF_LEFT, KM_KICK_OFF_US},
                        {PM_KICK_OFF_RIGHT, KM_KICK_OFF_ENEMY},
                        {PM_KICK_IN_LEFT, KM_KICK_IN_US},
                        {PM_KICK_IN_RIGHT, KM_KICK_IN_ENEMY},
                        {PM_CORNER_KICK_LEFT, KM_CORNER_KICK_US},
                        {PM_CORNER_KICK_RIGHT, KM_CORNER_KICK_ENEMY},
                        {PM_GOAL_KICK_LEFT, KM_GOAL_KICK_US},
                        {PM_GOAL_KICK_RIGHT, KM_GOAL_KICK_ENEMY},
                        {PM_FREE_KICK_LEFT, KM_FREE_KICK_US},
                        {PM_FREE_KICK_RIGHT, KM_FREE_KICK_ENEMY},
                        {PM_GOAL_LEFT, KM_GOAL_US},
                        {PM_GOAL_RIGHT, KM_GOAL_ENEMY}};
  kick_mode_right_id_ = {{PM_KICK_OFF_LEFT, KM_KICK_OFF_ENEMY},
                         {PM_KICK_OFF_RIGHT, KM_KICK_OFF_US},
                         {PM_KICK_IN_LEFT, KM_KICK_IN_ENEMY},
                         {PM_KICK_IN_RIGHT, KM_KICK_IN_US},
                         {PM_CORNER_KICK_LEFT, KM_CORNER_KICK_ENEMY},
                         {PM_CORNER_KICK_RIGHT, KM_CORNER_KICK_US},
                         {PM_GOAL_KICK_LEFT, KM_GOAL_KICK_ENEMY},
                         {PM_GOAL_KICK_RIGHT, KM_GOAL_KICK_US},
                         {PM_FREE_KICK_LEFT, KM_FREE_KICK_ENEMY},
                         {PM_FREE_KICK_RIGHT, KM_FREE_KICK_US},
                         {PM_GOAL_LEFT, KM_GOAL_ENEMY},
                         {PM_GOAL_RIGHT, KM_GOAL_US}};
}

WorldState::~WorldState() = default;

void WorldState::Update() {
  const RawStorage* raw_storage = Singleton<RawStorage>::GetInstance();
  if (raw_storage == nullptr) return;
  UpdateRaw(*raw_storage);
  UpdateOthers();
}

void WorldState::UpdateRaw(const RawStorage& raw_storage) {
  const raw::GameState& game_state = raw_storage.GetGameState();

  // Still 0 on the first update, so the second one records the first perception's time.
  if (agent_in_time_ == 0.0) agent_in_time_ = server_time_;

  // The side word comes only once; the store keeps it, so it holds for the whole game.
  side_ = game_state.team == "left" ? SIDE_LEFT : SIDE_RIGHT;

  // An unknown name must not be added to the table: it reads as no play mode at all,
  // which every play-mode test rejects.
  const auto mode = play_mode_id_.find(game_state.play_mode);
  play_mode_ = mode == play_mode_id_.end() ? static_cast<PlayModeID>(0) : mode->second;

  server_time_ = raw_storage.GetServerTime().time;
  agent_time_ = server_time_ - agent_in_time_;
  server_cycle_ = ToServerCycle(server_time_);
  game_time_ = game_state.time;

  if (side_ == SIDE_LEFT) {
    us_score_ = game_state.score_left;
    enemy_score_ = game_state.score_right;
  } else {
    us_score_ = game_state.score_right;
    enemy_score_ = game_state.score_left;
  }
}

void WorldState::UpdateOthers() {
  const int our_set_plays = side_ == SIDE_LEFT ? CAN_KICK_LEFT_FLAG : CAN_KICK_RIGHT_FLAG;
  can_ball_touch_ = (play_mode_ & our_set_plays) != 0;
  can_beam_ = (play_mode_ & CAN_BEAM_FLAG) != 0;

  const KickModeGetter& kick_modes = side_ == SIDE_LEFT ? kick_mode_left_id_ : kick_mode_right_id_;
  const auto kick = kick_modes.find(play_mode_);
  kick_mode_ = kick == kick_modes.end() ? KM_NO_KICK_MODE : kick->second;

  can_kick_off_shoot_ = kick_mode_ == KM_KICK_OFF_US;
  can_kick_play_ = kick_mode_ == KM_KICK_OFF_US || kick_mode_ == KM_KICK_IN_US ||
                   kick_mode_ == KM_CORNER_KICK_US || kick_mode_ == KM_GOAL_KICK_US ||
                   kick_mode_ == KM_FREE_KICK_US;
}

}  // namespace zamp
