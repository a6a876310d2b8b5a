#include "compressor/DynamicsSettings.h"

#include "compressor/FastPow2.h"

namespace kestrom {

namespace {
// log2(1e-4) in single precision: the jitter is a gain wobble of +-1e-4
// (-80 dB), taken through the fast power of two as 9.999776375479996e-05.
constexpr float kJitterLog2 = -13.287712097167969f;
}  // namespace

DynamicsSettings DynamicsSettings::Select(double n, bool negative, bool relaxed) {
    DynamicsSettings s;
    s.thresholdDb = 10.0 * n - 45.0;
    s.ratio = 2.0 * n + 1.0;
    s.attackMs = 0.0;
    s.releaseBaseMs = 322.0 - 300.0 * n;
    s.averagingMs = 1.1 - 1.1 * n;
    s.feedbackShare = 0.3;
    s.jitterDepth = FastPow2(kJitterLog2);
    if (negative) {
        s.thresholdDb = 10.0 * n - 32.0;
        s.ratio = 6.9 * n - 12.0;
        s.averagingMs = 0.0;
        s.feedbackShare = 0.0;
    }
    if (relaxed) {
        s.attackMs = 4.87;
        s.releaseBaseMs = 296.0;
        s.averagingMs = 8.0;
        s.feedbackShare = 0.0;
        s.jitterDepth = 0.0;
    }
    return s;
}

}  // namespace kestrom
