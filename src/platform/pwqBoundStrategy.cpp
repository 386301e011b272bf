#include "platform/pwqBoundStrategy.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace libcmaes {

pwqBoundStrategy::pwqBoundStrategy(const double* lbounds, const double* ubounds, int dim) {
  if (dim < 0) throw std::invalid_argument("pwqBoundStrategy: negative dimension");
  if (dim > 0 && (lbounds == nullptr || ubounds == nullptr))
    throw std::invalid_argument("pwqBoundStrategy: missing bounds");
  _lbounds.resize(dim);
  _ubounds.resize(dim);
  _al.resize(dim);
  _au.resize(dim);
  for (int i = 0; i < dim; ++i) {
    const double lb = lbounds[i];
    const double ub = ubounds[i];
    if (!std::isfinite(lb) || !std::isfinite(ub) || lb > ub)
      throw std::invalid_argument("pwqBoundStrategy: bounds of coordinate " + std::to_string(i) +
                                  " must be finite with lower <= upper");
    _lbounds[i] = lb;
    _ubounds[i] = ub;
    // The bend is narrow compared with the box and with the bound's magnitude, so most of
    // the box is searched without distortion.
    _al[i] = std::min((ub - lb) / 2.0, (1.0 + std::fabs(lb)) / 20.0);
    _au[i] = std::min((ub - lb) / 2.0, (1.0 + std::fabs(ub)) / 20.0);
  }
}

double pwqBoundStrategy::pheno_value(int i, double x) const {
  const double lb = _lbounds[i];
  const double ub = _ubounds[i];
  const double al = _al[i];
  const double au = _au[i];
  if (!(ub > lb)) return lb;
  const double centre = lb + (ub - lb) / 2.0;
  // The map is periodic with period r over [xlow, xlow + r); fold x into that interval.
  const double xlow = lb - 2.0 * al - (ub - lb) / 2.0;
  const double r = 2.0 * (ub - lb + al + au);
  const double offset = x - xlow;
  if (!std::isfinite(offset)) return centre;
  if (offset < 0.0 || offset >= r) {
    x = xlow + std::fmod(offset, r);
    if (x < xlow) x += r;
  }
  // Mirror the two outer pieces onto the bend regions.
  if (x < lb - al) x += 2.0 * (lb - al - x);
  if (x > ub + au) x -= 2.0 * (x - ub - au);
  if (x < lb + al) {
    x = lb + (x - (lb - al)) * (x - (lb - al)) / (4.0 * al);
  } else if (x > ub - au) {
    x = ub - (x - (ub + au)) * (x - (ub + au)) / (4.0 * au);
  }
  // Rounding in the fold may leave x a few ulps outside.
  return std::clamp(x, lb, ub);
}

double pwqBoundStrategy::geno_value(int i, double y) const {
  const double lb = _lbounds[i];
  const double ub = _ubounds[i];
  const double al = _al[i];
  const double au = _au[i];
  if (!(ub > lb)) return lb;
  if (!std::isfinite(y)) y = lb + (ub - lb) / 2.0;
  y = std::clamp(y, lb, ub);
  if (y < lb + al) return (lb - al) + 2.0 * std::sqrt(al * (y - lb));
  if (y > ub - au) return (ub + au) - 2.0 * std::sqrt(au * (ub - y));
  return y;
}

void pwqBoundStrategy::to_pheno(const Eigen::Ref<const Eigen::VectorXd>& geno,
                                Eigen::Ref<Eigen::VectorXd> pheno) const {
  if (_lbounds.size() == 0) {
    pheno = geno;
    return;
  }
  if (geno.size() != _lbounds.size() || pheno.size() != _lbounds.size())
    throw std::invalid_argument("pwqBoundStrategy: vector size does not match the bounds");
  for (Eigen::Index i = 0; i < geno.size(); ++i)
    pheno[i] = pheno_value(static_cast<int>(i), geno[i]);
}

void pwqBoundStrategy::to_geno(const Eigen::Ref<const Eigen::VectorXd>& pheno,
                               Eigen::Ref<Eigen::VectorXd> geno) const {
  if (_lbounds.size() == 0) {
    geno = pheno;
    return;
  }
  if (geno.size() != _lbounds.size() || pheno.size() != _lbounds.size())
    throw std::invalid_argument("pwqBoundStrategy: vector size does not match the bounds");
  for (Eigen::Index i = 0; i < pheno.size(); ++i)
    geno[i] = geno_value(static_cast<int>(i), pheno[i]);
}

}  // namespace libcmaes
