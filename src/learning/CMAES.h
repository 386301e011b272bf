// The built-in CMA-ES optimiser: the published covariance matrix adaptation evolution
// strategy (rank-one plus rank-mu covariance update, cumulative step-size adaptation) on
// plain arrays, with its own symmetric eigen-decomposition (Householder tridiagonalisation
// and implicit QL, after EISPACK tred2/tql2; CMAESEigensystem.h), random generator (Random)
// and CPU stopwatch (Timing). It minimises: smaller fitness is better.
//
// The kick optimisation agent drives it ask-and-tell, once per generation: samplePopulation
// gives lambda candidates, the agent evaluates them one trial at a time into the array that
// init returned, then updateDistribution adapts the distribution. There is no termination
// test. The state can be written as text and a resume block read back (CMAESStateOutput.h).
//
// Coordinates are in whatever units the caller optimises; sigma and the axis lengths are in
// the same units. The fields are public so that reports and tests can read the state; only
// the operations change it.
//
// Vectors marked "hidden" below carry one leading element before index 0 that holds their
// length (N for points, lambda for functionValues, its own length for funcValueHistory) as a
// number, so a vector handed out still says how long it is.
#pragma once

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "learning/Parameters.h"
#include "learning/Random.h"
#include "learning/Timing.h"

namespace zamp {

// sqrt(a^2 + b^2) without overflow or destructive underflow.
template <typename T>
T myhypot(T a, T b) {
  const T fabsa = std::fabs(a);
  const T fabsb = std::fabs(b);
  if (fabsa > fabsb) {
    const T r = b / a;
    return fabsa * std::sqrt(T(1) + r * r);
  }
  if (b != T(0)) {
    const T r = a / b;
    return fabsb * std::sqrt(T(1) + r * r);
  }
  return T(0);
}

template <typename T>
class CMAES {
 public:
  enum GetScalar {
    NoScalar = 0,
    AxisRatio = 1,
    Eval = 2,
    Evaluations = 2,
    FctValue = 3,
    FuncValue = 3,
    FunValue = 3,
    Fitness = 3,
    FBestEver = 4,
    Generation = 5,
    Iteration = 5,
    MaxEval = 6,
    MaxFunEvals = 6,
    StopMaxFunEvals = 6,
    MaxGen = 7,
    MaxIter = 7,
    StopMaxIter = 7,
    MaxAxisLength = 8,
    MinAxisLength = 9,
    MaxStdDev = 10,
    MinStdDev = 11,
    Dim = 12,
    Dimension = 12,
    Lambda = 13,
    SampleSize = 13,
    PopSize = 13,
    Sigma = 14
  };

  enum GetVector {
    NoVector = 0,
    DiagC = 1,
    DiagD = 2,
    StdDev = 3,
    XBestEver = 4,
    XBest = 5,
    XMean = 6
  };

  // Bit flags of writeToStream; written in increasing order of value.
  enum WriteKey {
    WCNone = 0,
    WKResume = 1,
    WKXMean = 2,
    WKC = 4,
    WKAll = 8,
    WKFewInfo = 16,
    WKFew = 32,
    WKEval = 64,
    WKFitness = 128,
    WKFBestEver = 256,
    WKCGeneration = 512,
    WKSigma = 1024,
    WKLambda = 2048,
    WKB = 4096,
    WKXBest = 8192,
    WKClock = 16384,
    WKDim = 32768
  };

  enum State { INITIALIZED = 0, SAMPLED = 1, UPDATED = 2 };

  std::string version;
  Random<T> rand;
  Parameters<T> params;  // copy of the settings given to init
  T sigma;               // step size
  T* xmean;              // mean, N values (hidden)
  T* xBestEver;    // best point, then its fitness [N], then the evaluation count [N+1] (hidden)
  T** population;  // lambda candidates of N values, fitness at [N] (hidden)
  int* index;      // candidate indices by fitness, best first
  T* funcValueHistory;  // best fitness of recent generations, newest first (hidden)
  T chiN;               // expected length of a standard normal N-vector
  T** C;                // covariance, lower triangle: row i holds i+1 values
  T** B;                // eigenvectors as columns, N x N
  T* rgD;               // axis lengths (square roots of the eigenvalues), N values
  T* pc;                // evolution path of the covariance
  T* ps;                // conjugate evolution path of the step size
  T* xold;              // previous mean (hidden)
  T* output;            // N values (hidden)
  T* BDz;               // scaled mean shift of the last update
  T* tempRandom;        // work array, N+1 values
  T* functionValues;    // the last generation's fitness values (hidden)
  T* publicFitness;     // lambda values the caller fills with fitness
  T gen;                // generation counter
  State state;
  T maxdiagC, mindiagC;     // extreme diagonal entries of C
  T maxEW, minEW;           // extreme eigenvalues
  bool eigensysIsUptodate;  // B and rgD match C
  bool doCheckEigen;        // verify each decomposition
  T genOfEigensysUpdate;    // generation of the last decomposition
  T dMaxSignifKond;         // largest significant condition number
  T dLastMinEWgroesserNull;
  bool isResumeDone;  // a resume block was loaded
  std::time_t printtime, writetime, firstwritetime, firstprinttime;
  std::string stopMessage;
  T countevals;         // function evaluations so far
  Timing eigenTimings;  // time spent in eigen-decompositions

  // Version "1.0alpha", generator seeded from the clock, default parameters.
  CMAES()
      : version("1.0alpha"),
        sigma(1),
        xmean(nullptr),
        xBestEver(nullptr),
        population(nullptr),
        index(nullptr),
        funcValueHistory(nullptr),
        chiN(0),
        C(nullptr),
        B(nullptr),
        rgD(nullptr),
        pc(nullptr),
        ps(nullptr),
        xold(nullptr),
        output(nullptr),
        BDz(nullptr),
        tempRandom(nullptr),
        functionValues(nullptr),
        publicFitness(nullptr),
        gen(0),
        state(INITIALIZED),
        maxdiagC(0),
        mindiagC(0),
        maxEW(0),
        minEW(0),
        eigensysIsUptodate(false),
        doCheckEigen(false),
        genOfEigensysUpdate(0),
        dMaxSignifKond(0),
        dLastMinEWgroesserNull(1.0),
        isResumeDone(false),
        printtime(0),
        writetime(0),
        firstwritetime(0),
        firstprinttime(0),
        stopMessage(""),
        countevals(0) {
    eigenTimings.start();
  }

  // A copy would share the arrays and free them twice.
  CMAES(const CMAES&) = delete;
  CMAES& operator=(const CMAES&) = delete;

  ~CMAES() { release(); }

  // Sets up a new run from completed parameters (Parameters::init) and returns the array of
  // lambda values the caller fills with fitness. A previous run's state is freed first.
  // Throws std::runtime_error for parameters that were never completed, and whatever
  // resumeDistribution throws when a resume file is named.
  T* init(const Parameters<T>& parameters) {
    checkParameters(parameters);
    release();
    params = parameters;
    stopMessage = "";

    const int N = params.N;
    const int lambda = params.lambda;
    T trace = 0;
    for (int i = 0; i < N; ++i) trace += params.rgInitialStds[i] * params.rgInitialStds[i];
    sigma = std::sqrt(trace / N);

    chiN = std::sqrt(static_cast<T>(N)) * (T(1) - T(1) / (T(4) * N) + T(1) / (T(21) * N * N));
    eigensysIsUptodate = true;
    doCheckEigen = false;
    genOfEigensysUpdate = 0;
    isResumeDone = false;

    T d = 1;
    while (d + 1 != d) d *= 2;
    dMaxSignifKond = d / 1000;

    gen = 0;
    countevals = 0;
    state = INITIALIZED;
    printtime = writetime = firstwritetime = firstprinttime = 0;
    dLastMinEWgroesserNull = 1.0;

    const T largest = std::numeric_limits<T>::max();
    pc = newArray(N);
    ps = newArray(N);
    BDz = newArray(N);
    rgD = newArray(N);
    tempRandom = newArray(N + 1);
    xmean = newHiddenVector(N, N);
    xold = newHiddenVector(N, N);
    output = newHiddenVector(N, N);
    xBestEver = newHiddenVector(N + 2, N);
    xBestEver[N] = largest;
    C = new T*[N];
    B = new T*[N];
    for (int i = 0; i < N; ++i) {
      C[i] = newArray(i + 1);
      B[i] = newArray(N);
    }
    publicFitness = newArray(lambda);
    functionValues = newHiddenVector(lambda, lambda);
    std::fill(publicFitness, publicFitness + lambda, largest);
    std::fill(functionValues, functionValues + lambda, largest);
    const int historyLength = historySize();
    funcValueHistory = newHiddenVector(historyLength, historyLength);
    std::fill(funcValueHistory, funcValueHistory + historyLength, largest);
    index = new int[lambda];
    for (int k = 0; k < lambda; ++k) index[k] = k;
    population = new T*[lambda];
    for (int k = 0; k < lambda; ++k) {
      population[k] = newHiddenVector(N + 1, N);
      population[k][N] = largest;
    }

    for (int i = 0; i < N; ++i) {
      B[i][i] = 1;
      rgD[i] = params.rgInitialStds[i] * std::sqrt(N / trace);
      C[i][i] = rgD[i] * rgD[i];
    }
    minEW = *std::min_element(rgD, rgD + N);
    minEW = minEW * minEW;
    maxEW = *std::max_element(rgD, rgD + N);
    maxEW = maxEW * maxEW;
    updateDiagonalExtremes();

    for (int i = 0; i < N; ++i) {
      xmean[i] = xold[i] = params.xstart[i];
      if (params.typicalXcase) xmean[i] += sigma * rgD[i] * rand.gauss();
    }

    if (params.resumefile != "") resumeDistribution(params.resumefile);
    return publicFitness;
  }

  // Draws lambda new candidates around the mean. The first generation (and every one while
  // the diagonal phase lasts) samples along the coordinate axes. Throws std::runtime_error
  // before init.
  const T* const* samplePopulation() {
    if (!xmean) throw std::runtime_error("samplePopulation(): the optimiser is not initialised");
    const int N = params.N;
    const bool diag = isDiagonalPhase();
    if (diag) {
      if (!eigensysIsUptodate) {
        for (int i = 0; i < N; ++i) rgD[i] = C[i][i];
        floorEigenvalues(rgD);
        setEigenvalueExtremes(rgD);
        for (int i = 0; i < N; ++i) rgD[i] = std::sqrt(rgD[i]);
        eigensysIsUptodate = true;
        eigenTimings.start();
      }
    } else if (!eigensysIsUptodate) {
      updateEigensystem(false);
    }

    if (params.rgDiffMinChange) {
      for (int i = 0; i < N; ++i) {
        // A zero deviation cannot be scaled up to the minimum; it would loop for ever.
        while (sigma * std::sqrt(C[i][i]) > T(0) &&
               sigma * std::sqrt(C[i][i]) < params.rgDiffMinChange[i]) {
          sigma *= std::exp(T(0.05) + params.cs / params.damps);
        }
      }
    }

    for (int k = 0; k < params.lambda; ++k) {
      T* x = population[k];
      if (diag) {
        for (int i = 0; i < N; ++i) x[i] = xmean[i] + sigma * rgD[i] * rand.gauss();
      } else {
        for (int i = 0; i < N; ++i) tempRandom[i] = rgD[i] * rand.gauss();
        multiplyB(tempRandom, x);
      }
    }
    if (state == UPDATED || gen == 0) gen += 1;
    state = SAMPLED;
    return population;
  }

  // Takes the lambda fitness values in candidate order and adapts mean, evolution paths,
  // covariance and step size; returns the new mean. Only a freshly sampled population is
  // used: in any other state nothing changes (with logWarnings, a warning line). A NaN
  // fitness ranks behind every number. Throws std::runtime_error for a null array.
  T* updateDistribution(const T* fitnessValues) {
    if (!fitnessValues) throw std::runtime_error("updateDistribution(): no fitness values");
    if (state != SAMPLED) {
      if (params.logWarnings)
        params.logStream << "updateDistribution(): unexpected state" << std::endl;
      return xmean;
    }
    const int N = params.N;
    const int lambda = params.lambda;
    const int mu = params.mu;
    const bool diag = isDiagonalPhase();
    countevals += lambda;

    for (int k = 0; k < lambda; ++k) {
      functionValues[k] = fitnessValues[k];
      population[k][N] = fitnessValues[k];
    }
    sortIndex(fitnessValues, index, lambda);

    if (fitnessValues[index[0]] == fitnessValues[index[lambda / 2]]) {
      sigma *= std::exp(T(0.2) + params.cs / params.damps);
      if (params.logWarnings) {
        params.logStream << "Warning: sigma increased due to equal function values" << std::endl
                         << "   Reconsider the formulation of the objective function";
      }
    }

    const int historyLength = historySize();
    for (int i = historyLength - 1; i > 0; --i) funcValueHistory[i] = funcValueHistory[i - 1];
    funcValueHistory[0] = fitnessValues[index[0]];

    const T* best = population[index[0]];
    // A NaN best-ever value would never compare greater again and freeze the record.
    if (xBestEver[N] > best[N] || gen == 1 || (std::isnan(xBestEver[N]) && !std::isnan(best[N]))) {
      for (int i = 0; i <= N; ++i) xBestEver[i] = best[i];
      xBestEver[N + 1] = countevals;
    }

    const T sqrtmueff = std::sqrt(params.mueff);
    for (int i = 0; i < N; ++i) {
      xold[i] = xmean[i];
      T sum = 0;
      for (int k = 0; k < mu; ++k) sum += params.weights[k] * population[index[k]][i];
      xmean[i] = sum;
      BDz[i] = sqrtmueff * (xmean[i] - xold[i]) / sigma;
    }

    // z = D^-1 B^T BDz, kept in tempRandom.
    if (diag) {
      for (int i = 0; i < N; ++i) tempRandom[i] = BDz[i] / rgD[i];
    } else {
      for (int j = 0; j < N; ++j) {
        T sum = 0;
        for (int i = 0; i < N; ++i) sum += B[i][j] * BDz[i];
        tempRandom[j] = sum / rgD[j];
      }
    }

    const T cs = params.cs;
    const T csFactor = std::sqrt(cs * (2 - cs));
    T psxps = 0;
    for (int i = 0; i < N; ++i) {
      T sum;
      if (diag) {
        sum = tempRandom[i];
      } else {
        sum = 0;
        for (int j = 0; j < N; ++j) sum += B[i][j] * tempRandom[j];
      }
      ps[i] = (1 - cs) * ps[i] + csFactor * sum;
      psxps += ps[i] * ps[i];
    }

    const T hsig =
        std::sqrt(psxps) / std::sqrt(1 - std::pow(1 - cs, 2 * gen)) / chiN < T(1.4) + T(2) / (N + 1)
            ? T(1)
            : T(0);
    const T ccumcov = params.ccumcov;
    const T ccFactor = std::sqrt(ccumcov * (2 - ccumcov));
    for (int i = 0; i < N; ++i) pc[i] = (1 - ccumcov) * pc[i] + hsig * ccFactor * BDz[i];

    adaptC2(hsig, diag);

    sigma *= std::exp((std::sqrt(psxps) / chiN - 1) * cs / params.damps);
    state = UPDATED;
    return xmean;
  }

  // Decomposes C into B and rgD when it is due (see the Parameters' updateCmode) or forced.
  void updateEigensystem(bool force) {
    if (!xmean) return;  // nothing to decompose before init
    eigenTimings.update();
    if (!force) {
      if (eigensysIsUptodate) return;
      if (genOfEigensysUpdate + params.updateCmode.modulo > gen) return;
      if (params.updateCmode.maxtime < 1.0 &&
          eigenTimings.tictoctime > params.updateCmode.maxtime * eigenTimings.totaltime &&
          eigenTimings.tictoctime > 0.0002) {
        return;
      }
    }
    eigenTimings.tic();
    eigen(rgD, B, tempRandom);
    eigenTimings.toc();

    if (doCheckEigen) checkEigen(rgD, B);
    floorEigenvalues(rgD);
    setEigenvalueExtremes(rgD);
    for (int i = 0; i < params.N; ++i) rgD[i] = std::sqrt(rgD[i]);
    eigensysIsUptodate = true;
    genOfEigensysUpdate = gen;
  }

  // Householder reduction of the symmetric N x N matrix in V to tridiagonal form (EISPACK
  // tred2): diagonal into d, sub-diagonal into e[1..N-1], the orthogonal transformation into V.
  void householder(T** V, T* d, T* e);

  // Counts the entries where Q diag(diag) Q^T differs from C or Q^T Q from the identity;
  // with logWarnings each one is reported.
  int checkEigen(T* diag, T** Q);

  // State output and resume (CMAESStateOutput.h).
  void writeToStream(int key, std::ostream& out);
  void writeToFile(int key, const std::string& name);
  void resumeDistribution(const std::string& name);

 private:
  static T* newArray(int n) { return new T[n](); }

  // n zero values behind a hidden element holding length.
  static T* newHiddenVector(int n, int length) {
    T* p = new T[n + 1]();
    p[0] = static_cast<T>(length);
    return p + 1;
  }

  static void deleteHiddenVector(T*& p) {
    if (p) delete[](p - 1);
    p = nullptr;
  }

  static void deleteArray(T*& p) {
    delete[] p;
    p = nullptr;
  }

  int historySize() const {
    return 10 + static_cast<int>(std::ceil(T(30) * params.N / params.lambda));
  }

  bool isDiagonalPhase() const { return params.diagonalCov == 1 || params.diagonalCov >= gen; }

  // A run needs completed settings: a silent mismatch of sizes would read past the arrays.
  static void checkParameters(const Parameters<T>& p) {
    if (p.N <= 0 || !p.xstart || !p.rgInitialStds || !p.weights || p.lambda < 2 || p.mu < 1 ||
        p.mu > p.lambda) {
      throw std::runtime_error(
          "init(): incomplete parameters (Parameters::init must run before CMAES::init)");
    }
  }

  // Frees the current run's arrays; sizes are those of the current params.
  void release() {
    const int N = params.N;
    const int lambda = params.lambda;
    deleteArray(pc);
    deleteArray(ps);
    deleteArray(BDz);
    deleteArray(rgD);
    deleteArray(tempRandom);
    deleteArray(publicFitness);
    deleteHiddenVector(xmean);
    deleteHiddenVector(xold);
    deleteHiddenVector(output);
    deleteHiddenVector(xBestEver);
    deleteHiddenVector(functionValues);
    deleteHiddenVector(funcValueHistory);
    if (C) {
      for (int i = 0; i < N; ++i) delete[] C[i];
      delete[] C;
      C = nullptr;
    }
    if (B) {
      for (int i = 0; i < N; ++i) delete[] B[i];
      delete[] B;
      B = nullptr;
    }
    if (population) {
      for (int k = 0; k < lambda; ++k) deleteHiddenVector(population[k]);
      delete[] population;
      population = nullptr;
    }
    delete[] index;
    index = nullptr;
  }

  void updateDiagonalExtremes() {
    maxdiagC = mindiagC = C[0][0];
    for (int i = 1; i < params.N; ++i) {
      maxdiagC = std::max(maxdiagC, C[i][i]);
      mindiagC = std::min(mindiagC, C[i][i]);
    }
  }

  void setEigenvalueExtremes(const T* ev) {
    minEW = *std::min_element(ev, ev + params.N);
    maxEW = *std::max_element(ev, ev + params.N);
  }

  // Rounding can leave a covariance with tiny negative eigenvalues; their square roots would
  // make every later candidate NaN. No eigenvalue stays below the largest one divided by the
  // largest significant condition number (nor below the smallest normal number).
  void floorEigenvalues(T* ev) const {
    const T largest = *std::max_element(ev, ev + params.N);
    T floor = largest > T(0) ? largest / dMaxSignifKond : T(0);
    if (!(floor >= std::numeric_limits<T>::min())) floor = std::numeric_limits<T>::min();
    for (int i = 0; i < params.N; ++i) {
      if (!(ev[i] >= floor)) ev[i] = floor;
    }
  }

  // Insertion sort by fitness, ascending; among equal values the later candidate first. NaN
  // counts as worse than any number, so a failed evaluation never leads the ranking.
  static void sortIndex(const T* f, int* idx, int n) {
    for (int i = 0; i < n; ++i) {
      int j = i;
      for (; j > 0; --j) {
        if (ranksBefore(f[idx[j - 1]], f[i])) break;
        idx[j] = idx[j - 1];
      }
      idx[j] = i;
    }
  }

  static bool ranksBefore(T a, T b) { return a < b || (std::isnan(b) && !std::isnan(a)); }

  // Rank-one (evolution path) plus rank-mu (selected steps) update of C.
  void adaptC2(T hsig, bool diag) {
    if (params.ccov == 0) return;
    const int N = params.N;
    const int mu = params.mu;
    const T mucov = params.mucov;
    const T ccumcov = params.ccumcov;
    const T factor = diag ? (N + T(1.5)) / 3 : T(1);
    const T ccov1 = std::min(params.ccov * factor / mucov, T(1));
    const T ccovmu = std::min(params.ccov * factor * (1 - 1 / mucov), 1 - ccov1);
    const T sigmasquare = sigma * sigma;
    const T pathCorrection = (1 - hsig) * ccumcov * (2 - ccumcov);
    eigensysIsUptodate = false;
    for (int i = 0; i < N; ++i) {
      for (int j = diag ? i : 0; j <= i; ++j) {
        T& cij = C[i][j];
        cij = (1 - ccov1 - ccovmu) * cij + ccov1 * (pc[i] * pc[j] + pathCorrection * cij);
      }
    }
    // Parent by parent, so that every entry still receives its terms in rank order.
    deviation_.resize(N);
    T* dev = deviation_.data();
    for (int k = 0; k < mu; ++k) {
      const T* x = population[index[k]];
      for (int i = 0; i < N; ++i) dev[i] = x[i] - xold[i];
      const T wk = ccovmu * params.weights[k];
      for (int i = 0; i < N; ++i) {
        const T a = wk * dev[i];
        const int first = diag ? i : 0;
        addScaledSquare(C[i] + first, a, dev + first, sigmasquare, i + 1 - first);
      }
    }
    updateDiagonalExtremes();
  }

  // Eigen-decomposition (CMAESEigensystem.h): eigenvalues of C into diag (unsorted),
  // eigenvectors as columns into Q; tred2 and tql2 work on eigenWork_.
  void eigen(T* diag, T** Q, T* work);
  void tred2(T* d, T* e);
  void tql2(T* d, T* e);
  // eigenWork_ holds the matrix V of the EISPACK routines transposed: V[a][b] is
  // column(b)[a], so their loops down the columns of V run along contiguous memory.
  T* column(int b) { return eigenWork_.data() + static_cast<size_t>(b) * params.N; }

  // c += a v / q, in pairs for the compiler to pack.
  static void addScaledSquare(T* __restrict c, T a, const T* __restrict v, T q, int n) {
    int k = 0;
    for (; k + 1 < n; k += 2) {
      const T t0 = a * v[k] / q;
      const T t1 = a * v[k + 1] / q;
      c[k] += t0;
      c[k + 1] += t1;
    }
    if (k < n) c[k] += a * v[k] / q;
  }

  // x = xmean + sigma B z. Eight rows at a time keep eight independent sums, enough to hide
  // the latency of the additions; each row still adds its terms in column order.
  void multiplyB(const T* z, T* x) const {
    const int N = params.N;
    int i = 0;
    for (; i + 7 < N; i += 8) {
      const T* const* b = B + i;
      T s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0, s5 = 0, s6 = 0, s7 = 0;
      for (int j = 0; j < N; ++j) {
        const T zj = z[j];
        s0 += b[0][j] * zj;
        s1 += b[1][j] * zj;
        s2 += b[2][j] * zj;
        s3 += b[3][j] * zj;
        s4 += b[4][j] * zj;
        s5 += b[5][j] * zj;
        s6 += b[6][j] * zj;
        s7 += b[7][j] * zj;
      }
      const T sums[8] = {s0, s1, s2, s3, s4, s5, s6, s7};
      for (int r = 0; r < 8; ++r) x[i + r] = xmean[i + r] + sigma * sums[r];
    }
    for (; i < N; ++i) {
      const T* row = B[i];
      T sum = 0;
      for (int j = 0; j < N; ++j) sum += row[j] * z[j];
      x[i] = xmean[i] + sigma * sum;
    }
  }

  std::vector<T> eigenWork_;  // N x N, the decomposition's matrix, transposed
  std::vector<T> deviation_;  // N, one parent's step in adaptC2
};

}  // namespace zamp

#include "learning/CMAESEigensystem.h"
#include "learning/CMAESStateOutput.h"
