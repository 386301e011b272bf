#include "support/FakeServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace zamp::test {

namespace {

// Room for a full team of agents plus their trainer links knocking at once.
const int LISTEN_BACKLOG = 64;
// Large enough that the longest frame the agent accepts (81920 bytes with its header) fits
// into the kernel buffers, so a single-threaded test can send it before the agent reads.
const int SEND_BUFFER_SIZE = 512 * 1024;  // bytes

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string("fake server: ") + what + ": " + std::strerror(errno));
}

}  // namespace

FakeServer::FakeServer() : FakeServer(0) {}

FakeServer::FakeServer(int port) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) Fail("socket");
  sockaddr_in addr;
  std::memset(&addr, 0, sizeof(addr));
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    Close();
    Fail("bind");
  }
  if (::listen(listen_fd_, LISTEN_BACKLOG) != 0) {
    Close();
    Fail("listen");
  }
  socklen_t size = sizeof(addr);
  if (::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &size) != 0) {
    Close();
    Fail("getsockname");
  }
  port_ = ntohs(addr.sin_port);
}

FakeServer::~FakeServer() { Close(); }

void FakeServer::Close() {
  if (listen_fd_ < 0) return;
  ::close(listen_fd_);
  listen_fd_ = -1;
}

std::unique_ptr<FakeConnection> FakeServer::Accept(std::chrono::milliseconds timeout) {
  if (listen_fd_ < 0) return nullptr;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd wanted{listen_fd_, POLLIN, 0};
    const int ready = ::poll(&wanted, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return nullptr;
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == ECONNABORTED) continue;
      return nullptr;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &SEND_BUFFER_SIZE, sizeof(SEND_BUFFER_SIZE));
    return std::make_unique<FakeConnection>(fd);
  }
}

}  // namespace zamp::test
