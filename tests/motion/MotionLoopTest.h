// Fixture of the motion tests that play a motion through the closed loop: fresh shared
// model instances, a field model whose ball the test places, and a way to play a motion
// to its end one agent cycle at a time.
#pragma once

#include <gtest/gtest.h>

#include <Eigen/Core>
#include <string>

#include "core/JointController.h"
#include "core/Singleton.h"
#include "model/FieldState.h"
#include "model/SimpleFieldState.h"
#include "motion/MotionSequence.h"
#include "support/ClosedLoop.h"
#include "support/FieldTestAccess.h"

namespace zamp {

class MotionLoopTest : public ::testing::Test {
 protected:
  // The field state reads the body model when it is built, so it comes after the loop's
  // fresh instances.
  MotionLoopTest() {
    delete Singleton<FieldState>::GetInstance();
    Singleton<FieldState>::ResetForTest();
    Singleton<FieldState>::Create<SimpleFieldState>();
  }

  FieldState& Field() { return *Singleton<FieldState>::GetInstance(); }
  const JointController& Joints() { return *Singleton<JointController>::GetInstance(); }

  // position: m, team frame.
  void PlaceBall(const Eigen::Vector3d& position) { FieldTestAccess::PlaceBall(Field(), position); }
  // degrees, positive to the left.
  void SetBallHorizonDegree(double degree) {
    FieldTestAccess::SetBallHorizonDegree(Field(), degree);
  }

  // extra_elements: perception text sent along with the joint angles, such as FRP.
  void Step(MotionSequence& motion, const std::string& extra_elements = "") {
    loop_.Step([&] { motion.Run(); }, extra_elements);
  }

  // Cycles until IsEnd, counting the cycle that ends the motion; limit + 1 when it has not
  // ended after limit cycles.
  int PlayToEnd(MotionSequence& motion, int limit = 1000) {
    for (int cycles = 1; cycles <= limit; ++cycles) {
      Step(motion);
      if (motion.IsEnd()) return cycles;
    }
    return limit + 1;
  }

  // The target the motion gave a joint in the last cycle; 0 when it gave none.
  double LastTarget(int joint_id) { return Joints().GetPrevTargetDegree(0, joint_id); }

  test::ClosedLoop loop_;
};

}  // namespace zamp
