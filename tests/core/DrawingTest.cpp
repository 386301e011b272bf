#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/Drawing.h"
#include "support/ModelCycle.h"
#include "support/OpenDescriptors.h"
#include "support/PerceptionText.h"
#include "support/SyntheticScene.h"

namespace {

using zamp::test::CountOpenDescriptors;

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

// A visualiser stand-in: a UDP socket on 127.0.0.1 at an ephemeral port, and a Drawing
// aimed at it. Every wait is bounded.
class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd_, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ASSERT_EQ(0, bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)));
    socklen_t length = sizeof(addr);
    ASSERT_EQ(0, getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length));
    drawing_.reset(new Drawing("127.0.0.1", std::to_string(ntohs(addr.sin_port))));
  }

  void TearDown() override {
    drawing_.reset();
    if (fd_ >= 0) close(fd_);
  }

  // The next datagram, or "<none>" when nothing arrives within two seconds.
  std::string Receive() {
    pollfd pfd = {fd_, POLLIN, 0};
    if (poll(&pfd, 1, 2000) != 1) return "<none>";
    char buffer[65536];
    const ssize_t n = recv(fd_, buffer, sizeof(buffer), 0);
    if (n < 0) return "<error>";
    return std::string(buffer, static_cast<size_t>(n));
  }

  // Proves that nothing was sent before: the next datagram is this marker.
  void ExpectNothingBeforeMarker() {
    const std::string marker = "marker";
    drawing_->swapBuffers(&marker);
    EXPECT_EQ(Bytes({0, 0}) + "marker" + std::string(1, '\0'), Receive());
  }

  // Bytes 2-7 of a point packet: how x is written.
  std::string FormattedX(float x) {
    drawing_->drawPoint(x, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, nullptr);
    return Receive().substr(2, 6);
  }

  int fd_ = -1;
  std::unique_ptr<Drawing> drawing_;
};

TEST_F(DrawingTest, CircleIsThirtyOneBytes) {
  const std::string name = "s";
  drawing_->drawCircle(1.0f, 2.0f, 0.2f, 2.0f, 0.0f, 0.0f, 1.0f, &name);
  const std::string expected = Bytes({1, 0}) + "1.0000" + "2.0000" + "0.2000" + "2.0000" +
                               Bytes({0, 0, 255}) + "s" + std::string(1, '\0');
  ASSERT_EQ(31u, expected.size());
  EXPECT_EQ(expected, Receive());
}

TEST_F(DrawingTest, PolygonWithThreeVerticesIsSixtyThreeBytes) {
  const std::string name = "p";
  const float v[] = {0.0f, 1.0f, 2.0f, -1.0f, 0.5f, 0.0f, 3.0f, 3.0f, 0.25f};
  drawing_->drawPolygon(v, 3, 1.0f, 0.5f, 0.0f, 1.0f, &name);
  const std::string expected = Bytes({1, 4, 3, 255, 127, 0, 255}) + "0.0000" + "1.0000" + "2.0000" +
                               "-1.000" + "0.5000" + "0.0000" + "3.0000" + "3.0000" + "0.2500" +
                               "p" + std::string(1, '\0');
  ASSERT_EQ(63u, expected.size());
  EXPECT_EQ(expected, Receive());
}

TEST_F(DrawingTest, SwapWithoutNameIsThreeZeroBytes) {
  drawing_->swapBuffers(nullptr);
  EXPECT_EQ(std::string(3, '\0'), Receive());
  const std::string name = "Agent";
  drawing_->swapBuffers(&name);
  EXPECT_EQ(Bytes({0, 0}) + "Agent" + std::string(1, '\0'), Receive());
}

TEST_F(DrawingTest, ShapesFollowTheirByteLayouts) {
  const std::string name = "set";
  const std::string zero(1, '\0');
  drawing_->drawLine(1.0f, 2.0f, 3.0f, -4.0f, -5.0f, -6.0f, 1.5f, 1.0f, 0.0f, 0.0f, &name);
  EXPECT_EQ(Bytes({1, 1}) + "1.0000" + "2.0000" + "3.0000" + "-4.000" + "-5.000" + "-6.000" +
                "1.5000" + Bytes({255, 0, 0}) + "set" + zero,
            Receive());
  drawing_->drawPoint(0.5f, 0.25f, 0.125f, 3.0f, 0.0f, 1.0f, 0.0f, &name);
  EXPECT_EQ(
      Bytes({1, 2}) + "0.5000" + "0.2500" + "0.1250" + "3.0000" + Bytes({0, 255, 0}) + "set" + zero,
      Receive());
  drawing_->drawSphere(10.0f, -10.0f, 0.0f, 0.1f, 1.0f, 1.0f, 1.0f, &name);
  EXPECT_EQ(Bytes({1, 3}) + "10.000" + "-10.00" + "0.0000" + "0.1000" + Bytes({255, 255, 255}) +
                "set" + zero,
            Receive());
  const std::string text = "hi";
  drawing_->drawAnnotation(&text, 1.0f, 2.0f, 0.5f, 0.0f, 0.0f, 1.0f, &name);
  const std::string annotation = Receive();
  EXPECT_EQ(Bytes({2, 0}) + "1.0000" + "2.0000" + "0.5000" + Bytes({0, 0, 255}) + "hi" + zero +
                "set" + zero,
            annotation);
  EXPECT_EQ(25u + 2u + 3u, annotation.size());
}

TEST_F(DrawingTest, NullNamesAndTextsTravelAsEmptyStrings) {
  drawing_->drawCircle(0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, nullptr);
  const std::string circle = Receive();
  ASSERT_EQ(30u, circle.size());
  EXPECT_EQ('\0', circle.back());
  drawing_->drawAnnotation(nullptr, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, nullptr);
  const std::string annotation = Receive();
  ASSERT_EQ(25u, annotation.size());
  EXPECT_EQ(std::string(2, '\0'), annotation.substr(23));
}

TEST_F(DrawingTest, FloatsAreCutToSixCharacters) {
  struct Case {
    float value;
    const char* text;
  };
  const Case cases[] = {
      {-1.0f, "-1.000"}, {123456.0f, "123456"}, {1e30f, "100000"}, {-0.00001f, "-0.000"},
      {0.99999f, "0.9999"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, FormattedX(c.value)) << c.value;
  EXPECT_EQ(6u, FormattedX(std::numeric_limits<float>::quiet_NaN()).size());
  EXPECT_EQ(6u, FormattedX(std::numeric_limits<float>::max()).size());
}

TEST_F(DrawingTest, ColourComponentsAreClampedBeforeScaling) {
  struct Case {
    float component;
    int byte;
  };
  const Case cases[] = {
      {0.5f, 127}, {-0.5f, 0}, {1.5f, 255}, {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const Case& c : cases) {
    drawing_->drawCircle(0.0f, 0.0f, 1.0f, 1.0f, c.component, 0.0f, 0.0f, nullptr);
    const std::string packet = Receive();
    ASSERT_EQ(30u, packet.size());
    EXPECT_EQ(c.byte, static_cast<unsigned char>(packet[26])) << c.component;
  }
}

TEST_F(DrawingTest, PolygonOutsideZeroTo255VerticesSendsNothing) {
  const std::vector<float> v(3 * 256, 1.0f);
  drawing_->drawPolygon(v.data(), 256, 1.0f, 1.0f, 1.0f, 1.0f, nullptr);
  drawing_->drawPolygon(v.data(), -1, 1.0f, 1.0f, 1.0f, 1.0f, nullptr);
  drawing_->drawPolygon(nullptr, 3, 1.0f, 1.0f, 1.0f, 1.0f, nullptr);
  ExpectNothingBeforeMarker();
  drawing_->drawPolygon(v.data(), 255, 1.0f, 1.0f, 1.0f, 1.0f, nullptr);
  EXPECT_EQ(8u + 18u * 255u, Receive().size());
  drawing_->drawPolygon(nullptr, 0, 1.0f, 1.0f, 1.0f, 1.0f, nullptr);
  EXPECT_EQ(Bytes({1, 4, 0, 255, 255, 255, 255, 0}), Receive());
}

TEST_F(DrawingTest, DrawShowsTheModelsOwnPositionAndBall) {
  zamp::test::ModelCycle cycle("Alpha", 7, zamp::test::ModelCycle::SIMPLE);
  cycle.Start(
      zamp::test::PerceptionText().Time(0.0).GameStateWithTeam(7, "left", 0.0, "PlayOn").Str(),
      Eigen::Vector3d(-1.0, 0.0, 0.0));
  // One vision cycle from torso (-3, 2, 0.4) m facing 30 degrees with the ball at (1, -1).
  const zamp::test::SyntheticScene scene(Eigen::Vector3d(-3.0, 2.0, 0.4), 30.0,
                                         cycle.agent().GetBodyPart(zamp::BP_HEAD).global_transform);
  zamp::test::PerceptionText text;
  text.Time(0.06).GameState(0.0, "PlayOn").See();
  scene.AddLandmarks(text, true);
  text.Ball(scene.See(Eigen::Vector3d(1.0, -1.0, 0.04)));
  cycle.Step(text.Str());

  drawing_->draw();
  const std::string zero(1, '\0');
  EXPECT_EQ(Bytes({1, 0}) + "-3.000" + "2.0000" + "0.2000" + "2.0000" + Bytes({0, 0, 255}) +
                "Agent.no7-XYposition" + zero,
            Receive());
  EXPECT_EQ(Bytes({1, 0}) + "1.0000" + "-1.000" + "0.2000" + "2.0000" + Bytes({255, 0, 255}) +
                "Agent.no7-BALLposition" + zero,
            Receive());
  EXPECT_EQ(Bytes({0, 0}) + "Agent" + zero, Receive());
}

TEST_F(DrawingTest, DrawBeforeTheModelsExistSendsNothing) {
  // Frees what an earlier test left behind; production never frees a shared instance.
  delete zamp::Singleton<zamp::AgentState>::GetInstance();
  zamp::Singleton<zamp::AgentState>::ResetForTest();
  delete zamp::Singleton<zamp::FieldState>::GetInstance();
  zamp::Singleton<zamp::FieldState>::ResetForTest();
  drawing_->draw();
  ExpectNothingBeforeMarker();
}

TEST(DrawingResolveTest, UnresolvableAddressReportsAndSendsNothing) {
  // Capturing standard error opens a file of its own, so count after it started.
  testing::internal::CaptureStderr();
  const int before = CountOpenDescriptors();
  {
    Drawing drawing("127.0.0.1", "no-such-drawing-service");
    const std::string name = "s";
    const float v[] = {0.0f, 0.0f, 0.0f};
    drawing.swapBuffers(&name);
    drawing.drawCircle(0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, &name);
    drawing.drawLine(0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, &name);
    drawing.drawPoint(0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, &name);
    drawing.drawSphere(0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, &name);
    drawing.drawPolygon(v, 1, 1.0f, 1.0f, 1.0f, 1.0f, &name);
    drawing.drawAnnotation(&name, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, &name);
    drawing.drawAgentPicture(1, 0.0f, 0.0f, 0.0f, 0.0f);
    drawing.draw();
    EXPECT_EQ(before, CountOpenDescriptors());
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(0u, err.find("getaddrinfo: ")) << err;
  EXPECT_EQ('\n', err.back());
}

TEST(DrawingResolveTest, DestructorClosesOnlyWhatWasOpened) {
  const int before = CountOpenDescriptors();
  {
    Drawing drawing("127.0.0.1", "32769");
    EXPECT_EQ(before + 1, CountOpenDescriptors());
  }
  EXPECT_EQ(before, CountOpenDescriptors());
  {
    Drawing silent(false);
    EXPECT_EQ(before, CountOpenDescriptors());
    silent.drawCircle(0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, nullptr);
  }
  EXPECT_EQ(before, CountOpenDescriptors());
  // Standard input is still open: a destructor of an unconnected client closed nothing.
  EXPECT_NE(-1, fcntl(0, F_GETFD));
}

}  // namespace
