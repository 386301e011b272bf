// The interface between the match agent and a role strategy. While the agent walks it calls
// Run once per cycle (before the walk engine runs); every cycle it lets the strategy read
// the team messages (UpdateHear) and asks it for the say text (MakeSay). A strategy
// requests a keyframe motion by writing its word into command_ ("QuickKick", "QuickKick2",
// "OldKick", "LongKick", "RightJump", "LeftJump", "OpneFoot"), which the agent reads and
// clears every walking cycle.
#pragma once

#include <memory>
#include <string>

namespace zamp {

class Walk;

class Strategy {
 public:
  virtual ~Strategy() = default;
  virtual void Run() = 0;
  virtual std::string MakeSay() { return std::string(); }
  // The say text of MakeSay written into text, so that a caller that keeps its text makes
  // no allocation; a strategy whose text is long enough to need the heap overrides it.
  virtual void MakeSayInto(std::string& text) { text = MakeSay(); }
  virtual void UpdateHear() {}

  std::shared_ptr<Walk> walk_;  // the agent's walk engine; the strategy sets its targets
  std::string command_;         // motion word requested this cycle
};

}  // namespace zamp
