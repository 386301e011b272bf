// Dribbling and evasion of the game strategy: the dribbler walks the ball towards the
// opponent goal by walking into it, and every walk to a formation point yields to team
// mates standing in the way.
#include <cmath>

#include "core/Tool.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "motion/Walk.h"
#include "play/StrategyZAMP.h"

namespace zamp {

namespace {

typedef Eigen::Vector2d V;

const double TURN_SCALE = 45.0;        // degrees per unit turn target
const double BALL_LOST_TIME = 1.0;     // s without a sighting
const double WIDE_BALL_DEGREE = 50.0;  // degrees; a ball this far aside halves the pace
const double WIDE_BALL_FORWARD = 0.5;
const double AHEAD_MARGIN = 0.2;  // m a ball may lie behind the body centre and count as ahead
const double CLOSE_BALL_DISTANCE = 0.8;       // m
const double SLOW_SIDE_STEP_DISTANCE = 0.53;  // m; farther balls get a gentler side step
const double SLOW_SIDE_STEP_FACTOR = 0.6;
const double FAR_OFF_LINE_DEGREE = 20.0;  // degrees off the goal line through the ball
const double BESIDE_BALL_DISTANCE = 0.2;  // m
const double BEHIND_AIM_BACK = 0.2;       // m behind the ball
const double BEHIND_AIM_SIDE = 0.3;       // m beside the ball
const double BEHIND_AIM_SIDE_GOAL_AREA = 0.6;
// In front of the goal mouth the agent walks in turned this far (degrees) towards the
// middle of the goal.
const double GOAL_MOUTH_TURN = 20.0;

// Zones of the ball (centre x, y, width along x, length along y).
const StrategyZAMP::Zone GOAL_MOUTH_STRIP{13.0, 0.0, 6.0, 2.0};  // M
const StrategyZAMP::Zone ATTACK_BAND{12.0, 0.0, 4.0, 20.0};      // F
const StrategyZAMP::Zone GOAL_LINE_BAND{14.0, 0.0, 2.4, 20.0};   // G
const StrategyZAMP::Zone OWN_GOAL_AREA{-14.0, 0.0, 2.5, 1.6};
// In the band next to the goal line the dribbler lines up on this point, short of the goal.
const V GOAL_LINE_AIM(FIELD_WIDTH_HALF_SIZE - 1.5, 0.0);

// Evasion: a mate in the way within these distances (m) and bearings (degrees) slows or
// turns the agent.
const double EVADE_DRRIBLER_DEGREE = 120.0;
const double EVADE_DRRIBLER_DISTANCE = 1.0;
const double EVADE_NEAR_DEGREE = 90.0;
const double EVADE_NEAR_DISTANCE = 0.6;
const double EVADE_NEAR_FORWARD = 0.5;
const double EVADE_NEAR_TURN_SCALE = 120.0;
const double EVADE_FAR_DEGREE = 60.0;
const double EVADE_FAR_DISTANCE = 1.25;
const double EVADE_FAR_TURN_SCALE = 90.0;
const double EVADE_AHEAD_DEGREE = 80.0;

bool BallIn(const StrategyInformation& info, const StrategyZAMP::Zone& zone) {
  return info.IsBallInRectangle(zone.x, zone.y, zone.width, zone.length);
}

}  // namespace

const StrategyZAMP::DrribleZones StrategyZAMP::GAME_DRRIBLE_ZONES = {{1.0, 0.0, 26.0, 14.0},  // K
                                                                     {0.0, 0.0, 30.0, 17.5},  // W
                                                                     60.0};

void StrategyZAMP::Drrible() { DrribleIn(GAME_DRRIBLE_ZONES); }

void StrategyZAMP::DrribleIn(const DrribleZones& zones) {
  const Models m = FetchModels();
  const Ball& seen_ball = m.field.GetBall();
  V ball = most_ball_update_->ball_coord;
  double ball_turn = m.info.CulcDirectionDiff(ball);  // degrees
  if (seen_ball.IsVisible()) {
    ball = Tool::RemoveVectZ(seen_ball.GetAbsoluteCoordinates());
    ball_turn = seen_ball.GetHorizonDegree();
  }
  const double r = seen_ball.GetPolarCoordinates().x();  // m

  if (seen_ball.GetUpdateDiffTime() > BALL_LOST_TIME) {
    // Search: walk on and turn towards where the ball was last seen.
    walk_->SettingSpeed(1.0, 0.0, seen_ball.GetHorizonDegree() >= 0.0 ? 1.0 : -1.0);
    walk_->AdjustSpeed();
    return;
  }

  walk_->SettingSpeed(1.0, 0.0, ball_turn / TURN_SCALE);
  if (std::abs(ball_turn) > WIDE_BALL_DEGREE) walk_->SetVerticalSpeed(WIDE_BALL_FORWARD);

  const bool in_goal_line_band = BallIn(m.info, GOAL_LINE_BAND);
  const bool in_attack_band = BallIn(m.info, ATTACK_BAND);
  const double off_line = m.info.GetMeAndGoalCrossBallDegree();  // degrees
  if (in_goal_line_band || m.info.GetBallLocalCoordinates().x() + AHEAD_MARGIN > 0.0) {
    if (r < CLOSE_BALL_DISTANCE) {
      // Side-step while walking into the ball, back onto the line towards the goal.
      double error = off_line;
      double divisor = 180.0;
      bool triggered = false;
      if (BallIn(m.info, zones.whole)) {
        triggered = std::abs(error) > 20.0;
      } else {
        divisor = zones.outside_whole_divisor;
        triggered = std::abs(error) > 5.0;
      }
      const double heading = m.agent.GetDirection();
      if (BallIn(m.info, GOAL_MOUTH_STRIP)) {
        error = ball.y() >= 0.0 ? heading + GOAL_MOUTH_TURN : heading - GOAL_MOUTH_TURN;
        divisor = 60.0;
        triggered = std::abs(heading) > GOAL_MOUTH_TURN;
      } else if (in_goal_line_band) {
        // Wrapped, or near the goal line the step would go the long way round.
        error = Tool::LimitDegree180(m.info.GetMeAndBallDegree() -
                                     Tool::CulcDegree(ball, GOAL_LINE_AIM, 0.0));
        divisor = 45.0;
        triggered = std::abs(error) > 5.0;
      } else if (in_attack_band) {
        divisor = 60.0;
        triggered = std::abs(error) > 5.0;
      }
      if (triggered) {
        const double factor = r > SLOW_SIDE_STEP_DISTANCE ? SLOW_SIDE_STEP_FACTOR : 1.0;
        walk_->SetHorizonSpeed(error / divisor * factor);
      }
    } else if (std::abs(off_line) > FAR_OFF_LINE_DEGREE &&
               (!BallIn(m.info, zones.central) || in_attack_band)) {
      // Far and off the line: head for a point beside the ball on the goal side.
      const double b = m.info.GetBallAndGoalDegree();
      V beside;
      if (b < -90.0) {
        beside = ball + V(-BESIDE_BALL_DISTANCE, 0.0);
      } else if (b > 90.0) {
        beside = ball + V(BESIDE_BALL_DISTANCE, 0.0);
      } else {
        // Swapped on purpose: (sin b, cos b).
        const V unit = Tool::PolarToCartesian(b);
        beside = ball + BESIDE_BALL_DISTANCE * V(unit.y(), unit.x());
      }
      walk_->SetRotationSpeed(m.info.CulcDirectionDiff(beside) / TURN_SCALE);
    }
  } else {
    // The ball is behind: walk round it on the side it lies on.
    double side = BEHIND_AIM_SIDE;
    if (Tool::InRectangle(ball.x(), ball.y(), OWN_GOAL_AREA.x, OWN_GOAL_AREA.y, OWN_GOAL_AREA.width,
                          OWN_GOAL_AREA.length)) {
      side = BEHIND_AIM_SIDE_GOAL_AREA;
    }
    const double offset = m.info.GetBallLocalCoordinates().y() <= 0.0 ? side : -side;
    const V aim(ball.x() - BEHIND_AIM_BACK, ball.y() + offset);
    walk_->SetRotationSpeed(m.info.CulcDirectionDiff(aim) / TURN_SCALE);
  }
  walk_->AdjustSpeed();
}

void StrategyZAMP::Evade(const Eigen::Vector2d& target) {
  const Models m = FetchModels();
  const V own = Tool::RemoveVectZ(m.agent.GetCoordinates());
  const double heading = m.agent.GetDirection();
  const double own_target_distance = Tool::CulcDistance(own, target);
  const int me = m.agent.GetUniformNumber();
  double best = ShareMessageZAMP::UNKNOWN_DISTANCE;  // m, the nearest mate in the way so far

  for (int unum = 1; unum <= MAX_TEAM_AGENT_NUM; ++unum) {
    const ShareData* record = AgentDataOf(unum);
    if (unum == me || !record->is_existence) continue;
    const V mate = record->agent_coord;
    double distance = Tool::CulcDistance(own, mate);                          // m
    double bearing = Tool::LimitDegree180(heading - record->hear_direction);  // degrees
    // A mate in sight is measured better by its nearest body part.
    const OtherPlayer& seen = m.field.GetFriendPlayer(unum - 1);
    double nearest_part = -1.0;
    for (int k = 0; k < VISIBLE_PART_NUM; ++k) {
      const VisiblePart& part = seen.GetVisiblePart(static_cast<VisiblePartID>(k));
      if (!part.IsVisible()) continue;
      if (nearest_part < 0.0 || part.GetFootDistance() < nearest_part) {
        nearest_part = part.GetFootDistance();
        distance = part.GetFootDistance();
        bearing = -part.GetHorizonDegree();
      }
    }

    const bool nearer_to_target = Tool::CulcDistance(mate, target) - own_target_distance <= 0.0;
    const double ahead = Tool::LimitDegree180(Tool::CulcCrossDegree(own, target, mate));
    if (!nearer_to_target || !(distance <= best) || std::abs(ahead) < EVADE_AHEAD_DEGREE) continue;

    const double sign = bearing < 0.0 ? -1.0 : 1.0;
    const double abs_bearing = std::abs(bearing);
    if ((unum == drrible_agent_unum_ && abs_bearing < EVADE_DRRIBLER_DEGREE &&
         distance < EVADE_DRRIBLER_DISTANCE) ||
        (abs_bearing < EVADE_NEAR_DEGREE && distance < EVADE_NEAR_DISTANCE)) {
      walk_->SettingSpeed(EVADE_NEAR_FORWARD, 0.0,
                          (EVADE_NEAR_TURN_SCALE - abs_bearing) * sign / EVADE_NEAR_TURN_SCALE);
      walk_->AdjustSpeed();
    } else if (abs_bearing < EVADE_FAR_DEGREE && distance < EVADE_FAR_DISTANCE) {
      walk_->SettingSpeed(1.0, 0.0, (EVADE_FAR_DEGREE - abs_bearing) * sign / EVADE_FAR_TURN_SCALE);
      walk_->AdjustSpeed();
    }
    best = distance;
  }
}

}  // namespace zamp
