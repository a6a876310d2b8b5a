#pragma once

#include <cstdint>
#include <cstring>

namespace kestrom {

// Replaces a double whose eleven exponent bits are all zero (a zero of either
// sign or a subnormal) by +0.0 and passes every other value through unchanged.
// Recursive states go through this after each update so that decaying tails
// never fall into the slow subnormal range. Only the exponent bits are looked
// at, so -0.0 becomes +0.0 as well.
inline double FlushToZero(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    constexpr std::uint64_t kExponentMask = 0x7ff0000000000000ULL;
    return (bits & kExponentMask) == 0 ? 0.0 : x;
}

}  // namespace kestrom
