#pragma once

#include <cmath>

#include "compressor/FlushToZero.h"

namespace kestrom {

// First-order DC blocker: y = 0.999 * y + x - xPrevious (a zero at DC and a
// pole at 0.999, corner about 7 Hz at 44.1 kHz). The output state is flushed.
struct DcBlocker {
    double y = 0.0;
    double xPrevious = 0.0;

    double Process(double x) {
        y = 0.999 * y + x - xPrevious;
        xPrevious = x;
        y = FlushToZero(y);
        return y;
    }

    bool IsFinite() const { return std::isfinite(y) && std::isfinite(xPrevious); }
    void ClearState() { y = 0.0; xPrevious = 0.0; }
};

}  // namespace kestrom
