#include <gtest/gtest.h>

#include <string>

#include "platform/Addr.h"
#include "platform/ConnectErr.h"

namespace rcss::net {
namespace {

TEST(AddrTest, HostIsResolvedToIpv4AddressOrIsAConnectErrNamingIt) {
  EXPECT_EQ(Addr(3100).getHostStr(), "0.0.0.0");
  for (const char* host : {"192.0.2.200", "localhost"}) {
    const Addr addr(3200, host);
    EXPECT_EQ(addr.getHostStr(), host == std::string("localhost") ? "127.0.0.1" : host);
    EXPECT_EQ(addr.getPort(), 3200);
  }
  // Not a valid host name, so the resolver rejects it without asking any name server.
  try {
    Addr addr(3100, "bad host!");
    FAIL() << "resolved to " << addr.getHostStr();
  } catch (const ConnectErr& error) {
    EXPECT_NE(std::string(error.what()).find("bad host!"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace rcss::net
