#include "support/FakeConnection.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace zamp::test {

namespace {

// Frames the agent sends are effector texts of a few kilobytes; anything near this size
// means the stream is out of step.
const std::uint32_t MAX_RECEIVED_FRAME = 16u << 20;  // bytes

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for the events on fd until the deadline; false on time-out or a failed wait.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd wanted{fd, events, 0};
    const int ready = poll(&wanted, 1, MillisecondsLeft(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace

FakeConnection::FakeConnection(int fd) : fd_(fd) {}

FakeConnection::~FakeConnection() { Close(); }

void FakeConnection::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

bool FakeConnection::SendFrame(const std::string& text, std::chrono::milliseconds timeout) {
  const auto size = static_cast<std::uint32_t>(text.size());
  std::string frame;
  frame.push_back(static_cast<char>(size >> 24));
  frame.push_back(static_cast<char>(size >> 16));
  frame.push_back(static_cast<char>(size >> 8));
  frame.push_back(static_cast<char>(size));
  return SendRaw(frame + text, timeout);
}

bool FakeConnection::SendRaw(const std::string& bytes, std::chrono::milliseconds timeout) {
  if (fd_ < 0) return false;
  const auto deadline = Clock::now() + timeout;
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t written =
        ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (written > 0) {
      sent += static_cast<std::size_t>(written);
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(fd_, POLLOUT, deadline)) return false;
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

bool FakeConnection::ReadSome(Clock::time_point deadline) {
  if (fd_ < 0 || peer_closed_) return false;
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::recv(fd_, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (got > 0) {
      inbox_.append(chunk, static_cast<std::size_t>(got));
      return true;
    }
    if (got == 0) {
      peer_closed_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      peer_closed_ = true;
      return false;
    }
    if (!WaitFor(fd_, POLLIN, deadline)) return false;
  }
}

bool FakeConnection::Fill(std::size_t size, Clock::time_point deadline) {
  while (inbox_.size() < size) {
    if (!ReadSome(deadline)) return false;
  }
  return true;
}

std::optional<std::string> FakeConnection::ReceiveFrame(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  if (!Fill(4, deadline)) return std::nullopt;
  const auto* header = reinterpret_cast<const unsigned char*>(inbox_.data());
  const std::uint32_t size = (std::uint32_t{header[0]} << 24) | (std::uint32_t{header[1]} << 16) |
                             (std::uint32_t{header[2]} << 8) | std::uint32_t{header[3]};
  if (size > MAX_RECEIVED_FRAME) return std::nullopt;
  if (!Fill(4 + std::size_t{size}, deadline)) return std::nullopt;
  std::string text = inbox_.substr(4, size);
  inbox_.erase(0, 4 + std::size_t{size});
  return text;
}

std::optional<std::string> FakeConnection::ReceiveRaw(std::size_t size,
                                                      std::chrono::milliseconds timeout) {
  if (!Fill(size, Clock::now() + timeout)) return std::nullopt;
  std::string bytes = inbox_.substr(0, size);
  inbox_.erase(0, size);
  return bytes;
}

bool FakeConnection::WaitForClose(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!peer_closed_) {
    if (!ReadSome(deadline) && !peer_closed_) return false;
  }
  return true;
}

}  // namespace zamp::test
