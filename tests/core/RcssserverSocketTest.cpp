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

std::string Header(std::uint32_t size) {
  return std::string{static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                     static_cast<char>(size >> 8), static_cast<char>(size)};
}

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

TEST_F(RcssserverSocketTest, BackToBackFramesAreReceivedOneAtATime) {
  const std::vector<std::string> texts =
      test::ReadFixtureLines("perception/before_kickoff_type0.txt");
  ASSERT_GE(texts.size(), 3u);
  ASSERT_TRUE(link_->SendRaw(FrameCodec::Encode(texts[0]) + FrameCodec::Encode(texts[1]) +
                             FrameCodec::Encode(texts[2])));
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(socket_.ReceiveMessage());
    EXPECT_EQ(socket_.GetServerMessage(), texts[i]);
  }
}

TEST_F(RcssserverSocketTest, FrameArrivingInPiecesOverTimeIsJoined) {
  const std::string text = "(time (now 1.00))(GS (t 0.00) (pm BeforeKickOff))";
  const std::string frame = FrameCodec::Encode(text);
  // The pauses are the subject here: they make the agent see the frame in several reads.
  std::thread sender([&] {
    std::size_t from = 0;
    for (std::size_t to : {std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{9},
                           std::size_t{30}, frame.size()}) {
      link_->SendRaw(frame.substr(from, to - from));
      from = to;
      std::this_thread::sleep_for(milliseconds(5));
    }
  });
  const bool received = socket_.ReceiveMessage();
  sender.join();
  ASSERT_TRUE(received);
  EXPECT_EQ(socket_.GetServerMessage(), text);
}

TEST_F(RcssserverSocketTest, ZeroLengthFrameGivesEmptyMessage) {
  ASSERT_TRUE(link_->SendFrame("(before)"));
  ASSERT_TRUE(link_->SendRaw(Header(0)));
  ASSERT_TRUE(socket_.ReceiveMessage());
  ASSERT_EQ(socket_.GetServerMessage(), "(before)");
  ASSERT_TRUE(socket_.ReceiveMessage());
  EXPECT_EQ(socket_.GetServerMessage(), "");
}

TEST_F(RcssserverSocketTest, LongestAcceptedFrameIsReceivedWhole) {
  const std::string text(FrameCodec::MAX_TEXT_SIZE, 'a');
  ASSERT_TRUE(link_->SendFrame(text));
  ASSERT_TRUE(socket_.ReceiveMessage());
  EXPECT_EQ(socket_.GetServerMessage().size(), 81916u);
  EXPECT_EQ(socket_.GetServerMessage(), text);
  EXPECT_FALSE(socket_.HasAbnormalEnd());
}

TEST_F(RcssserverSocketTest, TextIsCutAtFirstZeroByte) {
  ASSERT_TRUE(link_->SendFrame(std::string("(a)\0(b)", 7)));
  ASSERT_TRUE(socket_.ReceiveMessage());
  EXPECT_EQ(socket_.GetServerMessage(), "(a)");
}

TEST_F(RcssserverSocketLinkTest, OversizedLengthEndsRunAbnormally) {
  for (std::uint32_t announced : {81917u, 0x14000u, 0x80000000u, 0xFFFFFFFCu, 0xFFFFFFFFu}) {
    SCOPED_TRACE("announced " + std::to_string(announced));
    FakeServer server;
    RcssserverSocket socket;
    const auto link = Connect(socket, server);
    ASSERT_NE(link, nullptr);
    // Bytes behind the header must not be read into the buffer either.
    ASSERT_TRUE(link->SendRaw(Header(announced) + std::string(4096, 'z')));
    testing::internal::CaptureStderr();
    const bool received = socket.ReceiveMessage();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(received);
    EXPECT_TRUE(socket.HasAbnormalEnd());
    EXPECT_EQ(err, "message too long; aborting\n");
    EXPECT_FALSE(socket.ReceiveMessage()) << "a rejected stream stays rejected";
  }
}

TEST_F(RcssserverSocketLinkTest, PeerCloseEndsReceiveAtOnceAsNormalEnd) {
  const std::string frame = FrameCodec::Encode("(time (now 3.00))");
  struct Case {
    const char* name;
    std::string sent_before_close;
  };
  const std::vector<Case> cases = {
      {"nothing", ""},
      {"half a header", frame.substr(0, 2)},
      {"half a text", frame.substr(0, 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeServer server;
    RcssserverSocket socket;
    auto link = Connect(socket, server);
    ASSERT_NE(link, nullptr);
    ASSERT_TRUE(link->SendRaw(c.sent_before_close));
    link->Close();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(socket.ReceiveMessage());
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1000))
        << "a closed link must not be polled until the 4 s limit";
    EXPECT_FALSE(socket.HasAbnormalEnd());
  }
}

TEST_F(RcssserverSocketTest, LastFrameBeforeCloseIsStillDelivered) {
  ASSERT_TRUE(link_->SendFrame("(last)"));
  link_->Close();
  ASSERT_TRUE(socket_.ReceiveMessage());
  EXPECT_EQ(socket_.GetServerMessage(), "(last)");
  EXPECT_FALSE(socket_.ReceiveMessage());
  EXPECT_FALSE(socket_.HasAbnormalEnd());
}

TEST_F(RcssserverSocketTest, SilenceEndsRunAbnormallyAfterSelectTimeout) {
  socket_.SetSelectTimeout(milliseconds(150));
  testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  const bool received = socket_.ReceiveMessage();
  const auto waited = std::chrono::steady_clock::now() - start;
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(received);
  EXPECT_TRUE(socket_.HasAbnormalEnd());
  EXPECT_EQ(err, "(SelectInput) select failed timeout\n");
  EXPECT_GE(waited, milliseconds(150));
  EXPECT_LT(waited, milliseconds(3000));
}

TEST_F(RcssserverSocketTest, SendMessageWritesLengthThenText) {
  socket_.SendMessage("(syn)");
  EXPECT_EQ(link_->ReceiveRaw(9, kWait), std::string("\x00\x00\x00\x05(syn)", 9));
}

TEST_F(RcssserverSocketTest, EmptyMessageSendsNothing) {
  socket_.SendMessage("");
  socket_.SendMessage("(a)");
  // Had the empty message produced a frame, its 4 zero bytes would come first.
  EXPECT_EQ(link_->ReceiveRaw(7, kWait), std::string("\x00\x00\x00\x03(a)", 7));
}

TEST_F(RcssserverSocketTest, LargeMessageIsSentWhole) {
  std::string text;
  while (text.size() < (2u << 20)) text += "(he1 0.00)(he2 0.00)";
  std::optional<std::string> received;
  std::thread reader([&] { received = link_->ReceiveFrame(milliseconds(10000)); });
  socket_.SendMessage(text);
  reader.join();
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(*received, text);
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

TEST_F(RcssserverSocketTest, NoEndSignalWithoutSigint) {
  EXPECT_FALSE(socket_.HasEndSignal());
  ASSERT_TRUE(link_->SendFrame("(x)"));
  EXPECT_FALSE(socket_.CanDisconnect());
}

TEST_F(RcssserverSocketLinkTest, ServesElevenAgentsAtOnce) {
  FakeServer server;
  std::vector<std::unique_ptr<RcssserverSocket>> agents;
  std::vector<std::unique_ptr<FakeConnection>> links;
  for (int unum = 1; unum <= MAX_TEAM_AGENT_NUM; ++unum) {
    agents.push_back(std::make_unique<RcssserverSocket>());
    auto link = Connect(*agents.back(), server);
    ASSERT_NE(link, nullptr);
    links.push_back(std::move(link));
  }
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    ASSERT_TRUE(links[i]->SendFrame("(time (now " + std::to_string(i) + "))"));
  }
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    ASSERT_TRUE(agents[i]->ReceiveMessage());
    EXPECT_EQ(agents[i]->GetServerMessage(), "(time (now " + std::to_string(i) + "))");
    agents[i]->SendMessage("(init (unum " + std::to_string(i + 1) + "))");
  }
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    EXPECT_EQ(links[i]->ReceiveFrame(kWait), "(init (unum " + std::to_string(i + 1) + "))");
  }
}

TEST_F(RcssserverSocketLinkTest, RefusedConnectionReportsAndFails) {
  const test::RefusingPort refusing;
  RcssserverSocket socket;
  ReadOptions(socket, {"agent", "--port=" + std::to_string(refusing.Port())});
  testing::internal::CaptureStderr();
  const bool connected = socket.Init();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "connection failed with: 'Connection refused'\n");
  EXPECT_FALSE(connected);
  EXPECT_FALSE(socket.ReceiveMessage());
}

TEST_F(RcssserverSocketLinkTest, UnresolvableHostReportsAndFails) {
  RcssserverSocket socket;
  // Not a valid host name, so the resolver rejects it without asking any name server.
  ReadOptions(socket, {"agent", "-h", "bad host!"});
  testing::internal::CaptureStderr();
  const bool connected = socket.Init();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(connected);
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

TEST(RcssserverSocketProcessTest, SigintFlagStaysSetForProcessLife) {
  const ChildProcess child = ChildProcess::Run([] {
    FakeServer server;
    RcssserverSocket first;
    auto link = Connect(first, server);
    if (link == nullptr) std::_Exit(3);
    link->SendFrame("(before)");
    std::cout << "before=" << first.ReceiveMessage() << first.HasEndSignal();
    std::raise(SIGINT);
    // Input is waiting, yet the stop request wins, on this link and on any later one.
    link->SendFrame("(after)");
    std::cout << " after=" << first.ReceiveMessage() << first.HasEndSignal();
    RcssserverSocket second;
    auto second_link = Connect(second, server);
    if (second_link == nullptr) std::_Exit(4);
    second_link->SendFrame("(other)");
    std::cout << " second=" << second.ReceiveMessage() << second.HasEndSignal()
              << second.CanDisconnect() << " abnormal=" << first.HasAbnormalEnd()
              << second.HasAbnormalEnd();
  });
  EXPECT_EQ(child.TermSignal(), 0);
  EXPECT_EQ(child.ExitStatus(), 0);
  EXPECT_EQ(child.Out(), "before=10 after=01 second=011 abnormal=00");
}

// Option parsing ends the process on some inputs, so every case runs in its own child. The
// child reports the resulting settings on standard error, keeping standard output exactly as
// the parser wrote it.
std::string Settings(const RcssserverSocket& socket) {
  std::ostringstream out;
  out << "host=" << socket.GetHost() << " port=" << socket.GetPort()
      << " team=" << socket.GetTeamName() << " unum=" << socket.GetUniformNumber()
      << " syn=" << socket.IsSynMode() << " type=" << socket.GetAgentType()
      << " ser=" << socket.GetServerVer() << " mode=" << socket.GetMode();
  return out.str();
}

const std::string kDefaults =
    "host=127.0.0.1 port=3100 team=Agent unum=10 syn=0 type=0 ser=0.6.9 mode=game";

const std::string kUsage =
    "\nusage: runnerkite [options]\n"
    "\noptions:\n"
    " --help                prints this message.\n"
    " --host=IP             IP of the server.\n"
    " --port=PORT           PORT NUMBER of the server.\n"
    " --team=NAME           NAME of the team.\n"
    " --syn=Synchronize     Can send (syn) to server. 0 or 1 (No or Yes)\n"
    " --type=MODEL          TYPE of the nao model type.(0 - 4)\n"
    "\n";

std::string With(const std::string& setting, const std::string& value) {
  std::string settings = kDefaults;
  const std::size_t start = settings.find(" " + setting + "=") + setting.size() + 2;
  const std::size_t end = settings.find(' ', start);
  settings.replace(start, (end == std::string::npos ? settings.size() : end) - start, value);
  return settings;
}

TEST(RcssserverSocketOptionsTest, CommandLineSetsOptionsOrEndsWithUsage) {
  struct Case {
    std::vector<std::string> args;
    std::string out;       // standard output, byte for byte
    std::string settings;  // empty: the process ended inside ReadOptions
  };
  const std::string no_unum0 = "I use Unum 11 because Unum 0 doesn't exist.\n";
  const std::vector<Case> cases = {
      {{"agent"}, "", kDefaults},
      {{}, "", kDefaults},
      {{"agent", "--help"}, kUsage, ""},
      {{"agent", "--unum=12", "--help", "--unum=13"},
       "I use Unum 11 because Unum 12 doesn't exist.\n" + kUsage,
       ""},
      {{"agent", "--port=3200"}, "", With("port", "3200")},
      {{"--port=3200"}, "", With("port", "3200")},  // index 0 is examined too
      {{"agent", "--port=80"}, "", With("port", "3100")},
      {{"agent", "--port=3099"}, "", With("port", "3100")},
      {{"agent", "--port=65535"}, "", With("port", "65535")},
      {{"agent", "--port=65536"}, "", With("port", "3100")},
      {{"agent", "--port=70000"}, "", With("port", "3100")},
      {{"agent", "--port=4294970496"}, "", With("port", "3200")},  // 2^32 + 3200, narrowed
      {{"agent", "--port="}, kUsage, ""},
      {{"agent", "--port", "3200"}, kUsage, ""},
      {{"agent", "--host=192.0.2.9"}, "", With("host", "192.0.2.9")},
      {{"agent", "-h", "192.0.2.7"}, "", With("host", "192.0.2.7")},
      {{"agent", "--host", "example.test"}, "", With("host", "example.test")},
      {{"agent", "-h"}, "", kDefaults},
      {{"agent", "-hello"}, kUsage, ""},
      {{"agent", "--team=Alpha"}, "", With("team", "Alpha")},
      {{"agent", "-t", "Beta"}, "", With("team", "Beta")},
      {{"agent", "--team", "Gamma"}, "", With("team", "Gamma")},
      {{"agent", "-tAlpha"}, kUsage, ""},
      {{"agent", "--unum=5"}, "", With("unum", "5")},
      {{"agent", "--unum=7abc"}, "", With("unum", "7")},
      {{"agent", "-u", "3", "--port=3300"},
       "",
       "host=127.0.0.1 port=3300 team=Agent unum=3 syn=0 type=0 ser=0.6.9 mode=game"},
      {{"agent", "-u"}, no_unum0, With("unum", "11")},
      {{"agent", "--unum"}, no_unum0, With("unum", "11")},
      {{"agent", "--unum=12"},
       "I use Unum 11 because Unum 12 doesn't exist.\n",
       With("unum", "11")},
      {{"agent", "--unum=-1"},
       "I use Unum 11 because Unum -1 doesn't exist.\n",
       With("unum", "11")},
      {{"agent", "--unum=-3"},
       "I use Unum 11 because Unum -3 doesn't exist.\n",
       With("unum", "11")},
      {{"agent", "--unum="}, kUsage, ""},
      {{"agent", "--syn=1"}, "", With("syn", "1")},
      {{"agent", "--syn=2"}, "", With("syn", "1")},
      {{"agent", "--syn=abc"}, "", With("syn", "0")},
      {{"agent", "--syn"}, kUsage, ""},
      {{"agent", "--type=4"}, "", With("type", "4")},
      {{"agent", "--type=7"}, "I use Type 0 because Type 7 doesn't exist.\n", With("type", "0")},
      {{"agent", "--type=-1"}, "I use Type 0 because Type -1 doesn't exist.\n", With("type", "0")},
      {{"agent", "--types=3"}, "", With("type", "0")},  // the value starts at "=3"
      {{"agent", "--type="}, kUsage, ""},
      {{"agent", "--ser=0.7.3"}, "", With("ser", "0.7.3")},
      {{"agent", "--ser="}, "", With("ser", "")},
      {{"agent", "--ser"}, kUsage, ""},
      {{"agent", "--mode=kick"}, "", With("mode", "kick")},
      {{"agent", "--mode="}, "", With("mode", "")},
      {{"agent", "--mode"}, kUsage, ""},
      {{"agent", "unknown", "-x", "--verbose"}, "", kDefaults},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " '" + arg + "'";
    SCOPED_TRACE("command line:" + line);
    const std::vector<std::string> args = c.args;
    const ChildProcess child = ChildProcess::Run([args] {
      RcssserverSocket socket;
      ReadOptions(socket, args);
      std::cerr << Settings(socket);
    });
    EXPECT_EQ(child.ExitStatus(), 0);
    EXPECT_EQ(child.Out(), c.out);
    EXPECT_EQ(child.Err(), c.settings);
  }
}

TEST(RcssserverSocketOptionsTest, GreetingNamesTheTeam) {
  RcssserverSocket socket;
  ReadOptions(socket, {"agent", "--team=Alpha"});
  testing::internal::CaptureStdout();
  socket.PrintGreeting();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("\n\"plumeroo\", a \"runnerkite\" distribution\n", 0), 0u);
  EXPECT_NE(out.find("Alpha"), std::string::npos);
  EXPECT_NE(out.find("\"runnerkite\", a spark demo agent\n"), std::string::npos);
}

}  // namespace
}  // namespace zamp
