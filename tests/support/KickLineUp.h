// Places the agent of a StrategyWorld lined up for a kick, so kick tests can state how far
// off the line and how far from the ball the agent stands.
#pragma once

#include <Eigen/Core>
#include <cmath>

#include "core/Tool.h"
#include "play/StrategyZAMP.h"
#include "support/StrategyWorld.h"

namespace zamp {
namespace test {

// The ball at `ball`; the agent 0.2 m behind the ball shifted sideways by the kick's
// offset A, on the line from the ball towards `aim` turned by `off_line` degrees about the
// shifted ball, facing the shifted ball with `lateral` degrees of error beyond the kick's L
// (the line-up then turns by -lateral); the ball `foot` m from the foot. Degrees, metres.
inline void LineUpForKick(StrategyWorld& world, const StrategyZAMP::KickParameter& kick,
                          const Eigen::Vector2d& ball, const Eigen::Vector2d& aim, double off_line,
                          double lateral, double foot) {
  const double pi = 3.141592653589793;
  const auto unit = [pi](double degree) {
    return Eigen::Vector2d(std::cos(degree * pi / 180.0), std::sin(degree * pi / 180.0));
  };
  const double line = Tool::CulcDegree(ball, aim, 0.0);
  const Eigen::Vector2d shifted_ball = ball + kick.side_offset * unit(line + 90.0);
  const double approach = line + off_line;
  const Eigen::Vector2d agent = shifted_ball - 0.2 * unit(approach);
  world.PlaceAgent(agent.x(), agent.y(), approach + kick.degree_offset + lateral);
  world.PlaceBall(ball.x(), ball.y());
  world.SetBallFootDistance(foot);
  world.Update();
}

}  // namespace test
}  // namespace zamp
