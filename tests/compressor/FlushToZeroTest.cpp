#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "compressor/FlushToZero.h"

namespace kestrom {
namespace {

bool IsPositiveZero(double x) {
    const double zero = 0.0;
    return std::memcmp(&x, &zero, sizeof x) == 0;
}

TEST(FlushToZero, ZerosAndSubnormalsOfEitherSignBecomePositiveZero) {
    const double dmin = std::numeric_limits<double>::denorm_min();
    const double subnormalMax = std::numeric_limits<double>::min() - dmin;
    for (double x : {0.0, -0.0, dmin, -dmin, subnormalMax, -subnormalMax}) {
        EXPECT_TRUE(IsPositiveZero(FlushToZero(x))) << x;
    }
}

TEST(FlushToZero, NormalAndNonFiniteValuesPassUnchanged) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {std::numeric_limits<double>::min(), -std::numeric_limits<double>::min(), 1e-300,
                     -0.5, 1.0, 1e300, inf, -inf}) {
        EXPECT_EQ(FlushToZero(x), x);
    }
    EXPECT_TRUE(std::isnan(FlushToZero(std::nan(""))));
}

}  // namespace
}  // namespace kestrom
