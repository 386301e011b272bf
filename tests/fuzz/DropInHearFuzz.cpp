// Feeds arbitrary heard texts through the drop-in codec's hear path, as a team mate of
// another program might send them. The first byte picks the heard time: either a time read
// from the next eight bytes as they are, or one placed up to a few cycles around the time
// that the text itself claims (so that the acceptance window is reached), in one of several
// periods of the 16-bit clock. The rest is the text. Every result is checked: an accepted
// message names a uniform number from 1 to 11 and carries finite values inside the field
// ranges; a rejected one leaves every value at 0.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "play/Audio.h"

namespace {

bool Inside(double v, double min, double max) { return std::isfinite(v) && v >= min && v <= max; }

// The time the text claims, s; 0 when the text has no clock field.
double ClaimedTime(const std::string& text) {
  std::vector<int> bits;
  if (!zamp::stringToBits(text, bits)) return 0.0;
  return zamp::bitsToInt(bits, 0, 15) * 0.02;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  ++data;
  --size;
  double heard = 0.0;
  if (mode & 0x80) {
    if (size < sizeof(double)) return 0;
    std::memcpy(&heard, data, sizeof(double));
    data += sizeof(double);
    size -= sizeof(double);
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!(mode & 0x80)) {
    // Offsets from -0.0035 s to +0.0875 s and periods 0 to 7.
    heard = ClaimedTime(text) + ((mode & 0x0f) * 0.0065 - 0.0035) + ((mode >> 4) & 0x07) * 1310.72;
  }

  std::vector<double> params;
  int unum = -1;
  zamp::processHearMessageZAMP(text, heard, params, unum);
  if (params.size() != 13) std::abort();
  if (unum == 0) {
    for (const double v : params) {
      if (v != 0.0) std::abort();
    }
    return 0;
  }
  if (unum < 1 || unum > 11) std::abort();
  if (text.size() != 13) std::abort();
  if (!std::isfinite(params[0]) || !std::isfinite(params[1])) std::abort();
  if (!Inside(params[2], -20.0, 20.0) || !Inside(params[3], -15.0, 15.0)) std::abort();
  if (!Inside(params[4], -17.0, 17.0) || !Inside(params[5], -12.0, 12.0)) std::abort();
  if (params[6] != 0.0 && params[6] != 1.0) std::abort();
  for (int i = 7; i < 13; ++i) {
    if (params[i] != 0.0) std::abort();
  }
  return 0;
}
