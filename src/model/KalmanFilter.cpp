#include "model/KalmanFilter.h"

#include <Eigen/LU>

namespace zamp {

KalmanValue KalmanFilter::TimeUpdate(const KalmanValue& kv, const Eigen::MatrixXd& F,
                                     const Eigen::VectorXd& Bu, const Eigen::MatrixXd& Q) {
  KalmanValue next(F * kv.first + Bu, F * kv.second * F.transpose() + Q);
  if (!next.first.allFinite() || !next.second.allFinite()) return kv;
  return next;
}

KalmanValue KalmanFilter::MeasurementUpdate(const KalmanValue& kv, const Eigen::VectorXd& z,
                                            const Eigen::MatrixXd& R) {
  if (!z.allFinite() || !R.allFinite()) return kv;
  const Eigen::MatrixXd& P = kv.second;
  const Eigen::MatrixXd K = P * (P + R).partialPivLu().inverse();
  if (!K.allFinite()) return kv;
  const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(P.rows(), P.cols());
  KalmanValue next(kv.first + K * (z - kv.first), (I - K) * P);
  if (!next.first.allFinite() || !next.second.allFinite()) return kv;
  return next;
}

}  // namespace zamp
