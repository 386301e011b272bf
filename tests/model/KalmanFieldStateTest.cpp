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

double HeadingError(double estimate, double truth) {
  return std::abs(Tool::LimitDegree180(estimate - truth));
}

// A scene with a known truth: the agent's torso at (-3, 2, 0.4) facing 30 degrees, the
// ball at rest at (1, -1), opponent 3 standing at (2, 1) facing the agent.
class SyntheticSceneTest : public ::testing::Test {
 protected:
  const Eigen::Vector3d kTorso{-3.0, 2.0, 0.4};
  const double kHeading = 30.0;
  const Eigen::Vector3d kBall{1.0, -1.0, 0.04};
  const Eigen::Vector3d kEnemyHead{2.0, 1.0, 0.5};

  // The start-up step, beamed 8 degrees off the true heading as beam noise would.
  SyntheticSceneTest() : cycle_("Alpha", 1) {
    cycle_.Start(
        PerceptionText().Time(0.0).GameStateWithTeam(1, "left", 0.0, "BeforeKickOff").Str(),
        Eigen::Vector3d(kTorso.x(), kTorso.y(), kHeading - 8.0));
  }

  // feet: where the opponent's feet are seen, relative to its head (none: not seen).
  std::string Message(double time, bool with_vision, const std::string& play_mode,
                      const std::vector<Eigen::Vector3d>& feet = {{0.0, 0.05, -0.45},
                                                                  {0.0, -0.05, -0.45}},
                      bool with_head = true) {
    PerceptionText text;
    text.Time(time).GameState(0.0, play_mode);
    if (!with_vision) return text.Str();
    const SyntheticScene scene(kTorso, kHeading,
                               cycle_.agent().GetBodyPart(BP_HEAD).global_transform);
    text.See();
    scene.AddLandmarks(text, true);
    text.Ball(scene.See(kBall));
    std::vector<std::pair<int, Polar>> parts;
    if (with_head) parts.push_back({VISIBLE_PART_HEAD, scene.See(kEnemyHead)});
    for (size_t i = 0; i < feet.size(); ++i) {
      parts.push_back({VISIBLE_PART_RIGHT_FOOT + int(i), scene.See(kEnemyHead + feet[i])});
    }
    text.Player("Beta", 3, parts);
    return text.Str();
  }

  // Cycles of 0.02 s from the given time, vision every third.
  double RunCycles(double time, int cycles) {
    for (int i = 0; i < cycles; ++i) {
      time += UPDATE_INTERVAL_TIME;
      cycle_.Step(Message(time, i % 3 == 0, "BeforeKickOff"));
    }
    return time;
  }

  ModelCycle cycle_;
};

TEST_F(SyntheticSceneTest, ConvergesToTheTruePoseBallAndOpponent) {
  RunCycles(0.0, 600);
  EXPECT_TRUE(cycle_.agent().GetCoordinates().isApprox(kTorso, 0.01));
  EXPECT_LT(HeadingError(cycle_.agent().GetDirection(), kHeading), 0.1);
  EXPECT_LT(cycle_.agent().GetRotation().head<2>().norm(), 0.1);
  EXPECT_LT((cycle_.field().GetBall().GetAbsoluteCoordinates() - kBall).norm(), 0.02);
  // Before kick-off the ball is measured at rest.
  EXPECT_LT(cycle_.field().GetBall().GetSpeed().norm(), 0.01);
  const OtherPlayer& enemy = cycle_.field().GetEnemyPlayer(2);
  EXPECT_LT((enemy.GetAbsoluteCoordinates() - kEnemyHead).norm(), 0.02);
  EXPECT_FALSE(enemy.IsFall());
  EXPECT_EQ(cycle_.info().GetCountEnemyVisible(), 1);
  EXPECT_TRUE(cycle_.AllFinite());
}

TEST_F(SyntheticSceneTest, ThePullTowardsTheMeasuredHeadingIsFivePercentPerVisionCycle) {
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
  const double time = RunCycles(0.0, 90) + UPDATE_INTERVAL_TIME;
  const AgentState& agent = cycle_.agent();
  const FieldState& field = cycle_.field();
  const Eigen::Vector3d position = agent.GetCoordinates();
  const Eigen::Vector3d speed = agent.GetSpeed();
  const Eigen::MatrixXd covariance = agent.GetCovarianceError();
  const double heading = agent.GetDirection();
  const Eigen::Vector3d ball = field.GetBall().GetAbsoluteCoordinates();
  const Eigen::Vector3d ball_speed = field.GetBall().GetSpeed();
  const Eigen::Vector3d enemy = field.GetEnemyPlayer(2).GetAbsoluteCoordinates();

  cycle_.Step(Message(time, false, "PlayOn"));

  // Constant velocity over 0.02 s, covariance F P F^T + 0.0001 I.
  EXPECT_TRUE(agent.GetCoordinates().isApprox(position + 0.02 * speed, 1e-12));
  EXPECT_TRUE(agent.GetSpeed().isApprox(speed, 1e-12));
  Eigen::MatrixXd F = Eigen::MatrixXd::Identity(6, 6);
  F.topRightCorner<3, 3>() = 0.02 * Eigen::Matrix3d::Identity();
  EXPECT_TRUE(agent.GetCovarianceError().isApprox(
      F * covariance * F.transpose() + 0.0001 * Eigen::MatrixXd::Identity(6, 6), 1e-12));
  // No gyroscope rate: the heading stays.
  EXPECT_NEAR(agent.GetDirection(), heading, 1e-12);
  // The ball coasts with drag: a = -0.01 v / 0.026.
  const Eigen::Vector3d drag = ball_speed * (-0.01 / 0.026);
  EXPECT_TRUE(field.GetBall().GetAbsoluteCoordinates().isApprox(
      ball + 0.02 * ball_speed + 0.0002 * drag, 1e-12));
  // Players are only followed on vision cycles.
  EXPECT_EQ(field.GetEnemyPlayer(2).GetAbsoluteCoordinates(), enemy);
}

TEST_F(SyntheticSceneTest, RepeatedServerTimeAndFirstSightingAtTimeZeroStayFinite) {
  // The first vision comes at server time 0: every object's interval since its last
  // sighting is 0, so only positions are measured.
  cycle_.Step(Message(0.0, true, "BeforeKickOff"));
  EXPECT_TRUE(cycle_.AllFinite());
  EXPECT_GT(cycle_.agent().GetCoordinates().head<2>().norm(), 0.0);
  RunCycles(0.0, 300);
  // The same message twice: the second has the same server time.
  cycle_.Step(Message(6.0, true, "PlayOn"));
  cycle_.Step(Message(6.0, true, "PlayOn"));
  EXPECT_TRUE(cycle_.AllFinite());
  EXPECT_EQ(cycle_.field().GetBall().GetUpdateDiffTime(), 0.0);
  EXPECT_TRUE(cycle_.agent().GetCoordinates().head<2>().isApprox(kTorso.head<2>(), 0.05));
}

TEST_F(SyntheticSceneTest, OpponentWhoseFeetLieAwayFromItsHeadHasFallen) {
  double time = RunCycles(0.0, 3);
  for (int i = 0; i < 30; ++i) {
    time += UPDATE_INTERVAL_TIME;
    cycle_.Step(Message(time, true, "BeforeKickOff", {{0.4, 0.0, -0.4}}));
  }
  EXPECT_TRUE(cycle_.field().GetEnemyPlayer(2).IsFall());
  // A player seen without its head cannot be judged.
  cycle_.Step(Message(time + UPDATE_INTERVAL_TIME, true, "BeforeKickOff", {{0.4, 0, -0.4}}, false));
  EXPECT_TRUE(cycle_.field().GetEnemyPlayer(2).IsVisible());
  EXPECT_FALSE(cycle_.field().GetEnemyPlayer(2).IsFall());
}

TEST(KalmanFieldStateTest, LineEndsAtAFlagAreAveragedIntoItsSighting) {
  ModelCycle cycle("Alpha", 1);
  cycle.Start(PerceptionText().GameStateWithTeam(1, "left", 0.0, "PlayOn").Str(),
              Eigen::Vector3d(-1.0, 0.0, 0.0));
  // One line ends 0.09 m from the flag, the other far away.
  cycle.Step(PerceptionText()
                 .Time(0.02)
                 .Landmark("F1R", {10.0, 20.0, -5.0})
                 .Line({10.1, 20.5, -5.0}, {5.0, 0.0, -10.0})
                 .Str());
  const Flag& flag = cycle.field().GetFlag(FLAG_FIELD_ENEMY_LEFT);
  const Eigen::Affine3d& head = cycle.agent().GetBodyPart(BP_HEAD).global_transform;
  EXPECT_EQ(flag.GetPolarCoordinates(), Eigen::Vector3d(10.0, 20.0, -5.0));
  EXPECT_TRUE(flag.GetRelativeCoordinates().isApprox(
      head * Tool::PolarToCartesian(Eigen::Vector3d(10.05, 20.25, -5.0)), 1e-12));
  EXPECT_NEAR(flag.GetHorizonDegree(), 20.25, 1e-12);
}

// No sensor gives such angles, but a direction is periodic: the sighting is placed at its
// wrapped angles, and 1e308 degrees would overflow the conversion to radians.
TEST(KalmanFieldStateTest, SightingAnglesBeyondAHalfTurnArePlacedAsWrapped) {
  for (ModelCycle::FieldModel model : {ModelCycle::KALMAN, ModelCycle::SIMPLE}) {
    ModelCycle cycle("Alpha", 1, model);
    cycle.Start(PerceptionText().GameStateWithTeam(1, "left", 0.0, "PlayOn").Str(),
                Eigen::Vector3d(-1.0, 0.0, 0.0));
    cycle.Step(PerceptionText().Time(0.02).Ball({2.0, 380.0, -370.0}).Str());
    const Ball& ball = cycle.field().GetBall();
    const Eigen::Affine3d& head = cycle.agent().GetBodyPart(BP_HEAD).global_transform;
    EXPECT_TRUE(ball.GetRelativeCoordinates().isApprox(
        head * Tool::PolarToCartesian(Eigen::Vector3d(2.0, 20.0, -10.0)), 1e-12));
    EXPECT_NEAR(ball.GetHorizonDegree(), 20.0, 1e-12);
    cycle.Step(PerceptionText().Time(0.04).Ball({2.0, 1e308, -1e308}).Str());
    EXPECT_TRUE(cycle.AllFinite()) << model;
  }
}

TEST(KalmanFieldStateTest, GyroscopeIntegratesTheHeadingByTrapezoids) {
  // 90 degrees/s after 0 turns 0.9; 90 after 90 turns 1.8; -90 after 90 crosses zero half
  // way and turns 0.
  const struct {
    double rate;     // degrees/s about z this cycle
    double heading;  // degrees, expected afterwards
  } steps[] = {{0.0, 0.0}, {90.0, 0.9}, {90.0, 2.7}, {-90.0, 2.7}, {-90.0, 0.9}};
  ModelCycle cycle("Alpha", 1);
  cycle.Start(PerceptionText().GameStateWithTeam(1, "left", 0.0, "PlayOn").Str(),
              Eigen::Vector3d(-1.0, 0.0, 0.0));
  double time = 0.0;
  for (const auto& step : steps) {
    time += UPDATE_INTERVAL_TIME;
    cycle.Step(PerceptionText().Time(time).Gyro(Eigen::Vector3d(0.0, 0.0, step.rate)).Str());
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

// Replays a capture as the agent would: the first message before the beam, then one cycle
// per message. visit(cycle, seconds since the first vision or -1) runs after every cycle.
template <typename Visit>
void Replay(const Capture& capture, ModelCycle::FieldModel model, Visit visit) {
  const std::vector<std::string> messages = ReadFixtureLines(capture.file);
  ModelCycle cycle(capture.team, 1, model);
  cycle.Start(messages[0], capture.beam);
  double first_vision = -1.0;
  for (size_t i = 1; i < messages.size(); ++i) {
    cycle.Step(messages[i]);
    const double time = cycle.world().GetServerTime();
    if (first_vision < 0.0 && cycle.raw().HasNewSeeData()) first_vision = time;
    visit(cycle, first_vision < 0.0 ? -1.0 : time - first_vision);
  }
}

TEST(KalmanFieldStateTest, EveryEstimateStaysFiniteOnEveryMessageOfEveryCapture) {
  for (const Capture& capture : kCaptures) {
    for (ModelCycle::FieldModel model : {ModelCycle::KALMAN, ModelCycle::SIMPLE}) {
      bool finite = true;
      bool toes_with_feet = true;
      Replay(capture, model, [&](const ModelCycle& cycle, double) {
        finite = finite && cycle.AllFinite();
        // The toes do not rotate, also on the type-4 robot.
        for (BodyPartID foot : {BP_FOOT_RIGHT, BP_FOOT_LEFT}) {
          toes_with_feet =
              toes_with_feet && cycle.agent()
                                    .GetBodyPart(BodyPartID(foot + 1))
                                    .global_transform.isApprox(
                                        cycle.agent().GetBodyPart(foot).global_transform, 1e-9);
        }
      });
      EXPECT_TRUE(finite) << capture.file << " model " << model;
      EXPECT_TRUE(toes_with_feet) << capture.file;
    }
  }
}

// The own estimate starts at the field centre with zero covariance and needs about two
// seconds of vision to settle at the beam pose; the others are judged from then on too.
TEST(KalmanFieldStateTest, ThreePlayerCapturesPlaceEveryoneNearWhereTheyWereBeamed) {
  // Alpha 1 at (-2, 0) and Alpha 2 at (-4, 1) in Alpha's frame; Beta 1 at (-2, 0.5) in
  // Beta's frame. Each team's frame is the other's turned half a turn. The server adds up
  // to 0.05 m and 10 degrees of noise to a beam.
  const struct {
    const Capture& capture;
    std::vector<std::pair<int, Eigen::Vector2d>> seen;  // slot (11-21: opponents), m
  } cases[] = {{kCaptures[1], {{11, {2.0, -0.5}}}},
               {kCaptures[2], {{11, {2.0, 0.0}}, {12, {4.0, -1.0}}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.capture.file);
    double distance = 0.0;                          // m
    double heading = 0.0;                           // degrees
    std::vector<double> worst(c.seen.size(), 0.0);  // m
    std::vector<int> sightings(c.seen.size(), 0);
    Replay(c.capture, ModelCycle::KALMAN, [&](const ModelCycle& cycle, double settled) {
      if (!cycle.raw().HasNewSeeData() || settled < 2.0) return;
      const AgentState& agent = cycle.agent();
      distance =
          std::max(distance, (agent.GetCoordinates().head<2>() - c.capture.beam.head<2>()).norm());
      heading = std::max(heading, HeadingError(agent.GetDirection(), c.capture.beam.z()));
      for (size_t i = 0; i < c.seen.size(); ++i) {
        const OtherPlayer& player = cycle.field().GetAllPlayer(c.seen[i].first);
        if (!player.IsVisible()) continue;
        ++sightings[i];
        worst[i] = std::max(worst[i],
                            (player.GetAbsoluteCoordinates().head<2>() - c.seen[i].second).norm());
      }
    });
    EXPECT_LT(distance, 0.5);
    EXPECT_LT(heading, 15.0);
    for (size_t i = 0; i < c.seen.size(); ++i) {
      EXPECT_GT(sightings[i], 10) << "slot " << c.seen[i].first;
      EXPECT_LT(worst[i], 0.5) << "slot " << c.seen[i].first;
    }
  }
}

TEST(KalmanFieldStateTest, GroundTruthCaptureIsTrackedWithinBounds) {
  double worst_distance = 0.0;    // m, from 1 s on
  double settled_distance = 0.0;  // m, from 2 s on
  double worst_heading = 0.0;     // degrees, from 1 s on
  Replay(kCaptures[4], ModelCycle::KALMAN, [&](const ModelCycle& cycle, double settled) {
    if (!cycle.raw().HasNewSeeData() || settled < 1.0) return;
    // The server reports the head's position; the estimate is the torso's.
    const AgentState& agent = cycle.agent();
    const Eigen::Vector3d head =
        agent.GetCoordinates() +
        cycle.field().GetGlobalRotation().linear() * agent.GetBodyPart(BP_HEAD).global_coord;
    const raw::HiddenData& truth = cycle.raw().GetHiddenData();
    const double distance = (head - truth.my_pos).head<2>().norm();
    worst_distance = std::max(worst_distance, distance);
    if (settled >= 2.0) settled_distance = std::max(settled_distance, distance);
    worst_heading = std::max(worst_heading, HeadingError(agent.GetDirection(), truth.my_orien));
  });
  // The filter starts at the field centre with zero covariance; its first approach to the
  // true position overshoots by up to 0.33 m around 1.4 s and is within 0.3 m from 2 s on.
  EXPECT_LT(worst_distance, 0.33);
  EXPECT_LT(settled_distance, 0.3);
  EXPECT_LT(worst_heading, 10.0);
}

}  // namespace
}  // namespace test
}  // namespace zamp
