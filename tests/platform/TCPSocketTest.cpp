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

Addr Loopback(int port) { return Addr(static_cast<std::uint16_t>(port), "127.0.0.1"); }

TEST(TCPSocketTest, ConnectedSocketExchangesBytesBothWaysUntilClosed) {
  FakeServer server;
  TCPSocket socket;
  EXPECT_EQ(socket.getFD(), -1);
  socket.bind(Addr(0));
  EXPECT_GE(socket.getFD(), 0);
  EXPECT_FALSE(socket.isConnected());
  socket.connect(Loopback(server.Port()));
  EXPECT_TRUE(socket.isConnected());
  auto link = server.Accept(kWait);
  ASSERT_NE(link, nullptr);

  EXPECT_EQ(socket.send("abc", 3), 3);
  EXPECT_EQ(link->ReceiveRaw(3, kWait), "abc");
  ASSERT_TRUE(link->SendRaw("xyz"));
  char received[3];
  ASSERT_EQ(socket.recv(received, sizeof(received)), 3);
  EXPECT_EQ(std::string(received, 3), "xyz");
  link->Close();
  EXPECT_EQ(socket.recv(received, sizeof(received)), 0) << "end of stream after the peer closed";

  // Closing releases the descriptor; the socket can connect again, and closing ends the link.
  socket.close();
  EXPECT_EQ(socket.getFD(), -1);
  EXPECT_FALSE(socket.isConnected());
  socket.close();  // closing twice is harmless
  socket.connect(Loopback(server.Port()));
  EXPECT_TRUE(socket.isConnected());
  link = server.Accept(kWait);
  ASSERT_NE(link, nullptr);
  socket.close();
  EXPECT_TRUE(link->WaitForClose(kWait));
}

TEST(TCPSocketTest, FailuresCarryTheSystemText) {
  const zamp::test::RefusingPort refusing;
  TCPSocket socket;
  try {
    socket.connect(Loopback(refusing.Port()));
    FAIL() << "connected to a port that does not listen";
  } catch (const ConnectErr& error) {
    EXPECT_STREQ(error.what(), "Connection refused");
  }
  EXPECT_FALSE(socket.isConnected());

  FakeServer server;
  try {
    TCPSocket().bind(Addr(static_cast<std::uint16_t>(server.Port())));
    FAIL() << "bound a port that is in use";
  } catch (const BindErr& error) {
    EXPECT_STREQ(error.what(), "Address already in use");
  }
}

}  // namespace
}  // namespace rcss::net
