// Test seam into the match agent: puts a scripted strategy or motion in place of the real
// ones and tells which of the agent's motions is being played, so the behaviour state
// machine can be tested without a strategy that plays football.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "motion/MotionSequence.h"
#include "motion/Walk.h"
#include "play/AgentZAMP.h"
#include "play/Strategy.h"

namespace zamp {

class AgentZAMPTestAccess {
 public:
  // Replaces the strategy; the new one steers the agent's walk engine, as the real one does.
  static void SetStrategy(AgentZAMP& agent, std::unique_ptr<Strategy> strategy) {
    strategy->walk_ = agent.walk_;
    agent.strategy_ = std::move(strategy);
  }

  static Strategy& GetStrategy(AgentZAMP& agent) { return *agent.strategy_; }
  static const std::shared_ptr<Walk>& GetWalk(AgentZAMP& agent) { return agent.walk_; }

  // The motion the motion states play; set one the test owns to script its end.
  static MotionSequence* GetMotion(const AgentZAMP& agent) { return agent.motion_; }
  static void SetMotion(AgentZAMP& agent, MotionSequence* motion) { agent.motion_ = motion; }

  // One of the agent's own motions by its member name without the trailing underscore
  // ("stand_up_back", "quick_kick2", "open_foot", ...); null for an unknown name.
  static MotionSequence* GetOwnMotion(const AgentZAMP& agent, const std::string& name) {
    const std::pair<const char*, MotionSequence*> motions[] = {
        {"stand_up_back", agent.stand_up_back_.get()},
        {"stand_up_prone", agent.stand_up_prone_.get()},
        {"kick_off_shoot", agent.kick_off_shoot_.get()},
        {"old_kick", agent.old_kick_.get()},
        {"quick_kick", agent.quick_kick_.get()},
        {"quick_kick2", agent.quick_kick2_.get()},
        {"long_kick", agent.long_kick_.get()},
        {"right_jump", agent.right_jump_.get()},
        {"left_jump", agent.left_jump_.get()},
        {"open_foot", agent.open_foot_.get()}};
    for (const auto& entry : motions) {
      if (name == entry.first) return entry.second;
    }
    return nullptr;
  }
};

}  // namespace zamp
