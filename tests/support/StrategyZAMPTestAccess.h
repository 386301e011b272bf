// Test seam into the game strategy: its team records and election results, and its
// protected operations, so strategy tests can set a situation and run one step of it.
// Works on every strategy derived from StrategyZAMP (the operations dispatch virtually).
#pragma once

#include <Eigen/Core>
#include <vector>

#include "model/AgentState.h"
#include "model/WorldState.h"
#include "play/StrategyZAMP.h"

namespace zamp {

struct StrategyZAMPTestAccess {
  typedef StrategyZAMP::ShareData ShareData;

  // The record of a uniform number from 1 to 11.
  static ShareData& Record(StrategyZAMP& strategy, int uniform_number) {
    return *strategy.AgentDataOf(uniform_number);
  }
  static ShareData* Find(StrategyZAMP& strategy, int uniform_number) {
    return strategy.AgentDataOf(uniform_number);
  }
  static std::vector<ShareData*>& Ranking(StrategyZAMP& strategy) {
    return strategy.sorting_agent_data_;
  }
  static const ShareData* TrustedBall(const StrategyZAMP& strategy) {
    return strategy.most_ball_update_;
  }
  static const ShareData* LatestHeard(const StrategyZAMP& strategy) {
    return strategy.current_agent_update_;
  }
  static Eigen::Vector2d& KickTarget(StrategyZAMP& strategy) { return strategy.kick_target_coord_; }
  static double& TeamBallEnemyDistance(StrategyZAMP& strategy) {
    return strategy.team_ball_nearest_enemy_dist_;
  }
  static int& Drribler(StrategyZAMP& strategy) { return strategy.drrible_agent_unum_; }

  static void UpdateState(StrategyZAMP& strategy) { strategy.UpdateState(); }
  static void Drrible(StrategyZAMP& strategy) { strategy.Drrible(); }
  static void Position(StrategyZAMP& strategy) { strategy.Position(); }
  static void AdjustKick(StrategyZAMP& strategy) { strategy.AdjustKick(); }
  static void Evade(StrategyZAMP& strategy, const Eigen::Vector2d& target) {
    strategy.Evade(target);
  }
  static Eigen::Vector2d DecidePosition(StrategyZAMP& strategy) {
    return strategy.DecidePosition();
  }
  static void SettingPosition(StrategyZAMP& strategy,
                              Eigen::Vector2d positions[StrategyZAMP::POSITION_NUM]) {
    strategy.SettingPosition(positions);
  }
  static void ControlHead(StrategyZAMP& strategy) { strategy.ControlHead(); }
  static void ElectDrribler(StrategyZAMP& strategy, const WorldState& world) {
    strategy.ElectDrribler(world);
  }
  // The kick this situation calls for, and where it is aimed.
  static StrategyZAMP::KickKind ChooseKick(StrategyZAMP& strategy) {
    return strategy.ChooseKick(strategy.FetchModels());
  }
  static Eigen::Vector2d KickAim(StrategyZAMP& strategy) {
    const StrategyZAMP::Models models = strategy.FetchModels();
    const StrategyZAMP::KickParameter& kick =
        StrategyZAMP::GetKickParameter(strategy.ChooseKick(models), models.agent.GetAgentType());
    return strategy.KickTarget(models, kick);
  }
};

}  // namespace zamp
