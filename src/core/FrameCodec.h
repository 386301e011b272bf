// The framing of the server link, apart from any socket: every message in both directions is
// a 4-byte big-endian length N followed by N bytes of S-expression text, with no terminator.
//
// Encode builds one outgoing frame. Decoding is incremental: the link feeds whatever bytes it
// received, and the codec takes only the bytes of the current frame (Missing() tells how many
// it still needs), so a read never swallows the start of the next frame. An announced length
// above MAX_TEXT_SIZE rejects the stream for good; the length is never used to size anything
// before that check, so no announced value can overflow the storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zamp {

class FrameCodec {
 public:
  static constexpr std::size_t HEADER_SIZE = 4;        // bytes
  static constexpr std::size_t BUFFER_SIZE = 0x14000;  // bytes, header plus the longest text
  static constexpr std::uint32_t MAX_TEXT_SIZE = BUFFER_SIZE - HEADER_SIZE;  // bytes, 81916

  // The frame for one text: its length as 4 big-endian bytes, then the text.
  static std::string Encode(const std::string& text);
  // The same frame written into `frame` (replacing it), so that a sender that keeps its
  // frame allocates nothing once the frame has held a message this long.
  static void Encode(const std::string& text, std::string& frame);

  FrameCodec();

  // Takes bytes of the current frame from data and returns how many it took; stops at the end
  // of a frame (which must be taken before the next one starts) and takes nothing once the
  // stream is rejected.
  std::size_t Feed(const char* data, std::size_t size);
  // Bytes still needed to finish the header or the text of the current frame; 0 when a frame
  // is complete or the stream is rejected.
  std::size_t Missing() const;
  bool HasFrame() const { return stage_ == Stage::kComplete; }
  // True once a header announced a text longer than MAX_TEXT_SIZE.
  bool IsTooLong() const { return stage_ == Stage::kTooLong; }
  // The text of the complete frame, up to its first zero byte if it holds one; the codec then
  // waits for the next header. Empty when no frame is complete.
  std::string TakeText();
  // The same text written into `text` (replacing it), without an allocation once `text`
  // has held a message this long.
  void TakeText(std::string& text);
  // Forgets any partial frame and a rejection.
  void Reset();

 private:
  enum class Stage { kHeader, kText, kComplete, kTooLong };

  std::vector<char> buffer_;     // header and text of the current frame
  std::size_t filled_ = 0;       // bytes of buffer_ in use
  std::uint32_t text_size_ = 0;  // bytes, announced by the current header
  Stage stage_ = Stage::kHeader;
};

}  // namespace zamp
