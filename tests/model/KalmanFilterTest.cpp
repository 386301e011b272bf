#include <gtest/gtest.h>

#include <Eigen/LU>
#include <limits>
#include <random>

#include "model/KalmanFilter.h"

namespace zamp {
namespace {

const double kTolerance = 1e-12;

// The constant-velocity model of the field filters: dt = 0.02 s.
Eigen::MatrixXd MakeF() {
  Eigen::MatrixXd F = Eigen::MatrixXd::Identity(6, 6);
  for (int i = 0; i < 3; ++i) F(i, i + 3) = 0.02;
  return F;
}

Eigen::VectorXd Vector6(double a, double b, double c, double d, double e, double f) {
  Eigen::VectorXd v(6);
  v << a, b, c, d, e, f;
  return v;
}

TEST(KalmanFilterTest, TimeUpdateMovesByVelocityAndControlAndGrowsCovariance) {
  const KalmanValue kv(Vector6(1.0, 2.0, 0.0, 0.5, -1.0, 0.0), Eigen::MatrixXd::Identity(6, 6));
  // u = (1, 0, 0) m/s^2: B u = (dt^2 / 2, 0, 0, dt, 0, 0).
  const Eigen::VectorXd Bu = Vector6(0.0002, 0.0, 0.0, 0.02, 0.0, 0.0);
  const KalmanValue next =
      KalmanFilter::TimeUpdate(kv, MakeF(), Bu, 0.0001 * Eigen::MatrixXd::Identity(6, 6));
  // x = 1 + 0.5 * 0.02 + 0.0002, y = 2 - 1 * 0.02, vx = 0.5 + 0.02.
  EXPECT_TRUE(next.first.isApprox(Vector6(1.0102, 1.98, 0.0, 0.52, -1.0, 0.0), kTolerance));
  // F F^T + Q on the (x, vx) block: [[1 + 0.02^2 + 0.0001, 0.02], [0.02, 1 + 0.0001]].
  EXPECT_NEAR(next.second(0, 0), 1.0005, kTolerance);
  EXPECT_NEAR(next.second(0, 3), 0.02, kTolerance);
  EXPECT_NEAR(next.second(3, 0), 0.02, kTolerance);
  EXPECT_NEAR(next.second(3, 3), 1.0001, kTolerance);
  EXPECT_NEAR(next.second(0, 1), 0.0, kTolerance);
}

TEST(KalmanFilterTest, MeasurementUpdateWeighsByCovariances) {
  // Prior and measurement variances on every axis; the estimate after measuring 2 from a
  // prior of 0 and its variance.
  const struct {
    double p, r, expect_x, expect_p;
  } cases[] = {
      {2.0, 2.0, 1.0, 1.0},   // equal trust: half way, variance halved
      {3.0, 1.0, 1.5, 0.75},  // gain 0.75
      {0.0, 1.0, 0.0, 0.0},   // a certain estimate ignores the measurement
  };
  for (const auto& c : cases) {
    const KalmanValue kv(Eigen::VectorXd::Zero(6), c.p * Eigen::MatrixXd::Identity(6, 6));
    const KalmanValue next = KalmanFilter::MeasurementUpdate(kv, Eigen::VectorXd::Constant(6, 2.0),
                                                             c.r * Eigen::MatrixXd::Identity(6, 6));
    for (int i = 0; i < 6; ++i) {
      EXPECT_NEAR(next.first(i), c.expect_x, kTolerance) << "p " << c.p << " r " << c.r;
      EXPECT_NEAR(next.second(i, i), c.expect_p, kTolerance) << "p " << c.p << " r " << c.r;
    }
  }
}

TEST(KalmanFilterTest, MeasurementOfPositionAlsoCorrectsCorrelatedVelocity) {
  // Prior with position and velocity correlated (after one prediction from identity):
  // P = [[1.0004, 0.02], [0.02, 1]] on the x axis. Measuring x only (huge noise on vx)
  // moves vx by K(vx, x) * innovation.
  Eigen::MatrixXd P = Eigen::MatrixXd::Identity(6, 6);
  P(0, 0) = 1.0004;
  P(0, 3) = P(3, 0) = 0.02;
  Eigen::MatrixXd R = 1e12 * Eigen::MatrixXd::Identity(6, 6);
  R(0, 0) = 1.0;
  const KalmanValue kv(Eigen::VectorXd::Zero(6), P);
  const KalmanValue next =
      KalmanFilter::MeasurementUpdate(kv, Vector6(1.0, 0.0, 0.0, 0.0, 0.0, 0.0), R);
  // Gain on x: 1.0004 / 2.0004; on vx: 0.02 / 2.0004.
  EXPECT_NEAR(next.first(0), 1.0004 / 2.0004, 1e-9);
  EXPECT_NEAR(next.first(3), 0.02 / 2.0004, 1e-9);
}

TEST(KalmanFilterTest, NonFiniteOrSingularInputsLeaveTheEstimateUnchanged) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const KalmanValue kv(Vector6(1, 2, 3, 4, 5, 6), Eigen::MatrixXd::Identity(6, 6));
  const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(6, 6);

  Eigen::MatrixXd nan_noise = I;
  nan_noise(2, 2) = nan;
  const KalmanValue zero_cov(Vector6(1, 2, 3, 4, 5, 6), Eigen::MatrixXd::Zero(6, 6));

  const KalmanValue results[] = {
      KalmanFilter::MeasurementUpdate(kv, Vector6(0, 0, nan, 0, 0, 0), I),
      KalmanFilter::MeasurementUpdate(kv, Vector6(inf, 0, 0, 0, 0, 0), I),
      KalmanFilter::MeasurementUpdate(kv, Eigen::VectorXd::Zero(6), nan_noise),
      KalmanFilter::MeasurementUpdate(kv, Eigen::VectorXd::Zero(6), inf * I),
      KalmanFilter::TimeUpdate(kv, MakeF(), Vector6(nan, 0, 0, 0, 0, 0), I),
      KalmanFilter::TimeUpdate(kv, MakeF(), Eigen::VectorXd::Zero(6), nan_noise),
  };
  for (const KalmanValue& r : results) {
    EXPECT_EQ(r.first, kv.first);
    EXPECT_EQ(r.second, kv.second);
  }
  // A certain estimate and a certain measurement: P + R is singular, no gain exists.
  const KalmanValue singular = KalmanFilter::MeasurementUpdate(zero_cov, Eigen::VectorXd::Zero(6),
                                                               Eigen::MatrixXd::Zero(6, 6));
  EXPECT_EQ(singular.first, zero_cov.first);
  EXPECT_TRUE(singular.second.allFinite());
}

// The gain is computed with a 6 x 6 LU inverse of its own; it must agree with Eigen's
// partial-pivoting inverse on covariances as the field filters meet them (correlated,
// badly scaled, needing row exchanges) to rounding.
TEST(KalmanFilterTest, GainAgreesWithEigensInverseToRounding) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> entry(-1.0, 1.0);
  const double scales[] = {1e-6, 1e-3, 1.0, 1e3};
  for (int trial = 0; trial < 200; ++trial) {
    KalmanMatrix a;
    for (int i = 0; i < 6; ++i) {
      for (int j = 0; j < 6; ++j) a(i, j) = entry(random);
    }
    // A covariance: symmetric positive definite, with position and speed of unlike scale.
    KalmanMatrix P = a * a.transpose() + 0.01 * KalmanMatrix::Identity();
    P.bottomRightCorner<3, 3>() *= scales[trial % 4];
    KalmanMatrix R = KalmanMatrix::Zero();
    R.topLeftCorner<3, 3>() =
        scales[(trial / 4) % 4] * KalmanMatrix::Identity().topLeftCorner<3, 3>();
    R.bottomRightCorner<3, 3>() = KalmanMatrix::Identity().bottomRightCorner<3, 3>();
    // A general matrix too, so that the pivoting takes other rows than the diagonal.
    if (trial % 5 == 0) P = a;
    KalmanVector x;
    KalmanVector z;
    for (int i = 0; i < 6; ++i) {
      x(i) = entry(random);
      z(i) = entry(random);
    }

    const KalmanMatrix K = P * (P + R).partialPivLu().inverse();
    const KalmanVector expect_x = x + K * (z - x);
    const KalmanMatrix expect_p = (KalmanMatrix::Identity() - K) * P;
    const KalmanValue next = KalmanFilter::MeasurementUpdate(KalmanValue(x, P), z, R);
    const double size = 1.0 + P.cwiseAbs().maxCoeff();
    EXPECT_LT((next.first - expect_x).cwiseAbs().maxCoeff(), 1e-9 * size) << "trial " << trial;
    EXPECT_LT((next.second - expect_p).cwiseAbs().maxCoeff(), 1e-9 * size) << "trial " << trial;
  }
}

}  // namespace
}  // namespace zamp
