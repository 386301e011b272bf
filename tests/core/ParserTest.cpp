#include <gtest/gtest.h>

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

using test::ReadFixtureLines;

// A node as compact text: tag, data words in [] joined by |, children in {}.
std::string Dump(const ServerData& node) {
  std::string text = node.GetID();
  if (node.GetDataSize() > 0) {
    text += "[";
    for (int i = 0; i < node.GetDataSize(); ++i) text += (i > 0 ? "|" : "") + node.GetDataStr(i);
    text += "]";
  }
  if (node.GetChildSize() > 0) {
    text += "{";
    for (int i = 0; i < node.GetChildSize(); ++i) {
      text += (i > 0 ? " " : "") + Dump(*node.GetChild(i));
    }
    text += "}";
  }
  return text;
}

// The message's top-level elements, separated by blanks.
std::string DumpMessage(const Parser& parser) {
  const ServerData& root = *parser.GetCompositeData();
  std::string text;
  for (int i = 0; i < root.GetChildSize(); ++i) {
    text += (i > 0 ? " " : "") + Dump(*root.GetChild(i));
  }
  return text;
}

// The number of nested levels below node (its own level not counted).
int Depth(const ServerData& node) {
  int depth = 0;
  for (int i = 0; i < node.GetChildSize(); ++i) {
    depth = std::max(depth, 1 + Depth(*node.GetChild(i)));
  }
  return depth;
}

struct TreeCase {
  const char* message;
  const char* tree;
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << '"' << c.message << '"'; }

class ParserTreeTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ParserTreeTest, BuildsTheTreeOfTheMessage) {
  Parser parser;
  parser.Update(GetParam().message);
  EXPECT_EQ(DumpMessage(parser), GetParam().tree) << GetParam().message;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ParserTreeTest,
    ::testing::Values(TreeCase{"(time (now 12.3))(GS (t 0.00) (pm BeforeKickOff))",
                               "time{now[12.3]} GS{t[0.00] pm[BeforeKickOff]}"},
                      // Data words are cut at every single blank.
                      TreeCase{"(a  b)", "a[|b]"}, TreeCase{"(a b )", "a[b|]"},
                      TreeCase{"(hear Alpha 0.00 self A1hello)", "hear[Alpha|0.00|self|A1hello]"},
                      // A one-word leaf carries the word as tag and as its only datum.
                      TreeCase{"(syn)", "syn[syn]"}, TreeCase{"()", "[]"},
                      // Only one trailing blank leaves a tag; text between children is dropped.
                      TreeCase{"(a (b 1) c)", "a{b[1]}"}, TreeCase{"(a  (b 1))", "a {b[1]}"},
                      TreeCase{"(n (a 1)(b 2))", "n{a[1] b[2]}"}, TreeCase{"((x 1))", "{x[1]}"},
                      TreeCase{"(See (B (pol 1 2 3)) (L (pol 1 2 3) (pol 4 5 6)))",
                               "See{B{pol[1|2|3]} L{pol[1|2|3] pol[4|5|6]}}"},
                      // Text outside brackets is ignored; a ')' at the top ends the message.
                      TreeCase{"junk (a 1) junk (b 2) junk", "a[1] b[2]"}, TreeCase{")(a 1)", ""},
                      TreeCase{"(a (b 1)) ) (c 2)", "a{b[1]}"},
                      // Truncated text ends the parse where the scan runs out.
                      TreeCase{"(a (b 1)", "a{b[1]}"}, TreeCase{"(a (b 1", "a"}, TreeCase{"(a", ""},
                      TreeCase{"", ""}, TreeCase{"((((", "{{}}"}));

TEST(ParserTest, LaterMessageHidesTheNodesOfALongerOne) {
  Parser parser;
  parser.Update("(time (now 1))(GS (t 2) (pm PlayOn))(x (y 3) (z 4))");
  parser.Update("(GS (t 5))");
  const ServerData& root = *parser.GetCompositeData();
  ASSERT_EQ(root.GetChildSize(), 1);
  EXPECT_EQ(root.GetChild("time"), ServerData::npos);
  EXPECT_EQ(root.GetChild(1), ServerData::npos);
  EXPECT_DOUBLE_EQ(root.GetChild("GS")->GetChild("t")->GetDataDouble(0), 5.0);
  EXPECT_EQ(root.GetChild("GS")->GetChild("pm"), ServerData::npos);
  EXPECT_EQ(DumpMessage(parser), "GS{t[5]}");
}

TEST(ParserTest, ReusedLeafKeepsNoWordsOfTheEarlierMessage) {
  Parser parser;
  parser.Update("(a 1 2 3)(b (c 1) (d 2))");
  parser.Update("(a)(b (c 7))");
  EXPECT_EQ(DumpMessage(parser), "a[a] b{c[7]}");
}

TEST(ParserTest, NodesAreReusedByPositionWhateverTheirTag) {
  Parser parser;
  parser.Update("(a (x 1) (y 2))(b (c 2) (d 3))");
  const long constructed = ServerData::GetConstructedNum();
  parser.Update("(b (d 4) (c 5))(a 6)");
  EXPECT_EQ(ServerData::GetConstructedNum(), constructed);
  EXPECT_EQ(DumpMessage(parser), "b{d[4] c[5]} a[6]");
}

TEST(ParserTest, SteadyStreamOfCapturedMessagesCreatesNoNodes) {
  const std::vector<std::string> lines =
      ReadFixtureLines("perception/three_players_left_unum1.txt");
  ASSERT_EQ(lines.size(), 601u);
  Parser parser;
  for (const std::string& line : lines) parser.Update(line);
  const long constructed = ServerData::GetConstructedNum();
  for (const std::string& line : lines) parser.Update(line);
  EXPECT_EQ(ServerData::GetConstructedNum(), constructed);
}

TEST(ParserTest, AllCapturesTogetherStayFarBelowTheNodeLimit) {
  Parser parser;
  for (const char* file :
       {"before_kickoff_type0.txt", "ground_truth_sync_type0.txt", "three_players_left_unum1.txt",
        "three_players_right_unum1.txt", "toes_type4.txt"}) {
    for (const std::string& line : ReadFixtureLines(std::string("perception/") + file)) {
      parser.Update(line);
    }
  }
  EXPECT_LT(parser.GetNodeNum(), Parser::MAX_NODE_NUM / 16);
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
  const ServerData& root = *parser.GetCompositeData();
  ASSERT_EQ(root.GetChildSize(), 300);
  EXPECT_EQ(root.GetChild(299)->GetID(), "w");
  EXPECT_EQ(root.GetChild(299)->GetChildSize(), 1000);
  EXPECT_EQ(root.GetChild(299)->GetChild(999)->GetDataInt(0), 1);
}

TEST(ParserTest, MissingChildReadsAsEmptyThroughTheSentinel) {
  Parser parser;
  parser.Update("(GS (t 1.5))");
  const ServerData* missing = parser.GetCompositeData()->GetChild("missing");
  EXPECT_EQ(missing, ServerData::npos);
  EXPECT_EQ(missing->GetID(), "THIS IS NOT SERVER DATA");
  EXPECT_EQ(missing->GetChildSize(), 0);
  EXPECT_EQ(missing->GetDataSize(), 4);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(missing->GetDataStr(i), "");
  EXPECT_EQ(missing->GetDataDouble(0), 0.0);
  EXPECT_EQ(missing->GetDataInt(0), 0);
  EXPECT_TRUE(missing->GetDataVector().isZero());
  EXPECT_EQ(missing->GetChild("t"), ServerData::npos);
  EXPECT_EQ(missing->GetChild(0), ServerData::npos);
}

TEST(ParserTest, NegativeIndexesAnswerTheSentinelOrEmpty) {
  Parser parser;
  parser.Update("(a 1 2)(b (c 3))");
  const ServerData& root = *parser.GetCompositeData();
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

TEST(ParserTest, FollowsNestingUpToSixtyFourLevels) {
  Parser parser;
  parser.Update(Nested(Parser::MAX_DEPTH));
  EXPECT_EQ(Depth(*parser.GetCompositeData()), Parser::MAX_DEPTH);
}

TEST(ParserTest, SkipsElementsNestedDeeperAndKeepsTheirSiblings) {
  Parser parser;
  parser.Update(Nested(Parser::MAX_DEPTH + 1) + "(time (now 2.5))");
  const ServerData& root = *parser.GetCompositeData();
  EXPECT_EQ(Depth(root), Parser::MAX_DEPTH);
  ASSERT_EQ(root.GetChildSize(), 2);
  EXPECT_DOUBLE_EQ(root.GetChild("time")->GetChild("now")->GetDataDouble(0), 2.5);
}

TEST(ParserTest, HugeNestingNeitherOverflowsTheStackNorLosesLaterElements) {
  const int levels = 1000000;
  Parser parser;
  parser.Update(std::string(levels, '(') + std::string(levels, ')') + "(time (now 3))");
  EXPECT_EQ(Depth(*parser.GetCompositeData()), Parser::MAX_DEPTH);
  EXPECT_DOUBLE_EQ(parser.GetCompositeData()->GetChild("time")->GetChild("now")->GetDataDouble(0),
                   3.0);
  parser.Update(std::string(levels, '(') + "(a 1");
  EXPECT_EQ(Depth(*parser.GetCompositeData()), Parser::MAX_DEPTH);
}

struct NumberCase {
  const char* word;
  double real;
  int integer;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << '"' << c.word << '"'; }

class ParserNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParserNumberTest, ReadsTheLeadingNumberOrZero) {
  Parser parser;
  parser.Update(std::string("(x ") + GetParam().word + ")");
  const ServerData& x = *parser.GetCompositeData()->GetChild("x");
  ASSERT_EQ(x.GetDataStr(0), GetParam().word);
  EXPECT_EQ(x.GetDataDouble(0), GetParam().real);
  EXPECT_EQ(x.GetDataInt(0), GetParam().integer);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ParserNumberTest,
    ::testing::Values(
        NumberCase{"12.5", 12.5, 12}, NumberCase{"-0.25", -0.25, 0}, NumberCase{"-7", -7.0, -7},
        NumberCase{"+5", 5.0, 5}, NumberCase{"1e3", 1000.0, 1}, NumberCase{".5", 0.5, 0},
        NumberCase{"12abc", 12.0, 12}, NumberCase{"abc", 0.0, 0}, NumberCase{"", 0.0, 0},
        NumberCase{"+-1", 0.0, 0}, NumberCase{"--1", 0.0, 0}, NumberCase{"0x10", 0.0, 0},
        // Values that would poison every filter downstream read as 0.
        NumberCase{"nan", 0.0, 0}, NumberCase{"-nan", 0.0, 0}, NumberCase{"inf", 0.0, 0},
        NumberCase{"-inf", 0.0, 0}, NumberCase{"infinity", 0.0, 0}, NumberCase{"1e999", 0.0, 1},
        NumberCase{"-1e999", 0.0, -1},
        // Integers that do not fit an int read as 0, not as a wrapped value.
        NumberCase{"2147483647", 2147483647.0, INT_MAX},
        NumberCase{"-2147483648", -2147483648.0, INT_MIN},
        NumberCase{"2147483648", 2147483648.0, 0}, NumberCase{"99999999999", 99999999999.0, 0}));

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
  const char* const candidates[] = {"de_DE.UTF-8", "de_DE.utf8",  "fr_FR.UTF-8",
                                    "fr_FR.utf8",  "ru_RU.UTF-8", "de_DE"};
  const char* chosen = nullptr;
  for (const char* name : candidates) {
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
