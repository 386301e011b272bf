// GoogleTest fixture for strategy tests: a StrategyWorld of fresh shared instances and one
// strategy of type S (StrategyZAMP or a role strategy) bound to the world's walk engine,
// with short hands for the team records.
//
//   class KeeperTest : public zamp::test::StrategyFixture<zamp::StrategyKeeperZAMP> {
//    protected:
//     KeeperTest() : StrategyFixture(1) {}
//   };
#pragma once

#include <gtest/gtest.h>

#include <Eigen/Core>
#include <memory>

#include "motion/TabeWalk.h"
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
    record.uniform_number = uniform_number;
    record.server_time = 10.0;
    record.ball_primary = 10.0;
    record.agent_coord = position;
    record.ball_coord = ball;
    record.ball_distance = 9999.9;
    record.has_fall = false;
    record.ball_nearest_enemy_dist = 9999.9;
    record.behavior = AgentState::BEH_MOVE;
    record.move_state = AgentState::MS_GOTO_POSITION;
    record.enemy_visible_count = 0;
    record.kick_target_coord = Eigen::Vector2d(15.0, 0.0);
    record.is_existence = true;
    record.hear_direction = 0.0;
    record.drrible_primary = 0.0;
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

  void Elect() { Access::ElectDrribler(*strategy_, world_.world()); }
  int Drribler() { return Access::Drribler(*strategy_); }
  Walk& walk() { return *world_.walk(); }

  StrategyWorld world_;
  std::unique_ptr<S> strategy_;
};

}  // namespace test
}  // namespace zamp
