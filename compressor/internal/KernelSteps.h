#pragma once

// The steps the compressor's kernels are built from (KestromKernels.cpp and
// the feedback and open-loop kernels): the per-block constants and states
// of both channels as the two lanes of an SSE2 register, and the processing
// of one frame in pieces, each the same IEEE operations on the same operands
// as the plain per-sample path. Internal to the compressor.
#include <cmath>
#include <cstdint>

#include "compressor/ExactExpLog.h"
#include "compressor/FlushToZero.h"
#include "compressor/KestromProcessor.h"
#include "compressor/NoiseGenerator.h"
#include "core/Decibels.h"

#if KESTROM_EXACT_EXP_LOG

namespace kestrom {
namespace kernels {

// Same constants as the plain path.
constexpr double kDitherDepth = 9e-11;

// Bounds under which the kernels are used. With |input| <= 1e30 and gains
// and states bounded by 1e10 and 1e60, the largest intermediate (a square
// of a state in the colour stage or detector) stays far below 1e308.
constexpr double kInputLimit = 1e30;
constexpr double kGainLimit = 1e10;
constexpr double kStateLimit = 1e60;

using V = __m128d;

// The kernels' helpers are always expanded in place, so that the states stay
// in registers across a whole frame.
#define KESTROM_KERNEL_INLINE __attribute__((always_inline)) KESTROM_TARGET_FMA inline

KESTROM_KERNEL_INLINE V Set(double left, double right) { return _mm_set_pd(right, left); }
KESTROM_KERNEL_INLINE V Splat(double x) { return _mm_set1_pd(x); }
KESTROM_KERNEL_INLINE double Lane0(V v) { return _mm_cvtsd_f64(v); }
KESTROM_KERNEL_INLINE double Lane1(V v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
// The lane operations, at either width; Select(mask, a, b) is mask ? a : b.
using lanes::Add;
using lanes::And;
using lanes::AndNot;
using lanes::Div;
using lanes::Greater;
using lanes::Less;
using lanes::LoadAligned;
using lanes::Mul;
using lanes::Select;
using lanes::Splat;
using lanes::Sqrt;
using lanes::Store;
using lanes::Sub;

// FlushToZero on both lanes: |x| below the smallest normal number (a zero
// exponent field) gives +0.0; NaN compares false and passes, like the rest.
// Two ways to run it:
//   checked (kNoted false): the test steers a well-predicted branch and the
//     value itself goes on without waiting for it;
//   noted (kNoted true): the value goes on unflushed and only its magnitude
//     is kept, the smallest in `smallest`. A kernel run this way is valid
//     only if nothing it noted was below the smallest normal number (every
//     flush then was an identity); otherwise it stores nothing and the block
//     is run again checked. Subnormal values and zeros at these points are
//     rare in audio with dither, and the branches a checked run takes cost
//     about a third of the open-loop kernels' time.
template <bool kNoted>
KESTROM_KERNEL_INLINE V Flush(V x, V& smallest) {
    const V magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), x);
    if (kNoted) {
        smallest = _mm_min_pd(smallest, magnitude);
        return x;
    }
    const V tiny = _mm_cmplt_pd(magnitude, _mm_set1_pd(0x1p-1022));
    if (__builtin_expect(_mm_movemask_pd(tiny) != 0, 0)) x = _mm_andnot_pd(tiny, x);
    return x;
}
// Whether a noted run saw only normal magnitudes (NaN counts as not).
KESTROM_KERNEL_INLINE bool OnlyNormal(V smallest) {
    return _mm_movemask_pd(_mm_cmpge_pd(smallest, _mm_set1_pd(0x1p-1022))) == 3;
}

// One-pole section step: state = (2 * gainCoef) * x + pole * state. The plain
// path multiplies 2.0 * gainCoef * x left to right, so hoisting 2 * gainCoef
// (an exact doubling) keeps every rounding.
struct Section {
    V twoGain, pole, shelf, state, output;
};

struct Lanes {
    bool stereo;
    KESTROM_KERNEL_INLINE V Load(double left, double right) const { return Set(left, stereo ? right : left); }
    KESTROM_KERNEL_INLINE void Store(V v, double& left, double& right) const {
        left = Lane0(v);
        if (stereo) right = Lane1(v);
    }
    KESTROM_KERNEL_INLINE Section LoadSection(const FirstOrderSection& l, const FirstOrderSection& r) const {
        return {Load(2.0 * l.gainCoef, 2.0 * r.gainCoef), Load(l.pole, r.pole), Load(l.shelf, r.shelf),
                Load(l.state, r.state), Load(l.output, r.output)};
    }
    KESTROM_KERNEL_INLINE void StoreSection(const Section& s, FirstOrderSection& l, FirstOrderSection& r) const {
        Store(s.state, l.state, r.state);
        Store(s.output, l.output, r.output);
    }
};

template <bool kNoted>
KESTROM_KERNEL_INLINE V LowPass(Section& s, V x, V& smallest) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    s.output = Flush<kNoted>(s.state, smallest);
    return s.output;
}
template <bool kNoted>
KESTROM_KERNEL_INLINE V HighPass(Section& s, V x, V& smallest) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    s.output = Flush<kNoted>(Sub(x, s.state), smallest);
    return s.output;
}
template <bool kNoted>
KESTROM_KERNEL_INLINE V HighShelf(Section& s, V x, V& smallest) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    s.output = Flush<kNoted>(Add(Mul(Sub(x, s.state), s.shelf), x), smallest);
    return s.output;
}

// DC blocker: y = 0.999 * y + x - xPrevious, flushed.
struct Blocker {
    V y, xPrevious;
};
template <bool kNoted>
KESTROM_KERNEL_INLINE V Block(Blocker& b, V x, V& smallest) {
    b.y = Flush<kNoted>(Sub(Add(Mul(Splat(0.999), b.y), x), b.xPrevious), smallest);
    b.xPrevious = x;
    return b.y;
}

struct KernelPlan {
    double inputGain;
    double jitterDepth;
    double share;
    double feedbackScale;
    double bypassTarget;
    bool linked;
};

inline bool Bounded(double x, double limit) { return std::fabs(x) <= limit; }  // false for NaN

// Per-block constants of both lanes.
struct Coefs {
    bool stereo, linked, highPassOn, lowPassOn, instantSquare;
    // Power on and the dry share already exactly 0: it stays 0 for the whole
    // block (0.05 * 0 + 0), and y * (1 - 0) + dry * 0 is y up to the sign of
    // a zero, which the flush that follows removes.
    bool bypassIdle;
    // Attack time 0 (normal and Negative): both attack coefficients are 0, so
    // an attack step sets shadow and gain to the target exactly (target +
    // finite * 0 is the target; the target is never -0).
    bool instantAttack;
    double jitterDepth, bypassTarget, ratioL, ratioR;
    V inputGain, oneMinusShare, share, feedbackScale, oneMinusAverage, averageCoef, peakCoef, threshold,
        ratioSlope, ratio, msRelease, msShadow, attackCoef, attackShadowCoef, releaseSlope, releaseBase,
        outputFactor, preGain, postGain, drive1, drive2, asymmetry;
};

// The states of both lanes, held in registers (or the kernel's stack) for a
// block.
struct State {
    Blocker inDc, outDc, colorDc;
    Section highPass, lowPass, smoother, preShelf, postShelf;
    V feedback, lastOutput, meanSquare, peak, held, gain, gainShadow, releaseCoef, releaseShadowCoef, y;
    // The smallest magnitudes a noted run let pass unflushed (see Flush):
    // one for the values of each chain (input and detector, the colour
    // stage's loop, gain and output), so that each minimum follows its own
    // chain and none waits for another.
    V smallestIn, smallestColour, smallestOut;
    KESTROM_KERNEL_INLINE V Smallest() const { return _mm_min_pd(smallestIn, _mm_min_pd(smallestColour, smallestOut)); }
    // The release time the release coefficients were computed for, and
    // all ones in a lane where they were computed at all.
    V cachedMs, cachedMask;
    double bypassMix;
    NoiseGenerator dither, jitterL, jitterR;
    // The meter's state and coefficients, as in KestromProcessor::UpdateMeter,
    // held here so that the output stores (which may alias the processor's
    // fields) do not send them through memory every frame.
    double meterGain, meterPole, meterState, meterRise, meterFall, meterLevel;
};

// The right-hand objects: the right channel's in stereo, the left's in mono
// (whose lane 1 only mirrors lane 0 and is never stored).
struct Channels {
    KestromProcessor& p;
    bool stereo;
    DynamicsEngine& eR() const { return stereo ? p.engineR : p.engineL; }
    DcBlocker& inDcR() const { return stereo ? p.inputDcR : p.inputDcL; }
    DcBlocker& outDcR() const { return stereo ? p.outputDcR : p.outputDcL; }
    DetectorFilter& detR() const { return stereo ? p.detectorFilterR : p.detectorFilterL; }
    double& feedbackR() const { return stereo ? p.feedbackR : p.feedbackL; }
};

KESTROM_KERNEL_INLINE Coefs LoadCoefs(const Channels& c, const KernelPlan& plan) {
    const Lanes lanes{c.stereo};
    const DynamicsEngine& eL = c.p.engineL;
    const DynamicsEngine& eR = c.eR();
    Coefs k;
    k.stereo = c.stereo;
    k.linked = c.stereo && plan.linked;
    k.highPassOn = c.p.detectorFilterL.highPassOn;
    k.lowPassOn = c.p.detectorFilterL.lowPassOn;
    k.instantSquare = eL.instantSquare;
    k.bypassIdle = c.p.bypassMix == 0.0 && plan.bypassTarget == 0.0;
    k.instantAttack = eL.attackCoef == 0.0 && eL.attackShadowCoef == 0.0 && eR.attackCoef == 0.0 &&
                      eR.attackShadowCoef == 0.0;
    k.jitterDepth = plan.jitterDepth;
    k.bypassTarget = plan.bypassTarget;
    k.ratioL = eL.ratio;
    k.ratioR = eR.ratio;
    k.inputGain = Splat(plan.inputGain);
    k.oneMinusShare = Splat(1.0 - plan.share);
    k.share = Splat(plan.share);
    k.feedbackScale = Splat(plan.feedbackScale);
    k.oneMinusAverage = lanes.Load(1.0 - eL.averageCoef, 1.0 - eR.averageCoef);
    k.averageCoef = lanes.Load(eL.averageCoef, eR.averageCoef);
    k.peakCoef = lanes.Load(eL.peakCoef, eR.peakCoef);
    k.threshold = lanes.Load(eL.thresholdDb, eR.thresholdDb);
    k.ratioSlope = lanes.Load(eL.ratioSlope, eR.ratioSlope);
    k.ratio = lanes.Load(eL.ratio, eR.ratio);
    k.msRelease = lanes.Load(eL.msRelease, eR.msRelease);
    k.msShadow = lanes.Load(eL.msShadow, eR.msShadow);
    k.attackCoef = lanes.Load(eL.attackCoef, eR.attackCoef);
    k.attackShadowCoef = lanes.Load(eL.attackShadowCoef, eR.attackShadowCoef);
    k.releaseSlope = lanes.Load(eL.releaseSlope, eR.releaseSlope);
    k.releaseBase = lanes.Load(eL.releaseBaseMs, eR.releaseBaseMs);
    k.outputFactor = lanes.Load(eL.outputFactor, eR.outputFactor);
    k.preGain = lanes.Load(eL.color.preGain, eR.color.preGain);
    k.postGain = lanes.Load(eL.color.postGain, eR.color.postGain);
    k.drive1 = lanes.Load(eL.color.drive1, eR.color.drive1);
    k.drive2 = lanes.Load(eL.color.drive2, eR.color.drive2);
    k.asymmetry = lanes.Load(eL.color.asymmetry, eR.color.asymmetry);
    return k;
}

KESTROM_KERNEL_INLINE State LoadState(const Channels& c) {
    const Lanes lanes{c.stereo};
    KestromProcessor& p = c.p;
    const DynamicsEngine& eL = p.engineL;
    const DynamicsEngine& eR = c.eR();
    State s;
    s.inDc = {lanes.Load(p.inputDcL.y, c.inDcR().y), lanes.Load(p.inputDcL.xPrevious, c.inDcR().xPrevious)};
    s.outDc = {lanes.Load(p.outputDcL.y, c.outDcR().y), lanes.Load(p.outputDcL.xPrevious, c.outDcR().xPrevious)};
    s.colorDc = {lanes.Load(eL.color.dcBlocker.y, eR.color.dcBlocker.y),
                 lanes.Load(eL.color.dcBlocker.xPrevious, eR.color.dcBlocker.xPrevious)};
    s.highPass = lanes.LoadSection(p.detectorFilterL.highPass, c.detR().highPass);
    s.lowPass = lanes.LoadSection(p.detectorFilterL.lowPass, c.detR().lowPass);
    s.smoother = lanes.LoadSection(eL.gainSmoother, eR.gainSmoother);
    s.preShelf = lanes.LoadSection(eL.color.preShelf, eR.color.preShelf);
    s.postShelf = lanes.LoadSection(eL.color.postShelf, eR.color.postShelf);
    s.feedback = lanes.Load(p.feedbackL, c.feedbackR());
    s.lastOutput = lanes.Load(eL.color.lastOutput, eR.color.lastOutput);
    s.meanSquare = lanes.Load(eL.meanSquare, eR.meanSquare);
    s.peak = lanes.Load(eL.peak, eR.peak);
    s.held = lanes.Load(eL.heldOvershootDb, eR.heldOvershootDb);
    s.gain = lanes.Load(eL.gain, eR.gain);
    s.gainShadow = lanes.Load(eL.gainShadow, eR.gainShadow);
    s.releaseCoef = lanes.Load(eL.releaseCoef, eR.releaseCoef);
    s.releaseShadowCoef = lanes.Load(eL.releaseShadowCoef, eR.releaseShadowCoef);
    s.y = _mm_setzero_pd();
    s.smallestIn = s.smallestColour = s.smallestOut = _mm_set1_pd(HUGE_VAL);
    s.cachedMs = lanes.Load(eL.cachedReleaseMs, eR.cachedReleaseMs);
    // eR() is the left engine in mono, whose lane 1 mirrors lane 0.
    s.cachedMask = _mm_castsi128_pd(_mm_set_epi64x(-static_cast<std::int64_t>(eR.releaseCached),
                                                   -static_cast<std::int64_t>(eL.releaseCached)));
    s.bypassMix = p.bypassMix;
    s.dither = p.ditherNoise;
    s.jitterL = p.jitterNoiseL;
    s.jitterR = p.jitterNoiseR;
    s.meterGain = p.meterFilterGain;
    s.meterPole = p.meterFilterPole;
    s.meterState = p.meterFilterState;
    s.meterRise = p.meterRise;
    s.meterFall = p.meterFall;
    s.meterLevel = p.meterLevel;
    return s;
}

KESTROM_KERNEL_INLINE void StoreState(const Channels& c, const State& s) {
    const Lanes lanes{c.stereo};
    KestromProcessor& p = c.p;
    DynamicsEngine& eL = p.engineL;
    DynamicsEngine& eR = c.eR();
    lanes.Store(s.inDc.y, p.inputDcL.y, c.inDcR().y);
    lanes.Store(s.inDc.xPrevious, p.inputDcL.xPrevious, c.inDcR().xPrevious);
    lanes.Store(s.outDc.y, p.outputDcL.y, c.outDcR().y);
    lanes.Store(s.outDc.xPrevious, p.outputDcL.xPrevious, c.outDcR().xPrevious);
    lanes.Store(s.colorDc.y, eL.color.dcBlocker.y, eR.color.dcBlocker.y);
    lanes.Store(s.colorDc.xPrevious, eL.color.dcBlocker.xPrevious, eR.color.dcBlocker.xPrevious);
    if (p.detectorFilterL.highPassOn) lanes.StoreSection(s.highPass, p.detectorFilterL.highPass, c.detR().highPass);
    if (p.detectorFilterL.lowPassOn) lanes.StoreSection(s.lowPass, p.detectorFilterL.lowPass, c.detR().lowPass);
    lanes.StoreSection(s.smoother, eL.gainSmoother, eR.gainSmoother);
    lanes.StoreSection(s.preShelf, eL.color.preShelf, eR.color.preShelf);
    lanes.StoreSection(s.postShelf, eL.color.postShelf, eR.color.postShelf);
    lanes.Store(s.feedback, p.feedbackL, c.feedbackR());
    lanes.Store(s.lastOutput, eL.color.lastOutput, eR.color.lastOutput);
    lanes.Store(s.meanSquare, eL.meanSquare, eR.meanSquare);
    lanes.Store(s.peak, eL.peak, eR.peak);
    lanes.Store(s.held, eL.heldOvershootDb, eR.heldOvershootDb);
    lanes.Store(s.gain, eL.gain, eR.gain);
    lanes.Store(s.gainShadow, eL.gainShadow, eR.gainShadow);
    lanes.Store(s.releaseCoef, eL.releaseCoef, eR.releaseCoef);
    lanes.Store(s.releaseShadowCoef, eL.releaseShadowCoef, eR.releaseShadowCoef);
    lanes.Store(s.cachedMs, eL.cachedReleaseMs, eR.cachedReleaseMs);
    const int cached = _mm_movemask_pd(s.cachedMask);
    eL.releaseCached = (cached & 1) != 0;
    if (c.stereo) eR.releaseCached = (cached & 2) != 0;
    p.bypassMix = s.bypassMix;
    p.ditherNoise = s.dither;
    p.jitterNoiseL = s.jitterL;
    p.jitterNoiseR = s.jitterR;
    p.meterFilterState = s.meterState;
    p.meterLevel = s.meterLevel;
    // The kernels run only for blocks of at least one frame, after which the
    // meter's value is its level.
    p.meterValue = s.meterLevel;
}

// n steps of a noise generator at once: x -> (a x + c) mod m composed n
// times, by squaring (the same values as n calls of Next).
inline NoiseGenerator Advanced(NoiseGenerator g, int n) {
    constexpr std::int64_t m = NoiseGenerator::kModulus;
    std::int64_t a = NoiseGenerator::kMultiplier, c = NoiseGenerator::kIncrement;  // the map of one step
    std::int64_t seed = g.seed;
    for (; n > 0; n >>= 1) {
        if (n & 1) seed = (a * seed + c) % m;
        c = (a * c + c) % m;  // the map applied twice
        a = (a * a) % m;
    }
    g.seed = static_cast<std::int32_t>(seed);
    return g;
}

// One step of the generator's map, as composed for a vector step (see
// NoiseDraws):
// s -> (A s + C) mod m, every operation exact in doubles.
struct NoiseMap {
    std::int64_t a, c;
    // This map applied twice: s -> a (a s + c) + c.
    constexpr NoiseMap Twice() const {
        return {a * a % NoiseGenerator::kModulus, (a * c + c) % NoiseGenerator::kModulus};
    }
};
struct NoiseLanes {
    __m256d a, c, modulus, inverse;
    KESTROM_KERNEL_INLINE NoiseLanes(NoiseMap map)
        : a(_mm256_set1_pd(static_cast<double>(map.a))),
          c(_mm256_set1_pd(static_cast<double>(map.c))),
          modulus(_mm256_set1_pd(static_cast<double>(NoiseGenerator::kModulus))),
          inverse(_mm256_set1_pd(1.0 / static_cast<double>(NoiseGenerator::kModulus))) {}
    KESTROM_KERNEL_INLINE __m256d Step(__m256d seed) const {
        const __m256d p = _mm256_fmadd_pd(a, seed, c);  // exact: an integer below 2^53
        const __m256d q = _mm256_floor_pd(_mm256_mul_pd(p, inverse));
        const __m256d r = _mm256_fnmadd_pd(q, modulus, p);  // exact
        return _mm256_blendv_pd(r, _mm256_sub_pd(r, modulus), _mm256_cmp_pd(r, modulus, _CMP_GE_OQ));
    }
};

// The value Next() returns for a seed: 1 - s * 2 * (1/m).
KESTROM_KERNEL_INLINE __m256d NoiseValues(__m256d seed) {
    // 7.144490169181527e-6 = 1/139968, as in NoiseGenerator::Next.
    static_assert(NoiseGenerator::kModulus == 139968, "NoiseValues scales by 1/139968");
    return _mm256_sub_pd(_mm256_set1_pd(1.0),
                         _mm256_mul_pd(_mm256_mul_pd(seed, _mm256_set1_pd(2.0)), _mm256_set1_pd(7.144490169181527e-6)));
}

// The generator's draws, many at a time: the seeds go through doubles, in
// which every step is exact. Lane k of a vector holds the seed of draw j + k,
// and the map composed r times is s -> (A s + C) mod m with A, C reduced mod
// m, so A s + C < m^2 + m < 2^53. The remainder takes q = floor(p / m) from
// p times a rounded 1/m, which can only be one short, when p is a multiple
// of m; one correction fixes that. Each value's flush is an identity (1 - x
// for a double x in [0, 2) is +0 or at least 2^-53).
constexpr NoiseMap kNoiseStep{NoiseGenerator::kMultiplier, NoiseGenerator::kIncrement};
constexpr NoiseMap kNoiseFourSteps = kNoiseStep.Twice().Twice();

// The seeds of g's next four draws, lane k the (k + 1)-th.
KESTROM_KERNEL_INLINE __m256d FirstSeeds(NoiseGenerator g) {
    alignas(32) double first[4];
    for (double& seed : first) {
        g.Next();
        seed = static_cast<double>(g.seed);
    }
    return _mm256_load_pd(first);
}

// A generator's draws for a block, chunk by chunk: four vectors, sixteen
// consecutive draws, each advanced by the map composed sixteen times, so
// that the steps form four independent chains and run at the processor's
// throughput rather than one step's latency. The generator itself is left
// alone; the kernel advances it by the block's frames at the end.
struct NoiseDraws {
    __m256d seeds[4];  // the seeds of the next sixteen draws
    KESTROM_KERNEL_INLINE explicit NoiseDraws(const NoiseGenerator& g) {
        const NoiseLanes four(kNoiseFourSteps);
        seeds[0] = FirstSeeds(g);
        for (int v = 1; v < 4; ++v) seeds[v] = four.Step(seeds[v - 1]);
    }
    // The values of the next n calls of Next() of each of kCount generators
    // (draws[g] into u[g], room for n rounded up to four), their steps side
    // by side so that all their chains overlap. n is a multiple of sixteen
    // except in the block's last call, after which the draws are not to be
    // continued.
    template <int kCount>
    KESTROM_KERNEL_INLINE static void Draw(NoiseDraws* const (&draws)[kCount], double* const (&u)[kCount], int n) {
        const NoiseLanes sixteen(kNoiseFourSteps.Twice().Twice());
        int i = 0;
        for (; i + 16 <= n; i += 16)
            for (int g = 0; g < kCount; ++g)
                for (int v = 0; v < 4; ++v) {
                    _mm256_storeu_pd(u[g] + i + 4 * v, NoiseValues(draws[g]->seeds[v]));
                    draws[g]->seeds[v] = sixteen.Step(draws[g]->seeds[v]);
                }
        for (int g = 0; g < kCount; ++g)
            for (int j = i, v = 0; j < n; j += 4, ++v) _mm256_storeu_pd(u[g] + j, NoiseValues(draws[g]->seeds[v]));
    }
};

// The jitter factors 1 + depth u of n frames from their draws (uLeft,
// uRight: values of the generators' Next(), room for n rounded up to four),
// as frames of both lanes (the left's in both in mono).
KESTROM_KERNEL_INLINE void JitterFactors(const Coefs& k, const double* uLeft, const double* uRight, V* factors,
                                         int n) {
    const __m256d depth = _mm256_set1_pd(k.jitterDepth), one = _mm256_set1_pd(1.0);
    for (int i = 0; i < n; i += 4) {
        const __m256d left = _mm256_add_pd(one, _mm256_mul_pd(depth, _mm256_loadu_pd(uLeft + i)));
        const __m256d right =
            k.stereo ? _mm256_add_pd(one, _mm256_mul_pd(depth, _mm256_loadu_pd(uRight + i))) : left;
        const __m256d even = _mm256_unpacklo_pd(left, right);  // frames i and i + 2
        const __m256d odd = _mm256_unpackhi_pd(left, right);   // frames i + 1 and i + 3
        factors[i] = _mm256_castpd256_pd128(even);
        factors[i + 1] = _mm256_castpd256_pd128(odd);
        factors[i + 2] = _mm256_extractf128_pd(even, 1);
        factors[i + 3] = _mm256_extractf128_pd(odd, 1);
    }
}

// Input gain, dither (returned in d), jitter and the input DC blocker, from
// this frame's dither draw (uDither, a value of the generator's Next()) and
// jitter factor. kJitterOff, for a jitter depth of 0 (Relaxed): the jitter
// factor is 1 + 0 * u = 1 exactly for every noise value u (finite, so 0 * u
// is a zero) and x * 1 = x, so neither the factor nor the product is
// computed; the jitter generators only advance, by AdvanceNoise after the
// loop.
template <bool kNoted, bool kJitterOff>
KESTROM_KERNEL_INLINE V InputStepWith(State& s, const Coefs& k, V dry, double uDither, V jitter, double& d) {
    d = uDither * kDitherDepth;
    V x = Flush<kNoted>(Add(Mul(k.inputGain, dry), Splat(d)), s.smallestIn);
    if (!kJitterOff) x = Mul(x, jitter);
    return Block<kNoted>(s.inDc, x, s.smallestIn);
}

// The detector signal. Without feedback the share is 0 and the plain path
// adds feedback * 0 to x * 1; the sum is x except that a zero may change
// sign. Likewise linking adds v * 0 to the maximum (or, for dual mono, the
// maximum * 0 to v). The sign of a zero cannot reach any output: the
// detector signal is only squared or passed through sections whose outputs
// are flushed and whose states it enters only as a zero term.
template <bool kNoted, bool kFeedback>
KESTROM_KERNEL_INLINE V DetectorStep(State& s, const Coefs& k, V x) {
    V v = kFeedback ? Add(Mul(x, k.oneMinusShare), Mul(s.feedback, k.share)) : x;
    if (k.linked) {
        // std::max(vL, vR) = vL < vR ? vR : vL in both lanes, which is
        // maxpd(vR, vL) (its first operand if greater, else its second).
        v = _mm_max_pd(_mm_unpackhi_pd(v, v), _mm_unpacklo_pd(v, v));
    }
    if (k.highPassOn) v = HighPass<kNoted>(s.highPass, v, s.smallestIn);
    if (k.lowPassOn) v = LowPass<kNoted>(s.lowPass, v, s.smallestIn);
    return v;
}

// The colour stage's own loop, from the terms that do not depend on it:
// firstTerm = u / sqrt(u^2 + 1) with u = drive1 e, and drivenInput =
// drive2 e (e the pre-shelf's output). w = drive2 e times the last output.
template <bool kNoted>
KESTROM_KERNEL_INLINE V ColorLoopStep(State& s, const Coefs& k, V firstTerm, V drivenInput) {
    const V w = Mul(drivenInput, s.lastOutput);
    V shaped = Sub(firstTerm, Mul(Div(w, _mm_sqrt_pd(Add(Mul(w, w), Splat(1.0)))), k.asymmetry));
    shaped = HighShelf<kNoted>(s.postShelf, shaped, s.smallestColour);
    s.lastOutput = Flush<kNoted>(Mul(k.postGain, Block<kNoted>(s.colorDc, shaped, s.smallestColour)), s.smallestColour);
    return s.lastOutput;
}

// The colour stage on the audio.
template <bool kNoted>
KESTROM_KERNEL_INLINE V ColorStep(State& s, const Coefs& k, V x) {
    const V one = Splat(1.0);
    const V e = HighShelf<kNoted>(s.preShelf, Mul(k.preGain, x), s.smallestIn);
    const V u = Mul(k.drive1, e);
    return ColorLoopStep<kNoted>(s, k, Div(u, _mm_sqrt_pd(Add(Mul(u, u), one))), Mul(k.drive2, e));
}

// Mean square, root and peak follower; returns the peak. kBranch: where
// both lanes take the same side of the peak's comparison (always in mono,
// mostly when linked) a predicted branch spares the serial loop the other
// side's latency; the open-loop passes, whose peak chain is short, select
// without branching (the comparison follows the waveform and would often be
// mispredicted).
template <bool kBranch>
KESTROM_KERNEL_INLINE V PeakStep(State& s, const Coefs& k, V v) {
    const V square = Mul(v, v);
    s.meanSquare = k.instantSquare ? square : Add(Mul(k.oneMinusAverage, square), Mul(k.averageCoef, s.meanSquare));
    // The plain path flushes the root and the level in dB; neither can be
    // subnormal or -0 here (the mean square is +0 or more, its root of a
    // subnormal is normal; a logarithm is 0 only at 1, else at least
    // 2^-53 in magnitude), so both flushes are identities and are left out.
    const V level = _mm_sqrt_pd(s.meanSquare);
    const V rising = _mm_cmpgt_pd(level, s.peak);
    if (!kBranch) {
        s.peak = Select(rising, level, Add(level, Mul(Sub(s.peak, level), k.peakCoef)));
        return s.peak;
    }
    const int risingMask = _mm_movemask_pd(rising);
    if (risingMask == 3)
        s.peak = level;
    else if (risingMask == 0)
        s.peak = Add(level, Mul(Sub(s.peak, level), k.peakCoef));
    else
        s.peak = Select(rising, level, Add(level, Mul(Sub(s.peak, level), k.peakCoef)));
    return s.peak;
}

// Mean square, root, peak follower, level in dB.
KESTROM_KERNEL_INLINE V LevelStep(State& s, const Coefs& k, V v) {
    // peak >= 0 always, so log(|peak|) = log(peak) (log(-0) = log(+0)).
    return Mul(ExactExpLog::Log(PeakStep<true>(s, k, v)), Splat(kLogToDb));
}

struct Target {
    V overshoot;
    V gain;
};

// Overshoot and target gain of a level.
template <bool kNoted, bool kNegative>
KESTROM_KERNEL_INLINE Target TargetStep(const Coefs& k, V levelDb, V& smallest) {
    const V one = Splat(1.0);
    const V over = _mm_cmpgt_pd(levelDb, k.threshold);
    const int overMask = _mm_movemask_pd(over);
    const V overshoot = _mm_and_pd(over, Sub(levelDb, k.threshold));
    // Where the level is not over the threshold the target is exp(0) = 1
    // exactly, and neither the ratio nor the exponential is needed.
    if (!overMask) return {overshoot, one};
    V effectiveRatio;
    if (kNegative) {
        const double oL = Lane0(overshoot), oR = Lane1(overshoot);
        effectiveRatio = Set((overMask & 1) ? k.ratioL / std::atan(oL * 0.1) : 1.0,
                             (k.stereo && (overMask & 2)) ? k.ratioR / std::atan(oR * 0.1) : 1.0);
    } else {
        effectiveRatio = Add(Mul(Mul(k.ratioSlope, overshoot), Splat(0.02)), one);
    }
    const V targetDb = Mul(overshoot, Sub(Div(one, effectiveRatio), one));
    const V argument = Mul(targetDb, Splat(kDbToLog));
    if (overMask == 3) return {overshoot, Flush<kNoted>(ExactExpLog::Exp(argument), smallest)};
    // One lane over: the other's argument is replaced by a harmless -1.
    return {overshoot,
            Select(over, Flush<kNoted>(ExactExpLog::Exp(Select(over, argument, Splat(-1.0))), smallest), one)};
}

// Held overshoot, release time and coefficients, attack or release
// smoothing and the gain smoother; returns the new gain. kBranch as in
// PeakStep, for the instant attack's choice.
template <bool kNoted, bool kBranch>
KESTROM_KERNEL_INLINE V GainStep(State& s, const Coefs& k, const Target& t) {
    const V one = Splat(1.0);
    // 0 when the gain is exactly 1, else std::max(held, overshoot) =
    // held < overshoot ? overshoot : held.
    s.held = _mm_andnot_pd(_mm_cmpeq_pd(s.gain, one), _mm_max_pd(t.overshoot, s.held));
    // std::max(0.0, ms) = 0 < ms ? ms : 0.
    const V releaseMs = _mm_max_pd(Add(Mul(k.releaseSlope, s.held), k.releaseBase), _mm_setzero_pd());
    // The release coefficients exp(-1 / (msRelease ms)) and exp(-1 /
    // (msShadow ms)) change only with the release time, which changes only
    // while the held overshoot grows: both lanes' are recomputed together
    // (four exact exponentials at once) where a lane's are stale, and kept
    // where they are not.
    const V fresh = _mm_and_pd(s.cachedMask, _mm_cmpeq_pd(releaseMs, s.cachedMs));
    if (__builtin_expect(_mm_movemask_pd(fresh) != 3, 0)) {
        const V minusOne = Splat(-1.0);
        const __m256d coefs = ExactExpLog::Exp4(
            _mm256_set_m128d(Div(minusOne, Mul(k.msShadow, releaseMs)), Div(minusOne, Mul(k.msRelease, releaseMs))));
        s.releaseCoef = Select(fresh, s.releaseCoef, _mm256_castpd256_pd128(coefs));
        s.releaseShadowCoef = Select(fresh, s.releaseShadowCoef, _mm256_extractf128_pd(coefs, 1));
        s.cachedMs = Select(fresh, s.cachedMs, releaseMs);
        s.cachedMask = _mm_castsi128_pd(_mm_set1_epi64x(-1));
    }
    // Attack (target <= gain): shadow toward the target, gain toward the
    // shadow. Release: shadow and gain toward the target. Both update the
    // shadow the same way, with their own coefficient.
    const V attack = _mm_cmple_pd(t.gain, s.gain);
    if (k.instantAttack && !kBranch) {
        s.gainShadow = Select(attack, t.gain, Add(t.gain, Mul(Sub(s.gainShadow, t.gain), s.releaseShadowCoef)));
        s.gain = Select(attack, t.gain, Add(t.gain, Mul(Sub(s.gain, t.gain), s.releaseCoef)));
        return s.gain = LowPass<kNoted>(s.smoother, s.gain, s.smallestOut);
    }
    if (k.instantAttack) {
        const int attackMask = _mm_movemask_pd(attack);
        if (attackMask == 3) {
            s.gainShadow = t.gain;
            s.gain = t.gain;
        } else if (attackMask == 0) {
            s.gainShadow = Add(t.gain, Mul(Sub(s.gainShadow, t.gain), s.releaseShadowCoef));
            s.gain = Add(t.gain, Mul(Sub(s.gain, t.gain), s.releaseCoef));
        } else {
            s.gainShadow = Select(attack, t.gain, Add(t.gain, Mul(Sub(s.gainShadow, t.gain), s.releaseShadowCoef)));
            s.gain = Select(attack, t.gain, Add(t.gain, Mul(Sub(s.gain, t.gain), s.releaseCoef)));
        }
        return s.gain = LowPass<kNoted>(s.smoother, s.gain, s.smallestOut);
    }
    s.gainShadow = Add(t.gain, Mul(Sub(s.gainShadow, t.gain), Select(attack, k.attackShadowCoef, s.releaseShadowCoef)));
    const V base = Select(attack, s.gainShadow, t.gain);
    s.gain = Add(base, Mul(Sub(s.gain, base), Select(attack, k.attackCoef, s.releaseCoef)));
    s.gain = LowPass<kNoted>(s.smoother, s.gain, s.smallestOut);
    return s.gain;
}

// Output gain, bypass crossfade, dither removal and the output DC blocker;
// writes the frame and advances the meter.
template <bool kNoted>
KESTROM_KERNEL_INLINE void OutputStep(State& s, const Coefs& k, V audio, V dry, double d, double* outL, double* outR,
                                      int i) {
    V y = Mul(Mul(s.gain, audio), k.outputFactor);
    if (k.bypassIdle) {
        y = Flush<kNoted>(y, s.smallestOut);
    } else {
        s.bypassMix = 0.05 * s.bypassMix + k.bypassTarget;
        y = Flush<kNoted>(Add(Mul(y, Splat(1.0 - s.bypassMix)), Mul(dry, Splat(s.bypassMix))), s.smallestOut);
    }
    y = Block<kNoted>(s.outDc, Sub(y, Splat(d)), s.smallestOut);
    s.y = y;
    outL[i] = Lane0(y);
    if (k.stereo) outR[i] = Lane1(y);
    // KestromProcessor::UpdateMeter, on the kernel's copy.
    const double lp = std::fabs(Lane0(s.gain)) * 2.0 * s.meterGain + s.meterPole * s.meterState;
    s.meterState = lp;
    const double ballistics = lp > s.meterLevel ? s.meterRise : s.meterFall;
    s.meterLevel = FlushToZero(lp + (s.meterLevel - lp) * ballistics);
}

// The noise generators after a block whose draws were taken ahead
// (NoiseDraws, or normal mode's four at a time): each advanced by the
// block's frames.
KESTROM_KERNEL_INLINE void AdvanceNoise(State& s, const Coefs& k, int frames) {
    s.dither = Advanced(s.dither, frames);
    s.jitterL = Advanced(s.jitterL, frames);
    if (k.stereo) s.jitterR = Advanced(s.jitterR, frames);
}

KESTROM_KERNEL_INLINE V Dry(const double* inL, const double* inR, bool stereo, int i) {
    return stereo ? Set(inL[i], inR[i]) : Splat(inL[i]);
}

// One kernel: the frames of a block, from the processor's states back into
// them. A noted kernel (see Flush) returns false, having stored nothing,
// when the block needs a checked run; a checked one always returns true.
using KernelRun = bool (*)(const Channels&, const double* inL, const double* inR, double* outL, double* outR,
                           int frames, const KernelPlan& plan);
// Normal mode's kernel (the detector hears the previous output).
KernelRun FeedbackKernel(bool noted, bool negative);
// Negative's and Relaxed's, their targets pass `lanes` (2 or 4) wide.
KernelRun OpenLoopKernel(int lanes, bool noted, bool negative, bool jitterOff);

}  // namespace kernels
}  // namespace kestrom

#endif  // KESTROM_EXACT_EXP_LOG
