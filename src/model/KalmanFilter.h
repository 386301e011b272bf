// The arithmetic of the linear Kalman filters that track the agent, the ball and the other
// players' body parts. The field state (KalmanFieldState) calls these once or twice per
// object per cycle; they keep no state of their own.
//
// State vectors are (x, y, z, vx, vy, vz) in the team frame (m, m/s) with a 6 x 6
// covariance. The sizes are fixed so that a cycle's many small products need no heap.
#pragma once

#include <Eigen/Core>
#include <utility>

namespace zamp {

typedef Eigen::Matrix<double, 6, 1> KalmanVector;
typedef Eigen::Matrix<double, 6, 6> KalmanMatrix;

// (state x, covariance P).
typedef std::pair<KalmanVector, KalmanMatrix> KalmanValue;

class KalmanFilter {
 public:
  // Prediction: x' = F x + Bu, P' = F P F^T + Q. When the result would not be finite (a
  // non-finite control input or noise), the estimate is returned unchanged.
  static KalmanValue TimeUpdate(const KalmanValue& kv, const KalmanMatrix& F,
                                const KalmanVector& Bu, const KalmanMatrix& Q);

  // Correction by a measurement z of the full state with noise R (observation matrix I):
  // K = P (P + R)^-1, x' = x + K (z - x), P' = (I - K) P. A measurement whose values or
  // noise are not finite, or whose gain cannot be computed (P + R singular), is skipped:
  // the estimate comes back unchanged.
  static KalmanValue MeasurementUpdate(const KalmanValue& kv, const KalmanVector& z,
                                       const KalmanMatrix& R);
};

}  // namespace zamp
