// Speed of KestromProcessor::ProcessBlock in nanoseconds per frame, and the
// "floor": the bare serial chain one sample of the feedback mode cannot avoid
// (feedback -> detector filter -> mean square -> square root -> peak ->
// logarithm -> exponential -> gain smoothing -> output -> DC blocker ->
// feedback), run for two channels with its real data dependencies. The ratio
// of a mode's figure to the floor says how close its loop is to what its
// maths costs.
//
//   compressor_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "compressor/FiniteInput.h"
#include "compressor/KestromProcessor.h"
#include "core/Decibels.h"

namespace {

using kestrom::KestromProcessor;
using kestrom::KestromSettings;

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kBlocks = 188;  // about 2 s of material, cycled
constexpr double kPi = 3.141592653589793;

// Two seconds of a busy stereo mix: a kick every 0.25 s, a bass line, a
// pad and some noise, peaking near full scale, so the compressor works all
// the time and its release and attack both run.
struct Material {
    std::vector<double> left, right;
    Material() : left(kBlock * kBlocks), right(kBlock * kBlocks) {
        std::uint32_t seed = 12345;
        auto noise = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        };
        for (std::size_t i = 0; i < left.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double beat = std::fmod(t, 0.25);
            const double kick = 0.8 * std::exp(-beat * 30.0) * std::sin(2.0 * kPi * 55.0 * beat * (1.0 + 2.0 * std::exp(-beat * 40.0)));
            const double bass = 0.25 * std::sin(2.0 * kPi * 82.4 * t) * (0.6 + 0.4 * std::sin(2.0 * kPi * 0.5 * t));
            const double pad = 0.1 * std::sin(2.0 * kPi * 440.0 * t + 0.3 * std::sin(2.0 * kPi * 3.0 * t));
            left[i] = kick + bass + pad + 0.02 * noise();
            right[i] = kick + 0.8 * bass - pad + 0.02 * noise();
        }
    }
};

const Material& TheMaterial() {
    static const Material material;
    return material;
}

// The same material with a NaN in the left channel of every block, so every
// block takes the repair path (the block copied in pieces, the NaN made 0).
const Material& SpoiltMaterial() {
    static const Material material = [] {
        Material m = TheMaterial();
        for (int block = 0; block < kBlocks; ++block) m.left[block * kBlock + 100] = std::nan("");
        return m;
    }();
    return material;
}

enum Mode { kNormal, kNegative, kRelaxed };

KestromSettings SettingsFor(Mode mode) {
    const double in = 6.0;
    return KestromSettings::FromParameters(in, 0.0, (in + 20.0) / 40.0, 0.0, mode == kRelaxed ? 1.0 : 0.0,
                                           0.0, mode == kNegative ? 1.0 : 0.0, 1.0);
}

void ProcessBlock(benchmark::State& state, Mode mode, bool stereo, bool spoilt = false) {
    const Material& m = spoilt ? SpoiltMaterial() : TheMaterial();
    const KestromSettings settings = SettingsFor(mode);
    KestromProcessor processor;
    processor.Reset(kRate);
    std::vector<double> outL(kBlock), outR(kBlock);
    double* outputs[2] = {outL.data(), outR.data()};
    int block = 0;
    for (auto _ : state) {
        const double* inputs[2] = {m.left.data() + block * kBlock, m.right.data() + block * kBlock};
        processor.ProcessBlock(inputs, outputs, kBlock, stereo, settings);
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
        block = block + 1 == kBlocks ? 0 : block + 1;
    }
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(kBlock),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One channel of the floor chain. The coefficients are the ones a processor
// at 48 kHz derives for the normal mode, with a Deep-style low-pass as the
// detector filter.
struct FloorLane {
    double feedback = 0.0, filter = 0.0, meanSquare = 0.0, peak = 0.0;
    double gain = 1.0, shadow = 1.0, smoother = 0.0, dcY = 0.0, dcX = 0.0;
};

struct FloorCoefs {
    double share, filterGain, filterPole, average, peak, threshold, slope;
    double attack, attackShadow, release, smootherGain, smootherPole, outputFactor, feedbackScale;
};

inline double FloorStep(FloorLane& s, const FloorCoefs& c, double x) {
    const double v = x * (1.0 - c.share) + s.feedback * c.share;
    s.filter = 2.0 * c.filterGain * v + c.filterPole * s.filter;
    s.meanSquare = (1.0 - c.average) * (s.filter * s.filter) + c.average * s.meanSquare;
    const double level = std::sqrt(s.meanSquare);
    s.peak = level > s.peak ? level : level + (s.peak - level) * c.peak;
    const double levelDb = std::log(s.peak) * kestrom::kLogToDb;
    const double over = levelDb > c.threshold ? levelDb - c.threshold : 0.0;
    const double target = std::exp(over * (1.0 / (c.slope * over * 0.02 + 1.0) - 1.0) * kestrom::kDbToLog);
    if (target <= s.gain) {
        s.shadow = target + (s.shadow - target) * c.attackShadow;
        s.gain = s.shadow + (s.gain - s.shadow) * c.attack;
    } else {
        s.gain = target + (s.gain - target) * c.release;
    }
    s.smoother = 2.0 * c.smootherGain * s.gain + c.smootherPole * s.smoother;
    s.gain = s.smoother;
    const double y = s.gain * x * c.outputFactor;
    s.dcY = 0.999 * s.dcY + y - s.dcX;
    s.dcX = y;
    s.feedback = s.dcY * c.feedbackScale;
    return s.dcY;
}

void Floor(benchmark::State& state) {
    const Material& m = TheMaterial();
    KestromProcessor p;
    p.Reset(kRate);
    KestromSettings deep = SettingsFor(kNormal);
    deep.deep = true;
    const double* none[2] = {nullptr, nullptr};
    p.ProcessBlock(none, nullptr, 0, true, deep);
    const kestrom::DynamicsEngine& e = p.engineL;
    FloorCoefs c{0.3,
                 p.detectorFilterL.lowPass.gainCoef,
                 p.detectorFilterL.lowPass.pole,
                 e.averageCoef,
                 e.peakCoef,
                 e.thresholdDb,
                 e.ratioSlope,
                 e.attackCoef,
                 e.attackShadowCoef,
                 std::exp(-1.0 / (e.msRelease * e.releaseBaseMs)),
                 e.gainSmoother.gainCoef,
                 e.gainSmoother.pole,
                 e.outputFactor,
                 1.0};
    FloorLane left, right;
    std::vector<double> outL(kBlock), outR(kBlock);
    int block = 0;
    for (auto _ : state) {
        const double* inL = m.left.data() + block * kBlock;
        const double* inR = m.right.data() + block * kBlock;
        for (int i = 0; i < kBlock; ++i) {
            outL[i] = FloorStep(left, c, inL[i]);
            outR[i] = FloorStep(right, c, inR[i]);
        }
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
        block = block + 1 == kBlocks ? 0 : block + 1;
    }
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(kBlock),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The screening of both channels of a block for infinities and NaNs that
// every ProcessBlock does first, alone.
void InputScan(benchmark::State& state) {
    const Material& m = TheMaterial();
    int block = 0;
    for (auto _ : state) {
        const bool finite = kestrom::AllFinite(m.left.data() + block * kBlock, kBlock) &&
                            kestrom::AllFinite(m.right.data() + block * kBlock, kBlock);
        benchmark::DoNotOptimize(finite);
        block = block + 1 == kBlocks ? 0 : block + 1;
    }
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(kBlock),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(InputScan)->Name("InputScan/stereo");
BENCHMARK(Floor)->Name("Floor/stereo");
BENCHMARK_CAPTURE(ProcessBlock, normal/stereo, kNormal, true);
BENCHMARK_CAPTURE(ProcessBlock, negative/stereo, kNegative, true);
BENCHMARK_CAPTURE(ProcessBlock, relaxed/stereo, kRelaxed, true);
BENCHMARK_CAPTURE(ProcessBlock, normal/mono, kNormal, false);
BENCHMARK_CAPTURE(ProcessBlock, negative/mono, kNegative, false);
BENCHMARK_CAPTURE(ProcessBlock, relaxed/mono, kRelaxed, false);
BENCHMARK_CAPTURE(ProcessBlock, normal/stereo/nan-every-block, kNormal, true, true);

BENCHMARK_MAIN();
