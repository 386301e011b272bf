// An ordered table of message pieces, each made by a member function of the builder T and
// switched on or off, joined into one message per cycle in table order. The agent's
// builder (EffectorAgent) and the trainer's command builder derive from it; the message is
// built at the end of the cycle, after the decision step, and sent at once.
#pragma once

#include <string>
#include <vector>

namespace zamp {

template <typename T>
class Effector {
 public:
  struct Slot {
    std::string (T::*MakeFunc)();
    bool can_use;
  };

  Effector() = default;
  virtual ~Effector() {}
  Effector(const Effector&) = delete;
  Effector& operator=(const Effector&) = delete;

  virtual std::string Make() = 0;

  // An id outside the table changes nothing.
  void SetEffectorUse(int id, bool use) {
    if (id < 0 || id >= static_cast<int>(slots_.size())) return;
    slots_[id].can_use = use;
  }

  bool IsEffectorUse(int id) const {
    return id >= 0 && id < static_cast<int>(slots_.size()) && slots_[id].can_use;
  }

  // The order of the message is the order of the table, not the order the switches were
  // set in.
  std::string Make(T* self) {
    std::string message;
    for (const Slot& slot : slots_) {
      if (slot.can_use) message += (self->*slot.MakeFunc)();
    }
    return message;
  }

 protected:
  // Indexed by T's own piece enumeration; T's constructor sizes and fills it.
  std::vector<Slot> slots_;
};

}  // namespace zamp
