// Kick approach of the game strategy: the choice between the long and the quick kick, the
// line-up behind the ball towards the kick target, and the request of the kick motion once
// the agent is aligned.
#include <cmath>
#include <utility>

#include "core/Tool.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "motion/Walk.h"
#include "play/StrategyZAMP.h"

namespace zamp {

namespace {

typedef Eigen::Vector2d V;
typedef StrategyZAMP::KickParameter KickParameter;

// The kick parameters by kick and robot type. The long-footed types (1, 3, 4) stand a
// little farther from the ball, shift the kick line the other way and aim 1.5 m left of
// the target, since their long kick pulls to the right.
//   command     D      A      L     window       angle lateral fwd  min   left shift
const KickParameter KICK_PARAMETERS[StrategyZAMP::KICK_KIND_NUM][AGENT_TYPE_NUM] = {
    {
        {"LongKick", 0.18, -0.02, -2.0, 0.015, 0.015, 1.0, 0.4, 0.1, 0.0, 0.0},  // type 0
        {"LongKick", 0.187, 0.04, 2.0, 0.015, 0.015, 1.0, 0.4, 0.1, 0.0, 1.5},   // type 1
        {"LongKick", 0.18, -0.02, -2.0, 0.015, 0.015, 1.0, 0.4, 0.1, 0.0, 0.0},  // type 2
        {"LongKick", 0.187, 0.04, 2.0, 0.015, 0.015, 1.0, 0.4, 0.1, 0.0, 1.5},   // type 3
        {"LongKick", 0.187, 0.04, 2.0, 0.015, 0.015, 1.0, 0.4, 0.1, 0.0, 1.5},   // type 4
    },
    {
        {"QuickKick", 0.18, 0.045, 0.0, 0.18, 0.0, 2.0, 2.0, 0.4, 0.2, 0.0},  // type 0
        {"QuickKick", 0.18, 0.045, 0.0, 0.18, 0.0, 2.0, 2.0, 0.4, 0.2, 0.0},  // type 1
        {"QuickKick", 0.18, 0.045, 0.0, 0.18, 0.0, 2.0, 2.0, 0.4, 0.2, 0.0},  // type 2
        {"QuickKick", 0.18, 0.045, 0.0, 0.18, 0.0, 2.0, 2.0, 0.4, 0.2, 0.0},  // type 3
        {"QuickKick", 0.18, 0.045, 0.0, 0.18, 0.0, 2.0, 2.0, 0.4, 0.2, 0.0},  // type 4
    },
};

// Within this radius (m) of the opponent goal centre the ball is only tapped in.
const double QUICK_KICK_GOAL_RADIUS = 4.2;
// In the last 30 s of a half any foot distance within this (m) of D will do.
const double HURRY_WINDOW = 0.1;
// Our corner kick goes this far (m) short of the team target along x.
const double CORNER_KICK_SHORTEN = 2.0;
// Our kick-off goes out to the left wing.
const V KICK_OFF_TARGET(1.0, 10.0);

// Line-up: give up beyond these; steer with these divisors and speeds.
const double GIVE_UP_DEGREE = 65.0;   // degrees off the kick line
const double GIVE_UP_DISTANCE = 0.8;  // m from the foot
const double STEER_SCALE = 45.0;      // degrees per unit sideways and turn target
const double STEP_BACK_FORWARD = -0.09;
const double SLOW_APPROACH_RANGE = 0.15;  // m beyond D
const double SLOW_APPROACH_GAIN = 0.5;    // forward target per m of foot distance
const double FAST_APPROACH_GAIN = 1.2;    // forward target per m of foot distance
const double FAST_APPROACH_SIDEWAYS = 0.8;

}  // namespace

const StrategyZAMP::KickParameter& StrategyZAMP::GetKickParameter(KickKind kind, int agent_type) {
  const int type = (agent_type >= 0 && agent_type < AGENT_TYPE_NUM) ? agent_type : 0;
  const int k = (kind == KICK_QUICK) ? KICK_QUICK : KICK_LONG;
  return KICK_PARAMETERS[k][type];
}

StrategyZAMP::KickKind StrategyZAMP::ChooseKick(const Models& m) const {
  const bool long_kick = !m.world.CanKickOffShoot() && m.world.GetKickMode() != KM_CORNER_KICK_US &&
                         !m.info.IsBallInCircle(FIELD_WIDTH_HALF_SIZE, 0.0, QUICK_KICK_GOAL_RADIUS);
  return long_kick ? KICK_LONG : KICK_QUICK;
}

Eigen::Vector2d StrategyZAMP::KickTarget(const Models& m, const KickParameter& kick) const {
  if (m.world.GetKickMode() == KM_CORNER_KICK_US)
    return kick_target_coord_ - V(CORNER_KICK_SHORTEN, 0.0);
  if (m.world.CanKickOffShoot()) return KICK_OFF_TARGET;
  return ShiftedKickTarget(m, kick, kick_target_coord_);
}

Eigen::Vector2d StrategyZAMP::ShiftedKickTarget(const Models& m, const KickParameter& kick,
                                                const Eigen::Vector2d& base) const {
  V target = base;
  if (kick.target_left_shift != 0.0) {
    const V ball = Tool::RemoveVectZ(m.field.GetBall().GetAbsoluteCoordinates());
    const double goal_degree = Tool::CulcDegree(ball, m.info.GetCenterEnemyGoalCoord(), 0.0);
    const Eigen::Matrix3d rotation = Tool::MakeMatrixRotation(goal_degree, V::Zero());
    target += rotation.topLeftCorner<2, 2>() * V(0.0, kick.target_left_shift);
  }
  return target;
}

StrategyZAMP::KickParameter StrategyZAMP::GameKickParameter(const Models& m, KickKind kind) {
  KickParameter kick = GetKickParameter(kind, m.agent.GetAgentType());
  if (IsHurryTime(m.world)) {
    kick.window_below = HURRY_WINDOW;
    kick.window_above = HURRY_WINDOW;
  }
  return kick;
}

void StrategyZAMP::AdjustKick() {
  const Models m = FetchModels();
  const KickParameter kick = GameKickParameter(m, ChooseKick(m));
  LineUpKick(m, kick, KickTarget(m, kick));
}

void StrategyZAMP::LineUpKick(const Models& m, const KickParameter& kick,
                              const Eigen::Vector2d& target) {
  const std::pair<double, double> directions = m.info.CulcKickDirections(target, kick.side_offset);
  const double off_line = directions.first;                       // degrees
  const double lateral = directions.second + kick.degree_offset;  // degrees
  const Ball& ball = m.field.GetBall();
  const double foot = ball.GetFootDistance();  // m

  if (std::abs(off_line) > GIVE_UP_DEGREE || foot > GIVE_UP_DISTANCE || !ball.IsVisible()) {
    m.agent.SetCurrentMoveState(AgentState::MS_DRRIBLE);
  } else if (std::abs(off_line) < kick.angle_limit && foot >= kick.distance - kick.window_below &&
             foot <= kick.distance + kick.window_above && std::abs(lateral) < kick.lateral_limit &&
             walk_->GetVerticalSpeed() <= kick.max_forward_target &&
             std::abs(walk_->GetHorizonSpeed()) <= kick.max_sideways_target) {
    m.agent.SetCurrentMoveState(AgentState::MS_DRRIBLE);
    command_ = kick.command;
  }

  // The walk keeps lining up in this cycle; the kick starts with the next behaviour update.
  const double sideways = off_line / STEER_SCALE;
  const double turn = lateral / STEER_SCALE;
  if (foot >= kick.distance + kick.full_speed_range) {
    walk_->SettingSpeed(1.0, 0.0, turn);
    walk_->AdjustSpeed();
  } else if (foot < kick.distance) {
    walk_->SettingSpeed(STEP_BACK_FORWARD, sideways, turn);
    walk_->AdjustSpeed();
  } else if (foot < kick.distance + SLOW_APPROACH_RANGE) {
    walk_->SettingSpeed(Tool::LimitParam(foot * SLOW_APPROACH_GAIN, kick.min_forward_speed, 1.0),
                        sideways, turn);
    walk_->AdjustSpeed();
  } else {
    walk_->SettingSpeed(Tool::LimitParam(foot * FAST_APPROACH_GAIN, kick.min_forward_speed, 1.0),
                        sideways * FAST_APPROACH_SIDEWAYS, turn);
  }
}

}  // namespace zamp
