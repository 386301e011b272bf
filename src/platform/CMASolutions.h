// The state of a CMA-ES search in geno space: the distribution (mean, step size, covariance
// and its eigen-decomposition, the two evolution paths) and the candidates of the current
// generation in the caller's (pheno) space. Copyable, so a caller can sort a snapshot.
#pragma once

#include <Eigen/Core>
#include <vector>

#include "platform/Candidate.h"
#include "platform/ESOParameters.h"

namespace libcmaes {

class CMASolutions {
 public:
  CMASolutions() = default;
  // Start distribution: mean xmean (geno space), step size sigma, identity covariance,
  // zero paths, lambda unevaluated candidates.
  CMASolutions(const Eigen::VectorXd& xmean, double sigma, int lambda);

  // Orders the candidates by ascending objective value (the search minimises; a NaN value
  // counts as worst) and records the first as the generation's best.
  void sort_candidates();
  // The best candidate of the last sorted generation; an empty candidate before any.
  const Candidate& best_candidate() const { return _best_candidate; }
  // Throws std::out_of_range for an index outside the generation.
  Candidate& get_candidate(int r) { return _candidates.at(r); }
  const Candidate& get_candidate(int r) const { return _candidates.at(r); }
  int size() const { return static_cast<int>(_candidates.size()); }

  // Recomputes _eigenvectors and _sqrt_eigenvalues from _cov when the decomposition is due
  // (every _eigen_gap updates) or the covariance was replaced. Keeps _cov symmetric
  // and its condition number at most 1e14 by lifting its smallest eigenvalues.
  void update_eigen(const ESOParameters& parameters);
  // True when the search can make no further progress: non-finite state, a step size
  // collapsed below 1e-12 of the initial one or grown beyond 1e20 times it.
  bool degenerate(const ESOParameters& parameters) const;

  Eigen::VectorXd _xmean;
  Eigen::VectorXd _psigma;  // step-size evolution path
  Eigen::VectorXd _pc;      // covariance evolution path
  double _sigma = 1.0;
  Eigen::MatrixXd _cov;
  Eigen::MatrixXd _sepcov;  // separable covariance; unused while ESOParameters::_sep is false
  std::vector<Candidate> _candidates;
  Candidate _best_candidate;

  // Eigen-decomposition of _cov = B diag(D^2) B^T, used for sampling: B, D and B diag(D).
  Eigen::MatrixXd _eigenvectors;
  Eigen::VectorXd _sqrt_eigenvalues;
  Eigen::MatrixXd _bd;
  int _updates = 0;               // distribution updates applied (one per tell)
  int _eigen_iter = -1;           // _updates at the last decomposition
  bool _eigen_stale = true;       // _cov was replaced since the last decomposition
  bool _numeric_failure = false;  // an update would have left non-finite state
};

}  // namespace libcmaes
