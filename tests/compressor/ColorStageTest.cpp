#include <gtest/gtest.h>

#include <cmath>

#include "SignalTools.h"
#include "compressor/ColorStage.h"

namespace kestrom {
namespace {

using testing::Peak;
using testing::Sine;
using testing::ToDb;

// Steady-state gain in dB of the stage for a sine of the given amplitude.
double StageGainDb(double amplitude, double hz) {
    ColorStage stage;
    stage.Configure(48000.0);
    const auto x = Sine(amplitude, hz, 48000.0, 48000);
    std::vector<double> y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = stage.Process(x[i]);
    return ToDb(Peak(y, 24000, 48000) / amplitude);
}

TEST(ColorStage, IsNearlyTransparentAtNormalLevels) {
    for (double hz : {100.0, 1000.0, 5000.0, 15000.0}) {
        for (double amplitude : {0.01, 1.0}) {
            EXPECT_NEAR(StageGainDb(amplitude, hz), 0.0, 0.6) << hz << " Hz, amplitude " << amplitude;
        }
    }
}

TEST(ColorStage, SaturatesPeaksFarAboveFullScale) {
    EXPECT_LT(StageGainDb(30.0, 1000.0), -5.0);
    EXPECT_LT(StageGainDb(100.0, 1000.0), StageGainDb(30.0, 1000.0));
}

TEST(ColorStage, RemovesDc) {
    ColorStage stage;
    stage.Configure(48000.0);
    double y = 0.0;
    for (int i = 0; i < 48000; ++i) y = stage.Process(0.5);
    EXPECT_LT(std::fabs(y), 1e-9);
}

TEST(ColorStage, PassesTheInputUnchangedWhenDisabled) {
    ColorStage stage;
    for (double x : {0.25, -3.0, 1e-12}) {
        EXPECT_EQ(stage.Process(x), x);
        EXPECT_EQ(stage.lastOutput, x);
    }
}

}  // namespace
}  // namespace kestrom
