#include "platform/BindErr.h"

namespace rcss::net {

BindErr::BindErr(const std::string& reason) : std::runtime_error(reason) {}

}  // namespace rcss::net
