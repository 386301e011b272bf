// Heard team messages are untrusted: any byte string must either be rejected or decode to
// 13 in-range values that name a team mate, and filling a record from them must be safe.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Z codec;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<double> values;
  const bool heard = codec.Decode(text, values);
  if (!heard) {
    if (!values.empty()) __builtin_trap();
    return 0;
  }
  if (size != 17 || values.size() != static_cast<size_t>(Z::SHARE_DATA_ID_NUM)) __builtin_trap();
  if (!InRange(values)) __builtin_trap();
  const int index = Z::GetRecordIndex(values);
  if (index < 0 || index > 10) __builtin_trap();
  Z::ShareDataZAMP record;
  Z::InitShareData(record);
  Z::PutShareData(record, values, 0.0);
  if (record.uniform_number != index + 1 || !record.is_existence) __builtin_trap();
  return 0;
}
