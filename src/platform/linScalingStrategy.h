// The linear scaling of the CMA-ES layer: the search runs in a geno space where the box
// [lbounds, ubounds] of the caller's space becomes [0, 10] in every coordinate, so that
// coordinates of very different ranges get comparable step sizes. A default-built strategy
// does not scale.
#pragma once

#include <Eigen/Core>

namespace libcmaes {

class linScalingStrategy {
 public:
  linScalingStrategy() = default;
  // Throws std::invalid_argument for null or non-finite bounds or an empty range
  // (lower >= upper), which no linear map can stretch to [0, 10].
  linScalingStrategy(const double* lbounds, const double* ubounds, int dim);

  static constexpr bool is_identity = false;

  void to_pheno(const Eigen::Ref<const Eigen::VectorXd>& geno,
                Eigen::Ref<Eigen::VectorXd> pheno) const;
  void to_geno(const Eigen::Ref<const Eigen::VectorXd>& pheno,
               Eigen::Ref<Eigen::VectorXd> geno) const;

  int dim() const { return static_cast<int>(_scaling.size()); }

 private:
  // geno = pheno * _scaling + _shift, element by element.
  Eigen::VectorXd _scaling;
  Eigen::VectorXd _shift;
};

}  // namespace libcmaes
