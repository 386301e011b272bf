// Feeds arbitrary heard texts through the whole hear path of a drop-in player, as one
// perception each run: parser, perception store, game, body and field models, play
// information, then StrategyDropIn::UpdateHear (records, trusted ball, election) and a
// strategy step. The first byte picks the message's source (a mate or the agent's own
// echo), the heard time (a few cycles around the time the text claims, in one of several
// periods of the 16-bit clock) and whether the agent is lining up a kick; the rest is the
// text. The shared instances and the strategy carry their state from run to run, as in a
// match.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/KalmanFieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "motion/TabeWalk.h"
#include "play/Audio.h"
#include "play/StrategyDropIn.h"

namespace {

const char* const TEAM = "Alpha";

zamp::StrategyDropIn& Strategy() {
  static zamp::StrategyDropIn* strategy = [] {
    zamp::Singleton<zamp::Parser>::Create();
    zamp::Singleton<zamp::RawStorage>::Create();
    zamp::Singleton<zamp::WorldState>::Create();
    zamp::Singleton<zamp::AgentState>::Create();
    zamp::Singleton<zamp::WorldState>::GetInstance()->SetTeamName(TEAM);
    zamp::Singleton<zamp::AgentState>::GetInstance()->SetUniformNumber(2);
    zamp::Singleton<zamp::FieldState>::Create<zamp::KalmanFieldState>();
    zamp::Singleton<zamp::StrategyInformation>::Create();
    zamp::Singleton<zamp::JointController>::Create();
    auto* created = new zamp::StrategyDropIn();
    created->walk_ = std::make_shared<zamp::TabeWalk>();
    return created;
  }();
  return *strategy;
}

// The time the text claims, s; 0 when the text has no clock field.
double ClaimedTime(const std::string& text) {
  std::vector<int> bits;
  if (!zamp::stringToBits(text, bits)) return 0.0;
  return zamp::bitsToInt(bits, 0, 15) * 0.02;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zamp::StrategyDropIn& strategy = Strategy();
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const double heard =
      ClaimedTime(text) + ((mode & 0x07) * 0.013 - 0.003) + ((mode >> 3) & 0x03) * 1310.72;

  std::ostringstream message;
  message.precision(17);
  message << "(time (now " << heard << "))(GS (t " << heard << ") (pm PlayOn))";
  if (mode & 0x20) {
    message << "(hear " << TEAM << " " << heard << " self " << text << ")";
  } else {
    message << "(hear " << TEAM << " " << heard << " -30 " << text << ")";
  }
  zamp::Singleton<zamp::Parser>::GetInstance()->Update(message.str());
  zamp::Singleton<zamp::RawStorage>::GetInstance()->Update();
  zamp::Singleton<zamp::WorldState>::GetInstance()->Update();
  zamp::Singleton<zamp::AgentState>::GetInstance()->Update();
  zamp::Singleton<zamp::FieldState>::GetInstance()->Update();
  zamp::Singleton<zamp::StrategyInformation>::GetInstance()->Update();
  zamp::Singleton<zamp::AgentState>::GetInstance()->SetCurrentMoveState(
      (mode & 0x40) ? zamp::AgentState::MS_ADJUST_KICK : zamp::AgentState::MS_DRRIBLE);

  strategy.UpdateHear();
  strategy.Run();
  strategy.MakeSay();
  zamp::Singleton<zamp::JointController>::GetInstance()->Reset();
  return 0;
}
