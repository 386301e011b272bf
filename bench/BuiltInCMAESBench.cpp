// Cost of one generation of the built-in CMA-ES optimiser at the kick optimisation's size:
// 59 parameters, 200 candidates, a full eigen-decomposition every generation. The fitness
// is the sphere, whose evaluation is negligible next to the optimiser's own work.
#include <benchmark/benchmark.h>

#include <vector>

#include "learning/CMAES.h"

namespace {

constexpr int kDimension = 59;
constexpr int kLambda = 200;
// The sphere run is restarted well before its step size reaches subnormal numbers.
constexpr int kGenerationsPerRun = 100;

zamp::Parameters<double> KickParameters() {
  zamp::Parameters<double> p;
  p.stopTolX = 1e-11;
  p.updateCmode.maxtime = 1.0;
  p.lambda = kLambda;
  const std::vector<double> x0(kDimension, 1.0), stds(kDimension, 2.0);
  p.init(kDimension, x0.data(), stds.data());
  return p;
}

void BM_BuiltInCMAESGeneration(benchmark::State& state) {
  const zamp::Parameters<double> p = KickParameters();
  zamp::CMAES<double> cma;
  cma.rand.start(1);
  double* fitness = cma.init(p);
  int generation = 0;
  for (auto _ : state) {
    if (generation == kGenerationsPerRun) {
      state.PauseTiming();
      fitness = cma.init(p);
      generation = 0;
      state.ResumeTiming();
    }
    const double* const* pop = cma.samplePopulation();
    for (int k = 0; k < kLambda; ++k) {
      double s = 0;
      for (int i = 0; i < kDimension; ++i) s += pop[k][i] * pop[k][i];
      fitness[k] = s;
    }
    benchmark::DoNotOptimize(cma.updateDistribution(fitness));
    ++generation;
  }
}
BENCHMARK(BM_BuiltInCMAESGeneration)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
