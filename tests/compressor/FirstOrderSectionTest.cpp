// Measured responses of the one-pole section in each of its modes.
#include <gtest/gtest.h>

#include <cmath>

#include "SignalTools.h"
#include "compressor/FirstOrderSection.h"
#include "compressor/ShelfGain.h"

namespace kestrom {
namespace {

using testing::Peak;
using testing::Sine;

// Steady-state amplitude gain of a configured section for a sine at `hz`.
double MeasuredGain(FirstOrderSection section, double hz, double rate) {
    const std::size_t frames = static_cast<std::size_t>(rate);  // one second
    std::vector<double> x = Sine(1.0, hz, rate, frames), y(frames);
    for (std::size_t i = 0; i < frames; ++i) y[i] = section.Process(x[i]);
    return Peak(y, frames / 2, frames);
}

// Gain for a constant input (DC) and for alternating +-1 (Nyquist).
double DcGain(FirstOrderSection section) {
    double y = 0.0;
    for (int i = 0; i < 200000; ++i) y = section.Process(1.0);
    return y;
}
double NyquistGain(FirstOrderSection section) {
    double y = 0.0;
    for (int i = 0; i < 200000; ++i) y = section.Process(i % 2 ? -1.0 : 1.0);
    return std::fabs(y);
}

FirstOrderSection Section(int mode, double hz, double rate, double shelfDb = 0.0) {
    FirstOrderSection s;
    s.Configure(mode, hz, rate, shelfDb);
    return s;
}

TEST(FirstOrderSection, LowPassHasUnityGainAtDc) {
    for (double rate : {8000.0, 44100.0, 768000.0}) {
        EXPECT_NEAR(DcGain(Section(FirstOrderSection::kLowPass, 1000.0, rate)), 1.0, 1e-12) << rate;
    }
}

TEST(FirstOrderSection, HighPassBlocksDc) {
    EXPECT_NEAR(DcGain(Section(FirstOrderSection::kHighPass, 220.0, 48000.0)), 0.0, 1e-12);
}

// The 3 x rate form puts the half-power point at two thirds of the nominal
// corner: at the corner itself a low-pass passes about 1/sqrt(1 + 1.5^2).
TEST(FirstOrderSection, LowPassCornerLiesAtTwoThirdsOfTheNominalFrequency) {
    const double rate = 48000.0;
    const auto lowPass = Section(FirstOrderSection::kLowPass, 1000.0, rate);
    EXPECT_NEAR(MeasuredGain(lowPass, 1000.0, rate), 1.0 / std::sqrt(1.0 + 2.25), 0.005);
    EXPECT_NEAR(MeasuredGain(lowPass, 1000.0 * 2.0 / 3.0, rate), std::sqrt(0.5), 0.005);
    EXPECT_LT(MeasuredGain(lowPass, 10000.0, rate), 0.1);
}

TEST(FirstOrderSection, HighPassPassesHighFrequencies) {
    const double rate = 48000.0;
    const auto highPass = Section(FirstOrderSection::kHighPass, 220.0, rate);
    EXPECT_GT(MeasuredGain(highPass, 5000.0, rate), 0.98);
    EXPECT_LT(MeasuredGain(highPass, 10.0, rate), 0.1);
}

struct ShelfCase {
    int mode;
    double dB;
};

class FirstOrderShelf : public ::testing::TestWithParam<ShelfCase> {};

// With a low corner, a shelf applies its factor on one side and leaves the
// other side at unity.
TEST_P(FirstOrderShelf, AppliesItsFactorOnOneSideOnly) {
    const ShelfCase c = GetParam();
    const auto shelf = Section(c.mode, 20.0, 48000.0, c.dB);
    const double factor = ShelfGain(c.dB);
    const bool low = c.mode == FirstOrderSection::kLowShelf;
    EXPECT_NEAR(DcGain(shelf), low ? factor : 1.0, 1e-9);
    EXPECT_NEAR(NyquistGain(shelf), low ? 1.0 : factor, 0.005 * factor);
}

INSTANTIATE_TEST_SUITE_P(Modes, FirstOrderShelf,
                         ::testing::Values(ShelfCase{FirstOrderSection::kLowShelf, -10.0},
                                           ShelfCase{FirstOrderSection::kLowShelf, 10.0},
                                           ShelfCase{FirstOrderSection::kHighShelf, -10.0},
                                           ShelfCase{FirstOrderSection::kHighShelf, 10.0}));

TEST(FirstOrderSection, StaysStableWithACornerAboveNyquist) {
    auto lowPass = Section(FirstOrderSection::kLowPass, 10200.49, 8000.0);
    EXPECT_GT(lowPass.pole, -1.0);
    EXPECT_NEAR(DcGain(lowPass), 1.0, 1e-12);
    double y = lowPass.Process(1.0);
    for (int i = 0; i < 2000; ++i) y = lowPass.Process(0.0);
    EXPECT_EQ(y, 0.0);  // the impulse response decays and is flushed
}

}  // namespace
}  // namespace kestrom
