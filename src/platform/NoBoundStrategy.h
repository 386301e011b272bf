// The unbounded geno-pheno transform of the CMA-ES layer: the search space is the caller's
// space, so both directions copy. The bounds constructor exists so that every GenoPheno
// variant can be built the same way; it ignores its arguments.
#pragma once

#include <Eigen/Core>

namespace libcmaes {

class NoBoundStrategy {
 public:
  NoBoundStrategy() = default;
  NoBoundStrategy(const double* /*lbounds*/, const double* /*ubounds*/, int /*dim*/) {}

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
