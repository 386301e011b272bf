// One process-wide instance per shared type. Agent::Init creates every instance once with
// Create; nothing is ever destroyed or replaced, so a reference fetched at the top of an
// Update stays valid for the whole run.
#pragma once

#include <utility>

namespace zamp {

template <typename T>
class Singleton {
 public:
  // The instance as it is: null until Create ran. Never creates.
  static T* GetInstance() { return instance_; }

  // Creates a U (T or a subclass of T) only while no instance exists.
  template <typename U = T, typename... Args>
  static void Create(Args&&... args) {
    if (instance_ == nullptr) instance_ = new U(std::forward<Args>(args)...);
  }

  // Test seam: forgets the current instance so a test can install a fresh one.
  // Production code never calls it; the old instance is deliberately leaked like every
  // shared instance.
  static void ResetForTest() { instance_ = nullptr; }

  // Test seam: puts the given instance (or null) in place and returns the one it replaces,
  // so a test can keep several agents' models in one process and switch between them.
  static T* ExchangeForTest(T* instance) {
    T* previous = instance_;
    instance_ = instance;
    return previous;
  }

 private:
  inline static T* instance_ = nullptr;
};

}  // namespace zamp
