#include "support/ClosedLoop.h"

#include <algorithm>
#include <cmath>

#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"
#include "support/PerceptionText.h"
#include "support/SharedInstances.h"

namespace zamp {
namespace test {

namespace {

const double PI = 3.141592653589793;

}  // namespace

ClosedLoop::ClosedLoop(AgentTypeID agent_type)
    : with_toes_(agent_type == AGENT_TYPE_TOENAIL),
      server_time_(0.0),
      cycle_count_(0),
      play_mode_("PlayOn") {
  degrees_.fill(0.0);
  speeds_.fill(0.0);
  Renew<JointController>();
  RenewAndCreate<Parser, RawStorage, WorldState, AgentState>();
  // The controller reads the robot type when it is created.
  Singleton<AgentState>::GetInstance()->SetAgentType(agent_type);
  Singleton<JointController>::Create();
}

void ClosedLoop::Step(const std::function<void()>& command, const std::string& extra_elements) {
  last_perception_ = PerceptionText()
                         .Time(server_time_)
                         .GameState(server_time_, play_mode_)
                         .Joints(degrees_, with_toes_)
                         .Element(extra_elements)
                         .Str();
  Singleton<Parser>::GetInstance()->Update(last_perception_);
  Singleton<RawStorage>::GetInstance()->Update();
  Singleton<WorldState>::GetInstance()->Update();
  Singleton<AgentState>::GetInstance()->Update();

  if (command) command();

  JointController& joint = *Singleton<JointController>::GetInstance();
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) speeds_[id] = joint.GetSpeed(id);
  joint.Reset();

  for (int id = 0; id < HINGE_JOINT_NUM; ++id) {
    degrees_[id] = Clamp(id, degrees_[id] + speeds_[id] * UPDATE_INTERVAL_TIME * 180.0 / PI);
  }
  ++cycle_count_;
  // Counted rather than summed, so the clock does not drift over long runs.
  server_time_ = cycle_count_ * UPDATE_INTERVAL_TIME;
}

void ClosedLoop::SetJointDegree(int joint_id, double degree) {
  degrees_[joint_id] = Clamp(joint_id, degree);
}

double ClosedLoop::Clamp(int joint_id, double degree) const {
  const JointController& joint = *Singleton<JointController>::GetInstance();
  return std::min(std::max(degree, joint.GetMinDegree(joint_id)), joint.GetMaxDegree(joint_id));
}

::testing::AssertionResult ClosedLoop::SpeedsWithinLimits(double& max_speed_seen) const {
  const JointController& joint = *Singleton<JointController>::GetInstance();
  for (int id = 0; id < HINGE_JOINT_NUM; ++id) {
    const double speed = speeds_[id];
    if (!std::isfinite(speed) || std::fabs(speed) > joint.GetMaxVelDegree(id)) {
      return ::testing::AssertionFailure()
             << "joint " << id << " commanded " << speed << " rad/s in cycle " << cycle_count_;
    }
    if (!std::isfinite(joint.GetPrevTargetDegree(0, id))) {
      return ::testing::AssertionFailure()
             << "joint " << id << " has a non-finite target in cycle " << cycle_count_;
    }
    max_speed_seen = std::max(max_speed_seen, std::fabs(speed));
  }
  return ::testing::AssertionSuccess();
}

}  // namespace test
}  // namespace zamp
