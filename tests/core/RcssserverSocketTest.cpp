#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/FrameCodec.h"
#include "core/RcssserverSocket.h"
#include "support/ChildProcess.h"
#include "support/FakeServer.h"
#include "support/Fixtures.h"
#include "support/RefusingPort.h"

namespace zamp {
namespace {

using std::chrono::milliseconds;
using test::ChildProcess;
using test::FakeConnection;
using test::FakeServer;

const milliseconds kWait{5000};

// Runs ReadOptions on a command line given as texts.
void ReadOptions(RcssserverSocket& socket, std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  socket.ReadOptions(static_cast<int>(argv.size()), argv.data());
}

// Points the socket at a port and connects it; the returned link is the server's end.
std::unique_ptr<FakeConnection> Connect(RcssserverSocket& socket, FakeServer& server) {
  ReadOptions(socket, {"agent", "--port=" + std::to_string(server.Port())});
  if (!socket.Init()) return nullptr;
  return server.Accept(kWait);
}

// Init installs the agent's SIGINT handler; it is undone after each test so that an
// interrupt still stops the test program.
class RcssserverSocketLinkTest : public ::testing::Test {
 protected:
  void TearDown() override { std::signal(SIGINT, SIG_DFL); }
};

// One connected link.
class RcssserverSocketTest : public RcssserverSocketLinkTest {
 protected:
  void SetUp() override {
    link_ = Connect(socket_, server_);
    ASSERT_NE(link_, nullptr);
  }

  FakeServer server_;
  RcssserverSocket socket_;
  std::unique_ptr<FakeConnection> link_;
};

TEST_F(RcssserverSocketTest, ReceivesFrameSplitAtEveryByte) {
  const std::string text = test::ReadFixtureLines("perception/toes_type4.txt").front();
  const std::string frame = FrameCodec::Encode(text);
  for (std::size_t split = 0; split <= frame.size(); ++split) {
    SCOPED_TRACE("split at byte " + std::to_string(split));
    ASSERT_TRUE(link_->SendRaw(frame.substr(0, split)));
    ASSERT_TRUE(link_->SendRaw(frame.substr(split)));
    ASSERT_TRUE(socket_.ReceiveMessage());
    ASSERT_EQ(socket_.GetServerMessage(), text);
  }
  EXPECT_FALSE(socket_.HasAbnormalEnd());
}

TEST_F(RcssserverSocketTest, FramesArrivingInPiecesOverTimeAreReceivedOneAtATime) {
  const std::vector<std::string> texts = {"(before)", "",
                                          std::string(FrameCodec::MAX_TEXT_SIZE, 'a'), "(after)"};
  std::string bytes;
  for (const std::string& text : texts) bytes += FrameCodec::Encode(text);
  // The pauses are the subject here: they make the agent see the frames in several reads,
  // cut inside and between headers and texts.
  std::thread sender([&] {
    std::size_t from = 0;
    for (std::size_t to :
         {std::size_t{1}, std::size_t{4}, std::size_t{9}, std::size_t{20}, bytes.size()}) {
      link_->SendRaw(bytes.substr(from, to - from));
      from = to;
      std::this_thread::sleep_for(milliseconds(5));
    }
  });
  std::vector<std::string> received;
  while (received.size() < texts.size() && socket_.ReceiveMessage()) {
    received.push_back(socket_.GetServerMessage());
  }
  sender.join();
  EXPECT_EQ(received, texts);
  EXPECT_FALSE(socket_.HasAbnormalEnd());
}

TEST_F(RcssserverSocketLinkTest, OversizedLengthEndsRunAbnormally) {
  for (std::uint32_t announced : {81917u, 0xFFFFFFFFu}) {
    SCOPED_TRACE("announced " + std::to_string(announced));
    FakeServer server;
    RcssserverSocket socket;
    const auto link = Connect(socket, server);
    ASSERT_NE(link, nullptr);
    // Bytes behind the header must not be read into the buffer either.
    ASSERT_TRUE(link->SendRaw(FakeConnection::Header(announced) + std::string(4096, 'z')));
    testing::internal::CaptureStderr();
    const bool received = socket.ReceiveMessage();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "message too long; aborting\n");
    EXPECT_FALSE(received);
    EXPECT_TRUE(socket.HasAbnormalEnd());
    EXPECT_FALSE(socket.ReceiveMessage()) << "a rejected stream stays rejected";
  }
}

TEST_F(RcssserverSocketLinkTest, PeerCloseEndsReceiveAtOnceAsNormalEnd) {
  const std::string frame = FrameCodec::Encode("(time (now 3.00))");
  for (std::size_t sent : {std::size_t{0}, std::size_t{2}, std::size_t{10}, frame.size()}) {
    SCOPED_TRACE("bytes sent before close: " + std::to_string(sent));
    FakeServer server;
    RcssserverSocket socket;
    auto link = Connect(socket, server);
    ASSERT_NE(link, nullptr);
    ASSERT_TRUE(link->SendRaw(frame.substr(0, sent)));
    link->Close();
    // The last whole frame before the close is still delivered.
    EXPECT_EQ(socket.ReceiveMessage(), sent == frame.size());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(socket.ReceiveMessage());
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1000))
        << "a closed link must not be polled until the 4 s limit";
    EXPECT_FALSE(socket.HasAbnormalEnd());
  }
}

TEST_F(RcssserverSocketTest, SilenceEndsRunAbnormallyAfterSelectTimeout) {
  socket_.SetSelectTimeout(milliseconds(150));
  testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  const bool received = socket_.ReceiveMessage();
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "(SelectInput) select failed timeout\n");
  EXPECT_FALSE(received);
  EXPECT_TRUE(socket_.HasAbnormalEnd());
  EXPECT_GE(waited, milliseconds(150));
  EXPECT_LT(waited, milliseconds(3000));
}

TEST_F(RcssserverSocketTest, SendMessageWritesLengthThenTextAndNothingForAnEmptyText) {
  socket_.SendMessage("");
  socket_.SendMessage("(syn)");
  // Had the empty message produced a frame, its 4 zero bytes would come first.
  EXPECT_EQ(link_->ReceiveRaw(9, kWait), std::string("\x00\x00\x00\x05(syn)", 9));
}

TEST_F(RcssserverSocketTest, LargeMessageIsSentWhole) {
  std::string text;
  while (text.size() < (2u << 20)) text += "(he1 0.00)(he2 0.00)";
  std::optional<std::string> received;
  std::thread reader([&] { received = link_->ReceiveFrame(milliseconds(10000)); });
  socket_.SendMessage(text);
  reader.join();
  EXPECT_EQ(received, text);
}

TEST_F(RcssserverSocketTest, DoneClosesLinkAndReports) {
  testing::internal::CaptureStdout();
  socket_.Done();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "closed connection to 127.0.0.1:" + std::to_string(server_.Port()) + "\n");
  EXPECT_TRUE(link_->WaitForClose(kWait));
  EXPECT_FALSE(socket_.ReceiveMessage());
  EXPECT_FALSE(socket_.HasAbnormalEnd());
}

TEST_F(RcssserverSocketLinkTest, ConnectionFailuresAreReported) {
  const test::RefusingPort refusing;
  RcssserverSocket refused;
  ReadOptions(refused, {"agent", "--port=" + std::to_string(refusing.Port())});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(refused.Init());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "connection failed with: 'Connection refused'\n");
  EXPECT_FALSE(refused.ReceiveMessage());

  RcssserverSocket unresolved;
  // Not a valid host name, so the resolver rejects it without asking any name server.
  ReadOptions(unresolved, {"agent", "-h", "bad host!"});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(unresolved.Init());
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("connection failed with: '", 0), 0u) << err;
  EXPECT_NE(err.find("bad host!"), std::string::npos) << err;
}

TEST(RcssserverSocketProcessTest, SendToClosedPeerDoesNotRaiseSigpipe) {
  const ChildProcess child = ChildProcess::Run([] {
    FakeServer server;
    RcssserverSocket socket;
    auto link = Connect(socket, server);
    if (link == nullptr) std::_Exit(3);
    link->Close();
    if (socket.ReceiveMessage()) std::_Exit(4);
    for (int i = 0; i < 5; ++i) socket.SendMessage("(he1 0.00)");
  });
  EXPECT_EQ(child.TermSignal(), 0);
  EXPECT_EQ(child.ExitStatus(), 0);
}

TEST(RcssserverSocketProcessTest, SigintWhileServerIsSilentEndsReceiveCleanly) {
  FakeServer server;
  ChildProcess child([&server] {
    RcssserverSocket socket;
    ReadOptions(socket, {"agent", "--port=" + std::to_string(server.Port())});
    socket.SetSelectTimeout(std::chrono::seconds(30));
    if (!socket.Init()) std::_Exit(3);
    const bool received = socket.ReceiveMessage();
    std::cout << "received=" << received << " end=" << socket.HasEndSignal()
              << " abnormal=" << socket.HasAbnormalEnd();
  });
  // The accepted link means Init has installed the handler; the agent waits for input now or
  // very soon, and either way the signal must end that wait.
  const auto link = server.Accept(kWait);
  ASSERT_NE(link, nullptr);
  child.Signal(SIGINT);
  ASSERT_TRUE(child.Wait(milliseconds(10000))) << "SIGINT did not end the wait";
  EXPECT_EQ(child.ExitStatus(), 0);
  EXPECT_EQ(child.Out(), "received=0 end=1 abnormal=0");
  EXPECT_EQ(child.Err(), "");
}

// Option parsing ends the process on some inputs, so every case runs in its own child. The
// child reports the resulting settings on standard error, keeping standard output exactly as
// the parser wrote it.
TEST(RcssserverSocketOptionsTest, CommandLineSetsOptionsOrEndsWithUsage) {
  const std::string defaults =
      "host=127.0.0.1 port=3100 team=Agent unum=10 syn=0 type=0 ser=0.6.9 mode=game";
  const auto with = [&defaults](const std::string& setting, const std::string& value) {
    std::string settings = defaults;
    const std::size_t start = settings.find(" " + setting + "=") + setting.size() + 2;
    const std::size_t end = std::min(settings.find(' ', start), settings.size());
    return settings.replace(start, end - start, value);
  };
  const std::string usage =
      "\nusage: runnerkite [options]\n"
      "\noptions:\n"
      " --help                prints this message.\n"
      " --host=IP             IP of the server.\n"
      " --port=PORT           PORT NUMBER of the server.\n"
      " --team=NAME           NAME of the team.\n"
      " --syn=Synchronize     Can send (syn) to server. 0 or 1 (No or Yes)\n"
      " --type=MODEL          TYPE of the nao model type.(0 - 4)\n"
      "\n";
  const auto no_unum = [](const std::string& unum) {
    return "I use Unum 11 because Unum " + unum + " doesn't exist.\n";
  };
  const struct {
    std::vector<std::string> args;
    std::string out;       // standard output, byte for byte
    std::string settings;  // empty: the process ended inside ReadOptions
  } cases[] = {
      {{"agent"}, "", defaults},
      {{"agent", "--help"}, usage, ""},
      {{"agent", "--unum=12", "--help"}, no_unum("12") + usage, ""},
      {{"--port=3200"}, "", with("port", "3200")},  // index 0 is examined too
      {{"agent", "--port=3099"}, "", with("port", "3100")},
      {{"agent", "--port=65536"}, "", with("port", "3100")},
      {{"agent", "--port"}, usage, ""},
      {{"agent", "-h", "192.0.2.7"}, "", with("host", "192.0.2.7")},
      {{"agent", "--host", "example.test"}, "", with("host", "example.test")},
      {{"agent", "-h"}, "", defaults},
      {{"agent", "-hello"}, usage, ""},
      {{"agent", "-t", "Beta"}, "", with("team", "Beta")},
      {{"agent", "-tAlpha"}, usage, ""},
      {{"agent", "--unum=7abc"}, "", with("unum", "7")},
      {{"agent", "--unum"}, no_unum("0"), with("unum", "11")},
      {{"agent", "--unum=-1"}, no_unum("-1"), with("unum", "11")},
      {{"agent", "--unum="}, usage, ""},
      {{"agent", "--syn=2"}, "", with("syn", "1")},
      {{"agent", "--syn"}, usage, ""},
      {{"agent", "--type=4"}, "", with("type", "4")},
      {{"agent", "--type=7"}, "I use Type 0 because Type 7 doesn't exist.\n", with("type", "0")},
      {{"agent", "--types=3"}, "", with("type", "0")},  // the value starts at "=3"
      {{"agent", "--ser=0.7.3"}, "", with("ser", "0.7.3")},
      {{"agent", "--ser"}, usage, ""},
      {{"agent", "--mode"}, usage, ""},
      {{"agent", "unknown", "-x", "--verbose"}, "", defaults},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " '" + arg + "'";
    SCOPED_TRACE("command line:" + line);
    const std::vector<std::string> args = c.args;
    const ChildProcess child = ChildProcess::Run([args] {
      RcssserverSocket socket;
      ReadOptions(socket, args);
      std::cerr << "host=" << socket.GetHost() << " port=" << socket.GetPort()
                << " team=" << socket.GetTeamName() << " unum=" << socket.GetUniformNumber()
                << " syn=" << socket.IsSynMode() << " type=" << socket.GetAgentType()
                << " ser=" << socket.GetServerVer() << " mode=" << socket.GetMode();
    });
    EXPECT_EQ(child.ExitStatus(), 0);
    EXPECT_EQ(child.Out(), c.out);
    EXPECT_EQ(child.Err(), c.settings);
  }
}

}  // namespace
}  // namespace zamp
