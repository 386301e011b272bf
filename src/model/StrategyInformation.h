// Play information derived once per cycle for the decision code: the kick target (the
// opponent goal when it is within long-kick range, else the point at long-kick distance
// farthest from recently seen opponents), the directions between the agent, the ball and
// the opponent goal, the turn towards the ball, the distance from the ball to the nearest
// recently seen opponent and the number of opponents in view; plus the direction,
// distance and ball-zone queries that strategies, kick positioning and the match agent
// call.
//
// Runs once per cycle after the field state's Update and before the agent's Think.
// Reads: AgentState (coordnates_, heading rotation_ z) and FieldState (ball, opponents).
// Writes: only its own fields.
// Frame: team frame (x, y) in m; angles in degrees, 0 towards +x, counter-clockwise
// positive; turns are positive to the left.
#pragma once

#include <Eigen/Core>
#include <utility>

namespace zamp {

class AgentState;
class FieldState;

class StrategyInformation {
 public:
  StrategyInformation();
  virtual ~StrategyInformation();
  StrategyInformation(const StrategyInformation&) = delete;
  StrategyInformation& operator=(const StrategyInformation&) = delete;

  void Update();

  // Direction from the agent to the point.
  double CulcTargetDegree(double x, double y) const;
  double CulcTargetDegree(const Eigen::Vector2d& point) const;
  // The turn needed to face the point.
  double CulcDirectionDiff(double x, double y) const;
  double CulcDirectionDiff(const Eigen::Vector2d& point) const;
  // The turn needed to face along the direction from (x1, y1) to (x2, y2).
  double CulcDirectionDiff(double x1, double y1, double x2, double y2) const;
  // Distance from the ball to the point, m.
  double CulcBallDistance(const Eigen::Vector2d& point) const;
  // Tool::CulcCrossDegree of (x1, y1), the agent's position and (x2, y2).
  double CulcAgentCrossDegree(double x1, double y1, double x2, double y2) const;
  // For a kick from the ball towards target, with the kick line shifted sideways by
  // offset (m, to the left for a positive offset): (how far the agent stands off the
  // shifted line behind the shifted ball, the turn needed to face the shifted ball).
  std::pair<double, double> CulcKickDirections(Eigen::Vector2d target, double offset) const;
  // Distance from the point to the nearest opponent seen within time (s), m; about 99.9995
  // when none qualifies.
  double CulcNearestTargetEnemyDist(const Eigen::Vector2d& point, double time) const;
  // Rectangle given by centre, width along x and length along y; edges count as inside.
  bool IsBallInRectangle(double x, double y, double width, double length) const;
  // Strictly inside the circle; the edge counts as outside.
  bool IsBallInCircle(double x, double y, double r) const;

  const Eigen::Vector2d& GetCenterEnemyGoalCoord() const { return enemy_goal_coord_; }
  const Eigen::Vector2d& GetCenterUsGoalCoord() const { return us_goal_coord_; }
  const Eigen::Vector2d& GetBallLocalCoordinates() const { return ball_local_coord_; }
  const Eigen::Vector2d& GetKickTargetCoord() const { return kick_target_coord_; }
  double GetMeAndBallDegree() const { return me_and_ball_degree_; }
  double GetBallAndGoalDegree() const { return ball_and_goal_degree_; }
  double GetMeAndGoalDegree() const { return me_and_goal_degree_; }
  double GetMeAndGoalCrossBallDegree() const { return me_and_goal_cross_ball_degree_; }
  double GetBallDirectionDiff() const { return ball_direction_diff_; }
  double GetBallNearestEnemyDistance() const { return ball_nearest_enemy_dist_; }
  int GetCountEnemyVisible() const { return count_enemy_visible_; }
  void SetLongKickDistance(double distance) { long_kick_dist_ = distance; }

 private:
  void UpdateKickTarget(const FieldState& field);
  void UpdateOthers(const AgentState& agent, const FieldState& field);
  static double NearestEnemyDist(const FieldState& field, const Eigen::Vector2d& point,
                                 double time);

  const Eigen::Vector2d enemy_goal_coord_;  // m
  const Eigen::Vector2d us_goal_coord_;     // m
  Eigen::Vector2d ball_local_coord_;        // m, ball minus own position, team-frame axes
  Eigen::Vector2d kick_target_coord_;       // m
  double me_and_ball_degree_;               // degrees
  double ball_and_goal_degree_;             // degrees
  double me_and_goal_degree_;               // degrees
  double me_and_goal_cross_ball_degree_;    // degrees, agent off the goal-ball line
  double ball_direction_diff_;              // degrees, turn to face the ball
  double ball_nearest_enemy_dist_;          // m
  double long_kick_dist_;                   // m, reach of a long kick
  int count_enemy_visible_;
};

}  // namespace zamp
