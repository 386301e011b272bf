#include "platform/ZigguratNormal.h"

#include <cmath>

namespace libcmaes {

namespace {
// Tail start and common layer area of the 128-layer normal ziggurat (Marsaglia and
// Tsang 2000), for the unnormalised density exp(-x^2 / 2).
constexpr double R = 3.442619855899;
constexpr double AREA = 9.91256303526217e-3;

double Uniform(std::mt19937_64& rng) {
  // In (0, 1]: the logarithms below must not see zero.
  return (static_cast<double>(rng() >> 11) + 1.0) * 0x1.0p-53;
}
}  // namespace

ZigguratNormal::ZigguratNormal() {
  _x[0] = AREA / std::exp(-0.5 * R * R);
  _x[1] = R;
  for (int i = 1; i < LAYERS - 1; ++i)
    _x[i + 1] = std::sqrt(-2.0 * std::log(std::exp(-0.5 * _x[i] * _x[i]) + AREA / _x[i]));
  _x[LAYERS] = 0.0;
  for (int i = 0; i <= LAYERS; ++i) _f[i] = std::exp(-0.5 * _x[i] * _x[i]);
}

double ZigguratNormal::rare(std::mt19937_64& rng, int layer, double x) const {
  if (layer == 0) {
    // Beyond r: Marsaglia's exponential rejection for the normal tail.
    for (;;) {
      const double a = -std::log(Uniform(rng)) / R;
      const double b = -std::log(Uniform(rng));
      if (2.0 * b >= a * a) return R + a;
    }
  }
  const double y = _f[layer] + Uniform(rng) * (_f[layer + 1] - _f[layer]);
  return y < std::exp(-0.5 * x * x) ? x : -1.0;
}

}  // namespace libcmaes
