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
    // The noise of four frames at a time, drawn in the loop: the seeds'
    // vector steps (see NoiseDraws) are short chains of their own, which the
    // processor runs beside the feedback loop's much longer one.
    const NoiseLanes four(kNoiseFourSteps);
    __m256d ditherSeeds = FirstSeeds(s.dither), leftSeeds = FirstSeeds(s.jitterL), rightSeeds = FirstSeeds(s.jitterR);
    for (int start = 0; start < frames; start += 4) {
        alignas(32) double dither[4], jitterL[4], jitterR[4];
        V jitter[4];
        _mm256_store_pd(dither, NoiseValues(ditherSeeds));
        _mm256_store_pd(jitterL, NoiseValues(leftSeeds));
        _mm256_store_pd(jitterR, NoiseValues(rightSeeds));
        ditherSeeds = four.Step(ditherSeeds);
        leftSeeds = four.Step(leftSeeds);
        rightSeeds = four.Step(rightSeeds);
        JitterFactors(k, jitterL, jitterR, jitter, 4);
        const int n = frames - start < 4 ? frames - start : 4;
        for (int j = 0; j < n; ++j) {
            const int i = start + j;
            const V dry = Dry(inL, inR, k.stereo, i);
            double d;
            const V x = InputStepWith<kNoted, false>(s, k, dry, dither[j], jitter[j], d);
            const V v = DetectorStep<kNoted, true>(s, k, x);
            const V audio = ColorStep<kNoted>(s, k, x);
            const Target t = TargetStep<kNoted, kNegative>(k, LevelStep(s, k, v), s.smallestOut);
            GainStep<kNoted, true>(s, k, t);
            OutputStep<kNoted>(s, k, audio, dry, d, outL, outR, i);
            s.feedback = Mul(s.y, k.feedbackScale);
        }
    }
    AdvanceNoise(s, k, frames);
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
