#include "agent/Agent.h"

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/NoDrawing.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/RcssserverSocket.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/KalmanFieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace zamp {

Agent::Agent() : Agent(0, nullptr) {}

Agent::Agent(int argc, char** argv) : agent_socket_(new RcssserverSocket()), can_init_beam_(true) {
  Agent::Init(argc, argv);
}

Agent::Agent(DeferInit) : agent_socket_(new RcssserverSocket()), can_init_beam_(true) {}

Agent::~Agent() {
  delete agent_socket_;
  agent_socket_ = nullptr;
}

void Agent::Init(int argc, char** argv) {
  agent_socket_->ReadOptions(argc, argv);
  CreateSharedInstances([] { Singleton<FieldState>::Create<KalmanFieldState>(); },
                        [] { Singleton<Drawing>::Create<NoDrawing>(); });
}

void Agent::CreateSharedInstances(void (*create_field_state)(), void (*create_drawing)()) {
  Singleton<Parser>::Create();
  Singleton<RawStorage>::Create();
  Singleton<WorldState>::Create();
  Singleton<AgentState>::Create();
  // The joint controller reads the robot type when it is created, so the options are
  // copied before it exists.
  Singleton<WorldState>::GetInstance()->SetTeamName(agent_socket_->GetTeamName());
  Singleton<AgentState>::GetInstance()->SetUniformNumber(agent_socket_->GetUniformNumber());
  Singleton<AgentState>::GetInstance()->SetAgentType(agent_socket_->GetAgentType());
  create_field_state();
  Singleton<StrategyInformation>::Create();
  Singleton<JointController>::Create();
  create_drawing();
}

void Agent::UpdatePerception(const std::string& message) {
  Singleton<Parser>::GetInstance()->Update(message);
  Singleton<RawStorage>::GetInstance()->Update();
  Singleton<WorldState>::GetInstance()->Update();
  Singleton<AgentState>::GetInstance()->Update();
}

void Agent::Decide(const std::string& message, EffectorAgent& effector) {
  UpdatePerception(message);
  Singleton<FieldState>::GetInstance()->Update();
  Singleton<StrategyInformation>::GetInstance()->Update();
  Think();
  ControlEffector(effector);
}

const std::string& Agent::Step(const std::string& message, EffectorAgent& effector) {
  Decide(message, effector);
  return effector.MakeMessage();
}

void Agent::StartUp(EffectorAgent& effector, bool beam) {
  effector.SetEffectorAgentUse(true, false, false, false, false, false);
  agent_socket_->SendMessage(effector.Make());

  // The first perception only fills the models the beam pose may depend on; whether it
  // arrived is seen again by the first receive of the loop.
  agent_socket_->ReceiveMessage();
  UpdatePerception(agent_socket_->GetServerMessage());
  SettingBeam();

  effector.SetEffectorAgentUse(false, true, beam, false, false, false);
  agent_socket_->SendMessage(effector.Make());

  effector.SetEffectorAgentUse(false, false, false, true, true, agent_socket_->IsSynMode());
}

void Agent::Run() {
  EffectorAgent effector;
  if (!agent_socket_->Init()) {
    SetFailed();
    return;
  }

  StartUp(effector, can_init_beam_);
  while (agent_socket_->ReceiveMessage() && !agent_socket_->HasEndSignal()) {
    agent_socket_->SendMessage(Step(agent_socket_->GetServerMessage(), effector));
  }
  Done();
}

void Agent::Done() { agent_socket_->Done(); }

void Agent::SettingBeam() {
  AgentState& agent = *Singleton<AgentState>::GetInstance();
  agent.SettingBeam(Eigen::Vector3d(-agent.GetUniformNumber(), 0.0, 0.0));
}

void Agent::ControlEffector(EffectorAgent&) {}

int Agent::GetExitStatus() const {
  return (failed_ || agent_socket_->HasAbnormalEnd()) ? 1 : 0;
}

}  // namespace zamp
