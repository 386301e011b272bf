#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/ZigguratNormal.h"

namespace libcmaes {
namespace {

// Normal probability of [a, b).
double Mass(double a, double b) {
  return 0.5 * (std::erfc(a / std::sqrt(2.0)) - std::erfc(b / std::sqrt(2.0)));
}

TEST(ZigguratNormalTest, SamplesFollowTheStandardNormal) {
  const ZigguratNormal normal;
  std::mt19937_64 rng(2024);
  const int count = 2000000;
  // Bin edges chosen to cover the layers' rectangles, wedges and the tail beyond 3.4426.
  const std::vector<double> edges = {-1e9, -4.0, -3.4426, -3.0, -2.0, -1.0,   -0.5, -0.1, 0.0,
                                     0.1,  0.5,  1.0,     2.0,  3.0,  3.4426, 4.0,  1e9};
  std::vector<int> bins(edges.size() - 1, 0);
  double sum = 0.0, sum2 = 0.0, sum4 = 0.0;
  for (int k = 0; k < count; ++k) {
    const double x = normal(rng);
    ASSERT_TRUE(std::isfinite(x));
    sum += x;
    sum2 += x * x;
    sum4 += x * x * x * x;
    for (std::size_t b = 0; b + 1 < edges.size(); ++b)
      if (x >= edges[b] && x < edges[b + 1]) ++bins[b];
  }
  // Standard errors at 2e6 samples: mean 7e-4, variance 1e-3, fourth moment 7e-3.
  EXPECT_NEAR(sum / count, 0.0, 4e-3);
  EXPECT_NEAR(sum2 / count, 1.0, 5e-3);
  EXPECT_NEAR(sum4 / count, 3.0, 4e-2);
  for (std::size_t b = 0; b < bins.size(); ++b) {
    const double expected = count * Mass(edges[b], edges[b + 1]);
    // Five binomial standard deviations.
    EXPECT_NEAR(bins[b], expected, 5.0 * std::sqrt(expected) + 1.0)
        << "[" << edges[b] << ", " << edges[b + 1] << ")";
  }
}

}  // namespace
}  // namespace libcmaes
