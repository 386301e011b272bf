// A thin owner of one POSIX socket descriptor. The descriptor is opened on the first bind or
// connect (so a closed socket can be used again) and closed by close() or the destructor.
// send and recv pass the system's result through unchanged: -1 with errno set on failure.
#pragma once

#include <sys/types.h>

#include <cstddef>

#include "platform/Addr.h"

namespace rcss::net {

class Socket {
 public:
  virtual ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Throws BindErr when the socket cannot be opened or bound.
  void bind(const Addr& addr);
  // Throws ConnectErr when the socket cannot be opened or the peer cannot be reached.
  void connect(const Addr& addr);
  ssize_t send(const char* data, std::size_t size, int flags = 0);
  ssize_t recv(char* data, std::size_t size, int flags = 0);
  void close();
  // True while the descriptor is open and has a peer.
  bool isConnected() const;
  // The descriptor, or -1 when closed.
  int getFD() const { return fd_; }

 protected:
  Socket() = default;
  // Creates the descriptor of the concrete kind; returns -1 with errno set on failure.
  virtual int doOpen() = 0;

 private:
  // Opens the descriptor if needed; returns false with errno set on failure.
  bool open();

  int fd_ = -1;
};

}  // namespace rcss::net
