// Two game strategies playing together in one process: each runs its own models on
// synthetic perceptions of a simulated field and hears the other's say texts, and a
// kinematic robot walks as its strategy steers.
#include <gtest/gtest.h>

#include <Eigen/Geometry>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "core/Singleton.h"
#include "core/Tool.h"
#include "core/const.h"
#include "motion/Walk.h"
#include "play/StrategyZAMP.h"
#include "support/ModelCycle.h"
#include "support/PerceptionText.h"
#include "support/StrategyZAMPTestAccess.h"
#include "support/SyntheticScene.h"

namespace zamp {
namespace test {
namespace {

typedef Eigen::Vector2d V;
typedef StrategyZAMPTestAccess Access;

const char* const kTeam = "Alpha";
const double kPi = 3.141592653589793;
const double kTorsoHeight = 0.4;  // m
const double kBallZ = 0.04;       // m
// What a current speed of 1.0 stands for, as the match walk publishes it.
const Eigen::Vector3d kMaxWalkSpeed(0.6912442396313364, 0.4, 0.0);  // m/s forward, sideways
const double kMaxTurnSpeed = 60.0;                                  // degrees/s

// A walk engine without a body: it ramps its current speeds as the match walk does and
// publishes them; the test moves the simulated robot by them.
class KinematicWalk : public Walk {
 public:
  KinematicWalk() {
    InitSpeed(vertical_, 0.015, -1.0, 1.0);
    InitSpeed(horizon_, 0.025, -1.0, 1.0);
    InitSpeed(rotation_, 0.05, -1.0, 1.0);
    Singleton<AgentState>::GetInstance()->SetMaxWalkSpeed(kMaxWalkSpeed);
  }

  void Run() override {
    if (stop_) {
      SettingSpeed(0.0, 0.0, 0.0);
      stop_ = false;
    }
    UpdateSpeed(vertical_);
    UpdateSpeed(horizon_);
    UpdateSpeed(rotation_);
    Singleton<AgentState>::GetInstance()->SetCurrentWalkSpeed(
        Eigen::Vector3d(vertical_.current, horizon_.current, 0.0));
  }

  bool TargetsFinite() const {
    return std::isfinite(vertical_.target) && std::isfinite(horizon_.target) &&
           std::isfinite(rotation_.target);
  }
};

// One simulated player: its models, its strategy and walk, and its true pose.
struct Player {
  Player(int unum, const V& start, double start_heading)
      : uniform_number(unum), models(kTeam, unum), position(start), heading(start_heading) {
    models.Install();
    walk = std::make_shared<KinematicWalk>();
    strategy.walk_ = walk;
  }

  // Moves the true pose by the walk's current speeds over one cycle; the gyroscope reports
  // the turn rate, integrated as the field model integrates it.
  void Move() {
    const double rate = walk->GetCurrentRotationSpeed() * kMaxTurnSpeed;  // degrees/s
    heading += (rate + gyro) / 2.0 * UPDATE_INTERVAL_TIME;
    gyro = rate;
    const double rad = heading * kPi / 180.0;
    const V step(walk->GetCurrentVerticalSpeed() * kMaxWalkSpeed.x(),
                 walk->GetCurrentHorizonSpeed() * kMaxWalkSpeed.y());
    position += Eigen::Rotation2Dd(rad) * step * UPDATE_INTERVAL_TIME;
  }

  Eigen::Vector3d Torso() const {
    return Eigen::Vector3d(position.x(), position.y(), kTorsoHeight);
  }

  int uniform_number;
  ModelCycle models;
  StrategyZAMP strategy;
  std::shared_ptr<KinematicWalk> walk;
  V position;         // m, true
  double heading;     // degrees, true
  double gyro = 0.0;  // degrees/s, the last cycle's turn rate
  std::string said;   // the say text of the previous cycle
  int kick_requests = 0;
};

class StrategyZAMPClosedLoopTest : public ::testing::Test {
 protected:
  // The perception of `me`: clock and play mode, gyroscope, the messages said in the
  // previous cycle (the other's and the own echo), and every third cycle the field.
  std::string Perception(Player& me, const Player& other, const char* play_mode, bool vision) {
    PerceptionText text;
    text.Time(time_).GameState(time_, play_mode).Gyro(Eigen::Vector3d(0.0, 0.0, me.gyro));
    if (!other.said.empty()) {
      const double direction =
          Tool::LimitDegree180(Tool::CulcDegree(me.position, other.position, 0.0) - me.heading);
      text.Hear(kTeam, time_, direction, other.said);
    }
    if (!me.said.empty()) text.HearSelf(kTeam, time_, me.said);
    if (vision) {
      const SyntheticScene scene(me.Torso(), me.heading,
                                 me.models.agent().GetBodyPart(BP_HEAD).global_transform);
      text.See();
      scene.AddLandmarks(text, true);
      text.Ball(scene.See(Eigen::Vector3d(ball_.x(), ball_.y(), kBallZ)));
      const Eigen::Vector3d torso = other.Torso();
      text.Player(
          kTeam, other.uniform_number,
          {{VISIBLE_PART_HEAD, scene.See(torso + Eigen::Vector3d(0.0, 0.0, 0.1))},
           {VISIBLE_PART_RIGHT_FOOT, scene.See(torso + Eigen::Vector3d(0.05, 0.0, -0.38))},
           {VISIBLE_PART_LEFT_FOOT, scene.See(torso + Eigen::Vector3d(-0.05, 0.0, -0.38))}});
    }
    return text.Str();
  }

  // One cycle of one player, as the match agent runs it while walking.
  void Cycle(Player& me, const Player& other, const char* play_mode, bool vision, bool walking) {
    me.models.Step(Perception(me, other, play_mode, vision));
    me.strategy.UpdateHear();
    if (walking) {
      me.models.agent().SetCurrentBehavior(AgentState::BEH_MOVE);
      me.strategy.Run();
      // No kick motions here: the agent would play the kick; the test keeps walking.
      if (!me.strategy.command_.empty()) ++me.kick_requests;
      me.strategy.command_.clear();
      me.walk->Run();
      me.Move();
    }
    me.said = me.strategy.MakeSay();
    EXPECT_TRUE(me.walk->TargetsFinite()) << "player " << me.uniform_number << " at " << time_;
  }

  void Start(Player& player) {
    player.models.Start(PerceptionText()
                            .Time(time_)
                            .GameStateWithTeam(player.uniform_number, "left", 0.0, "BeforeKickOff")
                            .Str(),
                        Eigen::Vector3d(player.position.x(), player.position.y(), player.heading));
  }

  double time_ = 0.0;  // s, server and game clock
  V ball_{-1.0, 0.0};  // m, at rest
};

TEST_F(StrategyZAMPClosedLoopTest, TwoPlayersAgreeOnTheDrriblerWhoWalksToTheBall) {
  Player near_player(2, V(-4.0, 2.0), 0.0);
  Player far_player(3, V(-6.0, -3.0), 20.0);
  Start(near_player);
  Start(far_player);

  // Before kick-off: beamed, standing, listening and speaking.
  int cycle = 0;
  for (; cycle < 30; ++cycle) {
    time_ += UPDATE_INTERVAL_TIME;
    Cycle(near_player, far_player, "BeforeKickOff", cycle % 3 == 0, false);
    Cycle(far_player, near_player, "BeforeKickOff", cycle % 3 == 0, false);
  }

  double closest = 9999.9;  // m, the dribbler's closest approach to the ball
  int agreed = 0;
  const int play_cycles = 800;
  for (int k = 0; k < play_cycles; ++k, ++cycle) {
    time_ += UPDATE_INTERVAL_TIME;
    Cycle(near_player, far_player, "PlayOn", cycle % 3 == 0, true);
    Cycle(far_player, near_player, "PlayOn", cycle % 3 == 0, true);
    // Both have heard both after one speaking round of 44 cycles.
    if (k >= 50) {
      const int a = Access::Drribler(near_player.strategy);
      const int b = Access::Drribler(far_player.strategy);
      EXPECT_EQ(a, b) << "cycle " << k;
      if (a == b && a == 2) ++agreed;
    }
    closest = std::min(closest, (near_player.position - ball_).norm());
  }
  EXPECT_EQ(agreed, play_cycles - 50);
  EXPECT_LT(closest, 0.3);
  // At the ball it lines up and asks for kicks; the other never does.
  EXPECT_GT(near_player.kick_requests, 0);
  EXPECT_EQ(far_player.kick_requests, 0);

  // The other one went to its formation point (point 0 of the open-play formation round the
  // ball at the centre line: 0.5 m behind and 1.5 m to the left of the ball), which is
  // neither the ball nor where the dribbler is.
  far_player.models.Install();
  const V target = Access::DecidePosition(far_player.strategy);
  EXPECT_NEAR(target.x(), ball_.x() - 0.5, 0.1);
  EXPECT_NEAR(target.y(), ball_.y() + 1.5, 0.1);
  EXPECT_LT((far_player.position - target).norm(), 0.3);
  EXPECT_GT((target - ball_).norm(), 1.0);
  EXPECT_GT((target - near_player.position).norm(), 1.0);
  // Its own estimate of where it stands agrees with the truth.
  EXPECT_LT((far_player.models.agent().GetCoordinates().head<2>() - far_player.position).norm(),
            0.1);
}

}  // namespace
}  // namespace test
}  // namespace zamp
