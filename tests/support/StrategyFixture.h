// GoogleTest fixture for strategy tests: a StrategyWorld of fresh models and one strategy of
// type S (StrategyZAMP or a role strategy) bound to the world's walk engine, with short
// hands for the team records, the walk's targets and a kick line-up.
//
//   class KeeperTest : public zamp::test::StrategyFixture<zamp::StrategyKeeperZAMP> {
//    protected:
//     KeeperTest() : StrategyFixture(1) {}
//   };
#pragma once

#include <gtest/gtest.h>

#include <Eigen/Core>
#include <cmath>
#include <memory>

#include "core/Tool.h"
#include "motion/TabeWalk.h"
#include "play/ShareMessageZAMP.h"
#include "play/StrategyZAMP.h"
#include "support/StrategyWorld.h"
#include "support/StrategyZAMPTestAccess.h"

namespace zamp {
namespace test {

template <typename S = StrategyZAMP>
class StrategyFixture : public ::testing::Test {
 protected:
  typedef StrategyZAMP::ShareData ShareData;
  typedef StrategyZAMPTestAccess Access;

  explicit StrategyFixture(int uniform_number = 2, AgentTypeID agent_type = AGENT_TYPE_STANDARD)
      : world_(uniform_number, agent_type) {
    NewStrategy();
  }

  S& strategy() { return *strategy_; }
  // Replaces the strategy with a fresh one bound to the same walk engine.
  void NewStrategy() {
    strategy_ = std::make_unique<S>();
    strategy_->walk_ = world_.walk();
  }

  // The record of team mate `uniform_number` as a heard message would leave it: at
  // `position`, seeing the ball at `ball` when it spoke, upright, going to its position,
  // seeing no opponents and aiming at the opponent goal centre.
  static ShareData MateRecord(int uniform_number, const Eigen::Vector2d& position,
                              const Eigen::Vector2d& ball) {
    ShareData record;
    ShareMessageZAMP::InitShareData(record);
    record.uniform_number = uniform_number;
    record.server_time = 10.0;
    record.ball_primary = 10.0;
    record.agent_coord = position;
    record.ball_coord = ball;
    record.behavior = AgentState::BEH_MOVE;
    record.kick_target_coord = Eigen::Vector2d(15.0, 0.0);
    record.is_existence = true;
    return record;
  }
  // The same, stored in the strategy's record of that mate.
  ShareData& Mate(int uniform_number, const Eigen::Vector2d& position,
                  const Eigen::Vector2d& ball) {
    ShareData& record = Access::Record(*strategy_, uniform_number);
    record = MateRecord(uniform_number, position, ball);
    return record;
  }

  // The walk's targets (forward, sideways, turn) as they are.
  void ExpectWalkTargets(double forward, double sideways, double turn) {
    EXPECT_NEAR(walk().GetVerticalSpeed(), forward, 1e-9);
    EXPECT_NEAR(walk().GetHorizonSpeed(), sideways, 1e-9);
    EXPECT_NEAR(walk().GetRotationSpeed(), turn, 1e-9);
  }
  // The walk's targets after raw targets went through the walk's coupling (AdjustSpeed) on
  // a walk at rest.
  void ExpectAdjustedWalkTargets(double forward, double sideways, double turn) {
    TabeWalk reference;
    reference.SettingSpeed(forward, sideways, turn);
    reference.AdjustSpeed();
    ExpectWalkTargets(reference.GetVerticalSpeed(), reference.GetHorizonSpeed(),
                      reference.GetRotationSpeed());
  }

  // Lines the agent up for `kind` towards `aim`, with the walk at rest: the ball
  // at `ball`; the agent 0.2 m behind the ball shifted sideways by the kick's offset A, on
  // the line from the ball towards `aim` turned by `off_line` degrees about the shifted
  // ball, facing the shifted ball with `lateral` degrees of error beyond the kick's L; the
  // ball `foot` m from the foot.
  void LineUp(StrategyZAMP::KickKind kind, const Eigen::Vector2d& ball,
              const Eigen::Vector2d& aim, double off_line, double lateral, double foot) {
    const StrategyZAMP::KickParameter& kick =
        StrategyZAMP::GetKickParameter(kind, world_.agent().GetAgentType());
    const auto unit = [](double degree) {
      const double rad = degree * 3.141592653589793 / 180.0;
      return Eigen::Vector2d(std::cos(rad), std::sin(rad));
    };
    const double line = Tool::CulcDegree(ball, aim, 0.0);
    const Eigen::Vector2d shifted_ball = ball + kick.side_offset * unit(line + 90.0);
    const double approach = line + off_line;
    const Eigen::Vector2d agent = shifted_ball - 0.2 * unit(approach);
    world_.PlaceAgent(agent.x(), agent.y(), approach + kick.degree_offset + lateral);
    world_.PlaceBall(ball.x(), ball.y());
    world_.SetBallFootDistance(foot);
    world_.Update();
    walk().SettingSpeed(0.0, 0.0, 0.0);
    walk().SetStop(false);
    strategy_->command_.clear();
  }
  // The same for the kick the strategy chooses with the ball at `ball`, aimed where it
  // aims, and the agent lining up.
  void LineUp(const Eigen::Vector2d& ball, double off_line, double lateral, double foot) {
    world_.PlaceBall(ball.x(), ball.y());
    world_.Update();
    LineUp(Access::ChooseKick(*strategy_), ball, Access::KickAim(*strategy_), off_line, lateral,
           foot);
    world_.SetMoveState(AgentState::MS_ADJUST_KICK);
  }

  void Elect() { Access::ElectDrribler(*strategy_, world_.world()); }
  int Drribler() { return Access::Drribler(*strategy_); }
  Walk& walk() { return *world_.walk(); }

  StrategyWorld world_;
  std::unique_ptr<S> strategy_;
};

}  // namespace test
}  // namespace zamp
