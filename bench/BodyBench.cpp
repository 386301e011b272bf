// Cost of the per-cycle body stages: the body model's kinematics, centre of gravity, foot
// contact and fall test, and building the 24-joint effector message. Both run once per
// 0.02 s cycle.
#include <benchmark/benchmark.h>

#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"

namespace {

void BM_AgentStateUpdate(benchmark::State& state) {
  zamp::AgentState agent_state;
  for (auto _ : state) {
    agent_state.Update();
    benchmark::DoNotOptimize(agent_state.GetCenterOfGravity());
  }
}
BENCHMARK(BM_AgentStateUpdate);

void BM_EffectorJointMessage(benchmark::State& state) {
  zamp::Singleton<zamp::AgentState>::Create();
  zamp::Singleton<zamp::WorldState>::Create();
  zamp::Singleton<zamp::JointController>::Create();
  zamp::JointController* controller = zamp::Singleton<zamp::JointController>::GetInstance();
  zamp::EffectorAgent effector;
  effector.SetEffectorAgentUse(false, false, false, true, true, true);
  for (auto _ : state) {
    for (int j = 0; j < zamp::HINGE_JOINT_NUM; ++j) controller->SettingRelativeSpeed(j, 30, 0.1);
    std::string message = effector.Make();
    benchmark::DoNotOptimize(message);
  }
}
BENCHMARK(BM_EffectorJointMessage);

}  // namespace

BENCHMARK_MAIN();
