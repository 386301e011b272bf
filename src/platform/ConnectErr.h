// Thrown when a socket cannot reach its peer: the host name does not resolve, the socket
// cannot be opened, or the connection is refused or fails. The text names the reason.
#pragma once

#include <stdexcept>
#include <string>

namespace rcss::net {

class ConnectErr : public std::runtime_error {
 public:
  explicit ConnectErr(const std::string& reason);
};

}  // namespace rcss::net
