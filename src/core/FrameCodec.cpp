#include "core/FrameCodec.h"

#include <algorithm>
#include <cstring>

namespace zamp {

std::string FrameCodec::Encode(const std::string& text) {
  std::string frame;
  Encode(text, frame);
  return frame;
}

void FrameCodec::Encode(const std::string& text, std::string& frame) {
  const auto size = static_cast<std::uint32_t>(text.size());
  frame.clear();
  frame.reserve(HEADER_SIZE + text.size());
  frame.push_back(static_cast<char>((size >> 24) & 0xFF));
  frame.push_back(static_cast<char>((size >> 16) & 0xFF));
  frame.push_back(static_cast<char>((size >> 8) & 0xFF));
  frame.push_back(static_cast<char>(size & 0xFF));
  frame += text;
}

FrameCodec::FrameCodec() : buffer_(BUFFER_SIZE) {}

std::size_t FrameCodec::Missing() const {
  switch (stage_) {
    case Stage::kHeader:
      return HEADER_SIZE - filled_;
    case Stage::kText:
      return HEADER_SIZE + text_size_ - filled_;
    case Stage::kComplete:
    case Stage::kTooLong:
      break;
  }
  return 0;
}

std::size_t FrameCodec::Feed(const char* data, std::size_t size) {
  std::size_t taken = 0;
  while (taken < size && (stage_ == Stage::kHeader || stage_ == Stage::kText)) {
    const std::size_t step = std::min(Missing(), size - taken);
    std::memcpy(buffer_.data() + filled_, data + taken, step);
    filled_ += step;
    taken += step;
    if (Missing() != 0) continue;

    if (stage_ == Stage::kHeader) {
      const auto* header = reinterpret_cast<const unsigned char*>(buffer_.data());
      const std::uint32_t announced = (std::uint32_t{header[0]} << 24) |
                                      (std::uint32_t{header[1]} << 16) |
                                      (std::uint32_t{header[2]} << 8) | std::uint32_t{header[3]};
      if (announced > MAX_TEXT_SIZE) {
        stage_ = Stage::kTooLong;
      } else {
        text_size_ = announced;
        stage_ = announced == 0 ? Stage::kComplete : Stage::kText;
      }
    } else {
      stage_ = Stage::kComplete;
    }
  }
  return taken;
}

std::string FrameCodec::TakeText() {
  std::string result;
  TakeText(result);
  return result;
}

void FrameCodec::TakeText(std::string& result) {
  if (stage_ != Stage::kComplete) {
    result.clear();
    return;
  }
  const char* text = buffer_.data() + HEADER_SIZE;
  const char* end = std::find(text, text + text_size_, '\0');
  result.assign(text, end);
  filled_ = 0;
  text_size_ = 0;
  stage_ = Stage::kHeader;
}

void FrameCodec::Reset() {
  filled_ = 0;
  text_size_ = 0;
  stage_ = Stage::kHeader;
}

}  // namespace zamp
