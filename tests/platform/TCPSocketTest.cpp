#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/BindErr.h"
#include "platform/ConnectErr.h"
#include "platform/TCPSocket.h"
#include "support/FakeServer.h"
#include "support/RefusingPort.h"

namespace rcss::net {
namespace {

using std::chrono::milliseconds;
using zamp::test::FakeServer;

const milliseconds kWait{5000};

std::uint16_t PortOf(int port) { return static_cast<std::uint16_t>(port); }

TEST(TCPSocketTest, NewSocketHasNoDescriptorAndNoPeer) {
  TCPSocket socket;
  EXPECT_EQ(socket.getFD(), -1);
  EXPECT_FALSE(socket.isConnected());
}

TEST(TCPSocketTest, ConnectedSocketExchangesBytesBothWays) {
  FakeServer server;
  TCPSocket socket;
  socket.bind(Addr(0));
  EXPECT_GE(socket.getFD(), 0);
  EXPECT_FALSE(socket.isConnected());
  socket.connect(Addr(PortOf(server.Port()), "127.0.0.1"));
  EXPECT_TRUE(socket.isConnected());
  const auto link = server.Accept(kWait);
  ASSERT_NE(link, nullptr);

  EXPECT_EQ(socket.send("abc", 3), 3);
  EXPECT_EQ(link->ReceiveRaw(3, kWait), "abc");
  ASSERT_TRUE(link->SendRaw("xyz"));
  char received[3];
  ASSERT_EQ(socket.recv(received, sizeof(received)), 3);
  EXPECT_EQ(std::string(received, 3), "xyz");

  link->Close();
  EXPECT_EQ(socket.recv(received, sizeof(received)), 0) << "end of stream after the peer closed";
}

TEST(TCPSocketTest, CloseReleasesDescriptorAndEndsLink) {
  FakeServer server;
  TCPSocket socket;
  socket.connect(Addr(PortOf(server.Port()), "127.0.0.1"));
  const auto link = server.Accept(kWait);
  ASSERT_NE(link, nullptr);
  socket.close();
  EXPECT_EQ(socket.getFD(), -1);
  EXPECT_FALSE(socket.isConnected());
  EXPECT_TRUE(link->WaitForClose(kWait));
  socket.close();  // closing twice is harmless
}

TEST(TCPSocketTest, ClosedSocketCanConnectAgain) {
  FakeServer server;
  TCPSocket socket;
  socket.connect(Addr(PortOf(server.Port()), "127.0.0.1"));
  socket.close();
  socket.connect(Addr(PortOf(server.Port()), "127.0.0.1"));
  EXPECT_TRUE(socket.isConnected());
  EXPECT_NE(server.Accept(kWait), nullptr);
  EXPECT_NE(server.Accept(kWait), nullptr);
}

TEST(TCPSocketTest, RefusedConnectionIsConnectErrWithSystemText) {
  const zamp::test::RefusingPort refusing;
  TCPSocket socket;
  try {
    socket.connect(Addr(PortOf(refusing.Port()), "127.0.0.1"));
    FAIL() << "connected to a port that does not listen";
  } catch (const ConnectErr& error) {
    EXPECT_STREQ(error.what(), "Connection refused");
  }
  EXPECT_FALSE(socket.isConnected());
}

TEST(TCPSocketTest, BindingPortInUseIsBindErrWithSystemText) {
  FakeServer server;
  TCPSocket socket;
  try {
    socket.bind(Addr(PortOf(server.Port())));
    FAIL() << "bound a port that is in use";
  } catch (const BindErr& error) {
    EXPECT_STREQ(error.what(), "Address already in use");
  }
}

}  // namespace
}  // namespace rcss::net
