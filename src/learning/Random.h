// Uniform and Gaussian random numbers for the built-in CMA-ES optimiser (CMAES). The
// optimiser draws every candidate coordinate from here, so a run started from the same seed
// repeats its candidates exactly; that is why the generator is our own and not the standard
// library's, whose distributions differ between implementations.
//
// Uniform numbers come from the minimal standard generator (multiplier 16807, modulus
// 2^31 - 1, Schrage's method) behind a 32-entry shuffle table; Gaussian numbers from the
// polar Box-Muller method, which yields them in pairs.
#pragma once

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace zamp {

template <typename T>
class Random {
 public:
  // Seeded from the clock: |100 * wall-clock seconds + processor clock ticks|.
  Random() {
    start(
        std::labs(100L * static_cast<long>(std::time(nullptr)) + static_cast<long>(std::clock())));
  }

  // Restarts the sequence; a seed below 1 runs the generator from 1.
  void start(long seed) {
    stored = false;
    startseed = seed;
    aktseed = seed < 1 ? 1 : seed;
    // The first eight steps only move away from small seeds; the last 32 fill the table.
    for (int i = 39; i >= 0; --i) {
      step();
      if (i < 32) rgrand[i] = aktseed;
    }
    aktrand = rgrand[0];
  }

  // In (0, 1]; the table entry picked by the previous value is returned and replaced.
  T uniform() {
    step();
    const long i = aktrand / 67108865;
    aktrand = rgrand[i];
    rgrand[i] = aktseed;
    return static_cast<T>(aktrand) / T(2147483647.0);
  }

  // Standard normal. Every second call returns the value held from the previous draw without
  // advancing the generator.
  T gauss() {
    if (stored) {
      stored = false;
      return hold;
    }
    stored = true;
    T x1, x2, r;
    do {
      x1 = T(2) * uniform() - T(1);
      x2 = T(2) * uniform() - T(1);
      r = x1 * x1 + x2 * x2;
    } while (r >= T(1) || r <= T(0));
    const T f = std::sqrt(T(-2) * std::log(r) / r);
    hold = f * x1;
    return f * x2;
  }

  long startseed;   // seed given to start
  long aktseed;     // generator state
  long aktrand;     // last value taken from the table
  long rgrand[32];  // shuffle table
  bool stored;      // hold carries the second value of a Gaussian pair
  T hold;

 private:
  // One step of aktseed = 16807 * aktseed mod (2^31 - 1) without overflow.
  void step() {
    const long t = aktseed / 127773;
    aktseed = 16807 * (aktseed - t * 127773) - 2836 * t;
    if (aktseed < 0) aktseed += 2147483647;
  }
};

}  // namespace zamp
