// What an upright agent would see of the field from a known pose: the polar coordinates
// (distance m, horizontal and vertical degrees, relative to the head) of field points, as
// the server sends them, and the server names of the landmarks for either side. Tests use
// it to build vision elements whose true pose is known.
#pragma once

#include <Eigen/Core>
#include <Eigen/Geometry>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "support/PerceptionText.h"

namespace zamp {
namespace test {

class SyntheticScene {
 public:
  // torso: m, team frame; heading: degrees (0 facing +x); head: the head's pose in the
  // torso frame (x right, y forward, z up), as the body model computes it; tilt: degrees
  // about the torso's x axis (positive leans forward), for a robot that falls.
  SyntheticScene(const Eigen::Vector3d& torso, double heading, const Eigen::Affine3d& head,
                 double tilt = 0.0)
      : torso_(torso), head_(head) {
    const double angle = (heading - 90.0) * kPi / 180.0;
    to_field_ = (Eigen::AngleAxisd(angle, Eigen::Vector3d::UnitZ()) *
                 Eigen::AngleAxisd(-tilt * kPi / 180.0, Eigen::Vector3d::UnitX()))
                    .toRotationMatrix();
  }

  // A team-frame point (m) as a polar sighting.
  Polar See(const Eigen::Vector3d& point) const {
    const Eigen::Vector3d in_head = head_.inverse() * (to_field_.transpose() * (point - torso_));
    const double distance = in_head.norm();
    return Polar{distance, std::atan2(-in_head.x(), in_head.y()) * 180.0 / kPi,
                 std::asin(in_head.z() / distance) * 180.0 / kPi};
  }

  // The server names of the eight landmarks with their team-frame positions (m) for a team
  // playing on the given side; the own team always attacks towards +x.
  static std::vector<std::pair<std::string, Eigen::Vector3d>> Landmarks(bool left_side) {
    const double s = left_side ? 1.0 : -1.0;
    return {{"F1R", Eigen::Vector3d(s * 15, s * 10, 0)},
            {"F2R", Eigen::Vector3d(s * 15, -s * 10, 0)},
            {"F1L", Eigen::Vector3d(-s * 15, s * 10, 0)},
            {"F2L", Eigen::Vector3d(-s * 15, -s * 10, 0)},
            {"G1R", Eigen::Vector3d(s * 15, s * 1.05, 0.8)},
            {"G2R", Eigen::Vector3d(s * 15, -s * 1.05, 0.8)},
            {"G1L", Eigen::Vector3d(-s * 15, s * 1.05, 0.8)},
            {"G2L", Eigen::Vector3d(-s * 15, -s * 1.05, 0.8)}};
  }

  // Adds all eight landmarks to the message's vision element.
  void AddLandmarks(PerceptionText& text, bool left_side) const {
    for (const auto& landmark : Landmarks(left_side)) {
      text.Landmark(landmark.first, See(landmark.second));
    }
  }

 private:
  static constexpr double kPi = 3.141592653589793;

  Eigen::Vector3d torso_;     // m, team frame
  Eigen::Matrix3d to_field_;  // torso frame to team frame
  Eigen::Affine3d head_;      // head pose in the torso frame
};

}  // namespace test
}  // namespace zamp
