// Base of every agent: owns the server link, creates the process-wide shared instances,
// and runs the perception-decision-action cycle once per server message until the link
// ends. A concrete agent supplies Think (the decision of one cycle) and may override the
// beam pose (SettingBeam) and the say text and beam switch (ControlEffector).
//
// Cycle, in this order: receive, Parser, RawStorage, WorldState, AgentState, field state,
// StrategyInformation, Think, ControlEffector, effector message, send.
#pragma once

#include <string>

namespace zamp {

class EffectorAgent;
class RcssserverSocket;

class Agent {
 public:
  Agent();
  Agent(int argc, char** argv);
  virtual ~Agent();
  Agent(const Agent&) = delete;
  Agent& operator=(const Agent&) = delete;

  // Reads the options and creates the shared instances that do not exist yet.
  virtual void Init(int argc, char** argv);
  virtual void Run();
  virtual void Done();
  virtual void Think() = 0;
  virtual void SettingBeam();
  virtual void ControlEffector(EffectorAgent& effector);

  // One cycle on one received message: every model update, Think, ControlEffector, and the
  // message to answer with. Needs no socket, so a test can drive the agent with texts. The
  // answer lives in the effector's buffer until its next message.
  const std::string& Step(const std::string& message, EffectorAgent& effector);

  // What the process should exit with after Run: 1 when the connection failed or the run
  // ended abnormally (oversized frame, no input for too long), else 0.
  int GetExitStatus() const;

 protected:
  // For agents that create other shared instances: the link exists and nothing else; the
  // derived constructor calls its own Init.
  struct DeferInit {};
  explicit Agent(DeferInit);

  // Creates the shared instances that do not exist yet, in the cycle's order, with the options
  // the socket read; the field state and the drawing client differ between agents.
  void CreateSharedInstances(void (*create_field_state)(), void (*create_drawing)());
  // The model updates shared by the start-up step and the cycle: parse, store, game state
  // and body model.
  void UpdatePerception(const std::string& message);
  // The two start-up messages on a connected link: the scene alone, then, after the first
  // perception has updated the models and SettingBeam, init (with the beam when asked for);
  // leaves the effector sending say, joints and, in sync mode, syn.
  void StartUp(EffectorAgent& effector, bool beam);
  // Step up to the effector inputs: every model update, Think and ControlEffector.
  void Decide(const std::string& message, EffectorAgent& effector);
  // The process then exits with status 1.
  void SetFailed() { failed_ = true; }

  RcssserverSocket* agent_socket_;
  bool can_init_beam_;

 private:
  bool failed_ = false;  // connection failed or the agent gave up
};

}  // namespace zamp
