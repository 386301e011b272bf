// The game strategy's team message: 13 fields (102 bits, 17 characters) carrying the
// speaker's clock, its last ball sighting, its position, the ball it sees, its fall flag,
// the ball's nearest opponent, its behaviour and move state, the opponents it sees and its
// kick target. Each agent speaks once every 44 cycles (0.88 s) in a slot given by its
// uniform number, so the eleven team mates never talk over each other and a receiver
// recovers the sender from the clock field alone.
//
// Runs in the decision step: the game strategy builds its say text with Make once per cycle
// and decodes heard texts with Receive and PutShareData before its election.
// Team frame (own goal at x = -15, attack towards +x); metres, seconds, degrees.
#pragma once

#include <Eigen/Core>
#include <string>
#include <vector>

#include "model/AgentState.h"
#include "play/ShareMessage.h"

namespace zamp {

class ShareMessageZAMP : public ShareMessage {
 public:
  enum ShareDataID {
    SHARE_SERVER_TIME = 0,
    SHARE_BALL_PRIMARY,
    SHARE_AGENT_X,
    SHARE_AGENT_Y,
    SHARE_BALL_X,
    SHARE_BALL_Y,
    SHARE_FALL,
    SHARE_BALL_NEAREST_ENEMY_DISTANCE,
    SHARE_AGENT_BEHAVIOR,
    SHARE_AGENT_MOVE_STATE,
    SHARE_COUNT_ENEMY_VISIBLE,
    SHARE_KICK_TARGET_X,
    SHARE_KICK_TARGET_Y,
    SHARE_DATA_ID_NUM
  };

  // Cycles between two messages of one agent.
  static constexpr int SAY_AGENT_CYCLE = 44;
  // The clock fields wrap at this many cycles (1310.7 s) to fit their 16 bits.
  static constexpr int SHARE_CYCLE_PERIOD = 65535;
  // m; a distance or coordinate nobody has reported, far beyond the field.
  static constexpr double UNKNOWN_DISTANCE = 9999.9;

  // What this agent knows about one team mate (itself included, through its own echo).
  struct ShareDataZAMP {
    int uniform_number;
    double server_time;           // s, when the mate spoke
    double ball_primary;          // s, when the mate last saw the ball
    Eigen::Vector2d agent_coord;  // m, team frame
    Eigen::Vector2d ball_coord;   // m, team frame
    double ball_distance;         // m, from the mate to the team's chosen ball
    double drrible_primary;       // dribbler ranking value
    bool has_fall;
    double ball_nearest_enemy_dist;  // m
    AgentState::Behavior behavior;
    AgentState::MoveState move_state;
    int enemy_visible_count;
    Eigen::Vector2d kick_target_coord;  // m, team frame, whole metres
    bool is_existence;                  // a message of this mate has been heard
    double hear_direction;              // degrees, where the message came from
  };

  // The speaker's model values that one message carries, gathered from WorldState,
  // AgentState, the field state and StrategyInformation.
  struct SayValues {
    int server_cycle = 0;  // WorldState's clock in 0.02 s cycles
    int uniform_number = 0;
    double ball_update_time = 0.0;  // s, server time of the last ball sighting
    Eigen::Vector2d agent_coord = Eigen::Vector2d::Zero();  // m, team frame
    Eigen::Vector2d ball_coord = Eigen::Vector2d::Zero();   // m, team frame
    AgentState::FallID fall_direction = AgentState::FALL_NOT;
    double ball_nearest_enemy_dist = 0.0;  // m
    AgentState::Behavior behavior = AgentState::BEH_READY;
    AgentState::MoveState move_state = AgentState::MS_GOTO_POSITION;
    int count_enemy_visible = 0;
    Eigen::Vector2d kick_target_coord = Eigen::Vector2d::Zero();  // m, team frame
  };

  ShareMessageZAMP();
  ~ShareMessageZAMP() override;

  // This cycle's say text from the shared models (WorldState, AgentState, the field state,
  // StrategyInformation): empty outside the agent's slot or before the models exist.
  std::string Make() override;
  void MakeInto(std::string& text) override;

  // Whether the agent with this uniform number has the say slot in this server cycle.
  static bool CanSay(int server_cycle, int uniform_number);

  // The say text for this cycle: empty outside the agent's slot, otherwise the message of
  // `say`'s values (which are left in the fields' `param`).
  std::string MakeFrom(const SayValues& say);
  void MakeFromInto(const SayValues& say, std::string& text);

  // As the base, and a text whose clock field names no uniform number from 1 to 11 is not
  // a message of a team mate.
  bool Decode(const std::string& text, std::vector<double>& values) const override;

  // The record index (uniform number - 1) a decoded message belongs to.
  static int GetRecordIndex(const std::vector<double>& values);

  static void InitShareData(ShareDataZAMP& record);
  // Fills `record` from 13 decoded values, with the direction of this cycle's hear record.
  static void PutShareData(ShareDataZAMP& record, const std::vector<double>& values);
  // The same with the hear direction (degrees) given. Fewer than 13 values change nothing.
  static void PutShareData(ShareDataZAMP& record, const std::vector<double>& values,
                           double hear_direction);
};

}  // namespace zamp
