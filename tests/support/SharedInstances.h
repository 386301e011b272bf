// Test seam over the shared instances: a test installs fresh ones, freeing the previous
// test's (production creates each instance once and never frees it).
//
//   zamp::test::RenewAndCreate<Parser, RawStorage, WorldState>();
#pragma once

#include "core/Drawing.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"

namespace zamp::test {

// Frees the current instance of T, if any, and forgets it.
template <typename T>
void Renew() {
  delete Singleton<T>::GetInstance();
  Singleton<T>::ResetForTest();
}

// Renews every type given, then creates a fresh instance of each, in the order given.
template <typename... T>
void RenewAndCreate() {
  (Renew<T>(), ...);
  (Singleton<T>::Create(), ...);
}

// Frees every shared instance an agent creates, so that the next agent built creates its
// own; keep_parser leaves the parser (and what it learnt of message shapes) in place.
inline void RenewAgentInstances(bool keep_parser = false) {
  if (!keep_parser) Renew<Parser>();
  Renew<RawStorage>();
  Renew<WorldState>();
  Renew<AgentState>();
  Renew<FieldState>();
  Renew<StrategyInformation>();
  Renew<JointController>();
  Renew<Drawing>();
}

}  // namespace zamp::test
