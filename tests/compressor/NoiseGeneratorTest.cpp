#include <gtest/gtest.h>

#include <cmath>

#include "compressor/NoiseGenerator.h"

namespace kestrom {
namespace {

TEST(NoiseGenerator, StartsWithTheKnownSequenceFromSeedZero) {
    NoiseGenerator noise;
    const double first = noise.Next();
    EXPECT_EQ(noise.seed, 29573);
    EXPECT_NEAR(first, 1.0 - 2.0 * 29573.0 / 139968.0, 1e-15);
    noise.Next();
    EXPECT_EQ(noise.seed, 50302);
    noise.Next();
    EXPECT_EQ(noise.seed, 75003);
}

TEST(NoiseGenerator, VisitsEverySeedOncePerPeriodWithinMinusOneToOne) {
    NoiseGenerator noise;
    double lowest = 1.0, highest = -1.0, sum = 0.0;
    long steps = 0;
    do {
        const double u = noise.Next();
        lowest = std::fmin(lowest, u);
        highest = std::fmax(highest, u);
        sum += u;
        ++steps;
        ASSERT_GE(noise.seed, 0);
        ASSERT_LT(noise.seed, NoiseGenerator::kModulus);
    } while (noise.seed != 0 && steps <= NoiseGenerator::kModulus);
    EXPECT_EQ(steps, NoiseGenerator::kModulus);
    EXPECT_GT(lowest, -1.0);
    EXPECT_EQ(highest, 1.0);  // seed 0 maps to exactly 1
    EXPECT_NEAR(sum / static_cast<double>(steps), 0.0, 1e-4);
}

}  // namespace
}  // namespace kestrom
