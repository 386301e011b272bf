// One evaluated point of a CMA-ES generation: its x in the caller's (pheno) space and the
// objective value (minimised). A candidate not yet evaluated holds a NaN value.
#pragma once

#include <Eigen/Core>
#include <limits>

namespace libcmaes {

class Candidate {
 public:
  Candidate() = default;
  Candidate(double fvalue, const Eigen::VectorXd& x) : _fvalue(fvalue), _x(x) {}

  double get_fvalue() const { return _fvalue; }
  void set_fvalue(double fvalue) { _fvalue = fvalue; }
  Eigen::VectorXd get_x_dvec() const { return _x; }
  const double* get_x_ptr() const { return _x.data(); }
  // Reuses the storage when the size is unchanged, so refilling a generation allocates
  // nothing.
  void set_x(const Eigen::Ref<const Eigen::VectorXd>& x) { _x = x; }

 private:
  double _fvalue = std::numeric_limits<double>::quiet_NaN();
  Eigen::VectorXd _x;
};

}  // namespace libcmaes
