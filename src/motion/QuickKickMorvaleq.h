// A kick taken out of walking. It keeps stepping the walk engine it shares with the match
// agent until the support foot lands (or 21 cycles have passed), leans over that foot,
// draws the kicking leg back and then swings it forward at full speed until the measured
// hip pitch passes 69 degrees. Reads the field model's ball (horizontal angle, degrees,
// positive to the left) and AgentState's foot contact and joint angles (degrees);
// commands joints through the shared JointController and the walk engine.
#pragma once

#include <memory>

#include "motion/LegJoints.h"
#include "motion/MotionSequenceDirect.h"

namespace zamp {

class Walk;

class QuickKickMorvaleq : public MotionSequenceDirect<QuickKickMorvaleq> {
 public:
  explicit QuickKickMorvaleq(std::shared_ptr<Walk> walk);
  ~QuickKickMorvaleq() override;

  void Run() override;

 private:
  void SelectKick();
  void SettingFoot();
  void MovePivot();
  void ReadyLeft();
  void FireLeft();
  void ReadyRight();
  void FireRight();
  // Rolls the support leg under the body, on the side opposite the kicking foot.
  void LeanOverSupportFoot(double gain);
  // The ready and fire steps of either foot, written for a left-foot kick and mirrored.
  void Ready(const LegJoints& kicking, const LegJoints& support);
  void Fire(const LegJoints& kicking, const LegJoints& support);

  const int LEFT_FOOT = 3;
  const int RIGHT_FOOT = 5;
  const int END = 7;
  const int WAIT_COUNT = 5;
  const int WALKING_SYCLE_HALF = 4;
  std::shared_ptr<Walk> walk_;
  int time_out;  // cycles spent waiting for the support foot
  bool is_kick_left_;
};

}  // namespace zamp
