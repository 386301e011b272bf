#include "platform/TCPSocket.h"

#include <sys/socket.h>

namespace rcss::net {

TCPSocket::~TCPSocket() = default;

int TCPSocket::doOpen() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }

}  // namespace rcss::net
