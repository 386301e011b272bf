// Time of one whole cycle of the match agent on real captures: parse, perception store, all
// models, Think (behaviour machine, strategy, walk or motion) and the effector message, as
// Agent::Step runs them for each received message. Every message is timed on its own and
// the median and 99th percentile per cycle are reported as counters (microseconds); vision
// cycles and walking cost more than the cycles between them.
//
// The agent reads its motion files relative to the working directory, so the benchmark
// changes to the repository root first.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "play/AgentZAMP.h"

namespace {

using zamp::Singleton;

struct Capture {
  const char* file;
  const char* team;
  const char* type;
};

const Capture CAPTURES[] = {
    {"before_kickoff_type0.txt", "Alpha", "0"},     {"three_players_left_unum1.txt", "Alpha", "0"},
    {"three_players_right_unum1.txt", "Beta", "0"}, {"toes_type4.txt", "Alpha", "4"},
    {"ground_truth_sync_type0.txt", "Alpha", "0"},
};

std::vector<std::string> ReadLines(const std::string& file) {
  std::ifstream in(std::string(ZAMP_FIXTURE_DIR) + "/perception/" + file);
  if (!in) throw std::runtime_error("cannot read fixture " + file);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Frees the previous replay's instance and forgets it.
template <typename T>
void Renew() {
  delete Singleton<T>::GetInstance();
  Singleton<T>::ResetForTest();
}

// A fresh agent on fresh shared instances for one capture, with the start-up step's beam
// and the first message already handled.
std::unique_ptr<zamp::AgentZAMP> StartAgent(const Capture& capture, int uniform_number,
                                            const std::string& first_message,
                                            zamp::EffectorAgent& effector) {
  Renew<zamp::Parser>();
  Renew<zamp::RawStorage>();
  Renew<zamp::WorldState>();
  Renew<zamp::AgentState>();
  Renew<zamp::FieldState>();
  Renew<zamp::StrategyInformation>();
  Renew<zamp::JointController>();
  Renew<Drawing>();
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

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  const size_t k = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
  std::nth_element(values.begin(), values.begin() + k, values.end());
  return values[k];
}

// range(0): index into CAPTURES, or -1 for all captures one after the other;
// range(1): uniform number (1 plays the keeper, others a fielder).
void BM_AgentCycle(benchmark::State& state) {
  if (chdir(ZAMP_FIXTURE_DIR "/../..") != 0) {
    state.SkipWithError("cannot change to the repository root");
    return;
  }
  std::vector<const Capture*> captures;
  if (state.range(0) < 0) {
    for (const Capture& capture : CAPTURES) captures.push_back(&capture);
  } else {
    captures.push_back(&CAPTURES[state.range(0)]);
  }
  const int uniform_number = static_cast<int>(state.range(1));
  std::vector<std::vector<std::string>> messages;
  for (const Capture* capture : captures) messages.push_back(ReadLines(capture->file));

  zamp::EffectorAgent effector;
  size_t current = 0;
  size_t next = 1;
  std::unique_ptr<zamp::AgentZAMP> agent =
      StartAgent(*captures[current], uniform_number, messages[current][0], effector);
  std::vector<double> micros;
  micros.reserve(state.max_iterations);
  for (auto _ : state) {
    if (next == messages[current].size()) {
      state.PauseTiming();
      current = (current + 1) % captures.size();
      next = 1;
      agent = StartAgent(*captures[current], uniform_number, messages[current][0], effector);
      state.ResumeTiming();
    }
    const auto begin = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(agent->Step(messages[current][next], effector));
    const auto end = std::chrono::steady_clock::now();
    micros.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
    ++next;
  }
  state.counters["median_us"] = Percentile(micros, 0.5);
  state.counters["p99_us"] = Percentile(micros, 0.99);
  state.SetLabel(std::string(state.range(0) < 0 ? "all captures" : captures[0]->file) +
                 (uniform_number == 1 ? ", keeper" : ", fielder"));
}

BENCHMARK(BM_AgentCycle)->ArgsProduct({{-1, 0, 1, 2, 3, 4}, {1, 6}})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
