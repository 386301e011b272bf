#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/FrameCodec.h"
#include "support/FakeConnection.h"
#include "support/Fixtures.h"

namespace zamp {
namespace {

using test::FakeConnection;

TEST(FrameCodecTest, EncodePutsBigEndianLengthBeforeText) {
  EXPECT_EQ(FrameCodec::Encode("(syn)"), std::string("\x00\x00\x00\x05(syn)", 9));
  const std::string long_text(300, 'x');  // 300 = 0x012C
  EXPECT_EQ(FrameCodec::Encode(long_text), std::string("\x00\x00\x01\x2C", 4) + long_text);
}

TEST(FrameCodecTest, FrameSplitAtEveryByteIsJoined) {
  const std::string text = "(time (now 12.34))(GS (t 0.00) (pm BeforeKickOff))";
  const std::string frame = FrameCodec::Encode(text);
  for (std::size_t split = 0; split <= frame.size(); ++split) {
    SCOPED_TRACE("split at byte " + std::to_string(split));
    FrameCodec codec;
    EXPECT_EQ(codec.Feed(frame.data(), split), split);
    EXPECT_EQ(codec.HasFrame(), split == frame.size());
    // Header bytes first, then text bytes.
    EXPECT_EQ(codec.Missing(), split < 4 ? 4 - split : frame.size() - split);
    EXPECT_EQ(codec.Feed(frame.data() + split, frame.size() - split), frame.size() - split);
    ASSERT_TRUE(codec.HasFrame());
    EXPECT_EQ(codec.TakeText(), text);
    EXPECT_FALSE(codec.HasFrame());
  }
}

TEST(FrameCodecTest, FeedStopsAtEndOfFrameSoNextFrameIsKept) {
  const std::string bytes =
      FakeConnection::Header(0) + FrameCodec::Encode("(first)") + FrameCodec::Encode("(second)");
  FrameCodec codec;
  // A zero-length frame is complete after its header.
  ASSERT_EQ(codec.Feed(bytes.data(), bytes.size()), 4u);
  EXPECT_EQ(codec.TakeText(), "");
  std::size_t used = 4;
  ASSERT_EQ(codec.Feed(bytes.data() + used, bytes.size() - used), 11u);
  used += 11;
  EXPECT_EQ(codec.Feed(bytes.data() + used, bytes.size() - used), 0u)
      << "a complete frame must be taken before the next one starts";
  EXPECT_EQ(codec.TakeText(), "(first)");
  EXPECT_EQ(codec.Feed(bytes.data() + used, bytes.size() - used), bytes.size() - used);
  EXPECT_EQ(codec.TakeText(), "(second)");
}

TEST(FrameCodecTest, AnnouncedLengthIsCheckedAgainstLimitWithoutOverflow) {
  const struct {
    std::uint32_t announced;
    bool accepted;
  } cases[] = {
      {81916, true},       {81917, false},      {0x14000, false},
      {0x7FFFFFFF, false}, {0xFFFFFFFC, false},  // +4 wraps to 0
      {0xFFFFFFFF, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("announced " + std::to_string(c.announced));
    FrameCodec codec;
    const std::string header = FakeConnection::Header(c.announced);
    ASSERT_EQ(codec.Feed(header.data(), header.size()), 4u);
    EXPECT_EQ(codec.IsTooLong(), !c.accepted);
    EXPECT_FALSE(codec.HasFrame());
    EXPECT_EQ(codec.Missing(), c.accepted ? c.announced : 0u);
    if (!c.accepted) {
      const std::string more(64, 'x');
      EXPECT_EQ(codec.Feed(more.data(), more.size()), 0u) << "a rejected stream takes nothing";
      EXPECT_EQ(codec.TakeText(), "");
      // Reset forgets the rejection.
      codec.Reset();
      const std::string frame = FrameCodec::Encode("(whole)");
      codec.Feed(frame.data(), frame.size());
      EXPECT_EQ(codec.TakeText(), "(whole)");
    }
  }
}

TEST(FrameCodecTest, TextEndsAtFirstZeroByte) {
  const std::string frame = FrameCodec::Encode(std::string("(a)\0(b)", 7));
  FrameCodec codec;
  codec.Feed(frame.data(), frame.size());
  EXPECT_EQ(codec.TakeText(), "(a)");
}

// The forms that write into a kept string replace whatever it held, a longer text included.
TEST(FrameCodecTest, KeptStringFormsReplaceTheirContents) {
  std::string frame(500, 'z');
  FrameCodec::Encode("(syn)", frame);
  EXPECT_EQ(frame, FrameCodec::Encode("(syn)"));

  FrameCodec codec;
  std::string text(500, 'z');
  codec.TakeText(text);
  EXPECT_EQ(text, "");  // no frame yet
  codec.Feed(frame.data(), frame.size());
  codec.TakeText(text);
  EXPECT_EQ(text, "(syn)");
  EXPECT_FALSE(codec.HasFrame());
}

TEST(FrameCodecTest, RecordedServerStreamDecodesMessageByMessage) {
  const std::vector<std::string> messages =
      test::ReadFixtureLines("perception/three_players_left_unum1.txt");
  std::string stream;
  for (const std::string& message : messages) stream += FrameCodec::Encode(message);

  // Odd-sized reads cut headers and texts at ever-changing places.
  FrameCodec codec;
  std::vector<std::string> decoded;
  for (std::size_t pos = 0; pos < stream.size(); pos += 97) {
    const std::size_t size = std::min<std::size_t>(97, stream.size() - pos);
    for (std::size_t used = 0; used < size;) {
      used += codec.Feed(stream.data() + pos + used, size - used);
      if (codec.HasFrame()) decoded.push_back(codec.TakeText());
    }
  }
  EXPECT_EQ(decoded, messages);
}

}  // namespace
}  // namespace zamp
