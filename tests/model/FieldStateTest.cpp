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

// A sighting that names its index: no two entries of the list share it.
Polar PolarFor(int index) { return Polar{1.0 + 0.25 * index, index - 59.0, -0.125 * index}; }

TEST(FieldStateTest, PerceptionStoreAndFieldStateListTheSameObjectsIndexByIndex) {
  // Landmark and ball names of entries 0 to 8, playing on the left and on the right.
  const char* const names[2][9] = {{"F1R", "F2R", "F1L", "F2L", "G1R", "G2R", "G1L", "G2L", "B"},
                                   {"F2L", "F1L", "F2R", "F1R", "G2L", "G1L", "G2R", "G1R", "B"}};
  for (bool left_side : {true, false}) {
    SCOPED_TRACE(left_side ? "left" : "right");
    ModelCycle cycle("Alpha", 1);
    cycle.Start(
        PerceptionText().GameStateWithTeam(1, left_side ? "left" : "right", 0, "PlayOn").Str(),
        Eigen::Vector3d(-1.0, 0.0, 0.0));
    // Every landmark, the ball and all five parts of all 22 players, each at its own polar.
    PerceptionText text;
    text.Time(1.04).GameState(0.0, "PlayOn").See();
    for (int i = 0; i < FLAG_NUM; ++i) text.Landmark(names[!left_side][i], PolarFor(i));
    text.Ball(PolarFor(8));
    for (int slot = 0; slot < MAX_AGENT_NUM; ++slot) {
      std::vector<std::pair<int, Polar>> parts;
      for (int part = 0; part < VISIBLE_PART_NUM; ++part) {
        parts.push_back({part, PolarFor(9 + slot * VISIBLE_PART_NUM + part)});
      }
      text.Player(slot < MAX_TEAM_AGENT_NUM ? "Alpha" : "Beta", slot % MAX_TEAM_AGENT_NUM + 1,
                  parts);
    }
    cycle.Step(text.Str());

    const FieldState& field = cycle.field();
    const std::vector<FieldObject*>& objects = field.GetAllVisibleObjects();
    const std::vector<raw::VisibleObject*>& perceived = cycle.raw().GetAllVisibleObjects();
    ASSERT_EQ(objects.size(), 119u);
    ASSERT_EQ(perceived.size(), 119u);
    for (int i = 0; i < 119; ++i) {
      SCOPED_TRACE("index " + std::to_string(i));
      const Polar p = PolarFor(i);
      const Eigen::Vector3d expected(p.distance, p.horizontal, p.vertical);
      EXPECT_TRUE(perceived[i]->visible);
      EXPECT_EQ(perceived[i]->polar_coord, expected);
      EXPECT_TRUE(objects[i]->IsVisible());
      EXPECT_EQ(objects[i]->GetPolarCoordinates(), expected);
      if (i < FLAG_NUM) {
        EXPECT_EQ(objects[i], &field.GetFlag(FlagID(i)));
        EXPECT_EQ(objects[i]->GetObjectID(), OBJ_FLAG);
      } else if (i == FLAG_NUM) {
        EXPECT_EQ(objects[i], &field.GetBall());
      } else {
        const int slot = (i - 9) / VISIBLE_PART_NUM;
        const OtherPlayer& player = field.GetAllPlayer(slot);
        EXPECT_EQ(objects[i], &player.GetVisiblePart(VisiblePartID((i - 9) % VISIBLE_PART_NUM)));
        EXPECT_EQ(player.GetObjectID(), slot < 11 ? OBJ_FRIEND_AGENT : OBJ_ENEMY_AGENT);
        EXPECT_EQ(&player,
                  slot < 11 ? &field.GetFriendPlayer(slot) : &field.GetEnemyPlayer(slot - 11));
      }
    }
  }
}

TEST(FieldStateTest, FlagPairsPointAlongTheirFieldAxes) {
  ModelCycle cycle("Alpha", 1);
  const FieldState& field = cycle.field();
  const auto difference = [](const FieldState::FlagPair& pair) {
    return Eigen::Vector3d(pair.second->GetFixedCoordinates() - pair.first->GetFixedCoordinates());
  };
  const auto along = [](const Eigen::Vector3d& v, const Eigen::Vector3d& axis) {
    return v.normalized().isApprox(axis, 1e-12);
  };
  ASSERT_EQ(FieldTestAccess::ForwardPairs(field).size(), 4u);
  for (const auto& pair : FieldTestAccess::ForwardPairs(field)) {
    EXPECT_TRUE(along(difference(pair), Eigen::Vector3d::UnitY()));
  }
  ASSERT_EQ(FieldTestAccess::RightPairs(field).size(), 4u);
  for (const auto& pair : FieldTestAccess::RightPairs(field)) {
    EXPECT_TRUE(along(difference(pair), Eigen::Vector3d::UnitX()));
  }
  ASSERT_EQ(FieldTestAccess::RightProductPairs(field).size(), 8u);
  for (const auto& pairs : FieldTestAccess::RightProductPairs(field)) {
    EXPECT_TRUE(
        along(difference(pairs.first).cross(difference(pairs.second)), Eigen::Vector3d::UnitX()));
  }
  // The first pairs are the ones a single fixed pair per axis uses.
  EXPECT_EQ(FieldTestAccess::ForwardPairs(field)[0].first, &field.GetFlag(FLAG_FIELD_ENEMY_RIGHT));
  EXPECT_EQ(FieldTestAccess::RightPairs(field)[0].first, &field.GetFlag(FLAG_FIELD_US_LEFT));
}

TEST(FieldStateTest, ResetGrobalRotationFacesTheTorsoTowardsTheBeamDirection) {
  const struct {
    double beam_direction;  // degrees
    double heading;         // degrees, expected
  } cases[] = {{0.0, 0.0}, {90.0, 90.0}, {-135.0, -135.0}, {270.0, -90.0}};
  for (const auto& c : cases) {
    ModelCycle cycle("Alpha", 1);
    cycle.agent().SettingBeam(Eigen::Vector3d(-3.0, 1.0, c.beam_direction));
    cycle.field().ResetGrobalRotation();
    const Eigen::Affine3d& rotation = cycle.field().GetGlobalRotation();
    const double radians = c.beam_direction * 3.141592653589793 / 180.0;
    EXPECT_TRUE((rotation.linear() * Eigen::Vector3d::UnitY())
                    .isApprox(Eigen::Vector3d(std::cos(radians), std::sin(radians), 0.0), 1e-12))
        << c.beam_direction;
    EXPECT_TRUE(rotation.translation().isZero(0.0));
    EXPECT_NEAR(
        Tool::LimitDegree180(Tool::RotationMatrixToEulerDegree(rotation.matrix()).z() - c.heading),
        0.0, 1e-9)
        << c.beam_direction;
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
