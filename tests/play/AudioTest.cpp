#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "play/Audio.h"
#include "play/ShareMessageZAMP.h"

namespace zamp {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

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

// The decoded message; a rejection leaves every output zero.
struct Heard {
  bool accepted = false;
  int unum = -1;
  double ball_seen = -1.0, ball_x = -1.0, ball_y = -1.0, agent_x = -1.0, agent_y = -1.0;
  bool fallen = true;
};

Heard Hear(const std::string& text, double heard_time) {
  Heard h;
  h.accepted = processHearMessage(text, heard_time, h.unum, h.ball_seen, h.ball_x, h.ball_y,
                                  h.agent_x, h.agent_y, h.fallen);
  return h;
}

void ExpectRejected(const Heard& h) {
  EXPECT_FALSE(h.accepted || h.fallen);
  EXPECT_EQ(h.unum, 0);
  EXPECT_EQ(std::vector<double>({h.ball_seen, h.ball_x, h.ball_y, h.agent_x, h.agent_y}),
            std::vector<double>(5, 0.0));
}

TEST(AudioTest, IntegersTravelMostSignificantBitFirstWithinBounds) {
  EXPECT_EQ(intToBits(5, 4), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(intToBits(6, 2), (std::vector<int>{1, 0}));  // only the lowest bits
  EXPECT_EQ(intToBits(-1, 4), std::vector<int>());
  EXPECT_EQ(intToBits(3, -2), std::vector<int>());
  EXPECT_EQ(intToBits(1, 34).back(), 1);

  const std::vector<int> bits = {1, 0, 1, 1, 0};
  EXPECT_EQ(bitsToInt(bits, 0, 4), 22);
  EXPECT_EQ(bitsToInt(bits, -1, 2), 0);
  EXPECT_EQ(bitsToInt(bits, 3, 5), 0);
  EXPECT_EQ(bitsToInt(bits, 3, 2), 0);

  // A payload one bit short reads as zeros.
  std::vector<int> payload = Payload(1.0, 1.0, 3.0, 3.0, 3.0, 3.0, true);
  payload.pop_back();
  double time = 9, ball_seen = 9, ball_x = 9, ball_y = 9, agent_x = 9, agent_y = 9;
  bool fallen = true;
  EXPECT_FALSE(bitsToData(payload, time, ball_seen, ball_x, ball_y, agent_x, agent_y, fallen));
  EXPECT_EQ(time + ball_seen + ball_x + ball_y + agent_x + agent_y, 0.0);
  EXPECT_FALSE(fallen);
}

TEST(AudioTest, UnsignedTwinCarriesAllSixtyFourBits) {
  EXPECT_EQ(intToBits(std::uint64_t{5}, 4), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(intToBits(std::uint64_t{6}, 2), (std::vector<int>{1, 0}));
  EXPECT_EQ(intToBits(std::uint64_t{3}, -2), std::vector<int>());
  EXPECT_EQ(intToBits(std::uint64_t{3}, 0), std::vector<int>());
  // Bit 63 and bit 0 set, asked for 66 bits: two leading zeros above the number.
  const std::vector<int> wide = intToBits((std::uint64_t{1} << 63) | 1u, 66);
  ASSERT_EQ(wide.size(), 66u);
  EXPECT_EQ(wide[0] + wide[1], 0);
  EXPECT_EQ(wide[2], 1);
  EXPECT_EQ(wide[65], 1);
  EXPECT_EQ(std::count(wide.begin(), wide.end(), 1), 2);
  EXPECT_EQ(intToBits(~std::uint64_t{0}, 64), std::vector<int>(64, 1));
  // Where both exist, the twins agree.
  for (int n : {0, 1, 37, 65535, 2147483647}) {
    EXPECT_EQ(intToBits(static_cast<std::uint64_t>(n), 40), intToBits(n, 40)) << n;
  }
}

TEST(AudioTest, PayloadFieldsHoldTheHandWorkedValues) {
  // Fields from bit 0: time 16 bits, ball seen 16, ball x 10, ball y 10, agent x 10, agent
  // y 10, fallen 1.
  const std::vector<int> bits = Payload(1.0, 1311.0, 17.5, -12.0, 20.0, 0.0, true);
  ASSERT_EQ(bits.size(), 73u);
  EXPECT_EQ(bitsToInt(bits, 0, 15), 50);
  EXPECT_EQ(bitsToInt(bits, 16, 31), 14);    // 65550 cycles wrap to 14
  EXPECT_EQ(bitsToInt(bits, 32, 41), 1023);  // 17.5 clamped to 17
  EXPECT_EQ(bitsToInt(bits, 42, 51), 0);
  EXPECT_EQ(bitsToInt(bits, 52, 61), 1023);
  EXPECT_EQ(bitsToInt(bits, 62, 71), 512);  // 511.5 + 0.5
  EXPECT_EQ(bits[72], 1);

  double time, ball_seen, ball_x, ball_y, agent_x, agent_y;
  bool fallen = false;
  ASSERT_TRUE(bitsToData(bits, time, ball_seen, ball_x, ball_y, agent_x, agent_y, fallen));
  EXPECT_NEAR(ball_seen, 0.28, 1e-12);
  EXPECT_NEAR(agent_y, -15.0 + 30.0 * 512.0 / 1023.0, 1e-12);  // 0.0147 m

  // Values that are not finite travel as the field minimum; a negative time still fills
  // its 16 bits.
  for (const double v : {kNaN, kInf, -kInf}) {
    EXPECT_EQ(Payload(v, v, v, v, v, v, false), std::vector<int>(73, 0)) << v;
  }
  EXPECT_EQ(bitsToInt(Payload(-0.1, 0, 0, 0, 0, 0, false), 0, 15), 65532);
}

TEST(AudioTest, CharactersCarrySixBitsEach) {
  std::string text = "stale";
  ASSERT_TRUE(bitsToString({1, 0, 0, 0, 0, 0, 1}, text));
  EXPECT_EQ(text, "GG");  // 100000 and 1 followed by five zeros: value 32 twice
  // 65535 cycles and full scales: 73 ones, then zeros; 12 characters would hold only 72.
  ASSERT_TRUE(bitsToString(Payload(1310.7, 1310.7, 17, 12, 20, 15, true), text));
  EXPECT_EQ(text, "############G");

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
      if (makeSayMessage(unum, cycle * 0.02, 40.0, 1.0, 2.0, -3.0, 4.0, false, message)) {
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
  const int unum = 6;
  const int cycle = 66000 + 2 * unum - 2 - 66000 % 22;  // past one wrap of the clock
  const double said = cycle * 0.02;
  std::string message;
  ASSERT_TRUE(makeSayMessage(unum, said, said - 0.5, -16.9, 11.9, 19.9, -14.9, true, message));
  const Heard h = Hear(message, said + 0.02);
  ASSERT_TRUE(h.accepted);
  EXPECT_EQ(h.unum, unum);
  EXPECT_NEAR(h.ball_seen, said - 0.5, 1e-9);
  EXPECT_NEAR(h.ball_x, -16.9, 34.0 / 1023.0 / 2.0 + 1e-9);
  EXPECT_NEAR(h.ball_y, 11.9, 24.0 / 1023.0 / 2.0 + 1e-9);
  EXPECT_NEAR(h.agent_x, 19.9, 40.0 / 1023.0 / 2.0 + 1e-9);
  EXPECT_NEAR(h.agent_y, -14.9, 30.0 / 1023.0 / 2.0 + 1e-9);
  EXPECT_TRUE(h.fallen);
}

TEST(AudioTest, MessageIsAcceptedOnlyWithinThreeCyclesOfItsTime) {
  // Said at 0 s: the differences are the heard times themselves, so both ends of the
  // window are met exactly.
  const std::string first = Text(0.0, 0.0, 1.0, 1.0, 1.0, 1.0, false);
  EXPECT_TRUE(Hear(first, 0.06).accepted);
  ExpectRejected(Hear(first, 0.07));
  EXPECT_TRUE(Hear(first, -0.0005).accepted);
  ExpectRejected(Hear(first, -0.0011));

  // Said at 1.0 s (50 cycles: uniform number 4).
  const std::string text = Text(1.0, 0.5, 1.0, 1.0, 1.0, 1.0, false);
  EXPECT_EQ(Hear(text, 1.0).unum, 4);
  // One clock period later, and clocks that are not finite or so large that every period
  // looks alike.
  for (const double heard : {1311.0, kNaN, -kInf, -1.6e308, 1e300}) {
    SCOPED_TRACE(heard);
    ExpectRejected(Hear(text, heard));
  }
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

TEST(AudioTest, MalformedTextsAreRejectedWithEveryOutputZero) {
  const std::string good = Text(1.0, 0.5, 1.0, 1.0, 1.0, 1.0, true);
  ASSERT_TRUE(Hear(good, 1.02).accepted);
  const std::string cases[] = {
      good.substr(0, 12),        // 72 bits
      good + "a",                // 14 characters
      good.substr(0, 12) + "!",  // foreign character
      good.substr(0, 12) + std::string(1, '\0'),
      good.substr(0, 11) + "\xc3\xa9",  // a two-byte character
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    ExpectRejected(Hear(text, 1.02));
  }

  // The adapter sizes its parameter vector itself, and fills it with zeros on a rejection.
  std::vector<double> params(3, 7.0);
  int unum = -1;
  processHearMessageZAMP(good + "a", 1.02, params, unum);
  EXPECT_EQ(unum, 0);
  EXPECT_EQ(params, std::vector<double>(ShareMessageZAMP::SHARE_DATA_ID_NUM, 0.0));
  params.clear();
  processHearMessageZAMP(good, 1.02, params, unum);
  EXPECT_EQ(unum, 4);
  EXPECT_EQ(params.size(), static_cast<size_t>(ShareMessageZAMP::SHARE_DATA_ID_NUM));
}

}  // namespace
}  // namespace zamp
