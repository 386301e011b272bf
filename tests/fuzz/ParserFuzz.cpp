// Feeds arbitrary text through the first three stages of the agent cycle: the parser, the
// perception store and the game state, as one received message each run. The shared
// instances are created once and carry their state from run to run, as in a match.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/WorldState.h"

namespace {

bool CreateInstances() {
  zamp::Singleton<zamp::Parser>::Create();
  zamp::Singleton<zamp::RawStorage>::Create();
  zamp::Singleton<zamp::WorldState>::Create();
  zamp::Singleton<zamp::WorldState>::GetInstance()->SetTeamName("Alpha");
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool created = CreateInstances();
  (void)created;
  const std::string message(reinterpret_cast<const char*>(data), size);
  zamp::Singleton<zamp::Parser>::GetInstance()->Update(message);
  zamp::Singleton<zamp::RawStorage>::GetInstance()->Update();
  zamp::Singleton<zamp::WorldState>::GetInstance()->Update();
  return 0;
}
