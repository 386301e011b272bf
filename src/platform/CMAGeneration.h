// One generation of a CMA-ES search in geno space, kept from ask to tell: the standard
// normal draws z, the steps y = B D z and the candidates x = mean + sigma y, one per column,
// and the ranking of their objective values. The update works from these kept samples, not
// from the candidates' x, which hold the caller's (pheno) coordinates.
#pragma once

#include <Eigen/Core>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/CMASolutions.h"
#include "platform/ESOParameters.h"
#include "platform/ZigguratNormal.h"

namespace libcmaes {

class CMAGeneration {
 public:
  explicit CMAGeneration(std::uint64_t seed) : _rng(seed) {}

  // Draws _lambda candidates from the solutions' current distribution; equal seeds give
  // equal sequences of generations.
  void draw(const ESOParameters& parameters, const CMASolutions& solutions);
  // Ranks the drawn columns by the objective values of the candidates with the same index,
  // best first; NaN ranks last, ties keep column order.
  void rank(const CMASolutions& solutions);
  // Marks the generation as used by an update, so it cannot be applied twice.
  void consume() { _drawn = false; }

  bool drawn() const { return _drawn; }
  const Eigen::MatrixXd& z() const { return _z; }
  const Eigen::MatrixXd& y() const { return _y; }
  const Eigen::MatrixXd& x() const { return _x; }
  const std::vector<int>& order() const { return _order; }

 private:
  std::mt19937_64 _rng;
  ZigguratNormal _normal;
  Eigen::MatrixXd _z;
  Eigen::MatrixXd _y;
  Eigen::MatrixXd _x;
  std::vector<int> _order;
  std::vector<double> _fvalues;
  bool _drawn = false;
};

}  // namespace libcmaes
