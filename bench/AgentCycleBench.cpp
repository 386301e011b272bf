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

namespace {

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

}  // namespace

BENCHMARK_MAIN();
