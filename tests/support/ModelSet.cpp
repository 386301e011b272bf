#include "support/ModelSet.h"

#include "core/Singleton.h"
#include "model/KalmanFieldState.h"

namespace zamp {
namespace test {

namespace {

// Creates a fresh T (or U) as the shared instance and returns it.
template <typename T, typename U = T>
T* CreateShared() {
  Singleton<T>::ExchangeForTest(nullptr);
  Singleton<T>::template Create<U>();
  return Singleton<T>::GetInstance();
}

// Forgets the shared instance when it is this one, then frees it.
template <typename T>
void Free(T* instance) {
  if (Singleton<T>::GetInstance() == instance) Singleton<T>::ResetForTest();
  delete instance;
}

}  // namespace

ModelSet::ModelSet(const std::string& team_name, int uniform_number, AgentTypeID agent_type) {
  // In the order of Agent::Init: the joint controller reads the robot type when created.
  parser_ = CreateShared<Parser>();
  raw_ = CreateShared<RawStorage>();
  world_ = CreateShared<WorldState>();
  agent_ = CreateShared<AgentState>();
  world_->SetTeamName(team_name);
  agent_->SetUniformNumber(uniform_number);
  agent_->SetAgentType(agent_type);
  field_ = CreateShared<FieldState, KalmanFieldState>();
  info_ = CreateShared<StrategyInformation>();
  joints_ = CreateShared<JointController>();
}

ModelSet::~ModelSet() {
  Free(joints_);
  Free(info_);
  Free(field_);
  Free(agent_);
  Free(world_);
  Free(raw_);
  Free(parser_);
}

void ModelSet::FreeShared() {
  Free(Singleton<JointController>::GetInstance());
  Free(Singleton<StrategyInformation>::GetInstance());
  Free(Singleton<FieldState>::GetInstance());
  Free(Singleton<AgentState>::GetInstance());
  Free(Singleton<WorldState>::GetInstance());
  Free(Singleton<RawStorage>::GetInstance());
  Free(Singleton<Parser>::GetInstance());
}

void ModelSet::Install() {
  Singleton<Parser>::ExchangeForTest(parser_);
  Singleton<RawStorage>::ExchangeForTest(raw_);
  Singleton<WorldState>::ExchangeForTest(world_);
  Singleton<AgentState>::ExchangeForTest(agent_);
  Singleton<FieldState>::ExchangeForTest(field_);
  Singleton<StrategyInformation>::ExchangeForTest(info_);
  Singleton<JointController>::ExchangeForTest(joints_);
}

void ModelSet::Start(const std::string& first_message, const Eigen::Vector3d& beam) {
  Install();
  parser_->Update(first_message);
  raw_->Update();
  world_->Update();
  agent_->Update();
  agent_->SettingBeam(beam);
}

void ModelSet::Step(const std::string& message) {
  Install();
  parser_->Update(message);
  raw_->Update();
  world_->Update();
  agent_->Update();
  field_->Update();
  info_->Update();
  if (world_->CanBeam() && using_beam_time_ <= 0.2) {
    field_->ResetGrobalRotation();
    using_beam_time_ += 0.02;
  } else if (!world_->CanBeam()) {
    using_beam_time_ = 0.0;
  }
}

}  // namespace test
}  // namespace zamp
