#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/FrameCodec.h"
#include "support/Fixtures.h"

namespace zamp {
namespace {

std::string Header(std::uint32_t size) {
  return std::string{static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                     static_cast<char>(size >> 8), static_cast<char>(size)};
}

const std::string kText = "(time (now 12.34))(GS (t 0.00) (pm BeforeKickOff))";

TEST(FrameCodecTest, EncodePutsBigEndianLengthBeforeText) {
  EXPECT_EQ(FrameCodec::Encode("(syn)"), std::string("\x00\x00\x00\x05(syn)", 9));
  EXPECT_EQ(FrameCodec::Encode(""), std::string(4, '\0'));
  const std::string long_text(300, 'x');  // 300 = 0x012C
  EXPECT_EQ(FrameCodec::Encode(long_text), std::string("\x00\x00\x01\x2C", 4) + long_text);
}

TEST(FrameCodecTest, FrameSplitAtEveryByteIsJoined) {
  const std::string frame = FrameCodec::Encode(kText);
  for (std::size_t split = 0; split <= frame.size(); ++split) {
    SCOPED_TRACE("split at byte " + std::to_string(split));
    FrameCodec codec;
    EXPECT_EQ(codec.Feed(frame.data(), split), split);
    EXPECT_EQ(codec.HasFrame(), split == frame.size());
    EXPECT_EQ(codec.Feed(frame.data() + split, frame.size() - split), frame.size() - split);
    ASSERT_TRUE(codec.HasFrame());
    EXPECT_EQ(codec.TakeText(), kText);
    EXPECT_FALSE(codec.HasFrame());
  }
}

TEST(FrameCodecTest, MissingCountsDownThroughHeaderThenText) {
  const std::string frame = FrameCodec::Encode("(ab)");
  FrameCodec codec;
  const std::vector<std::size_t> expected = {4, 3, 2, 1, 4, 3, 2, 1};
  for (std::size_t i = 0; i < frame.size(); ++i) {
    EXPECT_EQ(codec.Missing(), expected[i]) << "before byte " << i;
    EXPECT_EQ(codec.Feed(&frame[i], 1), 1u);
  }
  EXPECT_EQ(codec.Missing(), 0u);
  EXPECT_TRUE(codec.HasFrame());
}

TEST(FrameCodecTest, FeedStopsAtEndOfFrameSoNextFrameIsKept) {
  const std::string bytes = FrameCodec::Encode("(first)") + FrameCodec::Encode("(second)");
  FrameCodec codec;
  const std::size_t first_size = 4 + 7;
  ASSERT_EQ(codec.Feed(bytes.data(), bytes.size()), first_size);
  EXPECT_EQ(codec.Feed(bytes.data() + first_size, bytes.size() - first_size), 0u)
      << "a complete frame must be taken before the next one starts";
  EXPECT_EQ(codec.TakeText(), "(first)");
  EXPECT_EQ(codec.Feed(bytes.data() + first_size, bytes.size() - first_size),
            bytes.size() - first_size);
  EXPECT_EQ(codec.TakeText(), "(second)");
}

TEST(FrameCodecTest, ZeroLengthFrameIsCompleteAfterHeader) {
  const std::string bytes = Header(0) + FrameCodec::Encode("(next)");
  FrameCodec codec;
  ASSERT_EQ(codec.Feed(bytes.data(), bytes.size()), 4u);
  ASSERT_TRUE(codec.HasFrame());
  EXPECT_EQ(codec.TakeText(), "");
  EXPECT_EQ(codec.Feed(bytes.data() + 4, bytes.size() - 4), bytes.size() - 4);
  EXPECT_EQ(codec.TakeText(), "(next)");
}

TEST(FrameCodecTest, AnnouncedLengthIsCheckedAgainstLimitWithoutOverflow) {
  struct Case {
    std::uint32_t announced;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {81916, true},       {81917, false},      {0x14000, false},
      {0x7FFFFFFF, false}, {0x80000000, false}, {0xFFFFFFFC, false},  // +4 wraps to 0
      {0xFFFFFFFF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("announced " + std::to_string(c.announced));
    FrameCodec codec;
    const std::string header = Header(c.announced);
    ASSERT_EQ(codec.Feed(header.data(), header.size()), 4u);
    EXPECT_EQ(codec.IsTooLong(), !c.accepted);
    EXPECT_FALSE(codec.HasFrame());
    EXPECT_EQ(codec.Missing(), c.accepted ? c.announced : 0u);
    if (!c.accepted) {
      const std::string more(64, 'x');
      EXPECT_EQ(codec.Feed(more.data(), more.size()), 0u) << "a rejected stream takes nothing";
      EXPECT_EQ(codec.TakeText(), "");
    }
  }
}

TEST(FrameCodecTest, LongestAcceptedTextFillsBufferExactly) {
  const std::string text(FrameCodec::MAX_TEXT_SIZE, 'y');
  const std::string frame = FrameCodec::Encode(text);
  ASSERT_EQ(frame.size(), FrameCodec::BUFFER_SIZE);
  FrameCodec codec;
  ASSERT_EQ(codec.Feed(frame.data(), frame.size()), frame.size());
  ASSERT_TRUE(codec.HasFrame());
  EXPECT_EQ(codec.TakeText(), text);
}

TEST(FrameCodecTest, TextEndsAtFirstZeroByte) {
  const std::string frame = FrameCodec::Encode(std::string("(a)\0(b)", 7));
  FrameCodec codec;
  codec.Feed(frame.data(), frame.size());
  EXPECT_EQ(codec.TakeText(), "(a)");
}

TEST(FrameCodecTest, ResetForgetsPartialFrameAndRejection) {
  FrameCodec codec;
  const std::string oversized = Header(0xFFFFFFFF);
  codec.Feed(oversized.data(), oversized.size());
  ASSERT_TRUE(codec.IsTooLong());
  codec.Reset();
  EXPECT_FALSE(codec.IsTooLong());
  const std::string partial = FrameCodec::Encode("(cut)").substr(0, 6);
  codec.Feed(partial.data(), partial.size());
  codec.Reset();
  const std::string frame = FrameCodec::Encode("(whole)");
  codec.Feed(frame.data(), frame.size());
  EXPECT_EQ(codec.TakeText(), "(whole)");
}

TEST(FrameCodecTest, RecordedServerStreamDecodesMessageByMessage) {
  const std::vector<std::string> messages =
      test::ReadFixtureLines("perception/three_players_left_unum1.txt");
  ASSERT_FALSE(messages.empty());
  std::string stream;
  for (const std::string& message : messages) stream += FrameCodec::Encode(message);

  // Odd-sized reads cut headers and texts at ever-changing places.
  FrameCodec codec;
  std::vector<std::string> decoded;
  std::size_t pos = 0;
  while (pos < stream.size()) {
    const std::size_t size = std::min<std::size_t>(97, stream.size() - pos);
    std::size_t used = 0;
    while (used < size) {
      used += codec.Feed(stream.data() + pos + used, size - used);
      if (codec.HasFrame()) decoded.push_back(codec.TakeText());
    }
    pos += size;
  }
  EXPECT_EQ(decoded, messages);
}

}  // namespace
}  // namespace zamp
