// Time of the perception and model stages of one agent cycle on real captures: Parser,
// RawStorage, WorldState, AgentState, KalmanFieldState and StrategyInformation updates for
// one message, in the cycle's order. Besides Google Benchmark's mean, every message is
// timed on its own and the median and 99th percentile per message are reported as counters
// (microseconds), since vision cycles cost more than the two cycles between them.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "CaptureReplay.h"
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

// Fresh shared instances as Agent::Init creates them, then the start-up step with the
// first message and the beam.
void StartAgent(const Capture& capture, const std::string& first_message) {
  bench::Renew<zamp::Parser, zamp::RawStorage, zamp::WorldState, zamp::AgentState, zamp::FieldState,
               zamp::StrategyInformation>();
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

// range(0): index into kCaptures, or -1 for all captures one after the other.
void BM_ModelUpdatePerMessage(benchmark::State& state) {
  const std::vector<const Capture*> captures = bench::SelectCaptures(state, kCaptures);
  bench::Replay(state, captures, StartAgent, Cycle);
  state.SetLabel(state.range(0) < 0 ? "all captures" : captures[0]->file);
}

BENCHMARK(BM_ModelUpdatePerMessage)->DenseRange(-1, 4)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
