// Screening of input samples for infinities and NaNs: the bit test, the
// block scan (every position, in the vectorised body and in the tail) and
// the repairing copy.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "compressor/FiniteInput.h"

namespace kestrom {
namespace {

double FromBits(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

using Limits = std::numeric_limits<double>;

// Every exponent-all-ones pattern: both infinities, quiet and signalling
// NaNs of either sign, with small and full payloads.
const double kNonFinite[] = {Limits::infinity(),           -Limits::infinity(),
                             Limits::quiet_NaN(),          -Limits::quiet_NaN(),
                             FromBits(0x7ff0000000000001), FromBits(0xfff0000000000001),
                             FromBits(0x7fffffffffffffff), FromBits(0xffffffffffffffff)};

// The finite values nearest to them and the other edges of the range.
const double kFinite[] = {0.0,         -0.0,          Limits::denorm_min(), -Limits::denorm_min(),
                          Limits::min(), Limits::max(), -Limits::max(),      FromBits(0x7fefffffffffffff),
                          1.0,         -0.5,          1e300,                 -1e-300};

TEST(FiniteInput, OnlyAnExponentOfAllOnesIsNonFinite) {
    for (double x : kNonFinite) EXPECT_TRUE(IsNonFinite(x)) << x;
    for (double x : kFinite) EXPECT_FALSE(IsNonFinite(x)) << x;
}

// Lengths around the scan's four-sample groups, a bad value at every
// position: each must be found, whether in a full group or in the tail.
TEST(FiniteInput, ScanFindsABadSampleAtEveryPositionOfEveryLength) {
    for (int frames = 0; frames <= 19; ++frames) {
        std::vector<double> x(static_cast<std::size_t>(frames));
        for (int i = 0; i < frames; ++i) x[i] = kFinite[i % (sizeof kFinite / sizeof kFinite[0])];
        EXPECT_TRUE(AllFinite(x.data(), frames)) << frames;
        int k = 0;
        for (int at = 0; at < frames; ++at) {
            const double keep = x[at];
            x[at] = kNonFinite[k++ % (sizeof kNonFinite / sizeof kNonFinite[0])];
            EXPECT_FALSE(AllFinite(x.data(), frames)) << frames << " frames, bad at " << at;
            x[at] = keep;
        }
    }
}

TEST(FiniteInput, ScanLooksOnlyAtTheFramesItIsGiven) {
    const double x[] = {1.0, 2.0, 3.0, Limits::quiet_NaN(), 4.0};
    EXPECT_TRUE(AllFinite(x, 3));
    EXPECT_TRUE(AllFinite(x + 4, 1));
    EXPECT_TRUE(AllFinite(nullptr, 0));
    EXPECT_FALSE(AllFinite(x, 4));
}

TEST(FiniteInput, CopyReplacesBadSamplesByPositiveZeroAndCountsThem) {
    std::vector<double> src;
    for (double x : kFinite) src.push_back(x);
    for (double x : kNonFinite) src.insert(src.begin() + static_cast<std::ptrdiff_t>(src.size() / 2), x);
    const int frames = static_cast<int>(src.size());
    std::vector<double> dst(src.size(), 7.0);
    EXPECT_EQ(CopyReplacingNonFinite(src.data(), dst.data(), frames), 8);
    for (std::size_t i = 0; i < src.size(); ++i) {
        EXPECT_TRUE(SameBits(dst[i], IsNonFinite(src[i]) ? 0.0 : src[i])) << i;
    }
    // In place, and a second pass finds nothing left to replace.
    EXPECT_EQ(CopyReplacingNonFinite(src.data(), src.data(), frames), 8);
    for (std::size_t i = 0; i < src.size(); ++i) EXPECT_TRUE(SameBits(src[i], dst[i])) << i;
    EXPECT_EQ(CopyReplacingNonFinite(src.data(), src.data(), frames), 0);
    EXPECT_TRUE(AllFinite(src.data(), frames));
}

}  // namespace
}  // namespace kestrom
