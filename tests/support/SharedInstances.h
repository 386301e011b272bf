// Test seam over the shared instances: a test installs fresh ones, freeing the previous
// test's (production creates each instance once and never frees it).
//
//   zamp::test::RenewAndCreate<Parser, RawStorage, WorldState>();
#pragma once

#include "core/Singleton.h"

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

}  // namespace zamp::test
