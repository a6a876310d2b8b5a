#pragma once

#include "compressor/FasterPow2.h"

namespace kestrom {

// Linear factor of a shelf of `dB` decibels, through the faster power of two:
// 2^(dB * 0.115 * log2(e)), i.e. roughly exp(dB * 0.115), with both products
// rounded to single precision. 0.11500000208616257 is 0.115 in single
// precision (close to, but not, ln(10)/20); 1.4426950216293335 is log2(e) in
// single precision. The shelves use these approximate factors, not exact
// decibel factors: -10 dB gives 0.320899099111557, +10 dB 3.203589677810669.
inline double ShelfGain(double dB) {
    const float scaled = static_cast<float>(dB) * 0.11500000208616257f;
    const float exponent = scaled * 1.4426950216293335f;
    return FasterPow2(exponent);
}

}  // namespace kestrom
