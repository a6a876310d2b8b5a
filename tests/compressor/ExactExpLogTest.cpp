// ExactExpLog against std::exp and std::log, bit for bit, four and two lanes
// wide, over millions of inputs: the ranges the compressor uses densely, every binade, random bit
// patterns, and the special values its lanes hand to the maths library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "compressor/ExactExpLog.h"
#include "LibmComparison.h"

namespace kestrom {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kCount = 1 << 19;  // the sanitizer build checks fewer
#else
constexpr std::size_t kCount = 1 << 22;  // about 4 million per range
#endif

// Count of inputs where the array form, eight, four and two lanes wide,
// differs from libm in any bit; prints the first few.
std::size_t Mismatches(const std::vector<double>& x, bool exp) {
    std::size_t bad = 0;
    std::vector<double> y(x.size());
    for (int width : {8, 4, 2}) {
        if (exp)
            ExactExpLog::ExpArray(x.data(), y.data(), x.size(), width);
        else
            ExactExpLog::LogArray(x.data(), y.data(), x.size(), width);
        const std::string what = std::string(exp ? "exp" : "log") + " in " + std::to_string(width) + " lanes";
        bad += exp ? LibmMismatches(x, y, [](double v) { return std::exp(v); }, what)
                   : LibmMismatches(x, y, [](double v) { return std::log(v); }, what);
    }
    return bad;
}

template <class Make>
std::vector<double> Inputs(Make make) {
    return kestrom::Inputs(make, kCount);
}

TEST(ExactExpLog, IsUsableOnGlibcWithFma) {
#if KESTROM_EXACT_EXP_LOG
    // GLIBC_TUNABLES can steer libm away from its FMA variants; the
    // self-check then rightly declines.
    if (std::getenv("GLIBC_TUNABLES") == nullptr && __builtin_cpu_supports("fma") &&
        __builtin_cpu_supports("avx2")) {
        EXPECT_TRUE(ExactExpLog::Usable()) << "the self-check failed on a CPU where libm takes its FMA path";
    }
#else
    EXPECT_FALSE(ExactExpLog::Usable());
#endif
}

TEST(ExactExpLog, ExpMatchesLibmOverTheGainRangeAndBeyond) {
    // Gain targets: -120 .. 0 (ln of the gain); then everything up to overflow
    // and underflow.
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) { return std::uniform_real_distribution<double>(-120.0, 0.0)(r); }), true), 0u);
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) { return std::uniform_real_distribution<double>(-760.0, 720.0)(r); }), true), 0u);
    // Every binade of both signs, down to tiny arguments.
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) {
                  const double m = std::uniform_real_distribution<double>(1.0, 2.0)(r);
                  return std::ldexp(r() & 1 ? -m : m, static_cast<int>(r() % 70) - 60);
              }), true), 0u);
}

TEST(ExactExpLog, LogMatchesLibmOverTheLevelRangeAndEveryPositiveNumber) {
    // Levels: every binade from 2^-1074 to 2^100, near 1 densely, then random
    // bit patterns of all positive doubles (subnormals, inf and NaN included).
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) {
                  return std::ldexp(std::uniform_real_distribution<double>(1.0, 2.0)(r), static_cast<int>(r() % 1175) - 1075);
              }), false), 0u);
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) { return std::uniform_real_distribution<double>(0.85, 1.15)(r); }), false), 0u);
    EXPECT_EQ(Mismatches(Inputs([](std::mt19937_64& r) { return FromBits(r() & 0x7fffffffffffffffULL); }), false), 0u);
}

TEST(ExactExpLog, SpecialValuesGoToTheMathsLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> specials = {0.0,   -0.0,    inf,      -inf,     nan,      -nan,     1.0,
                                          -1.0,  5e-324,  -5e-324,  2.2e-308, 1e-300,   0x1p-54,  -0x1p-54,
                                          512.0, -512.0,  709.78,   -745.2,   0x1.ep-1, 0x1.109p0, 1e308};
    EXPECT_EQ(Mismatches(specials, true), 0u);
    EXPECT_EQ(Mismatches(specials, false), 0u);
}

}  // namespace
}  // namespace kestrom
