#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "motion/LocusPoint.h"

namespace zamp {
namespace {

const double EPS = 1e-9;

TEST(LocusPointTest, PointTextGivesPointsAndStatistics) {
  const struct {
    std::string text;
    std::vector<LocusPoint::PointDegree> points;
    double center_y;
    double step_length;
  } cases[] = {
      // Text after the last newline is ignored; fields are read like strtod, extra ones
      // ignored, missing ones 0.
      {"3,-140,0\n7,-150,0", {{3, -140, 0}}, -140, 0},
      {" 4x, -6 mm ,\t2deg,9\n", {{4, -6, 2}}, -6, 0},
      {"5\n,-3\n", {{5, 0, 0}, {0, -3, 0}}, -1.5, 5},
      {"nan,inf,-inf\n1e999,-20,0\n", {{0, 0, 0}, {0, -20, 0}}, -10, 0},
      {"\n-10,-100,0\n", {{0, 0, 0}, {-10, -100, 0}}, -50, 10},
      // No points: the mean height is 0 rather than 0/0, the extent keeps its seeds.
      {"23,-152,0", {}, 0, 19999.8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    LocusPoint locus;
    LocusPoint::Data data;
    locus.InputDirectCSV(c.text, data);
    ASSERT_EQ(data.targets.size(), c.points.size());
    for (std::size_t i = 0; i < c.points.size(); ++i) {
      EXPECT_EQ(data.targets[i].x_, c.points[i].x_) << i;
      EXPECT_EQ(data.targets[i].y_, c.points[i].y_) << i;
      EXPECT_EQ(data.targets[i].degree_lj5_, c.points[i].degree_lj5_) << i;
    }
    EXPECT_NEAR(data.center_y, c.center_y, EPS);
    EXPECT_NEAR(data.step_length, c.step_length, EPS);
  }
}

TEST(LocusPointTest, EmptyLocusIsNeverStepped) {
  LocusPoint locus;
  locus.InputDirectCSV("");
  locus.UpdatePoint();
  EXPECT_EQ(locus.GetCurrentCycle(), 0);
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d::Zero());
  LocusPoint no_loci;
  no_loci.SetLocusType(LocusPoint::LOCUS_STAMP_SLOW);
  no_loci.UpdatePoint();
  EXPECT_EQ(no_loci.GetCurrentCycle(), 0);
}

TEST(LocusPointTest, IndexesWrapWhenSwitchingToAShorterLocus) {
  LocusPoint locus;
  locus.InputDirectCSV("0,0,0\n1,0,0\n2,0,0\n3,0,0\n4,0,0\n5,0,0\n6,0,0\n7,0,0\n");
  locus.InputDirectCSV("10,0,0\n11,0,0\n12,0,0\n");
  for (int i = 0; i < 7; ++i) locus.UpdatePoint();
  locus.SetLocusType(LocusPoint::LOCUS_BACK);
  locus.UpdatePoint();
  // 7 wraps to point 1 of three; the left foot is one point (3 / 2) later.
  EXPECT_EQ(locus.GetRightTarget().x(), 11);
  EXPECT_EQ(locus.GetLeftTarget().x(), 12);
  EXPECT_EQ(locus.GetCurrentCycle(), 2);
  EXPECT_EQ(locus.GetBeforeLocusType(), LocusPoint::LOCUS_BACK);

  // Setting points wraps both indexes and skips an empty locus.
  LocusPoint::Data a;
  LocusPoint::Data b;
  locus.InputDirectCSV("1,-1,0\n2,-2,0\n", a);
  locus.InputDirectCSV("5,-5,3\n6,-6,4\n7,-7,5\n", b);
  locus.SettingPointAndDegreeLJ(3, -1, a, b);
  EXPECT_EQ(locus.GetLeftTarget(), Eigen::Vector2d(2, -2));
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(7, -7));
  EXPECT_DOUBLE_EQ(locus.GetRightDegreeLJ5(), 5);
  locus.SettingPointAndDegreeLJ(0, 0, LocusPoint::Data(), a);
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(7, -7));
}

TEST(LocusPointTest, FilesAreReadLineByLineUpToALongLine) {
  const std::string base = ::testing::TempDir() + "zamp_locus";
  const struct {
    std::string content;
    std::vector<double> x;
  } cases[] = {
      // The last line counts without its newline.
      {"10,-100,0\n-20,-120,2.5\n4,-110,0", {10, -20, 4}},
      // A line of more than 99 characters ends the reading.
      {"1,-1,0\n" + std::string(98, ' ') + "2\n" + std::string(99, ' ') + "3\n4,-4,0\n", {1, 2}},
  };
  for (const auto& c : cases) {
    std::ofstream(base + ".csv") << c.content;
    LocusPoint locus;
    locus.InputFileCSV(base);
    ASSERT_EQ(locus.GetLocuses().size(), 1u);
    const LocusPoint::Data& data = locus.GetLocuses()[0];
    ASSERT_EQ(data.targets.size(), c.x.size());
    for (std::size_t i = 0; i < c.x.size(); ++i) EXPECT_EQ(data.targets[i].x_, c.x[i]);
  }
  std::remove((base + ".csv").c_str());
  // A missing file leaves a given locus unchanged.
  LocusPoint locus;
  LocusPoint::Data data;
  locus.InputDirectCSV("1,-1,0\n", data);
  locus.InputFileCSV(base + "_missing", data);
  EXPECT_EQ(data.targets.size(), 1u);
}

// The measured ellipse every oval name gives: centre, slope (rad), semi-axes (mm).
const double X0 = -18.5653, Y0 = -150.939, SLOPE = -0.244222, W = 36.4375, H = 19.5482;

// The point at phase p (radians) of an ellipse.
Eigen::Vector2d OnEllipse(double x0, double y0, double slope, double w, double h, double p) {
  return Eigen::Vector2d(
      w * std::cos(p) * std::cos(slope) - h * std::sin(p) * std::sin(slope) + x0,
      w * std::cos(p) * std::sin(slope) + h * std::sin(p) * std::cos(slope) + y0);
}

TEST(LocusPointOvalTest, OvalPointsRunRoundTheMeasuredEllipseWithTheFeetOpposite) {
  LocusPoint locus;
  locus.SettingOvalPoint(0);  // no ovals yet: nothing happens
  EXPECT_EQ(locus.GetCurrentCycle(), 0);
  locus.InputFileCSVOval("any/name");
  const LocusPoint::Oval& o = locus.GetOvals().at(0);
  EXPECT_EQ(Eigen::Vector4d(o.x, o.y, o.slope, o.width), Eigen::Vector4d(X0, Y0, SLOPE, W));
  EXPECT_EQ(o.height, H);
  EXPECT_FALSE(o.reverse);
  EXPECT_EQ(o.speed, 60);
  locus.SettingOvalPoint(1);  // an index past the ovals
  EXPECT_EQ(locus.GetCurrentCycle(), 0);
  // 60 degrees per cycle; the left foot half a turn ahead.
  for (double right : {0.0, 60.0}) {
    locus.SettingOvalPoint(0);
    const double p = right * M_PI / 180.0;
    EXPECT_TRUE(locus.GetRightTarget().isApprox(OnEllipse(X0, Y0, SLOPE, W, H, p), EPS));
    EXPECT_TRUE(locus.GetLeftTarget().isApprox(OnEllipse(X0, Y0, SLOPE, W, H, p + M_PI), EPS));
  }
  EXPECT_EQ(locus.GetCurrentCycle(), 2);
}

TEST(LocusPointOvalTest, FitRecoversTheEllipseThroughItsPointsAndSkipsDegenerateOnes) {
  std::vector<LocusPoint::PointDegree> points;
  for (int i = 0; i < 8; ++i) {
    const Eigen::Vector2d p = OnEllipse(X0, Y0, SLOPE, W, H, 2.0 * M_PI * i / 8);
    points.emplace_back(p.x(), p.y(), 0.0);
  }
  // x^2 - y^2 = 100 is a hyperbola: its second semi-axis is the root of a negative number.
  std::vector<LocusPoint::PointDegree> hyperbola;
  for (double y : {-20.0, -10.0, 0.0, 10.0}) {
    hyperbola.emplace_back(std::sqrt(100 + y * y), y, 0.0);
    hyperbola.emplace_back(-std::sqrt(100 + y * y), y, 0.0);
  }
  LocusPoint locus;
  locus.CreateOval({}, false);
  locus.CreateOval({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}, {5, 5, 0}, {6, 6, 0}}, false);
  locus.CreateOval(hyperbola, false);
  locus.CreateOval(points, true);
  ASSERT_EQ(locus.GetOvals().size(), 1u);
  const LocusPoint::Oval& o = locus.GetOvals()[0];
  EXPECT_TRUE(
      Eigen::Vector4d(o.x, o.y, o.width, o.height).isApprox(Eigen::Vector4d(X0, Y0, W, H), 1e-8));
  EXPECT_NEAR(o.slope, SLOPE, 1e-6);
  EXPECT_DOUBLE_EQ(o.speed, 40);
  // A reversed oval runs its phase the other way: cycle 1 is at -40 degrees.
  locus.SettingOvalPoint(0);
  locus.SettingOvalPoint(0);
  EXPECT_TRUE(locus.GetRightTarget().isApprox(
      OnEllipse(o.x, o.y, o.slope, o.width, o.height, -40.0 * M_PI / 180.0), EPS));
}

}  // namespace
}  // namespace zamp
