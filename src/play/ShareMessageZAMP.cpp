#include "play/ShareMessageZAMP.h"

#include <cmath>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/const.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

// Integer part of a decoded value. Decoded values are small whole numbers already; values
// from elsewhere must still not overflow the conversion.
int IntegerPart(double v) {
  if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
  return static_cast<int>(v);
}

}  // namespace

ShareMessageZAMP::ShareMessageZAMP() {
  configures_.push_back(CreateConvertConfigure(0, 65535, 16, false, 0));  // SHARE_SERVER_TIME
  configures_.push_back(CreateConvertConfigure(0, 65535, 16, false, 0));  // SHARE_BALL_PRIMARY
  configures_.push_back(CreateConvertConfigure(-20, 20, 10, true, 0.5));  // SHARE_AGENT_X
  configures_.push_back(CreateConvertConfigure(-15, 15, 10, true, 0.5));  // SHARE_AGENT_Y
  configures_.push_back(CreateConvertConfigure(-17, 17, 10, true, 0.5));  // SHARE_BALL_X
  configures_.push_back(CreateConvertConfigure(-12, 12, 10, true, 0.5));  // SHARE_BALL_Y
  configures_.push_back(CreateConvertConfigure(0, 1, 1, false, 0));       // SHARE_FALL
  configures_.push_back(CreateConvertConfigure(0, 1023, 10, false, 0));   // ..._ENEMY_DISTANCE
  configures_.push_back(CreateConvertConfigure(0, 6, 3, false, 0));       // SHARE_AGENT_BEHAVIOR
  configures_.push_back(CreateConvertConfigure(0, 4, 2, false, 0));       // ..._MOVE_STATE
  configures_.push_back(CreateConvertConfigure(0, 10, 4, false, 0));      // ..._ENEMY_VISIBLE
  configures_.push_back(CreateConvertConfigure(0, 15, 5, true, 0.5));     // SHARE_KICK_TARGET_X
  configures_.push_back(CreateConvertConfigure(-10, 10, 5, true, 0.5));   // SHARE_KICK_TARGET_Y
}

ShareMessageZAMP::~ShareMessageZAMP() {}

std::string ShareMessageZAMP::Make() {
  std::string text;
  MakeInto(text);
  return text;
}

void ShareMessageZAMP::MakeInto(std::string& text) {
  const WorldState* world = Singleton<WorldState>::GetInstance();
  const AgentState* agent = Singleton<AgentState>::GetInstance();
  const FieldState* field = Singleton<FieldState>::GetInstance();
  const StrategyInformation* info = Singleton<StrategyInformation>::GetInstance();
  if (world == nullptr || agent == nullptr || field == nullptr || info == nullptr) {
    text.clear();
    return;
  }
  SayValues say;
  say.server_cycle = world->GetServerCycle();
  say.uniform_number = agent->GetUniformNumber();
  say.ball_update_time = field->GetBall().GetUpdateTime();
  say.agent_coord = agent->GetCoordinates().head<2>();
  say.ball_coord = field->GetBall().GetAbsoluteCoordinates().head<2>();
  say.fall_direction = agent->GetFallDirection();
  say.ball_nearest_enemy_dist = info->GetBallNearestEnemyDistance();
  say.behavior = agent->GetCurrentBehavior();
  say.move_state = agent->GetCurrentMoveState();
  say.count_enemy_visible = info->GetCountEnemyVisible();
  say.kick_target_coord = info->GetKickTargetCoord();
  MakeFromInto(say, text);
}

bool ShareMessageZAMP::CanSay(int server_cycle, int uniform_number) {
  const int c = server_cycle % SHARE_CYCLE_PERIOD;
  return c % SAY_AGENT_CYCLE == 2 * uniform_number - 2;
}

std::string ShareMessageZAMP::MakeFrom(const SayValues& say) {
  std::string text;
  MakeFromInto(say, text);
  return text;
}

void ShareMessageZAMP::MakeFromInto(const SayValues& say, std::string& text) {
  if (!CanSay(say.server_cycle, say.uniform_number)) {
    text.clear();
    return;
  }

  configures_[SHARE_SERVER_TIME].param = say.server_cycle % SHARE_CYCLE_PERIOD;
  // The ball time wraps with the clock field, so a receiver comparing the two keeps seeing
  // the right order after 1310.7 s of server time. A value that is not finite stays as it
  // is and goes out as the field's minimum.
  const double ball_cycle = std::trunc(say.ball_update_time / UPDATE_INTERVAL_TIME + 0.1);
  configures_[SHARE_BALL_PRIMARY].param =
      std::isfinite(ball_cycle) ? std::fmod(ball_cycle, SHARE_CYCLE_PERIOD) : ball_cycle;
  configures_[SHARE_AGENT_X].param = say.agent_coord.x();
  configures_[SHARE_AGENT_Y].param = say.agent_coord.y();
  configures_[SHARE_BALL_X].param = say.ball_coord.x();
  configures_[SHARE_BALL_Y].param = say.ball_coord.y();
  configures_[SHARE_FALL].param = say.fall_direction != AgentState::FALL_NOT ? 1.0 : 0.0;
  configures_[SHARE_BALL_NEAREST_ENEMY_DISTANCE].param =
      std::trunc(say.ball_nearest_enemy_dist * 100.0);  // cm
  configures_[SHARE_AGENT_BEHAVIOR].param = say.behavior;
  configures_[SHARE_AGENT_MOVE_STATE].param = say.move_state;
  configures_[SHARE_COUNT_ENEMY_VISIBLE].param = say.count_enemy_visible;
  configures_[SHARE_KICK_TARGET_X].param = say.kick_target_coord.x();
  configures_[SHARE_KICK_TARGET_Y].param = say.kick_target_coord.y();
  ShareMessage::MakeInto(text);
}

bool ShareMessageZAMP::Decode(const std::string& text, std::vector<double>& values) const {
  if (!ShareMessage::Decode(text, values)) return false;
  const int index = GetRecordIndex(values);
  if (index < 0 || index >= MAX_TEAM_AGENT_NUM) {
    values.clear();
    return false;
  }
  return true;
}

int ShareMessageZAMP::GetRecordIndex(const std::vector<double>& values) {
  if (values.empty() || !(values[SHARE_SERVER_TIME] >= 0.0) ||
      values[SHARE_SERVER_TIME] > SHARE_CYCLE_PERIOD) {
    return -1;
  }
  return static_cast<int>(values[SHARE_SERVER_TIME]) % SAY_AGENT_CYCLE / 2;
}

void ShareMessageZAMP::InitShareData(ShareDataZAMP& record) {
  record.uniform_number = 0;
  record.server_time = 0.0;
  record.ball_primary = 0.0;
  record.agent_coord = Eigen::Vector2d(UNKNOWN_DISTANCE, UNKNOWN_DISTANCE);
  record.ball_coord = Eigen::Vector2d(0.0, 0.0);
  record.ball_distance = UNKNOWN_DISTANCE;
  record.drrible_primary = 0.0;
  record.has_fall = false;
  record.ball_nearest_enemy_dist = UNKNOWN_DISTANCE;
  record.behavior = AgentState::BEH_READY;
  record.move_state = AgentState::MS_GOTO_POSITION;
  record.enemy_visible_count = 0;
  record.kick_target_coord = Eigen::Vector2d(0.0, 0.0);
  record.is_existence = false;
  record.hear_direction = 0.0;
}

void ShareMessageZAMP::PutShareData(ShareDataZAMP& record, const std::vector<double>& values) {
  double direction = 0.0;
  if (const RawStorage* store = Singleton<RawStorage>::GetInstance()) {
    const raw::Hear& friend_hear = store->GetHear(HEAR_FRIEND);
    direction = friend_hear.hearing ? friend_hear.direction : store->GetHear(HEAR_SELF).direction;
  }
  PutShareData(record, values, direction);
}

void ShareMessageZAMP::PutShareData(ShareDataZAMP& record, const std::vector<double>& values,
                                    double hear_direction) {
  if (values.size() < static_cast<size_t>(SHARE_DATA_ID_NUM)) return;
  const std::vector<double>& v = values;
  record.server_time = v[SHARE_SERVER_TIME] * UPDATE_INTERVAL_TIME;
  record.ball_primary = v[SHARE_BALL_PRIMARY] * UPDATE_INTERVAL_TIME;
  record.agent_coord = Eigen::Vector2d(v[SHARE_AGENT_X], v[SHARE_AGENT_Y]);
  record.ball_coord = Eigen::Vector2d(v[SHARE_BALL_X], v[SHARE_BALL_Y]);
  record.ball_distance = UNKNOWN_DISTANCE;
  record.uniform_number = GetRecordIndex(v) + 1;
  record.has_fall = v[SHARE_FALL] > 0.0;
  record.enemy_visible_count = IntegerPart(v[SHARE_COUNT_ENEMY_VISIBLE]);
  record.kick_target_coord =
      Eigen::Vector2d(std::trunc(v[SHARE_KICK_TARGET_X]), std::trunc(v[SHARE_KICK_TARGET_Y]));
  record.ball_nearest_enemy_dist = v[SHARE_BALL_NEAREST_ENEMY_DISTANCE] / 100.0;
  record.behavior = static_cast<AgentState::Behavior>(IntegerPart(v[SHARE_AGENT_BEHAVIOR]));
  record.move_state = static_cast<AgentState::MoveState>(IntegerPart(v[SHARE_AGENT_MOVE_STATE]));
  record.is_existence = true;
  record.hear_direction = hear_direction;
}

}  // namespace zamp
