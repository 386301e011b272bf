#include "play/Scram.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace wex {
namespace {

// Starts the working storage is made for at once: a full team, so that a team that grows
// to its full size during a game needs no more.
constexpr int RESERVED_SIZE = 11;

// n copies of value in list, which keeps room for at least `room` entries.
template <typename T>
void Fill(std::vector<T>& list, int n, T value, size_t room) {
  list.reserve(room);
  list.assign(n, value);
}

// (squared distance m^2, (start, target)).
typedef std::pair<double, std::pair<int, int>> Edge;

// Bottleneck search by incremental bipartite matching. Edges arrive in ascending order;
// after each one the matching grows by one if the new edge opens an augmenting path. Side 0
// holds the starts, side 1 the targets; out_[0][s] lists the unmatched edges s -> t and
// out_[1][t] the matched edge t -> s, so a target without outgoing edge is free.
class BottleneckMatcher {
 public:
  // Starts afresh for n starts and n targets. The lists keep their storage from earlier
  // calls, so that repeated calls allocate nothing.
  void Reset(int n) {
    const size_t room = static_cast<size_t>(std::max(n, RESERVED_SIZE));
    n_ = n;
    Fill(used_, n, char{0}, room);
    for (int side = 0; side < 2; ++side) {
      if (out_[side].size() < room) out_[side].resize(room);
      for (std::vector<int>& list : out_[side]) {
        list.clear();
        list.reserve(room);
      }
      Fill(visited_[side], n, char{0}, room);
      Fill(back_[side], n, -1, room);
    }
  }

  // The index in `edges` (sorted ascending) of the edge whose addition completes k
  // matches, or -1 when all edges together do not.
  int getMinimalMaxEdgeInPerfectMatching(const std::vector<Edge>& edges, int k) {
    FloodFromFreeStarts();
    for (size_t e = 0; e < edges.size(); ++e) {
      const int s = edges[e].second.first;
      const int t = edges[e].second.second;
      out_[0][s].push_back(t);
      if (!visited_[0][s] || visited_[1][t]) continue;
      const int free_target = flood(1, t, s);
      if (free_target < 0) continue;
      Augment(free_target);
      if (--k == 0) return static_cast<int>(e);
      FloodFromFreeStarts();
    }
    return -1;
  }

 private:
  // Marks what alternating paths from the free starts reach. Before an edge is added the
  // matching is maximum, so this never meets a free target.
  void FloodFromFreeStarts() {
    for (int side = 0; side < 2; ++side) {
      std::fill(visited_[side].begin(), visited_[side].end(), 0);
      std::fill(back_[side].begin(), back_[side].end(), -1);
    }
    for (int s = 0; s < n_; ++s) {
      if (!used_[s]) flood(0, s, -1);
    }
  }

  // Depth-first along alternating edges; returns the first free target reached, or -1. The
  // depth is at most 2n.
  int flood(int side, int v, int from) {
    visited_[side][v] = 1;
    back_[side][v] = from;
    if (side == 1 && out_[1][v].empty()) return v;
    for (int w : out_[side][v]) {
      if (visited_[1 - side][w]) continue;
      const int found = flood(1 - side, w, v);
      if (found >= 0) return found;
    }
    return -1;
  }

  static void MoveEdge(std::vector<int>& from_list, int value, std::vector<int>& to_list,
                       int reverse_value) {
    from_list.erase(std::find(from_list.begin(), from_list.end(), value));
    to_list.push_back(reverse_value);
  }

  // Flips every edge of the path that ends at `target` back to its free start.
  void Augment(int target) {
    int t = target;
    for (;;) {
      const int s = back_[1][t];
      MoveEdge(out_[0][s], t, out_[1][t], s);
      const int prev_t = back_[0][s];
      if (prev_t < 0) {
        used_[s] = 1;
        return;
      }
      MoveEdge(out_[1][prev_t], s, out_[0][s], prev_t);
      t = prev_t;
    }
  }

  int n_ = 0;
  std::vector<std::vector<int>> out_[2];  // only the first n_ lists are in use
  std::vector<char> visited_[2];
  std::vector<int> back_[2];
  std::vector<char> used_;
};

// Minimum-cost perfect assignment by the Hungarian method with vertex labels and slacks,
// O(n^3). Works as a maximum-weight assignment on the negated costs.
class Hungarian {
 public:
  // Starts afresh on cost: n x n, row-major, start by target. The storage of earlier calls
  // is reused.
  void Reset(const std::vector<double>& cost, int n) {
    const size_t room = static_cast<size_t>(std::max(n, RESERVED_SIZE));
    cost_.reserve(room * room);
    cost_.assign(cost.begin(), cost.end());
    n_ = n;
    max_match_ = 0;
    Fill(lx_, n, 0.0, room);
    Fill(ly_, n, 0.0, room);
    Fill(xy_, n, 0, room);
    Fill(yx_, n, 0, room);
    Fill(S_, n, char{0}, room);
    Fill(T_, n, char{0}, room);
    Fill(slack_, n, 0.0, room);
    Fill(slackx_, n, 0, room);
    Fill(prev_, n, 0, room);
    queue_.clear();
    queue_.reserve(room);
  }

  // False when the labels stop making progress, which finite costs never cause.
  bool hungarian() {
    max_match_ = 0;
    std::fill(xy_.begin(), xy_.end(), -1);
    std::fill(yx_.begin(), yx_.end(), -1);
    for (double& c : cost_) c = -c;
    init_labels();
    for (;;) {
      const Step step = augment();
      if (step == kDone) return true;
      if (step == kFailed) return false;
    }
  }

  // The target of each start.
  const std::vector<int>& xy() const { return xy_; }

 private:
  enum Step { kDone, kGrown, kFailed };

  double cost(int x, int y) const { return cost_[x * n_ + y]; }

  void init_labels() {
    std::fill(ly_.begin(), ly_.end(), 0.0);
    for (int x = 0; x < n_; ++x) {
      lx_[x] = 0.0;
      for (int y = 0; y < n_; ++y) lx_[x] = std::max(lx_[x], cost(x, y));
    }
  }

  // Each call that succeeds leaves the slack of at least one target outside T at exactly
  // zero (the minimum minus itself), so the search in augment gains a target per round.
  bool update_labels() {
    const double largest = std::numeric_limits<double>::max();
    double delta = largest;
    for (int y = 0; y < n_; ++y) {
      if (!T_[y] && slack_[y] < delta) delta = slack_[y];
    }
    if (!(delta < largest)) return false;
    for (int x = 0; x < n_; ++x) {
      if (S_[x]) lx_[x] -= delta;
    }
    for (int y = 0; y < n_; ++y) {
      if (T_[y]) {
        ly_[y] += delta;
      } else {
        slack_[y] -= delta;
      }
    }
    return true;
  }

  void add_to_tree(int x, int prev_x) {
    S_[x] = 1;
    prev_[x] = prev_x;
    for (int y = 0; y < n_; ++y) {
      const double s = lx_[x] + ly_[y] - cost(x, y);
      if (s < slack_[y]) {
        slack_[y] = s;
        slackx_[y] = x;
      }
    }
  }

  Step augment() {
    if (max_match_ == n_) return kDone;
    std::fill(S_.begin(), S_.end(), 0);
    std::fill(T_.begin(), T_.end(), 0);
    std::fill(prev_.begin(), prev_.end(), -1);
    const int root = static_cast<int>(std::find(xy_.begin(), xy_.end(), -1) - xy_.begin());
    queue_.clear();
    size_t read = 0;
    queue_.push_back(root);
    prev_[root] = -2;
    S_[root] = 1;
    for (int y = 0; y < n_; ++y) {
      slack_[y] = lx_[root] + ly_[y] - cost(root, y);
      slackx_[y] = root;
    }

    int x = -1;
    int y = -1;
    // At most n label updates: each one brings a new target into T.
    for (int round = 0; y < 0; ++round) {
      while (read < queue_.size() && y < 0) {
        x = queue_[read++];
        for (int ty = 0; ty < n_; ++ty) {
          if (cost(x, ty) != lx_[x] + ly_[ty] || T_[ty]) continue;
          if (yx_[ty] == -1) {
            y = ty;
            break;
          }
          T_[ty] = 1;
          queue_.push_back(yx_[ty]);
          add_to_tree(yx_[ty], x);
        }
      }
      if (y >= 0) break;
      if (round > n_ || !update_labels()) return kFailed;
      queue_.clear();
      read = 0;
      for (int ty = 0; ty < n_; ++ty) {
        if (T_[ty] || slack_[ty] != 0.0) continue;
        if (yx_[ty] == -1) {
          x = slackx_[ty];
          y = ty;
          break;
        }
        T_[ty] = 1;
        if (!S_[yx_[ty]]) {
          queue_.push_back(yx_[ty]);
          add_to_tree(yx_[ty], slackx_[ty]);
        }
      }
    }

    ++max_match_;
    for (int cx = x, cy = y; cx != -2;) {
      const int old_target = xy_[cx];
      yx_[cy] = cx;
      xy_[cx] = cy;
      cy = old_target;
      cx = prev_[cx];
    }
    return kGrown;
  }

  std::vector<double> cost_;
  int n_ = 0;
  int max_match_ = 0;
  std::vector<double> lx_, ly_;  // labels
  std::vector<int> xy_, yx_;     // target of each start, start of each target; -1 when free
  std::vector<char> S_, T_;      // starts and targets in the alternating tree
  std::vector<double> slack_;
  std::vector<int> slackx_;
  std::vector<int> prev_;
  std::vector<int> queue_;
};

// The working storage of one thread's calls. It carries nothing from one call to the next
// (every piece is reset before use); it only keeps the allocations.
struct Workspace {
  std::vector<Edge> edges;
  std::vector<double> cost;
  BottleneckMatcher matcher;
  Hungarian assignment;
};

bool IsFinite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

double Distance(const Point& a, const Point& b) { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

std::vector<std::pair<double, std::pair<int, int>>> mmd_msd2(const Test& test) {
  std::vector<std::pair<double, std::pair<int, int>>> result;
  mmd_msd2(test, result);
  return result;
}

void mmd_msd2(const Test& test, std::vector<std::pair<double, std::pair<int, int>>>& result) {
  result.clear();
  const int n = static_cast<int>(test.starts.size());
  if (n == 0 || test.targets.size() < test.starts.size()) return;
  for (int i = 0; i < n; ++i) {
    if (!IsFinite(test.starts[i]) || !IsFinite(test.targets[i])) return;
  }

  thread_local Workspace work;
  std::vector<Edge>& edges = work.edges;
  edges.clear();
  const size_t room = static_cast<size_t>(std::max(n, RESERVED_SIZE));
  edges.reserve(room * room);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const double d = Distance(test.starts[i], test.targets[j]);
      const double w = d * d;
      if (!std::isfinite(w)) return;
      edges.push_back(Edge(w, std::make_pair(i, j)));
    }
  }
  std::sort(edges.begin(), edges.end());

  BottleneckMatcher& matcher = work.matcher;
  matcher.Reset(n);
  const int k = matcher.getMinimalMaxEdgeInPerfectMatching(edges, n);
  if (k < 0) return;
  const double bottleneck = edges[k].first;  // m^2

  // Any assignment that uses an edge above the bottleneck costs more than every one that
  // does not: n edges of at most the bottleneck sum to at most n times it.
  const double above = n * bottleneck + 1.0;
  if (!std::isfinite(above)) return;
  std::vector<double>& cost = work.cost;
  cost.reserve(room * room);
  cost.assign(static_cast<size_t>(n) * n, 0.0);
  for (const Edge& e : edges) {
    cost[e.second.first * n + e.second.second] = e.first <= bottleneck ? e.first : above;
  }

  Hungarian& assignment = work.assignment;
  assignment.Reset(cost, n);
  if (!assignment.hungarian()) return;
  result.reserve(n);
  for (int i = 0; i < n; ++i) {
    const int j = assignment.xy()[i];
    result.push_back(
        std::make_pair(Distance(test.starts[i], test.targets[j]), std::make_pair(i, j)));
  }
}

}  // namespace wex
