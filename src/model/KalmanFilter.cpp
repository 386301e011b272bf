#include "model/KalmanFilter.h"

#include <cmath>
#include <utility>

namespace zamp {

namespace {

// The inverse of a 6 x 6 matrix by LU decomposition with partial pivoting (the largest
// magnitude in each column becomes the pivot, as Eigen's PartialPivLU chooses it), written
// out for the fixed size: Eigen's general triangular solver packs and blocks its operands,
// which for so small a matrix costs several times the arithmetic. A singular matrix gives
// non-finite entries, as PartialPivLU's inverse does.
KalmanMatrix InverseByPartialPivotLU(const KalmanMatrix& a) {
  constexpr int N = 6;
  KalmanMatrix lu = a;
  int row_of[N];  // row_of[i]: the row of a that became row i
  for (int i = 0; i < N; ++i) row_of[i] = i;

  for (int k = 0; k < N; ++k) {
    int pivot = k;
    double biggest = std::fabs(lu(k, k));
    for (int i = k + 1; i < N; ++i) {
      if (std::fabs(lu(i, k)) > biggest) {
        biggest = std::fabs(lu(i, k));
        pivot = i;
      }
    }
    if (pivot != k) {
      lu.row(k).swap(lu.row(pivot));
      std::swap(row_of[k], row_of[pivot]);
    }
    // A zero column leaves a zero pivot, which the solve below turns into infinities.
    const int rest = N - 1 - k;
    if (biggest != 0.0) lu.col(k).tail(rest) /= lu(k, k);
    for (int j = k + 1; j < N; ++j) lu.col(j).tail(rest) -= lu(k, j) * lu.col(k).tail(rest);
  }

  // The six columns of the identity are solved side by side, row by row: each column sees
  // the same operations in the same order as when solved alone, but the operations of
  // different columns no longer wait for one another and run two at a time.
  Eigen::Matrix<double, N, N, Eigen::RowMajor> x =
      Eigen::Matrix<double, N, N, Eigen::RowMajor>::Zero();
  for (int i = 0; i < N; ++i) x(i, row_of[i]) = 1.0;
  // L y = P e_c, L with a unit diagonal.
  for (int k = 0; k < N; ++k) {
    for (int i = k + 1; i < N; ++i) x.row(i) -= lu(i, k) * x.row(k);
  }
  // U x = y.
  for (int k = N - 1; k >= 0; --k) {
    x.row(k) /= lu(k, k);
    for (int i = 0; i < k; ++i) x.row(i) -= lu(i, k) * x.row(k);
  }
  return x;
}

}  // namespace

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
  const KalmanMatrix K = P * InverseByPartialPivotLU(P + R);
  if (!K.allFinite()) return kv;
  const KalmanMatrix I = KalmanMatrix::Identity();
  KalmanValue next(kv.first + K * (z - kv.first), (I - K) * P);
  if (!next.first.allFinite() || !next.second.allFinite()) return kv;
  return next;
}

}  // namespace zamp
