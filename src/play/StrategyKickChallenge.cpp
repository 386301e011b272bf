#include "play/StrategyKickChallenge.h"

#include "core/Tool.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "motion/Walk.h"

namespace zamp {

namespace {

// The agent waits while the ball is this far (m) from its foot.
const double WAIT_DISTANCE = 2.0;
// Every kick goes towards the field centre; within this (m) of it the ball is tapped.
const Eigen::Vector2d KICK_TARGET(0.0, 0.0);
const double QUICK_KICK_RADIUS = 5.5;
// Foot-to-ball distance (m) of the long kick of robot types 0 and 2, and the window (m)
// around D of both kicks.
const double LONG_KICK_DISTANCE = 0.2;
const double KICK_WINDOW = 0.015;
// The kick waits until the walk hardly steps sideways; beyond D + FULL_SPEED_RANGE (m) the
// agent walks straight at the ball at full speed.
const double MAX_SIDEWAYS_TARGET = 0.1;
const double FULL_SPEED_RANGE = 1.0;

}  // namespace

void StrategyKickChallenge::Run() {
  const Models m = FetchModels();
  if (walk_) {
    if (m.field.GetBall().GetFootDistance() >= WAIT_DISTANCE) {
      walk_->SetStop(true);
    } else {
      AdjustKick();
    }
  }
  ControlHead();
}

void StrategyKickChallenge::UpdateHear() {
  if (!HearTeam()) return;
  const Models m = FetchModels();
  most_ball_update_->ball_coord = Tool::RemoveVectZ(m.agent.GetCoordinates());
  drrible_agent_unum_ = m.agent.GetUniformNumber();
}

void StrategyKickChallenge::AdjustKick() {
  const Models m = FetchModels();
  const KickKind kind = m.info.IsBallInCircle(KICK_TARGET.x(), KICK_TARGET.y(), QUICK_KICK_RADIUS)
                            ? KICK_QUICK
                            : KICK_LONG;
  const AgentTypeID type = m.agent.GetAgentType();
  KickParameter kick = GetKickParameter(kind, type);
  if (kind == KICK_LONG &&
      (type == AGENT_TYPE_STANDARD || type == AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL)) {
    kick.distance = LONG_KICK_DISTANCE;
  }
  kick.window_below = KICK_WINDOW;
  kick.window_above = KICK_WINDOW;
  kick.min_forward_speed = 0.0;
  kick.max_sideways_target = MAX_SIDEWAYS_TARGET;
  kick.full_speed_range = FULL_SPEED_RANGE;
  LineUpKick(m, kick, ShiftedKickTarget(m, kick, KICK_TARGET));
}

}  // namespace zamp
