// The identity scaling of the CMA-ES layer: the search runs on the caller's own scale. The
// bounds constructor exists so that every GenoPheno variant can be built the same way.
#pragma once

#include <Eigen/Core>

namespace libcmaes {

class NoScalingStrategy {
 public:
  NoScalingStrategy() = default;
  NoScalingStrategy(const double* /*lbounds*/, const double* /*ubounds*/, int /*dim*/) {}

  static constexpr bool is_identity = true;

  void to_pheno(const Eigen::Ref<const Eigen::VectorXd>& geno,
                Eigen::Ref<Eigen::VectorXd> pheno) const {
    pheno = geno;
  }
  void to_geno(const Eigen::Ref<const Eigen::VectorXd>& pheno,
               Eigen::Ref<Eigen::VectorXd> geno) const {
    geno = pheno;
  }
};

}  // namespace libcmaes
