#include <gtest/gtest.h>

#include <array>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/WorldState.h"
#include "support/Fixtures.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace {

using test::PerceptionText;

// The records an element naming a joint, a force sensor or a player could change, as text.
std::string Describe(const RawStorage& store) {
  std::ostringstream out;
  out << std::setprecision(17);
  for (int i = 0; i < HINGE_JOINT_NUM; ++i) out << store.GetHingeJoint(i).current_degree << ' ';
  for (int i = 0; i < FORCE_RESISTANCE_NUM; ++i) {
    const raw::ForceResistance& f = store.GetForceResistance(i);
    out << f.name << f.landing << f.local_coord.transpose() << f.force_vect.transpose() << '\n';
  }
  for (const raw::VisibleObject* object : store.GetAllVisibleObjects()) {
    out << object->visible << object->polar_coord.transpose() << '\n';
  }
  for (int i = 0; i < MAX_AGENT_NUM; ++i) {
    out << store.GetPlayer(i).team_name << store.GetPlayer(i).id << store.GetPlayer(i).visible;
  }
  return out.str();
}

// Fresh shared instances for every test, run in the agent's order; the own team is
// "Alpha".
class RawStorageTest : public ::testing::Test {
 protected:
  // One cycle as the agent runs it: parse, store, game state.
  void Feed(const std::string& text) { cycle_.Perceive(text); }
  // The shared store: the one of the cycle that perceived last.
  const RawStorage& store() const { return *Singleton<RawStorage>::GetInstance(); }

  test::ModelCycle cycle_{"Alpha", 1};
};

TEST_F(RawStorageTest, HearIsFiledBySenderTeamAndSelfWordForOneCycle) {
  // The later message of a kind wins; the other team is never tested for "self", whose word
  // reads as direction 0.
  Feed(
      "(hear Alpha 1.00 self mine)(hear Alpha 1.00 10 first)(hear Alpha 1.10 -20 second)"
      "(hear Beta 2.00 self B1yo)");
  const raw::Hear& self = store().GetHear(HEAR_SELF);
  const raw::Hear& mate = store().GetHear(HEAR_FRIEND);
  const raw::Hear& other = store().GetHear(HEAR_ENEMY);
  EXPECT_TRUE(self.hearing && mate.hearing && other.hearing);
  EXPECT_EQ(self.message, "mine");
  EXPECT_EQ(self.direction, 0.0);
  EXPECT_EQ(mate.time, 1.1);
  EXPECT_EQ(mate.direction, -20.0);
  EXPECT_EQ(mate.message, "second");
  EXPECT_EQ(other.team_name, "Beta");
  EXPECT_EQ(other.direction, 0.0);
  EXPECT_EQ(other.message, "B1yo");
  // Team names compare exactly; the flags last one cycle, the texts stay.
  Feed("(hear alpha 2.00 self x)");
  EXPECT_FALSE(self.hearing || mate.hearing);
  EXPECT_EQ(other.team_name, "alpha");
  EXPECT_EQ(self.message, "mine");
}

TEST_F(RawStorageTest, JointsAreFiledByNameWhateverTheirOrder) {
  PerceptionText text;
  for (int id = HINGE_JOINT_NUM - 1; id >= 0; --id) text.Joint(id, 1.5 * id - 10.0);
  Feed(text.Str());
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) {
    EXPECT_EQ(store().GetHingeJoint(id).current_degree, 1.5 * id - 10.0) << id;
  }
}

// Elements that name no known sensor or player slot, or none at all, after a message that
// set every joint, force sensor and player slot the elements could hit.
TEST_F(RawStorageTest, UnknownNamesAndIdsChangeNoRecord) {
  std::array<double, HINGE_JOINT_NUM> degrees;
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) degrees[id] = id + 0.5;
  PerceptionText base;
  base.Joints(degrees, true);
  for (int id = 0; id < FORCE_RESISTANCE_NUM; ++id) {
    base.ForceResistance(id, Eigen::Vector3d(0.01 * id, 0.02, -0.01), Eigen::Vector3d(1, 2, id));
  }
  for (const char* team : {"Alpha", "Beta"}) {
    for (int id : {1, 11}) base.Player(team, id, {{VISIBLE_PART_HEAD, {1, 2, 3}}});
  }
  std::vector<std::string> elements = {"(HJ (n rlj8) (ax 45))",
                                       "(HJ (n HJ1) (ax 45))",
                                       "(HJ (ax 45))",
                                       "(HJ (n ) (ax 45))",
                                       "(FRP (n rf2) (c 1 1 1) (f 9 9 9))",
                                       "(FRP (c 1 1 1) (f 9 9 9))",
                                       "(FRP)",
                                       "(hj (n hj1) (ax 45))",
                                       "(See (Q (pol 1 2 3)) (F3L (pol 1 2 3)))"};
  for (const char* team : {"Alpha", "Beta"}) {
    for (const char* id :
         {" (id 0)", " (id 12)", " (id -1)", " (id abc)", " (id 99999999999)", " (id)", ""}) {
      elements.push_back(std::string("(See (P (team ") + team + ")" + id +
                         " (head (pol 9 9 9)) (lfoot (pol 9 9 9))))");
    }
  }
  Feed(base.Str());
  const std::string before = Describe(store());
  for (const std::string& element : elements) {
    Feed(base.Str() + element);
    EXPECT_EQ(Describe(store()), before) << element;
  }
}

TEST_F(RawStorageTest, LandmarksAreFiledBySideOfThePreviousMessage) {
  const std::string seen =
      PerceptionText().Landmark("F1R", {18.67, 53.73, -5.24}).Ball({1.89, -0.04, -58.11}).Str();
  Feed(PerceptionText().GameStateWithTeam(1, "left", 0.0, "BeforeKickOff").Str() + seen);
  for (const raw::VisibleObject* object : store().GetAllVisibleObjects()) {
    EXPECT_FALSE(object->visible);
  }
  Feed(PerceptionText().GameStateWithTeam(1, "right", 0.0, "PlayOn").Str() + seen);
  EXPECT_TRUE(store().GetFlag(FLAG_FIELD_ENEMY_LEFT).visible);
  EXPECT_EQ(store().GetBall().polar_coord, Eigen::Vector3d(1.89, -0.04, -58.11));
  Feed(seen);
  EXPECT_TRUE(store().GetFlag(FLAG_FIELD_US_RIGHT).visible);
  EXPECT_FALSE(store().GetFlag(FLAG_FIELD_ENEMY_LEFT).visible);
}

TEST_F(RawStorageTest, ValuesStayButFlagsLastOnlyTheirCycle) {
  Feed("(GS (team left))");
  Feed(PerceptionText()
           .ForceResistance(FORCE_RESISTANCE_LEFT_TYPE4, Eigen::Vector3d(0.0, -0.02, -0.01),
                            Eigen::Vector3d(0.5, -0.01, 5.71))
           .Player("Beta", 1, {{VISIBLE_PART_LEFT_FOOT, {4.0, -14.0, -7.6}}})
           .GroundTruth(Eigen::Vector3d(-3.0, 1.0, 0.54), 45.0, Eigen::Vector3d(0.0, 0.0, 0.04))
           .Str());
  Feed(PerceptionText().Time(1.02).Str());
  EXPECT_FALSE(store().HasNewSeeData());
  const raw::ForceResistance& toe = store().GetForceResistance(FORCE_RESISTANCE_LEFT_TYPE4);
  EXPECT_FALSE(toe.landing);
  EXPECT_EQ(toe.force_vect, Eigen::Vector3d(0.5, -0.01, 5.71));
  EXPECT_FALSE(store().GetPlayer(11).visible);
  EXPECT_FALSE(store().GetPlayer(11).parts[VISIBLE_PART_LEFT_FOOT].visible);
  EXPECT_EQ(store().GetHiddenData().my_pos, Eigen::Vector3d(-3.0, 1.0, 0.54));
  // An empty vision element is new vision data all the same.
  Feed("(See (myorien -90.5))");
  EXPECT_TRUE(store().HasNewSeeData());
  EXPECT_EQ(store().GetHiddenData().my_orien, -90.5);
  EXPECT_EQ(store().GetHiddenData().ball_pos, Eigen::Vector3d(0.0, 0.0, 0.04));
}

// Real captures. A small reader of the raw text, independent of the parser, tells what
// each message carries; the store must agree with it on every message.

// The balanced element that starts at the bracket text[begin].
std::string ElementAt(const std::string& text, size_t begin) {
  int level = 0;
  for (size_t i = begin; i < text.size(); ++i) {
    if (text[i] == '(') ++level;
    if (text[i] == ')' && --level == 0) return text.substr(begin, i - begin + 1);
  }
  return text.substr(begin);
}

// Every element that starts with prefix, such as "(HJ ".
std::vector<std::string> FindAll(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) {
    found.push_back(ElementAt(text, at));
  }
  return found;
}

// The words of the child "(key ...)", without its brackets; "" when there is none.
std::string Value(const std::string& element, const std::string& key) {
  const size_t at = element.find("(" + key + " ");
  if (at == std::string::npos) return "";
  const size_t begin = at + key.size() + 2;
  return element.substr(begin, element.find(')', begin) - begin);
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

Eigen::Vector3d Vector(const std::string& words) {
  std::istringstream in(words);
  Eigen::Vector3d v;
  in >> v.x() >> v.y() >> v.z();
  return v;
}

// How often each kind of record was filled over a whole capture.
struct Coverage {
  int landed[FORCE_RESISTANCE_NUM] = {};
  int heard[MAX_HEAR_MESSAGE_NUM] = {};
  int line_ends = 0;
};

void CheckBody(const std::string& line, const RawStorage& store, Coverage& coverage) {
  EXPECT_EQ(store.GetServerTime().time, std::stod(Value(line, "time (now")));
  EXPECT_EQ(store.GetGyroRate().degree_speed, Vector(Value(FindAll(line, "(GYR ").at(0), "rt")));
  EXPECT_EQ(store.GetAccelerometer().speed, Vector(Value(FindAll(line, "(ACC ").at(0), "a")));
  for (const std::string& joint : FindAll(line, "(HJ ")) {
    int id = 0;
    while (id < HINGE_JOINT_NUM && Value(joint, "n") != PerceptionText::JointName(id)) ++id;
    ASSERT_LT(id, HINGE_JOINT_NUM) << joint;
    EXPECT_EQ(store.GetHingeJoint(id).current_degree, std::stod(Value(joint, "ax"))) << joint;
  }
  for (int id = 0; id < FORCE_RESISTANCE_NUM; ++id) {
    const std::string name = PerceptionText::ForceResistanceName(id);
    const std::vector<std::string> reports = FindAll(line, "(FRP (n " + name + ")");
    const raw::ForceResistance& force = store.GetForceResistance(id);
    EXPECT_EQ(force.landing, !reports.empty()) << name;
    if (reports.empty()) continue;
    ++coverage.landed[id];
    EXPECT_EQ(force.local_coord, Vector(Value(reports.back(), "c")));
    EXPECT_EQ(force.force_vect, Vector(Value(reports.back(), "f")));
  }
}

void CheckGameState(const std::string& line, const RawStorage& store, int& unum,
                    std::string& side_word) {
  const std::string gs = FindAll(line, "(GS ").at(0);
  if (!Value(gs, "unum").empty()) unum = std::stoi(Value(gs, "unum"));
  if (!Value(gs, "team").empty()) side_word = Value(gs, "team");
  const raw::GameState& state = store.GetGameState();
  EXPECT_EQ(state.uniform_number, unum);
  EXPECT_EQ(state.team, side_word);
  EXPECT_EQ(state.score_left, std::stoi(Value(gs, "sl")));
  EXPECT_EQ(state.score_right, std::stoi(Value(gs, "sr")));
  EXPECT_EQ(state.time, std::stod(Value(gs, "t")));
  EXPECT_EQ(state.play_mode, Value(gs, "pm"));
}

void CheckHears(const std::string& line, const RawStorage& store, const std::string& team,
                Coverage& coverage) {
  std::vector<std::string> last[MAX_HEAR_MESSAGE_NUM];
  for (const std::string& hear : FindAll(line, "(hear ")) {
    const std::vector<std::string> words = Words(hear.substr(1, hear.size() - 2));
    ASSERT_EQ(words.size(), 5u) << hear;
    last[words[1] != team ? HEAR_ENEMY : words[3] == "self" ? HEAR_SELF : HEAR_FRIEND] = words;
  }
  for (int kind = 0; kind < MAX_HEAR_MESSAGE_NUM; ++kind) {
    const raw::Hear& hear = store.GetHear(kind);
    EXPECT_EQ(hear.hearing, !last[kind].empty()) << kind;
    if (last[kind].empty()) continue;
    ++coverage.heard[kind];
    EXPECT_EQ(hear.team_name, last[kind][1]);
    EXPECT_EQ(hear.time, std::stod(last[kind][2]));
    EXPECT_EQ(hear.direction, kind == HEAR_SELF ? 0.0 : std::stod(last[kind][3]));
    EXPECT_EQ(hear.message, last[kind][4]);
  }
}

TEST_F(RawStorageTest, EveryMessageOfTheCapturesLandsInItsRecords) {
  const struct {
    const char* file;
    const char* team;
    bool toes;
    int hear_kinds;  // bit 1 << HearID for every kind of hear message in the capture
  } captures[] = {
      {"before_kickoff_type0.txt", "Alpha", false, 0},
      {"three_players_left_unum1.txt", "Alpha", false,
       1 << HEAR_FRIEND | 1 << HEAR_ENEMY | 1 << HEAR_SELF},
      // Beta 1 has no team mate on the field.
      {"three_players_right_unum1.txt", "Beta", false, 1 << HEAR_ENEMY | 1 << HEAR_SELF},
      {"toes_type4.txt", "Alpha", true, 0},
      {"ground_truth_sync_type0.txt", "Alpha", false, 0},
  };
  for (const auto& c : captures) {
    SCOPED_TRACE(c.file);
    test::ModelCycle cycle(c.team, 1);
    const std::vector<std::string> lines =
        test::ReadFixtureLines(std::string("perception/") + c.file);
    Coverage coverage;
    int unum = 0;
    std::string side_word;
    for (size_t n = 0; n < lines.size() && !HasFailure(); ++n) {
      SCOPED_TRACE("message " + std::to_string(n + 1));
      cycle.Perceive(lines[n]);
      CheckBody(lines[n], store(), coverage);
      CheckGameState(lines[n], store(), unum, side_word);
      CheckHears(lines[n], store(), c.team, coverage);
      // Vision: the flag, and two ends for every line.
      EXPECT_EQ(store().HasNewSeeData(), lines[n].find("(See ") != std::string::npos);
      EXPECT_EQ(store().GetLines().size(), 2 * FindAll(lines[n], "(L ").size());
      coverage.line_ends += static_cast<int>(store().GetLines().size());
    }
    // Every kind of record was really exercised by the capture.
    EXPECT_EQ(unum, 1);
    EXPECT_GT(coverage.landed[FORCE_RESISTANCE_RIGHT], 0);
    EXPECT_GT(coverage.landed[FORCE_RESISTANCE_LEFT], 0);
    EXPECT_EQ(coverage.landed[FORCE_RESISTANCE_LEFT_TYPE4] > 0, c.toes);
    for (int kind = 0; kind < MAX_HEAR_MESSAGE_NUM; ++kind) {
      EXPECT_EQ(coverage.heard[kind] > 0, (c.hear_kinds & (1 << kind)) != 0) << kind;
    }
    EXPECT_GT(coverage.line_ends, 0);
  }
}

}  // namespace
}  // namespace zamp
