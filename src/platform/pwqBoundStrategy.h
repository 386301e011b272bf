// The piecewise-quadratic box transform of the CMA-ES layer. The search runs in an unbounded
// geno space; every geno vector maps into the box [lbounds, ubounds] of the caller's (pheno)
// space. Inside the box, away from its faces, the map is the identity; near a face it bends
// quadratically onto the face, and beyond the face it folds back periodically, so the map is
// continuous everywhere and every image lies inside the box.
//
// Non-finite inputs (which only a broken search state could produce) map to the box centre,
// so a candidate handed to the caller is always a usable point of the box. A default-built
// strategy has no box and copies.
#pragma once

#include <Eigen/Core>

namespace libcmaes {

class pwqBoundStrategy {
 public:
  pwqBoundStrategy() = default;
  // Throws std::invalid_argument for null bounds, non-finite bounds or a lower bound above
  // its upper bound, since no transform can honour them.
  pwqBoundStrategy(const double* lbounds, const double* ubounds, int dim);

  static constexpr bool is_identity = false;

  // Geno -> pheno: always inside the box. Both vectors have dim() elements (any length when
  // there is no box).
  void to_pheno(const Eigen::Ref<const Eigen::VectorXd>& geno,
                Eigen::Ref<Eigen::VectorXd> pheno) const;
  // Pheno -> geno: the preimage in the identity-or-bend region, so that to_pheno(to_geno(y))
  // is y for every y of the box. Values outside the box are first clamped onto it.
  void to_geno(const Eigen::Ref<const Eigen::VectorXd>& pheno,
               Eigen::Ref<Eigen::VectorXd> geno) const;

  // Number of bounded coordinates; 0 when there is no box.
  int dim() const { return static_cast<int>(_lbounds.size()); }
  const Eigen::VectorXd& get_lbounds() const { return _lbounds; }
  const Eigen::VectorXd& get_ubounds() const { return _ubounds; }

 private:
  double pheno_value(int i, double x) const;
  double geno_value(int i, double y) const;

  Eigen::VectorXd _lbounds;
  Eigen::VectorXd _ubounds;
  // Widths of the quadratic bend at the lower and the upper face of each coordinate.
  Eigen::VectorXd _al;
  Eigen::VectorXd _au;
};

}  // namespace libcmaes
