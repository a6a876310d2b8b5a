// The two power-of-two approximations and the shelf gain built on them.
#include <gtest/gtest.h>

#include <cmath>

#include "compressor/FastPow2.h"
#include "compressor/FasterPow2.h"
#include "compressor/ShelfGain.h"

namespace kestrom {
namespace {

TEST(FastPow2, ReproducesTheJitterDepthExactly) {
    EXPECT_EQ(FastPow2(-13.287712097167969f), 9.999776375479996e-05);
}

TEST(FastPow2, StaysWithinATenThousandthOfTheTruePower) {
    for (float p = -30.0f; p <= 30.0f; p += 0.37f) {
        const double exact = std::exp2(static_cast<double>(p));
        EXPECT_NEAR(FastPow2(p) / exact, 1.0, 1e-4) << "p = " << p;
    }
}

TEST(FasterPow2, IsWithinAFewPercentAndExactNowhereInParticular) {
    for (float k = -20.0f; k <= 20.0f; k += 0.25f) {
        const double exact = std::exp2(static_cast<double>(k));
        EXPECT_NEAR(FasterPow2(k) / exact, 1.0, 0.07) << "k = " << k;
    }
}

TEST(PowerOfTwo, InputsBelowTheNormalRangeClampInsteadOfWrapping) {
    EXPECT_EQ(FastPow2(-500.0f), FastPow2(-126.0f));
    EXPECT_EQ(FasterPow2(-500.0f), FasterPow2(-126.0f));
    EXPECT_GT(FastPow2(-500.0f), 0.0);
    EXPECT_GT(FasterPow2(-500.0f), 0.0);
}

TEST(ShelfGain, GivesTheFiltersApproximateDecibelFactors) {
    EXPECT_EQ(ShelfGain(-10.0) - 1.0, -0.679100900888443);
    EXPECT_EQ(ShelfGain(10.0) - 1.0, 2.203589677810669);
    // Near, but deliberately not equal to, the exact factors 10^(+-10/20).
    EXPECT_NEAR(ShelfGain(-10.0), 0.316, 0.01);
    EXPECT_NEAR(ShelfGain(10.0), 3.162, 0.05);
}

}  // namespace
}  // namespace kestrom
