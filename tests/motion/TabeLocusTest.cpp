#include <gtest/gtest.h>

#include <vector>

#include "motion/TabeLocus.h"

namespace zamp {
namespace {

std::vector<Eigen::Vector2d> Points(const LocusPoint::Data& data) {
  std::vector<Eigen::Vector2d> points;
  for (const LocusPoint::PointDegree& p : data.targets) {
    points.emplace_back(p.x_, p.y_);
    EXPECT_EQ(p.degree_lj5_, 0.0);
  }
  return points;
}

TEST(TabeLocusTest, ConstructionTakesTheFirstForwardPointsAndEightStepsCloseTheLoop) {
  TabeLocus locus;
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(23, -152));
  EXPECT_EQ(locus.GetLeftTarget(), Eigen::Vector2d(-38, -134));
  EXPECT_EQ(locus.GetCurrentCycle(), 1);
  locus.UpdatePoint();
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(23, -142));
  EXPECT_EQ(locus.GetLeftTarget(), Eigen::Vector2d(-40, -145));
  for (int i = 0; i < 7; ++i) locus.UpdatePoint();
  EXPECT_EQ(locus.GetCurrentCycle(), 1);
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(23, -152));
}

struct BuiltInLocus {
  LocusPoint::LocusType type;
  std::vector<Eigen::Vector2d> points;
  double center_y;
  double step_length;
};

TEST(TabeLocusTest, BuiltInLociHoldTheirPointsAndStatistics) {
  const std::vector<Eigen::Vector2d> forward = {{23, -152},  {23, -142},  {2, -138},   {-16, -136},
                                                {-38, -134}, {-40, -145}, {-19, -149}, {1, -152}};
  const std::vector<BuiltInLocus> expected = {
      {LocusPoint::LOCUS_FORWORD, forward, -143.5, 63},
      // The backward locus retraces the forward one but keeps its own text's statistics.
      {LocusPoint::LOCUS_BACK, {forward.rbegin(), forward.rend()}, -149.875, 51},
      {LocusPoint::LOCUS_STAMP_DETAIL,
       {{0, -174}, {6, -165}, {6, -156}, {0, -150}, {-12, -156}, {-12, -165}},
       -161,
       18},
      {LocusPoint::LOCUS_STAMP_SLOW,
       {{0, -170},
        {5, -165},
        {5, -160},
        {5, -155},
        {5, -150},
        {0, -145},
        {-5, -150},
        {-5, -155},
        {-5, -160},
        {-5, -165}},
       -157.5,
       10},
  };
  TabeLocus locus;
  ASSERT_EQ(locus.GetLocuses().size(), expected.size());
  for (const BuiltInLocus& e : expected) {
    const LocusPoint::Data& data = locus.GetLocuses()[e.type];
    EXPECT_EQ(Points(data), e.points) << e.type;
    EXPECT_NEAR(data.center_y, e.center_y, 1e-12) << e.type;
    EXPECT_NEAR(data.step_length, e.step_length, 1e-12) << e.type;
  }
}

}  // namespace
}  // namespace zamp
