// What the match agent answers to every message of every recorded capture, against the
// answers recorded under fixtures/golden/ (one file per capture). The agent is driven as
// Agent::Run drives it, without a socket: the first message only fills the models before
// the beam pose is set and "(init ...)(beam ...)" goes out; every later message runs the
// whole cycle through Agent::Step. This pins the agent's behaviour while its insides change
// (for speed): a text must match exactly, except that a number may differ by at most 1e-6
// (one unit of the sixth decimal), the amount by which the same sum taken in another order
// can round differently. Any other difference is a fault.
//
// Golden file format, one line per answer: "=" when the answer equals the previous one,
// otherwise the answer with every joint piece "(NAME SPEED)" whose speed is the same as in
// the previous answer shortened to "(NAME=)". A joint's speed is mostly zero or slowly
// changing, so this keeps the files small while every answer stays readable.
//
// ZAMP_WRITE_GOLDEN=1 in the environment writes the files instead of comparing (only after
// a change of behaviour that is meant).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "play/AgentZAMP.h"
#include "support/Fixtures.h"
#include "support/SharedInstances.h"

namespace zamp {
namespace {

// The match agent with the start-up step of Agent::Run open to the test.
class StartableAgent : public AgentZAMP {
 public:
  using AgentZAMP::AgentZAMP;
  using AgentZAMP::can_init_beam_;
  using AgentZAMP::UpdatePerception;
};

struct GoldenCase {
  const char* name;
  const char* capture;  // under perception/
  const char* team;     // the recording player's team
  int uniform_number;   // the recording player's number: 1 plays the keeper, others a fielder
  int agent_type;
  bool syn;  // synchronous mode: every answer ends with "(syn)"
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

const GoldenCase GOLDEN_CASES[] = {
    {"BeforeKickOff", "before_kickoff_type0.txt", "Alpha", 1, 0, false},
    {"ThreePlayersLeft", "three_players_left_unum1.txt", "Alpha", 1, 0, false},
    {"ThreePlayersRight", "three_players_right_unum1.txt", "Beta", 1, 0, false},
    {"ToesType4", "toes_type4.txt", "Alpha", 1, 4, false},
    {"GroundTruthSync", "ground_truth_sync_type0.txt", "Alpha", 1, 0, true},
    {"Match11v11", "match_11v11_left_unum5.txt", "TeamA", 5, 0, false},
};

std::string GoldenName(const GoldenCase& c) {
  std::string name = c.capture;
  return "golden/" + name.substr(0, name.rfind('.')) + ".golden";
}

// Every answer of a fresh agent to the capture, in order.
std::vector<std::string> Replay(const GoldenCase& c) {
  test::RenewAgentInstances();
  std::vector<std::string> args = {"agent", std::string("--team=") + c.team,
                                   "--unum=" + std::to_string(c.uniform_number),
                                   "--type=" + std::to_string(c.agent_type)};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  StartableAgent agent(static_cast<int>(argv.size()), argv.data());

  const std::vector<std::string> messages =
      test::ReadFixtureLines(std::string("perception/") + c.capture);
  std::vector<std::string> answers;
  answers.reserve(messages.size());
  EffectorAgent effector;
  agent.UpdatePerception(messages.at(0));
  agent.SettingBeam();
  effector.SetEffectorAgentUse(false, true, agent.can_init_beam_, false, false, false);
  answers.push_back(effector.Make());
  effector.SetEffectorAgentUse(false, false, false, true, true, c.syn);
  for (size_t i = 1; i < messages.size(); ++i) answers.push_back(agent.Step(messages[i], effector));
  return answers;
}

// The top-level pieces "(...)" of an answer.
std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> pieces;
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(' && depth++ == 0) start = i;
    if (text[i] == ')' && --depth == 0) pieces.push_back(text.substr(start, i + 1 - start));
  }
  return pieces;
}

// A joint piece "(NAME SPEED)": its name, or empty for any other piece.
std::string JointName(const std::string& piece) {
  const size_t space = piece.find(' ');
  if (space == std::string::npos || piece.find(' ', space + 1) != std::string::npos) return "";
  const std::string name = piece.substr(1, space - 1);
  return (name.size() >= 3 && name[name.size() - 2] == 'e') ? name : "";
}

std::vector<std::string> Encode(const std::vector<std::string>& answers) {
  std::vector<std::string> lines;
  std::map<std::string, std::string> last_joint;  // name -> last piece
  std::string previous;
  for (const std::string& answer : answers) {
    if (!lines.empty() && answer == previous) {
      lines.push_back("=");
      continue;
    }
    std::string line;
    for (const std::string& piece : Pieces(answer)) {
      const std::string name = JointName(piece);
      if (!name.empty() && last_joint[name] == piece) {
        line += "(" + name + "=)";
      } else {
        line += piece;
        if (!name.empty()) last_joint[name] = piece;
      }
    }
    lines.push_back(line);
    previous = answer;
  }
  return lines;
}

std::vector<std::string> Decode(const std::vector<std::string>& lines) {
  std::vector<std::string> answers;
  std::map<std::string, std::string> last_joint;
  for (const std::string& line : lines) {
    if (line == "=") {
      answers.push_back(answers.empty() ? "" : answers.back());
      continue;
    }
    std::string answer;
    for (const std::string& piece : Pieces(line)) {
      if (piece.size() > 3 && piece.compare(piece.size() - 2, 2, "=)") == 0) {
        answer += last_joint[piece.substr(1, piece.size() - 3)];
      } else {
        answer += piece;
        const std::string name = JointName(piece);
        if (!name.empty()) last_joint[name] = piece;
      }
    }
    answers.push_back(answer);
  }
  return answers;
}

// Splits a text into runs of number characters and runs of anything else.
std::vector<std::string> Tokens(const std::string& text) {
  auto numeric = [](char ch) { return (ch >= '0' && ch <= '9') || ch == '.' || ch == '-'; };
  std::vector<std::string> tokens;
  for (size_t i = 0; i < text.size();) {
    size_t j = i;
    const bool number = numeric(text[i]);
    while (j < text.size() && numeric(text[j]) == number) ++j;
    tokens.push_back(text.substr(i, j - i));
    i = j;
  }
  return tokens;
}

// Empty when the texts agree (numbers within 1e-6), else what differs.
std::string Difference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  const std::vector<std::string> want = Tokens(expected);
  const std::vector<std::string> got = Tokens(actual);
  if (want.size() != got.size()) return "different shape";
  for (size_t i = 0; i < want.size(); ++i) {
    if (want[i] == got[i]) continue;
    char* end_want = nullptr;
    char* end_got = nullptr;
    const double a = std::strtod(want[i].c_str(), &end_want);
    const double b = std::strtod(got[i].c_str(), &end_got);
    const bool both_numbers = *end_want == '\0' && *end_got == '\0' && !want[i].empty() &&
                              want[i].find_first_of("0123456789") != std::string::npos &&
                              got[i].find_first_of("0123456789") != std::string::npos;
    // One unit of the sixth decimal, with room for the binary representation of the texts.
    if (!both_numbers || std::fabs(a - b) > 1e-6 + 1e-12) {
      return "\"" + want[i] + "\" became \"" + got[i] + "\"";
    }
  }
  return "";
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

class AgentZAMPGoldenTest : public ::testing::TestWithParam<GoldenCase> {
 protected:
  // The motion files are read relative to the working directory.
  void SetUp() override { ASSERT_EQ(chdir(ZAMP_SOURCE_DIR), 0); }
};

TEST(AgentZAMPGoldenCodecTest, DecodingRestoresEveryAnswer) {
  const std::vector<std::string> answers = {
      "(init (unum 1)(teamname A))(beam -14.500000 0.000000 0.000000)",
      "(he1 0.000000)(he2 1.500000)",
      "(he1 0.000000)(he2 1.500000)",
      "(say abc)(he1 0.000000)(he2 -1.500000)",
      "(he1 0.100000)(he2 -1.500000)",
  };
  const std::vector<std::string> lines = Encode(answers);
  EXPECT_EQ(lines[2], "=");
  EXPECT_EQ(lines[3], "(say abc)(he1=)(he2 -1.500000)");
  EXPECT_EQ(Decode(lines), answers);
}

TEST(AgentZAMPGoldenCodecTest, NumbersMayDifferByOneUnitOfTheSixthDecimalOnly) {
  const struct {
    const char* expected;
    const char* actual;
    bool agree;
  } cases[] = {
      {"(he1 0.000001)", "(he1 0.000001)", true},
      {"(he1 0.000001)", "(he1 0.000002)", true},
      {"(he1 0.000000)", "(he1 -0.000000)", true},
      {"(he1 0.000001)", "(he1 0.000003)", false},
      {"(he1 0.000001)", "(he2 0.000001)", false},
      {"(say ab1)", "(say ab2)", false},  // digits of a say text are whole units apart
      {"(say abc)", "(say abd)", false},
      {"(he1 0.5)(he2 0.5)", "(he1 0.5)", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Difference(c.expected, c.actual).empty(), c.agree) << c.expected << " / " << c.actual;
  }
}

TEST_P(AgentZAMPGoldenTest, AnswersEveryMessageAsRecorded) {
  const GoldenCase& c = GetParam();
  const std::vector<std::string> answers = Replay(c);
  const std::string path = test::FixturePath(GoldenName(c));
  const char* write = std::getenv("ZAMP_WRITE_GOLDEN");
  if (write != nullptr && std::string(write) == "1") {
    std::ofstream out(path);
    for (const std::string& line : Encode(answers)) out << line << '\n';
    ASSERT_TRUE(out.good()) << "cannot write " << path;
    GTEST_SKIP() << "wrote " << path;
  }
  const std::vector<std::string> expected = Decode(ReadLines(path));
  ASSERT_EQ(expected.size(), answers.size()) << path;
  int reported = 0;
  for (size_t i = 0; i < answers.size(); ++i) {
    const std::string difference = Difference(expected[i], answers[i]);
    if (difference.empty()) continue;
    ADD_FAILURE() << "answer " << i << ": " << difference << "\nexpected " << expected[i]
                  << "\nactual   " << answers[i];
    if (++reported == 5) break;
  }
}

INSTANTIATE_TEST_SUITE_P(Captures, AgentZAMPGoldenTest, ::testing::ValuesIn(GOLDEN_CASES),
                         [](const ::testing::TestParamInfo<GoldenCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace zamp
