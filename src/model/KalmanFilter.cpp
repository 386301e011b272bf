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
    if (biggest != 0.0) {
      for (int i = k + 1; i < N; ++i) lu(i, k) /= lu(k, k);
    }
    for (int j = k + 1; j < N; ++j) {
      for (int i = k + 1; i < N; ++i) lu(i, j) -= lu(i, k) * lu(k, j);
    }
  }

  // The six columns of the identity are solved side by side, row by row: each column sees
  // the same operations in the same order as when solved alone, but the divisions of
  // different columns no longer wait for one another.
  double x[N][N];  // x[i][c]: row i of column c
  for (int i = 0; i < N; ++i) {
    for (int c = 0; c < N; ++c) x[i][c] = row_of[i] == c ? 1.0 : 0.0;
  }
  // L y = P e_c, L with a unit diagonal.
  for (int k = 0; k < N; ++k) {
    for (int i = k + 1; i < N; ++i) {
      const double l = lu(i, k);
      for (int c = 0; c < N; ++c) x[i][c] -= l * x[k][c];
    }
  }
  // U x = y.
  for (int k = N - 1; k >= 0; --k) {
    const double pivot = lu(k, k);
    for (int c = 0; c < N; ++c) x[k][c] /= pivot;
    for (int i = 0; i < k; ++i) {
      const double u = lu(i, k);
      for (int c = 0; c < N; ++c) x[i][c] -= u * x[k][c];
    }
  }
  KalmanMatrix inverse;
  for (int i = 0; i < N; ++i) {
    for (int c = 0; c < N; ++c) inverse(i, c) = x[i][c];
  }
  return inverse;
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
