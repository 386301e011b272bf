// The geno-pheno transform of the CMA-ES layer: the search distribution lives in geno
// space; the caller's objective sees pheno space. pheno() applies the scaling first (geno
// units back to the caller's units) and then the bound transform (into the box); geno()
// undoes both in the opposite order. Matrices hold one candidate per column.
#pragma once

#include <Eigen/Core>

#include "platform/NoScalingStrategy.h"

namespace libcmaes {

template <class TBoundStrategy, class TScalingStrategy = NoScalingStrategy>
class GenoPheno {
 public:
  GenoPheno() = default;
  // Both strategies take the same box; the unbounded and unscaled ones ignore it.
  GenoPheno(const double* lbounds, const double* ubounds, int dim)
      : _boundstrategy(lbounds, ubounds, dim), _scalingstrategy(lbounds, ubounds, dim) {}

  Eigen::MatrixXd pheno(const Eigen::MatrixXd& candidates) const {
    Eigen::MatrixXd result(candidates.rows(), candidates.cols());
    Eigen::VectorXd work(candidates.rows());
    for (Eigen::Index c = 0; c < candidates.cols(); ++c)
      pheno_column(candidates.col(c), work, result.col(c));
    return result;
  }
  Eigen::VectorXd pheno(const Eigen::VectorXd& x) const {
    Eigen::VectorXd result(x.size());
    Eigen::VectorXd work(x.size());
    pheno_column(x, work, result);
    return result;
  }
  Eigen::MatrixXd geno(const Eigen::MatrixXd& candidates) const {
    Eigen::MatrixXd result(candidates.rows(), candidates.cols());
    Eigen::VectorXd work(candidates.rows());
    for (Eigen::Index c = 0; c < candidates.cols(); ++c)
      geno_column(candidates.col(c), work, result.col(c));
    return result;
  }
  Eigen::VectorXd geno(const Eigen::VectorXd& x) const {
    Eigen::VectorXd result(x.size());
    Eigen::VectorXd work(x.size());
    geno_column(x, work, result);
    return result;
  }

  // In-place variant for a caller that keeps its own storage (one candidate).
  void pheno_column(const Eigen::Ref<const Eigen::VectorXd>& geno_x, Eigen::VectorXd& work,
                    Eigen::Ref<Eigen::VectorXd> pheno_x) const {
    if constexpr (TBoundStrategy::is_identity && TScalingStrategy::is_identity) {
      pheno_x = geno_x;
    } else {
      work.resize(geno_x.size());
      _scalingstrategy.to_pheno(geno_x, work);
      _boundstrategy.to_pheno(work, pheno_x);
    }
  }
  void geno_column(const Eigen::Ref<const Eigen::VectorXd>& pheno_x, Eigen::VectorXd& work,
                   Eigen::Ref<Eigen::VectorXd> geno_x) const {
    if constexpr (TBoundStrategy::is_identity && TScalingStrategy::is_identity) {
      geno_x = pheno_x;
    } else {
      work.resize(pheno_x.size());
      _boundstrategy.to_geno(pheno_x, work);
      _scalingstrategy.to_geno(work, geno_x);
    }
  }

  const TBoundStrategy& get_boundstrategy() const { return _boundstrategy; }
  const TScalingStrategy& get_scalingstrategy() const { return _scalingstrategy; }

 private:
  TBoundStrategy _boundstrategy;
  TScalingStrategy _scalingstrategy;
};

}  // namespace libcmaes
