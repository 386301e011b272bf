#include <gtest/gtest.h>

#include <Eigen/Geometry>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/Tool.h"
#include "model/KalmanFieldState.h"
#include "support/Fixtures.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"
#include "support/SyntheticScene.h"

namespace zamp {
namespace test {
namespace {

const char* const kTeam = "Alpha";

double HeadingError(double estimate, double truth) {
  return std::abs(Tool::LimitDegree180(estimate - truth));
}

// Every estimate the field model and the play information publish.
bool AllEstimatesFinite(const ModelCycle& cycle) {
  const AgentState& agent = cycle.agent();
  const FieldState& field = cycle.field();
  const StrategyInformation& info = cycle.info();
  bool finite = agent.GetRotation().allFinite() && agent.GetCoordinates().allFinite() &&
                agent.GetSpeed().allFinite() && agent.GetCovarianceError().allFinite() &&
                field.GetGlobalRotation().matrix().allFinite();
  for (const FieldObject* object : field.GetAllVisibleObjects()) {
    finite = finite && object->GetRelativeCoordinates().allFinite() &&
             object->GetMeasureCovarianceError().allFinite() &&
             std::isfinite(object->GetFootDistance());
  }
  const auto dynamic_finite = [](const DynamicFieldObject& object) {
    return object.GetAbsoluteCoordinates().allFinite() && object.GetSpeed().allFinite() &&
           object.GetCovarianceError().allFinite();
  };
  finite = finite && dynamic_finite(field.GetBall());
  for (int i = 0; i < MAX_AGENT_NUM; ++i) {
    const OtherPlayer& player = field.GetAllPlayer(i);
    finite = finite && dynamic_finite(player);
    for (int k = 0; k < VISIBLE_PART_NUM; ++k) {
      finite = finite && dynamic_finite(player.GetVisiblePart(VisiblePartID(k)));
    }
  }
  return finite && info.GetKickTargetCoord().allFinite() &&
         std::isfinite(info.GetMeAndBallDegree()) && std::isfinite(info.GetBallDirectionDiff()) &&
         std::isfinite(info.GetBallNearestEnemyDistance());
}

// A scene with a known truth: the agent's torso at (-3, 2, 0.4) facing 30 degrees, the
// ball at rest at (1, -1), opponent 3 standing at (2, 1) facing the agent.
class SyntheticSceneTest : public ::testing::Test {
 protected:
  const Eigen::Vector3d kTorso{-3.0, 2.0, 0.4};
  const double kHeading = 30.0;
  const Eigen::Vector3d kBall{1.0, -1.0, 0.04};
  const Eigen::Vector3d kEnemyHead{2.0, 1.0, 0.5};

  SyntheticSceneTest() : cycle_(kTeam, 1) {}

  // The start-up step, beamed 8 degrees off the true heading as beam noise would.
  void StartBeforeKickOff() {
    cycle_.Start(
        PerceptionText().Time(0.0).GameStateWithTeam(1, "left", 0.0, "BeforeKickOff").Str(),
        Eigen::Vector3d(kTorso.x(), kTorso.y(), kHeading - 8.0));
  }

  std::string Message(double time, bool with_vision,
                      const std::string& play_mode = "BeforeKickOff") {
    PerceptionText text;
    text.Time(time).GameState(0.0, play_mode);
    if (!with_vision) return text.Str();
    const SyntheticScene scene(kTorso, kHeading,
                               cycle_.agent().GetBodyPart(BP_HEAD).global_transform);
    text.See();
    scene.AddLandmarks(text, true);
    text.Ball(scene.See(kBall));
    text.Player(
        "Beta", 3,
        {{VISIBLE_PART_HEAD, scene.See(kEnemyHead)},
         {VISIBLE_PART_RIGHT_FOOT, scene.See(kEnemyHead + Eigen::Vector3d(0.0, 0.05, -0.45))},
         {VISIBLE_PART_LEFT_FOOT, scene.See(kEnemyHead + Eigen::Vector3d(0.0, -0.05, -0.45))}});
    return text.Str();
  }

  // Cycles of 0.02 s from the given time, vision every third.
  double RunCycles(double time, int cycles) {
    for (int i = 0; i < cycles; ++i) {
      time += UPDATE_INTERVAL_TIME;
      cycle_.Step(Message(time, i % 3 == 0));
    }
    return time;
  }

  ModelCycle cycle_;
};

TEST_F(SyntheticSceneTest, ConvergesToTheTruePoseBallAndOpponent) {
  StartBeforeKickOff();
  RunCycles(0.0, 600);

  EXPECT_NEAR(cycle_.agent().GetCoordinates().x(), kTorso.x(), 0.01);
  EXPECT_NEAR(cycle_.agent().GetCoordinates().y(), kTorso.y(), 0.01);
  EXPECT_NEAR(cycle_.agent().GetCoordinates().z(), kTorso.z(), 0.01);
  EXPECT_LT(HeadingError(cycle_.agent().GetDirection(), kHeading), 0.1);
  EXPECT_LT(cycle_.agent().GetRotation().head<2>().norm(), 0.1);
  EXPECT_LT((cycle_.field().GetBall().GetAbsoluteCoordinates() - kBall).norm(), 0.02);
  // Before kick-off the ball is measured at rest.
  EXPECT_LT(cycle_.field().GetBall().GetSpeed().norm(), 0.01);
  const OtherPlayer& enemy = cycle_.field().GetEnemyPlayer(2);
  EXPECT_TRUE(enemy.IsVisible());
  EXPECT_LT((enemy.GetAbsoluteCoordinates() - kEnemyHead).norm(), 0.02);
  EXPECT_FALSE(enemy.IsFall());
  EXPECT_EQ(cycle_.info().GetCountEnemyVisible(), 1);
  EXPECT_TRUE(AllEstimatesFinite(cycle_));
}

TEST_F(SyntheticSceneTest, ThePullTowardsTheMeasuredHeadingIsFivePercentPerVisionCycle) {
  StartBeforeKickOff();
  // The eleven beam cycles hold the heading at the beam direction.
  double time = RunCycles(0.0, 11);
  ASSERT_LT(HeadingError(cycle_.agent().GetDirection(), kHeading - 8.0), 1e-9);
  // Outside the beam phase one vision cycle removes 5 % of the 8 degree error.
  time += UPDATE_INTERVAL_TIME;
  cycle_.Step(Message(time, true, "PlayOn"));
  EXPECT_NEAR(cycle_.agent().GetDirection(), kHeading - 8.0 * 0.95, 1e-6);
  EXPECT_DOUBLE_EQ(cycle_.field().GetObserveGlobalRotationUpdateTime(), time);
}

TEST_F(SyntheticSceneTest, CyclesWithoutVisionOnlyPredict) {
  StartBeforeKickOff();
  const double time = RunCycles(0.0, 90) + UPDATE_INTERVAL_TIME;
  const AgentState& agent = cycle_.agent();
  const FieldState& field = cycle_.field();
  const Eigen::Vector3d position = agent.GetCoordinates();
  const Eigen::Vector3d speed = agent.GetSpeed();
  const Eigen::MatrixXd covariance = agent.GetCovarianceError();
  const double heading = agent.GetDirection();
  const double rotation_time = field.GetObserveGlobalRotationUpdateTime();
  const Eigen::Vector3d ball = field.GetBall().GetAbsoluteCoordinates();
  const Eigen::Vector3d ball_speed = field.GetBall().GetSpeed();
  const Eigen::Vector3d enemy = field.GetEnemyPlayer(2).GetAbsoluteCoordinates();
  const double flag_time = field.GetFlag(FLAG_FIELD_US_LEFT).GetUpdateTime();

  cycle_.Step(Message(time, false, "PlayOn"));

  // Constant velocity over 0.02 s, covariance F P F^T + 0.0001 I.
  EXPECT_TRUE(agent.GetCoordinates().isApprox(position + 0.02 * speed, 1e-12));
  EXPECT_TRUE(agent.GetSpeed().isApprox(speed, 1e-12));
  Eigen::MatrixXd F = Eigen::MatrixXd::Identity(6, 6);
  for (int i = 0; i < 3; ++i) F(i, i + 3) = 0.02;
  const Eigen::MatrixXd expected =
      F * covariance * F.transpose() + 0.0001 * Eigen::MatrixXd::Identity(6, 6);
  EXPECT_TRUE(agent.GetCovarianceError().isApprox(expected, 1e-12));
  // No gyroscope rate: the heading stays, and no orientation was measured.
  EXPECT_NEAR(agent.GetDirection(), heading, 1e-12);
  EXPECT_EQ(field.GetObserveGlobalRotationUpdateTime(), rotation_time);
  // The ball coasts with drag: a = -0.01 v / 0.026.
  const Eigen::Vector3d drag = ball_speed * (-0.01 / 0.026);
  EXPECT_TRUE(field.GetBall().GetAbsoluteCoordinates().isApprox(
      ball + 0.02 * ball_speed + 0.0002 * drag, 1e-12));
  // Players are only followed on vision cycles.
  EXPECT_EQ(field.GetEnemyPlayer(2).GetAbsoluteCoordinates(), enemy);
  EXPECT_EQ(field.GetFlag(FLAG_FIELD_US_LEFT).GetUpdateTime(), flag_time);
}

TEST_F(SyntheticSceneTest, RepeatedServerTimeAndFirstSightingAtTimeZeroStayFinite) {
  StartBeforeKickOff();
  // The first vision comes at server time 0: every object's interval since its last
  // sighting is 0, so only positions are measured.
  cycle_.Step(Message(0.0, true));
  EXPECT_TRUE(AllEstimatesFinite(cycle_));
  EXPECT_GT(cycle_.agent().GetCoordinates().head<2>().norm(), 0.0);
  RunCycles(0.0, 300);
  // The same message twice: the second has the same server time.
  cycle_.Step(Message(6.0, true, "PlayOn"));
  cycle_.Step(Message(6.0, true, "PlayOn"));
  EXPECT_TRUE(AllEstimatesFinite(cycle_));
  EXPECT_EQ(cycle_.field().GetBall().GetUpdateDiffTime(), 0.0);
  EXPECT_NEAR(cycle_.agent().GetCoordinates().x(), kTorso.x(), 0.05);
  EXPECT_NEAR(cycle_.agent().GetCoordinates().y(), kTorso.y(), 0.05);
}

TEST_F(SyntheticSceneTest, OpponentWhoseFeetLieAwayFromItsHeadHasFallen) {
  StartBeforeKickOff();
  double time = RunCycles(0.0, 3);
  const SyntheticScene scene(kTorso, kHeading,
                             cycle_.agent().GetBodyPart(BP_HEAD).global_transform);
  const Eigen::Vector3d head(2.0, 1.0, 0.1);
  for (int i = 0; i < 30; ++i) {
    time += UPDATE_INTERVAL_TIME;
    PerceptionText text;
    text.Time(time).GameState(0.0, "BeforeKickOff").See();
    scene.AddLandmarks(text, true);
    text.Player("Beta", 3,
                {{VISIBLE_PART_HEAD, scene.See(head)},
                 {VISIBLE_PART_LEFT_FOOT, scene.See(head + Eigen::Vector3d(0.4, 0, 0))}});
    cycle_.Step(text.Str());
  }
  EXPECT_TRUE(cycle_.field().GetEnemyPlayer(2).IsFall());
  // A player seen without its head cannot be judged.
  time += UPDATE_INTERVAL_TIME;
  PerceptionText text;
  text.Time(time).GameState(0.0, "BeforeKickOff").See();
  scene.AddLandmarks(text, true);
  text.Player("Beta", 3, {{VISIBLE_PART_LEFT_FOOT, scene.See(head + Eigen::Vector3d(0.4, 0, 0))}});
  cycle_.Step(text.Str());
  EXPECT_TRUE(cycle_.field().GetEnemyPlayer(2).IsVisible());
  EXPECT_FALSE(cycle_.field().GetEnemyPlayer(2).IsFall());
}

TEST(KalmanFieldStateTest, LineEndsAtAFlagAreAveragedIntoItsSighting) {
  ModelCycle cycle(kTeam, 1);
  cycle.Start(PerceptionText().Time(0.0).GameStateWithTeam(1, "left", 0.0, "PlayOn").Str(),
              Eigen::Vector3d(-1.0, 0.0, 0.0));
  // One line ends 0.09 m from the flag, the other far away.
  PerceptionText text;
  text.Time(0.02).GameState(0.0, "PlayOn").See();
  text.Landmark("F1R", {10.0, 20.0, -5.0});
  text.Line({10.1, 20.5, -5.0}, {5.0, 0.0, -10.0});
  cycle.Step(text.Str());

  const Flag& flag = cycle.field().GetFlag(FLAG_FIELD_ENEMY_LEFT);
  const Eigen::Affine3d& head = cycle.agent().GetBodyPart(BP_HEAD).global_transform;
  EXPECT_EQ(flag.GetPolarCoordinates(), Eigen::Vector3d(10.0, 20.0, -5.0));
  EXPECT_TRUE(flag.GetRelativeCoordinates().isApprox(
      head * Tool::PolarToCartesian(Eigen::Vector3d(10.05, 20.25, -5.0)), 1e-12));
  EXPECT_NEAR(flag.GetHorizonDegree(), 20.25, 1e-12);
}

TEST(KalmanFieldStateTest, GyroscopeIntegratesTheHeadingByTrapezoids) {
  struct Step {
    double rate;     // degrees/s about z this cycle
    double heading;  // degrees, expected afterwards
  };
  // 90 after 0 turns 0.9; 90 after 90 turns 1.8; -90 after 90 crosses zero half way and
  // turns 0.
  const Step steps[] = {{0.0, 0.0}, {90.0, 0.9}, {90.0, 2.7}, {-90.0, 2.7}, {-90.0, 0.9}};
  ModelCycle cycle(kTeam, 1);
  cycle.Start(PerceptionText().Time(0.0).GameStateWithTeam(1, "left", 0.0, "PlayOn").Str(),
              Eigen::Vector3d(-1.0, 0.0, 0.0));
  double time = 0.0;
  for (const Step& step : steps) {
    time += UPDATE_INTERVAL_TIME;
    cycle.Step(PerceptionText()
                   .Time(time)
                   .GameState(0.0, "PlayOn")
                   .Gyro(Eigen::Vector3d(0.0, 0.0, step.rate))
                   .Str());
    EXPECT_NEAR(cycle.agent().GetDirection(), step.heading, 1e-9) << "rate " << step.rate;
  }
}

// --- Real captures -------------------------------------------------------------------

struct Capture {
  const char* file;
  const char* team;
  Eigen::Vector3d beam;  // (x m, y m, direction degrees) in the own team frame
};

const Capture kCaptures[] = {
    {"perception/before_kickoff_type0.txt", "Alpha", {-1.0, 0.0, 0.0}},
    {"perception/three_players_left_unum1.txt", "Alpha", {-2.0, 0.0, 0.0}},
    {"perception/three_players_right_unum1.txt", "Beta", {-2.0, 0.5, 0.0}},
    {"perception/toes_type4.txt", "Alpha", {-3.0, 0.0, 0.0}},
    {"perception/ground_truth_sync_type0.txt", "Alpha", {-3.0, 1.0, 45.0}},
};

// The own estimate starts at the field centre with zero covariance and needs about two
// seconds of vision to settle at the beam pose, s.
const double kSettleTime = 2.0;

// Replays a capture as the agent would: the first message before the beam, then one cycle
// per message. visit(cycle, index) runs after every cycle.
template <typename Visit>
void Replay(const Capture& capture, ModelCycle::FieldModel model, Visit visit) {
  const std::vector<std::string> messages = ReadFixtureLines(capture.file);
  ASSERT_GT(messages.size(), 100u) << capture.file;
  ModelCycle cycle(capture.team, 1, model);
  cycle.Start(messages[0], capture.beam);
  for (size_t i = 1; i < messages.size(); ++i) {
    cycle.Step(messages[i]);
    visit(cycle, i);
  }
}

TEST(KalmanFieldStateTest, EveryEstimateStaysFiniteOnEveryMessageOfEveryCapture) {
  for (const Capture& capture : kCaptures) {
    for (ModelCycle::FieldModel model : {ModelCycle::KALMAN, ModelCycle::SIMPLE}) {
      int failures = 0;
      Replay(capture, model, [&](const ModelCycle& cycle, size_t i) {
        if (!AllEstimatesFinite(cycle) && failures++ == 0) {
          ADD_FAILURE() << capture.file << " message " << i << " model " << model;
        }
      });
    }
  }
}

// Largest horizontal distance (m) and heading difference (degrees) from the beam pose over
// the vision cycles from `settle` seconds after the first vision on.
struct Worst {
  double distance = 0.0;
  double heading = 0.0;
};

Worst WorstAfter(const Capture& capture, double settle) {
  Worst worst;
  double first_vision = -1.0;
  Replay(capture, ModelCycle::KALMAN, [&](const ModelCycle& cycle, size_t) {
    if (!cycle.raw().HasNewSeeData()) return;
    const double time = cycle.world().GetServerTime();
    if (first_vision < 0.0) first_vision = time;
    if (time - first_vision < settle) return;
    const Eigen::Vector3d& position = cycle.agent().GetCoordinates();
    worst.distance = std::max(worst.distance, std::hypot(position.x() - capture.beam.x(),
                                                         position.y() - capture.beam.y()));
    worst.heading =
        std::max(worst.heading, HeadingError(cycle.agent().GetDirection(), capture.beam.z()));
  });
  return worst;
}

TEST(KalmanFieldStateTest, ThreePlayerCapturesLocaliseNearTheBeamPose) {
  // The server adds up to 0.05 m and 10 degrees of noise to a beam.
  for (const Capture& capture : {kCaptures[1], kCaptures[2]}) {
    const Worst worst = WorstAfter(capture, kSettleTime);
    EXPECT_LT(worst.distance, 0.5) << capture.file;
    EXPECT_LT(worst.heading, 15.0) << capture.file;
  }
}

TEST(KalmanFieldStateTest, GroundTruthCaptureIsTrackedWithinBounds) {
  const Capture& capture = kCaptures[4];
  double first = -1.0;
  double worst_distance = 0.0;    // m, from 1 s on
  double settled_distance = 0.0;  // m, from 2 s on
  double worst_heading = 0.0;     // degrees, from 1 s on
  Replay(capture, ModelCycle::KALMAN, [&](const ModelCycle& cycle, size_t) {
    const double time = cycle.world().GetServerTime();
    if (first < 0.0) first = time;
    if (!cycle.raw().HasNewSeeData() || time - first < 1.0) return;
    // The server reports the head's position; the estimate is the torso's.
    const AgentState& agent = cycle.agent();
    const Eigen::Vector3d head =
        agent.GetCoordinates() +
        cycle.field().GetGlobalRotation().linear() * agent.GetBodyPart(BP_HEAD).global_coord;
    const raw::HiddenData& truth = cycle.raw().GetHiddenData();
    const double distance = std::hypot(head.x() - truth.my_pos.x(), head.y() - truth.my_pos.y());
    worst_distance = std::max(worst_distance, distance);
    if (time - first >= 2.0) settled_distance = std::max(settled_distance, distance);
    worst_heading = std::max(worst_heading, HeadingError(agent.GetDirection(), truth.my_orien));
  });
  // The filter starts at the field centre with zero covariance; its first approach to the
  // true position overshoots by up to 0.33 m around 1.4 s and is within 0.3 m from 2 s on.
  EXPECT_LT(worst_distance, 0.33);
  EXPECT_LT(settled_distance, 0.3);
  EXPECT_LT(worst_heading, 10.0);
}

TEST(KalmanFieldStateTest, SeenPlayersArePlacedWhereTheyWereBeamed) {
  struct Seen {
    const Capture& capture;
    int slot;                // 0-10 team mates, 11-21 opponents
    Eigen::Vector2d beamed;  // m, in the capture's own team frame
  };
  // Alpha 1 at (-2, 0) and Alpha 2 at (-4, 1) in Alpha's frame; Beta 1 at (-2, 0.5) in
  // Beta's frame. Each team's frame is the other's turned half a turn.
  const Seen seen[] = {
      {kCaptures[1], 11, {2.0, -0.5}},  // Beta 1 seen by Alpha 1
      {kCaptures[2], 11, {2.0, 0.0}},   // Alpha 1 seen by Beta 1
      {kCaptures[2], 12, {4.0, -1.0}},  // Alpha 2 seen by Beta 1
  };
  for (const Seen& s : seen) {
    // Worst distance over the vision cycles that saw the player once the agent's own
    // estimate had settled (2 s after the first vision).
    double first_vision = -1.0;
    double worst = 0.0;
    int sightings = 0;
    Replay(s.capture, ModelCycle::KALMAN, [&](const ModelCycle& cycle, size_t) {
      if (!cycle.raw().HasNewSeeData()) return;
      const double time = cycle.world().GetServerTime();
      if (first_vision < 0.0) first_vision = time;
      const OtherPlayer& player = cycle.field().GetAllPlayer(s.slot);
      if (!player.IsVisible() || time - first_vision < kSettleTime) return;
      ++sightings;
      worst = std::max(worst, (player.GetAbsoluteCoordinates().head<2>() - s.beamed).norm());
    });
    EXPECT_GT(sightings, 10) << s.capture.file << " slot " << s.slot;
    EXPECT_LT(worst, 0.5) << s.capture.file << " slot " << s.slot;
  }
}

}  // namespace
}  // namespace test
}  // namespace zamp
