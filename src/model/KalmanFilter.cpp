#include "model/KalmanFilter.h"

#include <Eigen/LU>

namespace zamp {

KalmanValue KalmanFilter::TimeUpdate(const KalmanValue& kv, const KalmanMatrix& F,
                                     const KalmanVector& Bu, const KalmanMatrix& Q) {
  KalmanValue next(F * kv.first + Bu, F * kv.second * F.transpose() + Q);
  if (!next.first.allFinite() || !next.second.allFinite()) return kv;
  return next;
}

KalmanValue KalmanFilter::MeasurementUpdate(const KalmanValue& kv, const KalmanVector& z,
                                            const KalmanMatrix& R) {
  if (!z.allFinite() || !R.allFinite()) return kv;
  const KalmanMatrix& P = kv.second;
  const KalmanMatrix K = P * (P + R).partialPivLu().inverse();
  if (!K.allFinite()) return kv;
  const KalmanMatrix I = KalmanMatrix::Identity();
  KalmanValue next(kv.first + K * (z - kv.first), (I - K) * P);
  if (!next.first.allFinite() || !next.second.allFinite()) return kv;
  return next;
}

}  // namespace zamp
