// Heard team messages are untrusted: any byte string must either be rejected or decode to
// 13 in-range values that name a team mate, and filling a record from them must be safe.
// Each input is tried twice: as the bare text, and inside a hear element that goes through
// the parser and the perception store to Receive, as in the agent's cycle.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/WorldState.h"
#include "play/ShareMessageZAMP.h"

namespace {

typedef zamp::ShareMessageZAMP Z;

bool InRange(const std::vector<double>& v) {
  const double lo[] = {0, 0, -20, -15, -17, -12, 0, 0, 0, 0, 0, 0, -10};
  const double hi[] = {65535, 65535, 20, 15, 17, 12, 1, 1023, 7, 3, 15, 15, 10};
  for (int i = 0; i < Z::SHARE_DATA_ID_NUM; ++i) {
    if (!(v[i] >= lo[i] && v[i] <= hi[i])) return false;
  }
  return true;
}

void Check(bool heard, const std::vector<double>& values) {
  if (!heard) {
    if (!values.empty()) __builtin_trap();
    return;
  }
  if (values.size() != static_cast<size_t>(Z::SHARE_DATA_ID_NUM)) __builtin_trap();
  if (!InRange(values)) __builtin_trap();
  const int index = Z::GetRecordIndex(values);
  if (index < 0 || index > 10) __builtin_trap();
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  Z::PutShareData(record, values);
  if (record.uniform_number != index + 1 || !record.is_existence) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Z* codec = [] {
    zamp::Singleton<zamp::Parser>::Create();
    zamp::Singleton<zamp::RawStorage>::Create();
    zamp::Singleton<zamp::WorldState>::Create();
    zamp::Singleton<zamp::WorldState>::GetInstance()->SetTeamName("Alpha");
    return new Z();
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::vector<double> values;
  const bool decoded = codec->Decode(text, values);
  if (decoded && size != 17) __builtin_trap();
  Check(decoded, values);

  zamp::Singleton<zamp::Parser>::GetInstance()->Update("(time (now 1.0))(hear Alpha 1.0 40.0 " +
                                                       text + ")");
  zamp::Singleton<zamp::RawStorage>::GetInstance()->Update();
  for (int hear_id : {int{zamp::HEAR_FRIEND}, int{zamp::HEAR_ENEMY}, int{zamp::HEAR_SELF}}) {
    Check(codec->Receive(values, hear_id), values);
  }
  return 0;
}
