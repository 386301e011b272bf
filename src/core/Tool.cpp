#include "core/Tool.h"

#include <cmath>

namespace zamp {

double Tool::CulcTheoremOfCosines(double a, double b, double c) {
  // A zero side would divide by zero; the triangle is degenerate and its angle is 0.
  if (a == 0.0 || b == 0.0 || c == 0.0) return 0.0;
  const double cosine = (b * b + c * c - a * a) / (2.0 * b * c);
  // Sides that cannot close a triangle push the cosine out of [-1, 1]; clamping gives the
  // stretched or folded chain instead of a NaN that would spread into the joint targets.
  return ToDegree(std::acos(LimitParam(cosine, -1.0, 1.0)));
}

double Tool::CulcTrapezoidIntegration(double param, double bef_param, double sa) {
  const bool crosses_zero = (param > 0.0 && bef_param < 0.0) || (param < 0.0 && bef_param > 0.0);
  if (crosses_zero) {
    // Two triangles on either side of the zero crossing, with their own signs.
    const double t = std::abs(sa * bef_param / (param - bef_param));
    return std::abs(sa - t) * param / 2.0 + bef_param * t / 2.0;
  }
  return (param + bef_param) * sa / 2.0;
}

double Tool::CulcDistance(double x1, double y1, double x2, double y2) {
  return std::sqrt(CulcDistancePow2(x1, y1, x2, y2));
}

double Tool::CulcDistance(double x1, double y1, double z1, double x2, double y2, double z2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double dz = z2 - z1;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double Tool::CulcDistance(const Eigen::Vector2d& p1, const Eigen::Vector2d& p2) {
  return (p2 - p1).norm();
}

double Tool::CulcDistance(const Eigen::Vector3d& p1, const Eigen::Vector3d& p2) {
  return (p2 - p1).norm();
}

double Tool::CulcDistancePow2(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return dx * dx + dy * dy;
}

double Tool::CulcDistancePow2(const Eigen::Vector2d& p1, const Eigen::Vector2d& p2) {
  return (p2 - p1).squaredNorm();
}

Eigen::Vector3d Tool::PolarToCartesian(const Eigen::Vector3d& polar) {
  const double distance = polar.x();
  const double horizontal = ToRadian(polar.y());
  const double vertical = ToRadian(polar.z());
  const double ground = distance * std::cos(vertical);
  return Eigen::Vector3d(-std::sin(horizontal) * ground, std::cos(horizontal) * ground,
                         distance * std::sin(vertical));
}

Eigen::Vector2d Tool::PolarToCartesian(double distance, double degree) {
  const double radian = ToRadian(degree);
  return Eigen::Vector2d(distance * std::cos(radian), distance * std::sin(radian));
}

Eigen::Vector2d Tool::PolarToCartesian(double degree) { return PolarToCartesian(1.0, degree); }

Eigen::Vector2d Tool::RemoveVectZ(const Eigen::Vector3d& vec) {
  return Eigen::Vector2d(vec.x(), vec.y());
}

double Tool::LimitDegree180(double degree) {
  const double r = std::fmod(degree, 360.0);
  if (r > 180.0) return r - 360.0;
  if (r < -180.0) return r + 360.0;
  return r;
}

Eigen::Vector3d Tool::LimitDegree180(const Eigen::Vector3d& degree) {
  return Eigen::Vector3d(LimitDegree180(degree.x()), LimitDegree180(degree.y()),
                         LimitDegree180(degree.z()));
}

double Tool::CulcDegree(double x1, double y1, double x2, double y2, double offset) {
  return LimitDegree180(ToDegree(std::atan2(y2 - y1, x2 - x1)) + offset);
}

double Tool::CulcDegree(const Eigen::Vector2d& p1, const Eigen::Vector2d& p2, double offset) {
  return CulcDegree(p1.x(), p1.y(), p2.x(), p2.y(), offset);
}

double Tool::CulcCrossDegree(double target_x, double target_y, double source_x1, double source_y1,
                             double source_x2, double source_y2) {
  return CulcDegree(source_x1, source_y1, target_x, target_y, 0.0) -
         CulcDegree(target_x, target_y, source_x2, source_y2, 0.0);
}

double Tool::CulcCrossDegree(const Eigen::Vector2d& target, const Eigen::Vector2d& source1,
                             const Eigen::Vector2d& source2) {
  return CulcCrossDegree(target.x(), target.y(), source1.x(), source1.y(), source2.x(),
                         source2.y());
}

Eigen::Vector2d Tool::CulcCircleCross(double target_x, double target_y, double center_x,
                                      double center_y, double radius, double offset) {
  const double degree = CulcDegree(center_x, center_y, target_x, target_y, 0.0) + offset;
  return Eigen::Vector2d(center_x, center_y) + PolarToCartesian(radius, degree);
}

bool Tool::InRectangle(double target_x, double target_y, double center_x, double center_y,
                       double rect_width, double rect_length) {
  return center_x - rect_width / 2.0 <= target_x && target_x <= center_x + rect_width / 2.0 &&
         center_y - rect_length / 2.0 <= target_y && target_y <= center_y + rect_length / 2.0;
}

bool Tool::InCircle(double target_x, double target_y, double center_x, double center_y,
                    double radius) {
  return CulcDistancePow2(center_x, center_y, target_x, target_y) - radius * radius < 0.0;
}

Eigen::Matrix4d Tool::MakeMatrixRotation(double degree_x, double degree_y, double degree_z,
                                         const Eigen::Vector3d& trans) {
  const double cx = std::cos(ToRadian(degree_x));
  const double sx = std::sin(ToRadian(degree_x));
  const double cy = std::cos(ToRadian(degree_y));
  const double sy = std::sin(ToRadian(degree_y));
  const double cz = std::cos(ToRadian(degree_z));
  const double sz = std::sin(ToRadian(degree_z));
  Eigen::Matrix3d rx;
  rx << 1, 0, 0, 0, cx, -sx, 0, sx, cx;
  Eigen::Matrix3d ry;
  ry << cy, 0, sy, 0, 1, 0, -sy, 0, cy;
  Eigen::Matrix3d rz;
  rz << cz, -sz, 0, sz, cz, 0, 0, 0, 1;

  Eigen::Matrix4d m = Eigen::Matrix4d::Zero();
  m.topLeftCorner<3, 3>() = rx * ry * rz;
  m.block<1, 3>(3, 0) = trans.transpose();
  m(3, 3) = 1.0;
  return m;
}

Eigen::Matrix4d Tool::MakeMatrixRotation(const Eigen::Vector3d& degree,
                                         const Eigen::Vector3d& trans) {
  return MakeMatrixRotation(degree.x(), degree.y(), degree.z(), trans);
}

Eigen::Matrix3d Tool::MakeMatrixRotation(double degree, const Eigen::Vector2d& trans) {
  const double c = std::cos(ToRadian(degree));
  const double s = std::sin(ToRadian(degree));
  Eigen::Matrix3d m;
  m << c, -s, 0, s, c, 0, trans.x(), trans.y(), 1;
  return m;
}

Eigen::Matrix4d Tool::MakeTransform(const Eigen::Vector3d& right, const Eigen::Vector3d& forward,
                                    const Eigen::Vector3d& up, const Eigen::Vector3d& trans) {
  Eigen::Matrix4d m = Eigen::Matrix4d::Zero();
  m.block<3, 1>(0, 0) = right;
  m.block<3, 1>(0, 1) = forward;
  m.block<3, 1>(0, 2) = up;
  m.block<3, 1>(0, 3) = trans;
  m(3, 3) = 1.0;
  return m;
}

Eigen::Vector3d Tool::RotationMatrixToEulerDegree(const Eigen::Matrix4d& rotation_matrix) {
  const Eigen::Matrix4d& t = rotation_matrix;
  // Rounding in a product of rotations can leave the entry just outside [-1, 1].
  const double pitch_sine = LimitParam(t(2, 0), -1.0, 1.0);
  return Eigen::Vector3d(ToDegree(std::atan2(t(2, 1), t(2, 2))), ToDegree(std::asin(pitch_sine)),
                         LimitDegree180(ToDegree(std::atan2(t(1, 0), t(0, 0))) + 90.0));
}

Eigen::Vector4d Tool::CulcInverseKinematics(double length1, double length2, double target_x,
                                            double target_z, double sign) {
  if (!std::isfinite(length1) || !std::isfinite(length2) || !std::isfinite(target_x) ||
      !std::isfinite(target_z) || !std::isfinite(sign)) {
    return Eigen::Vector4d::Zero();
  }
  const double distance = CulcDistance(0.0, 0.0, target_x, target_z);
  const double base = CulcDegree(0.0, 0.0, target_x, target_z, 0.0);
  const double between_links = CulcTheoremOfCosines(distance, length1, length2);
  const double at_origin = CulcTheoremOfCosines(length2, distance, length1);
  const double first = base - sign * at_origin;
  const double second = sign * (180.0 - between_links);
  return Eigen::Vector4d(length1 * std::cos(ToRadian(first)), length1 * std::sin(ToRadian(first)),
                         first, second);
}

Tool::Vector5d Tool::CulcInverseKinematics(double length1, double length2, double target_x,
                                           double target_y, double target_z, double /*sign*/) {
  const Eigen::Vector3d target(target_x, target_y, target_z);
  if (!std::isfinite(length1) || !std::isfinite(length2) || !target.allFinite()) {
    return Vector5d::Zero();
  }
  const double degree = CulcDegree(0.0, 0.0, target_x, target_z, 0.0);
  const Eigen::Matrix4d m = MakeMatrixRotation(0.0, 90.0 + degree, 0.0, Eigen::Vector3d::Zero());
  // The translation of m is zero, so only its rotation block acts on the point.
  const Eigen::Vector3d p = m.topLeftCorner<3, 3>() * target;
  const Eigen::Vector4d planar = CulcInverseKinematics(length1, length2, p.y(), p.z(), 1.0);
  Vector5d result;
  result << planar, 90.0 + degree;
  return result;
}

}  // namespace zamp
