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

struct PointTextCase {
  const char* name;
  std::string text;
  std::vector<LocusPoint::PointDegree> points;
  double center_y;
  double step_length;
};

class PointTextTest : public ::testing::TestWithParam<PointTextCase> {};

TEST_P(PointTextTest, ParsesPointsAndStatistics) {
  const PointTextCase& c = GetParam();
  LocusPoint locus;
  LocusPoint::Data data;
  locus.InputDirectCSV(c.text, data);
  ASSERT_EQ(data.targets.size(), c.points.size());
  for (std::size_t i = 0; i < c.points.size(); ++i) {
    EXPECT_NEAR(data.targets[i].x_, c.points[i].x_, EPS) << i;
    EXPECT_NEAR(data.targets[i].y_, c.points[i].y_, EPS) << i;
    EXPECT_NEAR(data.targets[i].degree_lj5_, c.points[i].degree_lj5_, EPS) << i;
  }
  EXPECT_NEAR(data.center_y, c.center_y, EPS);
  EXPECT_NEAR(data.step_length, c.step_length, EPS);
}

INSTANTIATE_TEST_SUITE_P(
    LocusPoint, PointTextTest,
    ::testing::Values(
        PointTextCase{
            "TextAfterLastNewlineIsIgnored", "3,-140,0\n7,-150,0", {{3, -140, 0}}, -140, 0},
        PointTextCase{"ThirdFieldIsReadWhole", "1,-2,1.5\n", {{1, -2, 1.5}}, -2, 0},
        PointTextCase{"MissingFieldsReadZero", "5\n,-3\n", {{5, 0, 0}, {0, -3, 0}}, -1.5, 5},
        PointTextCase{"ExtraFieldsAreIgnored", "1,2,3,4,5\n", {{1, 2, 3}}, 2, 0},
        PointTextCase{
            "BlanksAndTrailingTextAreSkipped", " 4x, -6 mm ,\t2deg\n", {{4, -6, 2}}, -6, 0},
        PointTextCase{"NonFiniteNumbersReadZero",
                      "nan,inf,-inf\n1e999,-20,0\n",
                      {{0, 0, 0}, {0, -20, 0}},
                      -10,
                      0},
        PointTextCase{
            "EmptyLineIsAPointAtTheHip", "\n-10,-100,0\n", {{0, 0, 0}, {-10, -100, 0}}, -50, 10},
        // No points: the mean height is 0 rather than 0/0, the extent keeps its seeds.
        PointTextCase{"TextWithoutNewlineGivesNoPoints", "23,-152,0", {}, 0, 19999.8},
        PointTextCase{"EmptyText", "", {}, 0, 19999.8}),
    [](const ::testing::TestParamInfo<PointTextCase>& param_info) {
      return param_info.param.name;
    });

TEST(LocusPointTest, DirectTextReplacesThePointsOfTheGivenLocus) {
  LocusPoint locus;
  locus.InputDirectCSV("1,-1,0\n2,-2,0\n3,-3,0\n");
  locus.InputDirectCSV("10,-10,0\n", locus.GetLocuses()[0]);
  ASSERT_EQ(locus.GetLocuses().size(), 1u);
  ASSERT_EQ(locus.GetLocuses()[0].targets.size(), 1u);
  EXPECT_DOUBLE_EQ(locus.GetLocuses()[0].targets[0].x_, 10);
  EXPECT_DOUBLE_EQ(locus.GetLocuses()[0].center_y, -10);
}

TEST(LocusPointTest, UpdatePointGivesTheLeftFootHalfAPeriodLater) {
  LocusPoint locus;
  locus.InputDirectCSV("0,-1,0.5\n1,-2,0\n2,-3,0\n3,-4,1\n4,-5,0\n5,-6,0\n");
  const int expected_right[] = {0, 1, 2, 3, 4, 5, 0};
  for (int right : expected_right) {
    locus.UpdatePoint();
    const int left = (right + 3) % 6;
    EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(right, -1 - right));
    EXPECT_EQ(locus.GetLeftTarget(), Eigen::Vector2d(left, -1 - left));
    EXPECT_EQ(locus.GetCurrentCycle(), (right + 1) % 6);
  }
  EXPECT_DOUBLE_EQ(locus.GetRightDegreeLJ5(), 0.5);
  EXPECT_DOUBLE_EQ(locus.GetLeftDegreeLJ5(), 1.0);
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
  EXPECT_EQ(no_loci.GetBeforeLocusType(), LocusPoint::LOCUS_FORWORD);
}

TEST(LocusPointTest, CounterWrapsWhenSwitchingToAShorterLocus) {
  LocusPoint locus;
  locus.InputDirectCSV("0,0,0\n1,0,0\n2,0,0\n3,0,0\n4,0,0\n5,0,0\n6,0,0\n7,0,0\n");
  locus.InputDirectCSV("10,0,0\n11,0,0\n12,0,0\n");
  for (int i = 0; i < 7; ++i) locus.UpdatePoint();
  ASSERT_EQ(locus.GetCurrentCycle(), 7);
  locus.SetLocusType(LocusPoint::LOCUS_BACK);
  locus.UpdatePoint();
  // 7 wraps to point 1 of three; the left foot is one point (3 / 2) later.
  EXPECT_EQ(locus.GetRightTarget().x(), 11);
  EXPECT_EQ(locus.GetLeftTarget().x(), 12);
  EXPECT_EQ(locus.GetCurrentCycle(), 2);
  EXPECT_EQ(locus.GetBeforeLocusType(), LocusPoint::LOCUS_BACK);
}

TEST(LocusPointTest, SettingPointWrapsIndexesAndSkipsEmptyLoci) {
  LocusPoint locus;
  LocusPoint::Data a;
  LocusPoint::Data b;
  LocusPoint::Data empty;
  locus.InputDirectCSV("1,-1,0\n2,-2,0\n", a);
  locus.InputDirectCSV("5,-5,3\n6,-6,4\n7,-7,5\n", b);
  locus.SettingPointAndDegreeLJ(3, -1, a, b);
  EXPECT_EQ(locus.GetLeftTarget(), Eigen::Vector2d(2, -2));
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(7, -7));
  EXPECT_DOUBLE_EQ(locus.GetRightDegreeLJ5(), 5);
  EXPECT_DOUBLE_EQ(locus.GetLeftDegreeLJ5(), 0);

  locus.SettingPointAndDegreeLJ(0, 0, empty, b);
  EXPECT_EQ(locus.GetRightTarget(), Eigen::Vector2d(7, -7));
}

class LocusFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = ::testing::TempDir() + "zamp_locus_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override { std::remove((base_ + ".csv").c_str()); }
  void Write(const std::string& content) { std::ofstream(base_ + ".csv") << content; }

  std::string base_;
};

TEST_F(LocusFileTest, ReadsEveryLineIncludingTheLastUnterminatedOne) {
  Write("10,-100,0\n-20,-120,2.5\n4,-110,0");
  LocusPoint locus;
  locus.InputFileCSV(base_);
  ASSERT_EQ(locus.GetLocuses().size(), 1u);
  const LocusPoint::Data& data = locus.GetLocuses()[0];
  ASSERT_EQ(data.targets.size(), 3u);
  EXPECT_DOUBLE_EQ(data.targets[1].degree_lj5_, 2.5);
  EXPECT_DOUBLE_EQ(data.center_y, -110);
  EXPECT_DOUBLE_EQ(data.step_length, 30);
}

TEST_F(LocusFileTest, LineLongerThan99CharactersEndsTheReading) {
  Write("1,-1,0\n" + std::string(98, ' ') + "2\n" + std::string(99, ' ') + "3\n4,-4,0\n");
  LocusPoint locus;
  LocusPoint::Data data;
  locus.InputFileCSV(base_, data);
  ASSERT_EQ(data.targets.size(), 2u);
  EXPECT_DOUBLE_EQ(data.targets[1].x_, 2);
}

TEST_F(LocusFileTest, MissingFileLeavesTheLocusUnchanged) {
  LocusPoint locus;
  LocusPoint::Data data;
  locus.InputDirectCSV("1,-1,0\n", data);
  locus.InputFileCSV(base_ + "_missing", data);
  EXPECT_EQ(data.targets.size(), 1u);

  locus.InputFileCSV(base_ + "_missing");
  ASSERT_EQ(locus.GetLocuses().size(), 1u);
  EXPECT_TRUE(locus.GetLocuses()[0].targets.empty());
}

TEST(LocusPointOvalTest, EveryOvalNameGivesTheMeasuredEllipse) {
  LocusPoint locus;
  locus.InputFileCSVOval("any/name");
  LocusPoint::Oval oval;
  locus.InputFileCSVOval("", oval);
  ASSERT_EQ(locus.GetOvals().size(), 1u);
  for (const LocusPoint::Oval& o : {locus.GetOvals()[0], oval}) {
    EXPECT_DOUBLE_EQ(o.x, -18.5653);
    EXPECT_DOUBLE_EQ(o.y, -150.939);
    EXPECT_DOUBLE_EQ(o.slope, -0.244222);
    EXPECT_DOUBLE_EQ(o.width, 36.4375);
    EXPECT_DOUBLE_EQ(o.height, 19.5482);
    EXPECT_FALSE(o.reverse);
    EXPECT_DOUBLE_EQ(o.speed, 60);
    EXPECT_DOUBLE_EQ(o.offset, 0);
  }
}

TEST(LocusPointOvalTest, OvalPointsRunRoundTheEllipseWithTheFeetOpposite) {
  LocusPoint locus;
  locus.SettingOvalPoint(0);
  EXPECT_EQ(locus.GetCurrentCycle(), 0);

  locus.InputFileCSVOval("ovals");
  locus.SettingOvalPoint(1);
  EXPECT_EQ(locus.GetCurrentCycle(), 0);

  // Cycle 0: right foot at phase 0 (end of the long semi-axis), left at 180.
  const double c = std::cos(-0.244222);
  const double s = std::sin(-0.244222);
  locus.SettingOvalPoint(0);
  EXPECT_NEAR(locus.GetRightTarget().x(), 36.4375 * c - 18.5653, 1e-9);
  EXPECT_NEAR(locus.GetRightTarget().y(), 36.4375 * s - 150.939, 1e-9);
  EXPECT_NEAR(locus.GetLeftTarget().x(), -36.4375 * c - 18.5653, 1e-9);
  EXPECT_NEAR(locus.GetLeftTarget().y(), -36.4375 * s - 150.939, 1e-9);
  // Cycle 1: phase 60 for the right foot, 240 = -120 for the left.
  locus.SettingOvalPoint(0);
  const double p = 60.0 * M_PI / 180.0;
  EXPECT_NEAR(locus.GetRightTarget().x(),
              36.4375 * std::cos(p) * c - 19.5482 * std::sin(p) * s - 18.5653, 1e-9);
  EXPECT_NEAR(locus.GetRightTarget().y(),
              36.4375 * std::cos(p) * s + 19.5482 * std::sin(p) * c - 150.939, 1e-9);
  const double q = -120.0 * M_PI / 180.0;
  EXPECT_NEAR(locus.GetLeftTarget().x(),
              36.4375 * std::cos(q) * c - 19.5482 * std::sin(q) * s - 18.5653, 1e-9);
  EXPECT_EQ(locus.GetCurrentCycle(), 2);
  EXPECT_DOUBLE_EQ(locus.GetRightDegreeLJ5(), 0);
}

std::vector<LocusPoint::PointDegree> EllipsePoints(double x0, double y0, double slope, double w,
                                                   double h, int n) {
  std::vector<LocusPoint::PointDegree> points;
  for (int i = 0; i < n; ++i) {
    const double p = 2.0 * M_PI * i / n;
    points.emplace_back(w * std::cos(p) * std::cos(slope) - h * std::sin(p) * std::sin(slope) + x0,
                        w * std::cos(p) * std::sin(slope) + h * std::sin(p) * std::cos(slope) + y0,
                        0.0);
  }
  return points;
}

TEST(LocusPointOvalTest, FitRecoversTheEllipseThroughItsPoints) {
  LocusPoint locus;
  locus.CreateOval(EllipsePoints(-18.5653, -150.939, -0.244222, 36.4375, 19.5482, 8), true);
  ASSERT_EQ(locus.GetOvals().size(), 1u);
  const LocusPoint::Oval& o = locus.GetOvals()[0];
  EXPECT_NEAR(o.x, -18.5653, 1e-6);
  EXPECT_NEAR(o.y, -150.939, 1e-6);
  EXPECT_NEAR(o.slope, -0.244222, 1e-6);
  EXPECT_NEAR(o.width, 36.4375, 1e-6);
  EXPECT_NEAR(o.height, 19.5482, 1e-6);
  EXPECT_DOUBLE_EQ(o.speed, 40);
  EXPECT_TRUE(o.reverse);

  // A reversed oval runs its phase the other way: cycle 1 is at -40 degrees.
  locus.SettingOvalPoint(0);
  locus.SettingOvalPoint(0);
  const double p = -40.0 * M_PI / 180.0;
  EXPECT_NEAR(
      locus.GetRightTarget().x(),
      o.width * std::cos(p) * std::cos(o.slope) - o.height * std::sin(p) * std::sin(o.slope) + o.x,
      1e-9);
}

TEST(LocusPointOvalTest, DegenerateFitIsNotAppended) {
  LocusPoint locus;
  locus.CreateOval({}, false);
  locus.CreateOval({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}, {5, 5, 0}, {6, 6, 0}}, false);
  // x^2 - y^2 = 100 is a hyperbola: its second semi-axis is the root of a negative number.
  std::vector<LocusPoint::PointDegree> hyperbola;
  for (double y : {-20.0, -10.0, 0.0, 10.0}) {
    hyperbola.emplace_back(std::sqrt(100 + y * y), y, 0.0);
    hyperbola.emplace_back(-std::sqrt(100 + y * y), y, 0.0);
  }
  locus.CreateOval(hyperbola, false);
  EXPECT_TRUE(locus.GetOvals().empty());
}

}  // namespace
}  // namespace zamp
