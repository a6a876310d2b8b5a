#include <gtest/gtest.h>

#include <cmath>

#include "SignalTools.h"
#include "compressor/DcBlocker.h"

namespace kestrom {
namespace {

TEST(DcBlocker, RemovesAConstantOffset) {
    DcBlocker blocker;
    double y = 0.0;
    for (int i = 0; i < 30000; ++i) y = blocker.Process(0.5);
    EXPECT_LT(std::fabs(y), 1e-9);
}

TEST(DcBlocker, PassesAudioFrequenciesAtNearUnityGain) {
    const double rate = 44100.0;
    const auto x = testing::Sine(1.0, 100.0, rate, 44100);
    std::vector<double> y(x.size());
    DcBlocker blocker;
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = blocker.Process(x[i] + 0.25);
    EXPECT_NEAR(testing::Peak(y, 22050, 44100), 1.0, 0.01);
}

TEST(DcBlocker, ADecayingTailEndsAtExactlyZeroRatherThanSubnormal) {
    DcBlocker blocker;
    double y = blocker.Process(1.0);
    blocker.Process(0.0);
    for (int i = 0; i < 800000 && y != 0.0; ++i) {
        y = blocker.Process(0.0);
        ASSERT_TRUE(y == 0.0 || std::fabs(y) >= 2.2250738585072014e-308);
    }
    EXPECT_EQ(y, 0.0);
    EXPECT_FALSE(std::signbit(y));
}

}  // namespace
}  // namespace kestrom
