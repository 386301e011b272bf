#include <gtest/gtest.h>

#include <Eigen/Geometry>
#include <string>
#include <vector>

#include "core/Tool.h"
#include "model/FieldState.h"
#include "support/FieldTestAccess.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"

namespace zamp {
namespace test {
namespace {

const char* const kTeam = "Alpha";
const char* const kOtherTeam = "Beta";

// A sighting that names its index: no two entries of the list share it.
Polar PolarFor(int index) { return Polar{1.0 + 0.25 * index, index - 59.0, -0.125 * index}; }

Eigen::Vector3d ToVector(const Polar& p) {
  return Eigen::Vector3d(p.distance, p.horizontal, p.vertical);
}

// One entry of the 119-entry seen-object list.
struct Entry {
  int index;
  ObjectID kind;
  const char* left_name;   // landmark or ball name when playing on the left
  const char* right_name;  // the same when playing on the right
  int slot;                // player slot 0-21 of a visible part
  int part;                // VisiblePartID of a visible part
};

std::vector<Entry> AllEntries() {
  std::vector<Entry> entries = {
      {0, OBJ_FLAG, "F1R", "F2L", -1, -1}, {1, OBJ_FLAG, "F2R", "F1L", -1, -1},
      {2, OBJ_FLAG, "F1L", "F2R", -1, -1}, {3, OBJ_FLAG, "F2L", "F1R", -1, -1},
      {4, OBJ_FLAG, "G1R", "G2L", -1, -1}, {5, OBJ_FLAG, "G2R", "G1L", -1, -1},
      {6, OBJ_FLAG, "G1L", "G2R", -1, -1}, {7, OBJ_FLAG, "G2L", "G1R", -1, -1},
      {8, OBJ_BALL, "B", "B", -1, -1}};
  for (int slot = 0; slot < MAX_AGENT_NUM; ++slot) {
    for (int part = 0; part < VISIBLE_PART_NUM; ++part) {
      entries.push_back({9 + slot * VISIBLE_PART_NUM + part, OBJ_VISIBLE_PART, "", "", slot, part});
    }
  }
  return entries;
}

// Every landmark, the ball and all five parts of all 22 players, each at its own polar.
std::string SeeEverything(bool left_side) {
  PerceptionText text;
  text.Time(1.04).GameState(0.0, "PlayOn").See();
  for (const Entry& e : AllEntries()) {
    if (e.kind == OBJ_FLAG)
      text.Landmark(left_side ? e.left_name : e.right_name, PolarFor(e.index));
    if (e.kind == OBJ_BALL) text.Ball(PolarFor(e.index));
  }
  for (int slot = 0; slot < MAX_AGENT_NUM; ++slot) {
    std::vector<std::pair<int, Polar>> parts;
    for (int part = 0; part < VISIBLE_PART_NUM; ++part) {
      parts.push_back({part, PolarFor(9 + slot * VISIBLE_PART_NUM + part)});
    }
    const bool mate = slot < MAX_TEAM_AGENT_NUM;
    text.Player(mate ? kTeam : kOtherTeam, slot % MAX_TEAM_AGENT_NUM + 1, parts);
  }
  return text.Str();
}

TEST(FieldStateTest, PerceptionStoreAndFieldStateListTheSameObjectsIndexByIndex) {
  for (bool left_side : {true, false}) {
    ModelCycle cycle(kTeam, 1);
    cycle.Start(PerceptionText()
                    .Time(1.0)
                    .GameStateWithTeam(1, left_side ? "left" : "right", 0.0, "PlayOn")
                    .Str(),
                Eigen::Vector3d(-1.0, 0.0, 0.0));
    cycle.Step(PerceptionText().Time(1.02).GameState(0.0, "PlayOn").Str());
    cycle.Step(SeeEverything(left_side));

    const FieldState& field = cycle.field();
    const std::vector<FieldObject*>& objects = field.GetAllVisibleObjects();
    const std::vector<raw::VisibleObject*>& perceived = cycle.raw().GetAllVisibleObjects();
    ASSERT_EQ(objects.size(), 119u);
    ASSERT_EQ(perceived.size(), 119u);
    for (const Entry& e : AllEntries()) {
      SCOPED_TRACE("index " + std::to_string(e.index) + (left_side ? " left" : " right"));
      const Eigen::Vector3d expected = ToVector(PolarFor(e.index));
      EXPECT_TRUE(perceived[e.index]->visible);
      EXPECT_EQ(perceived[e.index]->polar_coord, expected);
      EXPECT_TRUE(objects[e.index]->IsVisible());
      EXPECT_EQ(objects[e.index]->GetPolarCoordinates(), expected);
      EXPECT_EQ(objects[e.index]->GetObjectID(), e.kind);
      if (e.kind == OBJ_FLAG) {
        EXPECT_EQ(objects[e.index], &field.GetFlag(FlagID(e.index)));
      }
      if (e.kind == OBJ_BALL) {
        EXPECT_EQ(objects[e.index], &field.GetBall());
      }
      if (e.kind == OBJ_VISIBLE_PART) {
        const VisiblePart& part = field.GetAllPlayer(e.slot).GetVisiblePart(VisiblePartID(e.part));
        EXPECT_EQ(objects[e.index], &part);
        EXPECT_EQ(part.GetParentID(), e.slot);
      }
    }
  }
}

TEST(FieldStateTest, PlayersAreTeamMatesFirstThenOpponents) {
  ModelCycle cycle(kTeam, 1);
  const FieldState& field = cycle.field();
  EXPECT_EQ(&field.GetEnemyPlayer(0), &field.GetAllPlayer(11));
  EXPECT_EQ(&field.GetFriendPlayer(10), &field.GetAllPlayer(10));
  for (int i = 0; i < MAX_AGENT_NUM; ++i) {
    EXPECT_EQ(field.GetAllPlayer(i).GetObjectID(), i < 11 ? OBJ_FRIEND_AGENT : OBJ_ENEMY_AGENT);
    EXPECT_FALSE(field.GetAllPlayer(i).IsFall());
  }
  // Entry 9 is the head of team mate 1, entry 64 (9 + 11 * 5) the head of opponent 1.
  EXPECT_EQ(field.GetAllVisibleObjects()[9],
            &field.GetFriendPlayer(0).GetVisiblePart(VISIBLE_PART_HEAD));
  EXPECT_EQ(field.GetAllVisibleObjects()[64],
            &field.GetEnemyPlayer(0).GetVisiblePart(VISIBLE_PART_HEAD));
}

TEST(FieldStateTest, FlagPairsPointAlongTheirFieldAxes) {
  ModelCycle cycle(kTeam, 1);
  const FieldState& field = cycle.field();
  const auto difference = [](const FieldState::FlagPair& pair) {
    return Eigen::Vector3d(pair.second->GetFixedCoordinates() - pair.first->GetFixedCoordinates());
  };
  const auto along = [](const Eigen::Vector3d& v, const Eigen::Vector3d& axis) {
    return v.normalized().isApprox(axis, 1e-12);
  };

  ASSERT_EQ(FieldTestAccess::ForwardPairs(field).size(), 4u);
  for (const FieldState::FlagPair& pair : FieldTestAccess::ForwardPairs(field)) {
    EXPECT_TRUE(along(difference(pair), Eigen::Vector3d::UnitY())) << difference(pair).transpose();
  }
  ASSERT_EQ(FieldTestAccess::RightPairs(field).size(), 4u);
  for (const FieldState::FlagPair& pair : FieldTestAccess::RightPairs(field)) {
    EXPECT_TRUE(along(difference(pair), Eigen::Vector3d::UnitX())) << difference(pair).transpose();
  }
  ASSERT_EQ(FieldTestAccess::RightProductPairs(field).size(), 8u);
  for (const auto& pairs : FieldTestAccess::RightProductPairs(field)) {
    const Eigen::Vector3d cross = difference(pairs.first).cross(difference(pairs.second));
    EXPECT_TRUE(along(cross, Eigen::Vector3d::UnitX())) << cross.transpose();
  }
  // The first pairs are the ones a single fixed pair per axis uses.
  EXPECT_EQ(FieldTestAccess::ForwardPairs(field)[0].first, &field.GetFlag(FLAG_FIELD_ENEMY_RIGHT));
  EXPECT_EQ(FieldTestAccess::ForwardPairs(field)[0].second, &field.GetFlag(FLAG_FIELD_ENEMY_LEFT));
  EXPECT_EQ(FieldTestAccess::RightPairs(field)[0].first, &field.GetFlag(FLAG_FIELD_US_LEFT));
  EXPECT_EQ(FieldTestAccess::RightPairs(field)[0].second, &field.GetFlag(FLAG_FIELD_ENEMY_LEFT));
}

TEST(FieldStateTest, ResetGrobalRotationFacesTheTorsoTowardsTheBeamDirection) {
  struct Case {
    double beam_direction;  // degrees
    double heading;         // degrees, expected
  };
  const Case cases[] = {{0.0, 0.0},     {45.0, 45.0},     {90.0, 90.0},
                        {180.0, 180.0}, {-135.0, -135.0}, {270.0, -90.0}};
  for (const Case& c : cases) {
    ModelCycle cycle(kTeam, 1);
    cycle.agent().SettingBeam(Eigen::Vector3d(-3.0, 1.0, c.beam_direction));
    cycle.field().ResetGrobalRotation();
    const Eigen::Affine3d& rotation = cycle.field().GetGlobalRotation();
    const double radians = c.beam_direction * 3.141592653589793 / 180.0;
    EXPECT_TRUE((rotation.linear() * Eigen::Vector3d::UnitY())
                    .isApprox(Eigen::Vector3d(std::cos(radians), std::sin(radians), 0.0), 1e-12))
        << c.beam_direction;
    EXPECT_TRUE(rotation.translation().isZero(0.0));
    EXPECT_NEAR(std::abs(Tool::LimitDegree180(
                    Tool::RotationMatrixToEulerDegree(rotation.matrix()).z() - c.heading)),
                0.0, 1e-9)
        << c.beam_direction;
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
