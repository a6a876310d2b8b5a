#pragma once

#include <cmath>

namespace kestrom {

// Coefficient of a one-pole smoother that leaves 1/e of a step after `ms`
// milliseconds at `rate` Hz: exp(-1 / (ms * rate / 1000)).
// A time of 0 divides by zero on purpose: -1/0 is -inf and exp(-inf) is 0,
// an instantaneous smoother (IEEE arithmetic, no trap).
inline double TimeConstant(double ms, double rate) {
    return std::exp(-1.0 / (ms * rate / 1000.0));
}

}  // namespace kestrom
