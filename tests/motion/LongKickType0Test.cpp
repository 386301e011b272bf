#include <gtest/gtest.h>

#include <limits>

#include "motion/LongKickType0.h"
#include "motion/MotionLoopTest.h"

namespace zamp {
namespace {

class LongKickType0Test : public MotionLoopTest {
 protected:
  // Target of rlj3 in the "left_fix" step, degrees.
  double SwingTarget() const { return kick_.GetSequence().at(5).parts.at(8).degree; }

  LongKickType0 kick_;
};

TEST_F(LongKickType0Test, OnlyTheKickChallengeWaitsLongerInTheFirstStep) {
  PlaceBall(Eigen::Vector3d(7.0, 0.0, 0.0));
  EXPECT_EQ(103, PlayToEnd(kick_));
  EXPECT_DOUBLE_EQ(-27.8718, SwingTarget());
  kick_.Reset();
  kick_.SetKickChallenge(true);
  EXPECT_EQ(128, PlayToEnd(kick_));
  kick_.Reset();
  EXPECT_EQ(128, PlayToEnd(kick_));
}

TEST_F(LongKickType0Test, KickChallengeAimsTheSwingByTheBallsDistanceFromTheCentre) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    Eigen::Vector3d ball;  // m, team frame
    double swing;          // degrees
  } cases[] = {
      {{6.95, 0.0, 0.0}, -50.0},                                   // 7.05 m counts as 7
      {{5.9, 0.0, 0.0}, -50.0},                                    // 6.0 counts as 6
      {{0.0, -7.95, 0.0}, -23.0},                                  // 8.05 counts as 8
      {{10.45, 0.0, 0.0}, -23.0},                                  // 10.55 counts as 10
      {{5.85, 0.0, 0.0}, -27.8718},  {{3.0, 4.0, 9.0}, -27.8718},  // the height does not count: 5 m
      {{10.95, 0.0, 0.0}, -27.8718}, {{nan, 0.0, 0.0}, -27.8718},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ball.transpose());
    LongKickType0 kick;
    kick.SetKickChallenge(true);
    PlaceBall(c.ball);
    Step(kick);
    EXPECT_DOUBLE_EQ(c.swing, kick.GetSequence().at(5).parts.at(8).degree);
    EXPECT_EQ(50, kick.GetSequence().at(0).end_time);
  }
}

TEST_F(LongKickType0Test, AnAdjustedSwingStaysForLaterPlays) {
  kick_.SetKickChallenge(true);
  PlaceBall(Eigen::Vector3d(7.9, 0.0, 0.0));
  PlayToEnd(kick_);
  ASSERT_DOUBLE_EQ(-23.0, SwingTarget());

  kick_.Reset();
  PlaceBall(Eigen::Vector3d(13.0, 0.0, 0.0));
  PlayToEnd(kick_);
  EXPECT_DOUBLE_EQ(-23.0, SwingTarget());
}

}  // namespace
}  // namespace zamp
