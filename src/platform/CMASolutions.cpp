#include "platform/CMASolutions.h"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>

namespace libcmaes {

namespace {
// Largest ratio of the covariance's eigenvalues kept; beyond it the decomposition loses
// the small axes to rounding.
constexpr double MAX_CONDITION = 1e14;
}  // namespace

CMASolutions::CMASolutions(const Eigen::VectorXd& xmean, double sigma, int lambda)
    : _xmean(xmean),
      _psigma(Eigen::VectorXd::Zero(xmean.size())),
      _pc(Eigen::VectorXd::Zero(xmean.size())),
      _sigma(sigma),
      _cov(Eigen::MatrixXd::Identity(xmean.size(), xmean.size())),
      _sepcov(Eigen::MatrixXd::Identity(xmean.size(), xmean.size())),
      _candidates(static_cast<std::size_t>(std::max(lambda, 0))),
      _eigenvectors(Eigen::MatrixXd::Identity(xmean.size(), xmean.size())),
      _sqrt_eigenvalues(Eigen::VectorXd::Ones(xmean.size())),
      _bd(Eigen::MatrixXd::Identity(xmean.size(), xmean.size())) {}

void CMASolutions::sort_candidates() {
  // NaN breaks the ordering std::stable_sort needs, so it is placed after every number.
  std::stable_sort(_candidates.begin(), _candidates.end(),
                   [](const Candidate& a, const Candidate& b) {
                     const double fa = a.get_fvalue();
                     const double fb = b.get_fvalue();
                     if (std::isnan(fb)) return !std::isnan(fa);
                     if (std::isnan(fa)) return false;
                     return fa < fb;
                   });
  if (!_candidates.empty()) _best_candidate = _candidates.front();
}

void CMASolutions::update_eigen(const ESOParameters& parameters) {
  if (!_eigen_stale && _eigen_iter >= 0 && _updates - _eigen_iter < parameters._eigen_gap) return;
  const Eigen::Index n = _cov.rows();
  if (!_cov.allFinite()) {
    // Only a replaced covariance can get here (updates are checked before they are kept).
    _cov.setIdentity(n, n);
  }
  _cov = (0.5 * (_cov + _cov.transpose())).eval();
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(_cov);
  if (solver.info() != Eigen::Success || !solver.eigenvalues().allFinite()) {
    // Keep sampling with the previous axes; the next due decomposition tries again.
    _numeric_failure = !_eigenvectors.allFinite();
    return;
  }
  Eigen::VectorXd values = solver.eigenvalues();
  const double largest = values.maxCoeff();
  if (!(largest > 0.0)) {
    // No direction left to search: start the shape afresh rather than sample a point.
    _cov.setIdentity(n, n);
    _eigenvectors.setIdentity(n, n);
    values.setOnes(n);
  } else {
    _eigenvectors = solver.eigenvectors();
    const double smallest = values.minCoeff();
    if (smallest < largest / MAX_CONDITION) {
      const double lift = largest / MAX_CONDITION - smallest;
      _cov.diagonal().array() += lift;
      values.array() += lift;
    }
  }
  _sqrt_eigenvalues = values.cwiseSqrt();
  _bd = _eigenvectors * _sqrt_eigenvalues.asDiagonal();
  _eigen_iter = _updates;
  _eigen_stale = false;
}

bool CMASolutions::degenerate(const ESOParameters& parameters) const {
  if (_numeric_failure) return true;
  if (!std::isfinite(_sigma) || !(_sigma > 0.0) || !_xmean.allFinite() || !_cov.allFinite())
    return true;
  const double largest_sd = std::sqrt(_cov.diagonal().maxCoeff());
  const double max_d = _sqrt_eigenvalues.size() > 0 ? _sqrt_eigenvalues.maxCoeff() : 1.0;
  if (_sigma * largest_sd < 1e-12 * parameters._sigma_init) return true;
  if (_sigma / parameters._sigma_init > 1e20 * max_d) return true;
  return false;
}

}  // namespace libcmaes
