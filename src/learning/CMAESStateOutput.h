// Text output of the built-in CMA-ES optimiser's state and the reading of a resume block;
// member definitions of CMAES, included at the end of CMAES.h.
//
// writeToStream writes the items selected by CMAES::WriteKey flags with the stream's own
// number format unless an item says otherwise. A resume block (WKResume) looks like this for
// N = 2 (tabs between values):
//
//   (empty line)
//   # resume 2
//   xmean
//   0.5	-1
//   path for sigma
//   0.1	0.2
//   path for C
//   0.3	0.4
//   sigma 0.8
//   covariance matrix
//   1
//   0.1	2
//   (empty line)
//
// resumeDistribution finds the keys by words from the first "resume" in the file, so a file
// with several appended blocks resumes from the first one.
#pragma once

#include <fstream>
#include <iomanip>
#include <locale>
#include <sstream>
#include <vector>

#include "learning/CMAES.h"

namespace zamp {

namespace cmaes_output {

// Values separated by tabs, then a line end.
template <typename T>
void writeRow(std::ostream& out, const T* values, int n) {
  for (int i = 0; i < n; ++i) {
    if (i > 0) out << '\t';
    out << values[i];
  }
  out << std::endl;
}

// The full report's vector layout: each value as a blank and a 12-wide field, five a line.
template <typename T>
void writeBlock(std::ostream& out, const std::vector<T>& values) {
  const int n = static_cast<int>(values.size());
  for (int i = 0; i < n; ++i) {
    out << ' ' << std::setw(12) << values[i];
    out << ((i % 5 == 4 || i == n - 1) ? '\n' : ' ');
  }
}

// The local time in the form of the C library's asctime, newline included.
inline std::string asctimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << std::put_time(&local, "%a %b %e %H:%M:%S %Y") << '\n';
  return text.str();
}

// Axis indices by length ascending; among equal lengths the later index first.
template <typename T>
std::vector<int> axesByLength(const T* lengths, int n) {
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) {
    int j = i;
    for (; j > 0; --j) {
      if (lengths[order[j - 1]] < lengths[i]) break;
      order[j] = order[j - 1];
    }
    order[j] = i;
  }
  return order;
}

}  // namespace cmaes_output

template <typename T>
void CMAES<T>::writeToStream(int key, std::ostream& out) {
  using cmaes_output::writeBlock;
  using cmaes_output::writeRow;
  // Before init there is no state to write.
  if (!xmean) return;
  const int N = params.N;
  const int lambda = params.lambda;
  const T fbest = population[index[0]][N];

  if (key & WKResume) {
    out << std::endl << "# resume " << N << std::endl;
    out << "xmean" << std::endl;
    writeToStream(WKXMean, out);
    out << "path for sigma" << std::endl;
    for (int i = 0; i < N; ++i) out << ps[i] << (i == N - 1 ? "\n" : "\t");
    out << "path for C" << std::endl;
    for (int i = 0; i < N; ++i) out << pc[i] << (i == N - 1 ? "\n" : "\t");
    out << "sigma " << sigma << std::endl;
    out << "covariance matrix" << std::endl;
    writeToStream(WKC, out);
  }
  if (key & WKXMean) writeRow(out, xmean, N);
  if (key & WKC) {
    for (int i = 0; i < N; ++i) writeRow(out, C[i], i + 1);
    out << std::endl;
  }
  if (key & WKAll) {
    const std::streamsize precision = out.precision();
    out << std::endl << "# --------- " << cmaes_output::asctimeText() << std::endl;
    out << " N " << N << std::endl;
    out << "function evaluations " << static_cast<long>(countevals) << std::endl;
    out << "elapsed (CPU) time [s] " << std::setprecision(2) << eigenTimings.totaltotaltime
        << std::setprecision(precision) << std::endl;
    out << "function value f(x)=" << fbest << std::endl;
    out << "maximal standard deviation " << sigma * std::sqrt(maxdiagC) << std::endl;
    out << "minimal standard deviation " << sigma * std::sqrt(mindiagC) << std::endl;
    out << "sigma " << sigma << std::endl;
    out << "axisratio " << *std::max_element(rgD, rgD + N) / *std::min_element(rgD, rgD + N)
        << std::endl;
    // From here to the end of the report the precision is 0.
    out << "xbestever found after " << std::setprecision(0) << xBestEver[N + 1]
        << "evaluations, function value " << xBestEver[N] << std::endl;
    writeBlock(out, std::vector<T>(xBestEver, xBestEver + N));
    out << "xbest (of last generation, function value " << fbest << ")" << std::endl;
    writeBlock(out, std::vector<T>(population[index[0]], population[index[0]] + N));
    out << "xmean" << std::endl;
    writeBlock(out, std::vector<T>(xmean, xmean + N));
    out << "Standard deviation of coordinate axes (sigma*sqrt(diag(C)))" << std::endl;
    std::vector<T> values(N);
    for (int i = 0; i < N; ++i) values[i] = sigma * std::sqrt(C[i][i]);
    writeBlock(out, values);
    out << "Main axis lengths of mutation ellipsoid (sigma*diag(D))" << std::endl;
    std::vector<T> sorted(rgD, rgD + N);
    std::sort(sorted.begin(), sorted.end(), [](T a, T b) { return a > b; });
    for (int i = 0; i < N; ++i) values[i] = sigma * sorted[i];
    writeBlock(out, values);
    const int longest = static_cast<int>(std::max_element(rgD, rgD + N) - rgD);
    const int shortest = static_cast<int>(std::min_element(rgD, rgD + N) - rgD);
    out << "Longest axis (b_i where d_ii=max(diag(D))" << std::endl;
    for (int i = 0; i < N; ++i) values[i] = B[i][longest];
    writeBlock(out, values);
    out << "Shortest axis (b_i where d_ii=max(diag(D))" << std::endl;
    for (int i = 0; i < N; ++i) values[i] = B[i][shortest];
    writeBlock(out, values);
    out << std::endl;
    out.precision(precision);
  }
  if (key & WKFewInfo) {
    out << " Iter\tFevals\tFunction Value\tSigma\tMaxCoorDev\tMinCoorDev\t"
        << "AxisRatio\tMinDii\tTime in eig" << std::endl
        << std::endl;
  }
  if (key & WKFew) {
    out << static_cast<long>(gen) << "\t" << static_cast<long>(countevals) << "\t" << fbest
        << "\t\t" << sigma << "  " << sigma * std::sqrt(maxdiagC) << "\t"
        << sigma * std::sqrt(mindiagC) << "\t" << std::scientific << std::setprecision(2)
        << std::sqrt(maxEW / minEW) << "\t" << std::sqrt(minEW) << "  "
        << eigenTimings.totaltotaltime << std::endl;
  }
  if (key & WKEval) out << countevals << std::endl;
  if (key & WKFitness) {
    // The ranking has lambda places; a dimension above lambda must not read past it.
    const int n = std::min(N, lambda);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out << '\t';
      out << functionValues[index[i]];
    }
    out << std::endl;
  }
  if (key & WKFBestEver) out << xBestEver[N] << std::endl;
  if (key & WKCGeneration) out << gen << std::endl;
  if (key & WKSigma) out << sigma << std::endl;
  if (key & WKLambda) out << lambda << std::endl;
  if (key & WKB) {
    const std::vector<int> order = cmaes_output::axesByLength(rgD, N);
    for (int a = N - 1; a >= 0; --a) {
      const int column = order[a];
      for (int i = 0; i < N; ++i) out << B[i][column] << (i == N - 1 ? "" : "\t");
      out << std::endl;
    }
    out << std::endl;
  }
  if (key & WKXBest) writeRow(out, population[index[0]], N);
  if (key & WKClock) {
    eigenTimings.update();
    out << eigenTimings.totaltotaltime << " " << eigenTimings.tictoctime << std::endl;
  }
  if (key & WKDim) out << N << std::endl;
}

template <typename T>
void CMAES<T>::writeToFile(int key, const std::string& name) {
  std::ofstream file(name, std::ios::out | std::ios::app);
  if (!file) throw std::runtime_error("writeToFile(): could not open '" + name + "'");
  // The per-generation fitness file gets nothing before the first generation.
  if (gen == 0 && name.compare(0, 11, "outcmaesfit") == 0) return;
  writeToStream(key, file);
  file.close();
  if (file.fail()) throw std::runtime_error("writeToFile(): could not write '" + name + "'");
}

template <typename T>
void CMAES<T>::resumeDistribution(const std::string& name) {
  if (!xmean) throw std::runtime_error("resumeDistribution(): the optimiser is not initialised");
  const int N = params.N;
  std::ifstream in(name);
  if (!in) throw std::runtime_error("resumeDistribution(): could not open '" + name + "'");

  std::string word;
  std::streampos blockStart = 0;
  while (in >> word) {
    if (word == "resume") {
      blockStart = in.tellg();
      break;
    }
  }
  auto toBlockStart = [&]() {
    in.clear();
    in.seekg(blockStart);
  };
  toBlockStart();
  int n = 0;
  in >> n;
  if (n != N) throw std::runtime_error("resumeDistribution(): Dimension numbers do not match");

  auto notFound = [](const std::string& key) {
    return std::runtime_error("resumeDistribution(): '" + key + "' not found");
  };
  // A truncated or garbled section must not pass for a complete resume.
  auto checkRead = [&](const std::string& key) {
    if (in.fail()) {
      throw std::runtime_error("resumeDistribution(): could not read the values after '" + key +
                               "'");
    }
  };
  // Keys of several words: on every first word, the following ones are read and joined.
  auto findKey = [&](const std::string& first, int more, const std::string& key) {
    toBlockStart();
    while (in >> word) {
      if (word != first) continue;
      std::string joined = word;
      for (int i = 0; i < more; ++i) {
        std::string next;
        in >> next;
        joined += " " + next;
      }
      if (joined == key) return true;
    }
    return false;
  };

  if (!findKey("xmean", 0, "xmean")) throw notFound("xmean");
  for (int i = 0; i < N; ++i) {
    in >> xmean[i];
    xold[i] = xmean[i];
  }
  checkRead("xmean");

  if (!findKey("path", 2, "path for sigma")) throw notFound("path for sigma");
  for (int i = 0; i < N; ++i) in >> ps[i];
  checkRead("path for sigma");

  if (!findKey("path", 2, "path for C")) throw notFound("path for C");
  for (int i = 0; i < N; ++i) in >> pc[i];
  checkRead("path for C");

  // The step size's own line, not the last word of "path for sigma".
  toBlockStart();
  bool found = false;
  std::string before1, before2;
  while (in >> word) {
    if (word == "sigma" && !(before2 == "path" && before1 == "for")) {
      found = true;
      break;
    }
    before2 = before1;
    before1 = word;
  }
  if (!found) throw notFound("sigma");
  in >> sigma;
  checkRead("sigma");

  if (!findKey("covariance", 1, "covariance matrix")) throw notFound("covariance matrix");
  for (int i = 0; i < N; ++i) {
    for (int j = 0; j <= i; ++j) in >> C[i][j];
  }
  checkRead("covariance matrix");

  eigensysIsUptodate = false;
  isResumeDone = true;
  updateDiagonalExtremes();
  updateEigensystem(true);
}

}  // namespace zamp
