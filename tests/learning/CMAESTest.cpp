#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

#include "OptimiserSetup.h"
#include "learning/CMAES.h"

namespace zamp {
namespace {

using testing_cmaes::Ellipsoid;
using testing_cmaes::MakeOptimiser;
using testing_cmaes::MakeParameters;
using testing_cmaes::RunGeneration;
using testing_cmaes::Sphere;

bool AllFinite(const double* v, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}

TEST(CMAESTest, InitSetsTheStartingDistribution) {
  Parameters<double> p;
  const std::vector<double> x0 = {0.5, -1.0, 2.0}, stds = {1.0, 2.0, 2.0};
  p.init(3, x0.data(), stds.data());
  CMAES<double> cma;
  EXPECT_EQ(cma.version, "1.0alpha");
  double* fitness = cma.init(p);
  EXPECT_EQ(fitness, cma.publicFitness);
  // trace 9: sigma = sqrt(9 / 3); rgD = deviation / sigma; C = rgD^2 on the diagonal.
  EXPECT_NEAR(cma.sigma, std::sqrt(3.0), 1e-15);
  EXPECT_NEAR(cma.rgD[1], 2.0 / std::sqrt(3.0), 1e-15);
  EXPECT_NEAR(cma.C[1][1], 4.0 / 3.0, 1e-15);
  EXPECT_EQ(cma.C[1][0], 0.0);
  EXPECT_NEAR(cma.maxdiagC, 4.0 / 3.0, 1e-15);
  EXPECT_NEAR(cma.mindiagC, 1.0 / 3.0, 1e-15);
  EXPECT_NEAR(cma.maxEW, 4.0 / 3.0, 1e-15);
  // chiN = sqrt(3) (1 - 1/12 + 1/189).
  EXPECT_NEAR(cma.chiN, std::sqrt(3.0) * (1.0 - 1.0 / 12.0 + 1.0 / 189.0), 1e-15);
  EXPECT_EQ(cma.dMaxSignifKond, 9007199254740.992);
  EXPECT_EQ(cma.xmean[2], 2.0);
  EXPECT_EQ(cma.xold[0], 0.5);
  EXPECT_EQ(cma.B[2][2], 1.0);
  EXPECT_EQ(cma.B[2][0], 0.0);
  EXPECT_EQ(cma.xBestEver[3], std::numeric_limits<double>::max());
  EXPECT_EQ(cma.state, CMAES<double>::INITIALIZED);
  // The hidden leading elements hold the lengths: lambda 7 = 4 + floor(3 ln 3), history
  // 10 + ceil(90 / 7) = 23.
  EXPECT_EQ(cma.xmean[-1], 3.0);
  EXPECT_EQ(cma.population[6][-1], 3.0);
  EXPECT_EQ(cma.functionValues[-1], 7.0);
  EXPECT_EQ(cma.funcValueHistory[-1], 23.0);
}

TEST(CMAESTest, KickAgentSizesGiveTheDocumentedStart) {
  Parameters<double> p = MakeParameters(59, 0.0, 2.0, 200);
  auto cma = MakeOptimiser(p, 1);
  EXPECT_NEAR(cma->sigma, 2.0, 1e-15);
  EXPECT_NEAR(cma->chiN, 7.64870359591919, 1e-13);
  EXPECT_EQ(cma->funcValueHistory[-1], 19.0);
}

TEST(CMAESTest, IncompleteParametersAreRejected) {
  Parameters<double> p;
  CMAES<double> cma;
  try {
    cma.init(p);
    FAIL() << "accepted parameters that were never completed";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(),
                 "init(): incomplete parameters (Parameters::init must run before CMAES::init)");
  }
  // Without a run there is nothing to sample, update or write.
  EXPECT_THROW(cma.samplePopulation(), std::runtime_error);
  const double f[1] = {0.0};
  EXPECT_EQ(cma.updateDistribution(f), nullptr);
  std::ostringstream out;
  cma.writeToStream(CMAES<double>::WKAll | CMAES<double>::WKXMean, out);
  EXPECT_EQ(out.str(), "");
}

TEST(CMAESTest, SameSeedGivesTheSameRun) {
  const Parameters<double> p = MakeParameters(10, 1.0, 0.5);
  auto a = MakeOptimiser(p, 4711);
  auto b = MakeOptimiser(p, 4711);
  for (int g = 0; g < 30; ++g) {
    const double* const* pa = a->samplePopulation();
    const double* const* pb = b->samplePopulation();
    for (int k = 0; k < p.lambda; ++k) {
      for (int i = 0; i < p.N; ++i) ASSERT_EQ(pa[k][i], pb[k][i]) << g << " " << k << " " << i;
      a->publicFitness[k] = b->publicFitness[k] = Sphere(pa[k], p.N);
    }
    a->updateDistribution(a->publicFitness);
    b->updateDistribution(b->publicFitness);
  }
  EXPECT_EQ(a->sigma, b->sigma);
  for (int i = 0; i <= p.N + 1; ++i) EXPECT_EQ(a->xBestEver[i], b->xBestEver[i]);

  auto c = MakeOptimiser(p, 4712);
  EXPECT_NE(c->samplePopulation()[0][0], MakeOptimiser(p, 4711)->samplePopulation()[0][0]);
}

TEST(CMAESTest, BestFitnessFallsByOrdersOfMagnitude) {
  struct Case {
    const char* name;
    double (*f)(const double*, int);
    int n;
    int lambda;
    int generations;
    double factor;  // the best fitness must fall below the start's times this
  };
  const std::vector<Case> cases = {
      {"sphere", Sphere, 10, -1, 200, 1e-9},
      {"ellipsoid", Ellipsoid, 10, -1, 500, 1e-5},
      {"sphere", Sphere, 59, 200, 200, 1e-6},
      {"ellipsoid", Ellipsoid, 59, 200, 300, 1e-3},
  };
  for (const Case& c : cases) {
    const Parameters<double> p = MakeParameters(c.n, 1.0, 0.3, c.lambda);
    auto cma = MakeOptimiser(p, 99);
    const std::vector<double> x0(c.n, 1.0);
    const double start = c.f(x0.data(), c.n);
    double best = start;
    for (int g = 0; g < c.generations; ++g) best = std::min(best, RunGeneration(*cma, c.f));
    EXPECT_LT(best, start * c.factor) << c.name << " N=" << c.n;
    EXPECT_LE(cma->xBestEver[c.n], best * (1 + 1e-12)) << c.name << " N=" << c.n;
    EXPECT_EQ(cma->countevals, static_cast<double>(c.generations) * p.lambda);
  }
}

TEST(CMAESTest, UpdateOutsideTheSampledStateChangesNothing) {
  const Parameters<double> p = MakeParameters(4, 1.0, 0.5);
  auto cma = MakeOptimiser(p, 3);
  std::vector<double> f(p.lambda, 1.0);
  for (int k = 0; k < p.lambda; ++k) f[k] = k;

  auto check_unchanged = [&](const char* when) {
    const double sigma = cma->sigma;
    const double c10 = cma->C[1][0];
    const double x0 = cma->xmean[0];
    const double evals = cma->countevals;
    const CMAES<double>::State state = cma->state;
    EXPECT_EQ(cma->updateDistribution(f.data()), cma->xmean) << when;
    EXPECT_EQ(cma->sigma, sigma) << when;
    EXPECT_EQ(cma->C[1][0], c10) << when;
    EXPECT_EQ(cma->xmean[0], x0) << when;
    EXPECT_EQ(cma->countevals, evals) << when;
    EXPECT_EQ(cma->state, state) << when;
  };
  check_unchanged("before the first sample");
  cma->samplePopulation();
  cma->updateDistribution(f.data());
  EXPECT_EQ(cma->countevals, p.lambda);
  check_unchanged("second update of one population");

  EXPECT_THROW(cma->updateDistribution(nullptr), std::runtime_error);
}

TEST(CMAESTest, UnexpectedUpdateIsReportedWhenWarningsAreOn) {
  Parameters<double> p = MakeParameters(3, 0.0, 1.0);
  CMAES<double> cma;
  cma.params.logWarnings = true;  // the optimiser's own setting survives init
  cma.init(p);
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  std::vector<double> f(p.lambda, 0.0);
  cma.updateDistribution(f.data());
  std::cerr.rdbuf(old);
  EXPECT_EQ(captured.str(), "updateDistribution(): unexpected state\n");
}

TEST(CMAESTest, RankingPutsLaterEqualsFirstAndNaNLast) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    std::vector<double> f;
    std::vector<int> ranking;
  };
  const std::vector<Case> cases = {
      {{3.0, 1.0, 2.0, 0.0, 5.0}, {3, 1, 2, 0, 4}},
      {{1.0, 0.0, 0.0, 2.0, 0.0}, {4, 2, 1, 0, 3}},
      {{nan, 1.0, 0.0, 2.0, -1.0}, {4, 2, 1, 3, 0}},
      {{2.0, nan, 1.0, nan, 0.0}, {4, 2, 0, 3, 1}},
  };
  for (const Case& c : cases) {
    Parameters<double> p;
    p.lambda = 5;
    const std::vector<double> x0(2, 0.0), stds(2, 1.0);
    p.init(2, x0.data(), stds.data());
    auto cma = MakeOptimiser(p, 5);
    cma->samplePopulation();
    cma->updateDistribution(c.f.data());
    for (int k = 0; k < 5; ++k) EXPECT_EQ(cma->index[k], c.ranking[k]) << k;
    EXPECT_TRUE(AllFinite(cma->xmean, 2));
    EXPECT_EQ(cma->funcValueHistory[0], c.f[c.ranking[0]]);
  }
}

TEST(CMAESTest, BestEverIsTakenInGenerationOneAndKeptAgainstWorse) {
  const Parameters<double> p = MakeParameters(2, 0.0, 1.0);
  auto cma = MakeOptimiser(p, 8);
  const double* const* pop = cma->samplePopulation();
  std::vector<double> f(p.lambda, 10.0);
  f[2] = 5.0;
  const double x2 = pop[2][0];
  cma->updateDistribution(f.data());
  EXPECT_EQ(cma->xBestEver[0], x2);
  EXPECT_EQ(cma->xBestEver[2], 5.0);
  EXPECT_EQ(cma->xBestEver[3], p.lambda);

  cma->samplePopulation();
  std::vector<double> worse(p.lambda, 7.0);
  worse[0] = 6.0;
  cma->updateDistribution(worse.data());
  EXPECT_EQ(cma->xBestEver[0], x2);
  EXPECT_EQ(cma->xBestEver[2], 5.0);
  EXPECT_EQ(cma->xBestEver[3], p.lambda);
}

TEST(CMAESTest, EqualFitnessRaisesSigmaOnTopOfTheNormalUpdate) {
  const Parameters<double> p = MakeParameters(5, 0.0, 1.0);
  auto cma = MakeOptimiser(p, 21);
  cma->samplePopulation();
  const double sigma0 = cma->sigma;
  std::vector<double> f(p.lambda, 3.0);
  cma->updateDistribution(f.data());
  double psxps = 0;
  for (int i = 0; i < p.N; ++i) psxps += cma->ps[i] * cma->ps[i];
  const double expected = sigma0 * std::exp(0.2 + p.cs / p.damps) *
                          std::exp((std::sqrt(psxps) / cma->chiN - 1) * p.cs / p.damps);
  EXPECT_NEAR(cma->sigma, expected, 1e-14 * expected);
}

TEST(CMAESTest, FirstGenerationSamplesOnTheAxesThenTheFullForm) {
  const Parameters<double> p = MakeParameters(3, 0.0, 1.0);
  auto cma = MakeOptimiser(p, 2);
  EXPECT_EQ(cma->gen, 0.0);
  cma->samplePopulation();
  EXPECT_EQ(cma->gen, 1.0);
  EXPECT_EQ(cma->state, CMAES<double>::SAMPLED);
  cma->samplePopulation();  // resampling does not count a generation
  EXPECT_EQ(cma->gen, 1.0);
  RunGeneration(*cma, Sphere);
  EXPECT_EQ(cma->gen, 1.0);
  EXPECT_EQ(cma->state, CMAES<double>::UPDATED);
  // The update left C full and out of date; the next sample decomposes it before it counts
  // the new generation.
  EXPECT_FALSE(cma->eigensysIsUptodate);
  EXPECT_NE(cma->C[1][0], 0.0);
  cma->samplePopulation();
  EXPECT_EQ(cma->gen, 2.0);
  EXPECT_TRUE(cma->eigensysIsUptodate);
  EXPECT_EQ(cma->genOfEigensysUpdate, 1.0);
}

TEST(CMAESTest, EigenDecompositionReproducesTheCovariance) {
  const Parameters<double> p = MakeParameters(3, 0.0, 1.0);
  auto cma = MakeOptimiser(p, 2);
  // [[2, 1, 0], [1, 2, 0], [0, 0, 3]]: eigenvalues 1, 3, 3.
  const double full[3][3] = {{2, 1, 0}, {1, 2, 0}, {0, 0, 3}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j <= i; ++j) cma->C[i][j] = full[i][j];
  }
  cma->updateEigensystem(true);
  std::vector<double> ev = {cma->rgD[0] * cma->rgD[0], cma->rgD[1] * cma->rgD[1],
                            cma->rgD[2] * cma->rgD[2]};
  std::sort(ev.begin(), ev.end());
  EXPECT_NEAR(ev[0], 1.0, 1e-14);
  EXPECT_NEAR(ev[1], 3.0, 1e-14);
  EXPECT_NEAR(ev[2], 3.0, 1e-14);
  EXPECT_NEAR(cma->minEW, 1.0, 1e-14);
  EXPECT_NEAR(cma->maxEW, 3.0, 1e-14);
  std::vector<double> squares = {ev[0], ev[1], ev[2]};
  for (int k = 0; k < 3; ++k) squares[k] = cma->rgD[k] * cma->rgD[k];
  EXPECT_EQ(cma->checkEigen(squares.data(), cma->B), 0);
}

TEST(CMAESTest, HouseholderLeavesATridiagonalSimilarMatrix) {
  const Parameters<double> p = MakeParameters(3, 0.0, 1.0);
  auto cma = MakeOptimiser(p, 2);
  const double a[3][3] = {{4, 1, 2}, {1, 3, 0.5}, {2, 0.5, 1}};
  double rows[3][3];
  double* v[3] = {rows[0], rows[1], rows[2]};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) rows[i][j] = a[i][j];
  }
  double d[3], e[3];
  cma->householder(v, d, e);
  // V^T A V must be the tridiagonal matrix with diagonal d and sub-diagonal e[1], e[2].
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      double t = 0;
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) t += v[i][r] * a[i][j] * v[j][c];
      }
      double expected = 0;
      if (r == c) expected = d[r];
      if (r == c + 1) expected = e[r];
      if (c == r + 1) expected = e[c];
      EXPECT_NEAR(t, expected, 1e-14) << r << " " << c;
    }
  }
}

TEST(CMAESTest, HypotTable) {
  struct Case {
    double a, b, expected;
  };
  const std::vector<Case> cases = {{3, 4, 5},  {-4, 3, 5}, {0, 0, 0},
                                   {-3, 0, 3}, {0, -2, 2}, {1e200, 1e200, 1.4142135623730951e200}};
  for (const Case& c : cases) {
    EXPECT_NEAR(myhypot(c.a, c.b), c.expected, 1e-15 * c.expected) << c.a << " " << c.b;
  }
}

TEST(CMAESTest, NearlySingularCovarianceGivesNoNaN) {
  Parameters<double> p;
  p.lambda = 8;
  const std::vector<double> x0(2, 0.0), stds(2, 1.0);
  p.init(2, x0.data(), stds.data());
  auto cma = MakeOptimiser(p, 17);
  RunGeneration(*cma, Sphere);
  // [[1, 1], [1, 1 - 1e-12]] has determinant -1e-12: one eigenvalue near -5e-13.
  cma->C[0][0] = 1.0;
  cma->C[1][0] = 1.0;
  cma->C[1][1] = 1.0 - 1e-12;
  cma->updateEigensystem(true);
  EXPECT_TRUE(AllFinite(cma->rgD, 2));
  EXPECT_GT(cma->minEW, 0.0);
  // The floor: largest eigenvalue (2) over the largest significant condition number.
  EXPECT_NEAR(cma->minEW, 2.0 / cma->dMaxSignifKond, 1e-6 * cma->minEW);
  for (int g = 0; g < 20; ++g) {
    const double* const* pop = cma->samplePopulation();
    for (int k = 0; k < p.lambda; ++k) ASSERT_TRUE(AllFinite(pop[k], 2)) << g << " " << k;
    for (int k = 0; k < p.lambda; ++k) cma->publicFitness[k] = Sphere(pop[k], 2);
    cma->updateDistribution(cma->publicFitness);
    ASSERT_TRUE(AllFinite(cma->xmean, 2)) << g;
    ASSERT_TRUE(std::isfinite(cma->sigma)) << g;
  }
}

TEST(CMAESTest, MinimalChangeRaisesSigmaAndZeroVarianceDoesNotHang) {
  Parameters<double> p;
  const std::vector<double> x0(2, 0.0), stds(2, 1.0);
  p.rgDiffMinChange = new double[2]{5.0, 0.0};
  p.init(2, x0.data(), stds.data());
  auto cma = MakeOptimiser(p, 1);
  cma->samplePopulation();
  EXPECT_GE(cma->sigma, 5.0);
  EXPECT_LT(cma->sigma, 5.0 * std::exp(0.05 + p.cs / p.damps));

  auto zero = MakeOptimiser(p, 1);
  zero->C[0][0] = 0.0;
  zero->eigensysIsUptodate = false;
  zero->samplePopulation();
  EXPECT_TRUE(std::isfinite(zero->sigma));
}

TEST(CMAESTest, TypicalXcaseDrawsTheMeanAroundTheStart) {
  Parameters<double> p = MakeParameters(3, 1.0, 0.1);
  p.typicalXcase = true;
  auto cma = MakeOptimiser(p, 11);
  Random<double> r;
  r.start(11);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(cma->xmean[i], 1.0 + 0.1 * r.gauss(), 1e-15);
  EXPECT_EQ(cma->xold[0], 1.0);
}

TEST(CMAESTest, InitAgainStartsAFreshRunOfTheNewSize) {
  CMAES<double> cma;
  cma.rand.start(1);
  cma.init(MakeParameters(5, 0.0, 1.0));
  RunGeneration(cma, Sphere);
  cma.init(MakeParameters(3, 2.0, 1.0, 12));
  EXPECT_EQ(cma.gen, 0.0);
  EXPECT_EQ(cma.countevals, 0.0);
  EXPECT_EQ(cma.xmean[-1], 3.0);
  EXPECT_EQ(cma.xmean[2], 2.0);
  RunGeneration(cma, Sphere);
  EXPECT_EQ(cma.countevals, 12.0);
}

}  // namespace
}  // namespace zamp
