// The arithmetic of the linear Kalman filters that track the agent, the ball and the other
// players' body parts. The field state (KalmanFieldState) calls these once or twice per
// object per cycle; they keep no state of their own.
//
// State vectors are (x, y, z, vx, vy, vz) in the team frame (m, m/s) with a 6 x 6
// covariance, but nothing here depends on the size.
#pragma once

#include <Eigen/Core>
#include <utility>

namespace zamp {

// (state x, covariance P).
typedef std::pair<Eigen::VectorXd, Eigen::MatrixXd> KalmanValue;

class KalmanFilter {
 public:
  // Prediction: x' = F x + Bu, P' = F P F^T + Q. When the result would not be finite (a
  // non-finite control input or noise), the estimate is returned unchanged.
  static KalmanValue TimeUpdate(const KalmanValue& kv, const Eigen::MatrixXd& F,
                                const Eigen::VectorXd& Bu, const Eigen::MatrixXd& Q);

  // Correction by a measurement z of the full state with noise R (observation matrix I):
  // K = P (P + R)^-1, x' = x + K (z - x), P' = (I - K) P. A measurement whose values or
  // noise are not finite, or whose gain cannot be computed (P + R singular), is skipped:
  // the estimate comes back unchanged.
  static KalmanValue MeasurementUpdate(const KalmanValue& kv, const Eigen::VectorXd& z,
                                       const Eigen::MatrixXd& R);
};

}  // namespace zamp
