#include "platform/CMAGeneration.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace libcmaes {

void CMAGeneration::draw(const ESOParameters& parameters, const CMASolutions& solutions) {
  const int n = parameters._dim;
  const int lambda = parameters._lambda;
  _z.resize(n, lambda);
  for (Eigen::Index i = 0; i < _z.size(); ++i) _z.data()[i] = _normal(_rng);
  _y.resize(n, lambda);
  _y.noalias() = solutions._bd * _z;
  _x.resize(n, lambda);
  _x = (solutions._sigma * _y).colwise() + solutions._xmean;
  _drawn = true;
}

void CMAGeneration::rank(const CMASolutions& solutions) {
  const int lambda = static_cast<int>(_x.cols());
  _fvalues.assign(lambda, std::numeric_limits<double>::quiet_NaN());
  for (int r = 0; r < std::min(lambda, solutions.size()); ++r)
    _fvalues[r] = solutions.get_candidate(r).get_fvalue();
  _order.resize(lambda);
  std::iota(_order.begin(), _order.end(), 0);
  std::stable_sort(_order.begin(), _order.end(), [this](int a, int b) {
    const double fa = _fvalues[a];
    const double fb = _fvalues[b];
    if (std::isnan(fb)) return !std::isnan(fa);
    if (std::isnan(fa)) return false;
    return fa < fb;
  });
}

}  // namespace libcmaes
