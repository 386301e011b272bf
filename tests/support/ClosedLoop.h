// Closes the loop between the joint controller and the body model without a server, so
// motions can be run for many cycles in a test. Each Step is one agent cycle:
//
//   perceive: the simulated joint angles go out as HJ elements of a perception text
//             (with the server time) through the real Parser, RawStorage, WorldState and
//             AgentState updates;
//   command:  the caller's callback steps its motion, which sets joint speeds;
//   collect:  the commanded speeds are kept and the controller is reset, as the effector
//             does after sending them;
//   move:     each angle advances by speed x 0.02 s (rad/s -> degrees), clamped to the
//             joint's range; the server time advances by 0.02 s.
//
// The robot is a kinematic model only: no gravity, no contact, no inertia. Construction
// installs fresh shared Parser, RawStorage, WorldState, AgentState and JointController
// instances (freeing the previous test's), so build the motion under test afterwards.
//
//   zamp::test::ClosedLoop loop;
//   zamp::TabeWalk walk;
//   walk.SettingSpeed(1, 0, 0);
//   for (int i = 0; i < 500; ++i) loop.Step([&] { walk.Run(); });
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "core/const.h"

namespace zamp {
namespace test {

class ClosedLoop {
 public:
  explicit ClosedLoop(AgentTypeID agent_type = AGENT_TYPE_STANDARD);

  // Runs one cycle; extra_elements (perception text, such as a GYR element) are sent along
  // with the joint angles.
  void Step(const std::function<void()>& command, const std::string& extra_elements = "");

  // The play mode word that the next Steps send ("PlayOn" until set).
  void SetPlayMode(const std::string& play_mode) { play_mode_ = play_mode; }
  // Sets the simulated angle that the next Step perceives, clamped to the joint's range.
  void SetJointDegree(int joint_id, double degree);
  // The simulated angle after the last Step: what the next Step perceives (degrees).
  double GetJointDegree(int joint_id) const { return degrees_[joint_id]; }
  // The speeds commanded in the last Step (rad/s), before the controller reset them.
  double GetCommandedSpeed(int joint_id) const { return speeds_[joint_id]; }
  // Server time that the next Step sends (s).
  double GetServerTime() const { return server_time_; }
  int GetCycleCount() const { return cycle_count_; }
  // Every speed of the last Step is finite and within its joint's limit, and the
  // controller's last targets are finite; the largest speed raises max_speed_seen.
  ::testing::AssertionResult SpeedsWithinLimits(double& max_speed_seen) const;
  const std::string& GetLastPerception() const { return last_perception_; }

 private:
  double Clamp(int joint_id, double degree) const;

  bool with_toes_;
  std::array<double, HINGE_JOINT_NUM> degrees_;  // degrees, simulated joint angles
  std::array<double, HINGE_JOINT_NUM> speeds_;   // rad/s, commanded in the last cycle
  double server_time_;                           // s
  int cycle_count_;
  std::string last_perception_;
  std::string play_mode_;
};

}  // namespace test
}  // namespace zamp
