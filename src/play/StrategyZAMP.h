// The team's game strategy and the base of every role strategy (keeper, fielder, kicker,
// kick challenge, drop-in, test). Each cycle the match agent lets it hear the team (UpdateHear,
// before the behaviour update) and asks it for the say text (MakeSay, after Think); while the
// agent walks it runs one strategy step (Run, before the walk engine): the move-state machine
// chooses between dribbling, going to a formation point and lining up for a kick, the chosen
// handler sets the walk targets (or writes a kick word into command_), and the head follows
// the ball.
//
// Team play: every team mate keeps the same eleven records of what the others said and runs
// the same election on them, so the team agrees on one dribbler, one trusted ball sighting
// and one kick target without further negotiation; positions are handed out with a
// bottleneck role assignment over the heard positions.
//
// Reads: WorldState, AgentState, the field state, StrategyInformation, the perception
// store's hear records (through the codec). Writes: AgentState's move state, the walk
// engine's targets, the JointController's neck joints, command_.
// Team frame (own goal at x = -15, attack towards +x); metres, seconds, degrees (turns
// positive to the left). Walk targets are normalised speeds in [-1, 1].
//
// The operations are spread over files by responsibility: StrategyZAMP.cpp (construction,
// Run and the move-state machine), StrategyZAMPHear.cpp (hearing, election, head),
// StrategyZAMPPosition.cpp (formation and positioning), StrategyZAMPDrrible.cpp (dribbling
// and evasion), StrategyZAMPKick.cpp (kick choice and approach).
#pragma once

#include <Eigen/Core>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/const.h"
#include "model/AgentState.h"
#include "play/Scram.h"
#include "play/ShareMessageZAMP.h"
#include "play/Strategy.h"

namespace zamp {

class FieldState;
class StrategyInformation;
class WorldState;

class StrategyZAMP : public Strategy {
 public:
  typedef ShareMessageZAMP::ShareDataZAMP ShareData;

  static constexpr int NO_ONE_DRRIBLE = 0;
  static constexpr int UNIFORM_KEEPER_NUMBER = 1;
  static constexpr double HURRY_START_TIME = 270.0;  // s into a half
  static constexpr int POSITION_NUM = 10;            // formation points
  // m; a smaller ball distance counts as this in the dribbler ranking, so a mate standing
  // on the ball ranks first instead of making the ranking 0 / 0.
  static constexpr double MIN_BALL_DISTANCE = 1e-6;

  // The two kicks the game strategy asks for.
  enum KickKind { KICK_LONG = 0, KICK_QUICK, KICK_KIND_NUM };

  // How one kick is lined up and when it may start. Angles in degrees, distances in m,
  // walk speeds normalised.
  struct KickParameter {
    const char* command;        // motion word written into command_
    double distance;            // D: foot-to-ball distance at which the kick is made
    double side_offset;         // A: sideways shift of the kick line, positive to the left
    double degree_offset;       // L: added to the turn towards the shifted ball
    double window_below;        // the kick starts with the foot distance in
    double window_above;        //   [D - window_below, D + window_above]
    double angle_limit;         // accepted |off-line angle|
    double lateral_limit;       // accepted |turn + L|
    double max_forward_target;  // largest forward target that still allows the kick
    double min_forward_speed;   // smallest forward target while approaching
    double target_left_shift;   // the target moves this far left of K, seen from the ball
    // Largest |sideways target| that still allows the kick.
    double max_sideways_target = std::numeric_limits<double>::infinity();
    // Beyond D + this (m) the agent walks straight at the ball at full speed.
    double full_speed_range = std::numeric_limits<double>::infinity();
  };

  // An axis-aligned rectangle: centre, width along x, length along y (edges inside).
  struct Zone {
    double x;
    double y;
    double width;
    double length;
  };

  // The zones and the off-line divisor that Drrible steers by.
  struct DrribleZones {
    Zone central;                  // K: the central field
    Zone whole;                    // W: where the loose side-step rule holds
    double outside_whole_divisor;  // v for the default rule outside W
  };

  // How Position walks to the formation point.
  struct PositionWalk {
    // A ball behind the agent inside this box round it (m along x and y) makes the agent
    // pass it on its far side.
    double side_step_box_width;
    double side_step_box_length;
    double near_distance;     // m; closer to the point the agent steps onto it
    double near_min_forward;  // lower clamp of the forward target when near
    double near_turn_scale;   // degrees of ball direction per unit turn target when near
    // When near and facing the ball within this (degrees) the walk is stopped; 0 never.
    double near_stop_degree;
  };

  StrategyZAMP();
  ~StrategyZAMP() override;
  StrategyZAMP(const StrategyZAMP&) = delete;
  StrategyZAMP& operator=(const StrategyZAMP&) = delete;

  void Run() override;
  std::string MakeSay() override;
  void MakeSayInto(std::string& text) override;
  void UpdateHear() override;
  virtual bool IsKeeper() const;

  // The kick parameters of the given kick for a robot type; a type outside 0 to 4 gets the
  // parameters of type 0. Every strategy reads them from this one table.
  static const KickParameter& GetKickParameter(KickKind kind, int agent_type);

 protected:
  // The shared models, fetched once at the top of an operation.
  struct Models {
    const WorldState& world;
    AgentState& agent;
    const FieldState& field;
    const StrategyInformation& info;
  };

  virtual void UpdateState();
  virtual void Drrible();
  virtual void Position();
  virtual void AdjustKick();
  virtual void Evade(const Eigen::Vector2d& target);
  virtual Eigen::Vector2d DecidePosition();
  virtual void SettingPosition(Eigen::Vector2d positions[POSITION_NUM]);
  virtual void ControlHead();

  Models FetchModels() const;

  // Hears this cycle's team message and, when one was decoded, stores it and runs the
  // election; true when a record was filled.
  bool HearTeam();

  // The record of a team mate by uniform number; null ("nobody") for a number outside 1 to
  // 11. Every look-up of a record by uniform number goes through here.
  ShareData* AgentDataOf(int uniform_number);
  const ShareData* AgentDataOf(int uniform_number) const;
  static bool IsTeamUniformNumber(int uniform_number);

  // Move-state machine. The inputs of one cycle:
  struct MoveStateInput {
    bool is_drribler;   // this agent is the elected dribbler
    bool start_kick;    // K: start the kick approach
    bool give_up_kick;  // R: give up the kick approach
  };
  // The next move state from the current one; acts on nothing.
  static AgentState::MoveState NextMoveState(AgentState::MoveState current,
                                             const MoveStateInput& input);
  // Moves AgentState's move state on by one cycle with this cycle's K and R; whether this
  // agent is the dribbler comes from the election.
  void StepMoveState(const Models& m, bool start_kick, bool give_up_kick);
  // Seconds into the current half and whether the last 30 s of a half have begun.
  static double HalfTime(const WorldState& world);
  static bool IsHurryTime(const WorldState& world);
  // m: the smaller of the team's and the own nearest-opponent distance of the ball.
  double BallEnemyDistance(const StrategyInformation& info) const;
  // The ball is within 0.8 m of the foot and not behind the body.
  static bool IsBallNearFoot(const Models& m);
  // The clauses of K that do not need our own set play: open play away from the opponent
  // goal line, or a free ball in front of the opponent goal.
  bool CanKickInOpenPlay(const Models& m) const;
  // R: an opponent is too close to the ball to finish lining up.
  bool ShouldGiveUpKick(const Models& m) const;

  // Hearing and election.
  // Existing records first, the more recent ball sighting (relative to the message) first;
  // ties in uniform-number order.
  void SortByBallSighting();
  // Highest dribbler ranking first; ties in uniform-number order.
  void SortByDrriblePrimary();
  // Ranks every record from the trusted ball and elects the dribbler and the kick target.
  void ElectDrribler(const WorldState& world);
  // Anybody may dribble: false during the opponents' set plays and before kick-off.
  static bool CanDrrible(const WorldState& world);

  // Positioning helpers.
  // Writes the formation points in priority order, at most POSITION_NUM of them.
  static void Fill(Eigen::Vector2d positions[POSITION_NUM],
                   std::initializer_list<Eigen::Vector2d> points);
  // The point r m from `from` towards `toward`, turned by `turn` degrees about `from`.
  static Eigen::Vector2d PointToward(const Eigen::Vector2d& from, const Eigen::Vector2d& toward,
                                     double r, double turn = 0.0);
  // Q(r): the defensive point r m from the own goal area towards the ball.
  static Eigen::Vector2d DefencePoint(const Eigen::Vector2d& ball, double r);
  // The goal-kick point N: on the line from the ball towards the opponent goal centre at
  // ln(16 - bx) / ln(1.5) m from the ball; the ball itself where that is not defined.
  static Eigen::Vector2d GoalKickPoint(const Eigen::Vector2d& ball);
  // True while nobody is lining up or kicking and an opponent presses the elected
  // dribbler's ball.
  bool IsPressing(const StrategyInformation& info) const;
  // Walks to the point of DecidePosition in the given way, then evades.
  void PositionWith(const PositionWalk& walk);
  static const PositionWalk GAME_POSITION_WALK;

  // Dribbling with the given zones.
  void DrribleIn(const DrribleZones& zones);
  static const DrribleZones GAME_DRRIBLE_ZONES;

  // Kick approach pieces.
  KickKind ChooseKick(const Models& m) const;
  // The table's parameters of the kick for this robot, with the wide window of the last
  // 30 s of a half.
  static KickParameter GameKickParameter(const Models& m, KickKind kind);
  // The team target, shifted and replaced as the kick and the set play require.
  Eigen::Vector2d KickTarget(const Models& m, const KickParameter& kick) const;
  // `base` moved left by the kick's target shift, as seen from the ball towards the
  // opponent goal.
  Eigen::Vector2d ShiftedKickTarget(const Models& m, const KickParameter& kick,
                                    const Eigen::Vector2d& base) const;
  // Steers the line-up towards the target and asks for the kick once aligned.
  void LineUpKick(const Models& m, const KickParameter& kick, const Eigen::Vector2d& target);

  ShareMessage* share_message_;                 // the team codec, a ShareMessageZAMP; owned
  ShareData agent_data_[MAX_TEAM_AGENT_NUM];    // by uniform number - 1
  ShareData* current_agent_update_;             // filled from the latest heard message
  ShareData* most_ball_update_;                 // whose ball sighting the team trusts
  std::vector<ShareData*> sorting_agent_data_;  // the records in ranking order
  Eigen::Vector2d kick_target_coord_;           // m, the team's kick target
  double team_ball_nearest_enemy_dist_;         // m, ball to nearest opponent, whole team
  int drrible_agent_unum_;                      // elected dribbler; NO_ONE_DRRIBLE for nobody
  double change_drrible_time_;                  // s, server time of the last change

 private:
  friend struct StrategyZAMPTestAccess;

  // The fields of the last heard team message, kept so that hearing allocates nothing.
  std::vector<double> heard_values_;
  // The role assignment's input and output, kept so that positioning allocates nothing.
  wex::Test assignment_test_;
  std::vector<std::pair<double, std::pair<int, int>>> assignment_;
};

}  // namespace zamp
