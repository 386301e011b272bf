// Replay of recorded server messages for the per-cycle benchmarks. A capture file holds one
// perception message a line; the benchmark starts afresh at the first message of each
// capture and times every later message on its own, since vision cycles cost more than the
// two cycles between them. The mean, median and 99th percentile per message are reported as
// counters (microseconds of the thread's CPU time, so that other load on the machine does
// not count).
//
// Header only: every .cpp of this folder is a benchmark program of its own.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Singleton.h"

namespace bench {

inline std::vector<std::string> ReadLines(const std::string& file) {
  std::ifstream in(std::string(ZAMP_FIXTURE_DIR) + "/perception/" + file);
  if (!in) throw std::runtime_error("cannot read fixture " + file);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Frees the previous replay's instances and forgets them.
template <typename... Ts>
void Renew() {
  ((delete zamp::Singleton<Ts>::GetInstance(), zamp::Singleton<Ts>::ResetForTest()), ...);
}

// The CPU time this thread has used, microseconds.
inline double ThreadMicros() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

inline double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  const size_t k = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
  std::nth_element(values.begin(), values.begin() + k, values.end());
  return values[k];
}

// The captures a benchmark runs with range(0): one by index, or all of them one after the
// other for -1.
template <typename Capture, size_t N>
std::vector<const Capture*> SelectCaptures(const benchmark::State& state,
                                           const Capture (&captures)[N]) {
  std::vector<const Capture*> selected;
  if (state.range(0) < 0) {
    for (const Capture& capture : captures) selected.push_back(&capture);
  } else {
    selected.push_back(&captures[state.range(0)]);
  }
  return selected;
}

// Runs the benchmark loop over the captures: start(capture, first message) untimed at the
// beginning of each capture, then step(message) timed for every later message.
template <typename Capture, typename Start, typename Step>
void Replay(benchmark::State& state, const std::vector<const Capture*>& captures, Start start,
            Step step) {
  std::vector<std::vector<std::string>> messages;
  for (const Capture* capture : captures) messages.push_back(ReadLines(capture->file));

  size_t current = 0;
  size_t next = 1;
  start(*captures[current], messages[current][0]);
  std::vector<double> micros;
  micros.reserve(state.max_iterations);
  for (auto _ : state) {
    if (next == messages[current].size()) {
      state.PauseTiming();
      current = (current + 1) % captures.size();
      next = 1;
      start(*captures[current], messages[current][0]);
      state.ResumeTiming();
    }
    const double begin = ThreadMicros();
    step(messages[current][next]);
    micros.push_back(ThreadMicros() - begin);
    ++next;
  }
  double total = 0.0;
  for (double value : micros) total += value;
  state.counters["mean_us"] = micros.empty() ? 0.0 : total / micros.size();
  state.counters["median_us"] = Percentile(micros, 0.5);
  state.counters["p99_us"] = Percentile(micros, 0.99);
}

}  // namespace bench
