#include "platform/ESOParameters.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

namespace libcmaes {

ESOParameters::ESOParameters(int dim, const double* x0, double sigma, int lambda,
                             std::uint64_t seed)
    : _dim(dim), _sigma_init(sigma), _seed(seed) {
  if (dim < 1) throw std::invalid_argument("CMAParameters: dimension must be at least 1");
  if (!std::isfinite(sigma) || !(sigma > 0.0))
    throw std::invalid_argument("CMAParameters: sigma must be a positive number");
  _x0 = Eigen::VectorXd::Zero(dim);
  if (x0 != nullptr) {
    for (int i = 0; i < dim; ++i) {
      if (!std::isfinite(x0[i]))
        throw std::invalid_argument("CMAParameters: start point must be finite");
      _x0[i] = x0[i];
    }
  }
  if (_seed == 0) {
    // Zero is the "choose for me" value, so a clock reading of zero is moved off it.
    _seed = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    if (_seed == 0) _seed = 1;
  }

  const double n = dim;
  _lambda = lambda >= 2 ? lambda : 4 + static_cast<int>(std::floor(3.0 * std::log(n)));
  _mu = _lambda / 2;

  // Raw log-rank weights; positive for the better half, negative for the worse half.
  Eigen::VectorXd raw(_lambda);
  for (int i = 0; i < _lambda; ++i) raw[i] = std::log((_lambda + 1) / 2.0) - std::log(i + 1.0);
  const Eigen::VectorXd positive = raw.head(_mu);
  _muw = positive.sum() * positive.sum() / positive.squaredNorm();

  const double alpha_cov = 2.0;
  _cs = (_muw + 2.0) / (n + _muw + 5.0);
  _cc = (4.0 + _muw / n) / (n + 4.0 + 2.0 * _muw / n);
  _c1 = alpha_cov / ((n + 1.3) * (n + 1.3) + _muw);
  _cmu = std::min(1.0 - _c1, alpha_cov * (0.25 + _muw + 1.0 / _muw - 2.0) /
                                 ((n + 2.0) * (n + 2.0) + alpha_cov * _muw / 2.0));
  _dsigma = 1.0 + 2.0 * std::max(0.0, std::sqrt((_muw - 1.0) / (n + 1.0)) - 1.0) + _cs;
  _csqinv = std::sqrt(_cs * (2.0 - _cs) * _muw);
  _ccsqinv = std::sqrt(_cc * (2.0 - _cc) * _muw);
  _chi = std::sqrt(n) * (1.0 - 1.0 / (4.0 * n) + 1.0 / (21.0 * n * n));

  _weights.resize(_lambda);
  _weights.head(_mu) = positive / positive.sum();
  // Negative weights are scaled so that the active update neither outweighs the positive
  // one nor, with the per-candidate rescaling in the update, can make the covariance
  // indefinite.
  const int negatives = _lambda - _mu;
  if (negatives > 0) {
    const Eigen::VectorXd negative = raw.tail(negatives);
    const double negative_mass = -negative.sum();
    if (negative_mass > 0.0) {
      const double muw_minus = negative.sum() * negative.sum() / negative.squaredNorm();
      const double alpha_mu = 1.0 + _c1 / _cmu;
      const double alpha_muw = 1.0 + 2.0 * muw_minus / (_muw + 2.0);
      const double alpha_posdef = (1.0 - _c1 - _cmu) / (n * _cmu);
      const double scale = std::min({alpha_mu, alpha_muw, alpha_posdef}) / negative_mass;
      _weights.tail(negatives) = negative * scale;
    } else {
      _weights.tail(negatives).setZero();
    }
  }

  // The decomposition costs O(n^3) but the covariance moves by only c1 + cmu per
  // generation, so it may lag by 1 / (10 n (c1 + cmu)) generations.
  _eigen_gap = std::max(1, static_cast<int>(std::floor(1.0 / (10.0 * n * (_c1 + _cmu)))));
}

}  // namespace libcmaes
