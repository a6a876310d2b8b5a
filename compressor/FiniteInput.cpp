#include "compressor/FiniteInput.h"

namespace kestrom {

bool AllFinite(const double* x, int frames) {
    // The flags are OR-ed together, so bit 63 of the total is set when any
    // sample is non-finite. The fixed-length inner loop over independent
    // accumulators is what g++'s vectoriser takes at -O2 (no remainder to
    // handle inside it); the last frames % kLanes samples go one by one.
    constexpr int kLanes = 4;
    std::uint64_t lanes[kLanes] = {};
    int i = 0;
    for (; i + kLanes <= frames; i += kLanes)
        for (int j = 0; j < kLanes; ++j) lanes[j] |= NonFiniteFlag(x[i + j]);
    std::uint64_t any = 0;
    for (int j = 0; j < kLanes; ++j) any |= lanes[j];
    for (; i < frames; ++i) any |= NonFiniteFlag(x[i]);
    return (any >> 63) == 0;
}

int CopyReplacingNonFinite(const double* src, double* dst, int frames) {
    int replaced = 0;
    for (int i = 0; i < frames; ++i) {
        const double x = src[i];
        const bool bad = IsNonFinite(x);
        replaced += bad ? 1 : 0;
        dst[i] = bad ? 0.0 : x;
    }
    return replaced;
}

}  // namespace kestrom
