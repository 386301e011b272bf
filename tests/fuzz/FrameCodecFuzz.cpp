// Feeds arbitrary server bytes to the frame decoder in chunks whose sizes come from the input
// itself, and checks that it never takes more than it was given, never reports a frame and a
// rejection at once, and never hands out a text longer than the limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/FrameCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the chunk size, so the same stream is also cut at many places.
  const std::size_t chunk = std::size_t{data[0]} + 1;
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  std::size_t left = size - 1;
  zamp::FrameCodec codec;
  while (left > 0) {
    const std::size_t offered = left < chunk ? left : chunk;
    const std::size_t taken = codec.Feed(bytes, offered);
    if (taken > offered) std::abort();
    if (codec.HasFrame() && codec.IsTooLong()) std::abort();
    if (codec.HasFrame()) {
      if (codec.TakeText().size() > zamp::FrameCodec::MAX_TEXT_SIZE) std::abort();
    } else if (taken == 0) {
      if (!codec.IsTooLong() || codec.Missing() != 0) std::abort();
      break;
    }
    bytes += taken;
    left -= taken;
  }
  return 0;
}
