#include "platform/ConnectErr.h"

namespace rcss::net {

ConnectErr::ConnectErr(const std::string& reason) : std::runtime_error(reason) {}

}  // namespace rcss::net
