#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "learning/customCMAStrategy.h"
#include "platform/ESOptimizer.h"

namespace libcmaes {
namespace {

typedef GenoPheno<pwqBoundStrategy, NoScalingStrategy> GenoPhenoType;
typedef CMAParameters<GenoPhenoType> Parameters;
typedef ESOptimizer<customCMAStrategy, Parameters> Optimizer;

// The walk optimiser's set-up: 16 values, a box of +-15 around the start point, sigma 10,
// 100 candidates per generation, clock seed unless given, active CMA-ES.
struct WalkSetUp {
  explicit WalkSetUp(std::uint64_t seed = 0) {
    for (int i = 0; i < 16; ++i) {
      x0.push_back(10.0 * i - 40.0);
      lower.push_back(x0[i] - 15.0);
      upper.push_back(x0[i] + 15.0);
    }
    parameters = new Parameters(16, x0.data(), 10.0, 100, seed,
                                GenoPhenoType(lower.data(), upper.data(), 16));
    parameters->_algo = aCMAES;
    optimizer = new Optimizer(fitness, *parameters);
  }
  ~WalkSetUp() {
    delete optimizer;
    delete parameters;
  }
  WalkSetUp(const WalkSetUp&) = delete;
  WalkSetUp& operator=(const WalkSetUp&) = delete;

  bool InsideBox(const Eigen::MatrixXd& population) const {
    for (int c = 0; c < population.cols(); ++c)
      for (int i = 0; i < 16; ++i)
        if (!(population(i, c) >= lower[i] && population(i, c) <= upper[i])) return false;
    return true;
  }

  std::vector<double> x0, lower, upper;
  FitFunc fitness = [](const double*, const int&) { return 0.0; };
  Parameters* parameters;
  Optimizer* optimizer;
};

// Distance to a target that lies inside the box except in its last coordinate, which is
// 5 beyond the upper face.
Eigen::VectorXd Target(const WalkSetUp& setup) {
  Eigen::VectorXd target(16);
  for (int i = 0; i < 16; ++i) target[i] = setup.x0[i] + (i % 2 == 0 ? 7.0 : -4.0);
  target[15] = setup.upper[15] + 5.0;
  return target;
}

TEST(customCMAStrategyTest, AskReturnsBoundedCandidatesAndTellMovesTowardsTheOptimum) {
  WalkSetUp setup(77);
  Optimizer& evolution = *setup.optimizer;
  const Eigen::VectorXd target = Target(setup);
  Eigen::VectorXd box_target = target;
  box_target[15] = setup.upper[15];  // the closest point of the box
  const double start_distance =
      (evolution.get_gp().pheno(evolution.get_solutions()._xmean) - box_target).norm();

  const std::string resume = ::testing::TempDir() + "custom_evoresume.dat";
  std::remove(resume.c_str());
  Eigen::VectorXd fitness(100);
  for (int generation = 0; generation < 100; ++generation) {
    const Eigen::MatrixXd population = evolution.ask();
    ASSERT_EQ(population.rows(), 16);
    ASSERT_EQ(population.cols(), 100);
    ASSERT_TRUE(setup.InsideBox(population)) << "generation " << generation;
    for (int r = 0; r < 100; ++r) fitness[r] = (population.col(r) - target).squaredNorm();
    evolution.eval(population, fitness);
    evolution.tell();
    evolution.inc_iter();
    evolution.write_resume(resume.c_str());

    // What the agents record: the best candidate of a sorted copy, one of the tried columns.
    CMASolutions solutions = evolution.get_solutions();
    solutions.sort_candidates();
    const Eigen::VectorXd best = solutions.best_candidate().get_x_dvec();
    Eigen::Index best_column;
    fitness.minCoeff(&best_column);
    ASSERT_EQ(best, population.col(best_column)) << "generation " << generation;
    ASSERT_EQ(solutions.best_candidate().get_fvalue(), fitness[best_column]);
  }
  EXPECT_EQ(evolution.get_nevals(), 10000);
  EXPECT_EQ(evolution.get_niter(), 100);
  const double end_distance =
      (evolution.get_gp().pheno(evolution.get_solutions()._xmean) - box_target).norm();
  EXPECT_LT(end_distance, 0.01 * start_distance) << start_distance;
  EXPECT_FALSE(evolution.stop());

  // One resume block per generation, each saying its dimension.
  std::ifstream in(resume);
  int blocks = 0;
  for (std::string line; std::getline(in, line);) blocks += line == "# resume 16";
  EXPECT_EQ(blocks, 100);
}

TEST(customCMAStrategyTest, PhenoColumnsHandedBackLeaveTheUpdateAsFromTheKeptSamples) {
  // The same search driven through the base strategy, scoring the candidates it filled in
  // itself, must take exactly the same path: eval stores bounded coordinates, and tell
  // must not read them back as search-space points.
  WalkSetUp custom(5);
  WalkSetUp reference(5);
  customCMAStrategy::Base& base = *reference.optimizer;
  const Eigen::VectorXd target = Target(custom);
  Eigen::VectorXd fitness(100);
  for (int generation = 0; generation < 10; ++generation) {
    const Eigen::MatrixXd population = custom.optimizer->ask();
    for (int r = 0; r < 100; ++r) fitness[r] = (population.col(r) - target).squaredNorm();
    custom.optimizer->eval(population, fitness);
    custom.optimizer->tell();
    custom.optimizer->inc_iter();

    const Eigen::MatrixXd geno = base.ask();
    ASSERT_EQ(population, base.get_gp().pheno(geno));
    for (int r = 0; r < 100; ++r) {
      Candidate& candidate = base.get_solutions().get_candidate(r);
      candidate.set_fvalue((candidate.get_x_dvec() - target).squaredNorm());
    }
    base.tell();
    base.inc_iter();
  }
  EXPECT_EQ(custom.optimizer->get_solutions()._xmean, base.get_solutions()._xmean);
  EXPECT_EQ(custom.optimizer->get_solutions()._cov, base.get_solutions()._cov);
  EXPECT_EQ(custom.optimizer->get_solutions()._sigma, base.get_solutions()._sigma);
}

TEST(customCMAStrategyTest, ClockSeededOptimisersDrawInsideTheBoxToo) {
  WalkSetUp setup;
  EXPECT_NE(setup.optimizer->get_parameters()._seed, 0u);
  EXPECT_EQ(setup.optimizer->get_parameters()._algo, aCMAES);
  EXPECT_TRUE(setup.InsideBox(setup.optimizer->ask()));
}

TEST(customCMAStrategyTest, EvalRejectsShapesThatDoNotFitTheGeneration) {
  WalkSetUp setup(3);
  const Eigen::MatrixXd population = setup.optimizer->ask();
  EXPECT_THROW(setup.optimizer->eval(population, Eigen::VectorXd::Zero(99)), std::invalid_argument);
  EXPECT_THROW(setup.optimizer->eval(Eigen::MatrixXd::Zero(16, 101), Eigen::VectorXd::Zero(101)),
               std::invalid_argument);
  EXPECT_THROW(setup.optimizer->eval(Eigen::MatrixXd::Zero(15, 100), Eigen::VectorXd::Zero(100)),
               std::invalid_argument);
  EXPECT_EQ(setup.optimizer->get_nevals(), 0);
}

}  // namespace
}  // namespace libcmaes
