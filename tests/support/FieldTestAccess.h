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

  // m/s, team frame.
  static void SetBallSpeed(FieldState& field, const Eigen::Vector3d& speed) {
    field.ball_->speed_ = speed;
  }

  // s, server time of the ball's last sighting.
  static void SetBallUpdateTime(FieldState& field, double update_time) {
    field.ball_->update_time_ = update_time;
  }

  // Team mate `index` (0-10 by uniform number minus 1) as the field model estimates it:
  // position m, team frame, and whether it lies on the ground.
  static void PlaceMate(FieldState& field, int index, const Eigen::Vector3d& position,
                        bool fallen) {
    OtherPlayer& mate = *field.us_players_[index];
    mate.abs_coord_ = position;
    mate.is_fall_ = fallen;
  }

  // degrees: the ball's horizontal angle as the kicks read it (positive to the left).
  static void SetBallHorizonDegree(FieldState& field, double degree) {
    field.ball_->horizon_degree_ = degree;
  }

  // index: 0-10 by uniform number minus 1. seen_ago: s since the last sighting (dt_).
  static void PlaceEnemy(FieldState& field, int index, const Eigen::Vector3d& position,
                         double seen_ago, bool visible) {
    OtherPlayer& enemy = *field.enemy_players_[index];
    enemy.abs_coord_ = position;
    enemy.dt_ = seen_ago;
    enemy.visible_ = visible;
  }

  // The ball's sighting as the field model would leave it: polar (distance m, horizontal
  // and vertical degrees), the horizontal distance from the foot (m), the angles with the
  // neck added (degrees), whether it was seen this cycle and how long ago (s).
  static void SetBallSighting(FieldState& field, const Eigen::Vector3d& polar, double foot_distance,
                              double horizon_degree, double vertical_degree, bool visible,
                              double seen_ago) {
    Ball& ball = *field.ball_;
    ball.polar_coord_ = polar;
    ball.foot_distance_ = foot_distance;
    ball.horizon_degree_ = horizon_degree;
    ball.vertical_degree_ = vertical_degree;
    ball.visible_ = visible;
    ball.dt_ = seen_ago;
  }

  // One visible part of team mate `index` (0-10 by uniform number minus 1) as seen this
  // cycle, or not seen; foot_distance in m, horizon_degree in degrees.
  static void SetMatePart(FieldState& field, int index, VisiblePartID part, bool visible,
                          double foot_distance, double horizon_degree) {
    VisiblePart& seen = field.us_players_[index]->visible_part_[part];
    seen.visible_ = visible;
    seen.foot_distance_ = foot_distance;
    seen.horizon_degree_ = horizon_degree;
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
