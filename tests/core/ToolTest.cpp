#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/Tool.h"

namespace zamp {
namespace {

const double EPS = 1e-9;
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

double Radian(double degree) { return degree * 3.141592653589793 / 180.0; }

TEST(ToolTest, LimitDegree180WrapsAndKeepsBothEnds) {
  const struct {
    double in, out;
  } cases[] = {{540, 180},   {-540, -180}, {190, -170}, {-190, 170}, {180, 180},
               {-180, -180}, {0, 0},       {720, 0},    {359, -1},   {-45, -45}};
  for (const auto& c : cases) {
    EXPECT_NEAR(Tool::LimitDegree180(c.in), c.out, EPS) << c.in;
  }
  EXPECT_TRUE(Tool::LimitDegree180(Eigen::Vector3d(190, -190, 540))
                  .isApprox(Eigen::Vector3d(-170, 170, 180), EPS));
}

TEST(ToolTest, CulcDegreeMeasuresFromPlusXCounterClockwise) {
  const struct {
    double x1, y1, x2, y2, offset, out;
  } cases[] = {{0, 0, 0, 1, 0, 90},  {0, 0, -1, 0, 0, 180},   {0, 0, 1, 1, 0, 45},
               {1, 1, 1, 0, 0, -90}, {0, 0, 1, 0, 190, -170}, {2, 2, 3, 3, -90, -45}};
  for (const auto& c : cases) {
    EXPECT_NEAR(Tool::CulcDegree(c.x1, c.y1, c.x2, c.y2, c.offset), c.out, EPS);
    EXPECT_NEAR(
        Tool::CulcDegree(Eigen::Vector2d(c.x1, c.y1), Eigen::Vector2d(c.x2, c.y2), c.offset), c.out,
        EPS);
  }
}

TEST(ToolTest, CrossDegreeIsIncomingMinusOutgoingDirection) {
  // From (0,0) to the target heads 0; from the target to (1,1) heads 90.
  EXPECT_NEAR(Tool::CulcCrossDegree(1, 0, 0, 0, 1, 1), -90, EPS);
  EXPECT_NEAR(
      Tool::CulcCrossDegree(Eigen::Vector2d(1, 0), Eigen::Vector2d(0, 0), Eigen::Vector2d(1, 1)),
      -90, EPS);
  // The difference itself is not wrapped: 180 - (-90) stays 270.
  EXPECT_NEAR(Tool::CulcCrossDegree(-1, 0, 0, 0, -1, -1), 270, EPS);
}

TEST(ToolTest, CircleCrossTurnsTheTargetDirectionByOffset) {
  EXPECT_TRUE(Tool::CulcCircleCross(2, 0, 0, 0, 1, 90).isApprox(Eigen::Vector2d(0, 1), EPS));
  EXPECT_TRUE(Tool::CulcCircleCross(5, 1, 1, 1, 2, 0).isApprox(Eigen::Vector2d(3, 1), EPS));
}

TEST(ToolTest, VisionPolarPutsLeftAtNegativeX) {
  EXPECT_TRUE(
      Tool::PolarToCartesian(Eigen::Vector3d(2, 90, 0)).isApprox(Eigen::Vector3d(-2, 0, 0), EPS));
  const Eigen::Vector3d up = Tool::PolarToCartesian(Eigen::Vector3d(2, 0, 30));
  EXPECT_NEAR(up.x(), 0, EPS);
  EXPECT_NEAR(up.y(), std::sqrt(3.0), EPS);
  EXPECT_NEAR(up.z(), 1, EPS);
}

TEST(ToolTest, PlanePolarToCartesian) {
  EXPECT_TRUE(Tool::PolarToCartesian(2, 90).isApprox(Eigen::Vector2d(0, 2), EPS));
  const Eigen::Vector2d unit = Tool::PolarToCartesian(180);
  EXPECT_NEAR(unit.x(), -1, EPS);
  EXPECT_NEAR(unit.y(), 0, EPS);
  EXPECT_EQ(Tool::RemoveVectZ(Eigen::Vector3d(1, 2, 3)), Eigen::Vector2d(1, 2));
}

TEST(ToolTest, Distances) {
  EXPECT_DOUBLE_EQ(Tool::CulcDistance(0, 0, 3, 4), 5);
  EXPECT_DOUBLE_EQ(Tool::CulcDistance(1, 2, 3, 4, 6, 15), 13);
  EXPECT_DOUBLE_EQ(Tool::CulcDistance(Eigen::Vector2d(1, 1), Eigen::Vector2d(4, 5)), 5);
  EXPECT_DOUBLE_EQ(Tool::CulcDistance(Eigen::Vector3d(0, 0, 0), Eigen::Vector3d(3, 4, 12)), 13);
  EXPECT_DOUBLE_EQ(Tool::CulcDistancePow2(0, 0, 3, 4), 25);
  EXPECT_DOUBLE_EQ(Tool::CulcDistancePow2(Eigen::Vector2d(1, 1), Eigen::Vector2d(4, 5)), 25);
}

TEST(ToolTest, TheoremOfCosinesClampsImpossibleTriangles) {
  const struct {
    double a, b, c, out;
  } cases[] = {
      {3, 4, 5, 36.86989764584401},  // 3-4-5 triangle
      {1, 1, 1, 60},
      {1, 5, 1, 0},     // cosine 2.5: sides too long for a; stretched
      {10, 1, 1, 180},  // cosine -49: a beyond the reach of b and c; folded open
      {1, 0, 1, 0},     // a zero side divides by nothing
      {1, 1, 0, 0},
      {0, 1, 1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(Tool::CulcTheoremOfCosines(c.a, c.b, c.c), c.out, 1e-9)
        << c.a << " " << c.b << " " << c.c;
  }
}

TEST(ToolTest, TrapezoidStepSplitsAtTheZeroCrossing) {
  const struct {
    double param, bef, sa, out;
  } cases[] = {
      {1, -1, 2, 0},    // two triangles of 0.5 with opposite signs
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
  EXPECT_TRUE(Tool::InRectangle(1, 0.5, 0, 0, 2, 1));
  EXPECT_TRUE(Tool::InRectangle(-1, -0.5, 0, 0, 2, 1));
  EXPECT_FALSE(Tool::InRectangle(1.01, 0, 0, 0, 2, 1));
  EXPECT_FALSE(Tool::InRectangle(0, 0.51, 0, 0, 2, 1));
  EXPECT_FALSE(Tool::InRectangle(0.75, 0, 0, 0, 1, 2));  // width is along x, not y
  EXPECT_TRUE(Tool::InRectangle(11, 5, 10, 5, 2, 1));

  EXPECT_FALSE(Tool::InCircle(1, 0, 0, 0, 1));
  EXPECT_FALSE(Tool::InCircle(3, 4, 0, 0, 5));
  EXPECT_TRUE(Tool::InCircle(0.5, 0.5, 0, 0, 1));
  EXPECT_FALSE(Tool::InCircle(0.8, 0.8, 0, 0, 1));
}

TEST(ToolTest, LimitParamTestsTheLowerBoundFirst) {
  EXPECT_EQ(Tool::LimitParam(5, 0, 10), 5);
  EXPECT_EQ(Tool::LimitParam(-1, 0, 10), 0);
  EXPECT_EQ(Tool::LimitParam(11, 0, 10), 10);
  EXPECT_EQ(Tool::LimitParam(5, 10, 0), 10);
  EXPECT_DOUBLE_EQ(Tool::LimitParam(0.5, -1.0, 1.0), 0.5);
}

TEST(ToolTest, MatrixRotationKeepsTranslationInBottomRow) {
  const Eigen::Matrix4d m = Tool::MakeMatrixRotation(0, 0, 90, Eigen::Vector3d(1, 2, 3));
  Eigen::Matrix4d expected;
  expected << 0, -1, 0, 0,  //
      1, 0, 0, 0,           //
      0, 0, 1, 0,           //
      1, 2, 3, 1;
  EXPECT_TRUE(m.isApprox(expected, EPS)) << m;
  EXPECT_TRUE(Tool::MakeMatrixRotation(Eigen::Vector3d(0, 0, 90), Eigen::Vector3d(1, 2, 3))
                  .isApprox(expected, EPS));
}

TEST(ToolTest, MatrixRotationMultipliesXThenYThenZ) {
  // Rx(90) * Ry(90); the other order would give rows (0 1 0)(0 0 -1)(-1 0 0).
  Eigen::Matrix3d expected;
  expected << 0, 0, 1,  //
      1, 0, 0,          //
      0, 1, 0;
  const Eigen::Matrix4d m = Tool::MakeMatrixRotation(90, 90, 0, Eigen::Vector3d::Zero());
  const Eigen::Matrix3d rotation = m.topLeftCorner<3, 3>();
  EXPECT_TRUE(rotation.isApprox(expected, EPS)) << m;
}

TEST(ToolTest, PlaneMatrixRotationKeepsTranslationInBottomRow) {
  Eigen::Matrix3d expected;
  expected << 0, -1, 0,  //
      1, 0, 0,           //
      4, 5, 1;
  EXPECT_TRUE(Tool::MakeMatrixRotation(90, Eigen::Vector2d(4, 5)).isApprox(expected, EPS));
}

TEST(ToolTest, TransformKeepsTranslationInLastColumn) {
  const Eigen::Matrix4d m = Tool::MakeTransform(Eigen::Vector3d(0, -1, 0), Eigen::Vector3d(1, 0, 0),
                                                Eigen::Vector3d(0, 0, 1), Eigen::Vector3d(4, 5, 6));
  Eigen::Matrix4d expected;
  expected << 0, 1, 0, 4,  //
      -1, 0, 0, 5,         //
      0, 0, 1, 6,          //
      0, 0, 0, 1;
  EXPECT_EQ(m, expected);
}

TEST(ToolTest, EulerAnglesReadHeadingFromTheRightAxis) {
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
}

TEST(ToolTest, EulerAnglesStayFiniteWhenRoundingLeavesTheUnitRange) {
  Eigen::Matrix4d m = Eigen::Matrix4d::Identity();
  m(2, 0) = 1.0 + 1e-12;
  m(2, 2) = 0.0;
  const Eigen::Vector3d degree = Tool::RotationMatrixToEulerDegree(m);
  ASSERT_TRUE(degree.allFinite()) << degree.transpose();
  EXPECT_NEAR(degree.y(), 90, EPS);
  m(2, 0) = -1.0 - 1e-12;
  EXPECT_NEAR(Tool::RotationMatrixToEulerDegree(m).y(), -90, EPS);
}

TEST(ToolTest, PlanarInverseKinematicsHandWorked) {
  // Unit links to (1, 1): elbow at (1, 0) bent 90, or its mirror at (0, 1).
  EXPECT_TRUE(
      Tool::CulcInverseKinematics(1, 1, 1, 1, 1).isApprox(Eigen::Vector4d(1, 0, 0, 90), 1e-9));
  const Eigen::Vector4d mirror = Tool::CulcInverseKinematics(1, 1, 1, 1, -1);
  EXPECT_NEAR(mirror(0), 0, EPS);
  EXPECT_NEAR(mirror(1), 1, EPS);
  EXPECT_NEAR(mirror(2), 90, EPS);
  EXPECT_NEAR(mirror(3), -90, EPS);
}

TEST(ToolTest, PlanarInverseKinematicsOutOfReachGivesStraightOrFoldedChain) {
  // Beyond reach: straight chain pointing at the target.
  const Eigen::Vector4d far = Tool::CulcInverseKinematics(1, 1, 5, 0, 1);
  EXPECT_TRUE(far.isApprox(Eigen::Vector4d(1, 0, 0, 0), EPS)) << far.transpose();
  // Inside the inner radius |l1 - l2|: folded back on itself.
  const Eigen::Vector4d near = Tool::CulcInverseKinematics(2, 1, 0.5, 0, 1);
  EXPECT_TRUE(near.isApprox(Eigen::Vector4d(2, 0, 0, 180), EPS)) << near.transpose();
  // At the origin.
  EXPECT_TRUE(Tool::CulcInverseKinematics(1, 1, 0, 0, 1).allFinite());
}

TEST(ToolTest, PlanarInverseKinematicsIsFiniteEverywhereAndExactWithinReach) {
  const double l1 = 0.12;
  const double l2 = 0.1;
  for (double sign : {1.0, -1.0}) {
    for (double x = -0.3; x <= 0.3; x += 0.01) {
      for (double z = -0.3; z <= 0.3; z += 0.01) {
        const Eigen::Vector4d r = Tool::CulcInverseKinematics(l1, l2, x, z, sign);
        ASSERT_TRUE(r.allFinite()) << x << " " << z;
        const double d = std::hypot(x, z);
        if (d < std::abs(l1 - l2) + 1e-6 || d > l1 + l2 - 1e-6) continue;
        const double end_direction = Radian(r(2) + r(3));
        EXPECT_NEAR(r(0) + l2 * std::cos(end_direction), x, 1e-6);
        EXPECT_NEAR(r(1) + l2 * std::sin(end_direction), z, 1e-6);
      }
    }
  }
}

TEST(ToolTest, InverseKinematicsRejectsNonFiniteTargets) {
  EXPECT_EQ(Tool::CulcInverseKinematics(1, 1, NaN, 0, 1), Eigen::Vector4d::Zero());
  EXPECT_EQ(Tool::CulcInverseKinematics(1, 1, 0, INF, 1), Eigen::Vector4d::Zero());
  EXPECT_EQ(Tool::CulcInverseKinematics(1, 1, 0, NaN, 0, 1), Tool::Vector5d::Zero());
  EXPECT_EQ(Tool::CulcInverseKinematics(NaN, 1, 1, 0, 0, 1), Tool::Vector5d::Zero());
}

TEST(ToolTest, SpatialInverseKinematicsHandWorked) {
  // Straight down with links 1 + 1 reaching exactly: plane angle 0, straight chain.
  Tool::Vector5d down;
  down << 0, -1, -90, 0, 0;
  EXPECT_TRUE(Tool::CulcInverseKinematics(1, 1, 0, 0, -2, 1).isApprox(down, EPS));

  // Target (2, 0, 0) with links 1.5: the plane turns by 90 and the planar target is (0, -2).
  const Tool::Vector5d side = Tool::CulcInverseKinematics(1.5, 1.5, 2, 0, 0, -1);
  Tool::Vector5d expected;
  expected << -1.118033988749895, -1.0, -138.1896851042214, 96.37937020844281, 90;
  EXPECT_TRUE(side.isApprox(expected, 1e-9)) << side.transpose();
}

TEST(ToolTest, SpatialInverseKinematicsIsFiniteForEveryTarget) {
  for (double x = -0.4; x <= 0.4; x += 0.05) {
    for (double y = -0.4; y <= 0.4; y += 0.05) {
      for (double z = -0.4; z <= 0.4; z += 0.05) {
        ASSERT_TRUE(Tool::CulcInverseKinematics(0.12, 0.1, x, y, z, 1).allFinite())
            << x << " " << y << " " << z;
      }
    }
  }
}

}  // namespace
}  // namespace zamp
