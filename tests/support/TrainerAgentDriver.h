// Runs a learning agent inside the test process, one perception text at a time, without
// sockets: the agent gets fresh shared instances (freeing what earlier tests left), and
// each Step returns the agent message and keeps the trainer message.
//
//   zamp::test::TrainerAgentDriver<zamp::AgentDemo> demo({"--unum=10"});
//   demo.Step(FakeTrainingServer::Perception(world, "PlayOn"));
//   demo.Trainer();  // what went to the trainer port in that cycle
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "learning/EffectorTrainer.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "support/SharedInstances.h"

namespace zamp::test {

template <typename A>
class TrainerAgentDriver {
 public:
  explicit TrainerAgentDriver(std::vector<std::string> args) : args_(std::move(args)) {
    RenewAgentInstances();
    std::vector<char*> argv{const_cast<char*>("agent")};
    for (std::string& arg : args_) argv.push_back(arg.data());
    agent_ = std::make_unique<A>(static_cast<int>(argv.size()), argv.data());
    effector_.SetEffectorAgentUse(false, false, false, true, true, false);
  }

  std::string Step(const std::string& message) {
    return agent_->Step(message, effector_, trainer_, trainer_message_);
  }
  A& Agent() { return *agent_; }
  const std::string& Trainer() const { return trainer_message_; }

 private:
  std::vector<std::string> args_;
  std::unique_ptr<A> agent_;
  EffectorAgent effector_;
  EffectorTrainer trainer_;
  std::string trainer_message_;
};

}  // namespace zamp::test
