// The one place where motions, walks and agents turn a target angle into the joint speed
// the server applies during the next cycle. Every joint must be set anew each cycle: the
// effector builder sends the speeds and calls Reset, which zeroes them, so a joint that
// nothing commands holds still.
//
// Reads: AgentState's joint angles (degrees) and, once at creation, its robot type.
// Speeds in radians per second, angles in degrees, one cycle 0.02 s.
#pragma once

#include "core/const.h"

namespace zamp {

class JointController {
 public:
  static const int HISTORY_TARGET_DEGREE_NUM = 2;

  JointController();
  virtual ~JointController();
  JointController(const JointController&) = delete;
  JointController& operator=(const JointController&) = delete;

  void SettingRelativeSpeed(int id, double target_degree, double gain);
  void SettingRelativeAverageSpeed(int id, double target_degree, double gain);
  void SettingFixedSpeed(int id, double target_degree, double speed);
  void SettingJustTargetDegree(int id, double target_degree, double power, double error_weight);
  double LimitTargetDegree(int id, double degree) const;
  bool CheckAllArrived() const;
  bool IsArrived(int id) const;
  void Reset();
  void Update();

  void SetSpeed(int id, double speed) { joint_speeds_[id] = speed; }
  double GetSpeed(int id) const { return joint_speeds_[id]; }
  double GetPrevSpeed(int id) const { return prev_joint_speeds_[id]; }
  void SetTargetDegree(int id, double target_degree) { target_degrees_[id] = target_degree; }
  double GetTargetDegree(int id) const { return target_degrees_[id]; }
  double GetPrevTargetDegree(int history, int id) const { return prev_target_degrees_[history][id]; }
  double GetMaxDegree(int id) const { return max_degrees_[id]; }
  double GetMinDegree(int id) const { return min_degrees_[id]; }
  double GetMaxVelDegree(int id) const { return max_angular_vel_[id]; }

 private:
  double joint_speeds_[HINGE_JOINT_NUM];       // rad/s, to send this cycle
  double prev_joint_speeds_[HINGE_JOINT_NUM];  // rad/s, sent last cycle
  double target_degrees_[HINGE_JOINT_NUM];     // degrees
  double prev_target_degrees_[HISTORY_TARGET_DEGREE_NUM][HINGE_JOINT_NUM];  // degrees
  double max_angular_vel_[HINGE_JOINT_NUM];    // rad/s
  double max_degrees_[HINGE_JOINT_NUM];        // degrees
  double min_degrees_[HINGE_JOINT_NUM];        // degrees
  double permissible_range_;                   // degrees, arrival band
};

}  // namespace zamp
