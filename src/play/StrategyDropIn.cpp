#include "play/StrategyDropIn.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "play/Audio.h"
#include "play/ShareMessageZAMP.h"

namespace zamp {

namespace {

// The codec carries no opponent distance: while the agent sees few opponents it assumes
// one this close (m) to the ball, which keeps the kick approach careful.
const double ASSUMED_ENEMY_DISTANCE = 1.2;
const int CROWDED_ENEMY_COUNT = 9;
const double FALLEN_FACTOR = 0.1;

}  // namespace

StrategyDropIn::~StrategyDropIn() = default;

std::string StrategyDropIn::MakeSay() {
  const Models m = FetchModels();
  const Eigen::Vector3d& ball = m.field.GetBall().GetAbsoluteCoordinates();
  const Eigen::Vector3d& own = m.agent.GetCoordinates();
  std::string message;
  makeSayMessage(m.agent.GetUniformNumber(), m.world.GetServerTime(),
                 m.field.GetBall().GetUpdateTime(), ball.x(), ball.y(), own.x(), own.y(),
                 m.agent.GetFallDirection() != AgentState::FALL_NOT, message);
  return message;
}

void StrategyDropIn::UpdateHear() {
  const Models m = FetchModels();
  const RawStorage& raw = *Singleton<RawStorage>::GetInstance();
  const raw::Hear& friend_hear = raw.GetHear(HEAR_FRIEND);
  const raw::Hear& self_hear = raw.GetHear(HEAR_SELF);
  std::vector<double> values;
  int unum = 0;
  if (friend_hear.hearing) {
    processHearMessageZAMP(friend_hear.message, m.world.GetServerTime(), values, unum);
  } else if (self_hear.hearing) {
    processHearMessageZAMP(self_hear.message, m.world.GetServerTime(), values, unum);
  } else {
    return;
  }

  ShareData* heard = AgentDataOf(unum);
  if (heard != nullptr) {
    current_agent_update_ = heard;
    ShareMessageZAMP::PutShareData(*heard, values);
    heard->uniform_number = unum;
  } else {
    // Nothing usable was heard: mates never heard are taken from the agent's own sight.
    for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
      ShareData& record = agent_data_[i];
      if (record.is_existence) continue;
      const OtherPlayer& mate = m.field.GetFriendPlayer(i);
      record.agent_coord = Tool::RemoveVectZ(mate.GetAbsoluteCoordinates());
      record.has_fall = mate.IsFall();
      record.hear_direction = friend_hear.direction;
    }
  }

  // The team ball, and the dribbler by distance to it.
  SortByBallSighting();
  most_ball_update_ = sorting_agent_data_.front();
  const Eigen::Vector2d ball = most_ball_update_->ball_coord;
  double nearest = std::numeric_limits<double>::infinity();  // m
  for (ShareData* record : sorting_agent_data_) {
    record->ball_distance = Tool::CulcDistance(record->agent_coord, ball);
    nearest = std::min(nearest, record->ball_distance);
  }
  nearest = std::max(nearest, MIN_BALL_DISTANCE);
  for (ShareData& record : agent_data_) {
    const double fallen = record.has_fall ? FALLEN_FACTOR : 1.0;
    const double primary = fallen * nearest / std::max(record.ball_distance, MIN_BALL_DISTANCE);
    record.drrible_primary = std::isfinite(primary) ? primary : 0.0;
  }
  SortByDrriblePrimary();
  drrible_agent_unum_ =
      CanDrrible(m.world) ? sorting_agent_data_.front()->uniform_number : NO_ONE_DRRIBLE;

  if (m.agent.GetCurrentMoveState() == AgentState::MS_ADJUST_KICK) {
    team_ball_nearest_enemy_dist_ = ShareMessageZAMP::UNKNOWN_DISTANCE;
  } else {
    kick_target_coord_ = m.info.GetKickTargetCoord();
    team_ball_nearest_enemy_dist_ = m.info.GetCountEnemyVisible() < CROWDED_ENEMY_COUNT
                                        ? ASSUMED_ENEMY_DISTANCE
                                        : ShareMessageZAMP::UNKNOWN_DISTANCE;
  }
  if (IsHurryTime(m.world)) team_ball_nearest_enemy_dist_ = ShareMessageZAMP::UNKNOWN_DISTANCE;
}

}  // namespace zamp
