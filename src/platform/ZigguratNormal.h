// Standard normal numbers for the CMA-ES layer's sampling by the ziggurat method of
// Marsaglia and Tsang (2000), 128 layers, driven by a std::mt19937_64. About five times
// cheaper than std::normal_distribution, which matters because a generation draws
// dim x lambda numbers (12,000 for the long-kick search). Each 64-bit draw supplies the
// layer (low 7 bits), the sign (bit 7) and a 53-bit uniform (top bits) independently.
#pragma once

#include <cstdint>
#include <random>

namespace libcmaes {

class ZigguratNormal {
 public:
  ZigguratNormal();

  double operator()(std::mt19937_64& rng) const {
    for (;;) {
      const std::uint64_t u = rng();
      const int layer = static_cast<int>(u & 127u);
      const bool negative = (u & 128u) != 0;
      const double x = static_cast<double>(u >> 11) * 0x1.0p-53 * _x[layer];
      // Inside the part of the layer that lies wholly under the curve: by far the usual case.
      if (x < _x[layer + 1]) return negative ? -x : x;
      const double y = rare(rng, layer, x);
      if (y >= 0.0) return negative ? -y : y;
    }
  }

 private:
  // The base layer's tail or a layer's wedge; a negative result means rejected.
  double rare(std::mt19937_64& rng, int layer, double x) const;

  static constexpr int LAYERS = 128;
  // Right edges of the layers (x[0] is the base layer's virtual width, x[1] the tail
  // start r, x[LAYERS] = 0) and the density exp(-x^2/2) at those edges.
  double _x[LAYERS + 1];
  double _f[LAYERS + 1];
};

}  // namespace libcmaes
