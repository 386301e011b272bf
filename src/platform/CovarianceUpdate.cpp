#include "platform/CovarianceUpdate.h"

#include <algorithm>
#include <cmath>

namespace libcmaes {

void CovarianceUpdate::apply(const ESOParameters& p, CMASolutions& s, const CMAGeneration& g,
                             int niter, bool active) {
  const int n = p._dim;
  const std::vector<int>& order = g.order();
  const int lambda = static_cast<int>(order.size());
  const int mu = std::min(p._mu, lambda);
  const int used = active ? std::min(lambda, static_cast<int>(p._weights.size())) : mu;

  // Ranked steps and their weights; negative weights are rescaled by n / |z|^2, since
  // |C^-1/2 y| = |B z| = |z| for y = B D z.
  Eigen::MatrixXd ranked_y(n, used);
  Eigen::VectorXd weights(used);
  Eigen::VectorXd yw = Eigen::VectorXd::Zero(n);
  Eigen::VectorXd zw = Eigen::VectorXd::Zero(n);
  double weight_sum = 0.0;
  for (int i = 0; i < used; ++i) {
    const int column = order[i];
    ranked_y.col(i) = g.y().col(column);
    const double w = p._weights[i];
    weight_sum += w;
    if (i < mu) {
      yw.noalias() += w * g.y().col(column);
      zw.noalias() += w * g.z().col(column);
      weights[i] = w;
    } else {
      const double z2 = g.z().col(column).squaredNorm();
      weights[i] = z2 > 0.0 ? w * n / z2 : 0.0;
    }
  }

  const Eigen::VectorXd xmean = s._xmean + s._sigma * yw;
  const Eigen::VectorXd psigma = (1.0 - p._cs) * s._psigma + p._csqinv * (s._eigenvectors * zw);
  const double ps_norm = psigma.norm();
  // The step-size path lags at the start; the stall test compares it with its expected
  // length at this generation.
  const double ps_scale = std::sqrt(1.0 - std::pow(1.0 - p._cs, 2.0 * (niter + 1)));
  const bool hsig = ps_norm / ps_scale < (1.4 + 2.0 / (n + 1.0)) * p._chi;
  const Eigen::VectorXd pc = (1.0 - p._cc) * s._pc + (hsig ? p._ccsqinv : 0.0) * yw;

  const double delta_h = hsig ? 0.0 : p._cc * (2.0 - p._cc);
  const double decay = 1.0 + p._c1 * delta_h - p._c1 - p._cmu * weight_sum;
  Eigen::MatrixXd cov = decay * s._cov;
  cov.noalias() += p._c1 * pc * pc.transpose();
  const Eigen::MatrixXd weighted = ranked_y * weights.asDiagonal();
  cov.noalias() += p._cmu * weighted * ranked_y.transpose();
  cov = (0.5 * (cov + cov.transpose())).eval();

  // A step-size change of more than a factor e per generation is capped: it only happens
  // when the path is far off its expected length and then misleads.
  const double sigma =
      s._sigma * std::exp(std::min(1.0, p._cs / p._dsigma * (ps_norm / p._chi - 1.0)));

  if (!xmean.allFinite() || !psigma.allFinite() || !pc.allFinite() || !cov.allFinite() ||
      !std::isfinite(sigma) || !(sigma > 0.0)) {
    s._numeric_failure = true;
    return;
  }
  s._xmean = xmean;
  s._psigma = psigma;
  s._pc = pc;
  s._cov = cov;
  s._sigma = sigma;
}

}  // namespace libcmaes
