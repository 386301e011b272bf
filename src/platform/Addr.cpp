#include "platform/Addr.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>

#include "platform/ConnectErr.h"

namespace rcss::net {

Addr::Addr(std::uint16_t port) {
  std::memset(&addr_, 0, sizeof(addr_));
  addr_.sin_family = AF_INET;
  addr_.sin_port = htons(port);
  addr_.sin_addr.s_addr = htonl(INADDR_ANY);
}

Addr::Addr(std::uint16_t port, const std::string& host) : Addr(port) {
  // A dotted address needs no resolver.
  if (inet_pton(AF_INET, host.c_str(), &addr_.sin_addr) == 1) return;

  addrinfo hints;
  std::memset(&hints, 0, sizeof(hints));
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) {
    if (found != nullptr) freeaddrinfo(found);
    throw ConnectErr("cannot resolve host '" + host + "': " + gai_strerror(rc));
  }
  addr_.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
}

std::uint16_t Addr::getPort() const { return ntohs(addr_.sin_port); }

std::string Addr::getHostStr() const {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &addr_.sin_addr, text, sizeof(text));
  return text;
}

}  // namespace rcss::net
