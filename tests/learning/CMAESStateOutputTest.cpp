#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "OptimiserSetup.h"
#include "learning/CMAES.h"

namespace zamp {
namespace {

using testing_cmaes::Ellipsoid;
using testing_cmaes::MakeOptimiser;
using testing_cmaes::RunGeneration;
using Cma = CMAES<double>;

std::string ReadFile(const std::string& name) {
  std::ifstream in(name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& name, const std::string& text) {
  std::ofstream out(name);
  out << text;
}

class CMAESStateOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("cmaes_output_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // N = 2, lambda 4, with a state whose every written value is known by hand.
  std::unique_ptr<Cma> MakeSmall() {
    Parameters<double> p;
    p.lambda = 4;
    const std::vector<double> x0 = {0.5, -1.0}, stds = {1.0, 1.0};
    p.init(2, x0.data(), stds.data());
    auto cma = MakeOptimiser(p, 1);
    cma->ps[0] = 0.1;
    cma->ps[1] = 0.2;
    cma->pc[0] = 0.3;
    cma->pc[1] = 0.4;
    cma->sigma = 0.8;
    cma->C[0][0] = 1.0;
    cma->C[1][0] = 0.1;
    cma->C[1][1] = 2.0;
    return cma;
  }

  std::string Write(Cma& cma, int key) {
    std::ostringstream out;
    cma.writeToStream(key, out);
    return out.str();
  }

  std::filesystem::path dir_;
};

const char kSmallResume[] =
    "\n# resume 2\nxmean\n0.5\t-1\npath for sigma\n0.1\t0.2\npath for C\n0.3\t0.4\n"
    "sigma 0.8\ncovariance matrix\n1\n0.1\t2\n\n";

TEST_F(CMAESStateOutputTest, ResumeBlockText) {
  auto cma = MakeSmall();
  EXPECT_EQ(Write(*cma, Cma::WKResume), kSmallResume);
}

TEST_F(CMAESStateOutputTest, SingleItemTexts) {
  auto cma = MakeSmall();
  cma->gen = 3;
  cma->countevals = 12;
  cma->xBestEver[2] = 0.25;
  cma->population[2][0] = 7.5;
  cma->population[2][1] = -2.0;
  const double fitness[4] = {4.0, 3.0, 0.5, 1.0};
  for (int k = 0; k < 4; ++k) cma->functionValues[k] = fitness[k];
  const int ranking[4] = {2, 3, 1, 0};
  for (int k = 0; k < 4; ++k) cma->index[k] = ranking[k];
  struct Case {
    int key;
    std::string text;
  };
  const std::vector<Case> cases = {
      {Cma::WCNone, ""},
      {Cma::WKXMean, "0.5\t-1\n"},
      {Cma::WKC, "1\n0.1\t2\n\n"},
      {Cma::WKFewInfo,
       " Iter\tFevals\tFunction Value\tSigma\tMaxCoorDev\tMinCoorDev\tAxisRatio\tMinDii\t"
       "Time in eig\n\n"},
      {Cma::WKEval, "12\n"},
      {Cma::WKFitness, "0.5\t1\n"},
      {Cma::WKFBestEver, "0.25\n"},
      {Cma::WKCGeneration, "3\n"},
      {Cma::WKSigma, "0.8\n"},
      {Cma::WKLambda, "4\n"},
      {Cma::WKXBest, "7.5\t-2\n"},
      {Cma::WKDim, "2\n"},
      // The order is that of the flag values, not of the call.
      {Cma::WKSigma | Cma::WKXMean, "0.5\t-1\n0.8\n"},
      {Cma::WKDim | Cma::WKEval | Cma::WKXBest, "12\n7.5\t-2\n2\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Write(*cma, c.key), c.text) << c.key;
}

TEST_F(CMAESStateOutputTest, OneLineSummaryLeavesScientificNotationOnTheStream) {
  auto cma = MakeSmall();
  cma->gen = 3;
  cma->countevals = 12;
  cma->population[cma->index[0]][2] = 1.5;
  cma->sigma = 0.5;
  cma->maxdiagC = 4.0;
  cma->mindiagC = 1.0;
  cma->maxEW = 16.0;
  cma->minEW = 0.25;
  cma->eigenTimings.totaltotaltime = 0.25;
  std::ostringstream out;
  cma->writeToStream(Cma::WKFew, out);
  // sqrt(16 / 0.25) = 8, sqrt(0.25) = 0.5.
  EXPECT_EQ(out.str(), "3\t12\t1.5\t\t0.5  1\t0.5\t8.00e+00\t5.00e-01  2.50e-01\n");
  EXPECT_TRUE(out.flags() & std::ios::scientific);
  EXPECT_EQ(out.precision(), 2);
}

TEST_F(CMAESStateOutputTest, EigenvectorsLongestAxisFirst) {
  auto cma = MakeSmall();
  cma->B[0][0] = 0.6;
  cma->B[0][1] = -0.8;
  cma->B[1][0] = 0.8;
  cma->B[1][1] = 0.6;
  cma->rgD[0] = 1.0;
  cma->rgD[1] = 2.0;
  EXPECT_EQ(Write(*cma, Cma::WKB), "-0.8\t0.6\n0.6\t0.8\n\n");
  // Equal lengths: the later index sorts first, so the earlier one is written first.
  cma->rgD[1] = 1.0;
  EXPECT_EQ(Write(*cma, Cma::WKB), "0.6\t0.8\n-0.8\t0.6\n\n");
}

TEST_F(CMAESStateOutputTest, OneDimensionCovarianceAndFitnessOfAShortRanking) {
  Parameters<double> p;
  const double x0 = 1.0, std_dev = 0.5;
  p.init(1, &x0, &std_dev);
  auto one = MakeOptimiser(p, 1);
  EXPECT_EQ(Write(*one, Cma::WKC), "1\n\n");

  // Five coordinates but a ranking of three places: three values, no read past the end.
  Parameters<double> q;
  q.lambda = 3;
  q.mu = 1;
  const std::vector<double> x5(5, 0.0), s5(5, 1.0);
  q.init(5, x5.data(), s5.data());
  auto five = MakeOptimiser(q, 1);
  const double f[3] = {2.0, 1.0, 3.0};
  five->samplePopulation();
  five->updateDistribution(f);
  EXPECT_EQ(Write(*five, Cma::WKFitness), "1\t2\t3\n");
}

TEST_F(CMAESStateOutputTest, ClockLineHoldsTwoTimes) {
  auto cma = MakeSmall();
  EXPECT_TRUE(std::regex_match(Write(*cma, Cma::WKClock), std::regex("[0-9.e+-]+ [0-9.e+-]+\n")));
}

TEST_F(CMAESStateOutputTest, FullReport) {
  auto cma = MakeSmall();
  cma->sigma = 0.5;
  cma->C[0][0] = 4.0;
  cma->C[1][0] = 0.0;
  cma->C[1][1] = 1.0;
  cma->maxdiagC = 4.0;
  cma->mindiagC = 1.0;
  cma->rgD[0] = 2.0;
  cma->rgD[1] = 1.0;
  cma->B[0][0] = 0.6;
  cma->B[0][1] = -0.8;
  cma->B[1][0] = 0.8;
  cma->B[1][1] = 0.6;
  cma->countevals = 12;
  cma->eigenTimings.totaltotaltime = 0.25;
  cma->population[0][0] = 1.0;
  cma->population[0][1] = 2.0;
  cma->population[0][2] = 1.25;
  cma->xBestEver[0] = 0.3;
  cma->xBestEver[1] = -0.5;
  cma->xBestEver[2] = 0.125;
  cma->xBestEver[3] = 8;
  std::ostringstream out;
  cma->writeToStream(Cma::WKAll, out);
  const std::string text = out.str();

  // A date line like "# --------- Mon Dec  7 09:51:43 2026", then an empty line.
  const std::regex head(
      "\n# --------- [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] "
      "[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\n\n");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(text, match, head));
  EXPECT_EQ(match.position(0), 0);
  // From the "xbestever" line on, one significant digit: precision 0. Each block value is a
  // blank and a 12-wide field, followed by a blank or (fifth and last) a newline.
  const std::string rest =
      " N 2\n"
      "function evaluations 12\n"
      "elapsed (CPU) time [s] 0.25\n"
      "function value f(x)=1.25\n"
      "maximal standard deviation 1\n"
      "minimal standard deviation 0.5\n"
      "sigma 0.5\n"
      "axisratio 2\n"
      "xbestever found after 8evaluations, function value 0.1\n"
      "          0.3          -0.5\n"
      "xbest (of last generation, function value 1)\n"
      "            1             2\n"
      "xmean\n"
      "          0.5            -1\n"
      "Standard deviation of coordinate axes (sigma*sqrt(diag(C)))\n"
      "            1           0.5\n"
      "Main axis lengths of mutation ellipsoid (sigma*diag(D))\n"
      "            1           0.5\n"
      "Longest axis (b_i where d_ii=max(diag(D))\n"
      "          0.6           0.8\n"
      "Shortest axis (b_i where d_ii=max(diag(D))\n"
      "         -0.8           0.6\n"
      "\n";
  EXPECT_EQ(text.substr(match.length(0)), rest);
  EXPECT_EQ(out.precision(), 6);
}

TEST_F(CMAESStateOutputTest, FullReportBreaksVectorsAfterEveryFifthValue) {
  Parameters<double> p;
  const std::vector<double> x0(6, 1.0), stds(6, 1.0);
  p.init(6, x0.data(), stds.data());
  auto cma = MakeOptimiser(p, 1);
  const std::string text = Write(*cma, Cma::WKAll);
  const std::string one = "            1";
  EXPECT_NE(text.find("xmean\n" + one + " " + one + " " + one + " " + one + " " + one + "\n" + one +
                      "\nStandard"),
            std::string::npos)
      << text;
}

TEST_F(CMAESStateOutputTest, WriteToFileAppendsAndSkipsTheFitnessFileBeforeTheFirstGeneration) {
  auto cma = MakeSmall();
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  cma->writeToFile(Cma::WKResume, "outcmaesfit.dat");
  cma->writeToFile(Cma::WKResume, "resume.dat");
  cma->writeToFile(Cma::WKSigma, "resume.dat");
  cma->gen = 1;
  cma->writeToFile(Cma::WKSigma, "outcmaesfit.dat");
  std::filesystem::current_path(cwd);

  EXPECT_EQ(ReadFile(Path("resume.dat")), std::string(kSmallResume) + "0.8\n");
  EXPECT_EQ(ReadFile(Path("outcmaesfit.dat")), "0.8\n");

  // A full device opens but takes nothing: the lost block is reported, not passed over.
  if (std::filesystem::exists("/dev/full")) {
    try {
      cma->writeToFile(Cma::WKResume, "/dev/full");
      ADD_FAILURE() << "a failed write passed";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "writeToFile(): could not write '/dev/full'");
    }
  }

  const std::string bad = Path("missing/dir/best.dat");
  try {
    cma->writeToFile(Cma::WKXBest, bad);
    FAIL() << "wrote into a missing directory";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "writeToFile(): could not open '" + bad + "'");
  }
}

TEST_F(CMAESStateOutputTest, ResumeBlockRoundTrips) {
  Parameters<double> p = testing_cmaes::MakeParameters(3, 1.0, 0.5);
  auto a = MakeOptimiser(p, 31);
  for (int g = 0; g < 5; ++g) RunGeneration(*a, Ellipsoid);
  const std::string file = Path("resume.dat");
  a->writeToFile(Cma::WKResume, file);

  auto b = MakeOptimiser(p, 32);
  b->resumeDistribution(file);
  auto near = [](double x, double y) { return std::abs(x - y) <= 1e-5 * std::abs(x) + 1e-300; };
  for (int i = 0; i < 3; ++i) {
    EXPECT_PRED2(near, a->xmean[i], b->xmean[i]) << i;
    EXPECT_EQ(b->xold[i], b->xmean[i]) << i;
    EXPECT_PRED2(near, a->ps[i], b->ps[i]) << i;
    EXPECT_PRED2(near, a->pc[i], b->pc[i]) << i;
    for (int j = 0; j <= i; ++j) EXPECT_PRED2(near, a->C[i][j], b->C[i][j]) << i << j;
  }
  EXPECT_PRED2(near, a->sigma, b->sigma);
  EXPECT_TRUE(b->isResumeDone);
  EXPECT_TRUE(b->eigensysIsUptodate);
  std::vector<double> ev(3);
  for (int i = 0; i < 3; ++i) ev[i] = b->rgD[i] * b->rgD[i];
  EXPECT_EQ(b->checkEigen(ev.data(), b->B), 0);
  // Generation, evaluations and best ever are not part of the block.
  EXPECT_EQ(b->gen, 0.0);
  EXPECT_EQ(b->countevals, 0.0);

  // Named in the parameters, the block is loaded by init.
  p.resumefile = file;
  auto c = MakeOptimiser(p, 33);
  EXPECT_TRUE(c->isResumeDone);
  EXPECT_EQ(c->sigma, b->sigma);
}

TEST_F(CMAESStateOutputTest, SeveralBlocksResumeFromTheFirst) {
  auto cma = MakeSmall();
  const std::string file = Path("resume.dat");
  cma->writeToFile(Cma::WKResume, file);
  cma->sigma = 0.4;
  cma->xmean[0] = 9.0;
  cma->writeToFile(Cma::WKResume, file);

  auto fresh = MakeSmall();
  fresh->sigma = 1.0;
  fresh->resumeDistribution(file);
  EXPECT_EQ(fresh->sigma, 0.8);
  EXPECT_EQ(fresh->xmean[0], 0.5);
}

TEST_F(CMAESStateOutputTest, ResumeFailuresNameWhatIsMissing) {
  struct Case {
    std::string from, to, message;
  };
  const std::vector<Case> cases = {
      {"# resume 2", "# resume 3", "resumeDistribution(): Dimension numbers do not match"},
      {"xmean", "xmeans", "resumeDistribution(): 'xmean' not found"},
      {"path for sigma", "path to sigma", "resumeDistribution(): 'path for sigma' not found"},
      {"path for C", "path for c", "resumeDistribution(): 'path for C' not found"},
      // Only the word of "path for sigma" is left: it does not count as the step size.
      {"sigma 0.8", "step 0.8", "resumeDistribution(): 'sigma' not found"},
      {"covariance matrix", "covariance", "resumeDistribution(): 'covariance matrix' not found"},
      {"0.1\t2\n", "0.1\tx\n",
       "resumeDistribution(): could not read the values after 'covariance matrix'"},
      {"0.3\t0.4", "0.3", "resumeDistribution(): could not read the values after 'path for C'"},
  };
  for (const Case& c : cases) {
    std::string text = kSmallResume;
    const size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, c.from.size(), c.to);
    const std::string file = Path("broken.dat");
    WriteFile(file, text);
    auto cma = MakeSmall();
    try {
      cma->resumeDistribution(file);
      ADD_FAILURE() << "accepted: " << c.to;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }

  auto cma = MakeSmall();
  const std::string missing = Path("none.dat");
  try {
    cma->resumeDistribution(missing);
    FAIL() << "opened a missing file";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "resumeDistribution(): could not open '" + missing + "'");
  }
}

TEST_F(CMAESStateOutputTest, BlockWithoutResumeHeadingIsReadFromTheStart) {
  const std::string file = Path("plain.dat");
  WriteFile(file,
            "2\nxmean\n1.5\t2.5\npath for sigma\n0 0\npath for C\n0 0\nsigma 0.3\n"
            "covariance matrix\n2\n0\t3\n");
  auto cma = MakeSmall();
  cma->resumeDistribution(file);
  EXPECT_EQ(cma->xmean[1], 2.5);
  EXPECT_EQ(cma->sigma, 0.3);
  EXPECT_EQ(cma->C[1][1], 3.0);
  EXPECT_NEAR(cma->maxEW, 3.0, 1e-14);
  EXPECT_NEAR(cma->minEW, 2.0, 1e-14);
}

}  // namespace
}  // namespace zamp
