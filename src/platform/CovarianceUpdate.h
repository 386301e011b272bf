// The CMA-ES update of the distribution after one ranked generation, in geno space:
// weighted recombination of the mean, cumulative step-size adaptation, and the rank-one plus
// rank-mu covariance update. When the parameters select aCMAES (or through
// ACovarianceUpdate) the worse half of the generation also enters with negative weights
// (active CMA-ES), which shrinks the covariance along directions that did badly; those
// weights are rescaled per candidate by n / |C^-1/2 y|^2 so the covariance stays positive
// definite.
//
// The new state is computed aside and kept only if it is finite; otherwise the state is
// left as it was and the solutions are marked as failed, so no NaN reaches the caller.
#pragma once

#include "platform/CMAGeneration.h"
#include "platform/CMASolutions.h"
#include "platform/ESOParameters.h"

namespace libcmaes {

class CovarianceUpdate {
 public:
  // updates is the number of updates applied before this one.
  static void update(const ESOParameters& parameters, CMASolutions& solutions,
                     const CMAGeneration& generation, int updates) {
    apply(parameters, solutions, generation, updates, parameters._algo == aCMAES);
  }

  static void apply(const ESOParameters& parameters, CMASolutions& solutions,
                    const CMAGeneration& generation, int updates, bool active);
};

// The active update whatever ESOParameters::_algo says.
class ACovarianceUpdate {
 public:
  static void update(const ESOParameters& parameters, CMASolutions& solutions,
                     const CMAGeneration& generation, int updates) {
    CovarianceUpdate::apply(parameters, solutions, generation, updates, true);
  }
};

}  // namespace libcmaes
