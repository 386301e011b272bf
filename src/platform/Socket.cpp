#include "platform/Socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/BindErr.h"
#include "platform/ConnectErr.h"

namespace rcss::net {

Socket::~Socket() { close(); }

bool Socket::open() {
  if (fd_ >= 0) return true;
  fd_ = doOpen();
  return fd_ >= 0;
}

void Socket::bind(const Addr& addr) {
  if (!open()) throw BindErr(std::strerror(errno));
  if (::bind(fd_, addr.getAddr(), addr.getAddrLen()) != 0) throw BindErr(std::strerror(errno));
}

void Socket::connect(const Addr& addr) {
  if (!open()) throw ConnectErr(std::strerror(errno));
  if (::connect(fd_, addr.getAddr(), addr.getAddrLen()) != 0) {
    throw ConnectErr(std::strerror(errno));
  }
}

ssize_t Socket::send(const char* data, std::size_t size, int flags) {
  return ::send(fd_, data, size, flags);
}

ssize_t Socket::recv(char* data, std::size_t size, int flags) {
  return ::recv(fd_, data, size, flags);
}

void Socket::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

bool Socket::isConnected() const {
  if (fd_ < 0) return false;
  sockaddr_storage peer;
  socklen_t size = sizeof(peer);
  return getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &size) == 0;
}

}  // namespace rcss::net
