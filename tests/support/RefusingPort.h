// A loopback port that is bound but never listens, so a connection to it is refused at once.
// Holding it bound for the life of the object keeps any other process from taking it.
#pragma once

namespace zamp::test {

class RefusingPort {
 public:
  // Throws std::runtime_error when no loopback port can be bound.
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace zamp::test
