#include "support/StrategyWorld.h"

#include <cmath>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "motion/TabeWalk.h"
#include "support/AgentStateTestAccess.h"
#include "support/FieldTestAccess.h"
#include "support/PerceptionText.h"
#include "support/WorldStateTestAccess.h"

namespace zamp {
namespace test {

namespace {

const double BALL_Z = 0.04;  // m

}  // namespace

const char* const StrategyWorld::TEAM = "Alpha";

StrategyWorld::StrategyWorld(int uniform_number, AgentTypeID agent_type)
    : ModelCycle(TEAM, uniform_number, KALMAN, agent_type), walk_(std::make_shared<TabeWalk>()) {
  WorldStateTestAccess::SetSide(world(), SIDE_LEFT);
  WorldStateTestAccess::SetPlayMode(world(), PM_PLAY_ON);
  AgentStateTestAccess::SetFallDirection(agent(), AgentState::FALL_NOT);
  agent().SetCurrentMoveState(AgentState::MS_NOT_MOVE);
  // Nobody seen: every opponent last seen long ago.
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    FieldTestAccess::PlaceEnemy(field(), i, Eigen::Vector3d::Zero(), 100.0, false);
  }
  PlaceAgent(0.0, 0.0, 0.0);
  PlaceBall(1.0, 0.0);
}

void StrategyWorld::SetGameTime(double game_time) {
  WorldStateTestAccess::SetGameTime(world(), game_time);
}

void StrategyWorld::SetServerTime(double server_time) {
  server_time_ = server_time;
  WorldStateTestAccess::SetServerTime(world(), server_time);
}

void StrategyWorld::SetPlayMode(PlayModeID play_mode) {
  WorldStateTestAccess::SetPlayMode(world(), play_mode);
}

void StrategyWorld::SetKickMode(KickModeID kick_mode, bool can_kick_play, bool can_kick_off_shoot) {
  WorldStateTestAccess::SetKickMode(world(), kick_mode, can_kick_play, can_kick_off_shoot);
}

void StrategyWorld::PlaceAgent(double x, double y, double heading) {
  AgentStateTestAccess::SetCoordinates(agent(), Eigen::Vector3d(x, y, 0.4));
  AgentStateTestAccess::SetRotation(agent(), Eigen::Vector3d(0.0, 0.0, heading));
}

void StrategyWorld::SetMoveState(AgentState::MoveState move_state) {
  agent().SetCurrentMoveState(move_state);
}

void StrategyWorld::SetFallen(bool fallen) {
  AgentStateTestAccess::SetFallDirection(agent(),
                                         fallen ? AgentState::FALL_BACK : AgentState::FALL_NOT);
}

void StrategyWorld::PlaceBall(double x, double y, bool visible, double seen_ago) {
  FieldTestAccess::PlaceBall(field(), Eigen::Vector3d(x, y, BALL_Z));
  const Eigen::Vector2d own = Tool::RemoveVectZ(agent().GetCoordinates());
  const double distance = Tool::CulcDistance(own, Eigen::Vector2d(x, y));
  const double horizon =
      Tool::LimitDegree180(Tool::CulcDegree(own.x(), own.y(), x, y, 0.0) - agent().GetDirection());
  FieldTestAccess::SetBallSighting(field(), Eigen::Vector3d(distance, horizon, 0.0), distance,
                                   horizon, 0.0, visible, seen_ago);
}

void StrategyWorld::SetBallFootDistance(double foot_distance) {
  const Ball& ball = field().GetBall();
  Eigen::Vector3d polar = ball.GetPolarCoordinates();
  polar.x() = foot_distance;
  FieldTestAccess::SetBallSighting(field(), polar, foot_distance, ball.GetHorizonDegree(),
                                   ball.GetVerticalDegree(), ball.IsVisible(),
                                   ball.GetUpdateDiffTime());
}

void StrategyWorld::SetBallHorizonDegree(double horizon_degree) {
  const Ball& ball = field().GetBall();
  Eigen::Vector3d polar = ball.GetPolarCoordinates();
  polar.y() = horizon_degree;
  FieldTestAccess::SetBallSighting(field(), polar, ball.GetFootDistance(), horizon_degree,
                                   ball.GetVerticalDegree(), ball.IsVisible(),
                                   ball.GetUpdateDiffTime());
}

void StrategyWorld::PlaceEnemy(int index, double x, double y, double seen_ago) {
  FieldTestAccess::PlaceEnemy(field(), index, Eigen::Vector3d(x, y, 0.5), seen_ago,
                              seen_ago == 0.0);
}

void StrategyWorld::SeeMate(int uniform_number, double foot_distance, double horizon_degree) {
  FieldTestAccess::SetMatePart(field(), uniform_number - 1, VISIBLE_PART_RIGHT_FOOT, true,
                               foot_distance, horizon_degree);
}

void StrategyWorld::Update() { Singleton<StrategyInformation>::GetInstance()->Update(); }

void StrategyWorld::Listen(const std::string& elements) {
  Install();
  Singleton<Parser>::GetInstance()->Update(PerceptionText().Time(server_time_).Str() + elements);
  Singleton<RawStorage>::GetInstance()->Update();
}

void StrategyWorld::Hear(const std::string& text, double direction) {
  Listen(PerceptionText().Hear(TEAM, server_time_, direction, text).Str());
}

void StrategyWorld::HearSelf(const std::string& text) {
  Listen(PerceptionText().HearSelf(TEAM, server_time_, text).Str());
}

std::string StrategyWorld::Message(ShareMessageZAMP::SayValues say) {
  const int period = ShareMessageZAMP::SAY_AGENT_CYCLE;
  say.server_cycle = say.server_cycle / period * period + 2 * say.uniform_number - 2;
  ShareMessageZAMP codec;
  return codec.MakeFrom(say);
}

}  // namespace test
}  // namespace zamp
