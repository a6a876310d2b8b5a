// Negative's and Relaxed's kernels: the open loop in passes over chunks of
// the block, the independent maths of many frames in wide vectors.
#include "compressor/ExactAtan.h"
#include "compressor/internal/KernelSteps.h"

#if KESTROM_EXACT_EXP_LOG

namespace kestrom {
namespace kernels {
namespace {

// Negative and Relaxed: no feedback, so the level and target of every frame
// are known before the gain recursion needs them. Each chunk of the block
// goes through three passes:
//   analysis (serial, two lanes): input, dither, DC blocker, detector, mean
//     square, peak follower, the colour stage's pre-shelf;
//   targets (wide, T = two or four lanes, one or two frames per vector; at
//     four, two vectors in lockstep): the logarithm of the peak, overshoot,
//     ratio (Negative: arc tangent and division), the target gain's
//     exponential, and the colour stage's first term u / sqrt(u^2 + 1), none
//     of which any later frame waits for;
//   shaping (serial, two lanes): the colour stage's loop through its last
//     output, the gain recursion, the output and the meter.
// The colour stage's loop is the longest chain of all, so the shaping of
// one chunk runs in the same loop as the analysis of the next: the two
// recursions are independent and the processor overlaps them.
constexpr int kChunk = 64;
// Whole sets of noise draws (sixteen frames) and of lockstep vectors.
static_assert(kChunk % 16 == 0, "a chunk is whole noise and target vectors");

struct OpenLoopBuffers {
    // Written by the analysis, read by the targets pass.
    // Room for seven copies of the last frame, which round a count up to
    // whole vectors (two of four frames in lockstep).
    alignas(32) V peak[kChunk + 7];
    alignas(32) V shelved[kChunk + 7];  // the pre-shelf's output e
    // Written by the analysis of one chunk, read by the shaping of the same
    // chunk while the next chunk's analysis fills the other half.
    double dither[2][kChunk];
    // The noise generators' values for the chunk being analysed (NoiseDraws).
    alignas(32) double noiseDither[kChunk + 3];
    alignas(32) double noiseJitterL[kChunk + 3];
    alignas(32) double noiseJitterR[kChunk + 3];
    alignas(32) V jitter[kChunk + 3];  // the jitter factors from those
    // Written by the targets pass, read by the shaping.
    alignas(32) V overshoot[kChunk];
    alignas(32) V target[kChunk];
    alignas(32) V firstTerm[kChunk];  // drive1 e / sqrt((drive1 e)^2 + 1)
    alignas(32) V drivenInput[kChunk];  // drive2 e
};

// The noise generators' draws for a block.
struct Noise {
    NoiseDraws dither, jitterL, jitterR;
    KESTROM_KERNEL_INLINE explicit Noise(const State& s) : dither(s.dither), jitterL(s.jitterL), jitterR(s.jitterR) {}
};

// The noise of the next n frames' analysis, drawn at once.
template <bool kJitterOff>
KESTROM_KERNEL_INLINE void DrawNoise(Noise& noise, const Coefs& k, OpenLoopBuffers& b, int n) {
    if (kJitterOff) {
        NoiseDraws::Draw<1>({&noise.dither}, {b.noiseDither}, n);
        return;
    }
    if (k.stereo)
        NoiseDraws::Draw<3>({&noise.dither, &noise.jitterL, &noise.jitterR},
                            {b.noiseDither, b.noiseJitterL, b.noiseJitterR}, n);
    else
        NoiseDraws::Draw<2>({&noise.dither, &noise.jitterL}, {b.noiseDither, b.noiseJitterL}, n);
    JitterFactors(k, b.noiseJitterL, b.noiseJitterR, b.jitter, n);
}

template <bool kNoted, bool kJitterOff>
KESTROM_KERNEL_INLINE void AnalyseStep(State& s, const Coefs& k, const OpenLoopBuffers& b, int i, V dry, double& d,
                                       V& peak, V& shelved) {
    // Only factors computed are read.
    const V x = InputStepWith<kNoted, kJitterOff>(s, k, dry, b.noiseDither[i], kJitterOff ? dry : b.jitter[i], d);
    peak = PeakStep<false>(s, k, DetectorStep<kNoted, false>(s, k, x));
    shelved = HighShelf<kNoted>(s.preShelf, Mul(k.preGain, x), s.smallestIn);
}

// The colour stage's loop (as ColorStep, from the targets pass's terms),
// the gain recursion and the output of one frame.
template <bool kNoted>
KESTROM_KERNEL_INLINE void ShapeStep(State& s, const Coefs& k, const OpenLoopBuffers& b, int i, V dry, double d,
                                     double* outL, double* outR) {
    ColorLoopStep<kNoted>(s, k, b.firstTerm[i], b.drivenInput[i]);
    GainStep<kNoted, false>(s, k, Target{b.overshoot[i], b.target[i]});
    OutputStep<kNoted>(s, k, s.lastOutput, dry, d, outL, outR, i);
}

// Lane operations at the targets pass's width.
template <class T>
KESTROM_KERNEL_INLINE T Widen(V v);
template <>
KESTROM_KERNEL_INLINE V Widen<V>(V v) { return v; }
template <>
KESTROM_KERNEL_INLINE __m256d Widen<__m256d>(V v) { return _mm256_set_m128d(v, v); }
template <>
KESTROM_KERNEL_INLINE lanes::Twin Widen<lanes::Twin>(V v) {
    const __m256d wide = _mm256_set_m128d(v, v);
    return {wide, wide};
}
KESTROM_KERNEL_INLINE V ExpLanes(V x) { return ExactExpLog::Exp(x); }
KESTROM_KERNEL_INLINE __m256d ExpLanes(__m256d x) { return ExactExpLog::Exp4(x); }
KESTROM_KERNEL_INLINE lanes::Twin ExpLanes(lanes::Twin x) { return ExactExpLog::Exp8(x); }
KESTROM_KERNEL_INLINE V LogLanes(V x) { return ExactExpLog::Log(x); }
KESTROM_KERNEL_INLINE __m256d LogLanes(__m256d x) { return ExactExpLog::Log4(x); }
KESTROM_KERNEL_INLINE lanes::Twin LogLanes(lanes::Twin x) { return ExactExpLog::Log8(x); }
// The targets' maths at four lanes runs on two vectors in lockstep (see
// TwinLanes.h): the logarithm, arc tangent and exponential are long chains,
// and one vector at a time they would mostly wait. (The vector types'
// alignment attributes do not matter to a template that only names them.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-attributes"
template <class T>
struct Lockstep {
    using Type = T;
};
template <>
struct Lockstep<__m256d> {
    using Type = lanes::Twin;
};
#pragma GCC diagnostic pop
// Flush without a branch: lanes below the smallest normal magnitude (and
// -0) become +0; NaN passes.
template <class T>
KESTROM_KERNEL_INLINE T FlushLanes(T x) {
    return AndNot(Less(AndNot(Splat<T>(-0.0), x), Splat<T>(0x1p-1022)), x);
}

// The arc tangent without the maths library's lanes (see
// ExactAtan::Atan4Unchecked); `certain` has a bit per lane of T.
KESTROM_KERNEL_INLINE V AtanUnchecked(V x, int& certain) {
    // The upper lanes take 1.0, whose arc tangent is always certain.
    const __m256d wide = _mm256_insertf128_pd(_mm256_set1_pd(1.0), x, 0);
    const V y = _mm256_castpd256_pd128(ExactAtan::Atan4Unchecked(wide, certain));
    certain &= 3;
    return y;
}
KESTROM_KERNEL_INLINE __m256d AtanUnchecked(__m256d x, int& certain) { return ExactAtan::Atan4Unchecked(x, certain); }
KESTROM_KERNEL_INLINE lanes::Twin AtanUnchecked(lanes::Twin x, int& certain) {
    return ExactAtan::Atan8Unchecked(x, certain);
}

// TargetStep at width T for `count` vectors of peaks: each becomes its
// overshoot (in place) and target. Negative's arc tangents are taken for
// all vectors first; the few lanes near a rounding boundary, listed on the
// way without a branch, then get the maths library's, and only after that
// are the ratios and targets formed. (Mending each vector as it comes would
// branch on every vector, unpredictably.) alongside(v) is work of the
// caller's, independent of these, done in the same step as vector v's
// logarithm and arc tangent.
template <class T, bool kNegative, class Alongside>
KESTROM_KERNEL_INLINE void Targets(T* peakToOvershoot, T* target, int count, T threshold, T ratio, T ratioSlope,
                                   Alongside alongside) {
    constexpr int kLanes = sizeof(T) / sizeof(double);
    const T one = Splat<T>(1.0);
    alignas(32) T atans[kChunk + 3];
    alignas(32) double arguments[kChunk + 3][kLanes];
    int uncertain[kChunk + 3], uncertainLanes[kChunk + 3];
    int pending = 0;
    for (int v = 0; v < count; ++v) {
        alongside(v);
        // peak >= 0 always, so log(|peak|) = log(peak) (log(-0) = log(+0)).
        const T levelDb = Mul(LogLanes(peakToOvershoot[v]), Splat<T>(kLogToDb));
        const T over = Greater(levelDb, threshold);
        peakToOvershoot[v] = And(over, Sub(levelDb, threshold));
        // A vector with no lane over the threshold needs neither the arc
        // tangent nor, below, the ratio and the exponential (runs of such
        // frames are common, so the branch is well predicted).
        if (!kNegative || !lanes::MoveMask(over)) continue;
        // Lanes not over the threshold take atan(1), a harmless stand-in.
        const T argument = Select(over, Mul(peakToOvershoot[v], Splat<T>(0.1)), one);
        Store(arguments[v], argument);
        int certain;
        atans[v] = AtanUnchecked(argument, certain);
        uncertain[pending] = v;
        uncertainLanes[pending] = ~certain & ((1 << kLanes) - 1);
        pending += certain != (1 << kLanes) - 1;
    }
    for (int p = 0; p < pending; ++p) {
        const int v = uncertain[p];
        alignas(32) double values[kLanes];
        Store(values, atans[v]);
        for (int lane = 0; lane < kLanes; ++lane)
            if (uncertainLanes[p] & (1 << lane)) values[lane] = std::atan(arguments[v][lane]);
        atans[v] = LoadAligned<T>(values);
    }
    for (int v = 0; v < count; ++v) {
        const T overshoot = peakToOvershoot[v];
        // Over the threshold exactly where the overshoot is above 0 (a
        // difference of two different doubles is never 0).
        const T over = Greater(overshoot, Splat<T>(0.0));
        if (!lanes::MoveMask(over)) {
            target[v] = one;
            continue;
        }
        // Lanes not over the threshold take the target exp(0) = 1 exactly;
        // their ratio and exponential are computed from harmless stand-ins
        // and discarded.
        const T effectiveRatio = kNegative ? Select(over, Div(ratio, atans[v]), one)
                                           : Add(Mul(Mul(ratioSlope, overshoot), Splat<T>(0.02)), one);
        const T argument = Mul(Mul(overshoot, Sub(Div(one, effectiveRatio), one)), Splat<T>(kDbToLog));
        target[v] = Select(over, FlushLanes(ExpLanes(Select(over, argument, Splat<T>(-1.0)))), one);
    }
}

// The start of ColorStep at width T for frames [begin, end) of the
// buffers: the first term u / sqrt(u^2 + 1) with u = drive1 e, and drive2 e.
template <class T>
KESTROM_KERNEL_INLINE void ColourTerms(const Coefs& k, OpenLoopBuffers& b, int begin, int end) {
    const T one = Splat<T>(1.0);
    const T drive1 = Widen<T>(k.drive1), drive2 = Widen<T>(k.drive2);
    for (int i = begin; i < end; i += sizeof(T) / sizeof(V)) {
        const T e = LoadAligned<T>(reinterpret_cast<const double*>(&b.shelved[i]));
        const T u = Mul(drive1, e);
        Store(reinterpret_cast<double*>(&b.firstTerm[i]), Div(u, Sqrt(Add(Mul(u, u), one))));
        Store(reinterpret_cast<double*>(&b.drivenInput[i]), Mul(drive2, e));
    }
}

// Lane 0 of frames p[0 .. kLanes), one per lane of T.
KESTROM_KERNEL_INLINE V FirstLanes(const V* p, V) { return _mm_unpacklo_pd(p[0], p[1]); }
KESTROM_KERNEL_INLINE __m256d FirstLanes(const V* p, __m256d) {
    return _mm256_set_m128d(_mm_unpacklo_pd(p[2], p[3]), _mm_unpacklo_pd(p[0], p[1]));
}
// Each lane of x to both lanes of one frame of p.
KESTROM_KERNEL_INLINE void SpreadLanes(V x, V* p) {
    p[0] = _mm_unpacklo_pd(x, x);
    p[1] = _mm_unpackhi_pd(x, x);
}
KESTROM_KERNEL_INLINE void SpreadLanes(__m256d x, V* p) {
    SpreadLanes(_mm256_castpd256_pd128(x), p);
    SpreadLanes(_mm256_extractf128_pd(x, 1), p + 2);
}

// The targets pass over frames [0, n) of the buffers. Every lane is
// computed, as many frames at a time as T holds; or, for a shared detector
// (kShared, see SharedDetector), where both lanes of every frame hold the
// same peak and both lanes' threshold and ratio are the same, so that both
// lanes' overshoot and target are the same too, each is computed once, for
// as many frames at a time as T has lanes, and spread to both lanes. The
// colour stage's terms differ by channel and are always computed per lane.
template <class T, bool kNegative, bool kShared>
KESTROM_KERNEL_INLINE void TargetPass(const Coefs& k, OpenLoopBuffers& b, int n) {
    using W = typename Lockstep<T>::Type;
    constexpr int kPerW = sizeof(W) / sizeof(T);  // vectors of T per W
    constexpr int kPerVector = kShared ? sizeof(T) / sizeof(double) : sizeof(T) / sizeof(V);  // frames
    for (int i = n; i % (kPerVector * kPerW) != 0; ++i) {
        b.peak[i] = b.peak[n - 1];
        b.shelved[i] = b.shelved[n - 1];
    }
    // Held as W, seen as T (the vector types may alias anything).
    constexpr int kMostWide = kChunk / (kPerVector * kPerW);
    W wideValues[kMostWide], wideTargets[kMostWide];
    T* values = reinterpret_cast<T*>(wideValues);
    T* targets = reinterpret_cast<T*>(wideTargets);
    const int count = (n + kPerVector - 1) / kPerVector;
    const int wideCount = (count + kPerW - 1) / kPerW;
    for (int v = 0; v < wideCount * kPerW; ++v)
        values[v] = kShared ? FirstLanes(&b.peak[v * kPerVector], values[0])
                            : LoadAligned<T>(reinterpret_cast<const double*>(&b.peak[v * kPerVector]));
    // The colour terms of each vector's frames go alongside its logarithm
    // and arc tangent: they keep the divider busy, which those long chains
    // leave mostly idle.
    constexpr int kFramesPerW = kPerVector * kPerW;
    const auto colourTerms = [&k, &b](int v) __attribute__((always_inline)) KESTROM_TARGET_FMA {
        ColourTerms<T>(k, b, v * kFramesPerW, (v + 1) * kFramesPerW);
    };
    if (kShared)
        Targets<W, kNegative>(wideValues, wideTargets, wideCount, Splat<W>(Lane0(k.threshold)),
                              Splat<W>(Lane0(k.ratio)), Splat<W>(Lane0(k.ratioSlope)), colourTerms);
    else
        Targets<W, kNegative>(wideValues, wideTargets, wideCount, Widen<W>(k.threshold), Widen<W>(k.ratio),
                              Widen<W>(k.ratioSlope), colourTerms);
    for (int v = 0; v < count; ++v) {
        if (kShared) {
            SpreadLanes(values[v], &b.overshoot[v * kPerVector]);
            SpreadLanes(targets[v], &b.target[v * kPerVector]);
        } else {
            Store(reinterpret_cast<double*>(&b.overshoot[v * kPerVector]), values[v]);
            Store(reinterpret_cast<double*>(&b.target[v * kPerVector]), targets[v]);
        }
    }
}

// Whether the detector of both lanes is one for the whole block: in mono
// (lane 1 mirrors lane 0) always; in stereo when the detectors are linked
// (both lanes hear the same signal) and every coefficient and state the
// detector and the targets use is the same in both lanes, bit for bit.
// Then every frame's peak, overshoot and target are the same in both lanes.
KESTROM_KERNEL_INLINE bool SameLanes(V v) {
    return _mm_cvtsi128_si64(_mm_castpd_si128(v)) == _mm_extract_epi64(_mm_castpd_si128(v), 1);
}
KESTROM_KERNEL_INLINE bool SharedDetector(const Coefs& k, const State& s) {
    if (!k.stereo) return true;
    if (!k.linked) return false;
    const V same[] = {k.oneMinusAverage, k.averageCoef, k.peakCoef, k.threshold, k.ratio, k.ratioSlope,
                      s.meanSquare, s.peak, s.highPass.twoGain, s.highPass.pole, s.highPass.state,
                      s.lowPass.twoGain, s.lowPass.pole, s.lowPass.state};
    bool all = true;
    for (const V& v : same) all &= SameLanes(v);
    return all;
}

template <class T, bool kNoted, bool kNegative, bool kJitterOff>
KESTROM_TARGET_FMA bool RunOpenLoop(const Channels& c, const double* inL, const double* inR, double* outL,
                                    double* outR, int frames, const KernelPlan& plan) {
    const Coefs k = LoadCoefs(c, plan);
    State s = LoadState(c);
    OpenLoopBuffers b;
    int half = 0;
    const int first = frames < kChunk ? frames : kChunk;
    // From the block's first states: lanes that meet only partway through
    // the block differ before that.
    const bool shared = SharedDetector(k, s);
    Noise noise(s);
    DrawNoise<kJitterOff>(noise, k, b, first);
    for (int i = 0; i < first; ++i)
        AnalyseStep<kNoted, kJitterOff>(s, k, b, i, Dry(inL, inR, k.stereo, i), b.dither[half][i], b.peak[i],
                                        b.shelved[i]);
    if (shared)
        TargetPass<T, kNegative, true>(k, b, first);
    else
        TargetPass<T, kNegative, false>(k, b, first);
    for (int start = 0; start < frames; start += kChunk, half ^= 1) {
        const int n = frames - start < kChunk ? frames - start : kChunk;
        const int next = start + n;
        const int nNext = frames - next < kChunk ? frames - next : kChunk;
        double* chunkL = outL + start;
        double* chunkR = outR ? outR + start : nullptr;
        int i = 0;
        if (nNext > 0) DrawNoise<kJitterOff>(noise, k, b, nNext);
        for (; i < nNext; ++i) {
            AnalyseStep<kNoted, kJitterOff>(s, k, b, i, Dry(inL, inR, k.stereo, next + i), b.dither[half ^ 1][i],
                                            b.peak[i], b.shelved[i]);
            ShapeStep<kNoted>(s, k, b, i, Dry(inL, inR, k.stereo, start + i), b.dither[half][i], chunkL, chunkR);
        }
        for (; i < n; ++i)
            ShapeStep<kNoted>(s, k, b, i, Dry(inL, inR, k.stereo, start + i), b.dither[half][i], chunkL, chunkR);
        if (nNext > 0 && shared)
            TargetPass<T, kNegative, true>(k, b, nNext);
        else if (nNext > 0)
            TargetPass<T, kNegative, false>(k, b, nNext);
    }
    // The plain path updates the feedback every frame; only the last counts.
    s.feedback = Mul(s.y, k.feedbackScale);
    AdvanceNoise(s, k, frames);
    if (kNoted && !OnlyNormal(s.Smallest())) return false;
    StoreState(c, s);
    return true;
}

template <class T, bool kNoted>
KernelRun OpenLoopOfWidth(bool negative, bool jitterOff) {
    if (negative) return jitterOff ? RunOpenLoop<T, kNoted, true, true> : RunOpenLoop<T, kNoted, true, false>;
    return jitterOff ? RunOpenLoop<T, kNoted, false, true> : RunOpenLoop<T, kNoted, false, false>;
}

}  // namespace

KernelRun OpenLoopKernel(int lanes, bool noted, bool negative, bool jitterOff) {
    if (lanes == 4)
        return noted ? OpenLoopOfWidth<__m256d, true>(negative, jitterOff)
                     : OpenLoopOfWidth<__m256d, false>(negative, jitterOff);
    return noted ? OpenLoopOfWidth<__m128d, true>(negative, jitterOff)
                 : OpenLoopOfWidth<__m128d, false>(negative, jitterOff);
}

}  // namespace kernels
}  // namespace kestrom

#endif  // KESTROM_EXACT_EXP_LOG
