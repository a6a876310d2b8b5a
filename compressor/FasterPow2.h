#pragma once

#include <cstdint>
#include <cstring>

namespace kestrom {

// Linear-mantissa approximation of 2^k (a few percent error): (k + bias) * 2^23
// read as the bits of a single-precision float. 126.94269561767578 is the bias
// 127 minus the fitted correction 0.0573..., in single precision. Inputs below
// -126 are clamped to the smallest normal exponent.
inline double FasterPow2(float k) {
    const float clamped = k < -126.0f ? -126.0f : k;
    const double scaled = (static_cast<double>(clamped) + 126.94269561767578) * 8388608.0;
    const std::int32_t bits = static_cast<std::int32_t>(scaled);
    float result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

}  // namespace kestrom
