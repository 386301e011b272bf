#include "model/StrategyInformation.h"

#include <algorithm>
#include <cmath>

#include "core/Singleton.h"
#include "core/Tool.h"
#include "model/AgentState.h"
#include "model/FieldState.h"

namespace zamp {

namespace {

const double NO_ENEMY_DISTANCE_POW2 = 9999.9;  // m^2, stands for "no opponent"
const int KICK_CANDIDATE_NUM = 16;
const double KICK_CANDIDATE_FIRST_DEGREE = -50.0;
const double KICK_CANDIDATE_STEP_DEGREE = 6.666666666666667;
const double KICK_TARGET_MAX_ABS_Y = 9.0;   // m, keeps long kicks inside the side lines
const double KICK_TARGET_SEEN_TIME = 3.0;   // s
const double BALL_NEAREST_SEEN_TIME = 0.2;  // s
// Half a millisecond keeps "seen within time" from flipping on rounding of server times.
const double SEEN_TIME_MARGIN = 0.0005;

const AgentState& Agent() { return *Singleton<AgentState>::GetInstance(); }

const FieldState& Field() { return *Singleton<FieldState>::GetInstance(); }

Eigen::Vector2d OwnPosition(const AgentState& agent) {
  return Tool::RemoveVectZ(agent.GetCoordinates());
}

Eigen::Vector2d BallPosition(const FieldState& field) {
  return Tool::RemoveVectZ(field.GetBall().GetAbsoluteCoordinates());
}

// The turn that faces the agent towards the point, degrees, positive to the left.
double TurnTowards(const AgentState& agent, const Eigen::Vector2d& point) {
  return Tool::LimitDegree180(Tool::CulcDegree(OwnPosition(agent), point, 0.0) -
                              agent.GetDirection());
}

}  // namespace

StrategyInformation::StrategyInformation()
    : enemy_goal_coord_(FIELD_WIDTH_HALF_SIZE, 0.0),
      us_goal_coord_(-FIELD_WIDTH_HALF_SIZE, 0.0),
      ball_local_coord_(Eigen::Vector2d::Zero()),
      kick_target_coord_(FIELD_WIDTH_HALF_SIZE, 0.0),
      me_and_ball_degree_(0.0),
      ball_and_goal_degree_(0.0),
      me_and_goal_degree_(0.0),
      me_and_goal_cross_ball_degree_(0.0),
      ball_direction_diff_(0.0),
      ball_nearest_enemy_dist_(9999.9),
      long_kick_dist_(17.0),
      count_enemy_visible_(0) {}

StrategyInformation::~StrategyInformation() {}

void StrategyInformation::Update() {
  const AgentState& agent = Agent();
  const FieldState& field = Field();
  UpdateKickTarget(field);
  UpdateOthers(agent, field);
}

void StrategyInformation::UpdateKickTarget(const FieldState& field) {
  const Eigen::Vector2d ball = BallPosition(field);
  if (Tool::CulcDistance(ball, enemy_goal_coord_) < long_kick_dist_) {
    kick_target_coord_ = enemy_goal_coord_;
    return;
  }
  double best = 0.0;
  for (int i = 0; i < KICK_CANDIDATE_NUM; ++i) {
    const double degree = i * KICK_CANDIDATE_STEP_DEGREE + KICK_CANDIDATE_FIRST_DEGREE;
    const Eigen::Vector2d candidate = ball + Tool::PolarToCartesian(long_kick_dist_, degree);
    if (candidate.y() < -KICK_TARGET_MAX_ABS_Y || candidate.y() > KICK_TARGET_MAX_ABS_Y) continue;
    const double distance = NearestEnemyDist(field, candidate, KICK_TARGET_SEEN_TIME);
    if (distance > best) {
      kick_target_coord_ = candidate;
      best = distance;
    }
  }
}

void StrategyInformation::UpdateOthers(const AgentState& agent, const FieldState& field) {
  const Eigen::Vector2d me = OwnPosition(agent);
  const Eigen::Vector2d ball = BallPosition(field);
  const double heading = agent.GetDirection();

  ball_local_coord_ = ball - me;
  me_and_ball_degree_ = Tool::CulcDegree(me, ball, 0.0);
  ball_and_goal_degree_ = Tool::CulcDegree(ball, enemy_goal_coord_, 0.0);
  me_and_goal_degree_ = Tool::CulcDegree(me, enemy_goal_coord_, 0.0);
  me_and_goal_cross_ball_degree_ =
      Tool::LimitDegree180(me_and_ball_degree_ - ball_and_goal_degree_);
  ball_direction_diff_ = Tool::LimitDegree180(me_and_ball_degree_ - heading);
  ball_nearest_enemy_dist_ = NearestEnemyDist(field, ball, BALL_NEAREST_SEEN_TIME);
  count_enemy_visible_ = 0;
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    if (field.GetEnemyPlayer(i).IsVisible()) ++count_enemy_visible_;
  }
}

double StrategyInformation::NearestEnemyDist(const FieldState& field, const Eigen::Vector2d& point,
                                             double time) {
  double nearest = NO_ENEMY_DISTANCE_POW2;
  for (int i = 0; i < MAX_TEAM_AGENT_NUM; ++i) {
    const OtherPlayer& enemy = field.GetEnemyPlayer(i);
    if (enemy.GetUpdateDiffTime() < time - SEEN_TIME_MARGIN) {
      nearest = std::min(nearest, Tool::CulcDistancePow2(
                                      Tool::RemoveVectZ(enemy.GetAbsoluteCoordinates()), point));
    }
  }
  return std::sqrt(nearest);
}

double StrategyInformation::CulcTargetDegree(double x, double y) const {
  return CulcTargetDegree(Eigen::Vector2d(x, y));
}

double StrategyInformation::CulcTargetDegree(const Eigen::Vector2d& point) const {
  return Tool::CulcDegree(OwnPosition(Agent()), point, 0.0);
}

double StrategyInformation::CulcDirectionDiff(double x, double y) const {
  return CulcDirectionDiff(Eigen::Vector2d(x, y));
}

double StrategyInformation::CulcDirectionDiff(const Eigen::Vector2d& point) const {
  return TurnTowards(Agent(), point);
}

double StrategyInformation::CulcDirectionDiff(double x1, double y1, double x2, double y2) const {
  return Tool::LimitDegree180(Tool::CulcDegree(x1, y1, x2, y2, 0.0) - Agent().GetDirection());
}

double StrategyInformation::CulcBallDistance(const Eigen::Vector2d& point) const {
  return Tool::CulcDistance(BallPosition(Field()), point);
}

double StrategyInformation::CulcAgentCrossDegree(double x1, double y1, double x2, double y2) const {
  const Eigen::Vector2d me = OwnPosition(Agent());
  return Tool::CulcCrossDegree(x1, y1, me.x(), me.y(), x2, y2);
}

std::pair<double, double> StrategyInformation::CulcKickDirections(Eigen::Vector2d target,
                                                                  double offset) const {
  const AgentState& agent = Agent();
  const Eigen::Vector2d ball = BallPosition(Field());
  const double side_degree = Tool::CulcDegree(ball, target, 0.0) + 90.0;
  const Eigen::Vector2d shift = Tool::PolarToCartesian(offset, side_degree);
  const Eigen::Vector2d shifted_ball = ball + shift;
  const Eigen::Vector2d shifted_target = target + shift;
  // Both directions are wrapped but their difference is not: behind a ball kicked towards -x
  // they read about 179 and -179 degrees, and an agent on the line would see a bend of 358.
  const double cross = Tool::LimitDegree180(
      Tool::CulcCrossDegree(shifted_ball, OwnPosition(agent), shifted_target));
  return std::make_pair(cross, TurnTowards(agent, shifted_ball));
}

double StrategyInformation::CulcNearestTargetEnemyDist(const Eigen::Vector2d& point,
                                                       double time) const {
  return NearestEnemyDist(Field(), point, time);
}

bool StrategyInformation::IsBallInRectangle(double x, double y, double width, double length) const {
  const Eigen::Vector2d ball = BallPosition(Field());
  return Tool::InRectangle(ball.x(), ball.y(), x, y, width, length);
}

bool StrategyInformation::IsBallInCircle(double x, double y, double r) const {
  const Eigen::Vector2d ball = BallPosition(Field());
  return Tool::InCircle(ball.x(), ball.y(), x, y, r);
}

}  // namespace zamp
