// A stream socket over IPv4: the kind of link the simulation server speaks on its agent and
// trainer ports.
#pragma once

#include "platform/Socket.h"

namespace rcss::net {

class TCPSocket : public Socket {
 public:
  TCPSocket() = default;
  ~TCPSocket() override;

 protected:
  int doOpen() override;
};

}  // namespace rcss::net
