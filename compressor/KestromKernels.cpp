// The two-lane kernels of KestromProcessor: the same per-sample processing as
// RunMono/RunStereo, with the left and right channels as the two lanes of one
// SSE2 register, every state held in registers for the whole block, the
// per-block constants hoisted, and exp/log computed in-line by ExactExpLog
// (which returns libm's bits). Every arithmetic operation that reaches an
// output is the same IEEE operation on the same operands as in the plain
// path, so the output bits are identical; where a term is dropped, the
// comment says why that cannot change a bit. Mono runs the same kernel with
// the left channel in both lanes and keeps lane 0.
//
// The kernels apply only to blocks whose input samples are finite and at most
// kInputLimit in magnitude, with states and gains bounded likewise: then no
// intermediate value overflows, no NaN arises, and bit identity holds for
// every operation. Any other block takes the plain path.
#include <cmath>
#include <cstdint>

#include "compressor/ExactExpLog.h"
#include "compressor/KestromProcessor.h"
#include "core/Decibels.h"

namespace kestrom {

#if KESTROM_EXACT_EXP_LOG

namespace {

// Same constants as the plain path.
constexpr double kDitherDepth = 9e-11;

// Bounds under which the kernels are used. With |input| <= 1e30 and gains
// and states bounded by 1e10 and 1e60, the largest intermediate (a square
// of a state in the colour stage or detector) stays far below 1e308.
constexpr double kInputLimit = 1e30;
constexpr double kGainLimit = 1e10;
constexpr double kStateLimit = 1e60;

using V = __m128d;

KESTROM_TARGET_FMA inline V Set(double left, double right) { return _mm_set_pd(right, left); }
KESTROM_TARGET_FMA inline V Splat(double x) { return _mm_set1_pd(x); }
KESTROM_TARGET_FMA inline double Lane0(V v) { return _mm_cvtsd_f64(v); }
KESTROM_TARGET_FMA inline double Lane1(V v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
KESTROM_TARGET_FMA inline V Add(V a, V b) { return _mm_add_pd(a, b); }
KESTROM_TARGET_FMA inline V Sub(V a, V b) { return _mm_sub_pd(a, b); }
KESTROM_TARGET_FMA inline V Mul(V a, V b) { return _mm_mul_pd(a, b); }
KESTROM_TARGET_FMA inline V Div(V a, V b) { return _mm_div_pd(a, b); }
// mask ? a : b, lane by lane.
KESTROM_TARGET_FMA inline V Select(V mask, V a, V b) { return _mm_blendv_pd(b, a, mask); }

// FlushToZero on both lanes: a zero exponent field gives +0.0.
KESTROM_TARGET_FMA inline V Flush(V x) {
    const __m128i exponent = _mm_and_si128(_mm_castpd_si128(x), _mm_set1_epi64x(0x7ff0000000000000LL));
    const __m128i zero = _mm_cmpeq_epi64(exponent, _mm_setzero_si128());
    return _mm_andnot_pd(_mm_castsi128_pd(zero), x);
}

// One-pole section step: state = (2 * gainCoef) * x + pole * state. The plain
// path multiplies 2.0 * gainCoef * x left to right, so hoisting 2 * gainCoef
// (an exact doubling) keeps every rounding.
struct Section {
    V twoGain, pole, shelf, state, output;
};

struct Lanes {
    bool stereo;
    KESTROM_TARGET_FMA V Load(double left, double right) const { return Set(left, stereo ? right : left); }
    KESTROM_TARGET_FMA void Store(V v, double& left, double& right) const {
        left = Lane0(v);
        if (stereo) right = Lane1(v);
    }
    KESTROM_TARGET_FMA Section LoadSection(const FirstOrderSection& l, const FirstOrderSection& r) const {
        return {Load(2.0 * l.gainCoef, 2.0 * r.gainCoef), Load(l.pole, r.pole), Load(l.shelf, r.shelf),
                Load(l.state, r.state), Load(l.output, r.output)};
    }
    KESTROM_TARGET_FMA void StoreSection(const Section& s, FirstOrderSection& l, FirstOrderSection& r) const {
        Store(s.state, l.state, r.state);
        Store(s.output, l.output, r.output);
    }
};

KESTROM_TARGET_FMA inline V LowPass(Section& s, V x) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    s.output = Flush(s.state);
    return s.output;
}
KESTROM_TARGET_FMA inline V HighPass(Section& s, V x) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    s.output = Flush(Sub(x, s.state));
    return s.output;
}
KESTROM_TARGET_FMA inline V HighShelf(Section& s, V x) {
    s.state = Add(Mul(s.twoGain, x), Mul(s.pole, s.state));
    s.output = Flush(Add(Mul(Sub(x, s.state), s.shelf), x));
    return s.output;
}

// DC blocker: y = 0.999 * y + x - xPrevious, flushed.
struct Blocker {
    V y, xPrevious;
};
KESTROM_TARGET_FMA inline V Block(Blocker& b, V x) {
    b.y = Flush(Sub(Add(Mul(Splat(0.999), b.y), x), b.xPrevious));
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

bool Bounded(double x, double limit) { return std::fabs(x) <= limit; }  // false for NaN

// kFeedback: the detector hears 0.3 of the previous output (normal mode).
// kNegative: the ratio is at or below zero, Reff = R / atan(o / 10).
template <bool kFeedback, bool kNegative>
KESTROM_TARGET_FMA void RunLanes(KestromProcessor& p, const double* inL, const double* inR, double* outL,
                                 double* outR, int frames, const KernelPlan& plan) {
    const bool stereo = inR != nullptr;
    const Lanes lanes{stereo};
    DynamicsEngine& eL = p.engineL;
    DynamicsEngine& eR = stereo ? p.engineR : p.engineL;
    DcBlocker& inDcR = stereo ? p.inputDcR : p.inputDcL;
    DcBlocker& outDcR = stereo ? p.outputDcR : p.outputDcL;
    DetectorFilter& detR = stereo ? p.detectorFilterR : p.detectorFilterL;
    double& feedbackR = stereo ? p.feedbackR : p.feedbackL;

    // Per-block constants.
    const V inputGain = Splat(plan.inputGain);
    const V oneMinusShare = Splat(1.0 - plan.share);
    const V share = Splat(plan.share);
    const V feedbackScale = Splat(plan.feedbackScale);
    const bool highPassOn = p.detectorFilterL.highPassOn;
    const bool lowPassOn = p.detectorFilterL.lowPassOn;
    const bool instantSquare = eL.instantSquare;
    const V oneMinusAverage = lanes.Load(1.0 - eL.averageCoef, 1.0 - eR.averageCoef);
    const V averageCoef = lanes.Load(eL.averageCoef, eR.averageCoef);
    const V peakCoef = lanes.Load(eL.peakCoef, eR.peakCoef);
    const V threshold = lanes.Load(eL.thresholdDb, eR.thresholdDb);
    const V ratioSlope = lanes.Load(eL.ratioSlope, eR.ratioSlope);
    const double ratioL = eL.ratio, ratioR = eR.ratio;
    const V attackCoef = lanes.Load(eL.attackCoef, eR.attackCoef);
    const V attackShadowCoef = lanes.Load(eL.attackShadowCoef, eR.attackShadowCoef);
    const V releaseSlope = lanes.Load(eL.releaseSlope, eR.releaseSlope);
    const V releaseBase = lanes.Load(eL.releaseBaseMs, eR.releaseBaseMs);
    const V outputFactor = lanes.Load(eL.outputFactor, eR.outputFactor);
    const V preGain = lanes.Load(eL.color.preGain, eR.color.preGain);
    const V postGain = lanes.Load(eL.color.postGain, eR.color.postGain);
    const V drive1 = lanes.Load(eL.color.drive1, eR.color.drive1);
    const V drive2 = lanes.Load(eL.color.drive2, eR.color.drive2);
    const V asymmetry = lanes.Load(eL.color.asymmetry, eR.color.asymmetry);
    const V one = Splat(1.0);
    const V zero = _mm_setzero_pd();

    // States into registers.
    Blocker inDc{lanes.Load(p.inputDcL.y, inDcR.y), lanes.Load(p.inputDcL.xPrevious, inDcR.xPrevious)};
    Blocker outDc{lanes.Load(p.outputDcL.y, outDcR.y), lanes.Load(p.outputDcL.xPrevious, outDcR.xPrevious)};
    Blocker colorDc{lanes.Load(eL.color.dcBlocker.y, eR.color.dcBlocker.y),
                    lanes.Load(eL.color.dcBlocker.xPrevious, eR.color.dcBlocker.xPrevious)};
    V feedback = lanes.Load(p.feedbackL, feedbackR);
    Section highPass = lanes.LoadSection(p.detectorFilterL.highPass, detR.highPass);
    Section lowPass = lanes.LoadSection(p.detectorFilterL.lowPass, detR.lowPass);
    Section smoother = lanes.LoadSection(eL.gainSmoother, eR.gainSmoother);
    Section preShelf = lanes.LoadSection(eL.color.preShelf, eR.color.preShelf);
    Section postShelf = lanes.LoadSection(eL.color.postShelf, eR.color.postShelf);
    V lastOutput = lanes.Load(eL.color.lastOutput, eR.color.lastOutput);
    V meanSquare = lanes.Load(eL.meanSquare, eR.meanSquare);
    V peak = lanes.Load(eL.peak, eR.peak);
    V held = lanes.Load(eL.heldOvershootDb, eR.heldOvershootDb);
    V gain = lanes.Load(eL.gain, eR.gain);
    V gainShadow = lanes.Load(eL.gainShadow, eR.gainShadow);
    // The release coefficients of the last release time of each lane.
    DynamicsEngine* const engines[2] = {&eL, &eR};
    double cachedMs[2] = {eL.cachedReleaseMs, eR.cachedReleaseMs};
    bool cached[2] = {eL.releaseCached, eR.releaseCached};
    V releaseCoef = lanes.Load(eL.releaseCoef, eR.releaseCoef);
    V releaseShadowCoef = lanes.Load(eL.releaseShadowCoef, eR.releaseShadowCoef);
    double bypassMix = p.bypassMix;
    V y = zero;

    for (int i = 0; i < frames; ++i) {
        const V dry = stereo ? Set(inL[i], inR[i]) : Splat(inL[i]);
        const double d = p.ditherNoise.Next() * kDitherDepth;
        const double jitterL = 1.0 + plan.jitterDepth * p.jitterNoiseL.Next();
        const double jitterR = stereo ? 1.0 + plan.jitterDepth * p.jitterNoiseR.Next() : jitterL;
        const V dither = Splat(d);
        V x = Flush(Add(Mul(inputGain, dry), dither));
        x = Mul(x, Set(jitterL, jitterR));
        x = Block(inDc, x);

        // Detector. Without feedback the share is 0 and the plain path adds
        // feedback * 0 to x * 1; the sum is x except that a zero may change
        // sign. Likewise linking adds v * 0 to the maximum (or, for dual mono,
        // the maximum * 0 to v). The sign of a zero cannot reach any output:
        // the detector signal is only squared or passed through sections
        // whose outputs are flushed and whose states it enters only as a
        // zero term.
        V v = kFeedback ? Add(Mul(x, oneMinusShare), Mul(feedback, share)) : x;
        if (stereo && plan.linked) {
            // std::max(vL, vR): vR if vL < vR, else vL.
            const V swapped = _mm_shuffle_pd(v, v, 1);
            const V m = _mm_max_sd(swapped, v);
            v = _mm_unpacklo_pd(m, m);
        }
        if (highPassOn) v = HighPass(highPass, v);
        if (lowPassOn) v = LowPass(lowPass, v);

        // Colour stage on the audio.
        const V e = HighShelf(preShelf, Mul(preGain, x));
        const V u = Mul(drive1, e);
        const V w = Mul(Mul(drive2, e), lastOutput);
        V shaped = Sub(Div(u, _mm_sqrt_pd(Add(Mul(u, u), one))),
                       Mul(Div(w, _mm_sqrt_pd(Add(Mul(w, w), one))), asymmetry));
        shaped = HighShelf(postShelf, shaped);
        lastOutput = Flush(Mul(postGain, Block(colorDc, shaped)));
        const V audio = lastOutput;

        // Level detector.
        const V square = Mul(v, v);
        meanSquare = instantSquare ? square : Add(Mul(oneMinusAverage, square), Mul(averageCoef, meanSquare));
        const V level = Flush(_mm_sqrt_pd(meanSquare));
        peak = Select(_mm_cmpgt_pd(level, peak), level, Add(level, Mul(Sub(peak, level), peakCoef)));
        // peak >= 0 always, so log(|peak|) = log(peak) (log(-0) = log(+0)).
        const V levelDb = Flush(Mul(ExactExpLog::Log(peak), Splat(kLogToDb)));

        // Gain computer.
        const V over = _mm_cmpgt_pd(levelDb, threshold);
        const int overMask = _mm_movemask_pd(over);
        const V overshoot = _mm_and_pd(over, Sub(levelDb, threshold));
        V effectiveRatio;
        if (kNegative) {
            // Only lanes over the threshold use the ratio; the others skip
            // their arc tangent.
            const double oL = Lane0(overshoot), oR = Lane1(overshoot);
            effectiveRatio = Set((overMask & 1) ? ratioL / std::atan(oL * 0.1) : 1.0,
                                 (stereo && (overMask & 2)) ? ratioR / std::atan(oR * 0.1) : 1.0);
        } else {
            effectiveRatio = Add(Mul(Mul(ratioSlope, overshoot), Splat(0.02)), one);
        }

        // Held overshoot: 0 when the gain is exactly 1, else
        // std::max(held, overshoot) = held < overshoot ? overshoot : held.
        held = _mm_andnot_pd(_mm_cmpeq_pd(gain, one), _mm_max_pd(overshoot, held));
        // std::max(0.0, t) = 0 < t ? t : 0.
        const V releaseMs = _mm_max_pd(Add(Mul(releaseSlope, held), releaseBase), zero);
        const double msL = Lane0(releaseMs), msR = Lane1(releaseMs);
        if (!(cached[0] && msL == cachedMs[0]) || (stereo && !(cached[1] && msR == cachedMs[1]))) {
            double coef[2] = {Lane0(releaseCoef), Lane1(releaseCoef)};
            double shadowCoef[2] = {Lane0(releaseShadowCoef), Lane1(releaseShadowCoef)};
            const double ms[2] = {msL, msR};
            for (int lane = 0; lane < (stereo ? 2 : 1); ++lane) {
                if (cached[lane] && ms[lane] == cachedMs[lane]) continue;
                coef[lane] = std::exp(-1.0 / (engines[lane]->msRelease * ms[lane]));
                shadowCoef[lane] = std::exp(-1.0 / (engines[lane]->msShadow * ms[lane]));
                cachedMs[lane] = ms[lane];
                cached[lane] = true;
            }
            if (!stereo) {
                coef[1] = coef[0];
                shadowCoef[1] = shadowCoef[0];
            }
            releaseCoef = Set(coef[0], coef[1]);
            releaseShadowCoef = Set(shadowCoef[0], shadowCoef[1]);
        }

        // Target gain: exp(0) = 1 exactly where the level is not over the
        // threshold, so those lanes skip the exponential.
        V target = one;
        if (overMask) {
            const V targetDb = Mul(overshoot, Sub(Div(one, effectiveRatio), one));
            const V argument = Select(over, Mul(targetDb, Splat(kDbToLog)), Splat(-1.0));
            target = Select(over, Flush(ExactExpLog::Exp(argument)), one);
        }

        // Attack (target <= gain): shadow toward the target, gain toward the
        // shadow. Release: shadow and gain toward the target. Both update the
        // shadow the same way, with their own coefficient.
        const V attack = _mm_cmple_pd(target, gain);
        gainShadow = Add(target, Mul(Sub(gainShadow, target), Select(attack, attackShadowCoef, releaseShadowCoef)));
        const V base = Select(attack, gainShadow, target);
        gain = Add(base, Mul(Sub(gain, base), Select(attack, attackCoef, releaseCoef)));
        gain = LowPass(smoother, gain);

        y = Mul(Mul(gain, audio), outputFactor);

        bypassMix = 0.05 * bypassMix + plan.bypassTarget;
        y = Flush(Add(Mul(y, Splat(1.0 - bypassMix)), Mul(dry, Splat(bypassMix))));
        y = Block(outDc, Sub(y, dither));
        if (stereo) {
            outL[i] = Lane0(y);
            outR[i] = Lane1(y);
        } else {
            outL[i] = Lane0(y);
        }
        if (kFeedback) feedback = Mul(y, feedbackScale);

        p.UpdateMeter(Lane0(gain));
    }
    if (!kFeedback && frames > 0) feedback = Mul(y, feedbackScale);

    // Registers back into the states.
    lanes.Store(inDc.y, p.inputDcL.y, inDcR.y);
    lanes.Store(inDc.xPrevious, p.inputDcL.xPrevious, inDcR.xPrevious);
    lanes.Store(outDc.y, p.outputDcL.y, outDcR.y);
    lanes.Store(outDc.xPrevious, p.outputDcL.xPrevious, outDcR.xPrevious);
    lanes.Store(colorDc.y, eL.color.dcBlocker.y, eR.color.dcBlocker.y);
    lanes.Store(colorDc.xPrevious, eL.color.dcBlocker.xPrevious, eR.color.dcBlocker.xPrevious);
    lanes.Store(feedback, p.feedbackL, feedbackR);
    if (highPassOn) lanes.StoreSection(highPass, p.detectorFilterL.highPass, detR.highPass);
    if (lowPassOn) lanes.StoreSection(lowPass, p.detectorFilterL.lowPass, detR.lowPass);
    lanes.StoreSection(smoother, eL.gainSmoother, eR.gainSmoother);
    lanes.StoreSection(preShelf, eL.color.preShelf, eR.color.preShelf);
    lanes.StoreSection(postShelf, eL.color.postShelf, eR.color.postShelf);
    lanes.Store(lastOutput, eL.color.lastOutput, eR.color.lastOutput);
    lanes.Store(meanSquare, eL.meanSquare, eR.meanSquare);
    lanes.Store(peak, eL.peak, eR.peak);
    lanes.Store(held, eL.heldOvershootDb, eR.heldOvershootDb);
    lanes.Store(gain, eL.gain, eR.gain);
    lanes.Store(gainShadow, eL.gainShadow, eR.gainShadow);
    lanes.Store(releaseCoef, eL.releaseCoef, eR.releaseCoef);
    lanes.Store(releaseShadowCoef, eL.releaseShadowCoef, eR.releaseShadowCoef);
    eL.cachedReleaseMs = cachedMs[0];
    eL.releaseCached = cached[0];
    if (stereo) {
        eR.cachedReleaseMs = cachedMs[1];
        eR.releaseCached = cached[1];
    }
    p.bypassMix = bypassMix;
}

bool InputsBounded(const double* x, int frames) {
    // One pass, no early exit, so the loop vectorises.
    bool ok = true;
    for (int i = 0; i < frames; ++i) ok &= std::fabs(x[i]) <= kInputLimit;
    return ok;
}

bool EngineBounded(const DynamicsEngine& e) {
    const ColorStage& c = e.color;
    const double states[] = {e.meanSquare, e.peak, e.heldOvershootDb, e.gain, e.gainShadow,
                             e.gainSmoother.state, e.gainSmoother.output, c.preShelf.state,
                             c.preShelf.output, c.postShelf.state, c.postShelf.output, c.lastOutput,
                             c.dcBlocker.y, c.dcBlocker.xPrevious};
    for (double s : states)
        if (!Bounded(s, kStateLimit)) return false;
    const double settings[] = {e.thresholdDb, e.ratio, e.ratioSlope, e.releaseBaseMs, e.releaseSlope,
                               e.msRelease, e.msShadow, e.peakCoef, e.averageCoef, e.attackCoef,
                               e.attackShadowCoef, c.preGain, c.postGain, c.drive1, c.drive2,
                               c.asymmetry, e.outputFactor};
    for (double s : settings)
        if (!Bounded(s, kGainLimit)) return false;
    return c.enabled > 0 && e.gainSmoother.mode == FirstOrderSection::kLowPass &&
           c.preShelf.mode == FirstOrderSection::kHighShelf && c.postShelf.mode == FirstOrderSection::kHighShelf;
}

bool ChannelBounded(const DcBlocker& in, const DcBlocker& out, double feedback, const DetectorFilter& f) {
    const double states[] = {in.y, in.xPrevious, out.y, out.xPrevious, feedback, f.highPass.state,
                             f.highPass.output, f.lowPass.state, f.lowPass.output};
    for (double s : states)
        if (!Bounded(s, kStateLimit)) return false;
    return f.highPass.mode == FirstOrderSection::kHighPass && f.lowPass.mode == FirstOrderSection::kLowPass;
}

}  // namespace

bool KestromProcessor::RunKernels(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                                  const BlockPlan& plan) {
    if (!ExactExpLog::Usable()) return false;
    if (!(plan.link == 0.0 || plan.link == 1.0)) return false;
    const double gains[] = {inputGain, plan.feedbackScale, plan.feedbackShare, plan.jitterDepth, plan.bypassTarget};
    for (double g : gains)
        if (!Bounded(g, kGainLimit)) return false;
    if (!(plan.feedbackShare >= 0.0)) return false;
    if (!EngineBounded(engineL) || !ChannelBounded(inputDcL, outputDcL, feedbackL, detectorFilterL)) return false;
    if (stereo) {
        if (!EngineBounded(engineR) || !ChannelBounded(inputDcR, outputDcR, feedbackR, detectorFilterR)) return false;
        // Both channels share one configuration in the kernel's branches.
        if (engineR.instantSquare != engineL.instantSquare || (engineR.ratio > 0.0) != (engineL.ratio > 0.0) ||
            detectorFilterR.highPassOn != detectorFilterL.highPassOn ||
            detectorFilterR.lowPassOn != detectorFilterL.lowPassOn)
            return false;
    }
    if (!InputsBounded(inputs[0], frames) || (stereo && !InputsBounded(inputs[1], frames))) return false;

    const KernelPlan k{inputGain, plan.jitterDepth, plan.feedbackShare, plan.feedbackScale, plan.bypassTarget,
                       plan.link == 0.0};
    const double* inR = stereo ? inputs[1] : nullptr;
    double* outR = stereo ? outputs[1] : nullptr;
    const bool feedback = plan.feedbackShare != 0.0;
    const bool negative = !(engineL.ratio > 0.0);
    if (feedback) {
        if (negative)
            RunLanes<true, true>(*this, inputs[0], inR, outputs[0], outR, frames, k);
        else
            RunLanes<true, false>(*this, inputs[0], inR, outputs[0], outR, frames, k);
    } else {
        if (negative)
            RunLanes<false, true>(*this, inputs[0], inR, outputs[0], outR, frames, k);
        else
            RunLanes<false, false>(*this, inputs[0], inR, outputs[0], outR, frames, k);
    }
    ++kernelBlocks;
    return true;
}

#else

bool KestromProcessor::RunKernels(const double* const*, double* const*, int, bool, const BlockPlan&) {
    return false;
}

#endif

}  // namespace kestrom
