// The objective of the CMA-ES layer: takes a candidate in the caller's (bounded) space as a
// pointer to `dim` doubles and returns the value to be minimised.
#pragma once

#include <functional>

namespace libcmaes {

typedef std::function<double(const double*, const int&)> FitFunc;

}  // namespace libcmaes
