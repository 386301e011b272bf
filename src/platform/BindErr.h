// Thrown when a socket cannot be opened or bound to its local address. The text names the
// system's reason, so the caller can show it as it is.
#pragma once

#include <stdexcept>
#include <string>

namespace rcss::net {

class BindErr : public std::runtime_error {
 public:
  explicit BindErr(const std::string& reason);
};

}  // namespace rcss::net
