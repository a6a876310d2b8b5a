// Measured behaviour of one channel's gain computer: static curve, attack and
// release timing, output gain.
#include <gtest/gtest.h>

#include <cmath>

#include "SignalTools.h"
#include "compressor/DynamicsEngine.h"

namespace kestrom {
namespace {

using testing::FromDb;
using testing::Sine;
using testing::ToDb;

constexpr double kRate = 48000.0;

// An engine configured at kRate and settled at unity gain. (A fresh engine's
// gain smoother starts empty, so its first samples dip by the smoother's
// first step and then release; see StartsWithADipThatReleases.)
DynamicsEngine SettledEngine(const DynamicsSettings& s, double outputDb = 0.0) {
    DynamicsEngine engine;
    engine.Configure(s, outputDb, kRate);
    engine.gainSmoother.state = engine.gain;
    return engine;
}

// The gain smoother sits inside the attack and release recursions (its output
// is the next sample's gain), which lengthens their time constants by
// 1 / (1 - pole): about 1.6 at 48 kHz.
double LoopStretch(const DynamicsEngine& engine) { return 1.0 / (1.0 - engine.gainSmoother.pole); }

// Average gain in dB over the second half of two seconds of a 1 kHz tone
// whose peak lies `overshootDb` above the threshold (audio and detector alike).
double SteadyGainDb(const DynamicsSettings& s, double overshootDb) {
    DynamicsEngine engine = SettledEngine(s);
    const auto tone = Sine(FromDb(s.thresholdDb + overshootDb), 1000.0, kRate, 96000);
    double sumDb = 0.0;
    for (std::size_t i = 0; i < tone.size(); ++i) {
        engine.Process(tone[i], tone[i]);
        if (i >= tone.size() / 2) sumDb += ToDb(engine.gain);
    }
    return sumDb / static_cast<double>(tone.size() / 2);
}

// Reduction the static curve gives for an overshoot o: the effective ratio
// grows from 1 toward R as o approaches 50 dB, or follows R / atan(o / 10)
// for a negative R.
double CurveReductionDb(double ratio, double o) {
    if (o <= 0.0) return 0.0;
    const double reff = ratio > 0.0 ? (ratio - 1.0) * o / 50.0 + 1.0 : ratio / std::atan(o / 10.0);
    return o * (1.0 - 1.0 / reff);
}

struct CurveCase {
    double inNormal;
    bool negative;
    double overshootDb;
};

class DynamicsEngineCurve : public ::testing::TestWithParam<CurveCase> {};

TEST_P(DynamicsEngineCurve, SteadyToneIsReducedByTheStaticCurve) {
    const CurveCase c = GetParam();
    const DynamicsSettings s = DynamicsSettings::Select(c.inNormal, c.negative, false);
    const double expected = -CurveReductionDb(s.ratio, c.overshootDb);
    EXPECT_NEAR(SteadyGainDb(s, c.overshootDb), expected, 0.15)
        << "ratio " << s.ratio << ", overshoot " << c.overshootDb << " dB";
}

INSTANTIATE_TEST_SUITE_P(
    Overshoots, DynamicsEngineCurve,
    ::testing::Values(CurveCase{1.0, false, -10.0},  // below threshold: untouched
                      CurveCase{1.0, false, 10.0},   // ratio 3: 1.4 effective
                      CurveCase{1.0, false, 20.0},   // 1.8 effective
                      CurveCase{1.0, false, 40.0},   // 2.6 effective
                      CurveCase{0.0, false, 30.0},   // ratio 1: never reduces
                      CurveCase{1.0, true, 10.0},    // negative: more than the overshoot
                      CurveCase{1.0, true, 20.0}));

TEST(DynamicsEngine, NegativeRangeMakesLouderInputQuieter) {
    const DynamicsSettings s = DynamicsSettings::Select(1.0, true, false);
    const double out10 = 10.0 + SteadyGainDb(s, 10.0);
    const double out16 = 16.0 + SteadyGainDb(s, 16.0);
    EXPECT_LT(SteadyGainDb(s, 10.0), -10.0);
    EXPECT_LT(out16, out10 - 1.0);
}

// Settings for timing tests: peak detection (no averaging), threshold -40 dB,
// ratio 3, release base 100 ms.
DynamicsSettings TimingSettings(double attackMs) {
    DynamicsSettings s;
    s.thresholdDb = -40.0;
    s.ratio = 3.0;
    s.attackMs = attackMs;
    s.releaseBaseMs = 100.0;
    s.averagingMs = 0.0;
    return s;
}

// Fraction of the way from unity to the target gain after each sample of a
// detector step to 20 dB over the threshold.
std::vector<double> AttackProgress(double attackMs, int samples) {
    const DynamicsSettings s = TimingSettings(attackMs);
    const double target = FromDb(-CurveReductionDb(s.ratio, 20.0));
    DynamicsEngine engine = SettledEngine(s);
    std::vector<double> progress;
    for (int i = 0; i < samples; ++i) {
        engine.Process(0.0, FromDb(s.thresholdDb + 20.0));
        progress.push_back((1.0 - engine.gain) / (1.0 - target));
    }
    return progress;
}

TEST(DynamicsEngine, ZeroAttackReachesTheTargetWithinAFewSamples) {
    const auto progress = AttackProgress(0.0, 10);
    EXPECT_GT(progress[9], 0.99);
}

// Two stages: a shadow follows the target with 1.5 x the attack time and the
// gain follows the shadow with the (loop-stretched) attack time, so the step
// response is that of two cascaded one-pole smoothers.
TEST(DynamicsEngine, AttackIsATwoStageSmoothingWithTheAttackTime) {
    const double attackMs = 4.87;
    const auto progress = AttackProgress(attackMs, 4800);
    const double ta = attackMs * LoopStretch(SettledEngine(TimingSettings(attackMs)));
    const double ts = 1.5 * attackMs;
    for (double ms : {2.0, 5.0, 10.0, 20.0, 40.0}) {
        const double expected = 1.0 - (ts * std::exp(-ms / ts) - ta * std::exp(-ms / ta)) / (ts - ta);
        const auto index = static_cast<std::size_t>(ms * kRate / 1000.0) - 1;
        EXPECT_NEAR(progress[index], expected, 0.01) << ms << " ms";
    }
}

// After a step down the release is a one-pole recovery whose time grows with
// the largest overshoot since the gain last sat at unity: the base time plus
// (base + 50 ms) * 1.5 % per dB, stretched by the smoother in the loop.
TEST(DynamicsEngine, ReleaseTimeGrowsWithTheHeldOvershoot) {
    for (double overshoot : {10.0, 20.0, 30.0}) {
        const DynamicsSettings s = TimingSettings(0.0);
        DynamicsEngine engine = SettledEngine(s);
        for (int i = 0; i < 9600; ++i) engine.Process(0.0, FromDb(s.thresholdDb + overshoot));
        // The peak follower needs well under 150 ms to fall below the
        // threshold; from then on the gain recovers toward unity.
        double deficitAt150 = 0.0, deficitAt400 = 0.0;
        for (int i = 1; i <= 19200; ++i) {
            engine.Process(0.0, 0.0);
            if (i == 7200) deficitAt150 = 1.0 - engine.gain;
            if (i == 19200) deficitAt400 = 1.0 - engine.gain;
        }
        const double measuredMs = 250.0 / std::log(deficitAt150 / deficitAt400);
        const double expectedMs =
            (s.releaseBaseMs + (s.releaseBaseMs + 50.0) * 0.015 * overshoot) * LoopStretch(engine);
        EXPECT_NEAR(measuredMs, expectedMs, 0.01 * expectedMs) << overshoot << " dB over";
    }
}

TEST(DynamicsEngine, AppliesTheOutputGainAtOnce) {
    const DynamicsSettings s = TimingSettings(0.0);
    DynamicsEngine quiet = SettledEngine(s, 0.0);
    DynamicsEngine loud = SettledEngine(s, 20.0);
    const auto tone = Sine(0.001, 1000.0, kRate, 480);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        const double a = quiet.Process(tone[i], tone[i]);
        const double b = loud.Process(tone[i], tone[i]);
        if (a != 0.0) {
            EXPECT_NEAR(b / a, 10.0, 1e-6);
        }
    }
}

TEST(DynamicsEngine, StartsWithADipThatReleases) {
    DynamicsEngine engine;
    engine.Configure(TimingSettings(0.0), 0.0, kRate);
    engine.Process(0.0, 0.0);
    EXPECT_NEAR(engine.gain, 1.0 - engine.gainSmoother.pole, 1e-12);
    for (int i = 0; i < 2 * 48000; ++i) engine.Process(0.0, 0.0);
    EXPECT_NEAR(engine.gain, 1.0, 1e-4);
}

TEST(DynamicsEngine, ClearStateReturnsToUnityGain) {
    DynamicsEngine engine;
    engine.Configure(TimingSettings(0.0), 0.0, kRate);
    engine.Process(std::nan(""), std::nan(""));
    EXPECT_FALSE(engine.IsFinite());
    engine.ClearState();
    EXPECT_TRUE(engine.IsFinite());
    EXPECT_EQ(engine.gain, 1.0);
    EXPECT_EQ(engine.gainShadow, 1.0);
}

}  // namespace
}  // namespace kestrom
