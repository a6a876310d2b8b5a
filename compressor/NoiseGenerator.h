#pragma once

#include <cstdint>

#include "compressor/FlushToZero.h"

namespace kestrom {

// Linear congruential noise: seed = (seed * 3877 + 29573) mod 139968, mapped to
// u = 1 - seed * 2 / 139968 in (-1, 1]. The seed stays in 0 .. 139967, so the
// product stays below 2^31 and 32-bit signed arithmetic never overflows. The
// sequence from seed 0 has the full period 139968.
struct NoiseGenerator {
    static constexpr std::int32_t kModulus = 139968;
    static constexpr std::int32_t kMultiplier = 3877;
    static constexpr std::int32_t kIncrement = 29573;

    std::int32_t seed = 0;

    double Next() {
        seed = (seed * kMultiplier + kIncrement) % kModulus;
        // 7.144490169181527e-6 = 1/139968
        const double u = 1.0 - static_cast<double>(seed) * 2.0 * 7.144490169181527e-6;
        return FlushToZero(u);
    }
};

}  // namespace kestrom
