// A scripted stand-in for the simulation server: it listens on 127.0.0.1 on a port the system
// chooses (never a fixed one), and every accepted agent gets its own FakeConnection that the
// test drives frame by frame. Several agents may be connected at once; each connection is
// independent, so a test may also drive them from one thread each. Every wait is bounded.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "support/FakeConnection.h"

namespace zamp::test {

class FakeServer {
 public:
  // Binds and listens; throws std::runtime_error when the loopback port cannot be had.
  FakeServer();
  // The same on a given port, for a second port at a fixed distance from the first.
  explicit FakeServer(int port);
  ~FakeServer();
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;

  int Port() const { return port_; }
  // The next agent that connected, or null when none did within the time-out.
  std::unique_ptr<FakeConnection> Accept(std::chrono::milliseconds timeout);
  // Stops listening; later connection attempts are refused.
  void Close();

 private:
  int listen_fd_ = -1;
  int port_ = 0;
};

}  // namespace zamp::test
