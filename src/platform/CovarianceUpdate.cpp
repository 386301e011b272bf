#include "platform/CovarianceUpdate.h"

#include <algorithm>
#include <cmath>

namespace libcmaes {

void CovarianceUpdate::apply(const ESOParameters& p, CMASolutions& s, const CMAGeneration& g,
                             int updates, bool active) {
  const int n = p._dim;
  const std::vector<int>& order = g.order();
  const int lambda = static_cast<int>(order.size());
  const int mu = std::min(p._mu, lambda);
  const int used = active ? std::min(lambda, static_cast<int>(p._weights.size())) : mu;

  // Ranked steps scaled by the square roots of their weights' magnitudes, positive and
  // negative apart, so the rank-mu term is two symmetric rank updates. Negative weights are
  // rescaled by n / |z|^2, since |C^-1/2 y| = |B z| = |z| for y = B D z.
  Eigen::MatrixXd positive(n, mu);
  Eigen::MatrixXd negative(n, used - mu);
  Eigen::VectorXd yw = Eigen::VectorXd::Zero(n);
  Eigen::VectorXd zw = Eigen::VectorXd::Zero(n);
  double weight_sum = 0.0;
  for (int i = 0; i < used; ++i) {
    const int column = order[i];
    const double w = p._weights[i];
    weight_sum += w;
    if (i < mu) {
      yw.noalias() += w * g.y().col(column);
      zw.noalias() += w * g.z().col(column);
      positive.col(i) = std::sqrt(w) * g.y().col(column);
    } else {
      const double z2 = g.z().col(column).squaredNorm();
      const double magnitude = z2 > 0.0 ? -w * n / z2 : 0.0;
      negative.col(i - mu) = std::sqrt(magnitude) * g.y().col(column);
    }
  }

  const Eigen::VectorXd xmean = s._xmean + s._sigma * yw;
  const Eigen::VectorXd psigma = (1.0 - p._cs) * s._psigma + p._csqinv * (s._eigenvectors * zw);
  const double ps_norm = psigma.norm();
  // The step-size path lags at the start; the stall test compares it with its expected
  // length at this generation.
  const double ps_scale = std::sqrt(1.0 - std::pow(1.0 - p._cs, 2.0 * (updates + 1)));
  const bool hsig = ps_norm / ps_scale < (1.4 + 2.0 / (n + 1.0)) * p._chi;
  const Eigen::VectorXd pc = (1.0 - p._cc) * s._pc + (hsig ? p._ccsqinv : 0.0) * yw;

  const double delta_h = hsig ? 0.0 : p._cc * (2.0 - p._cc);
  const double decay = 1.0 + p._c1 * delta_h - p._c1 - p._cmu * weight_sum;
  // Only the lower triangle is updated, then mirrored.
  Eigen::MatrixXd lower = decay * s._cov;
  lower.selfadjointView<Eigen::Lower>().rankUpdate(pc, p._c1);
  lower.selfadjointView<Eigen::Lower>().rankUpdate(positive, p._cmu);
  if (negative.cols() > 0) lower.selfadjointView<Eigen::Lower>().rankUpdate(negative, -p._cmu);
  const Eigen::MatrixXd cov = lower.selfadjointView<Eigen::Lower>();

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
