#include <gtest/gtest.h>

#include <string>

#include "platform/Addr.h"
#include "platform/ConnectErr.h"

namespace rcss::net {
namespace {

TEST(AddrTest, AnyAddressKeepsPort) {
  const Addr addr(3100);
  EXPECT_EQ(addr.getHostStr(), "0.0.0.0");
  EXPECT_EQ(addr.getPort(), 3100);
}

TEST(AddrTest, HostIsResolvedToIpv4Address) {
  struct Case {
    const char* host;
    const char* expected;
  };
  for (const Case& c : {Case{"127.0.0.1", "127.0.0.1"}, Case{"192.0.2.200", "192.0.2.200"},
                        Case{"localhost", "127.0.0.1"}}) {
    SCOPED_TRACE(c.host);
    const Addr addr(3200, c.host);
    EXPECT_EQ(addr.getHostStr(), c.expected);
    EXPECT_EQ(addr.getPort(), 3200);
  }
}

TEST(AddrTest, UnresolvableHostIsConnectErrNamingTheHost) {
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
