// Test seam into the field model: places the ball and other players directly and reads the
// flag pair lists, so play-information and field-state tests need no filtered perception.
#pragma once

#include <Eigen/Core>
#include <utility>
#include <vector>

#include "model/FieldState.h"

namespace zamp {

struct FieldTestAccess {
  // position: m, team frame.
  static void PlaceBall(FieldState& field, const Eigen::Vector3d& position) {
    field.ball_->abs_coord_ = position;
  }

  // index: 0-10 by uniform number minus 1. seen_ago: s since the last sighting (dt_).
  static void PlaceEnemy(FieldState& field, int index, const Eigen::Vector3d& position,
                         double seen_ago, bool visible) {
    OtherPlayer& enemy = *field.enemy_players_[index];
    enemy.abs_coord_ = position;
    enemy.dt_ = seen_ago;
    enemy.visible_ = visible;
  }

  static const std::vector<FieldState::FlagPair>& ForwardPairs(const FieldState& field) {
    return field.flag_forward_pairs_;
  }
  static const std::vector<FieldState::FlagPair>& RightPairs(const FieldState& field) {
    return field.flag_right_pairs_;
  }
  static const std::vector<std::pair<FieldState::FlagPair, FieldState::FlagPair>>&
  RightProductPairs(const FieldState& field) {
    return field.flag_right_product_pairs_;
  }
};

}  // namespace zamp
