#pragma once

#include <cstdint>
#include <cstring>

namespace kestrom {

// Screening of input samples for infinities and NaNs, which would poison
// every recursive state they reach. A double is non-finite exactly when its
// eleven exponent bits are all ones. Only those bits are looked at, in
// integer arithmetic, so the screening raises no floating-point exception
// (an ordered comparison with a NaN would raise invalid-operation, which a
// host may have unmasked).

// Bit 63 of the result is set exactly when x is infinite or NaN; the other
// bits mean nothing. With e = the exponent field in place (bits & 0x7ff << 52),
// e + (1 << 52) reaches 1 << 63 only for e = 0x7ff << 52; every finite e
// gives at most 0x7ff << 52 < 1 << 63. No carry can leave bit 63.
inline std::uint64_t NonFiniteFlag(double x) {
    constexpr std::uint64_t kExponentBits = 0x7ff0000000000000ULL;
    constexpr std::uint64_t kExponentUnit = 0x0010000000000000ULL;
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return (bits & kExponentBits) + kExponentUnit;
}

inline bool IsNonFinite(double x) { return (NonFiniteFlag(x) >> 63) != 0; }

// Whether flag(x[i]) has bit 63 set for any i in [0, frames): the flags are
// OR-ed together in independent accumulators, a fixed-length inner loop
// that g++'s vectoriser takes at -O2 (no remainder to handle inside it);
// the last frames % 4 samples go one by one. No early exit, no
// data-dependent branch.
template <class Flag>
inline bool AnyFlagged(const double* x, int frames, Flag flag) {
    constexpr int kLanes = 4;
    std::uint64_t lanes[kLanes] = {};
    int i = 0;
    for (; i + kLanes <= frames; i += kLanes)
        for (int j = 0; j < kLanes; ++j) lanes[j] |= flag(x[i + j]);
    std::uint64_t any = 0;
    for (int j = 0; j < kLanes; ++j) any |= lanes[j];
    for (; i < frames; ++i) any |= flag(x[i]);
    return (any >> 63) != 0;
}

// True when none of x[0 .. frames) is infinite or NaN. Looks at every sample
// without a data-dependent branch, two at a time in SSE2 registers on x86-64
// (a fraction of a nanosecond per sample).
bool AllFinite(const double* x, int frames);

// Copies src[0 .. frames) to dst, each infinite or NaN sample replaced by
// +0.0 and every other one unchanged to the bit; returns how many were
// replaced. src and dst may be the same buffer.
int CopyReplacingNonFinite(const double* src, double* dst, int frames);

}  // namespace kestrom
