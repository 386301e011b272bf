#include <gtest/gtest.h>

#include <Eigen/Eigenvalues>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "platform/CMAStrategy.h"
#include "platform/ResumeFile.h"
#include "platform/linScalingStrategy.h"
#include "platform/pwqBoundStrategy.h"

namespace libcmaes {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::trunc);
  out << text;
}

// A fresh path under the test temporary directory, unique to the running test (ctest runs
// the cases of all four variants in parallel).
std::string TempPath(const std::string& name) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string unique = std::string(test->test_suite_name()) + "_" + test->name() + "_" + name;
  for (char& c : unique)
    if (c == '/') c = '_';
  const std::string path = ::testing::TempDir() + unique + ".dat";
  std::remove(path.c_str());
  return path;
}

// The distribution of the hand-written block below.
void SetKnownState(CMASolutions& s) {
  s._xmean = Eigen::Vector3d(1.0, -2.5, 0.0001234567);
  s._psigma = Eigen::Vector3d(0.5, 0.0, -1.0);
  s._pc = Eigen::Vector3d(1e-7, 2.0, 3.0);
  s._sigma = 0.25;
  s._cov.resize(3, 3);
  s._cov << 1.0, 0.5, 0.1,  //
      0.5, 2.0, -0.2,       //
      0.1, -0.2, 3.0;
}

const char KNOWN_BLOCK[] =
    "\n# resume 3\n"
    "xmean\n1\t-2.5\t0.000123457\n"
    "path for sigma\n0.5\t0\t-1\n"
    "path for C\n1e-07\t2\t3\n"
    "sigma 0.25\n"
    "covariance matrix\n1\n0.5\t2\n0.1\t-0.2\t3\n"
    "\n";

template <class TGenoPheno>
class ResumeFileTest : public ::testing::Test {
 protected:
  typedef CMAStrategy<CovarianceUpdate, TGenoPheno> Strategy;

  Strategy MakeStrategy(std::uint64_t seed = 1) {
    const double lb[] = {-5.0, -5.0, -5.0};
    const double ub[] = {5.0, 5.0, 5.0};
    const double x0[] = {0.5, 0.5, 0.5};
    CMAParameters<TGenoPheno> parameters(3, x0, 1.0, 10, seed, TGenoPheno(lb, ub, 3));
    return Strategy(func_, parameters);
  }

  FitFunc func_ = [](const double* x, const int& n) {
    double f = 0.0;
    for (int i = 0; i < n; ++i) f += (i + 1.0) * x[i] * x[i];
    return f;
  };
};

typedef ::testing::Types<
    GenoPheno<NoBoundStrategy, NoScalingStrategy>, GenoPheno<NoBoundStrategy, linScalingStrategy>,
    GenoPheno<pwqBoundStrategy, NoScalingStrategy>, GenoPheno<pwqBoundStrategy, linScalingStrategy>>
    GenoPhenoVariants;
TYPED_TEST_SUITE(ResumeFileTest, GenoPhenoVariants);

TYPED_TEST(ResumeFileTest, WritesTheBlockLayoutAndAppendsBlocks) {
  const std::string path = TempPath("layout");
  auto strategy = this->MakeStrategy();
  SetKnownState(strategy.get_solutions());
  EXPECT_TRUE(strategy.write_resume(path.c_str()));
  EXPECT_EQ(ReadAll(path), KNOWN_BLOCK);
  EXPECT_TRUE(strategy.write_resume(path.c_str()));
  EXPECT_EQ(ReadAll(path), std::string(KNOWN_BLOCK) + KNOWN_BLOCK);
  // An unopenable file is reported to the caller, which names it.
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(strategy.write_resume((::testing::TempDir() + "no_such_dir/evoresume.dat").c_str()));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TYPED_TEST(ResumeFileTest, ReadLoadsTheFirstBlockToSixDigits) {
  const std::string path = TempPath("roundtrip");
  auto searched = this->MakeStrategy(5);
  searched.get_parameters()._algo = aCMAES;
  for (int g = 0; g < 15; ++g) {
    searched.ask();
    for (int r = 0; r < searched.get_solutions().size(); ++r) {
      Candidate& c = searched.get_solutions().get_candidate(r);
      c.set_fvalue(this->func_(c.get_x_ptr(), 3));
    }
    searched.tell();
    searched.inc_iter();
  }
  const CMASolutions first = searched.get_solutions();
  searched.write_resume(path.c_str());
  SetKnownState(searched.get_solutions());
  searched.write_resume(path.c_str());

  auto resumed = this->MakeStrategy(6);
  resumed.read_resume(path.c_str());
  const CMASolutions& loaded = resumed.get_solutions();
  auto same = [](const Eigen::MatrixXd& a, const Eigen::MatrixXd& b) {
    ASSERT_EQ(a.rows(), b.rows());
    ASSERT_EQ(a.cols(), b.cols());
    for (Eigen::Index i = 0; i < a.size(); ++i)
      EXPECT_NEAR(a.data()[i], b.data()[i], 5e-6 * std::fabs(b.data()[i]) + 1e-300);
  };
  same(loaded._xmean, first._xmean);
  same(loaded._psigma, first._psigma);
  same(loaded._pc, first._pc);
  same(Eigen::Matrix<double, 1, 1>(loaded._sigma), Eigen::Matrix<double, 1, 1>(first._sigma));
  same(loaded._cov, first._cov);
  EXPECT_EQ(loaded._cov, loaded._cov.transpose());
  EXPECT_EQ(loaded._sepcov, loaded._cov);
  // The next generation samples from the loaded covariance, not the start one.
  resumed.ask();
  const Eigen::VectorXd expected =
      Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd>(loaded._cov).eigenvalues();
  EXPECT_TRUE(resumed.get_solutions()._sqrt_eigenvalues.cwiseAbs2().isApprox(expected, 1e-9));
}

TYPED_TEST(ResumeFileTest, ReportsEveryBrokenBlockAndKeepsTheState) {
  const std::string head = "\n# resume 3\nxmean\n1\t2\t3\n";
  const std::string paths = "path for sigma\n0\t0\t0\npath for C\n0\t0\t0\n";
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      {"", "resumeDistribution(): Dimension numbers do not match"},
      {"xmean\n1 2 3\n", "resumeDistribution(): Dimension numbers do not match"},
      {"\n# resume 4\nxmean\n1 2 3 4\n", "resumeDistribution(): Dimension numbers do not match"},
      {"\n# resume 3\n", "resumeDistribution(): 'xmean' not found"},
      {"\n# resume 3\nxmean\n", "resumeDistribution(): 'xmean' not found"},
      {head, "resumeDistribution(): 'path for sigma' not found"},
      {head + "path for C\n0 0 0\n", "resumeDistribution(): 'path for sigma' not found"},
      {head + "path for sigma\n0\t0\t0\n", "resumeDistribution(): 'path for C' not found"},
      {head + paths, "resumeDistribution(): 'sigma' not found"},
      {head + paths + "sigma 1\n", "resumeDistribution(): 'covariance matrix' not found"},
      {head + paths + "sigma 1\ncovariance\n",
       "resumeDistribution(): 'covariance matrix' not found"},
      {"\n# resume 3\nxmean\n1\tnan\t3\n" + paths,
       "resumeDistribution(): unreadable or non-finite number in 'xmean'"},
      {"\n# resume 3\nxmean\n1\tabc\t3\n" + paths,
       "resumeDistribution(): unreadable or non-finite number in 'xmean'"},
      {head + paths + "sigma 1e999\n",
       "resumeDistribution(): unreadable or non-finite number in 'sigma'"},
      {head + paths + "sigma -1\n", "resumeDistribution(): 'sigma' must be positive"},
      {head + paths + "sigma 1\ncovariance matrix\n1\n0 1\n0 0\n",
       "resumeDistribution(): unreadable or non-finite number in 'covariance matrix'"},
  };
  const std::string path = TempPath("broken");
  auto strategy = this->MakeStrategy();
  SetKnownState(strategy.get_solutions());
  const CMASolutions before = strategy.get_solutions();
  for (const auto& c : cases) {
    WriteAll(path, c.text);
    try {
      strategy.read_resume(path.c_str());
      ADD_FAILURE() << "no error for:\n" << c.text;
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(error.what(), c.error) << c.text;
    }
    EXPECT_EQ(strategy.get_solutions()._xmean, before._xmean) << c.text;
    EXPECT_EQ(strategy.get_solutions()._cov, before._cov) << c.text;
  }
  // A complete block read after the failures loads normally.
  WriteAll(path, head + paths + "sigma 2\ncovariance matrix\n1\n0\t1\n0\t0\t1\n");
  strategy.read_resume(path.c_str());
  EXPECT_EQ(strategy.get_solutions()._sigma, 2.0);
  EXPECT_EQ(strategy.get_solutions()._cov, Eigen::MatrixXd::Identity(3, 3));
}

TYPED_TEST(ResumeFileTest, MissingFileIsReportedOnStandardOutput) {
  const std::string path = TempPath("missing");
  auto strategy = this->MakeStrategy();
  SetKnownState(strategy.get_solutions());
  ::testing::internal::CaptureStdout();
  strategy.read_resume(path.c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "resumeDistribution(): could not open '" + path + "'");
  EXPECT_EQ(strategy.get_solutions()._sigma, 0.25);
}

}  // namespace
}  // namespace libcmaes
