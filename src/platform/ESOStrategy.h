// The common frame of an evolution strategy in the CMA-ES layer: the parameters (copied
// from the caller), the search state, the objective and the generation and evaluation
// counters, plus the resume record of the distribution (see ResumeFile for the format).
// Ask-and-tell strategies derive from it.
#pragma once

#include "platform/CMASolutions.h"
#include "platform/FitFunc.h"
#include "platform/ResumeFile.h"

namespace libcmaes {

template <class TParameters, class TSolutions = CMASolutions>
class ESOStrategy {
 public:
  // The search starts from the geno image of the parameters' start point.
  ESOStrategy(FitFunc& func, TParameters& parameters)
      : _parameters(parameters),
        _solutions(parameters.get_gp().geno(parameters._x0), parameters._sigma_init,
                   parameters._lambda),
        _func(func) {}
  virtual ~ESOStrategy() = default;

  void update_fevals(int evals) { _nevals += evals; }
  void inc_iter() { ++_niter; }
  int get_niter() const { return _niter; }
  int get_nevals() const { return _nevals; }

  TSolutions& get_solutions() { return _solutions; }
  const TSolutions& get_solutions() const { return _solutions; }
  TParameters& get_parameters() { return _parameters; }
  const TParameters& get_parameters() const { return _parameters; }
  const auto& get_gp() const { return _parameters.get_gp(); }

  // Appends the current distribution to the resume file; false when it could not be
  // written.
  bool write_resume(const char* filename) const {
    return ResumeFile::write(filename, _solutions, _parameters._dim, _parameters._sep);
  }
  // Loads the first block of the resume file; see ResumeFile::read for the failures.
  void read_resume(const char* filename) {
    ResumeFile::read(filename, _parameters._dim, _solutions);
  }

  TParameters _parameters;
  TSolutions _solutions;
  FitFunc _func;
  int _niter = 0;   // generations completed (counted by inc_iter)
  int _nevals = 0;  // objective evaluations (counted by update_fevals)
};

}  // namespace libcmaes
