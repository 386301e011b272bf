// Cost of one CMA-ES generation in the optimisation agents: ask (draw and map into the
// box), eval (hand back the scores) and tell (update mean, paths, step size and covariance,
// with the eigen-decomposition when due), on the agents' own bounded active strategy. The
// sizes are the walk optimiser's (16 values, 100 candidates) and the long-kick optimiser's
// (60 values, 200 candidates). The plain unbounded strategy is timed alongside to show the
// cost of the box transform. Scores are a sphere, so the search moves as in a real run.
#include <benchmark/benchmark.h>

#include <vector>

#include "learning/customCMAStrategy.h"
#include "platform/ESOptimizer.h"

namespace {

typedef libcmaes::GenoPheno<libcmaes::pwqBoundStrategy, libcmaes::NoScalingStrategy> Bounded;
typedef libcmaes::CMAParameters<Bounded> BoundedParameters;
typedef libcmaes::ESOptimizer<libcmaes::customCMAStrategy, BoundedParameters> AgentOptimizer;

void BM_AgentGeneration(benchmark::State& state) {
  const int dim = static_cast<int>(state.range(0));
  const int lambda = static_cast<int>(state.range(1));
  std::vector<double> x0(dim, 0.0), lower(dim, -15.0), upper(dim, 15.0);
  libcmaes::FitFunc zero = [](const double*, const int&) { return 0.0; };
  BoundedParameters parameters(dim, x0.data(), 5.0, lambda, 1,
                               Bounded(lower.data(), upper.data(), dim));
  parameters._algo = libcmaes::aCMAES;
  AgentOptimizer optimizer(zero, parameters);
  Eigen::VectorXd fitness(lambda);
  const Eigen::VectorXd target = Eigen::VectorXd::Constant(dim, 3.0);
  for (auto _ : state) {
    const Eigen::MatrixXd population = optimizer.ask();
    state.PauseTiming();
    for (int r = 0; r < lambda; ++r) fitness[r] = (population.col(r) - target).squaredNorm();
    state.ResumeTiming();
    optimizer.eval(population, fitness);
    optimizer.tell();
    optimizer.inc_iter();
  }
}
BENCHMARK(BM_AgentGeneration)->Args({16, 100})->Args({60, 200})->Unit(benchmark::kMicrosecond);

void BM_PlainGeneration(benchmark::State& state) {
  typedef libcmaes::CMAParameters<libcmaes::GenoPheno<libcmaes::NoBoundStrategy>> Parameters;
  const int dim = static_cast<int>(state.range(0));
  const int lambda = static_cast<int>(state.range(1));
  std::vector<double> x0(dim, 0.0);
  libcmaes::FitFunc zero = [](const double*, const int&) { return 0.0; };
  Parameters parameters(dim, x0.data(), 5.0, lambda, 1);
  parameters._algo = libcmaes::aCMAES;
  libcmaes::CMAStrategy<libcmaes::CovarianceUpdate> strategy(zero, parameters);
  libcmaes::CMASolutions& solutions = strategy.get_solutions();
  for (auto _ : state) {
    strategy.ask();
    for (int r = 0; r < lambda; ++r) {
      libcmaes::Candidate& candidate = solutions.get_candidate(r);
      candidate.set_fvalue(
          (Eigen::Map<const Eigen::VectorXd>(candidate.get_x_ptr(), dim).array() - 3.0)
              .square()
              .sum());
    }
    strategy.tell();
    strategy.inc_iter();
  }
}
BENCHMARK(BM_PlainGeneration)->Args({16, 100})->Args({60, 200})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
