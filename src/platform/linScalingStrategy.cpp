#include "platform/linScalingStrategy.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace libcmaes {

namespace {
// Width of the geno-space interval the box is stretched to.
constexpr double SCALED_WIDTH = 10.0;
}  // namespace

linScalingStrategy::linScalingStrategy(const double* lbounds, const double* ubounds, int dim) {
  if (dim < 0) throw std::invalid_argument("linScalingStrategy: negative dimension");
  if (dim > 0 && (lbounds == nullptr || ubounds == nullptr))
    throw std::invalid_argument("linScalingStrategy: missing bounds");
  _scaling.resize(dim);
  _shift.resize(dim);
  for (int i = 0; i < dim; ++i) {
    const double lb = lbounds[i];
    const double ub = ubounds[i];
    if (!std::isfinite(lb) || !std::isfinite(ub) || !(lb < ub))
      throw std::invalid_argument("linScalingStrategy: bounds of coordinate " + std::to_string(i) +
                                  " must be finite with lower < upper");
    _scaling[i] = SCALED_WIDTH / (ub - lb);
    _shift[i] = -lb * _scaling[i];
  }
}

void linScalingStrategy::to_pheno(const Eigen::Ref<const Eigen::VectorXd>& geno,
                                  Eigen::Ref<Eigen::VectorXd> pheno) const {
  if (_scaling.size() == 0) {
    pheno = geno;
    return;
  }
  if (geno.size() != _scaling.size() || pheno.size() != _scaling.size())
    throw std::invalid_argument("linScalingStrategy: vector size does not match the bounds");
  pheno = (geno - _shift).cwiseQuotient(_scaling);
}

void linScalingStrategy::to_geno(const Eigen::Ref<const Eigen::VectorXd>& pheno,
                                 Eigen::Ref<Eigen::VectorXd> geno) const {
  if (_scaling.size() == 0) {
    geno = pheno;
    return;
  }
  if (geno.size() != _scaling.size() || pheno.size() != _scaling.size())
    throw std::invalid_argument("linScalingStrategy: vector size does not match the bounds");
  geno = pheno.cwiseProduct(_scaling) + _shift;
}

}  // namespace libcmaes
