// Role assignment for positioning: each of n players (starts) gets one of n formation
// points (targets) so that the longest single walk is as short as possible and, among the
// assignments that achieve that longest walk, the sum of squared walk lengths is smallest.
//
// Called by the game strategy's positioning in the decision step, with positions in the
// team frame in metres. A pure function: no state survives a call (each thread keeps only
// the storage of its working lists), so every team mate
// that feeds in the same positions gets the same assignment, ties included (they resolve
// by the fixed orders of starts and targets).
#pragma once

#include <utility>
#include <vector>

namespace wex {

struct Point {
  double x;  // m
  double y;  // m
};

struct Test {
  std::vector<Point> starts;
  // At least as many as starts; only the first starts.size() are used.
  std::vector<Point> targets;
};

// One entry per start, in start order: (distance in metres from start i to its target,
// (i, target index)). Empty for no starts, and empty when the input is unusable: a
// coordinate that is not finite, distances too large to square, or fewer targets than
// starts. Callers treat an empty result for a non-empty Test as "no assignment".
std::vector<std::pair<double, std::pair<int, int>>> mmd_msd2(const Test& test);
// The same, written into result (emptied first), so that a caller that keeps its result
// from call to call makes no allocation once the sizes have been seen.
void mmd_msd2(const Test& test, std::vector<std::pair<double, std::pair<int, int>>>& result);

}  // namespace wex
