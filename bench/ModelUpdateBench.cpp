// Time of the perception and model stages of one agent cycle on real captures: Parser,
// RawStorage, WorldState, AgentState, KalmanFieldState and StrategyInformation updates for
// one message, in the cycle's order. Besides Google Benchmark's mean, every message is
// timed on its own and the median and 99th percentile per message are reported as counters
// (microseconds), since vision cycles cost more than the two cycles between them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/KalmanFieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace {

using zamp::Singleton;

struct Capture {
  const char* file;
  const char* team;
  double beam_x, beam_y, beam_direction;  // m, m, degrees
};

const Capture kCaptures[] = {
    {"before_kickoff_type0.txt", "Alpha", -1.0, 0.0, 0.0},
    {"three_players_left_unum1.txt", "Alpha", -2.0, 0.0, 0.0},
    {"three_players_right_unum1.txt", "Beta", -2.0, 0.5, 0.0},
    {"toes_type4.txt", "Alpha", -3.0, 0.0, 0.0},
    {"ground_truth_sync_type0.txt", "Alpha", -3.0, 1.0, 45.0},
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

// Fresh shared instances as Agent::Init creates them, then the start-up step with the
// first message and the beam.
void StartAgent(const Capture& capture, const std::string& first_message) {
  Renew<zamp::Parser>();
  Renew<zamp::RawStorage>();
  Renew<zamp::WorldState>();
  Renew<zamp::AgentState>();
  Renew<zamp::FieldState>();
  Renew<zamp::StrategyInformation>();
  Singleton<zamp::Parser>::Create();
  Singleton<zamp::RawStorage>::Create();
  Singleton<zamp::WorldState>::Create();
  Singleton<zamp::AgentState>::Create();
  Singleton<zamp::WorldState>::GetInstance()->SetTeamName(capture.team);
  Singleton<zamp::AgentState>::GetInstance()->SetUniformNumber(1);
  Singleton<zamp::FieldState>::Create<zamp::KalmanFieldState>();
  Singleton<zamp::StrategyInformation>::Create();

  Singleton<zamp::Parser>::GetInstance()->Update(first_message);
  Singleton<zamp::RawStorage>::GetInstance()->Update();
  Singleton<zamp::WorldState>::GetInstance()->Update();
  Singleton<zamp::AgentState>::GetInstance()->Update();
  Singleton<zamp::AgentState>::GetInstance()->SettingBeam(
      Eigen::Vector3d(capture.beam_x, capture.beam_y, capture.beam_direction));
}

void Cycle(const std::string& message) {
  Singleton<zamp::Parser>::GetInstance()->Update(message);
  Singleton<zamp::RawStorage>::GetInstance()->Update();
  Singleton<zamp::WorldState>::GetInstance()->Update();
  Singleton<zamp::AgentState>::GetInstance()->Update();
  Singleton<zamp::FieldState>::GetInstance()->Update();
  Singleton<zamp::StrategyInformation>::GetInstance()->Update();
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  const size_t k = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
  std::nth_element(values.begin(), values.begin() + k, values.end());
  return values[k];
}

// range(0): index into kCaptures, or -1 for all captures one after the other.
void BM_ModelUpdatePerMessage(benchmark::State& state) {
  std::vector<const Capture*> captures;
  if (state.range(0) < 0) {
    for (const Capture& capture : kCaptures) captures.push_back(&capture);
  } else {
    captures.push_back(&kCaptures[state.range(0)]);
  }
  std::vector<std::vector<std::string>> messages;
  for (const Capture* capture : captures) messages.push_back(ReadLines(capture->file));

  size_t current = 0;
  size_t next = 1;
  StartAgent(*captures[current], messages[current][0]);
  std::vector<double> micros;
  micros.reserve(state.max_iterations);
  for (auto _ : state) {
    if (next == messages[current].size()) {
      state.PauseTiming();
      current = (current + 1) % captures.size();
      next = 1;
      StartAgent(*captures[current], messages[current][0]);
      state.ResumeTiming();
    }
    const auto begin = std::chrono::steady_clock::now();
    Cycle(messages[current][next]);
    const auto end = std::chrono::steady_clock::now();
    micros.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
    ++next;
  }
  state.counters["median_us"] = Percentile(micros, 0.5);
  state.counters["p99_us"] = Percentile(micros, 0.99);
  state.SetLabel(state.range(0) < 0 ? "all captures" : captures[0]->file);
}

BENCHMARK(BM_ModelUpdatePerMessage)->DenseRange(-1, 4)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
