// Shared set-up of the learning tests: a seeded optimiser on a problem of given size, and
// the test functions it minimises.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "learning/CMAES.h"

namespace zamp {
namespace testing_cmaes {

// Completed parameters for a start point of all start_value and equal deviations. As in the
// kick optimisation, the decompositions may take any share of the time: with a smaller share
// the optimiser skips decompositions depending on the CPU time they took, and a run would no
// longer repeat itself from its seed.
inline Parameters<double> MakeParameters(int n, double start_value, double std_dev,
                                         int lambda = -1) {
  Parameters<double> p;
  p.lambda = lambda;
  p.updateCmode.maxtime = 1.0;
  const std::vector<double> x0(n, start_value);
  const std::vector<double> stds(n, std_dev);
  p.init(n, x0.data(), stds.data());
  return p;
}

// An initialised optimiser whose generator starts from seed.
inline std::unique_ptr<CMAES<double>> MakeOptimiser(const Parameters<double>& p, long seed) {
  auto cma = std::make_unique<CMAES<double>>();
  cma->rand.start(seed);
  cma->init(p);
  return cma;
}

inline double Sphere(const double* x, int n) {
  double s = 0;
  for (int i = 0; i < n; ++i) s += x[i] * x[i];
  return s;
}

// Axis scales from 1 to 1e3 (condition 1e6 of the Hessian).
inline double Ellipsoid(const double* x, int n) {
  double s = 0;
  for (int i = 0; i < n; ++i) {
    const double scale = n > 1 ? std::pow(1e3, static_cast<double>(i) / (n - 1)) : 1.0;
    s += scale * scale * x[i] * x[i];
  }
  return s;
}

// One ask-and-tell generation; returns the generation's best fitness.
template <typename F>
double RunGeneration(CMAES<double>& cma, F f) {
  const int n = cma.params.N;
  const double* const* pop = cma.samplePopulation();
  double best = 0;
  for (int k = 0; k < cma.params.lambda; ++k) {
    cma.publicFitness[k] = f(pop[k], n);
    if (k == 0 || cma.publicFitness[k] < best) best = cma.publicFitness[k];
  }
  cma.updateDistribution(cma.publicFitness);
  return best;
}

}  // namespace testing_cmaes
}  // namespace zamp
