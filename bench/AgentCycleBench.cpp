// Time of one whole cycle of the match agent on real captures: parse, perception store, all
// models, Think (behaviour machine, strategy, walk or motion) and the effector message, as
// Agent::Step runs them for each received message. Every message is timed on its own and
// the median and 99th percentile per cycle are reported as counters (microseconds); vision
// cycles and walking cost more than the cycles between them.
//
// BM_MatchCycle replays the 11 v 11 match capture (22 players in view, team talk every
// cycle) as its recording player, a fielder, and also counts the heap allocations per cycle
// (allocs_per_cycle, over all cycles; steady_allocs after the first 500 messages of each pass),
// which a steady cycle should not need.
//
// The agent reads its motion files relative to the working directory, so the benchmark
// changes to the repository root first.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "CaptureReplay.h"
#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "play/AgentZAMP.h"

// Every heap allocation of the program is counted, so that the benchmark can tell how many
// a cycle makes. The C library's allocator is wrapped rather than operator new, because
// Eigen's dynamic-size matrices allocate with malloc directly. (glibc only.)
std::atomic<long> allocation_count{0};

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);

void* malloc(std::size_t size) {
  allocation_count.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  allocation_count.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  allocation_count.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(block, size);
}
}

namespace {

struct Capture {
  const char* file;
  const char* team;
  const char* type;
};

const Capture CAPTURES[] = {
    {"before_kickoff_type0.txt", "Alpha", "0"},     {"three_players_left_unum1.txt", "Alpha", "0"},
    {"three_players_right_unum1.txt", "Beta", "0"}, {"toes_type4.txt", "Alpha", "4"},
    {"ground_truth_sync_type0.txt", "Alpha", "0"},  {"match_11v11_left_unum5.txt", "TeamA", "0"},
};
constexpr int MATCH = 5;

// A fresh agent on fresh shared instances for one capture, with the start-up step's beam
// and the first message already handled.
std::unique_ptr<zamp::AgentZAMP> StartAgent(const Capture& capture, int uniform_number,
                                            const std::string& first_message,
                                            zamp::EffectorAgent& effector) {
  bench::Renew<zamp::Parser, zamp::RawStorage, zamp::WorldState, zamp::AgentState, zamp::FieldState,
               zamp::StrategyInformation, zamp::JointController, Drawing>();
  std::vector<std::string> args = {"agent", std::string("--team=") + capture.team,
                                   std::string("--type=") + capture.type,
                                   "--unum=" + std::to_string(uniform_number)};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  auto agent = std::make_unique<zamp::AgentZAMP>(static_cast<int>(argv.size()), argv.data());
  agent->SettingBeam();
  effector.SetEffectorAgentUse(false, false, false, true, true, false);
  agent->Step(first_message, effector);
  return agent;
}

// range(0): index into CAPTURES, or -1 for all captures one after the other;
// range(1): uniform number (1 plays the keeper, others a fielder).
void BM_AgentCycle(benchmark::State& state) {
  if (chdir(ZAMP_FIXTURE_DIR "/../..") != 0) {
    state.SkipWithError("cannot change to the repository root");
    return;
  }
  const std::vector<const Capture*> captures = bench::SelectCaptures(state, CAPTURES);
  const int uniform_number = static_cast<int>(state.range(1));
  zamp::EffectorAgent effector;
  std::unique_ptr<zamp::AgentZAMP> agent;
  bench::Replay(
      state, captures,
      [&](const Capture& capture, const std::string& first_message) {
        agent = StartAgent(capture, uniform_number, first_message, effector);
      },
      [&](const std::string& message) {
        benchmark::DoNotOptimize(agent->Step(message, effector));
      });
  state.SetLabel(std::string(state.range(0) < 0 ? "all captures" : captures[0]->file) +
                 (uniform_number == 1 ? ", keeper" : ", fielder"));
}

BENCHMARK(BM_AgentCycle)->ArgsProduct({{-1, 0, 1, 2, 3, 4}, {1, 6}})->Unit(benchmark::kMicrosecond);

// The whole match capture, five times over, as player 5 of the left team.
void BM_MatchCycle(benchmark::State& state) {
  if (chdir(ZAMP_FIXTURE_DIR "/../..") != 0) {
    state.SkipWithError("cannot change to the repository root");
    return;
  }
  const Capture& capture = CAPTURES[MATCH];
  constexpr int STEADY_AFTER = 500;  // messages into a pass
  zamp::EffectorAgent effector;
  std::unique_ptr<zamp::AgentZAMP> agent;
  long cycles = 0;
  long allocations = 0;
  long steady_cycles = 0;
  long steady_allocations = 0;
  int message_index = 0;
  bench::Replay(
      state, std::vector<const Capture*>{&capture},
      [&](const Capture& c, const std::string& first_message) {
        agent = StartAgent(c, 5, first_message, effector);
        message_index = 0;
      },
      [&](const std::string& message) {
        const long before = allocation_count.load(std::memory_order_relaxed);
        benchmark::DoNotOptimize(agent->Step(message, effector));
        const long made = allocation_count.load(std::memory_order_relaxed) - before;
        ++cycles;
        allocations += made;
        if (++message_index > STEADY_AFTER) {
          ++steady_cycles;
          steady_allocations += made;
        }
      });
  state.counters["allocs_per_cycle"] = cycles > 0 ? static_cast<double>(allocations) / cycles : 0;
  state.counters["steady_allocs"] =
      steady_cycles > 0 ? static_cast<double>(steady_allocations) / steady_cycles : 0;
  state.SetLabel(std::string(capture.file) + ", fielder");
}

BENCHMARK(BM_MatchCycle)->Iterations(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
