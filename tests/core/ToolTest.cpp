#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/Tool.h"

namespace zamp {
namespace {

const double EPS = 1e-9;
const double NaN = std::numeric_limits<double>::quiet_NaN();

double Radian(double degree) { return degree * 3.141592653589793 / 180.0; }

TEST(ToolTest, LimitDegree180WrapsAndKeepsBothEnds) {
  const struct {
    double in, out;
  } cases[] = {{540, 180}, {-540, -180}, {190, -170}, {-190, 170}, {720, 0}, {359, -1}};
  for (const auto& c : cases) EXPECT_NEAR(Tool::LimitDegree180(c.in), c.out, EPS) << c.in;
  EXPECT_TRUE(Tool::LimitDegree180(Eigen::Vector3d(190, -190, 540))
                  .isApprox(Eigen::Vector3d(-170, 170, 180), EPS));
}

TEST(ToolTest, DirectionsMeasureFromPlusXCounterClockwise) {
  const struct {
    double x1, y1, x2, y2, offset, out;
  } cases[] = {
      {0, 0, -1, 0, 0, 180}, {1, 1, 1, 0, 0, -90}, {0, 0, 1, 0, 190, -170}, {2, 2, 3, 3, -90, -45}};
  for (const auto& c : cases) {
    EXPECT_NEAR(Tool::CulcDegree(c.x1, c.y1, c.x2, c.y2, c.offset), c.out, EPS);
    EXPECT_NEAR(
        Tool::CulcDegree(Eigen::Vector2d(c.x1, c.y1), Eigen::Vector2d(c.x2, c.y2), c.offset), c.out,
        EPS);
  }
  // Incoming minus outgoing direction, not wrapped: 180 - (-90) stays 270.
  EXPECT_NEAR(Tool::CulcCrossDegree(1, 0, 0, 0, 1, 1), -90, EPS);
  EXPECT_NEAR(
      Tool::CulcCrossDegree(Eigen::Vector2d(-1, 0), Eigen::Vector2d(0, 0), Eigen::Vector2d(-1, -1)),
      270, EPS);
  EXPECT_TRUE(Tool::CulcCircleCross(5, 1, 1, 1, 2, 90).isApprox(Eigen::Vector2d(1, 3), EPS));
}

TEST(ToolTest, PolarAndDistanceConversions) {
  // Vision polar: horizontal angle to the left is -x, vertical angle lifts z.
  EXPECT_TRUE(
      Tool::PolarToCartesian(Eigen::Vector3d(2, 90, 0)).isApprox(Eigen::Vector3d(-2, 0, 0), EPS));
  EXPECT_TRUE(Tool::PolarToCartesian(Eigen::Vector3d(2, 0, 30))
                  .isApprox(Eigen::Vector3d(0, std::sqrt(3.0), 1), EPS));
  EXPECT_TRUE(Tool::PolarToCartesian(2, 90).isApprox(Eigen::Vector2d(0, 2), EPS));
  EXPECT_TRUE(Tool::PolarToCartesian(180).isApprox(Eigen::Vector2d(-1, 0), EPS));
  EXPECT_DOUBLE_EQ(Tool::CulcDistance(1, 2, 3, 4, 6, 15), 13);
  EXPECT_DOUBLE_EQ(Tool::CulcDistance(Eigen::Vector2d(1, 1), Eigen::Vector2d(4, 5)), 5);
  EXPECT_DOUBLE_EQ(Tool::CulcDistancePow2(0, 0, 3, 4), 25);
}

TEST(ToolTest, TheoremOfCosinesClampsImpossibleTriangles) {
  const struct {
    double a, b, c, out;
  } cases[] = {
      {3, 4, 5, 36.86989764584401},  // 3-4-5 triangle
      {1, 5, 1, 0},                  // cosine 2.5: sides too long for a; stretched
      {10, 1, 1, 180},               // cosine -49: a beyond the reach of b and c; folded open
      {1, 0, 1, 0},                  // a zero side divides by nothing
      {1, 1, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(Tool::CulcTheoremOfCosines(c.a, c.b, c.c), c.out, EPS) << c.a << " " << c.b;
  }
}

TEST(ToolTest, TrapezoidStepSplitsAtTheZeroCrossing) {
  const struct {
    double param, bef, sa, out;
  } cases[] = {
      {3, -1, 4, 4},    // crossing at 1: -0.5 + 4.5
      {2, 2, 1, 2},     // plain trapezoid
      {0, 3, 2, 3},     // a zero sample is not a sign change
      {-1, -3, 1, -2},  // both negative
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(Tool::CulcTrapezoidIntegration(c.param, c.bef, c.sa), c.out, EPS);
  }
}

TEST(ToolTest, RectangleEdgesInsideCircleEdgeOutside) {
  // Width along x (2), length along y (1).
  EXPECT_TRUE(Tool::InRectangle(11, 5.5, 10, 5, 2, 1));
  EXPECT_TRUE(Tool::InRectangle(-1, -0.5, 0, 0, 2, 1));
  EXPECT_FALSE(Tool::InRectangle(1.01, 0, 0, 0, 2, 1));
  EXPECT_FALSE(Tool::InRectangle(0.75, 0, 0, 0, 1, 2));  // width is along x, not y
  EXPECT_FALSE(Tool::InCircle(3, 4, 0, 0, 5));
  EXPECT_TRUE(Tool::InCircle(0.5, 0.5, 0, 0, 1));
  EXPECT_FALSE(Tool::InCircle(0.8, 0.8, 0, 0, 1));
  // LimitParam tests the lower bound first.
  EXPECT_EQ(Tool::LimitParam(11, 0, 10), 10);
  EXPECT_EQ(Tool::LimitParam(5, 10, 0), 10);
}

TEST(ToolTest, MatricesKeepTheirLayouts) {
  // Rotations keep the translation in the bottom row and multiply X, then Y, then Z.
  Eigen::Matrix4d z90;
  z90 << 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1;
  EXPECT_TRUE(Tool::MakeMatrixRotation(0, 0, 90, Eigen::Vector3d(1, 2, 3)).isApprox(z90, EPS));
  EXPECT_TRUE(Tool::MakeMatrixRotation(Eigen::Vector3d(0, 0, 90), Eigen::Vector3d(1, 2, 3))
                  .isApprox(z90, EPS));
  Eigen::Matrix3d xy;  // the other order would give rows (0 1 0)(0 0 -1)(-1 0 0)
  xy << 0, 0, 1, 1, 0, 0, 0, 1, 0;
  const Eigen::Matrix3d rotation =
      Tool::MakeMatrixRotation(90, 90, 0, Eigen::Vector3d::Zero()).topLeftCorner<3, 3>();
  EXPECT_TRUE(rotation.isApprox(xy, EPS)) << rotation;
  Eigen::Matrix3d plane;
  plane << 0, -1, 0, 1, 0, 0, 4, 5, 1;
  EXPECT_TRUE(Tool::MakeMatrixRotation(90, Eigen::Vector2d(4, 5)).isApprox(plane, EPS));
  // A transform keeps it in the last column.
  Eigen::Matrix4d transform;
  transform << 0, 1, 0, 4, -1, 0, 0, 5, 0, 0, 1, 6, 0, 0, 0, 1;
  EXPECT_EQ(Tool::MakeTransform(Eigen::Vector3d(0, -1, 0), Eigen::Vector3d(1, 0, 0),
                                Eigen::Vector3d(0, 0, 1), Eigen::Vector3d(4, 5, 6)),
            transform);
}

TEST(ToolTest, EulerAnglesReadHeadingFromTheRightAxisAndStayFinite) {
  // Facing +x: right axis -y, forward +x.
  const Eigen::Vector3d facing_x = Tool::RotationMatrixToEulerDegree(
      Tool::MakeTransform(Eigen::Vector3d(0, -1, 0), Eigen::Vector3d(1, 0, 0),
                          Eigen::Vector3d(0, 0, 1), Eigen::Vector3d(7, 8, 9)));
  EXPECT_LT(facing_x.norm(), EPS) << facing_x.transpose();
  // Rolled 30 degrees about the right axis while facing +y.
  const double c = std::cos(Radian(30));
  const double s = std::sin(Radian(30));
  const Eigen::Vector3d rolled = Tool::RotationMatrixToEulerDegree(
      Tool::MakeTransform(Eigen::Vector3d(1, 0, 0), Eigen::Vector3d(0, c, s),
                          Eigen::Vector3d(0, -s, c), Eigen::Vector3d::Zero()));
  EXPECT_TRUE(rolled.isApprox(Eigen::Vector3d(30, 0, 90), EPS)) << rolled.transpose();
  // Rounding beyond the unit range is clamped before the arc sine.
  Eigen::Matrix4d m = Eigen::Matrix4d::Identity();
  m(2, 0) = 1.0 + 1e-12;
  m(2, 2) = 0.0;
  EXPECT_NEAR(Tool::RotationMatrixToEulerDegree(m).y(), 90, EPS);
  m(2, 0) = -1.0 - 1e-12;
  EXPECT_NEAR(Tool::RotationMatrixToEulerDegree(m).y(), -90, EPS);
}

TEST(ToolTest, InverseKinematicsHandWorked) {
  // Unit links to (1, 1): elbow at (1, 0) bent 90, or its mirror at (0, 1).
  EXPECT_TRUE(
      Tool::CulcInverseKinematics(1, 1, 1, 1, 1).isApprox(Eigen::Vector4d(1, 0, 0, 90), EPS));
  EXPECT_TRUE(
      (Tool::CulcInverseKinematics(1, 1, 1, 1, -1) - Eigen::Vector4d(0, 1, 90, -90)).isZero(EPS));
  // Beyond reach a straight chain points at the target; inside |l1 - l2| it folds back.
  EXPECT_TRUE(
      Tool::CulcInverseKinematics(1, 1, 5, 0, 1).isApprox(Eigen::Vector4d(1, 0, 0, 0), EPS));
  EXPECT_TRUE(
      Tool::CulcInverseKinematics(2, 1, 0.5, 0, 1).isApprox(Eigen::Vector4d(2, 0, 0, 180), EPS));
  // In space: straight down with links 1 + 1 reaching exactly.
  Tool::Vector5d down;
  down << 0, -1, -90, 0, 0;
  EXPECT_TRUE(Tool::CulcInverseKinematics(1, 1, 0, 0, -2, 1).isApprox(down, EPS));
  // Target (2, 0, 0) with links 1.5: the plane turns by 90 and the planar target is (0, -2).
  Tool::Vector5d side;
  side << -1.118033988749895, -1.0, -138.1896851042214, 96.37937020844281, 90;
  EXPECT_TRUE(Tool::CulcInverseKinematics(1.5, 1.5, 2, 0, 0, -1).isApprox(side, EPS));
}

TEST(ToolTest, InverseKinematicsIsFiniteEverywhereAndExactWithinReach) {
  const double l1 = 0.12;
  const double l2 = 0.1;
  for (double x = -0.3; x <= 0.3; x += 0.01) {
    for (double z = -0.3; z <= 0.3; z += 0.01) {
      for (double y = -0.3; y <= 0.3; y += 0.1) {
        ASSERT_TRUE(Tool::CulcInverseKinematics(l1, l2, x, y, z, 1).allFinite()) << x << y << z;
      }
      const Eigen::Vector4d r = Tool::CulcInverseKinematics(l1, l2, x, z, -1);
      ASSERT_TRUE(r.allFinite()) << x << " " << z;
      const double d = std::hypot(x, z);
      if (d < std::abs(l1 - l2) + 1e-6 || d > l1 + l2 - 1e-6) continue;
      EXPECT_NEAR(r(0) + l2 * std::cos(Radian(r(2) + r(3))), x, 1e-6);
      EXPECT_NEAR(r(1) + l2 * std::sin(Radian(r(2) + r(3))), z, 1e-6);
    }
  }
  // Non-finite targets give the zero solution.
  EXPECT_EQ(Tool::CulcInverseKinematics(1, 1, NaN, 0, 1), Eigen::Vector4d::Zero());
  EXPECT_EQ(Tool::CulcInverseKinematics(NaN, 1, 1, 0, 0, 1), Tool::Vector5d::Zero());
  EXPECT_TRUE(Tool::CulcInverseKinematics(1, 1, 0, 0, 1).allFinite());
}

}  // namespace
}  // namespace zamp
