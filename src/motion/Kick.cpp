#include "motion/Kick.h"

#include <utility>

#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/StrategyInformation.h"

namespace zamp {

Kick::Kick()
    : threshold_dist_(0.0),
      threshold_ball_dir_(0.0),
      threshold_target_dir_(0.0),
      shift_kick_point_(0.0),
      max_dist_(0.0) {}

Kick::~Kick() {}

Kick::FixParam Kick::CulcKickPositionParam(Eigen::Vector2d target) const {
  const StrategyInformation& info = *Singleton<StrategyInformation>::GetInstance();
  const std::pair<double, double> directions = info.CulcKickDirections(target, shift_kick_point_);
  // The difference of two wrapped directions spans [-360, 360]; a kick line near the -x
  // direction would otherwise report a small bend as nearly a full turn.
  return {Tool::LimitDegree180(directions.first), directions.second};
}

}  // namespace zamp
