#include "play/StrategyZAMP.h"

#include <algorithm>
#include <cmath>

#include "core/Singleton.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "play/ShareMessageZAMP.h"

namespace zamp {

namespace {

const double HALF_TIME = 300.0;  // s

// Ball within this horizontal distance of the foot (m) and no farther behind the body
// centre (m) counts as at the foot.
const double NEAR_FOOT_DISTANCE = 0.8;
const double NEAR_FOOT_BEHIND = 0.2;

// Opponent distances (m) of the kick decision: start the kick when nobody is closer than
// the first, give it up when somebody is as close as the second; the hurry values hold in
// the last 30 s of a half.
const double KICK_ENEMY_DISTANCE = 2.5;
const double KICK_ENEMY_DISTANCE_HURRY = 1.0;
const double GIVE_UP_ENEMY_DISTANCE = 1.25;
const double GIVE_UP_ENEMY_DISTANCE_HURRY = 0.5;
// In front of the opponent goal a free ball is kicked when nobody is within this (m), and
// the approach is given up only when somebody is within the second.
const double GOAL_FRONT_KICK_ENEMY_DISTANCE = 1.0;
const double GOAL_FRONT_GIVE_UP_ENEMY_DISTANCE = 0.5;

}  // namespace

StrategyZAMP::StrategyZAMP()
    : share_message_(new ShareMessageZAMP()),
      current_agent_update_(&agent_data_[0]),
      most_ball_update_(&agent_data_[0]),
      // The opponent goal centre until the team reports a target.
      kick_target_coord_(FIELD_WIDTH_HALF_SIZE, 0.0),
      team_ball_nearest_enemy_dist_(ShareMessageZAMP::UNKNOWN_DISTANCE),
      drrible_agent_unum_(MAX_TEAM_AGENT_NUM),
      change_drrible_time_(0.0) {
  for (ShareData& record : agent_data_) {
    ShareMessageZAMP::InitShareData(record);
    sorting_agent_data_.push_back(&record);
  }
  // The whole team at once, so that positioning allocates nothing when it first runs or
  // when the team heard grows.
  assignment_test_.starts.reserve(MAX_TEAM_AGENT_NUM);
  assignment_test_.targets.reserve(MAX_TEAM_AGENT_NUM);
  assignment_.reserve(MAX_TEAM_AGENT_NUM);
}

StrategyZAMP::~StrategyZAMP() { delete share_message_; }

void StrategyZAMP::Run() {
  UpdateState();
  if (walk_) {
    switch (Singleton<AgentState>::GetInstance()->GetCurrentMoveState()) {
      case AgentState::MS_DRRIBLE:
        Drrible();
        break;
      case AgentState::MS_GOTO_POSITION:
        Position();
        break;
      case AgentState::MS_ADJUST_KICK:
        AdjustKick();
        break;
      default:
        break;
    }
  }
  ControlHead();
}

std::string StrategyZAMP::MakeSay() { return share_message_->Make(); }

void StrategyZAMP::MakeSayInto(std::string& text) { share_message_->MakeInto(text); }

bool StrategyZAMP::IsKeeper() const { return false; }

StrategyZAMP::Models StrategyZAMP::FetchModels() const {
  return Models{*Singleton<WorldState>::GetInstance(), *Singleton<AgentState>::GetInstance(),
                *Singleton<FieldState>::GetInstance(),
                *Singleton<StrategyInformation>::GetInstance()};
}

bool StrategyZAMP::IsTeamUniformNumber(int uniform_number) {
  return uniform_number >= 1 && uniform_number <= MAX_TEAM_AGENT_NUM;
}

StrategyZAMP::ShareData* StrategyZAMP::AgentDataOf(int uniform_number) {
  return IsTeamUniformNumber(uniform_number) ? &agent_data_[uniform_number - 1] : nullptr;
}

const StrategyZAMP::ShareData* StrategyZAMP::AgentDataOf(int uniform_number) const {
  return IsTeamUniformNumber(uniform_number) ? &agent_data_[uniform_number - 1] : nullptr;
}

void StrategyZAMP::UpdateState() {
  const Models m = FetchModels();
  const KickModeID kick_mode = m.world.GetKickMode();
  const bool start_kick =
      IsBallNearFoot(m) &&
      (kick_mode == KM_KICK_IN_US || kick_mode == KM_CORNER_KICK_US || CanKickInOpenPlay(m));
  StepMoveState(m, start_kick, ShouldGiveUpKick(m));
}

void StrategyZAMP::StepMoveState(const Models& m, bool start_kick, bool give_up_kick) {
  const int me = m.agent.GetUniformNumber();
  const MoveStateInput input{IsTeamUniformNumber(me) && me == drrible_agent_unum_, start_kick,
                             give_up_kick};
  m.agent.SetCurrentMoveState(NextMoveState(m.agent.GetCurrentMoveState(), input));
}

AgentState::MoveState StrategyZAMP::NextMoveState(AgentState::MoveState current,
                                                  const MoveStateInput& input) {
  const AgentState::MoveState own_role =
      input.is_drribler ? AgentState::MS_DRRIBLE : AgentState::MS_GOTO_POSITION;
  switch (current) {
    case AgentState::MS_DRRIBLE:
      // A ball at the foot is kicked even by an agent that has just lost the election.
      return input.start_kick ? AgentState::MS_ADJUST_KICK : own_role;
    case AgentState::MS_GOTO_POSITION:
      return own_role;
    case AgentState::MS_ADJUST_KICK:
      if (!input.start_kick && input.give_up_kick) return AgentState::MS_DRRIBLE;
      return input.is_drribler ? AgentState::MS_ADJUST_KICK : AgentState::MS_GOTO_POSITION;
    default:
      return own_role;
  }
}

double StrategyZAMP::HalfTime(const WorldState& world) {
  return std::fmod(world.GetGameTime(), HALF_TIME);
}

bool StrategyZAMP::IsHurryTime(const WorldState& world) {
  return HalfTime(world) >= HURRY_START_TIME;
}

double StrategyZAMP::BallEnemyDistance(const StrategyInformation& info) const {
  return std::min(team_ball_nearest_enemy_dist_, info.GetBallNearestEnemyDistance());
}

bool StrategyZAMP::IsBallNearFoot(const Models& m) {
  return m.field.GetBall().GetFootDistance() < NEAR_FOOT_DISTANCE &&
         m.info.GetBallLocalCoordinates().x() + NEAR_FOOT_BEHIND > 0.0;
}

bool StrategyZAMP::CanKickInOpenPlay(const Models& m) const {
  const double d = BallEnemyDistance(m.info);
  const double free_distance =
      IsHurryTime(m.world) ? KICK_ENEMY_DISTANCE_HURRY : KICK_ENEMY_DISTANCE;
  // Z1: next to the opponent goal line or near the opponent goal; Z2: right in front of
  // the goal; Z3: the strip along the goal mouth.
  const bool z1 =
      m.info.IsBallInRectangle(14.0, 0.0, 2.0, 22.0) || m.info.IsBallInCircle(15.0, 0.0, 5.0);
  const bool z2 = m.info.IsBallInCircle(15.0, 0.0, 3.5);
  const bool z3 = m.info.IsBallInRectangle(14.0, 0.0, 2.0, 3.9);
  return ((m.world.CanKickPlay() || d >= free_distance) && !z1) ||
         (d >= GOAL_FRONT_KICK_ENEMY_DISTANCE && z2 && !z3);
}

bool StrategyZAMP::ShouldGiveUpKick(const Models& m) const {
  const double d = BallEnemyDistance(m.info);
  if (m.info.IsBallInCircle(15.0, 0.0, 3.5)) return d <= GOAL_FRONT_GIVE_UP_ENEMY_DISTANCE;
  return d <= (IsHurryTime(m.world) ? GIVE_UP_ENEMY_DISTANCE_HURRY : GIVE_UP_ENEMY_DISTANCE);
}

}  // namespace zamp
