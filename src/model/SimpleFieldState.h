// The learning agents' field model: no filtering and no noise model for positions. The
// torso's orientation follows the gyroscope every cycle and is pulled a fixed share of the
// way towards the orientation measured from the landmark pairs seen in a vision cycle; the
// agent's position comes from the flags seen in that cycle, the ball and the other players
// from their sightings of that cycle.
// Objects that were not seen keep their last place: the perception store keeps sightings
// of unseen objects from other poses, which must never be combined with fresh ones.
// Speeds are displacements per vision cycle (m per 0.06 s, not per second), measured
// between successive sightings.
//
// A trainer move stands the robot upright in one cycle, which the gyroscope does not see,
// and the server applies it a few cycles after it is sent, the perceptions until then
// still showing the old pose. Place tells the model about such a move: from the first
// cycle in which the accelerometer shows the robot arrived until PLACEMENT_CYCLES cycles
// after the move, the orientation is the placed one; before it arrives the sensors lead as
// usual, so a robot still lying until the move lands reads as lying.
//
// Runs once per cycle after AgentState::Update. Reads: the perception store (seen objects,
// server time, vision flag) and AgentState (head pose in the torso frame, neck angles,
// gyroscope, accelerometer). Writes: its own objects and AgentState's rotation_ (degrees),
// coordnates_ (m) and speed_; never covariance_error_.
// Frames: torso (x right, y forward, z up) to team frame (attack towards +x).
#pragma once

#include <Eigen/Core>

#include "model/FieldState.h"

namespace zamp {

class DynamicFieldObject;

class SimpleFieldState : public FieldState {
 public:
  // A move shows in the perceptions mostly two to four cycles after it was sent, now and
  // then up to nine (the server takes a trainer command that arrives after an agent's
  // message one cycle later, and a perception shows the cycle before).
  static const int PLACEMENT_CYCLES = 10;
  // Tilt of the measured acceleration from the torso's z axis up to which the torso counts
  // as standing after a move, degrees: standing poses lean up to about 25, landing jolts
  // add some 10 more, a robot lying on the ground measures about 90.
  static constexpr double UPRIGHT_TILT = 50.0;
  // Below this the accelerometer measures a free fall, m/s^2 (a robot on the ground never
  // does).
  static constexpr double FREE_FALL = 1.0;
  // Share of the measured orientation error removed per vision cycle. A measurement whose
  // right axis comes from the product pairs (nearly parallel lines to points at the same
  // end of the field, the usual case) is often 10 to 30 degrees off; the gyroscope drifts
  // far less in the second or so this share needs to take up an error.
  static constexpr double MEASUREMENT_RATE = 0.1;

  SimpleFieldState();
  void Update() override;
  ~SimpleFieldState() override;

  // The trainer has been told this cycle to stand the robot upright facing direction
  // (degrees, team frame; 0 faces +x).
  void Place(double direction);

 private:
  // Whether the accelerometer (m/s^2) shows a moved robot arrived.
  static bool HasLanded(const Eigen::Vector3d& acceleration);
  void UpdateSelfAgent(AgentState& agent, double t);
  // Moves an object seen this cycle to its sighting, through the agent's position and
  // orientation; an unseen one stays.
  void PlaceSeen(DynamicFieldObject& object, const AgentState& agent) const;
  // A displacement since the sighting dt s ago, per vision cycle.
  static Eigen::Vector3d PerVisionCycle(const Eigen::Vector3d& displacement, double dt);

  bool known_ = false;             // a measurement or a placement has given the pose
  bool landed_ = false;            // the move of this placement has been seen to land
  int placement_cycles_ = 0;       // cycles left in which a move may still land or settle
  double placed_direction_ = 0.0;  // degrees, team frame
  double self_update_time_ = 0.0;  // s, the last vision cycle with a seen flag
};

}  // namespace zamp
