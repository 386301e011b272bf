#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "play/ShareMessage.h"

namespace zamp {
namespace {

// A codec with a configuration chosen by the test.
class TestCodec : public ShareMessage {
 public:
  void Add(double min, double max, int bit_num, bool use_sign, double offset) {
    configures_.push_back(CreateConvertConfigure(min, max, bit_num, use_sign, offset));
  }
  void Set(size_t field, double value) { configures_[field].param = value; }
  double Param(size_t field) const { return configures_[field].param; }
};

TEST(ShareMessageTest, CreateConvertConfigureDerivesTheLargestCode) {
  struct Case {
    int bit_num;
    uint64_t max_bit;
  };
  const Case cases[] = {
      {-1, 0}, {0, 0}, {6, 63}, {63, 0x7fffffffffffffffu}, {64, 0xffffffffffffffffu}};
  for (const Case& c : cases) {
    const ShareMessage::ConvertConfigure conf =
        ShareMessage::CreateConvertConfigure(-1.0, 1.0, c.bit_num, true, 0.5);
    EXPECT_EQ(c.max_bit, conf.max_bit) << c.bit_num;
    EXPECT_EQ(0.0, conf.param);
  }
}

TEST(ShareMessageTest, BitsGoLeastSignificantFirstIntoSixBitCharacters) {
  TestCodec codec;
  codec.Add(0, 4095, 12, false, 0);
  codec.Add(0, 1, 1, false, 0);
  // 12 + 1 bits take three characters: 0b000001 0b111111 0b1 -> "1", "#", "1".
  codec.Set(0, 64 * 63 + 1);
  codec.Set(1, 1);
  EXPECT_EQ("1#1", codec.Make());
  std::vector<double> values;
  ASSERT_TRUE(codec.Decode("1#1", values));
  EXPECT_EQ((std::vector<double>{4033.0, 1.0}), values);
}

TEST(ShareMessageTest, ScaledFieldRemembersItsClampedValue) {
  TestCodec codec;
  codec.Add(-1.0, 1.0, 4, true, 0.5);
  codec.Set(0, 3.0);
  EXPECT_EQ("F", codec.Make());  // clamped to 1.0, the top code 15
  EXPECT_EQ(1.0, codec.Param(0));
}

TEST(ShareMessageTest, MessagesStopAtOneHundredTwentyBits) {
  TestCodec codec;
  for (int i = 0; i < 7; ++i) codec.Add(0, 65535, 16, false, 0);
  // 7 x 16 = 112 bits, then a field that crosses bit 120: cut off on both sides.
  codec.Add(0, 65535, 16, false, 0);
  for (int i = 0; i < 8; ++i) codec.Set(i, 65535);
  EXPECT_EQ(20, codec.GetMessageLength());
  const std::string text = codec.Make();
  EXPECT_EQ(std::string(20, '#'), text);
  std::vector<double> values;
  ASSERT_TRUE(codec.Decode(text, values));
  EXPECT_EQ(std::vector<double>(7, 65535.0), values);
}

TEST(ShareMessageTest, FieldEndingExactlyAtTheLastBitIsDecoded) {
  TestCodec codec;
  for (int i = 0; i < 8; ++i) codec.Add(0, 32767, 15, false, 0);  // 120 bits
  codec.Add(0, 1, 1, false, 0);                                   // nothing left for it
  for (int i = 0; i < 8; ++i) codec.Set(i, 100 + i);
  std::vector<double> values;
  ASSERT_TRUE(codec.Decode(codec.Make(), values));
  ASSERT_EQ(8u, values.size());
  EXPECT_EQ(107.0, values[7]);
}

TEST(ShareMessageTest, FieldsWithoutBitsOrRangeDecodeToTheirFloor) {
  TestCodec codec;
  codec.Add(0, 63, 6, false, 0);
  codec.Add(5, 9, 0, false, 0);
  codec.Add(2.0, 2.0, 6, true, 0.5);
  codec.Set(0, 42);
  codec.Set(1, 7);
  codec.Set(2, 2.0);
  const std::string text = codec.Make();
  EXPECT_EQ("g0", text);
  std::vector<double> values;
  ASSERT_TRUE(codec.Decode(text, values));
  EXPECT_EQ((std::vector<double>{42.0, 0.0, 2.0}), values);
}

}  // namespace
}  // namespace zamp
