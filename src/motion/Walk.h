// Base of every walking engine. Callers ask for a velocity as three normalised target
// speeds (forward, sideways, turning; 1.0 is the engine's full speed on that axis) or ask
// for a stop; the engine's Run, called once per 0.02 s agent cycle while walking, ramps the
// current speeds towards the targets and turns them into joint commands through the shared
// JointController. Engines are held by std::shared_ptr<Walk>: the match agent and a walking
// kick step the same engine.
//
// Per cycle: a caller sets targets (SettingSpeed or the setters), then AdjustSpeed, or sets
// the stop flag; the agent calls Run once. Writes: JointController (Stop) and, in the
// engines, AgentState's published walk speeds.
#pragma once

#include <cmath>
#include <initializer_list>

namespace zamp {

class Walk {
 public:
  // One axis of the requested velocity, normalised.
  struct Speed {
    double target = 0.0;   // requested by callers
    double current = 0.0;  // used by the gait this cycle
    double accele = 0.0;   // change of current per cycle
    double min = -1.0;     // lower clamp of target
    double max = 1.0;      // upper clamp of target
  };

  // Half-width of the band inside which current counts as having reached target.
  static constexpr double SPEED_DEAD_BAND = 0.0005;
  // Current speeds strictly inside +-this are slow enough to stand still.
  static constexpr double STOP_SPEED_BAND = 0.05;

  Walk();
  virtual ~Walk();

  // One gait cycle.
  virtual void Run() = 0;
  // Clamps the targets and couples them: sideways and turning shrink while the robot
  // already moves forward (turning also while it moves sideways), and forward shrinks with
  // the sideways and turning requests. Call it after setting targets, before Run.
  virtual void AdjustSpeed();

  void SettingSpeed(double vertical, double horizon, double rotation);
  void SetVerticalSpeed(double speed) { vertical_.target = speed; }
  void SetHorizonSpeed(double speed) { horizon_.target = speed; }
  void SetRotationSpeed(double speed) { rotation_.target = speed; }
  double GetVerticalSpeed() const { return vertical_.target; }
  double GetHorizonSpeed() const { return horizon_.target; }
  double GetRotationSpeed() const { return rotation_.target; }
  double GetCurrentVerticalSpeed() const { return vertical_.current; }
  double GetCurrentHorizonSpeed() const { return horizon_.current; }
  double GetCurrentRotationSpeed() const { return rotation_.current; }
  void SetStop(bool stop) { stop_ = stop; }
  bool IsStop() const { return stop_; }

  // The next walk starts from rest; targets stay.
  void ResetCurrentSpeed();
  void InitSpeed(Speed& s, double accele, double min, double max);
  // Clamps every target into [min, max]; a target that is not a number becomes 0.
  void LimitTarget();
  // One acceleration step: current moves by whole accele steps, so it may end up
  // alternating on either side of a target that is not a whole number of steps away.
  void UpdateSpeed(Speed& s);
  // Commands the standing leg pose (the six leg pitch joints only).
  void Stop();

 protected:
  // A target that is not a finite number asks for no motion on its axis.
  void ZeroNonFiniteTargets() {
    for (Speed* s : {&vertical_, &horizon_, &rotation_}) {
      if (!std::isfinite(s->target)) s->target = 0.0;
    }
  }
  // Handles a pending stop request at the start of a gait cycle: the targets become 0 and
  // the request is consumed; when the current speeds already lie inside the stop band the
  // standing pose is sent, the speeds are reset and the result is true (no gait this
  // cycle). Otherwise the gait runs on while the speeds ramp down.
  bool ConsumeStopRequest() {
    if (!stop_) return false;
    SettingSpeed(0.0, 0.0, 0.0);
    stop_ = false;
    if (std::fabs(vertical_.current) < STOP_SPEED_BAND &&
        std::fabs(horizon_.current) < STOP_SPEED_BAND &&
        std::fabs(rotation_.current) < STOP_SPEED_BAND) {
      Stop();
      ResetCurrentSpeed();
      return true;
    }
    return false;
  }

  Speed vertical_;  // forward (+) / backward (-)
  Speed horizon_;   // sideways
  Speed rotation_;  // turning
  bool stop_;       // one-shot request, consumed by the next Run
};

}  // namespace zamp
