#include <gtest/gtest.h>

#include <string>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/WorldState.h"
#include "support/ClosedLoop.h"

namespace zamp {
namespace {

const double DEGREES_PER_RAD_PER_S = 0.02 * 180.0 / 3.141592653589793;  // one cycle

JointController& Joint() { return *Singleton<JointController>::GetInstance(); }
const AgentState& Agent() { return *Singleton<AgentState>::GetInstance(); }

TEST(ClosedLoopTest, CommandedSpeedMovesTheJointByOneCycleInsideItsRange) {
  test::ClosedLoop loop;
  loop.Step([] { Joint().SetSpeed(HJ_HJ1, 1.0); });
  EXPECT_DOUBLE_EQ(loop.GetCommandedSpeed(HJ_HJ1), 1.0);
  EXPECT_NEAR(loop.GetJointDegree(HJ_HJ1), DEGREES_PER_RAD_PER_S, 1e-12);
  // The effector's reset already happened.
  EXPECT_EQ(Joint().GetSpeed(HJ_HJ1), 0.0);
  double perceived = -1.0;
  loop.Step([&perceived] { perceived = Agent().GetJointDegree(HJ_HJ1); });
  EXPECT_NEAR(perceived, DEGREES_PER_RAD_PER_S, 1e-12);
  EXPECT_NEAR(Singleton<WorldState>::GetInstance()->GetServerTime(), 0.02, 1e-12);

  // The right shoulder's roll lives in [-95, -1]; 0 is outside.
  loop.SetJointDegree(HJ_RAJ2, 0.0);
  EXPECT_EQ(loop.GetJointDegree(HJ_RAJ2), -1.0);
  for (int i = 0; i < 30; ++i) loop.Step([] { Joint().SetSpeed(HJ_RAJ2, -6.0); });
  EXPECT_EQ(loop.GetJointDegree(HJ_RAJ2), -95.0);
}

TEST(ClosedLoopTest, ToeJointsArePerceivedOnlyByRobotType4) {
  test::ClosedLoop standard;
  standard.Step(nullptr);
  EXPECT_EQ(standard.GetLastPerception().find("rlj7"), std::string::npos);
  test::ClosedLoop toes(AGENT_TYPE_TOENAIL);
  toes.SetJointDegree(HJ_RLJ7, 20.0);
  toes.Step(nullptr);
  EXPECT_DOUBLE_EQ(Agent().GetJointDegree(HJ_RLJ7), 20.0);
}

}  // namespace
}  // namespace zamp
