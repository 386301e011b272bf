// The strategy constants of the CMA-ES layer that do not depend on the geno-pheno transform:
// dimension, population, recombination weights and the learning rates of step size and
// covariance, as the published CMA-ES defaults give them for the dimension and population
// size. All values are in geno space. CMAParameters adds the transform.
#pragma once

#include <Eigen/Core>
#include <cstdint>

namespace libcmaes {

// Values of ESOParameters::_algo. Only the plain and the active CMA-ES are implemented; the
// restart variants run as the plain one.
const int CMAES_DEFAULT = 0;
const int IPOP_CMAES = 1;
const int BIPOP_CMAES = 2;
const int aCMAES = 3;

class ESOParameters {
 public:
  // x0 (dim values, or null for the origin) is the start point in the caller's space; sigma
  // the initial step size (> 0); lambda the population size, where any value below 2 (the
  // usual -1) selects the default 4 + floor(3 ln dim); seed 0 seeds from the clock.
  // Throws std::invalid_argument for a dimension below 1, a sigma that is not a positive
  // number or a non-finite start point.
  ESOParameters(int dim, const double* x0, double sigma, int lambda, std::uint64_t seed);

  // Stops the search (stop() turns true) after this many generations; 0 or less means no
  // limit, which is the default.
  void set_max_iter(int max_iter) { _max_iter = max_iter; }

  int _dim;
  int _lambda;
  int _mu;  // number of selected (positively weighted) candidates
  double _sigma_init;
  std::uint64_t _seed;  // the seed actually used, also when it came from the clock
  int _algo = CMAES_DEFAULT;
  bool _sep = false;  // separable covariance; not implemented, keep false
  int _max_iter = 0;
  Eigen::VectorXd _x0;  // start point, caller's space

  // Recombination weights for the ranked candidates: the first _mu are positive and sum to
  // 1; the rest are the non-positive weights of the active update (sum of magnitudes below
  // the positive sum), used only when _algo is aCMAES.
  Eigen::VectorXd _weights;
  double _muw;      // variance-effective selection mass of the positive weights
  double _cs;       // step-size path learning rate
  double _csqinv;   // sqrt(cs (2 - cs) muw), normalises the step-size path
  double _cc;       // covariance path learning rate
  double _ccsqinv;  // sqrt(cc (2 - cc) muw)
  double _c1;       // rank-one learning rate
  double _cmu;      // rank-mu learning rate
  double _dsigma;   // step-size damping
  double _chi;      // expected length of an N(0, I) vector of dimension _dim
  int _eigen_gap;   // updates (generations) between two eigen-decompositions
};

}  // namespace libcmaes
