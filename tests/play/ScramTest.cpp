#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "play/Scram.h"

namespace wex {
namespace {

typedef std::vector<std::pair<double, std::pair<int, int>>> Result;
// Inside a test body the plain name would be the test framework's class.
typedef wex::Test Problem;

double SquaredDistance(const Point& a, const Point& b) {
  const double d = std::hypot(a.x - b.x, a.y - b.y);
  return d * d;
}

// Checks the shape of a result: one entry per start, in start order, targets a permutation
// of 0..n-1, distances the plain distances.
void ExpectWellFormed(const Problem& test, const Result& result) {
  const int n = static_cast<int>(test.starts.size());
  ASSERT_EQ(static_cast<size_t>(n), result.size());
  std::vector<int> seen(n, 0);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(i, result[i].second.first);
    const int j = result[i].second.second;
    ASSERT_GE(j, 0);
    ASSERT_LT(j, n);
    ++seen[j];
    EXPECT_EQ(
        std::hypot(test.starts[i].x - test.targets[j].x, test.starts[i].y - test.targets[j].y),
        result[i].first);
  }
  EXPECT_EQ(std::vector<int>(n, 1), seen);
}

struct Optimum {
  double bottleneck;   // m^2
  double sum_squares;  // m^2, the smallest among bottleneck-optimal assignments
};

Optimum BruteForce(const Problem& test) {
  const int n = static_cast<int>(test.starts.size());
  std::vector<int> perm(n);
  std::iota(perm.begin(), perm.end(), 0);
  Optimum best = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  do {
    double worst = 0.0;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      const double w = SquaredDistance(test.starts[i], test.targets[perm[i]]);
      worst = std::max(worst, w);
      sum += w;
    }
    if (worst < best.bottleneck) {
      best = {worst, sum};
    } else if (worst == best.bottleneck) {
      best.sum_squares = std::min(best.sum_squares, sum);
    }
  } while (std::next_permutation(perm.begin(), perm.end()));
  return best;
}

void ExpectOptimal(const Problem& test, const Result& result) {
  ExpectWellFormed(test, result);
  const Optimum best = BruteForce(test);
  double worst = 0.0;
  double sum = 0.0;
  for (const auto& entry : result) {
    const double w =
        SquaredDistance(test.starts[entry.second.first], test.targets[entry.second.second]);
    worst = std::max(worst, w);
    sum += w;
  }
  EXPECT_EQ(best.bottleneck, worst);
  EXPECT_LE(sum, best.sum_squares + 1e-9 * (1.0 + best.sum_squares));
}

Problem RandomTest(std::mt19937& rng, int n, bool on_grid) {
  // Field-sized coordinates; on a 1 m grid many distances are equal, which exercises ties.
  std::uniform_real_distribution<double> x(-15.0, 15.0);
  std::uniform_real_distribution<double> y(-10.0, 10.0);
  Problem test;
  for (int i = 0; i < 2 * n; ++i) {
    Point p = {x(rng), y(rng)};
    if (on_grid) p = {std::round(p.x / 3.0), std::round(p.y / 3.0)};
    (i < n ? test.starts : test.targets).push_back(p);
  }
  return test;
}

TEST(ScramTest, CrossedStartsSwapTheirTargets) {
  const Problem test = {{{0, 0}, {10, 0}}, {{9, 0}, {1, 0}}};
  const Result result = mmd_msd2(test);
  ASSERT_EQ(2u, result.size());
  EXPECT_EQ(std::make_pair(0, 1), result[0].second);
  EXPECT_EQ(std::make_pair(1, 0), result[1].second);
  EXPECT_DOUBLE_EQ(1.0, result[0].first);
  EXPECT_DOUBLE_EQ(1.0, result[1].first);
}

TEST(ScramTest, NoStartsGiveAnEmptyResult) {
  EXPECT_TRUE(mmd_msd2(Problem()).empty());
  EXPECT_TRUE(mmd_msd2(Problem{{}, {{1, 1}}}).empty());
}

TEST(ScramTest, SameInputsGiveTheSameAssignmentWhateverRanBefore) {
  std::mt19937 rng(7);
  const Problem tied = RandomTest(rng, 8, true);
  const Result first = mmd_msd2(tied);
  for (int i = 0; i < 20; ++i) {
    mmd_msd2(RandomTest(rng, 1 + i % 10, i % 2 == 0));
    EXPECT_EQ(first, mmd_msd2(tied));
  }
}

TEST(ScramTest, MatchesBruteForceOnRandomInputs) {
  std::mt19937 rng(20240611);
  for (int c = 0; c < 500; ++c) {
    const int n = 1 + c % 7;
    const Problem test = RandomTest(rng, n, c % 2 == 1);
    SCOPED_TRACE(::testing::Message() << "case " << c << " n " << n);
    ExpectOptimal(test, mmd_msd2(test));
  }
}

TEST(ScramTest, TenPlayersAreAssignedOptimally) {
  // On the grid, with many equal distances.
  std::mt19937 rng(10);
  const Problem test = RandomTest(rng, 10, true);
  ExpectOptimal(test, mmd_msd2(test));
}

TEST(ScramTest, MoreStartsThanTheOldLimitStillWork) {
  // Twelve players on a line shifted by one metre: everyone moves one step.
  Problem test;
  for (int i = 0; i < 12; ++i) {
    test.starts.push_back({static_cast<double>(i), 0.0});
    test.targets.push_back({static_cast<double>(i) + 1.0, 0.0});
  }
  const Result result = mmd_msd2(test);
  ExpectWellFormed(test, result);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(i, result[i].second.second);
    EXPECT_DOUBLE_EQ(1.0, result[i].first);
  }
}

TEST(ScramTest, ExtraTargetsAreIgnored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // The third target is the nearest to both, but only the first two count.
  const Problem test = {{{0, 0}, {4, 0}}, {{5, 0}, {-1, 0}, {2, 0}, {nan, nan}}};
  const Result result = mmd_msd2(test);
  ASSERT_EQ(2u, result.size());
  EXPECT_EQ(1, result[0].second.second);
  EXPECT_EQ(0, result[1].second.second);
}

TEST(ScramTest, UnusableInputIsRejected) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    Problem test;
  };
  const std::vector<Case> cases = {
      {"NaN start", {{{0, 0}, {nan, 1}}, {{1, 1}, {2, 2}}}},
      {"infinite start", {{{-inf, 0}}, {{1, 1}}}},
      {"NaN target", {{{0, 0}, {1, 1}}, {{1, 1}, {2, nan}}}},
      {"squared distance overflows", {{{-1e200, 0}, {0, 0}}, {{1e200, 0}, {1, 1}}}},
      {"fewer targets than starts", {{{0, 0}, {1, 1}, {2, 2}}, {{1, 1}, {2, 2}}}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(mmd_msd2(c.test).empty()) << c.name;
  }
}

TEST(ScramTest, HugeButFiniteCoordinatesStillEnd) {
  // Far beyond any field; the call must come back with a complete assignment.
  const Problem test = {{{1e150, 0}, {0, 1e150}, {-1e150, 0}},
                        {{0, -1e150}, {1e150, 1e150}, {-1e150, -1e150}}};
  const Result result = mmd_msd2(test);
  if (!result.empty()) ExpectWellFormed(test, result);
}

}  // namespace
}  // namespace wex
