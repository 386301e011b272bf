#include "learning/customCMAStrategy.h"

#include <stdexcept>

namespace libcmaes {

customCMAStrategy::customCMAStrategy(FitFunc& func, Parameters& parameters)
    : Base(func, parameters) {}

Eigen::MatrixXd customCMAStrategy::ask() {
  // The base's ask() mapped through get_gp().pheno(): the base maps every column once
  // already to fill the candidates, so that mapping is handed back rather than repeated.
  sample();
  return pheno_population();
}

void customCMAStrategy::eval(const Eigen::MatrixXd& candidates, const Eigen::VectorXd& fvalues) {
  if (candidates.cols() != fvalues.size() || candidates.cols() > _solutions.size() ||
      candidates.rows() != _parameters._dim)
    throw std::invalid_argument(
        "customCMAStrategy::eval: candidates must be a dim-row matrix with one value per "
        "column and at most lambda columns");
  for (Eigen::Index r = 0; r < candidates.cols(); ++r) {
    Candidate& candidate = _solutions.get_candidate(static_cast<int>(r));
    candidate.set_x(candidates.col(r));
    candidate.set_fvalue(fvalues[r]);
  }
  update_fevals(static_cast<int>(candidates.cols()));
}

void customCMAStrategy::tell() { Base::tell(); }

bool customCMAStrategy::stop() const { return Base::stop(); }

Eigen::VectorXd TellGeneration(customOptimizer& optimizer, const Eigen::MatrixXd& population,
                               const Eigen::VectorXd& fitness) {
  optimizer.eval(population, fitness);
  optimizer.tell();
  optimizer.inc_iter();
  CMASolutions solutions = optimizer.get_solutions();
  solutions.sort_candidates();
  return solutions.best_candidate().get_x_dvec();
}

}  // namespace libcmaes
