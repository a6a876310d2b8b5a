// Normal mode's kernel: the whole feedback loop of one frame after the
// other, with both channels as the two lanes of one SSE2 register.
#include "compressor/internal/KernelSteps.h"

#if KESTROM_EXACT_EXP_LOG

namespace kestrom {
namespace kernels {
namespace {

// Normal mode: the detector hears 0.3 of the previous output, so each frame
// waits for the last; one fused loop, everything in registers.
template <bool kNoted, bool kNegative>
KESTROM_TARGET_FMA bool RunFeedback(const Channels& c, const double* inL, const double* inR, double* outL,
                                    double* outR, int frames, const KernelPlan& plan) {
    const Coefs k = LoadCoefs(c, plan);
    State s = LoadState(c);
    // The noise of each chunk is drawn at once, off the loop.
    constexpr int kChunk = 128;
    alignas(32) double noiseDither[kChunk + 3], noiseJitterL[kChunk + 3], noiseJitterR[kChunk + 3];
    alignas(32) V jitter[kChunk + 3];
    for (int start = 0; start < frames; start += kChunk) {
        const int n = frames - start < kChunk ? frames - start : kChunk;
        Draw(s.dither, noiseDither, n);
        Draw(s.jitterL, noiseJitterL, n);
        if (k.stereo) Draw(s.jitterR, noiseJitterR, n);
        JitterFactors(k, noiseJitterL, noiseJitterR, jitter, n);
        for (int j = 0; j < n; ++j) {
            const int i = start + j;
            const V dry = Dry(inL, inR, k.stereo, i);
            double d;
            const V x = InputStepWith<kNoted, false>(s, k, dry, noiseDither[j], jitter[j], d);
            const V v = DetectorStep<kNoted, true>(s, k, x);
            const V audio = ColorStep<kNoted>(s, k, x);
            const Target t = TargetStep<kNoted, kNegative>(k, LevelStep(s, k, v), s.smallestOut);
            GainStep<kNoted, true>(s, k, t);
            OutputStep<kNoted>(s, k, audio, dry, d, outL, outR, i);
            s.feedback = Mul(s.y, k.feedbackScale);
        }
    }
    if (kNoted && !OnlyNormal(s.Smallest())) return false;
    StoreState(c, s);
    return true;
}

}  // namespace

KernelRun FeedbackKernel(bool noted, bool negative) {
    if (noted) return negative ? RunFeedback<true, true> : RunFeedback<true, false>;
    return negative ? RunFeedback<false, true> : RunFeedback<false, false>;
}

}  // namespace kernels
}  // namespace kestrom

#endif  // KESTROM_EXACT_EXP_LOG
