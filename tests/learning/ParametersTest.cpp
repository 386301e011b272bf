#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "learning/Parameters.h"

namespace zamp {
namespace {

using P = Parameters<double>;

TEST(ParametersTest, KickAgentSettingsCompleteToTheDocumentedValues) {
  // Dimension 59, lambda 200, deviations 2.0: the kick optimisation's own settings.
  P p;
  p.lambda = 200;
  p.stopTolX = 1e-11;
  p.updateCmode.maxtime = 1.0;
  const std::vector<double> x0(59, 0.0), stds(59, 2.0);
  p.init(59, x0.data(), stds.data());
  EXPECT_EQ(p.weightMode, P::LOG_WEIGHTS);
  EXPECT_EQ(p.diagonalCov, 0.0);
  EXPECT_EQ(p.mu, 100);
  EXPECT_NEAR(p.mueff, 52.85520896009076, 1e-12);
  EXPECT_NEAR(p.mucov, 52.85520896009076, 1e-12);
  EXPECT_NEAR(p.cs, 0.4776031444873479, 1e-14);
  EXPECT_NEAR(p.ccumcov, 4.0 / 63.0, 1e-15);
  EXPECT_NEAR(p.ccov, 0.027231691835786685, 1e-15);
  EXPECT_EQ(p.stopMaxFunEvals, 3459600.0);
  EXPECT_EQ(p.stopMaxIter, 17298.0);
  EXPECT_NEAR(p.damps, 1.4741923455512518, 1e-13);
  EXPECT_NEAR(p.updateCmode.modulo, 0.062240541809080896, 1e-15);
  EXPECT_EQ(p.updateCmode.maxtime, 1.0);
  EXPECT_EQ(p.xstart[58], 0.0);
  EXPECT_EQ(p.rgInitialStds[58], 2.0);
}

TEST(ParametersTest, DefaultsForTenDimensions) {
  P p;
  const std::vector<double> x0(10, 1.0), stds(10, 0.5);
  p.init(10, x0.data(), stds.data());
  // lambda = 4 + floor(3 ln 10) = 4 + 6, mu = lambda / 2.
  EXPECT_EQ(p.lambda, 10);
  EXPECT_EQ(p.mu, 5);
  EXPECT_NEAR(p.ccumcov, 4.0 / 14.0, 1e-15);
  EXPECT_EQ(p.stopMaxFunEvals, 900.0 * 13 * 13);
  EXPECT_EQ(p.updateCmode.maxtime, 0.2);
  EXPECT_EQ(p.stStopFitness.val, std::numeric_limits<double>::lowest());
}

TEST(ParametersTest, WeightsAndMueffPerMode) {
  struct Case {
    P::Weights mode;
    std::vector<double> weights;
    double mueff;
  };
  // mu = 3. Linear 3, 2, 1 over 6: mueff = 6^2 / 14. Equal: mueff 3. Logarithmic:
  // ln 4 - ln(i + 1) = 1.386294, 0.693147, 0.287682 over 2.367124; mueff = 2.367124^2 /
  // (1.921812 + 0.480453 + 0.082761).
  const double l0 = std::log(4.0), l1 = std::log(4.0) - std::log(2.0),
               l2 = std::log(4.0) - std::log(3.0), ls = l0 + l1 + l2;
  const std::vector<Case> cases = {
      {P::LINEAR_WEIGHTS, {0.5, 1.0 / 3.0, 1.0 / 6.0}, 36.0 / 14.0},
      {P::EQUAL_WEIGHTS, {1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0}, 3.0},
      {P::LOG_WEIGHTS, {l0 / ls, l1 / ls, l2 / ls}, ls * ls / (l0 * l0 + l1 * l1 + l2 * l2)},
  };
  for (const Case& c : cases) {
    P p;
    p.mu = 3;
    p.lambda = 6;
    p.setWeights(c.mode);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(p.weights[i], c.weights[i], 1e-15) << c.mode;
    EXPECT_NEAR(p.mueff, c.mueff, 1e-13) << c.mode;
  }
  EXPECT_NEAR(2.367124, ls, 1e-6);
}

TEST(ParametersTest, InvalidMuOrLambdaIsRejected) {
  struct Case {
    int mu;
    int lambda;
    P::Weights mode;
    bool valid;
  };
  const std::vector<Case> cases = {
      {0, 4, P::LOG_WEIGHTS, false}, {-1, 4, P::LOG_WEIGHTS, false},
      {5, 4, P::LOG_WEIGHTS, false}, {4, 4, P::EQUAL_WEIGHTS, false},
      {4, 4, P::LOG_WEIGHTS, true},  {4, 4, P::LINEAR_WEIGHTS, true},
      {1, 1, P::LOG_WEIGHTS, false}, {2, 4, P::EQUAL_WEIGHTS, true},
  };
  for (const Case& c : cases) {
    P p;
    p.mu = c.mu;
    p.lambda = c.lambda;
    if (c.valid) {
      EXPECT_NO_THROW(p.setWeights(c.mode)) << c.mu << " " << c.lambda;
      continue;
    }
    try {
      p.setWeights(c.mode);
      ADD_FAILURE() << "no error for mu " << c.mu << ", lambda " << c.lambda;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "setWeights(): invalid setting of mu or lambda");
    }
    EXPECT_EQ(p.weights, nullptr);
  }
}

TEST(ParametersTest, InitRejectsWhatCannotStartARun) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> good = {1.0, 2.0};
  struct Case {
    int dimension;
    std::vector<double> x0;  // empty: none given
    std::vector<double> stds;
    std::string message;
  };
  const std::vector<Case> cases = {
      {0, good, good, "Parameters::init(): the dimension must be positive, not 0"},
      {-3, good, good, "Parameters::init(): the dimension must be positive, not -3"},
      {2, {}, good, "Parameters::init(): no start point given"},
      {2, good, {}, "Parameters::init(): no initial standard deviations given"},
      {2, good, {1.0, 0.0}, "Parameters::init(): initial standard deviation 1 is 0"},
      {2, good, {-1.0, 1.0}, "Parameters::init(): initial standard deviation 0 is -1"},
      {2, good, {nan, 1.0}, "Parameters::init(): initial standard deviation 0 is nan"},
      {2, good, {1.0, inf}, "Parameters::init(): initial standard deviation 1 is inf"},
      {2, {0.0, nan}, good, "Parameters::init(): start point coordinate 1 is not finite"},
  };
  for (const Case& c : cases) {
    P p;
    try {
      p.init(c.dimension, c.x0.empty() ? nullptr : c.x0.data(),
             c.stds.empty() ? nullptr : c.stds.data());
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message);
    }
    // Nothing was taken over.
    EXPECT_EQ(p.N, -1) << c.message;
    EXPECT_EQ(p.xstart, nullptr) << c.message;
  }
}

TEST(ParametersTest, CopiesOwnTheirArraysAndAssignmentKeepsTheLogSettings) {
  P p;
  const std::vector<double> x0 = {1.0, 2.0, 3.0}, stds = {0.1, 0.2, 0.3};
  p.init(3, x0.data(), stds.data());
  p.logWarnings = true;

  P copy(p);
  EXPECT_NE(copy.xstart, p.xstart);
  EXPECT_NE(copy.weights, p.weights);
  p.xstart[0] = 99.0;
  EXPECT_EQ(copy.xstart[0], 1.0);
  EXPECT_EQ(copy.weights[copy.mu - 1], p.weights[p.mu - 1]);

  P target;
  target = p;
  EXPECT_FALSE(target.logWarnings);
  EXPECT_EQ(&target.logStream, &std::cerr);
  EXPECT_EQ(target.rgInitialStds[2], 0.3);
  EXPECT_EQ(target.lambda, p.lambda);
}

}  // namespace
}  // namespace zamp
