// The optimiser front of the CMA-ES layer: a strategy (ask, tell, stop) together with a
// loop that scores each generation with the strategy's objective. Ask-and-tell callers use
// the strategy's operations directly and never run the loop.
#pragma once

#include "platform/CMASolutions.h"
#include "platform/FitFunc.h"

namespace libcmaes {

template <class TESOStrategy, class TParameters, class TSolutions = CMASolutions>
class ESOptimizer : public TESOStrategy {
 public:
  ESOptimizer(FitFunc& func, TParameters& parameters) : TESOStrategy(func, parameters) {}

  // Runs generations until stop(): each candidate is scored in its pheno coordinates.
  // Returns the number of generations run. Set a generation limit on the parameters when
  // the objective gives the search no reason to converge.
  int optimize() {
    int generations = 0;
    while (!this->stop()) {
      this->ask();
      TSolutions& solutions = this->get_solutions();
      const int dim = this->get_parameters()._dim;
      for (int r = 0; r < solutions.size(); ++r) {
        Candidate& candidate = solutions.get_candidate(r);
        candidate.set_fvalue(this->_func(candidate.get_x_ptr(), dim));
      }
      this->update_fevals(solutions.size());
      this->tell();
      this->inc_iter();
      ++generations;
    }
    return generations;
  }
};

}  // namespace libcmaes
