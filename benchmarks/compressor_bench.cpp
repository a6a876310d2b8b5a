// Speed of KestromProcessor::ProcessBlock in nanoseconds per frame, and for
// each detection mode its floor: the serial chain that mode cannot avoid, on
// the same operations as the processing (see the floors below). The ratio of
// a mode's figure to its own floor says how close its loop is to what its
// serial chain costs.
//
//   compressor_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "compressor/DynamicsSettings.h"
#include "compressor/ExactAtan.h"
#include "compressor/ExactExpLog.h"
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

// The ns/frame counter: CPU time per frame of a 512-frame block.
void CountFrames(benchmark::State& state) {
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(kBlock),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The path ProcessBlock takes: the best this CPU runs unless a case names
// one (the two-lane kernels, to compare with the four-lane ones).
using Path = KestromProcessor::KernelPath;
const char* PathName(Path path) {
    return path == Path::kFourLane ? "four-lane" : path == Path::kTwoLane ? "two-lane" : "plain";
}

void ProcessBlockOnPath(benchmark::State& state, Mode mode, bool stereo, bool spoilt, Path path) {
    const Material& m = spoilt ? SpoiltMaterial() : TheMaterial();
    const KestromSettings settings = SettingsFor(mode);
    KestromProcessor processor;
    processor.Reset(kRate);
    processor.kernelPath = path;
    state.SetLabel(PathName(path));
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
    CountFrames(state);
    // Blocks the kernels ran twice, their first run having met a value to
    // flush; the figures are for the usual case only when this is near 0.
    state.counters["reruns"] = benchmark::Counter(static_cast<double>(processor.kernelReruns),
                                                  benchmark::Counter::kAvgIterations);
}

void ProcessBlock(benchmark::State& state, Mode mode, bool stereo, bool spoilt = false) {
    ProcessBlockOnPath(state, mode, stereo, spoilt, KestromProcessor::BestKernelPath());
}

void ProcessBlockTwoLane(benchmark::State& state, Mode mode) {
    if (KestromProcessor::BestKernelPath() == Path::kPlain) {
        state.SkipWithError("no kernels on this machine");
        return;
    }
    ProcessBlockOnPath(state, mode, true, false, Path::kTwoLane);
}

#if KESTROM_EXACT_EXP_LOG

// The floors. For each mode, the recursions its processing cannot avoid, run
// for the two channels as the two lanes of an SSE2 register with the same
// operations as the kernels in compressor/KestromKernels.cpp (the exact exp
// and log included), each with its real data dependencies. A mode's figure
// over its floor is what its loop costs beyond its serial chain.
//
// normal: the detector hears the previous output, so the whole loop is one
// chain: feedback -> detector blend -> link -> mean square -> square root ->
// peak -> logarithm -> overshoot, ratio -> exponential -> attack/release ->
// gain smoother -> output -> output DC blocker -> feedback. The recursions
// off that loop (input DC blocker, colour stage, meter) are far shorter and
// run beside it; the floor takes their values from a trace of the material.
//
// Negative and Relaxed: no feedback, so only the recursions themselves are
// serial: input DC blocker, mean square (Relaxed), peak follower, colour
// stage (pre-shelf; and the loop lastOutput -> v -> sqrt(v^2 + 1) -> divide
// -> post-shelf -> DC blocker -> lastOutput), attack/release with the gain
// smoother, output DC blocker and meter. What a frame computes that no later
// frame waits for (the detector's square root, the logarithm of the peak,
// overshoot, ratio, Negative's arc tangent and divide, the target gain's
// exponential, the colour stage's u / sqrt(u^2 + 1)) can run several frames
// at a time in a wide pass, so the floor takes it from the trace. Neither
// floor recomputes the release coefficients: they change only when the held
// overshoot grows.

using V = __m128d;

#define FLOOR_INLINE __attribute__((always_inline)) KESTROM_TARGET_FMA inline

FLOOR_INLINE V Splat(double x) { return _mm_set1_pd(x); }
FLOOR_INLINE V Add(V a, V b) { return _mm_add_pd(a, b); }
FLOOR_INLINE V Sub(V a, V b) { return _mm_sub_pd(a, b); }
FLOOR_INLINE V Mul(V a, V b) { return _mm_mul_pd(a, b); }
FLOOR_INLINE V Div(V a, V b) { return _mm_div_pd(a, b); }
FLOOR_INLINE V Select(V mask, V a, V b) { return _mm_blendv_pd(b, a, mask); }
FLOOR_INLINE double Lane0(V v) { return _mm_cvtsd_f64(v); }
FLOOR_INLINE V Frame(const std::vector<double>& v, int frame) { return _mm_loadu_pd(v.data() + 2 * frame); }

FLOOR_INLINE V Flush(V x) {
    const V tiny = _mm_cmplt_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), x), _mm_set1_pd(0x1p-1022));
    if (__builtin_expect(_mm_movemask_pd(tiny) != 0, 0)) x = _mm_andnot_pd(tiny, x);
    return x;
}

struct Section {
    V twoGain, pole, shelf, state;
    KESTROM_TARGET_FMA explicit Section(const kestrom::FirstOrderSection& s)
        : twoGain(Splat(2.0 * s.gainCoef)), pole(Splat(s.pole)), shelf(Splat(s.shelf)), state(Splat(s.state)) {}
};
FLOOR_INLINE V LowPass(Section& s, V x) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    return Flush(s.state);
}
FLOOR_INLINE V HighShelf(Section& s, V x) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    return Flush(Add(Mul(Sub(x, s.state), s.shelf), x));
}

struct Blocker {
    V y = _mm_setzero_pd(), xPrevious = _mm_setzero_pd();
};
FLOOR_INLINE V Block(Blocker& b, V x) {
    b.y = Flush(Sub(Add(Mul(Splat(0.999), b.y), x), b.xPrevious));
    b.xPrevious = x;
    return b.y;
}

// Peak follower: instant rise, release toward the level.
FLOOR_INLINE V Peak(V peak, V level, V coef) {
    const V rising = _mm_cmpgt_pd(level, peak);
    const int risingMask = _mm_movemask_pd(rising);
    if (risingMask == 3) return level;
    const V falling = Add(level, Mul(Sub(peak, level), coef));
    return risingMask == 0 ? falling : Select(rising, level, falling);
}

// Attack (target <= gain) or release of gain and shadow, then the smoother.
struct GainState {
    V gain, shadow;
    Section smoother;
};
struct GainCoefs {
    bool instantAttack;
    V attack, attackShadow, release, releaseShadow;
};
FLOOR_INLINE V GainStep(GainState& g, const GainCoefs& c, V target) {
    const V attack = _mm_cmple_pd(target, g.gain);
    if (c.instantAttack) {
        const int attackMask = _mm_movemask_pd(attack);
        if (attackMask == 3) {
            g.shadow = target;
            g.gain = target;
        } else {
            const V shadow = Add(target, Mul(Sub(g.shadow, target), c.releaseShadow));
            const V gain = Add(target, Mul(Sub(g.gain, target), c.release));
            g.shadow = attackMask == 0 ? shadow : Select(attack, target, shadow);
            g.gain = attackMask == 0 ? gain : Select(attack, target, gain);
        }
    } else {
        g.shadow = Add(target, Mul(Sub(g.shadow, target), Select(attack, c.attackShadow, c.releaseShadow)));
        const V base = Select(attack, g.shadow, target);
        g.gain = Add(base, Mul(Sub(g.gain, base), Select(attack, c.attack, c.release)));
    }
    return g.gain = LowPass(g.smoother, g.gain);
}

// A processor at 48 kHz configured for a mode, its smoothed gains settled.
KestromProcessor Configured(Mode mode) {
    KestromProcessor p;
    p.Reset(kRate);
    const double* none[2] = {nullptr, nullptr};
    for (int block = 0; block < 40; ++block) p.ProcessBlock(none, nullptr, 0, true, SettingsFor(mode));
    return p;
}

KESTROM_TARGET_FMA GainState LoadGain(const kestrom::DynamicsEngine& e) {
    return {Splat(e.gain), Splat(e.gainShadow), Section(e.gainSmoother)};
}

KESTROM_TARGET_FMA GainCoefs LoadGainCoefs(const kestrom::DynamicsEngine& e) {
    // The release coefficients of the release base (held overshoot 0).
    return {e.attackCoef == 0.0 && e.attackShadowCoef == 0.0, Splat(e.attackCoef), Splat(e.attackShadowCoef),
            Splat(std::exp(-1.0 / (e.msRelease * e.releaseBaseMs))),
            Splat(std::exp(-1.0 / (e.msShadow * e.releaseBaseMs)))};
}

// What the recursions take from the work around them, for every frame of the
// material (two values a frame, left and right, except the dither), computed
// once with the plain per-channel processing, detectors linked, no feedback.
struct Trace {
    std::vector<double> pre;     // after input gain, dither and jitter
    std::vector<double> x;       // after the input DC blocker
    std::vector<double> level;   // the detector's root, which the peak follows
    std::vector<double> target;  // the target gain
    std::vector<double> soft;    // the colour stage's u / sqrt(u^2 + 1)
    std::vector<double> audio;   // the colour stage's output
    std::vector<double> dither;
};

Trace MakeTrace(Mode mode) {
    const Material& m = TheMaterial();
    KestromProcessor p = Configured(mode);
    const KestromSettings settings = SettingsFor(mode);
    const double jitterDepth =
        kestrom::DynamicsSettings::Select(settings.inNormal, settings.negative, settings.relaxed).jitterDepth;
    const std::size_t frames = m.left.size();
    Trace t;
    for (std::vector<double>* v : {&t.pre, &t.x, &t.level, &t.target, &t.soft, &t.audio}) v->resize(2 * frames);
    t.dither.resize(frames);
    kestrom::NoiseGenerator* jitter[2] = {&p.jitterNoiseL, &p.jitterNoiseR};
    kestrom::DcBlocker* inputDc[2] = {&p.inputDcL, &p.inputDcR};
    kestrom::DynamicsEngine* engine[2] = {&p.engineL, &p.engineR};
    kestrom::FirstOrderSection preShelf[2] = {p.engineL.color.preShelf, p.engineR.color.preShelf};
    for (std::size_t i = 0; i < frames; ++i) {
        const double d = p.ditherNoise.Next() * 9e-11;
        t.dither[i] = d;
        const double in[2] = {m.left[i], m.right[i]};
        double x[2];
        for (int c = 0; c < 2; ++c) {
            t.pre[2 * i + c] = kestrom::FlushToZero(p.inputGain * in[c] + d) * (1.0 + jitterDepth * jitter[c]->Next());
            x[c] = t.x[2 * i + c] = inputDc[c]->Process(t.pre[2 * i + c]);
        }
        const double v = x[0] < x[1] ? x[1] : x[0];
        for (int c = 0; c < 2; ++c) {
            kestrom::DynamicsEngine& e = *engine[c];
            const double square = v * v;
            e.meanSquare = e.instantSquare ? square : (1.0 - e.averageCoef) * square + e.averageCoef * e.meanSquare;
            const double level = std::sqrt(e.meanSquare);
            e.peak = level > e.peak ? level : level + (e.peak - level) * e.peakCoef;
            const double levelDb = std::log(e.peak) * kestrom::kLogToDb;
            const double over = levelDb > e.thresholdDb ? levelDb - e.thresholdDb : 0.0;
            const double ratio = e.ratio > 0.0 ? e.ratioSlope * over * 0.02 + 1.0 : e.ratio / std::atan(over * 0.1);
            t.level[2 * i + c] = level;
            t.target[2 * i + c] = over > 0.0 ? kestrom::FlushToZero(std::exp(over * (1.0 / ratio - 1.0) * kestrom::kDbToLog)) : 1.0;
            const double u = e.color.drive1 * preShelf[c].Process(e.color.preGain * x[c]);
            t.soft[2 * i + c] = u / std::sqrt(u * u + 1.0);
            t.audio[2 * i + c] = e.color.Process(x[c]);
        }
    }
    return t;
}

const Trace& TraceOf(Mode mode) {
    static const Trace traces[3] = {MakeTrace(kNormal), MakeTrace(kNegative), MakeTrace(kRelaxed)};
    return traces[mode];
}

KESTROM_TARGET_FMA void FloorNormal(benchmark::State& state) {
    if (!kestrom::ExactExpLog::Usable()) {
        state.SkipWithError("no exact two-lane exp and log on this machine");
        return;
    }
    const Trace& trace = TraceOf(kNormal);
    const KestromProcessor p = Configured(kNormal);
    const kestrom::DynamicsEngine& e = p.engineL;
    const KestromSettings settings = SettingsFor(kNormal);
    const double share =
        kestrom::DynamicsSettings::Select(settings.inNormal, settings.negative, settings.relaxed).feedbackShare;
    const V one = Splat(1.0), oneMinusShare = Splat(1.0 - share), shareV = Splat(share),
            feedbackScale = Splat(1.0 / p.outputGainState), oneMinusAverage = Splat(1.0 - e.averageCoef),
            average = Splat(e.averageCoef), peakCoef = Splat(e.peakCoef), threshold = Splat(e.thresholdDb),
            ratioSlope = Splat(e.ratioSlope), outputFactor = Splat(e.outputFactor);
    const bool instantSquare = e.instantSquare;
    const GainCoefs gc = LoadGainCoefs(e);
    GainState g = LoadGain(e);
    V feedback = _mm_setzero_pd(), meanSquare = _mm_setzero_pd(), peak = _mm_setzero_pd();
    Blocker outputDc;
    std::vector<double> out(2 * kBlock);
    int block = 0;
    for (auto _ : state) {
        const int first = block * kBlock;
        for (int i = 0; i < kBlock; ++i) {
            V v = Add(Mul(Frame(trace.x, first + i), oneMinusShare), Mul(feedback, shareV));
            v = _mm_max_pd(_mm_unpackhi_pd(v, v), _mm_unpacklo_pd(v, v));
            const V square = Mul(v, v);
            meanSquare = instantSquare ? square : Add(Mul(oneMinusAverage, square), Mul(average, meanSquare));
            peak = Peak(peak, _mm_sqrt_pd(meanSquare), peakCoef);
            const V levelDb = Mul(kestrom::ExactExpLog::Log(peak), Splat(kestrom::kLogToDb));
            const V over = _mm_cmpgt_pd(levelDb, threshold);
            const int overMask = _mm_movemask_pd(over);
            V target = one;
            if (overMask) {
                const V overshoot = _mm_and_pd(over, Sub(levelDb, threshold));
                const V ratio = Add(Mul(Mul(ratioSlope, overshoot), Splat(0.02)), one);
                const V argument = Mul(Mul(overshoot, Sub(Div(one, ratio), one)), Splat(kestrom::kDbToLog));
                target = overMask == 3 ? Flush(kestrom::ExactExpLog::Exp(argument))
                                       : Select(over, Flush(kestrom::ExactExpLog::Exp(Select(over, argument, Splat(-1.0)))), one);
            }
            const V gain = GainStep(g, gc, target);
            const V y = Flush(Mul(Mul(gain, Frame(trace.audio, first + i)), outputFactor));
            const V output = Block(outputDc, Sub(y, Splat(trace.dither[first + i])));
            _mm_storeu_pd(out.data() + 2 * i, output);
            feedback = Mul(output, feedbackScale);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        block = block + 1 == kBlocks ? 0 : block + 1;
    }
    CountFrames(state);
}

template <Mode kMode>
KESTROM_TARGET_FMA void FloorOpenLoop(benchmark::State& state) {
    if (!kestrom::ExactExpLog::Usable()) {
        state.SkipWithError("no exact two-lane exp and log on this machine");
        return;
    }
    const Trace& trace = TraceOf(kMode);
    const KestromProcessor p = Configured(kMode);
    const kestrom::DynamicsEngine& e = p.engineL;
    const kestrom::ColorStage& color = e.color;
    const V one = Splat(1.0), oneMinusAverage = Splat(1.0 - e.averageCoef), average = Splat(e.averageCoef),
            peakCoef = Splat(e.peakCoef), outputFactor = Splat(e.outputFactor), preGain = Splat(color.preGain),
            postGain = Splat(color.postGain), drive2 = Splat(color.drive2), asymmetry = Splat(color.asymmetry);
    const bool instantSquare = e.instantSquare;
    const GainCoefs gc = LoadGainCoefs(e);
    GainState g = LoadGain(e);
    Section preShelf(color.preShelf), postShelf(color.postShelf);
    Blocker inputDc, colorDc, outputDc;
    V meanSquare = _mm_setzero_pd(), peak = _mm_setzero_pd(), lastOutput = _mm_setzero_pd();
    double meterState = 0.0, meterLevel = 0.0;
    std::vector<double> out(2 * kBlock), squares(2 * kBlock), peaks(2 * kBlock);
    int block = 0;
    for (auto _ : state) {
        const int first = block * kBlock;
        for (int i = 0; i < kBlock; ++i) {
            const int frame = first + i;
            const V x = Block(inputDc, Frame(trace.pre, frame));
            if (!instantSquare) {
                const V v = _mm_max_pd(_mm_unpackhi_pd(x, x), _mm_unpacklo_pd(x, x));
                meanSquare = Add(Mul(oneMinusAverage, Mul(v, v)), Mul(average, meanSquare));
                _mm_storeu_pd(squares.data() + 2 * i, meanSquare);
            }
            peak = Peak(peak, Frame(trace.level, frame), peakCoef);
            _mm_storeu_pd(peaks.data() + 2 * i, peak);

            const V w = Mul(Mul(drive2, HighShelf(preShelf, Mul(preGain, x))), lastOutput);
            const V shaped = Sub(Frame(trace.soft, frame), Mul(Div(w, _mm_sqrt_pd(Add(Mul(w, w), one))), asymmetry));
            lastOutput = Flush(Mul(postGain, Block(colorDc, HighShelf(postShelf, shaped))));

            const V gain = GainStep(g, gc, Frame(trace.target, frame));
            const V y = Flush(Mul(Mul(gain, lastOutput), outputFactor));
            _mm_storeu_pd(out.data() + 2 * i, Block(outputDc, Sub(y, Splat(trace.dither[frame]))));

            const double lp = std::fabs(Lane0(gain)) * 2.0 * p.meterFilterGain + p.meterFilterPole * meterState;
            meterState = lp;
            meterLevel = kestrom::FlushToZero(lp + (meterLevel - lp) * (lp > meterLevel ? p.meterRise : p.meterFall));
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(squares.data());
        benchmark::DoNotOptimize(peaks.data());
        benchmark::DoNotOptimize(meterLevel);
        benchmark::ClobberMemory();
        block = block + 1 == kBlocks ? 0 : block + 1;
    }
    CountFrames(state);
}

#endif  // KESTROM_EXACT_EXP_LOG

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
    CountFrames(state);
}

// The arc tangent of the Negative curve alone: 512 arguments spread over
// 0.001 .. 20, through std::atan and through the exact two- and four-lane
// forms; ns per value.
const std::vector<double>& AtanArguments() {
    static const std::vector<double> x = [] {
        std::vector<double> v(kBlock);
        for (int i = 0; i < kBlock; ++i) v[i] = 0.001 + (20.0 - 0.001) * ((i * 389) % kBlock) / (kBlock - 1.0);
        return v;
    }();
    return x;
}

void CountValues(benchmark::State& state) {
    state.counters["ns/value"] =
        benchmark::Counter(static_cast<double>(kBlock),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// width 1: std::atan; 2, 4 or 8: ExactAtan's lanes at that width.
void Atan(benchmark::State& state, int width) {
    const std::vector<double>& x = AtanArguments();
    std::vector<double> y(x.size());
    if (width > 1 && !kestrom::ExactAtan::Usable()) state.SkipWithError("ExactAtan not usable here");
    for (auto _ : state) {
        if (width == 1)
            for (std::size_t i = 0; i < x.size(); ++i) y[i] = std::atan(x[i]);
        else
            kestrom::ExactAtan::AtanArray(x.data(), y.data(), x.size(), width);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    CountValues(state);
}

// The exact exp and log alone over 512 values in the ranges the processing
// meets (gain targets, peak levels), in ns per value, at each width.
template <bool kExp>
void ExactMaths(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    std::vector<double> x(kBlock), y(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        const double u = (i * 0.6180339887498949) - std::floor(i * 0.6180339887498949);
        x[i] = kExp ? -6.0 * u : 0.05 + 1.5 * u;
    }
    for (auto _ : state) {
        if (width == 1)
            for (int i = 0; i < kBlock; ++i) y[i] = kExp ? std::exp(x[i]) : std::log(x[i]);
        else if (kExp)
            kestrom::ExactExpLog::ExpArray(x.data(), y.data(), kBlock, width);
        else
            kestrom::ExactExpLog::LogArray(x.data(), y.data(), kBlock, width);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    CountValues(state);
    state.SetLabel(width == 1 ? "libm" : width == 2 ? "two lanes" : width == 4 ? "four lanes" : "eight lanes");
}

}  // namespace

BENCHMARK_CAPTURE(Atan, libm, 1)->Name("Atan/libm");
BENCHMARK_CAPTURE(Atan, exact2, 2)->Name("Atan/exact2");
BENCHMARK_CAPTURE(Atan, exact4, 4)->Name("Atan/exact4");
BENCHMARK_CAPTURE(Atan, exact8, 8)->Name("Atan/exact8");
BENCHMARK(InputScan)->Name("InputScan/stereo");
BENCHMARK_TEMPLATE(ExactMaths, true)->Name("Exp")->Arg(1)->Arg(2)->Arg(4)->Arg(8);
BENCHMARK_TEMPLATE(ExactMaths, false)->Name("Log")->Arg(1)->Arg(2)->Arg(4)->Arg(8);
#if KESTROM_EXACT_EXP_LOG
BENCHMARK(FloorNormal)->Name("Floor/normal/stereo");
BENCHMARK_TEMPLATE(FloorOpenLoop, kNegative)->Name("Floor/negative/stereo");
BENCHMARK_TEMPLATE(FloorOpenLoop, kRelaxed)->Name("Floor/relaxed/stereo");
#endif
BENCHMARK_CAPTURE(ProcessBlock, normal/stereo, kNormal, true);
BENCHMARK_CAPTURE(ProcessBlock, negative/stereo, kNegative, true);
BENCHMARK_CAPTURE(ProcessBlock, relaxed/stereo, kRelaxed, true);
BENCHMARK_CAPTURE(ProcessBlock, normal/mono, kNormal, false);
BENCHMARK_CAPTURE(ProcessBlock, negative/mono, kNegative, false);
BENCHMARK_CAPTURE(ProcessBlock, relaxed/mono, kRelaxed, false);
BENCHMARK_CAPTURE(ProcessBlock, normal/stereo/nan-every-block, kNormal, true, true);
BENCHMARK_CAPTURE(ProcessBlockTwoLane, negative/stereo/two-lane, kNegative);
BENCHMARK_CAPTURE(ProcessBlockTwoLane, relaxed/stereo/two-lane, kRelaxed);

BENCHMARK_MAIN();
