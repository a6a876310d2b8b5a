// Behaviour of the whole per-block processing: paths, linking, bypass, band
// limiting, the meter, and robustness against bad input and odd block sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "SignalTools.h"
#include "compressor/DcBlocker.h"
#include "compressor/KestromProcessor.h"

namespace kestrom {
namespace {

using testing::FromDb;
using testing::Peak;
using testing::Rms;
using testing::Sine;
using testing::ToDb;

KestromSettings Settings(double inDb = 0.0, double outDb = 0.0) {
    return KestromSettings::FromParameters(inDb, outDb, (inDb - -20.0) / 40.0, 0, 0, 0, 0, 1);
}

// Runs whole signals through `p` in blocks of `block` frames; mono when `right`
// is empty. Returns the left (or only) output and fills `rightOut`.
std::vector<double> RunSignal(KestromProcessor& p, const KestromSettings& s, const std::vector<double>& left,
                        const std::vector<double>& right = {}, std::size_t block = 256,
                        std::vector<double>* rightOut = nullptr) {
    const bool stereo = !right.empty();
    std::vector<double> outL(left.size()), outR(stereo ? right.size() : 0);
    for (std::size_t start = 0; start < left.size(); start += block) {
        const int n = static_cast<int>(std::min(block, left.size() - start));
        const double* in[2] = {left.data() + start, stereo ? right.data() + start : nullptr};
        double* out[2] = {outL.data() + start, stereo ? outR.data() + start : nullptr};
        p.ProcessBlock(in, out, n, stereo, s);
    }
    if (rightOut) *rightOut = outR;
    return outL;
}

KestromProcessor ProcessorAt(double rate) {
    KestromProcessor p;
    p.Reset(rate);
    return p;
}

TEST(KestromProcessor, SilenceGivesOnlyDitherResidueAndAnIdleNeedle) {
    KestromProcessor p = ProcessorAt(44100.0);
    const std::vector<double> silence(3 * 44100, 0.0);
    const auto out = RunSignal(p, Settings(), silence, silence);
    EXPECT_LT(Peak(out, 0, out.size()), 1e-9);
    EXPECT_LT(p.NeedleValue(), 1e-3);
}

TEST(KestromProcessor, MonoPathWritesOnlyTheFirstOutput) {
    KestromProcessor p = ProcessorAt(48000.0);
    const auto x = Sine(0.5, 440.0, 48000.0, 512);
    std::vector<double> out0(512), out1(512, 7.0);
    const double* in[2] = {x.data(), nullptr};
    double* out[2] = {out0.data(), out1.data()};
    p.ProcessBlock(in, out, 512, false, Settings());
    EXPECT_GT(Peak(out0, 0, 512), 0.1);
    for (double v : out1) ASSERT_EQ(v, 7.0);
}

// Without jitter ("Relaxed") the two channels of a stereo instance fed the
// same signal are each exactly the mono result.
TEST(KestromProcessor, IdenticalStereoChannelsMatchTheMonoPathExactly) {
    KestromSettings s = Settings(12.0);
    s.relaxed = true;
    const auto x = Sine(0.3, 330.0, 44100.0, 8192);
    KestromProcessor mono = ProcessorAt(44100.0), stereo = ProcessorAt(44100.0);
    const auto monoOut = RunSignal(mono, s, x);
    std::vector<double> right;
    const auto left = RunSignal(stereo, s, x, x, 256, &right);
    EXPECT_EQ(left, monoOut);
    EXPECT_EQ(right, monoOut);
}

TEST(KestromProcessor, ProcessesInPlaceAsIfBuffersWereSeparate) {
    const auto x = Sine(0.4, 1000.0, 48000.0, 1024);
    const auto y = Sine(0.2, 250.0, 48000.0, 1024);
    KestromProcessor a = ProcessorAt(48000.0), b = ProcessorAt(48000.0);
    std::vector<double> right;
    const auto left = RunSignal(a, Settings(6.0), x, y, 1024, &right);
    std::vector<double> l = x, r = y;
    const double* in[2] = {l.data(), r.data()};
    double* out[2] = {l.data(), r.data()};
    b.ProcessBlock(in, out, 1024, true, Settings(6.0));
    EXPECT_EQ(l, left);
    EXPECT_EQ(r, right);
}

// Linked detectors take the larger signed value, not the larger magnitude:
// a left pulse of -0.9 beside a right pulse of -0.1 compresses both channels
// exactly as two pulses of -0.1 do.
TEST(KestromProcessor, LinkedDetectorsFollowTheSignedMaximum) {
    KestromSettings s = Settings(20.0);
    s.relaxed = true;  // no feedback blend, no jitter: the detector is the input
    const int pulseStart = 96000, pulseEnd = pulseStart + 960;
    auto gainsDuringPulse = [&](double leftPulse) {
        KestromProcessor p = ProcessorAt(48000.0);
        RunSignal(p, s, std::vector<double>(pulseStart, 0.0), std::vector<double>(pulseStart, 0.0));
        std::vector<double> trace;
        for (int i = pulseStart; i < pulseEnd; ++i) {
            const double l = leftPulse, r = -0.1;
            double ol, orr;
            const double* in[2] = {&l, &r};
            double* out[2] = {&ol, &orr};
            p.ProcessBlock(in, out, 1, true, s);
            EXPECT_EQ(p.engineL.gain, p.engineR.gain);
            trace.push_back(p.engineL.gain);
        }
        return trace;
    };
    const auto mixed = gainsDuringPulse(-0.9), same = gainsDuringPulse(-0.1);
    EXPECT_LT(same.back(), 0.5 * same.front());  // the -0.1 pulse is far over the threshold
    EXPECT_EQ(mixed, same);
}

// A quiet left tone and a loud right tone: linked, the left is reduced with
// the right; as dual mono it is left alone.
TEST(KestromProcessor, DualMonoUnlinksTheChannels) {
    const double rate = 48000.0;
    const auto quiet = Sine(FromDb(-60.0), 1000.0, rate, 48000);
    const auto loud = Sine(FromDb(-6.0), 1000.0, rate, 48000);
    auto reductions = [&](bool dualMono) {
        KestromSettings s = Settings(10.0);
        s.dualMono = dualMono;
        KestromProcessor p = ProcessorAt(rate), reference = ProcessorAt(rate);
        std::vector<double> right, refRight;
        const auto left = RunSignal(p, s, quiet, loud, 512, &right);
        // Unity reference: both channels below the threshold.
        const auto refLeft = RunSignal(reference, s, quiet, quiet, 512, &refRight);
        return std::pair<double, double>(ToDb(Rms(left, 24000, 48000) / Rms(refLeft, 24000, 48000)),
                                         ToDb(Rms(right, 24000, 48000) / FromDb(-6.0) /
                                              (Rms(refRight, 24000, 48000) / FromDb(-60.0))));
    };
    const auto linked = reductions(false), unlinked = reductions(true);
    EXPECT_LT(linked.second, -3.0);
    EXPECT_NEAR(linked.first, linked.second, 0.3);
    EXPECT_NEAR(unlinked.first, 0.0, 0.1);
    EXPECT_LT(unlinked.second, -3.0);
}

// "Power" off moves the dry share 95 % of the remaining way per sample, so
// within a dozen samples the output is the raw input through the output DC
// blocker; switching back on returns the same way.
TEST(KestromProcessor, PowerSwitchCrossfadesByAFactorOf005PerSample) {
    KestromProcessor p = ProcessorAt(48000.0);
    KestromSettings off = Settings(10.0);
    off.power = false;
    const auto x = Sine(0.5, 500.0, 48000.0, 4800);
    RunSignal(p, Settings(10.0), x);
    for (bool power : {false, false, false, false, true, true, true, true}) {
        const double before = p.bypassMix;
        RunSignal(p, power ? Settings(10.0) : off, {x[0]}, {}, 1);
        const double target = power ? 0.0 : 1.0;
        EXPECT_NEAR(target - p.bypassMix, 0.05 * (target - before), 1e-15);
    }

    KestromProcessor bypassed = ProcessorAt(48000.0);
    const auto y = RunSignal(bypassed, off, x);
    DcBlocker blocker;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double dry = blocker.Process(x[i]);
        if (i >= 12) {
            ASSERT_NEAR(y[i], dry, 1e-4) << i;
        }
    }
}

// With "Deep" the detector hears only the midrange, so a 60 Hz tone drives
// much less reduction than without it.
TEST(KestromProcessor, DeepReducesABassToneLess) {
    const double rate = 44100.0;
    const auto tone = Sine(FromDb(-10.0), 60.0, rate, 2 * 44100);
    auto outputRmsDb = [&](bool deep) {
        KestromSettings s = Settings(20.0);
        s.deep = deep;
        KestromProcessor p = ProcessorAt(rate);
        const auto y = RunSignal(p, s, tone);
        return ToDb(Rms(y, 44100, 2 * 44100));
    };
    EXPECT_GT(outputRmsDb(true), outputRmsDb(false) + 3.0);
}

// "Negative", In +20 dB: threshold -22 dB after 20 dB of input gain. A tone
// 10 dB over the threshold comes out more than 10 dB lower.
TEST(KestromProcessor, NegativeRangeReducesMoreThanTheOvershoot) {
    const double rate = 48000.0;
    KestromSettings s = Settings(20.0);
    s.negative = true;
    const double inputPeakDb = -22.0 + 10.0 - 20.0;
    const auto tone = Sine(FromDb(inputPeakDb), 1000.0, rate, 48000);
    KestromProcessor p = ProcessorAt(rate);
    const auto y = RunSignal(p, s, tone);
    const double gainDb = ToDb(Peak(y, 24000, 48000)) - (inputPeakDb + 20.0);
    EXPECT_LT(gainDb, -10.5);
    EXPECT_NEAR(p.NeedleValue() * 22.0, -gainDb, 1.0);
}

struct BadSample {
    double value;
    bool stereo;
};

class KestromProcessorNonFinite : public ::testing::TestWithParam<BadSample> {};

TEST_P(KestromProcessorNonFinite, PoisonsAtMostItsOwnBlock) {
    const BadSample c = GetParam();
    const double rate = 48000.0;
    auto x = Sine(0.5, 1000.0, rate, 4096);
    x[700] = c.value;  // inside the second block of 512
    KestromProcessor p = ProcessorAt(rate);
    std::vector<double> right;
    const auto y = c.stereo ? RunSignal(p, Settings(), x, Sine(0.5, 700.0, rate, 4096), 512, &right)
                            : RunSignal(p, Settings(), x, {}, 512);
    for (std::size_t i = 1024; i < y.size(); ++i) {
        ASSERT_TRUE(std::isfinite(y[i])) << i;
        ASSERT_LT(std::fabs(y[i]), 4.0) << i;
        if (c.stereo) {
            ASSERT_TRUE(std::isfinite(right[i])) << i;
        }
    }
    const double needle = p.NeedleValue();
    EXPECT_TRUE(needle >= 0.0 && needle <= 1.0);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(Samples, KestromProcessorNonFinite,
                         ::testing::Values(BadSample{std::numeric_limits<double>::quiet_NaN(), false},
                                           BadSample{kInf, false}, BadSample{-kInf, false},
                                           BadSample{std::numeric_limits<double>::quiet_NaN(), true},
                                           BadSample{kInf, true}, BadSample{1e308, true}));

TEST(KestromProcessor, EmptyBlocksStillPrepareAndLeaveTheNeedleAlone) {
    KestromProcessor p = ProcessorAt(44100.0);
    RunSignal(p, Settings(20.0), Sine(0.5, 1000.0, 44100.0, 4410));
    const double needle = p.NeedleValue();
    const double gainBefore = p.inputGainState;
    p.ProcessBlock(nullptr, nullptr, 0, true, Settings(-20.0));
    EXPECT_LT(p.inputGainState, gainBefore);  // preparation ran
    EXPECT_EQ(p.NeedleValue(), needle);
    p.ProcessBlock(nullptr, nullptr, 0, false, Settings(-20.0));
    EXPECT_EQ(p.NeedleValue(), needle);
}

TEST(KestromProcessor, ResetRejectsRatesThatAreNotPositive) {
    KestromProcessor p = ProcessorAt(48000.0);
    for (double bad : {0.0, -44100.0, kInf, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(p.Reset(bad));
        EXPECT_EQ(p.rate, 48000.0);
    }
}

TEST(KestromProcessor, NeedleReadsFullScaleBeforeTheFirstReset) {
    KestromProcessor p;
    RunSignal(p, Settings(), Sine(0.1, 1000.0, 44100.0, 64));
    EXPECT_EQ(p.NeedleValue(), 1.0);
}

struct RateCase {
    double rate;
    std::size_t block;
};

class KestromProcessorRates : public ::testing::TestWithParam<RateCase> {};

TEST_P(KestromProcessorRates, RunsCleanlyAtEveryRateAndBlockSize) {
    const RateCase c = GetParam();
    const auto x = Sine(0.7, 997.0, c.rate, static_cast<std::size_t>(c.rate / 10.0));
    for (bool relaxed : {false, true}) {
        KestromSettings s = Settings(20.0);
        s.relaxed = relaxed;
        s.deep = !relaxed;
        KestromProcessor p = ProcessorAt(c.rate);
        std::vector<double> right;
        const auto y = RunSignal(p, s, x, x, c.block, &right);
        for (std::size_t i = 0; i < y.size(); ++i) {
            // 20 dB of input gain on a 0.7 peak, and at low rates a start-up
            // overshoot of the gain smoother (its corner lies above Nyquist).
            ASSERT_TRUE(std::isfinite(y[i]) && std::fabs(y[i]) < 12.0) << i << ": " << y[i];
            ASSERT_TRUE(std::isfinite(right[i]) && std::fabs(right[i]) < 12.0) << i;
        }
        const double needle = p.NeedleValue();
        EXPECT_TRUE(needle >= 0.0 && needle <= 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, KestromProcessorRates,
                         ::testing::Values(RateCase{8000.0, 1}, RateCase{8000.0, 512},
                                           RateCase{44100.0, 1}, RateCase{96000.0, 333},
                                           RateCase{768000.0, 1}, RateCase{768000.0, 4096}));

// Infinite and NaN input samples are processed as 0. Each case runs a
// signal with bad samples, the same signal with 0 in their place, and the
// clean signal, in host-sized blocks and as one block: the bad run must be
// finite everywhere, identical to the run with zeros (needle included), and
// identical to the clean run before the first bad frame.
struct BadSpot {
    int channel;  // 0 left (or mono), 1 right
    std::size_t frame;
    std::size_t count;  // consecutive bad frames from `frame`
    double value;
};

struct BadInputCase {
    const char* name;
    bool stereo;
    std::vector<BadSpot> spots;
};

struct BadInputMode {
    const char* name;
    bool negative, relaxed, deep, dualMono, power, kernels;
};

void PrintTo(const BadInputMode& m, std::ostream* os) { *os << m.name; }

struct BadInputRun {
    std::vector<double> left, right;
    double needle;
    long long replaced;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class KestromProcessorBadInput : public ::testing::TestWithParam<BadInputMode> {
protected:
    static constexpr std::size_t kFrames = 4096;
    static constexpr double kRate = 48000.0;

    KestromSettings ModeSettings() const {
        const BadInputMode& m = GetParam();
        KestromSettings s = Settings(12.0, -3.0);
        s.negative = m.negative;
        s.relaxed = m.relaxed;
        s.deep = m.deep;
        s.dualMono = m.dualMono;
        s.power = m.power;
        return s;
    }

    BadInputRun Run(const std::vector<double>& left, const std::vector<double>& right, std::size_t block) const {
        KestromProcessor p = ProcessorAt(kRate);
        p.kernelPath = GetParam().kernels ? KestromProcessor::BestKernelPath() : KestromProcessor::KernelPath::kPlain;
        // Warm up so the meter, the gains and the bypass share are settled.
        const auto warm = Sine(0.3, 200.0, kRate, 2048);
        RunSignal(p, ModeSettings(), warm, right.empty() ? std::vector<double>{} : warm, 512);
        BadInputRun r;
        r.left = RunSignal(p, ModeSettings(), left, right, block, &r.right);
        r.needle = p.NeedleValue();
        r.replaced = p.replacedInputSamples;
        return r;
    }
};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b, std::size_t from, std::size_t to,
              std::size_t* where) {
    for (std::size_t i = from; i < to; ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
            *where = i;
            return false;
        }
    }
    return true;
}

TEST_P(KestromProcessorBadInput, BadSamplesAreProcessedAsZeros) {
    const std::vector<BadInputCase> cases = {
        {"mono first frame", false, {{0, 0, 1, kNaN}}},
        {"mono second frame", false, {{0, 1, 1, kInf}}},
        {"mono end of a block", false, {{0, 511, 1, -kInf}}},
        {"mono start of a block", false, {{0, 512, 1, kNaN}}},
        {"mono inside a block", false, {{0, 700, 1, -kNaN}}},
        {"mono last frame", false, {{0, kFrames - 1, 1, kInf}}},
        {"stereo left", true, {{0, 700, 1, kNaN}}},
        {"stereo right", true, {{1, 700, 1, kInf}}},
        {"stereo both, apart", true, {{0, 300, 1, -kInf}, {1, 1000, 1, kNaN}}},
        {"stereo both, same frame", true, {{0, 2000, 1, kInf}, {1, 2000, 1, -kInf}}},
        {"stereo burst across pieces and blocks", true, {{1, 1000, 600, kNaN}}},
        {"stereo whole block", true, {{0, 1024, 512, kNaN}, {1, 1024, 512, kInf}}},
    };
    const auto cleanL = Sine(0.5, 1000.0, kRate, kFrames);
    const auto cleanR = Sine(0.4, 700.0, kRate, kFrames);
    for (const BadInputCase& c : cases) {
        std::vector<double> badIn[2] = {cleanL, cleanR}, zeroIn[2] = {cleanL, cleanR};
        std::size_t firstBad = kFrames;
        long long badCount = 0;
        for (const BadSpot& spot : c.spots) {
            for (std::size_t i = spot.frame; i < spot.frame + spot.count; ++i) {
                badIn[spot.channel][i] = spot.value;
                zeroIn[spot.channel][i] = 0.0;
            }
            firstBad = std::min(firstBad, spot.frame);
            badCount += static_cast<long long>(spot.count);
        }
        const std::vector<double> none;
        for (std::size_t block : {std::size_t{512}, kFrames}) {
            SCOPED_TRACE(std::string(c.name) + ", blocks of " + std::to_string(block));
            const BadInputRun bad = Run(badIn[0], c.stereo ? badIn[1] : none, block);
            const BadInputRun zero = Run(zeroIn[0], c.stereo ? zeroIn[1] : none, block);
            const BadInputRun clean = Run(cleanL, c.stereo ? cleanR : none, block);
            for (std::size_t i = 0; i < kFrames; ++i) {
                ASSERT_TRUE(std::isfinite(bad.left[i])) << i;
                if (c.stereo) {
                    ASSERT_TRUE(std::isfinite(bad.right[i])) << i;
                }
            }
            std::size_t at = 0;
            EXPECT_TRUE(SameBits(bad.left, zero.left, 0, kFrames, &at)) << "left differs from zeros at " << at;
            EXPECT_TRUE(SameBits(bad.right, zero.right, 0, bad.right.size(), &at))
                << "right differs from zeros at " << at;
            EXPECT_EQ(std::memcmp(&bad.needle, &zero.needle, sizeof(double)), 0);
            EXPECT_TRUE(SameBits(bad.left, clean.left, 0, firstBad, &at)) << "left differs from clean at " << at;
            EXPECT_TRUE(SameBits(bad.right, clean.right, 0, c.stereo ? firstBad : 0, &at))
                << "right differs from clean at " << at;
            EXPECT_EQ(bad.replaced, badCount);
            EXPECT_EQ(zero.replaced, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, KestromProcessorBadInput,
    ::testing::Values(BadInputMode{"normal", false, false, false, false, true, true},
                      BadInputMode{"normal_plain", false, false, false, false, true, false},
                      BadInputMode{"negative", true, false, false, false, true, true},
                      BadInputMode{"relaxed_deep_dualmono", false, true, true, true, true, true},
                      BadInputMode{"power_off", false, false, false, false, false, true},
                      BadInputMode{"power_off_plain", false, false, false, false, false, false}),
    [](const ::testing::TestParamInfo<BadInputMode>& info) { return std::string(info.param.name); });

// One NaN early in a long block spoils only its neighbourhood: the output
// stays finite, and once the disturbance (one missing sample through the
// DC blockers and the gain recursion) has died away, it is the clean output
// again to within a tiny tolerance.
TEST(KestromProcessor, OneNaNInALongBlockDisturbsOnlyItsNeighbourhood) {
    constexpr std::size_t kFrames = 48000, kBad = 500;
    const auto left = Sine(0.5, 1000.0, 48000.0, kFrames), right = Sine(0.4, 700.0, 48000.0, kFrames);
    auto bad = left;
    bad[kBad] = kNaN;
    KestromProcessor clean = ProcessorAt(48000.0), spoilt = ProcessorAt(48000.0);
    std::vector<double> cleanRight, spoiltRight;
    const auto cleanLeft = RunSignal(clean, Settings(12.0), left, right, kFrames, &cleanRight);
    const auto spoiltLeft = RunSignal(spoilt, Settings(12.0), bad, right, kFrames, &spoiltRight);
    double largestLate = 0.0;
    for (std::size_t i = 0; i < kFrames; ++i) {
        ASSERT_TRUE(std::isfinite(spoiltLeft[i]) && std::isfinite(spoiltRight[i])) << i;
        if (i < kBad) {
            ASSERT_EQ(spoiltLeft[i], cleanLeft[i]) << i;
            ASSERT_EQ(spoiltRight[i], cleanRight[i]) << i;
        } else if (i >= kBad + 24000) {
            largestLate = std::max({largestLate, std::fabs(spoiltLeft[i] - cleanLeft[i]),
                                    std::fabs(spoiltRight[i] - cleanRight[i])});
        }
    }
    EXPECT_LT(largestLate, 1e-6);
    EXPECT_EQ(spoilt.replacedInputSamples, 1);
}

}  // namespace
}  // namespace kestrom
