#include "play/StrategyKicker.h"

#include "model/AgentState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

// A kick in open play starts only with the ball within this (m) of the opponent goal
// centre.
const double SHOOT_RANGE = 6.0;
// Foot-to-ball distance (m) of the long kick of robot types 0 and 2.
const double LONG_KICK_DISTANCE = 0.183;

// The corridor the kicker keeps the ball in: a narrower central field and whole field, and
// a firmer side step outside it.
const StrategyZAMP::DrribleZones KICKER_DRRIBLE_ZONES{
    {1.0, 0.0, 26.0, 8.0},  // K
    {0.0, 0.0, 30.0, 5.0},  // W
    45.0,
};

}  // namespace

void StrategyKicker::UpdateState() {
  const Models m = FetchModels();
  const KickModeID kick_mode = m.world.GetKickMode();
  const bool near =
      IsBallNearFoot(m) && m.info.IsBallInCircle(FIELD_WIDTH_HALF_SIZE, 0.0, SHOOT_RANGE);
  const bool start_kick = kick_mode == KM_KICK_IN_US || kick_mode == KM_CORNER_KICK_US ||
                          (near && CanKickInOpenPlay(m));
  StepMoveState(m, start_kick, ShouldGiveUpKick(m));
}

void StrategyKicker::Drrible() { DrribleIn(KICKER_DRRIBLE_ZONES); }

void StrategyKicker::AdjustKick() {
  const Models m = FetchModels();
  const KickKind kind = ChooseKick(m);
  KickParameter kick = GameKickParameter(m, kind);
  const AgentTypeID type = m.agent.GetAgentType();
  if (kind == KICK_LONG &&
      (type == AGENT_TYPE_STANDARD || type == AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL)) {
    kick.distance = LONG_KICK_DISTANCE;
  }
  LineUpKick(m, kick, KickTarget(m, kick));
}

}  // namespace zamp
