#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "play/Audio.h"
#include "play/ShareMessageZAMP.h"

namespace zamp {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Field offsets in the 73-bit payload.
const int kTime = 0;
const int kBallSeen = 16;
const int kBallX = 32;
const int kBallY = 42;
const int kAgentX = 52;
const int kAgentY = 62;
const int kFallen = 72;

std::vector<int> Payload(double time, double ball_seen, double ball_x, double ball_y,
                         double agent_x, double agent_y, bool fallen) {
  std::vector<int> bits;
  EXPECT_TRUE(dataToBits(time, ball_seen, ball_x, ball_y, agent_x, agent_y, fallen, bits));
  return bits;
}

std::string Text(double time, double ball_seen, double ball_x, double ball_y, double agent_x,
                 double agent_y, bool fallen) {
  std::string text;
  EXPECT_TRUE(
      bitsToString(Payload(time, ball_seen, ball_x, ball_y, agent_x, agent_y, fallen), text));
  return text;
}

// The decoded message, or the zeros of a rejection.
struct Heard {
  bool accepted = false;
  int unum = -1;
  double ball_seen = -1.0;
  double ball_x = -1.0;
  double ball_y = -1.0;
  double agent_x = -1.0;
  double agent_y = -1.0;
  bool fallen = true;
};

Heard Hear(const std::string& text, double heard_time) {
  Heard h;
  h.accepted = processHearMessage(text, heard_time, h.unum, h.ball_seen, h.ball_x, h.ball_y,
                                  h.agent_x, h.agent_y, h.fallen);
  return h;
}

void ExpectRejected(const Heard& h) {
  EXPECT_FALSE(h.accepted);
  EXPECT_EQ(h.unum, 0);
  EXPECT_EQ(h.ball_seen, 0.0);
  EXPECT_EQ(h.ball_x, 0.0);
  EXPECT_EQ(h.ball_y, 0.0);
  EXPECT_EQ(h.agent_x, 0.0);
  EXPECT_EQ(h.agent_y, 0.0);
  EXPECT_FALSE(h.fallen);
}

TEST(AudioTest, IntegersTravelMostSignificantBitFirst) {
  EXPECT_EQ(intToBits(5, 4), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(intToBits(6, 2), (std::vector<int>{1, 0}));  // only the lowest bits
  EXPECT_EQ(intToBits(0, 0), std::vector<int>());
  EXPECT_EQ(intToBits(-1, 4), std::vector<int>());
  EXPECT_EQ(intToBits(3, -2), std::vector<int>());
  EXPECT_EQ(intToBits(1, 34).size(), 34u);
  EXPECT_EQ(intToBits(1, 34).back(), 1);
  EXPECT_EQ(intToBits(1, 34).front(), 0);

  const std::vector<int> bits = {1, 0, 1, 1, 0};
  EXPECT_EQ(bitsToInt(bits, 0, 4), 22);
  EXPECT_EQ(bitsToInt(bits, 2, 3), 3);
  EXPECT_EQ(bitsToInt(bits, 4, 4), 0);
  EXPECT_EQ(bitsToInt(bits, -1, 2), 0);
  EXPECT_EQ(bitsToInt(bits, 3, 5), 0);
  EXPECT_EQ(bitsToInt(bits, 3, 2), 0);
  EXPECT_EQ(bitsToInt(std::vector<int>(), 0, 0), 0);
}

TEST(AudioTest, PayloadFieldsHoldTheHandWorkedValues) {
  const std::vector<int> bits = Payload(1.0, 1311.0, 17.5, -12.0, 20.0, 0.0, true);
  ASSERT_EQ(bits.size(), 73u);
  EXPECT_EQ(bitsToInt(bits, kTime, kBallSeen - 1), 50);
  EXPECT_EQ(bitsToInt(bits, kBallSeen, kBallX - 1), 14);  // 65550 cycles wrap to 14
  EXPECT_EQ(bitsToInt(bits, kBallX, kBallY - 1), 1023);   // 17.5 clamped to 17
  EXPECT_EQ(bitsToInt(bits, kBallY, kAgentX - 1), 0);
  EXPECT_EQ(bitsToInt(bits, kAgentX, kAgentY - 1), 1023);
  EXPECT_EQ(bitsToInt(bits, kAgentY, kFallen - 1), 512);  // 511.5 + 0.5
  EXPECT_EQ(bits[kFallen], 1);

  double time, ball_seen, ball_x, ball_y, agent_x, agent_y;
  bool fallen = false;
  ASSERT_TRUE(bitsToData(bits, time, ball_seen, ball_x, ball_y, agent_x, agent_y, fallen));
  EXPECT_NEAR(time, 1.0, 1e-12);
  EXPECT_NEAR(ball_seen, 0.28, 1e-12);
  EXPECT_NEAR(ball_x, 17.0, 1e-12);
  EXPECT_NEAR(ball_y, -12.0, 1e-12);
  EXPECT_NEAR(agent_x, 20.0, 1e-12);
  EXPECT_NEAR(agent_y, -15.0 + 30.0 * 512.0 / 1023.0, 1e-12);  // 0.0147 m
  EXPECT_TRUE(fallen);
}

TEST(AudioTest, ValuesThatAreNotFiniteTravelAsTheFieldMinimum) {
  const double bad[] = {kNaN, kInf, -kInf};
  for (const double v : bad) {
    SCOPED_TRACE(v);
    const std::vector<int> bits = Payload(v, v, v, v, v, v, false);
    ASSERT_EQ(bits.size(), 73u);
    for (int i = 0; i < 73; ++i) EXPECT_EQ(bits[i], 0) << "bit " << i;
  }
  // A negative or huge time still fills its 16 bits.
  EXPECT_EQ(Payload(-0.1, 1e300, 0, 0, 0, 0, false).size(), 73u);
  EXPECT_EQ(bitsToInt(Payload(-0.1, 0, 0, 0, 0, 0, false), kTime, kBallSeen - 1), 65532);
}

TEST(AudioTest, ShortPayloadReadsAsZeros) {
  std::vector<int> bits = Payload(1.0, 1.0, 3.0, 3.0, 3.0, 3.0, true);
  bits.pop_back();
  double time = 9, ball_seen = 9, ball_x = 9, ball_y = 9, agent_x = 9, agent_y = 9;
  bool fallen = true;
  EXPECT_FALSE(bitsToData(bits, time, ball_seen, ball_x, ball_y, agent_x, agent_y, fallen));
  EXPECT_EQ(time + ball_seen + ball_x + ball_y + agent_x + agent_y, 0.0);
  EXPECT_FALSE(fallen);
}

TEST(AudioTest, CharactersCarrySixBitsEach) {
  std::string text = "stale";
  ASSERT_TRUE(bitsToString({1, 0, 0, 0, 0, 0, 1}, text));
  EXPECT_EQ(text, "GG");  // 100000 and 1 followed by five zeros: value 32 twice
  ASSERT_TRUE(bitsToString({}, text));
  EXPECT_EQ(text, "");
  ASSERT_TRUE(bitsToString(Payload(0, 0, -17, -12, -20, -15, false), text));
  EXPECT_EQ(text, "aaaaaaaaaaaaa");
  ASSERT_TRUE(bitsToString(Payload(1310.7, 1310.7, 17, 12, 20, 15, true), text));
  EXPECT_EQ(text, "############G");  // 65535 cycles and full scales: 73 ones, then zeros
  // 12 characters would hold only 72 bits.
  EXPECT_EQ(text.size(), 13u) << text;

  std::vector<int> bits = {1, 1};
  ASSERT_TRUE(stringToBits("#*a", bits));
  EXPECT_EQ(bits, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(stringToBits("ab!c", bits));
  EXPECT_TRUE(bits.empty());
}

TEST(AudioTest, EachUniformNumberSpeaksOnceInTwentyTwoCycles) {
  for (int unum = 1; unum <= 11; ++unum) {
    SCOPED_TRACE(unum);
    int turns = 0;
    for (int cycle = 2200; cycle < 2244; ++cycle) {
      std::string message = "untouched";
      const bool spoke =
          makeSayMessage(unum, cycle * 0.02, 40.0, 1.0, 2.0, -3.0, 4.0, false, message);
      if (spoke) {
        ++turns;
        EXPECT_EQ(cycle % 22, 2 * unum - 2);
        EXPECT_EQ(message.size(), 13u);
      } else {
        EXPECT_EQ(message, "untouched");
      }
    }
    EXPECT_EQ(turns, 2);
  }
  std::string message;
  EXPECT_FALSE(makeSayMessage(1, kNaN, 0, 0, 0, 0, 0, false, message));
}

TEST(AudioTest, SpokenMessageIsHeardBackWithinTheFieldResolution) {
  struct Case {
    int unum;
    double ball_x, ball_y, agent_x, agent_y;
    bool fallen;
  };
  const Case cases[] = {
      {1, 0.0, 0.0, -14.5, 0.0, false},
      {6, -16.9, 11.9, 19.9, -14.9, true},
      {11, 5.25, -3.5, -2.5, 7.75, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unum);
    const int cycle = 66000 + 2 * c.unum - 2 - 66000 % 22;  // past one wrap of the clock
    const double said = cycle * 0.02;
    std::string message;
    ASSERT_TRUE(makeSayMessage(c.unum, said, said - 0.5, c.ball_x, c.ball_y, c.agent_x, c.agent_y,
                               c.fallen, message));
    const Heard h = Hear(message, said + 0.02);
    ASSERT_TRUE(h.accepted);
    EXPECT_EQ(h.unum, c.unum);
    EXPECT_NEAR(h.ball_seen, said - 0.5, 1e-9);
    EXPECT_NEAR(h.ball_x, c.ball_x, 34.0 / 1023.0 / 2.0 + 1e-9);
    EXPECT_NEAR(h.ball_y, c.ball_y, 24.0 / 1023.0 / 2.0 + 1e-9);
    EXPECT_NEAR(h.agent_x, c.agent_x, 40.0 / 1023.0 / 2.0 + 1e-9);
    EXPECT_NEAR(h.agent_y, c.agent_y, 30.0 / 1023.0 / 2.0 + 1e-9);
    EXPECT_EQ(h.fallen, c.fallen);
  }
}

TEST(AudioTest, MessageIsAcceptedOnlyWithinThreeCyclesOfItsTime) {
  // 50 cycles is exactly 1.0 s, so each difference below lies clearly on its side.
  const std::string text = Text(1.0, 0.5, 1.0, 1.0, 1.0, 1.0, false);
  struct Case {
    double heard;
    bool accepted;
  };
  const Case cases[] = {
      {1.0, true},      // heard in the cycle it was said
      {1.06, true},     // three cycles later
      {1.07, false},    // too late
      {1.5, false},     // stale
      {0.9995, true},   // the message time a rounding error after the heard time
      {0.998, false},   // from the future
      {1311.0, false},  // one clock period later
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heard);
    const Heard h = Hear(text, c.heard);
    if (c.accepted) {
      EXPECT_TRUE(h.accepted);
      EXPECT_EQ(h.unum, 4);  // 50 % 22 = 6
    } else {
      ExpectRejected(h);
    }
  }
  ExpectRejected(Hear(text, kNaN));
  ExpectRejected(Hear(text, -kInf));
  // A corrupt clock so large that every period looks alike.
  ExpectRejected(Hear(text, -1.6e308));
  ExpectRejected(Hear(text, 1e300));

  // Said at 0 s: the differences are the heard times themselves, so both ends of the
  // window are met exactly.
  const std::string first = Text(0.0, 0.0, 1.0, 1.0, 1.0, 1.0, false);
  EXPECT_TRUE(Hear(first, 0.06).accepted);
  ExpectRejected(Hear(first, 0.07));
  EXPECT_TRUE(Hear(first, -0.0005).accepted);
  EXPECT_TRUE(Hear(first, -0.001).accepted);
  ExpectRejected(Hear(first, -0.0011));
  EXPECT_EQ(Hear(first, 0.0).unum, 1);
}

TEST(AudioTest, TimesAreMovedIntoThePeriodOfTheHeardTime) {
  // The 16-bit fields hold 0.26 s (13 cycles) for a message said at 1310.98 s and 0.18 s
  // for a ball seen at 1310.9 s; a ball seen at 1310.5 s is still in the first period.
  const Heard h = Hear(Text(0.26, 0.18, 0.0, 0.0, 0.0, 0.0, false), 1311.0);
  ASSERT_TRUE(h.accepted);
  EXPECT_EQ(h.unum, 6);  // 65549 % 22 = 11; 0.26 s itself would give uniform number 7
  EXPECT_NEAR(h.ball_seen, 1310.9, 1e-9);
  EXPECT_NEAR(Hear(Text(0.26, 1310.5, 0, 0, 0, 0, false), 1311.0).ball_seen, 1310.5, 1e-9);
}

TEST(AudioTest, UniformNumberElevenSpeaksAtResidueTwenty) {
  std::string message;
  const int cycle = 22 * 100 + 20;
  ASSERT_TRUE(makeSayMessage(11, cycle * 0.02, 0.0, 0.0, 0.0, 0.0, 0.0, false, message));
  EXPECT_EQ(Hear(message, cycle * 0.02 + 0.04).unum, 11);
}

TEST(AudioTest, MalformedTextsAreRejectedWithEveryOutputZero) {
  const std::string good = Text(1.0, 0.5, 1.0, 1.0, 1.0, 1.0, true);
  ASSERT_TRUE(Hear(good, 1.02).accepted);
  const std::string cases[] = {
      good.substr(0, 12),        // 72 bits
      good + "a",                // 14 characters
      good.substr(0, 12) + "!",  // foreign character
      good.substr(0, 6) + " " + good.substr(7),
      good.substr(0, 12) + std::string(1, '\0'),
      good.substr(0, 11) + "\xc3\xa9",  // a two-byte character
      "",
      std::string(300, 'a'),
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    ExpectRejected(Hear(text, 1.02));
  }
}

TEST(AudioTest, AdapterFillsTheTeamRecordValues) {
  const std::string text = Text(1.0, 0.5, 2.0, -3.0, -4.0, 5.0, true);
  std::vector<double> params;  // the adapter sizes it
  int unum = -1;
  processHearMessageZAMP(text, 1.02, params, unum);
  ASSERT_EQ(params.size(), static_cast<size_t>(ShareMessageZAMP::SHARE_DATA_ID_NUM));
  EXPECT_EQ(unum, 4);
  EXPECT_NEAR(params[ShareMessageZAMP::SHARE_SERVER_TIME], 51.0, 1e-9);
  EXPECT_NEAR(params[ShareMessageZAMP::SHARE_BALL_PRIMARY], 25.0, 1e-9);
  EXPECT_NEAR(params[ShareMessageZAMP::SHARE_BALL_X], 2.0, 0.02);
  EXPECT_NEAR(params[ShareMessageZAMP::SHARE_BALL_Y], -3.0, 0.02);
  EXPECT_NEAR(params[ShareMessageZAMP::SHARE_AGENT_X], -4.0, 0.02);
  EXPECT_NEAR(params[ShareMessageZAMP::SHARE_AGENT_Y], 5.0, 0.02);
  EXPECT_EQ(params[ShareMessageZAMP::SHARE_FALL], 1.0);
  for (int i = ShareMessageZAMP::SHARE_FALL + 1; i < ShareMessageZAMP::SHARE_DATA_ID_NUM; ++i) {
    EXPECT_EQ(params[i], 0.0) << i;
  }

  params.assign(3, 7.0);
  processHearMessageZAMP(text + "a", 1.02, params, unum);
  EXPECT_EQ(unum, 0);
  EXPECT_EQ(params, std::vector<double>(ShareMessageZAMP::SHARE_DATA_ID_NUM, 0.0));
}

}  // namespace
}  // namespace zamp
