// An IPv4 socket address (host and port) for binding and connecting. The simulation server
// listens on IPv4, so no other family is needed.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>

namespace rcss::net {

class Addr {
 public:
  // Any local address on the given port; port 0 lets the system choose one.
  explicit Addr(std::uint16_t port);
  // The given host, numeric ("127.0.0.1") or a name. A host that cannot be resolved throws
  // ConnectErr, since it means the peer cannot be reached.
  Addr(std::uint16_t port, const std::string& host);

  const sockaddr* getAddr() const { return reinterpret_cast<const sockaddr*>(&addr_); }
  socklen_t getAddrLen() const { return sizeof(addr_); }
  std::uint16_t getPort() const;
  // The address in dotted decimal form.
  std::string getHostStr() const;

 private:
  sockaddr_in addr_;
};

}  // namespace rcss::net
