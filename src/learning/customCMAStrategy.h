// The ask-and-tell strategy of the walk and kick optimisation agents, declared in the CMA-ES
// layer's namespace. The agents score candidates themselves, one trial at a time on the
// training server, so the objective handed to the constructor is never used for scoring.
// ask() returns candidates already in the bounded parameter space (one per column, in the
// agents' units); eval() hands their scores back (minimised).
#pragma once

#include <Eigen/Core>

#include "platform/CMAParameters.h"
#include "platform/CMAStrategy.h"
#include "platform/CovarianceUpdate.h"
#include "platform/ESOptimizer.h"
#include "platform/FitFunc.h"
#include "platform/GenoPheno.h"
#include "platform/NoScalingStrategy.h"
#include "platform/pwqBoundStrategy.h"

namespace libcmaes {

class customCMAStrategy
    : public CMAStrategy<CovarianceUpdate, GenoPheno<pwqBoundStrategy, NoScalingStrategy>> {
 public:
  typedef CMAStrategy<CovarianceUpdate, GenoPheno<pwqBoundStrategy, NoScalingStrategy>> Base;
  typedef CMAParameters<GenoPheno<pwqBoundStrategy, NoScalingStrategy>> Parameters;

  customCMAStrategy(FitFunc& func, Parameters& parameters);

  // A new generation mapped into the box: _dim rows, _lambda columns.
  Eigen::MatrixXd ask();
  // Candidate r of the solutions takes column r of candidates (the bounded coordinates the
  // agent tried) and the value fvalues[r]; the evaluation count grows by the number of
  // columns. tell() ranks the samples kept from ask() by these values in column order, so
  // the columns must be those ask() returned, in the same order. Throws
  // std::invalid_argument when the shapes do not fit the generation.
  void eval(const Eigen::MatrixXd& candidates, const Eigen::VectorXd& fvalues);
  void tell();
  bool stop() const;
};

// The optimiser of the walk and kick optimisation agents.
using customOptimizer = ESOptimizer<customCMAStrategy, customCMAStrategy::Parameters>;

// Ends a generation the agent scored itself: hands the fitness of each column over, updates
// the distribution, counts the generation and returns the best candidate of the generation,
// in the bounded space it was tried in. The caller appends the resume block.
Eigen::VectorXd TellGeneration(customOptimizer& optimizer, const Eigen::MatrixXd& population,
                               const Eigen::VectorXd& fitness);

}  // namespace libcmaes
