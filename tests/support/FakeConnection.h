// One accepted link of the fake simulation server (see FakeServer). It speaks the server's
// framing: a 4-byte big-endian length, then the text. Every operation waits at most its
// time-out, so a test never hangs on a silent or stuck agent.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zamp::test {

class FakeConnection {
 public:
  static constexpr std::chrono::milliseconds DEFAULT_TIMEOUT{5000};

  // Takes ownership of an accepted descriptor.
  explicit FakeConnection(int fd);
  ~FakeConnection();
  FakeConnection(const FakeConnection&) = delete;
  FakeConnection& operator=(const FakeConnection&) = delete;

  // Sends one frame for text; false when the link is closed or the bytes could not all be
  // written within the time-out.
  bool SendFrame(const std::string& text, std::chrono::milliseconds timeout = DEFAULT_TIMEOUT);
  // The 4-byte header of a frame that announces size bytes of text, for hand-made frames.
  static std::string Header(std::uint32_t size) {
    return {static_cast<char>(size >> 24), static_cast<char>(size >> 16),
            static_cast<char>(size >> 8), static_cast<char>(size)};
  }
  // Sends bytes as they are (for broken or hand-made frames).
  bool SendRaw(const std::string& bytes, std::chrono::milliseconds timeout = DEFAULT_TIMEOUT);
  // The text of the next frame; nullopt on time-out, a closed link or an absurd length.
  // Bytes of a frame cut off by the time-out stay buffered for the next call.
  std::optional<std::string> ReceiveFrame(std::chrono::milliseconds timeout);
  // Exactly size bytes as they arrived; nullopt on time-out or a closed link.
  std::optional<std::string> ReceiveRaw(std::size_t size, std::chrono::milliseconds timeout);
  // True once the agent closed its end (after any bytes it still sent are drained into the
  // buffer); false on time-out.
  bool WaitForClose(std::chrono::milliseconds timeout);
  void Close();

 private:
  using Clock = std::chrono::steady_clock;

  // Reads until at least size bytes are buffered; false on deadline or end of stream.
  bool Fill(std::size_t size, Clock::time_point deadline);
  // One read of whatever is available within the deadline; false on deadline or end.
  bool ReadSome(Clock::time_point deadline);

  int fd_;
  std::string inbox_;  // received bytes not yet handed out
  bool peer_closed_ = false;
};

}  // namespace zamp::test
