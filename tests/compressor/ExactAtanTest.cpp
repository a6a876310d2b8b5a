// ExactAtan against std::atan, bit for bit, over tens of millions of inputs:
// the compressor's arguments densely, every binade of both signs, random bit
// patterns, the edges where the lanes change table entry or range, and the
// values they hand to the maths library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "compressor/ExactAtan.h"
#include "LibmComparison.h"

namespace kestrom {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kCount = 1 << 18;  // the sanitizer build checks fewer
#else
constexpr std::size_t kCount = 1 << 22;  // about 4 million per set
#endif

// Count of inputs where the array form at any of the widths differs from
// libm in any bit; prints the first few.
std::size_t Mismatches(const std::vector<double>& x, std::initializer_list<int> widths = {8, 4}) {
    std::size_t bad = 0;
    std::vector<double> y(x.size());
    for (int width : widths) {
        ExactAtan::AtanArray(x.data(), y.data(), x.size(), width);
        bad += LibmMismatches(x, y, [](double v) { return std::atan(v); }, std::to_string(width) + "-lane atan");
    }
    return bad;
}

template <class Make>
std::vector<double> Inputs(Make make, std::size_t count = kCount) {
    return kestrom::Inputs(make, count);
}

TEST(ExactAtan, IsUsableOnGlibcWithFma) {
#if KESTROM_EXACT_EXP_LOG
    if (std::getenv("GLIBC_TUNABLES") == nullptr && __builtin_cpu_supports("fma") &&
        __builtin_cpu_supports("avx2")) {
        EXPECT_TRUE(ExactAtan::Usable()) << "the self-check failed on a CPU where libm takes its FMA path";
    }
#else
    EXPECT_FALSE(ExactAtan::Usable());
#endif
}

TEST(ExactAtan, EveryWidthMatchesLibmOverTheCompressorsArguments) {
    // 0 .. 20 on an even grid and at random, and tenths of overshoots in dB
    // (the form the compressor computes them in), at every width.
    std::vector<double> grid(2 * kCount);
    for (std::size_t i = 0; i < grid.size(); ++i) grid[i] = 20.0 * static_cast<double>(i + 1) / grid.size();
    const std::vector<double> random =
        Inputs([](std::mt19937_64& r) { return std::uniform_real_distribution<double>(0.0, 20.0)(r); });
    const std::vector<double> tenths =
        Inputs([](std::mt19937_64& r) { return std::uniform_real_distribution<double>(0.0, 200.0)(r) * 0.1; });
    EXPECT_EQ(Mismatches(grid, {8, 4, 2}), 0u);
    EXPECT_EQ(Mismatches(random, {8, 4, 2}), 0u);
    EXPECT_EQ(Mismatches(tenths, {8, 4, 2}), 0u);
}

TEST(ExactAtan, MatchesLibmInEveryBinadeAndOnRandomBitPatterns) {
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) {
                  const double m = std::uniform_real_distribution<double>(1.0, 2.0)(r);
                  return std::ldexp(r() & 1 ? -m : m, static_cast<int>(r() % 90) - 30);
              }, 2 * kCount)), 0u);
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) { return FromBits(r()); })), 0u);
    // Where libm's own error is largest against its result, so the margin
    // matters most: arguments just above 1/16.
    EXPECT_EQ(Mismatches(Inputs(
                  [](std::mt19937_64& r) { return std::uniform_real_distribution<double>(0.0625, 0.13)(r); })),
              0u);
}

TEST(ExactAtan, EdgesOfTableEntriesAndRangesMatchLibm) {
    // Around every point where the lanes or libm change table entry (k/64 and
    // k/256 and their reciprocals, the half-way points between them) or range
    // (2^-24, 1/16, 1, 16, 2^50), a few ulps either side, both signs.
    std::vector<double> x;
    std::vector<double> centres = {0x1p-24, 0x1.bb67ap-27, 0.0625, 1.0, 16.0, 0x1p50, 0x1.49ff2p52};
    for (int j = 1; j <= 512; ++j) {
        centres.push_back(j / 512.0);
        centres.push_back(512.0 / j);
    }
    for (double c : centres)
        for (int step = -4; step <= 4; ++step) {
            const std::int64_t bits = [&] { std::int64_t b; std::memcpy(&b, &c, sizeof b); return b; }() + step;
            const double v = FromBits(static_cast<std::uint64_t>(bits));
            x.push_back(v);
            x.push_back(-v);
        }
    EXPECT_EQ(Mismatches(x, {8, 4, 2}), 0u);
}

TEST(ExactAtan, SpecialValuesGoToTheMathsLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> specials = {0.0,     -0.0,    inf,    -inf,   nan,   -nan,  5e-324, -5e-324,
                                          2.2e-308, 1e-300, 1e-20,  -1e-20, 1e20,  -1e20, 1e300,  -1.7e308};
    EXPECT_EQ(Mismatches(specials, {8, 4, 2}), 0u);
    // Counts that leave a remainder: the last values go through narrower
    // lanes, the very last through a lane on its own.
    EXPECT_EQ(Mismatches({0.5, 3.0, inf, 1e-30, 7.0, -2.0, 0.1, nan, 1e-10, 40.0, -0.3}, {8, 4, 2}), 0u);
}

}  // namespace
}  // namespace kestrom
