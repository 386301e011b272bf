#include "platform/ResumeFile.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <locale>
#include <stdexcept>
#include <string>

namespace libcmaes {

namespace {

void WriteLine(std::ostream& out, const Eigen::VectorXd& v) {
  for (Eigen::Index i = 0; i < v.size(); ++i) out << v[i] << (i + 1 < v.size() ? "\t" : "\n");
}

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("resumeDistribution(): " + what);
}

// Word-by-word reader of a resume file.
class Words {
 public:
  explicit Words(std::istream& in) : in_(in) {}

  bool Next(std::string& word) { return static_cast<bool>(in_ >> word); }

  // Moves past the next occurrence of the heading (one or more words). A heading that
  // ends the file counts as not found, since its values are missing.
  bool Find(const std::string& first, const std::string& second = "",
            const std::string& third = "") {
    std::string word;
    while (Next(word)) {
      if (word != first) continue;
      std::string w2, w3;
      if (!second.empty() && !(Next(w2) && w2 == second)) continue;
      if (!third.empty() && !(Next(w3) && w3 == third)) continue;
      in_ >> std::ws;
      return !in_.eof();
    }
    return false;
  }

  double Number(const char* section) {
    double value = 0.0;
    if (!(in_ >> value) || !std::isfinite(value))
      Fail(std::string("unreadable or non-finite number in '") + section + "'");
    return value;
  }

  void Numbers(const char* section, Eigen::VectorXd& v, int n) {
    v.resize(n);
    for (int i = 0; i < n; ++i) v[i] = Number(section);
  }

 private:
  std::istream& in_;
};

}  // namespace

bool ResumeFile::write(const char* filename, const CMASolutions& solutions, int dim, bool sep) {
  if (filename == nullptr) return false;
  std::ofstream out(filename, std::ios::app);
  if (!out) return false;
  out.imbue(std::locale::classic());
  out << "\n# resume " << dim << "\n";
  out << "xmean\n";
  WriteLine(out, solutions._xmean);
  out << "path for sigma\n";
  WriteLine(out, solutions._psigma);
  out << "path for C\n";
  WriteLine(out, solutions._pc);
  out << "sigma " << solutions._sigma << "\n";
  out << "covariance matrix\n";
  const Eigen::MatrixXd& cov = sep ? solutions._sepcov : solutions._cov;
  for (Eigen::Index i = 0; i < cov.rows(); ++i)
    for (Eigen::Index j = 0; j <= i; ++j) out << cov(i, j) << (j < i ? "\t" : "\n");
  out << "\n";
  out.flush();
  return static_cast<bool>(out);
}

void ResumeFile::read(const char* filename, int dim, CMASolutions& solutions) {
  std::ifstream in;
  if (filename != nullptr) in.open(filename);
  if (!in) {
    std::cout << "resumeDistribution(): could not open '" << (filename ? filename : "") << "'";
    return;
  }
  in.imbue(std::locale::classic());
  Words words(in);

  int n = 0;
  if (words.Find("resume") && !(in >> n)) n = 0;
  if (n != dim) Fail("Dimension numbers do not match");

  // Read into a copy and keep it only when the whole block has been read.
  CMASolutions loaded = solutions;
  if (!words.Find("xmean")) Fail("'xmean' not found");
  words.Numbers("xmean", loaded._xmean, n);
  if (!words.Find("path", "for", "sigma")) Fail("'path for sigma' not found");
  words.Numbers("path for sigma", loaded._psigma, n);
  if (!words.Find("path", "for", "C")) Fail("'path for C' not found");
  words.Numbers("path for C", loaded._pc, n);
  if (!words.Find("sigma")) Fail("'sigma' not found");
  loaded._sigma = words.Number("sigma");
  if (!(loaded._sigma > 0.0)) Fail("'sigma' must be positive");
  if (!words.Find("covariance", "matrix")) Fail("'covariance matrix' not found");
  loaded._cov.resize(n, n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j <= i; ++j) {
      loaded._cov(i, j) = words.Number("covariance matrix");
      loaded._cov(j, i) = loaded._cov(i, j);
    }
  }
  loaded._sepcov = loaded._cov;
  loaded._eigen_stale = true;
  loaded._numeric_failure = false;
  solutions = std::move(loaded);
}

}  // namespace libcmaes
