// The match agent's field model. Every cycle it turns the perception into team-frame
// estimates: the torso's orientation (gyroscope integration pulled 5 % per vision cycle
// towards the orientation measured from landmark pairs), the agent's own position and
// velocity, the ball and every visible part of the other players, each with a linear
// Kalman filter over (x, y, z, vx, vy, vz) in m and m/s.
//
// Runs once per cycle after AgentState::Update and before StrategyInformation::Update.
// Reads: the perception store (seen objects, lines, server time, vision flag), AgentState
// (head pose in the torso frame, neck angles, gyroscope of this and the last cycle, walk
// speeds), WorldState (play mode, server time). Writes: its own objects and AgentState's
// rotation_ (degrees), coordnates_ (m), speed_ (m/s) and covariance_error_.
// Vision arrives every third cycle; cycles without it only predict.
#pragma once

#include <Eigen/Core>
#include <vector>

#include "model/FieldState.h"
#include "model/KalmanFilter.h"

namespace zamp {

class AgentState;
class RawStorage;
class WorldState;

class KalmanFieldState : public FieldState {
 public:
  KalmanFieldState();
  void Update() override;
  ~KalmanFieldState() override;

 private:
  void UpdateRaw(const RawStorage& raw, const AgentState& agent);
  void UpdateRotation(const RawStorage& raw, const WorldState& world, AgentState& agent);
  void AdjustObserveGlobalRotation(const RawStorage& raw, const WorldState& world,
                                   AgentState& agent);
  void UpdateSelfAgent(const RawStorage& raw, AgentState& agent);
  void UpdateBall(const RawStorage& raw, const WorldState& world, const AgentState& agent);
  void UpdatePlayer(const RawStorage& raw, const AgentState& agent);

  // The measurement noise of an object turned from the torso frame into the team frame.
  KalmanMatrix FieldMeasureCovariance(const FieldObject& object) const;
  // The speed part of a measurement: the displacement since the last estimate over the time
  // since the last sighting, or the current speed estimate when that time is unusable.
  static Eigen::Vector3d MeasuredSpeed(const Eigen::Vector3d& location,
                                       const Eigen::Vector3d& before, double dt,
                                       const KalmanValue& current);

  // The line end points of this vision cycle in the head frame (m), kept for their storage.
  std::vector<Eigen::Vector3d> line_ends_;
};

}  // namespace zamp
