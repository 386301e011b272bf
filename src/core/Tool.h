// Plane and space geometry shared by the models, walks and strategies: distances,
// directions, polar and Cartesian coordinates, angle wrapping, the law of cosines, a
// two-link inverse kinematics, rotation and transform matrices, and point-in-area tests.
// Pure functions of their arguments; they run wherever a caller needs them in the cycle.
//
// Angles at the interface are in degrees (radians only inside). A direction in the plane
// is measured from +x, counter-clockwise positive. Vision polar vectors are
// (distance m, horizontal degrees, vertical degrees) with horizontal 0 straight ahead and
// positive to the left; their Cartesian frame has x right, y forward, z up.
//
// Two 4x4 layouts exist and are never mixed: MakeMatrixRotation keeps the translation in
// the bottom row, MakeTransform in the last column.
#pragma once

#include <Eigen/Core>

namespace zamp {

class Tool {
 public:
  typedef Eigen::Matrix<double, 5, 1> Vector5d;

  static constexpr double PI = 3.141592653589793;

  static double ToRadian(double degree) { return degree * PI / 180.0; }
  static double ToDegree(double radian) { return radian * 180.0 / PI; }

  // Angle opposite side a of the triangle with sides a, b, c (degrees). Sides that cannot
  // close a triangle give the nearest degenerate one (0 or 180); a zero side gives 0.
  static double CulcTheoremOfCosines(double a, double b, double c);

  // Signed area of one integration step of width sa between bef_param and param.
  static double CulcTrapezoidIntegration(double param, double bef_param, double sa);

  static double CulcDistance(double x1, double y1, double x2, double y2);
  static double CulcDistance(double x1, double y1, double z1, double x2, double y2, double z2);
  static double CulcDistance(const Eigen::Vector2d& p1, const Eigen::Vector2d& p2);
  static double CulcDistance(const Eigen::Vector3d& p1, const Eigen::Vector3d& p2);
  static double CulcDistancePow2(double x1, double y1, double x2, double y2);
  static double CulcDistancePow2(const Eigen::Vector2d& p1, const Eigen::Vector2d& p2);

  // (distance, horizontal, vertical) -> (x right, y forward, z up).
  static Eigen::Vector3d PolarToCartesian(const Eigen::Vector3d& polar);
  static Eigen::Vector2d PolarToCartesian(double distance, double degree);
  static Eigen::Vector2d PolarToCartesian(double degree);
  static Eigen::Vector2d RemoveVectZ(const Eigen::Vector3d& vec);

  // Wraps into [-180, 180]; 180 and -180 both stay as they are.
  static double LimitDegree180(double degree);
  static Eigen::Vector3d LimitDegree180(const Eigen::Vector3d& degree);

  // Direction from point 1 to point 2 plus offset, wrapped (degrees).
  static double CulcDegree(double x1, double y1, double x2, double y2, double offset);
  static double CulcDegree(const Eigen::Vector2d& p1, const Eigen::Vector2d& p2, double offset);

  // Direction from source 1 to the target minus direction from the target to source 2.
  static double CulcCrossDegree(double target_x, double target_y, double source_x1,
                                double source_y1, double source_x2, double source_y2);
  static double CulcCrossDegree(const Eigen::Vector2d& target, const Eigen::Vector2d& source1,
                                const Eigen::Vector2d& source2);

  // Point on the circle round the centre, in the direction of the target turned by offset.
  static Eigen::Vector2d CulcCircleCross(double target_x, double target_y, double center_x,
                                         double center_y, double radius, double offset);

  // Width along x, length along y; the edges count as inside.
  static bool InRectangle(double target_x, double target_y, double center_x, double center_y,
                          double rect_width, double rect_length);
  // The circle's edge counts as outside.
  static bool InCircle(double target_x, double target_y, double center_x, double center_y,
                       double radius);

  // The lower bound is tested first, so min wins when min > max.
  template <typename T>
  static T LimitParam(T param, T min, T max) {
    if (min > param) return min;
    return (max < param) ? max : param;
  }

  // Rx(degree_x) * Ry(degree_y) * Rz(degree_z) in the upper-left block, trans in the
  // bottom row.
  static Eigen::Matrix4d MakeMatrixRotation(double degree_x, double degree_y, double degree_z,
                                            const Eigen::Vector3d& trans);
  static Eigen::Matrix4d MakeMatrixRotation(const Eigen::Vector3d& degree,
                                            const Eigen::Vector3d& trans);
  // Plane rotation in the upper-left block, trans in the bottom row.
  static Eigen::Matrix3d MakeMatrixRotation(double degree, const Eigen::Vector2d& trans);

  // Columns right, forward, up and (trans, 1).
  static Eigen::Matrix4d MakeTransform(const Eigen::Vector3d& right, const Eigen::Vector3d& forward,
                                       const Eigen::Vector3d& up, const Eigen::Vector3d& trans);

  // Three angles (degrees) from the rotation block of a 4x4 matrix whose first column is
  // the body's right axis: roll, pitch, and as heading the direction of the right axis
  // turned by 90 (the forward axis), wrapped into [-180, 180].
  static Eigen::Vector3d RotationMatrixToEulerDegree(const Eigen::Matrix4d& rotation_matrix);

  // Planar two-link chain from the origin to (target_x, target_z): (joint x, joint z,
  // first link direction, bend of the second link against the first), degrees. sign picks
  // one of the two mirror solutions. A target out of reach gives the straight (or fully
  // folded) chain pointing at it; a non-finite argument gives the zero vector.
  static Eigen::Vector4d CulcInverseKinematics(double length1, double length2, double target_x,
                                               double target_z, double sign);
  // Spatial form: the plane of the chain is turned about y towards the target first.
  // (joint x, joint y, first, second, plane angle); sign has no effect.
  static Vector5d CulcInverseKinematics(double length1, double length2, double target_x,
                                        double target_y, double target_z, double sign);
};

}  // namespace zamp
