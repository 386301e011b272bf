// Cost of one role assignment as positioning calls it: ten field players, ten formation
// points, field-sized coordinates.
#include <benchmark/benchmark.h>

#include <random>

#include "play/Scram.h"

namespace {

wex::Test MakeTest(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> x(-15.0, 15.0);
  std::uniform_real_distribution<double> y(-10.0, 10.0);
  wex::Test test;
  for (int i = 0; i < n; ++i) test.starts.push_back({x(rng), y(rng)});
  for (int i = 0; i < n; ++i) test.targets.push_back({x(rng), y(rng)});
  return test;
}

void BM_RoleAssignment(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  // A handful of different layouts so one lucky input does not set the figure.
  std::vector<wex::Test> tests;
  for (unsigned seed = 1; seed <= 16; ++seed) tests.push_back(MakeTest(n, seed));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(wex::mmd_msd2(tests[i]));
    i = (i + 1) % tests.size();
  }
}
BENCHMARK(BM_RoleAssignment)->Arg(10)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
