#pragma once

#include <cstdint>
#include <cstring>

namespace kestrom {

// Rational approximation of 2^p, about 1e-5 relative error. The integer and
// fractional parts are separated in single precision, the correction term is
// evaluated in double precision, and the sum, scaled by 2^23, is read as the
// bits of a single-precision float (the integer part lands in the exponent
// field, the correction in the mantissa). Inputs below -126 are clamped to
// the smallest normal exponent.
//
// The exact rounding steps matter: the noise jitter depth is this function
// of -13.287712097167969 (log2 of 1e-4 in single precision) and must come out
// as 9.999776375479996e-05.
inline double FastPow2(float p) {
    const float offset = p < 0.0f ? 1.0f : 0.0f;
    const float clamped = p < -126.0f ? -126.0f : p;
    const std::int32_t whole = static_cast<std::int32_t>(clamped);  // toward zero
    const float fraction = clamped - static_cast<float>(whole) + offset;
    const double fractionD = fraction;
    // 121.274..., 27.728..., 4.842..., 1.490...: the approximation's fitted
    // constants in single precision, widened. 8388608 = 2^23.
    const double scaled = (static_cast<double>(clamped) + 121.27405548095703 +
                           27.728023529052734 / (4.842525482177734 - fractionD) -
                           1.4901291131973267 * fractionD) *
                          8388608.0;
    const std::int32_t bits = static_cast<std::int32_t>(scaled);
    float result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

}  // namespace kestrom
