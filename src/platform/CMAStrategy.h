// The ask-and-tell CMA-ES of the CMA-ES layer. ask() draws a generation in geno space and
// keeps it; the caller then sets the objective value of candidate r (column r of what ask
// returned) in the solutions and calls tell(), which ranks the kept samples by those values
// and updates the distribution with TCovarianceUpdate. ask() also fills the candidates
// with the columns' pheno images, so a caller can evaluate them in place.
//
// tell() works from the kept geno samples, matched to candidates by index, never from the
// candidates' x: these hold the caller's (bounded) coordinates, whose geno preimage is not
// unique, so reading them back would bend the update at the box faces.
#pragma once

#include <limits>
#include <stdexcept>

#include "platform/CMAGeneration.h"
#include "platform/CMAParameters.h"
#include "platform/CMASolutions.h"
#include "platform/CovarianceUpdate.h"
#include "platform/ESOStrategy.h"
#include "platform/GenoPheno.h"
#include "platform/NoBoundStrategy.h"

namespace libcmaes {

template <class TCovarianceUpdate, class TGenoPheno = GenoPheno<NoBoundStrategy>>
class CMAStrategy : public ESOStrategy<CMAParameters<TGenoPheno>, CMASolutions> {
 public:
  typedef ESOStrategy<CMAParameters<TGenoPheno>, CMASolutions> Base;

  CMAStrategy(FitFunc& func, CMAParameters<TGenoPheno>& parameters)
      : Base(func, parameters), _generation(parameters._seed) {}

  // A new generation: _dim rows, _lambda columns, geno space. The candidates are reset to
  // the columns' pheno images with a NaN (not yet evaluated) value.
  Eigen::MatrixXd ask() {
    sample();
    return _generation.x();
  }

  // The last asked generation mapped into the caller's space, as get_gp().pheno() of what
  // ask() returned; kept so that a caller working in pheno space need not map it again.
  const Eigen::MatrixXd& pheno_population() const { return _pheno_population; }

  // Updates the distribution from the last asked generation and the candidates' values
  // (lower is better; NaN counts as worst), then sorts the candidates so that
  // best_candidate() is this generation's best. Throws std::logic_error when no
  // generation has been asked since the last tell.
  void tell() {
    if (!_generation.drawn()) throw std::logic_error("tell(): no generation was asked");
    _generation.rank(this->_solutions);
    // The update counts its own generations: callers need not call inc_iter() for the
    // path normalisation and the decomposition schedule to advance.
    CMASolutions& s = this->_solutions;
    TCovarianceUpdate::update(this->_parameters, s, _generation, s._updates);
    ++s._updates;
    _generation.consume();
    this->_solutions.sort_candidates();
  }

  // True when the search cannot go on usefully (see CMASolutions::degenerate) or the
  // parameters' generation limit is reached.
  bool stop() const {
    if (this->_parameters._max_iter > 0 && this->_niter >= this->_parameters._max_iter) return true;
    return this->_solutions.degenerate(this->_parameters);
  }

 protected:
  // ask() without handing back a copy of the generation.
  void sample() {
    CMASolutions& s = this->_solutions;
    s.update_eigen(this->_parameters);
    _generation.draw(this->_parameters, s);
    const Eigen::MatrixXd& x = _generation.x();
    _pheno_population.resize(x.rows(), x.cols());
    s._candidates.resize(static_cast<std::size_t>(x.cols()));
    for (Eigen::Index r = 0; r < x.cols(); ++r) {
      this->get_gp().pheno_column(x.col(r), _work, _pheno_population.col(r));
      Candidate& candidate = s._candidates[static_cast<std::size_t>(r)];
      candidate.set_x(_pheno_population.col(r));
      candidate.set_fvalue(std::numeric_limits<double>::quiet_NaN());
    }
  }

  CMAGeneration _generation;

 private:
  Eigen::MatrixXd _pheno_population;
  Eigen::VectorXd _work;
};

}  // namespace libcmaes
