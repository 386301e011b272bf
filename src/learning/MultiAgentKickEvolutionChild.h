// A child process of the multi-process kick optimisation: it plays, on its own simulation,
// the kick candidates that its parent hands it through one shared memory page and sends
// each score back; it keeps no optimiser state of its own and writes no files. The page is
// tmp/shared_memory/MapFile<agent port> in the working directory, created by the parent, so
// the parent must start first and the child must run on the port the parent expects: the
// parent's port + 1 + the child's index.
//
// Once per cycle, before the trial step and only on its turn, it takes a posted candidate
// when it holds none and sends the oldest score waiting. While it has no candidate the robot
// and the ball wait at their start, put there once. A page that holds a candidate of the
// wrong size, an id outside the generation or a value that is not a number is ignored with
// one warning. It prints nothing else.
#pragma once

#include <memory>
#include <queue>
#include <utility>

#include "learning/AgentKickEvolution2.h"

namespace zamp {

class SharedMemory;

class MultiAgentKickEvolutionChild : public AgentKickEvolution2 {
 public:
  // lambda: candidates per generation, as the parent has them.
  MultiAgentKickEvolutionChild(int argc, char** argv, int lambda = LAMBDA);
  ~MultiAgentKickEvolutionChild() override;

  void Think() override;
  void ControlEffectorTrainer(EffectorTrainer& effector) override;
  void UpdateMotion() override;
  void Evaluate() override;
  virtual void Communicate();

 protected:
  std::unique_ptr<SharedMemory> shared_memory_;
  std::queue<std::pair<int, double>> send_fitness_;  // (candidate id, score), oldest first
  int param_id_;
  bool has_motion_update_;  // a candidate is taken and not yet scored
  bool is_waiting_;         // robot and ball were put at the start for the wait

 private:
  void Take(SharedMemory& page);
  void Send(SharedMemory& page);
};

}  // namespace zamp
