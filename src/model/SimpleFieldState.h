// The learning agents' field model: every vision cycle it recomputes all positions from
// that cycle's perception alone, without filtering, noise model or gyroscope. The torso's
// orientation comes from one fixed pair of corner flags per axis, the agent's position from
// the opponent's left corner flag, the ball and the other players from their seen relative
// positions. Speeds are plain differences between successive vision cycles (m per vision
// cycle, not per second).
//
// Runs once per cycle after AgentState::Update; a cycle without vision changes nothing.
// Reads: the perception store (seen objects, server time, vision flag) and AgentState (head
// pose in the torso frame, neck angles). Writes: its own objects and AgentState's
// rotation_ (degrees), coordnates_ (m) and speed_; never covariance_error_.
// Frames: torso (x right, y forward, z up) to team frame (attack towards +x).
#pragma once

#include "model/FieldState.h"

namespace zamp {

class SimpleFieldState : public FieldState {
 public:
  SimpleFieldState();
  void Update() override;
  ~SimpleFieldState() override;
};

}  // namespace zamp
