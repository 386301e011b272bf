// Settings of the built-in CMA-ES optimiser (CMAES). The caller sets what it wants to fix
// (population size, step-size bounds, a resume file), then init() fills every other
// strategy parameter from the dimension by the published default formulas; CMAES::init
// copies the result.
//
// The per-coordinate arrays (N values) and the weights (mu values) are owned here: the
// destructor frees them and copying duplicates them. A caller that assigns one of these
// pointers hands the array over. Values are in the units of the optimised coordinates.
#pragma once

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zamp {

template <typename T>
class Parameters {
 public:
  enum Weights {
    UNINITIALIZED_WEIGHTS = 0,
    LINEAR_WEIGHTS = 1,
    EQUAL_WEIGHTS = 2,
    LOG_WEIGHTS = 3
  };

  int N;               // problem dimension
  T* xstart;           // start point, N values
  T* typicalX;         // typical point, N values
  bool typicalXcase;   // the start mean is drawn around xstart
  T* rgInitialStds;    // initial standard deviation per coordinate, N values
  T* rgDiffMinChange;  // smallest coordinate change per coordinate, N values
  T stopMaxFunEvals;   // evaluation budget
  T facmaxeval;        // factor on the budget
  T stopMaxIter;       // generation budget
  struct {
    bool flg;
    T val;
  } stStopFitness;  // target fitness
  T stopTolFun;
  T stopTolFunHist;
  T stopTolX;
  T stopTolUpXFactor;
  int lambda;     // population size
  int mu;         // number of parents
  T mucov;        // rank-mu weighting of the covariance update
  T mueff;        // variance-effective selection mass
  T* weights;     // recombination weights, mu values
  T damps;        // step-size damping
  T cs;           // cumulation constant of the step-size path
  T ccumcov;      // cumulation constant of the covariance path
  T ccov;         // covariance learning rate
  T diagonalCov;  // generations sampled with a diagonal covariance; 1 means always
  struct {
    T modulo;   // generations between eigen-decompositions
    T maxtime;  // largest share of the CPU time the decompositions may take
  } updateCmode;
  T facupdateCmode;  // factor on updateCmode.modulo
  Weights weightMode;
  std::string resumefile;  // resume block loaded by CMAES::init when not empty
  bool logWarnings;        // warnings go to logStream
  std::ostream& logStream;

  Parameters()
      : N(-1),
        xstart(nullptr),
        typicalX(nullptr),
        typicalXcase(false),
        rgInitialStds(nullptr),
        rgDiffMinChange(nullptr),
        stopMaxFunEvals(-1),
        facmaxeval(1.0),
        stopMaxIter(-1),
        stopTolFun(1e-12),
        stopTolFunHist(1e-13),
        stopTolX(0),
        stopTolUpXFactor(1000.0),
        lambda(-1),
        mu(-1),
        mucov(-1),
        mueff(-1),
        weights(nullptr),
        damps(-1),
        cs(-1),
        ccumcov(-1),
        ccov(-1),
        diagonalCov(0),
        facupdateCmode(1.0),
        weightMode(UNINITIALIZED_WEIGHTS),
        resumefile(""),
        logWarnings(false),
        logStream(std::cerr) {
    stStopFitness.flg = false;
    stStopFitness.val = std::numeric_limits<T>::lowest();
    updateCmode.modulo = -1;
    updateCmode.maxtime = -1;
  }

  Parameters(const Parameters& other)
      : xstart(nullptr),
        typicalX(nullptr),
        rgInitialStds(nullptr),
        rgDiffMinChange(nullptr),
        weights(nullptr),
        logWarnings(other.logWarnings),
        logStream(other.logStream) {
    assign(other);
  }

  // Copies every setting but logWarnings and logStream, which stay those of the target.
  Parameters& operator=(const Parameters& other) {
    if (this != &other) assign(other);
    return *this;
  }

  ~Parameters() { freeArrays(); }

  // Completes the settings for a problem of the given dimension. Start point and deviations
  // already set here win over the arguments. Throws std::runtime_error on a dimension below
  // 1, a missing or non-finite start point, missing, non-positive or non-finite deviations,
  // and (from setWeights) an invalid mu or lambda; the settings are then left as they were
  // up to the failing step.
  void init(int dimension, const T* inxstart, const T* inrgsigma) {
    if (dimension <= 0) {
      throw std::runtime_error("Parameters::init(): the dimension must be positive, not " +
                               std::to_string(dimension));
    }
    const T* start = xstart ? xstart : inxstart;
    const T* stds = rgInitialStds ? rgInitialStds : inrgsigma;
    if (!start) throw std::runtime_error("Parameters::init(): no start point given");
    if (!stds) throw std::runtime_error("Parameters::init(): no initial standard deviations given");
    for (int i = 0; i < dimension; ++i) {
      if (!std::isfinite(start[i])) {
        throw std::runtime_error("Parameters::init(): start point coordinate " + std::to_string(i) +
                                 " is not finite");
      }
      if (!(stds[i] > T(0)) || !std::isfinite(stds[i])) {
        std::ostringstream text;
        text << "Parameters::init(): initial standard deviation " << i << " is " << stds[i]
             << "; it must be positive and finite";
        throw std::runtime_error(text.str());
      }
    }

    N = dimension;
    if (weightMode == UNINITIALIZED_WEIGHTS) weightMode = LOG_WEIGHTS;
    diagonalCov = 0;
    if (!xstart) xstart = copyOf(inxstart, N);
    if (!rgInitialStds) rgInitialStds = copyOf(inrgsigma, N);
    supplementDefaults();
  }

  // Recombination weights for the current mu, normalised to sum 1, and mueff. Throws
  // std::runtime_error when mu < 1, mu > lambda, or mu = lambda with equal first and last
  // weight (no selection); the previous weights then stay.
  void setWeights(Weights mode) {
    if (mu < 1 || mu > lambda) invalidMuOrLambda();
    std::vector<T> w(mu);
    for (int i = 0; i < mu; ++i) {
      if (mode == LINEAR_WEIGHTS) {
        w[i] = static_cast<T>(mu - i);
      } else if (mode == EQUAL_WEIGHTS) {
        w[i] = T(1);
      } else {
        w[i] = std::log(static_cast<T>(mu + 1)) - std::log(static_cast<T>(i + 1));
      }
    }
    if (mu == lambda && w[0] == w[mu - 1]) invalidMuOrLambda();
    T s1 = 0, s2 = 0;
    for (int i = 0; i < mu; ++i) {
      s1 += w[i];
      s2 += w[i] * w[i];
    }
    mueff = s1 * s1 / s2;
    delete[] weights;
    weights = new T[mu];
    for (int i = 0; i < mu; ++i) weights[i] = w[i] / s1;
  }

 private:
  static void invalidMuOrLambda() {
    throw std::runtime_error("setWeights(): invalid setting of mu or lambda");
  }

  static T* copyOf(const T* source, int n) {
    if (!source || n <= 0) return nullptr;
    T* copy = new T[n];
    std::copy(source, source + n, copy);
    return copy;
  }

  void freeArrays() {
    delete[] xstart;
    delete[] typicalX;
    delete[] rgInitialStds;
    delete[] rgDiffMinChange;
    delete[] weights;
    xstart = typicalX = rgInitialStds = rgDiffMinChange = weights = nullptr;
  }

  // Array sizes come from N and mu, so arrays set before N (or mu) is known are not copied.
  void assign(const Parameters& o) {
    freeArrays();
    N = o.N;
    xstart = copyOf(o.xstart, N);
    typicalX = copyOf(o.typicalX, N);
    typicalXcase = o.typicalXcase;
    rgInitialStds = copyOf(o.rgInitialStds, N);
    rgDiffMinChange = copyOf(o.rgDiffMinChange, N);
    stopMaxFunEvals = o.stopMaxFunEvals;
    facmaxeval = o.facmaxeval;
    stopMaxIter = o.stopMaxIter;
    stStopFitness.flg = o.stStopFitness.flg;
    stStopFitness.val = o.stStopFitness.val;
    stopTolFun = o.stopTolFun;
    stopTolFunHist = o.stopTolFunHist;
    stopTolX = o.stopTolX;
    stopTolUpXFactor = o.stopTolUpXFactor;
    lambda = o.lambda;
    mu = o.mu;
    mucov = o.mucov;
    mueff = o.mueff;
    weights = copyOf(o.weights, mu);
    damps = o.damps;
    cs = o.cs;
    ccumcov = o.ccumcov;
    ccov = o.ccov;
    diagonalCov = o.diagonalCov;
    updateCmode.modulo = o.updateCmode.modulo;
    updateCmode.maxtime = o.updateCmode.maxtime;
    facupdateCmode = o.facupdateCmode;
    weightMode = o.weightMode;
    resumefile = o.resumefile;
  }

  // The published defaults; each applies only where the caller left the value unset.
  void supplementDefaults() {
    const T n = static_cast<T>(N);
    if (lambda < 2) lambda = 4 + static_cast<int>(3 * std::log(n));
    if (mu < 1) mu = lambda / 2;
    if (!weights) setWeights(weightMode);

    const T csDefault = (mueff + 2) / (n + mueff + 3);
    if (cs > 0) cs *= csDefault;
    if (cs <= 0 || cs >= 1) cs = csDefault;

    if (ccumcov <= 0 || ccumcov > 1) ccumcov = 4 / (n + 4);

    if (mucov < 1) mucov = mueff;

    const T t1 = 2 / ((n + T(1.4142)) * (n + T(1.4142)));
    const T t2 = (2 * mueff - 1) / ((n + 2) * (n + 2) + mueff);
    const T ccovDefault = t1 / mucov + (1 - 1 / mucov) * std::min(T(1), t2);
    if (ccov >= 0) ccov *= ccovDefault;
    if (ccov < 0 || ccov > 1) ccov = ccovDefault;

    if (diagonalCov < 0) diagonalCov = 2 + 100 * n / std::sqrt(static_cast<T>(lambda));

    if (stopMaxFunEvals <= 0) stopMaxFunEvals = 900 * (n + 3) * (n + 3);
    stopMaxFunEvals *= facmaxeval;

    if (stopMaxIter <= 0) stopMaxIter = std::ceil(stopMaxFunEvals / lambda);

    if (damps < 0) damps = 1;
    damps =
        damps * (1 + 2 * std::max(T(0), std::sqrt((mueff - 1) / (n + 1)) - 1)) *
            std::max(T(0.3), 1 - n / (T(1e-6) + std::min(stopMaxIter, stopMaxFunEvals / lambda))) +
        cs;

    if (updateCmode.modulo < 0) updateCmode.modulo = 1 / ccov / n / 10;
    updateCmode.modulo *= facupdateCmode;
    if (updateCmode.maxtime < 0) updateCmode.maxtime = 0.2;
  }
};

}  // namespace zamp
