// Cost of one generation at the kick optimisation's size (59 parameters, 200 candidates),
// side by side: the built-in CMA-ES optimiser (samplePopulation + updateDistribution, a full
// eigen-decomposition every generation) and the CMA-ES layer's ask-and-tell strategy as the
// kick optimisation agent drives it (customCMAStrategy: ask, eval, tell, inside a box wide
// enough never to bind). The fitness is the sphere, whose evaluation is negligible next to
// the optimisers' own work. Compare the medians:
//
//   build/bench/CMAESGenerationBench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true  (one command line)
#include <benchmark/benchmark.h>

#include <Eigen/Core>
#include <memory>
#include <vector>

#include "learning/CMAES.h"
#include "learning/customCMAStrategy.h"

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

double NoFitness(const double*, const int&) { return 0.0; }

void BM_LibraryCMAESGeneration(benchmark::State& state) {
  using Strategy = libcmaes::customCMAStrategy;
  const std::vector<double> x0(kDimension, 1.0);
  const std::vector<double> lower(kDimension, -1e6), upper(kDimension, 1e6);
  const libcmaes::GenoPheno<libcmaes::pwqBoundStrategy, libcmaes::NoScalingStrategy> gp(
      lower.data(), upper.data(), kDimension);
  libcmaes::FitFunc func = NoFitness;
  auto make = [&] {
    Strategy::Parameters p(kDimension, x0.data(), 2.0, kLambda, 1, gp);
    return std::make_unique<Strategy>(func, p);
  };
  std::unique_ptr<Strategy> cma = make();
  Eigen::VectorXd fitness(kLambda);
  int generation = 0;
  for (auto _ : state) {
    if (generation == kGenerationsPerRun) {
      state.PauseTiming();
      cma = make();
      generation = 0;
      state.ResumeTiming();
    }
    const Eigen::MatrixXd pop = cma->ask();
    fitness = pop.colwise().squaredNorm().transpose();
    cma->eval(pop, fitness);
    cma->tell();
    cma->inc_iter();
    benchmark::DoNotOptimize(cma->get_solutions());
    ++generation;
  }
}
BENCHMARK(BM_LibraryCMAESGeneration)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
