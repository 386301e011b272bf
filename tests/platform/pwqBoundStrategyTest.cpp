#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

#include "platform/GenoPheno.h"
#include "platform/NoBoundStrategy.h"
#include "platform/NoScalingStrategy.h"
#include "platform/linScalingStrategy.h"
#include "platform/pwqBoundStrategy.h"

namespace libcmaes {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

// Box [0, 10]: bend widths al = min(5, 1/20) = 0.05 and au = min(5, 11/20) = 0.55, period
// r = 2 (10 + 0.05 + 0.55) = 21.2.
TEST(pwqBoundStrategyTest, MapsGenoValuesAsHandWorked) {
  const double lb[] = {0.0};
  const double ub[] = {10.0};
  const pwqBoundStrategy box(lb, ub, 1);
  struct Case {
    double geno;
    double pheno;
  };
  const Case cases[] = {
      {5.0, 5.0},                   // identity inside
      {0.05, 0.05},                 // start of the lower bend
      {0.0, 0.0125},                // 0 + (0 + 0.05)^2 / 0.2
      {-0.05, 0.0},                 // onto the lower face
      {10.0, 9.8625},               // 10 - (10 - 10.55)^2 / 2.2
      {10.55, 10.0},                // onto the upper face
      {11.0, 10.0 - 0.2025 / 2.2},  // mirrored to 10.1 first
      {5.0 + 21.2, 5.0},            // one period on
      {5.0 - 3 * 21.2, 5.0},        // three periods back
      {NaN, 5.0},                   // non-finite: box centre
      {INF, 5.0},
      {-INF, 5.0},
  };
  for (const Case& c : cases) {
    Eigen::VectorXd geno(1), pheno(1);
    geno << c.geno;
    box.to_pheno(geno, pheno);
    EXPECT_NEAR(pheno[0], c.pheno, 1e-9) << "geno " << c.geno;
  }
}

TEST(pwqBoundStrategyTest, EveryImageLiesInsideTheBoxAndGenoInvertsPheno) {
  const int dim = 16;
  double lb[dim];
  double ub[dim];
  for (int i = 0; i < dim; ++i) {
    lb[i] = -15.0 + 7.0 * i;  // boxes around zero and far from it, wide and narrow
    ub[i] = lb[i] + (i % 4 == 0 ? 0.01 : 30.0 + i);
  }
  const GenoPheno<pwqBoundStrategy> gp(lb, ub, dim);
  std::mt19937_64 rng(7);
  std::normal_distribution<double> normal;
  std::uniform_int_distribution<int> pick(0, 9);
  const double extremes[] = {1e300,
                             -1e300,
                             1e17,
                             -1e17,
                             NaN,
                             INF,
                             -INF,
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::max(),
                             0.0};
  Eigen::MatrixXd geno(dim, 10000);
  for (int c = 0; c < geno.cols(); ++c)
    for (int i = 0; i < dim; ++i)
      geno(i, c) = pick(rng) == 0 ? extremes[pick(rng)] : normal(rng) * 100.0;
  const Eigen::MatrixXd pheno = gp.pheno(geno);
  for (int c = 0; c < pheno.cols(); ++c) {
    for (int i = 0; i < dim; ++i) {
      ASSERT_TRUE(pheno(i, c) >= lb[i] && pheno(i, c) <= ub[i])
          << "coordinate " << i << " geno " << geno(i, c) << " pheno " << pheno(i, c);
    }
  }
  // The box's own points come back through geno.
  const Eigen::MatrixXd again = gp.pheno(gp.geno(pheno));
  EXPECT_TRUE(again.isApprox(pheno, 1e-12));
  // A point outside the box is clamped onto it before inversion.
  Eigen::VectorXd outside = Eigen::VectorXd::Constant(dim, 1e6);
  const Eigen::VectorXd clamped = gp.pheno(gp.geno(outside));
  for (int i = 0; i < dim; ++i) EXPECT_NEAR(clamped[i], ub[i], 1e-9 * (1.0 + std::fabs(ub[i])));
}

TEST(pwqBoundStrategyTest, RejectsBoxesNoTransformCanHonour) {
  const double lb[] = {0.0, 1.0};
  const double bad_order[] = {1.0, 0.5};
  const double not_finite[] = {1.0, INF};
  EXPECT_THROW(pwqBoundStrategy(lb, bad_order, 2), std::invalid_argument);
  EXPECT_THROW(pwqBoundStrategy(lb, not_finite, 2), std::invalid_argument);
  EXPECT_THROW(pwqBoundStrategy(nullptr, lb, 2), std::invalid_argument);
  const pwqBoundStrategy box(lb, lb, 2);  // a point box pins the coordinate
  Eigen::VectorXd pheno(2);
  box.to_pheno(Eigen::Vector2d(-3.0, 8.0), pheno);
  EXPECT_EQ(pheno, Eigen::Vector2d(0.0, 1.0));
  Eigen::VectorXd wrong_size(3);
  EXPECT_THROW(box.to_pheno(Eigen::Vector3d::Zero(), wrong_size), std::invalid_argument);
}

TEST(pwqBoundStrategyTest, LinearScalingStretchesTheBoxToZeroTenAndBack) {
  const double lb[] = {-1.0, 100.0};
  const double ub[] = {1.0, 300.0};
  const GenoPheno<NoBoundStrategy, linScalingStrategy> scaled(lb, ub, 2);
  EXPECT_TRUE(scaled.geno(Eigen::VectorXd(Eigen::Vector2d(0.0, 300.0)))
                  .isApprox(Eigen::Vector2d(5.0, 10.0), 1e-12));
  EXPECT_TRUE(scaled.pheno(Eigen::VectorXd(Eigen::Vector2d(10.0, 0.0)))
                  .isApprox(Eigen::Vector2d(1.0, 100.0), 1e-12));
  // Bounded and scaled: the bend acts in the caller's units, after unscaling.
  const GenoPheno<pwqBoundStrategy, linScalingStrategy> both(lb, ub, 2);
  const Eigen::VectorXd inside = both.pheno(Eigen::VectorXd(Eigen::Vector2d(40.0, -40.0)));
  EXPECT_TRUE(inside[0] >= -1.0 && inside[0] <= 1.0 && inside[1] >= 100.0 && inside[1] <= 300.0);
  EXPECT_TRUE(both.pheno(both.geno(inside)).isApprox(inside, 1e-12));
  EXPECT_THROW(linScalingStrategy(lb, lb, 2), std::invalid_argument);
}

}  // namespace
}  // namespace libcmaes
