#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <string>
#include <vector>

#include "core/Parser.h"
#include "core/ServerData.h"
#include "support/Fixtures.h"

namespace zamp {
namespace {

// A node as compact text: tag, data words in [] joined by |, children in {}.
std::string Dump(const ServerData& node) {
  std::string text = node.GetID();
  for (int i = 0; i < node.GetDataSize(); ++i) {
    text += (i == 0 ? "[" : "|") + node.GetDataStr(i) + (i + 1 == node.GetDataSize() ? "]" : "");
  }
  for (int i = 0; i < node.GetChildSize(); ++i) {
    text +=
        (i == 0 ? "{" : " ") + Dump(*node.GetChild(i)) + (i + 1 == node.GetChildSize() ? "}" : "");
  }
  return text;
}

// The message's top-level elements, separated by blanks.
std::string DumpMessage(const Parser& parser) {
  const std::string root = Dump(*parser.GetCompositeData());
  return root.size() > 6 ? root.substr(5, root.size() - 6) : "";
}

// The number of nested levels below node (its own level not counted).
int Depth(const ServerData& node) {
  int depth = 0;
  for (int i = 0; i < node.GetChildSize(); ++i) {
    depth = std::max(depth, 1 + Depth(*node.GetChild(i)));
  }
  return depth;
}

TEST(ParserTest, BuildsTheTreeOfTheMessage) {
  const struct {
    const char* message;
    const char* tree;
  } cases[] = {
      // clang-format off
      {"(time (now 12.3))(GS (t 0.00) (pm BeforeKickOff))",
       "time{now[12.3]} GS{t[0.00] pm[BeforeKickOff]}"},
      {"(See (B (pol 1 2 3)) (L (pol 1 2 3) (pol 4 5 6)))",
       "See{B{pol[1|2|3]} L{pol[1|2|3] pol[4|5|6]}}"},
      // Data words are cut at every single blank; a one-word leaf carries the word as tag and
      // as its only datum.
      {"(a  b)", "a[|b]"}, {"(hear Alpha 0.00 self A1hi)", "hear[Alpha|0.00|self|A1hi]"},
      {"(syn)", "syn[syn]"},
      // Only one trailing blank leaves a tag; text between children is dropped.
      {"(a (b 1) c)", "a{b[1]}"}, {"(a  (b 1))", "a {b[1]}"},
      // Text outside brackets is ignored; a ')' at the top ends the message; truncated text
      // ends the parse where the scan runs out.
      {"junk (a 1) junk (b 2) junk", "a[1] b[2]"}, {"(a (b 1)) ) (c 2)", "a{b[1]}"},
      {"(a (b 1", "a"}, {"", ""}, {"((((", "{{}}"},
      // clang-format on
  };
  for (const auto& c : cases) {
    Parser parser;
    parser.Update(c.message);
    EXPECT_EQ(DumpMessage(parser), c.tree) << c.message;
  }
}

TEST(ParserTest, ReusedNodesKeepNothingOfTheEarlierMessage) {
  Parser parser;
  parser.Update("(time (now 1))(GS (t 2) (pm PlayOn))(x 1 2 3)");
  const long constructed = ServerData::GetConstructedNum();
  // Nodes are reused by position whatever their tag; leaves lose their old words.
  parser.Update("(GS (t 5))(x)");
  EXPECT_EQ(ServerData::GetConstructedNum(), constructed);
  EXPECT_EQ(DumpMessage(parser), "GS{t[5]} x[x]");
  const ServerData& root = *parser.GetCompositeData();
  EXPECT_EQ(root.GetChild("time"), ServerData::npos);
  EXPECT_EQ(root.GetChild(2), ServerData::npos);
  EXPECT_EQ(root.GetChild("GS")->GetChild("pm"), ServerData::npos);
}

TEST(ParserTest, SteadyStreamOfCapturedMessagesCreatesNoNodes) {
  const std::vector<std::string> lines =
      test::ReadFixtureLines("perception/three_players_left_unum1.txt");
  Parser parser;
  for (const std::string& line : lines) parser.Update(line);
  const long constructed = ServerData::GetConstructedNum();
  for (const std::string& line : lines) parser.Update(line);
  EXPECT_EQ(ServerData::GetConstructedNum(), constructed);
}

TEST(ParserTest, MessagesOfEverNewShapesKeepTheTreeBounded) {
  std::string wide = "(w";
  for (int i = 0; i < 1000; ++i) wide += " (y 1)";
  wide += ")";
  std::string shifted;
  Parser parser;
  long most = 0;
  // Every message puts the wide element at a new position: 300 x 1001 nodes if all kept.
  for (int i = 0; i < 300; ++i) {
    parser.Update(shifted + wide);
    most = std::max(most, parser.GetNodeNum());
    shifted += "(x)";
  }
  EXPECT_LE(most, Parser::MAX_NODE_NUM + 2 * (300 + 1001));
  EXPECT_EQ(parser.GetCompositeData()->GetChild(299)->GetChild(999)->GetDataInt(0), 1);
}

// Bytes allocated and not yet freed, mapped blocks included.
std::size_t AllocatedBytes() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// A kept node must not hold on to the storage an outsized element needed, or messages that
// put one at an ever new place pile it up node by node until the agent runs out of memory.
TEST(ParserTest, OutsizedElementsAtEverNewPlacesLeaveNoStorageBehind) {
  const struct {
    const char* name;
    std::string element;
  } cases[] = {
      {"40000 blank words", "(a" + std::string(40000, ' ') + ")"},
      {"a tag of 40000 characters", "(" + std::string(40000, 'a') + ")"},
      {"a word of 40000 characters", "(a " + std::string(40000, 'b') + ")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parser parser;
    parser.Update(c.element);
    std::string shifted;
    const std::size_t before = AllocatedBytes();
    for (int i = 0; i < 100; ++i) {
      shifted += "()";
      parser.Update(shifted + c.element);
    }
    parser.Update("(time (now 1.5))");  // the last outsized element is released too
    // Kept, the hundred elements would hold 4 MB (tags) or 200 MB (words).
    EXPECT_LT(AllocatedBytes(), before + 512 * 1024);
  }
}

TEST(ParserTest, MissingChildAndNegativeIndexesReadAsEmpty) {
  Parser parser;
  parser.Update("(a 1 2)(GS (t 1.5))");
  const ServerData& root = *parser.GetCompositeData();
  const ServerData* missing = root.GetChild("missing");
  EXPECT_EQ(missing, ServerData::npos);
  EXPECT_EQ(missing->GetID(), "THIS IS NOT SERVER DATA");
  EXPECT_EQ(missing->GetChildSize(), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(missing->GetDataStr(i), "");
  EXPECT_EQ(missing->GetDataDouble(0), 0.0);
  EXPECT_TRUE(missing->GetDataVector().isZero());
  EXPECT_EQ(missing->GetChild("t"), ServerData::npos);
  EXPECT_EQ(root.GetChild(-1), ServerData::npos);
  EXPECT_EQ(root.GetChild(INT_MIN), ServerData::npos);
  const ServerData& a = *root.GetChild("a");
  EXPECT_EQ(a.GetDataStr(-1), "");
  EXPECT_EQ(a.GetDataInt(-1), 0);
  EXPECT_EQ(a.GetDataDouble(INT_MIN), 0.0);
  EXPECT_EQ(a.GetDataStr(INT_MAX), "");
}

// A message nested level after level to depth levels, ending in (leaf 1).
std::string Nested(int depth) {
  std::string text;
  for (int i = 1; i < depth; ++i) text += "(d ";
  text += "(leaf 1)";
  for (int i = 1; i < depth; ++i) text += ")";
  return text;
}

TEST(ParserTest, SkipsElementsNestedDeeperThanSixtyFourLevelsAndKeepsTheirSiblings) {
  Parser parser;
  parser.Update(Nested(Parser::MAX_DEPTH));
  EXPECT_EQ(Depth(*parser.GetCompositeData()), Parser::MAX_DEPTH);

  parser.Update(Nested(Parser::MAX_DEPTH + 1) + "(time (now 2.5))");
  EXPECT_EQ(Depth(*parser.GetCompositeData()), Parser::MAX_DEPTH);
  ASSERT_EQ(parser.GetCompositeData()->GetChildSize(), 2);
  EXPECT_EQ(parser.GetCompositeData()->GetChild("time")->GetChild("now")->GetDataDouble(0), 2.5);

  // A million levels neither overflow the stack nor hide later elements.
  const int levels = 1000000;
  parser.Update(std::string(levels, '(') + std::string(levels, ')') + "(time (now 3))");
  EXPECT_EQ(Depth(*parser.GetCompositeData()), Parser::MAX_DEPTH);
  EXPECT_EQ(parser.GetCompositeData()->GetChild("time")->GetChild("now")->GetDataDouble(0), 3.0);
  parser.Update(std::string(levels, '(') + "(a 1");
  EXPECT_EQ(Depth(*parser.GetCompositeData()), Parser::MAX_DEPTH);
}

TEST(ParserTest, ReadsTheLeadingNumberOrZero) {
  const struct {
    const char* word;
    double real;
    int integer;
  } cases[] = {
      // clang-format off
      {"12.5", 12.5, 12}, {"+5", 5.0, 5}, {"-7", -7.0, -7}, {"1e3", 1000.0, 1}, {"12abc", 12.0, 12},
      {"abc", 0.0, 0},    {"+-1", 0.0, 0}, {"0x10", 0.0, 0},
      // Values that would poison every filter downstream read as 0.
      {"nan", 0.0, 0},    {"-inf", 0.0, 0}, {"1e999", 0.0, 1},
      // Integers that do not fit an int read as 0, not as a wrapped value.
      {"-2147483648", -2147483648.0, INT_MIN}, {"2147483648", 2147483648.0, 0},
      // clang-format on
  };
  for (const auto& c : cases) {
    Parser parser;
    parser.Update(std::string("(x ") + c.word + ")");
    const ServerData& x = *parser.GetCompositeData()->GetChild("x");
    EXPECT_EQ(x.GetDataDouble(0), c.real) << c.word;
    EXPECT_EQ(x.GetDataInt(0), c.integer) << c.word;
  }
}

TEST(ParserTest, VectorNeedsExactlyThreeWords) {
  Parser parser;
  parser.Update("(a 1 -2.5 3e1)(b 1 2)(c 1 2 3 4)(d 1 nan 3)");
  const ServerData& root = *parser.GetCompositeData();
  EXPECT_EQ(root.GetChild("a")->GetDataVector(), Eigen::Vector3d(1.0, -2.5, 30.0));
  EXPECT_TRUE(root.GetChild("b")->GetDataVector().isZero());
  EXPECT_TRUE(root.GetChild("c")->GetDataVector().isZero());
  EXPECT_EQ(root.GetChild("d")->GetDataVector(), Eigen::Vector3d(1.0, 0.0, 3.0));
}

TEST(ParserTest, ReadsNumbersTheSameUnderADecimalCommaLocale) {
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
  Parser parser;
  parser.Update("(now 12.5)(v 0.25 1.5 -2.75)");
  const double now = parser.GetCompositeData()->GetChild("now")->GetDataDouble(0);
  const Eigen::Vector3d v = parser.GetCompositeData()->GetChild("v")->GetDataVector();
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(now, 12.5) << chosen;
  EXPECT_EQ(v, Eigen::Vector3d(0.25, 1.5, -2.75)) << chosen;
}

}  // namespace
}  // namespace zamp
