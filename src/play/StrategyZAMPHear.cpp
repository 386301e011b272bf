// Team hearing, the dribbler election and head control of the game strategy.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "play/ShareMessageZAMP.h"
#include "play/StrategyZAMP.h"

namespace zamp {

namespace {

// The ranking: a fallen mate keeps a tenth of its value; the angle factor lies in
// [MIN_ANGLE_FACTOR, 1] and is ignored within ANGLE_FREE_DISTANCE (m) of the ball.
const double FALLEN_FACTOR = 0.1;
const double MIN_ANGLE_FACTOR = 0.3;
const double ANGLE_FREE_DISTANCE = 0.3;
// Beyond these x (m) the preferred approach runs along the line from the own goal or
// towards the opponent goal.
const double DEFENCE_LINE_X = -10.0;
const double ATTACK_LINE_X = 10.0;
// The keeper is elected with the ball within the first distance (m) of its goal and keeps
// the role until the ball is farther than the second.
const double KEEPER_TAKE_DISTANCE = 3.0;
const double KEEPER_KEEP_DISTANCE = 4.0;

// Head control.
const double HEAD_YAW_GAIN = 0.5;
const double HEAD_PITCH_GAIN = 0.2;
const double LOST_BALL_AGE = 0.5;      // s between a mate's ball sighting and its message
const double SCAN_YAW_DEGREE = 120.0;  // degrees
const double SCAN_PITCH_DOWN = -45.0;  // degrees
const double SCAN_SPEED = 6.2;         // rad/s
const int SCAN_YAW_PERIOD = 90;        // cycles
const int SCAN_PITCH_PERIOD = 30;      // cycles
const double HEAD_HEIGHT = 0.4;        // m, for the pitch towards a ball on the ground

// A stable sort by insertion, for the eleven team records: std::stable_sort would take a
// temporary buffer from the heap every cycle. Both orders below are total, so the result is
// the one std::stable_sort gives.
template <typename T, typename Less>
void StableInsertionSort(std::vector<T>& items, Less less) {
  for (size_t i = 1; i < items.size(); ++i) {
    T item = items[i];
    size_t j = i;
    for (; j > 0 && less(item, items[j - 1]); --j) items[j] = items[j - 1];
    items[j] = item;
  }
}

}  // namespace

void StrategyZAMP::UpdateHear() { HearTeam(); }

bool StrategyZAMP::HearTeam() {
  std::vector<double>& values = heard_values_;
  if (!share_message_->Receive(values, HEAR_FRIEND) &&
      !share_message_->Receive(values, HEAR_SELF)) {
    return false;
  }
  // The clock field names the sender; a foreign or corrupt message names nobody.
  ShareData* record = AgentDataOf(ShareMessageZAMP::GetRecordIndex(values) + 1);
  if (record == nullptr) return false;
  current_agent_update_ = record;
  ShareMessageZAMP::PutShareData(*record, values);
  ElectDrribler(*Singleton<WorldState>::GetInstance());
  return true;
}

bool StrategyZAMP::CanDrrible(const WorldState& world) {
  const PlayModeID play_mode = world.GetPlayMode();
  return world.CanKickPlay() || play_mode == PM_PLAY_ON || play_mode == PM_GAME_OVER;
}

void StrategyZAMP::SortByBallSighting() {
  const ShareData* first = agent_data_;
  StableInsertionSort(sorting_agent_data_, [first](const ShareData* a, const ShareData* b) {
    if (a->is_existence != b->is_existence) return a->is_existence;
    if (a->is_existence) {
      const double age_a = a->ball_primary - a->server_time;
      const double age_b = b->ball_primary - b->server_time;
      if (age_a != age_b) return age_a > age_b;
    }
    return a - first < b - first;
  });
}

void StrategyZAMP::SortByDrriblePrimary() {
  const ShareData* first = agent_data_;
  StableInsertionSort(sorting_agent_data_, [first](const ShareData* a, const ShareData* b) {
    if (a->drrible_primary != b->drrible_primary) {
      return a->drrible_primary > b->drrible_primary;
    }
    return a - first < b - first;
  });
}

void StrategyZAMP::ElectDrribler(const WorldState& world) {
  const Eigen::Vector2d us_goal(-FIELD_WIDTH_HALF_SIZE, 0.0);
  const Eigen::Vector2d enemy_goal(FIELD_WIDTH_HALF_SIZE, 0.0);

  // The team ball: the most recent sighting relative to its message.
  SortByBallSighting();
  most_ball_update_ = sorting_agent_data_.front();
  const Eigen::Vector2d ball = most_ball_update_->ball_coord;

  double nearest = ShareMessageZAMP::UNKNOWN_DISTANCE;  // m
  for (ShareData& record : agent_data_) {
    if (record.is_existence) record.ball_distance = Tool::CulcDistance(record.agent_coord, ball);
    nearest = std::min(nearest, record.ball_distance);
  }
  nearest = std::max(nearest, MIN_BALL_DISTANCE);

  // The direction along which the ball should be approached.
  double preferred = 0.0;  // degrees
  if (ball.x() < DEFENCE_LINE_X) {
    preferred = Tool::CulcDegree(us_goal, ball, 0.0);
  } else if (ball.x() > ATTACK_LINE_X) {
    preferred = Tool::CulcDegree(ball, enemy_goal, 0.0);
  }

  for (ShareData& record : agent_data_) {
    const bool kicking =
        record.uniform_number == drrible_agent_unum_ && record.behavior == AgentState::BEH_KICK;
    const double fallen = (record.has_fall && !kicking) ? FALLEN_FACTOR : 1.0;
    const double existence = record.is_existence ? 1.0 : 0.0;
    // A mate standing behind the ball as seen along the preferred direction scores high.
    const double angle =
        Tool::LimitDegree180(Tool::CulcDegree(ball, record.agent_coord, 0.0) - preferred);
    const double angle_factor =
        record.ball_distance >= ANGLE_FREE_DISTANCE
            ? Tool::LimitParam(std::abs(angle) / 180.0, MIN_ANGLE_FACTOR, 1.0)
            : 1.0;
    const double distance = std::max(record.ball_distance, MIN_BALL_DISTANCE);
    const double primary = nearest / distance * fallen * angle_factor * existence;
    record.drrible_primary = std::isfinite(primary) ? primary : 0.0;
  }
  SortByDrriblePrimary();

  const double keeper_ball_distance = Tool::CulcDistance(ball, us_goal);
  const ShareData* elected = sorting_agent_data_[0];
  const bool keeper_keeps =
      drrible_agent_unum_ == UNIFORM_KEEPER_NUMBER && keeper_ball_distance <= KEEPER_KEEP_DISTANCE;
  if (!keeper_keeps && elected->uniform_number == UNIFORM_KEEPER_NUMBER &&
      keeper_ball_distance >= KEEPER_TAKE_DISTANCE) {
    elected = sorting_agent_data_[1];
  }
  if (elected->uniform_number != drrible_agent_unum_) {
    change_drrible_time_ = world.GetServerTime();
  }
  drrible_agent_unum_ = elected->uniform_number;
  // Nobody dribbles during the opponents' set plays and before kick-off.
  if (!CanDrrible(world)) drrible_agent_unum_ = NO_ONE_DRRIBLE;

  team_ball_nearest_enemy_dist_ = ShareMessageZAMP::UNKNOWN_DISTANCE;
  for (const ShareData* record : sorting_agent_data_) {
    team_ball_nearest_enemy_dist_ =
        std::min(team_ball_nearest_enemy_dist_, record->ball_nearest_enemy_dist);
  }

  // The kick target comes from the mate that sees the most opponents.
  const ShareData* source = sorting_agent_data_[0];
  for (size_t i = 1; i < sorting_agent_data_.size(); ++i) {
    const ShareData* next = sorting_agent_data_[i];
    if (!source->is_existence ||
        (next->is_existence && next->enemy_visible_count > source->enemy_visible_count)) {
      source = next;
    }
  }
  // While the dribbler lines up or kicks, the team keeps the target it aims at.
  const ShareData* drribler = AgentDataOf(drrible_agent_unum_);
  const bool aiming = drribler != nullptr && (drribler->move_state == AgentState::MS_ADJUST_KICK ||
                                              drribler->behavior == AgentState::BEH_KICK);
  if (!aiming && source->is_existence) kick_target_coord_ = source->kick_target_coord;
}

void StrategyZAMP::ControlHead() {
  const Models m = FetchModels();
  JointController& joints = *Singleton<JointController>::GetInstance();
  const Ball& ball = m.field.GetBall();
  if (ball.IsVisible()) {
    joints.SettingRelativeSpeed(HJ_HJ1, ball.GetHorizonDegree(), HEAD_YAW_GAIN);
    joints.SettingRelativeSpeed(HJ_HJ2, ball.GetVerticalDegree(), HEAD_PITCH_GAIN);
    return;
  }
  if (most_ball_update_->server_time - most_ball_update_->ball_primary > LOST_BALL_AGE) {
    // Nobody has seen the ball lately: sweep the head.
    const int cycle = m.world.GetServerCycle();
    if (cycle % SCAN_YAW_PERIOD <= SCAN_YAW_PERIOD / 2 - 1) {
      joints.SettingFixedSpeed(HJ_HJ1, SCAN_YAW_DEGREE, SCAN_SPEED);
    } else {
      joints.SettingFixedSpeed(HJ_HJ1, -SCAN_YAW_DEGREE, -SCAN_SPEED);
    }
    if (cycle % SCAN_PITCH_PERIOD <= SCAN_PITCH_PERIOD / 2 - 1) {
      joints.SettingFixedSpeed(HJ_HJ2, 0.0, SCAN_SPEED);
    } else {
      joints.SettingFixedSpeed(HJ_HJ2, SCAN_PITCH_DOWN, -SCAN_SPEED);
    }
    return;
  }
  const Eigen::Vector2d team_ball = most_ball_update_->ball_coord;
  const double distance =
      Tool::CulcDistance(Tool::RemoveVectZ(m.agent.GetCoordinates()), team_ball);
  joints.SettingRelativeSpeed(HJ_HJ1, m.info.CulcDirectionDiff(team_ball), HEAD_YAW_GAIN);
  joints.SettingRelativeSpeed(HJ_HJ2, Tool::CulcDegree(0.0, HEAD_HEIGHT, distance, 0.0, 0.0),
                              HEAD_PITCH_GAIN);
}

}  // namespace zamp
