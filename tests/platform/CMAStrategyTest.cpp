#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/CMAStrategy.h"
#include "platform/CovarianceUpdate.h"
#include "platform/ESOptimizer.h"

namespace libcmaes {
namespace {

typedef CMAParameters<GenoPheno<NoBoundStrategy>> Parameters;
typedef CMAStrategy<CovarianceUpdate> Strategy;

double Sphere(const double* x, const int& n) {
  double f = 0.0;
  for (int i = 0; i < n; ++i) f += x[i] * x[i];
  return f;
}

// Axis scales from 1 to 1e6 (condition 1e6 of the Hessian).
double Ellipsoid(const double* x, const int& n) {
  double f = 0.0;
  for (int i = 0; i < n; ++i) f += std::pow(1e6, i / (n - 1.0)) * x[i] * x[i];
  return f;
}

// One ask-and-tell generation scored with func; count tells whether the caller counts it.
template <class TStrategy>
void Generation(TStrategy& strategy, const FitFunc& func, bool count = true) {
  strategy.ask();
  CMASolutions& solutions = strategy.get_solutions();
  for (int r = 0; r < solutions.size(); ++r) {
    Candidate& candidate = solutions.get_candidate(r);
    candidate.set_fvalue(func(candidate.get_x_ptr(), strategy.get_parameters()._dim));
  }
  strategy.tell();
  if (count) strategy.inc_iter();
}

// Generations until the best value of a generation is below 1e-8, or max_generations.
int GenerationsToTarget(FitFunc func, int algo, std::uint64_t seed, int max_generations) {
  const int dim = 16;
  const std::vector<double> x0(dim, 3.0);
  Parameters parameters(dim, x0.data(), 2.0, -1, seed);
  parameters._algo = algo;
  Strategy strategy(func, parameters);
  const CMASolutions& solutions = strategy.get_solutions();
  for (int g = 0; g < max_generations; ++g) {
    Generation(strategy, func);
    EXPECT_TRUE(solutions._xmean.allFinite() && std::isfinite(solutions._sigma));
    if (solutions.best_candidate().get_fvalue() < 1e-8) return g + 1;
  }
  return max_generations;
}

TEST(CMAStrategyTest, DefaultParametersFollowThePublishedFormulas) {
  const Parameters parameters(16, nullptr, 1.0, -1, 5);
  EXPECT_EQ(parameters._lambda, 12);  // 4 + floor(3 ln 16) = 4 + floor(8.318)
  EXPECT_EQ(parameters._mu, 6);
  EXPECT_EQ(parameters._seed, 5u);
  EXPECT_NEAR(parameters._weights.head(6).sum(), 1.0, 1e-12);
  // ln 6.5 / (6 ln 6.5 - ln 720) = 1.871802 / 4.651562
  EXPECT_NEAR(parameters._weights[0], 0.402403, 1e-6);
  EXPECT_TRUE((parameters._weights.tail(6).array() <= 0.0).all());
  // At this size the smallest of the three published caps on the negative mass is
  // 1 + c1 / cmu.
  EXPECT_NEAR(-parameters._weights.tail(6).sum(), 1.0 + parameters._c1 / parameters._cmu, 1e-12);
  EXPECT_NEAR(parameters._chi, 4.0 * (1.0 - 1.0 / 64.0 + 1.0 / (21.0 * 256.0)), 1e-12);
  const Parameters clock_seeded(3, nullptr, 1.0, 100, 0);
  EXPECT_NE(clock_seeded._seed, 0u);
  EXPECT_EQ(clock_seeded._lambda, 100);
  EXPECT_EQ(clock_seeded._mu, 50);
  const double x0[] = {0.0, std::numeric_limits<double>::quiet_NaN()};
  EXPECT_THROW(Parameters(2, x0, 1.0), std::invalid_argument);
  EXPECT_THROW(Parameters(2, nullptr, 0.0), std::invalid_argument);
  EXPECT_THROW(Parameters(0, nullptr, 1.0), std::invalid_argument);
}

TEST(CMAStrategyTest, EqualSeedsGiveEqualPopulations) {
  FitFunc func = Sphere;
  const double x0[] = {1.0, 2.0, 3.0, 4.0};
  Parameters a(4, x0, 0.5, 10, 42), b(4, x0, 0.5, 10, 42), c(4, x0, 0.5, 10, 43);
  Strategy sa(func, a), sb(func, b), sc(func, c);
  const Eigen::MatrixXd first = sa.ask();
  ASSERT_EQ(first.rows(), 4);
  ASSERT_EQ(first.cols(), 10);
  EXPECT_EQ(first, sb.ask());
  EXPECT_NE(first, sc.ask());
  // The candidates carry the same columns (pheno = geno here), not yet evaluated.
  EXPECT_EQ(sa.get_solutions().get_candidate(3).get_x_dvec(), first.col(3));
  EXPECT_TRUE(std::isnan(sa.get_solutions().get_candidate(3).get_fvalue()));
  // Later generations stay equal too.
  for (Strategy* s : {&sa, &sb}) {
    for (int r = 0; r < 10; ++r) s->get_solutions().get_candidate(r).set_fvalue(10.0 - r);
    s->tell();
    s->inc_iter();
  }
  EXPECT_EQ(sa.ask(), sb.ask());
}

TEST(CMAStrategyTest, ConvergesOnSphereAndEllipsoidAndActiveIsNotSlower) {
  const int limit = 4000;
  int plain_total = 0;
  int active_total = 0;
  for (std::uint64_t seed : {11u, 12u, 13u}) {
    EXPECT_LT(GenerationsToTarget(Sphere, CMAES_DEFAULT, seed, limit), 400) << seed;
    EXPECT_LT(GenerationsToTarget(Sphere, aCMAES, seed, limit), 400) << seed;
    const int plain = GenerationsToTarget(Ellipsoid, CMAES_DEFAULT, seed, limit);
    const int active = GenerationsToTarget(Ellipsoid, aCMAES, seed, limit);
    EXPECT_LT(plain, limit) << seed;
    EXPECT_LT(active, limit) << seed;
    std::cout << "seed " << seed << " ellipsoid generations: plain " << plain << ", active "
              << active << "\n";
    plain_total += plain;
    active_total += active;
  }
  EXPECT_LE(active_total, plain_total);
}

TEST(CMAStrategyTest, ActiveUpdateClassEqualsActiveAlgorithmSetting) {
  FitFunc func = Ellipsoid;
  const std::vector<double> x0(6, 1.0);
  Parameters active(6, x0.data(), 1.0, -1, 9);
  active._algo = aCMAES;
  Parameters plain(6, x0.data(), 1.0, -1, 9);
  Strategy by_setting(func, active);
  CMAStrategy<ACovarianceUpdate> by_class(func, plain);
  Strategy by_default(func, plain);
  for (int g = 0; g < 20; ++g) {
    Generation(by_setting, func);
    Generation(by_class, func);
    Generation(by_default, func);
  }
  EXPECT_EQ(by_setting.get_solutions()._cov, by_class.get_solutions()._cov);
  EXPECT_NE(by_setting.get_solutions()._cov, by_default.get_solutions()._cov);
}

TEST(CMAStrategyTest, CallersThatNeverCountGenerationsStillGetFreshDecompositions) {
  FitFunc func = Ellipsoid;
  const std::vector<double> x0(4, 1.0);
  Parameters parameters(4, x0.data(), 1.0, -1, 2);
  ASSERT_EQ(parameters._eigen_gap, 1);  // 1 / (10 n (c1 + cmu)) is below 1 at n = 4
  Strategy strategy(func, parameters);
  for (int g = 0; g < 40; ++g) Generation(strategy, func, false);
  strategy.ask();
  const CMASolutions& s = strategy.get_solutions();
  EXPECT_EQ(strategy.get_niter(), 0);
  EXPECT_EQ(s._eigen_iter, 40);
  // Sampling uses the covariance as it is now, which has left the identity.
  EXPECT_TRUE((s._bd * s._bd.transpose()).isApprox(s._cov, 1e-9));
  EXPECT_FALSE(s._cov.isApprox(Eigen::MatrixXd::Identity(4, 4), 0.1));
}

TEST(CMAStrategyTest, NonFiniteValuesRankLastAndNeverReachTheState) {
  FitFunc func = Sphere;
  const double x0[] = {1.0, 1.0, 1.0};
  Parameters parameters(3, x0, 1.0, 8, 3);
  parameters._algo = aCMAES;
  Strategy strategy(func, parameters);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int g = 0; g < 50; ++g) {
    const Eigen::MatrixXd x = strategy.ask();
    CMASolutions& s = strategy.get_solutions();
    for (int r = 0; r < s.size(); ++r)
      s.get_candidate(r).set_fvalue(r % 2 == 0 ? nan : Sphere(x.col(r).data(), 3));
    strategy.tell();
    strategy.inc_iter();
    ASSERT_FALSE(std::isnan(s.best_candidate().get_fvalue()));
    ASSERT_TRUE(std::isnan(s.get_candidate(s.size() - 1).get_fvalue()));
    ASSERT_TRUE(s._xmean.allFinite() && s._cov.allFinite() && std::isfinite(s._sigma));
  }
  EXPECT_LT(strategy.get_solutions()._xmean.norm(), 0.1);
  EXPECT_FALSE(strategy.stop());
  // Every value NaN: ties keep column order, state stays finite.
  strategy.ask();
  strategy.tell();
  EXPECT_TRUE(strategy.get_solutions()._cov.allFinite());
}

TEST(CMAStrategyTest, UnboundedObjectiveGrowsTheStepUntilStopWithAValidCovariance) {
  // Values that reward one direction without end: the step size grows by up to e per
  // generation and the covariance flattens, until stop() reports the blow-up.
  FitFunc func = [](const double* x, const int&) { return -std::fabs(x[0]) * 1e3; };
  const double x0[] = {0.0, 0.0, 0.0, 0.0};
  Parameters parameters(4, x0, 1.0, -1, 21);
  parameters._algo = aCMAES;
  parameters.set_max_iter(1000);
  ESOptimizer<Strategy, Parameters> optimizer(func, parameters);
  const int generations = optimizer.optimize();
  EXPECT_LT(generations, 1000);
  const CMASolutions& s = optimizer.get_solutions();
  EXPECT_GT(s._sigma, 1e20);
  EXPECT_TRUE(s._cov.isApprox(s._cov.transpose()));
  EXPECT_GT(s._sqrt_eigenvalues.minCoeff(), 0.0);
  EXPECT_TRUE(s._xmean.allFinite() && s._cov.allFinite() && std::isfinite(s._sigma));
  EXPECT_EQ(optimizer.get_nevals(), generations * parameters._lambda);
}

TEST(CMAStrategyTest, StopsAtTheGenerationLimitOrWhenTheStepCollapses) {
  FitFunc func = Sphere;
  const double x0[] = {1.0, -1.0};
  Parameters limited(2, x0, 1.0, -1, 4);
  limited.set_max_iter(7);
  ESOptimizer<Strategy, Parameters> optimizer(func, limited);
  EXPECT_EQ(optimizer.optimize(), 7);
  EXPECT_TRUE(optimizer.stop());

  Parameters open(2, x0, 1.0, -1, 4);
  ESOptimizer<Strategy, Parameters> sphere(func, open);
  EXPECT_FALSE(sphere.stop());
  // The steps shrink geometrically on the sphere until they collapse.
  sphere.optimize();
  const CMASolutions& s = sphere.get_solutions();
  EXPECT_LT(s._sigma * std::sqrt(s._cov.diagonal().maxCoeff()), 1e-11);
  EXPECT_LT(s._xmean.norm(), 1e-9);

  Strategy unasked(func, open);
  EXPECT_THROW(unasked.tell(), std::logic_error);
}

}  // namespace
}  // namespace libcmaes
