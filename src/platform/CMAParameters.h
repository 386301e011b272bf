// The parameters of one CMA-ES search: the strategy constants (ESOParameters) and the
// geno-pheno transform between the search space and the caller's space.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "platform/ESOParameters.h"
#include "platform/GenoPheno.h"
#include "platform/NoBoundStrategy.h"

namespace libcmaes {

template <class TGenoPheno = GenoPheno<NoBoundStrategy>>
class CMAParameters : public ESOParameters {
 public:
  // See ESOParameters for the arguments; x0 is in the caller's (pheno) space and the
  // search starts from its geno image. sigma is a geno-space step.
  CMAParameters(int dim, const double* x0, double sigma, int lambda = -1, std::uint64_t seed = 0,
                const TGenoPheno& gp = TGenoPheno())
      : ESOParameters(dim, x0, sigma, lambda, seed), _gp(gp) {}

  const TGenoPheno& get_gp() const { return _gp; }
  void set_gp(const TGenoPheno& gp) { _gp = gp; }

  TGenoPheno _gp;
};

}  // namespace libcmaes
