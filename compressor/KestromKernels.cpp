// KestromProcessor's kernels: the same per-sample processing as
// RunMono/RunStereo, with the left and right channels as the two lanes of one
// SSE2 register, every state held in registers for the whole block, the
// per-block constants hoisted, and exp/log computed in-line by ExactExpLog
// (which returns libm's bits). Every arithmetic operation that reaches an
// output is the same IEEE operation on the same operands as in the plain
// path, so the output bits are identical; where a term is dropped, the
// comment says why that cannot change a bit. Mono runs the same kernel with
// the left channel in both lanes and keeps lane 0. The steps are in
// internal/KernelSteps.h, normal mode's loop in KestromFeedbackKernel.cpp,
// Negative's and Relaxed's passes in KestromOpenLoopKernel.cpp; this file
// decides per block whether and which kernel runs.
//
// The kernels apply only to blocks whose input samples are finite and at most
// kInputLimit in magnitude, with states and gains bounded likewise: then no
// intermediate value overflows, no NaN arises, and bit identity holds for
// every operation. Any other block takes the plain path.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "compressor/ExactAtan.h"
#include "compressor/ExactExpLog.h"
#include "compressor/FiniteInput.h"
#include "compressor/KestromProcessor.h"
#include "compressor/internal/KernelSteps.h"

namespace kestrom {

#if KESTROM_EXACT_EXP_LOG

using namespace kernels;

namespace {

// The kernels of one path: [negative] for the feedback loop, [negative]
// [jitter off] for the open loop. Set up once, chosen per block.
struct KernelTable {
    KernelRun feedback[2][2];     // [noted][negative]
    KernelRun openLoop[2][2][2];  // [noted][negative][jitter off]
};

KernelTable MakeKernelTable(int lanes) {
    KernelTable t;
    for (int noted = 0; noted < 2; ++noted) {
        for (int negative = 0; negative < 2; ++negative) {
            t.feedback[noted][negative] = FeedbackKernel(noted, negative);
            for (int jitterOff = 0; jitterOff < 2; ++jitterOff)
                t.openLoop[noted][negative][jitterOff] = OpenLoopKernel(lanes, noted, negative, jitterOff);
        }
    }
    return t;
}
// The targets pass two lanes (one frame) wide, and four lanes (two frames)
// wide with AVX2; the serial passes are the same in both.
const KernelTable kTwoLaneTable = MakeKernelTable(2);
const KernelTable kFourLaneTable = MakeKernelTable(4);

// Whether any output channel's frames share memory with any input's.
bool Overlapping(const double* const* inputs, double* const* outputs, int frames, bool stereo) {
    // Compared as addresses: the buffers are separate objects in general.
    const auto at = [](const double* p) { return reinterpret_cast<std::uintptr_t>(p); };
    const std::uintptr_t bytes = static_cast<std::uintptr_t>(frames) * sizeof(double);
    const int channels = stereo ? 2 : 1;
    for (int i = 0; i < channels; ++i)
        for (int o = 0; o < channels; ++o)
            if (at(inputs[i]) < at(outputs[o]) + bytes && at(outputs[o]) < at(inputs[i]) + bytes) return true;
    return false;
}

// Blocks run checked after a noted run met a value to flush.
constexpr int kCheckedAfterTiny = 16;

// Whether |x| <= kInputLimit for all of x[0 .. frames), NaN counting as
// over. In integer arithmetic, as AllFinite: the bits of |x| order as |x|
// does, NaN's above infinity's, and all are below 2^63, so limit - bits
// sets bit 63 exactly when |x| is over the limit.
bool InputsBounded(const double* x, int frames) {
    constexpr std::uint64_t kMagnitude = 0x7fffffffffffffffULL;
    std::uint64_t limit;
    std::memcpy(&limit, &kInputLimit, sizeof limit);
    return !AnyFlagged(x, frames, [limit](double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return limit - (bits & kMagnitude);
    });
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

KestromProcessor::KernelPath KestromProcessor::BestKernelPath() {
    // The exact exp and log (and so every kernel) need AVX2 and FMA, which
    // is all the four-lane pass needs too.
    return ExactExpLog::Usable() ? KernelPath::kFourLane : KernelPath::kPlain;
}

bool KestromProcessor::InputsInKernelRange(const double* const* inputs, int frames, bool stereo) const {
    if (kernelPath == KernelPath::kPlain || !ExactExpLog::Usable()) return false;
    return InputsBounded(inputs[0], frames) && (!stereo || InputsBounded(inputs[1], frames));
}

bool KestromProcessor::RunKernels(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                                  const BlockPlan& plan) {
    // The path and the machine were checked with the input's range.
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

    const KernelPlan k{inputGain, plan.jitterDepth, plan.feedbackShare, plan.feedbackScale, plan.bypassTarget,
                       plan.link == 0.0};
    const double* inR = stereo ? inputs[1] : nullptr;
    double* outR = stereo ? outputs[1] : nullptr;
    const bool negative = !(engineL.ratio > 0.0);
    // Relaxed has no jitter (and no feedback).
    const bool jitterOff = plan.jitterDepth == 0.0;
    const KernelTable& table = kernelPath == KernelPath::kFourLane ? kFourLaneTable : kTwoLaneTable;
    const bool feedback = plan.feedbackShare != 0.0;
    // The open loop's Negative curve takes the in-line arc tangent.
    if (!feedback && negative && !ExactAtan::Usable()) return false;
    const Channels c{*this, stereo};
    // A noted run (see Flush in KernelSteps.h) first, unless the block is
    // processed in place (a second run would read its own output) or a
    // recent block needed the checked run: then it is likely again.
    if (checkedKernelBlocks > 0) {
        --checkedKernelBlocks;
    } else if (!Overlapping(inputs, outputs, frames, stereo)) {
        const KernelRun noted = feedback ? table.feedback[1][negative] : table.openLoop[1][negative][jitterOff];
        if (noted(c, inputs[0], inR, outputs[0], outR, frames, k)) {
            ++kernelBlocks;
            return true;
        }
        ++kernelReruns;
        checkedKernelBlocks = kCheckedAfterTiny;
    }
    const KernelRun checked = feedback ? table.feedback[0][negative] : table.openLoop[0][negative][jitterOff];
    checked(c, inputs[0], inR, outputs[0], outR, frames, k);
    ++kernelBlocks;
    return true;
}

#else

KestromProcessor::KernelPath KestromProcessor::BestKernelPath() { return KernelPath::kPlain; }

bool KestromProcessor::InputsInKernelRange(const double* const*, int, bool) const { return false; }

bool KestromProcessor::RunKernels(const double* const*, double* const*, int, bool, const BlockPlan&) {
    return false;
}

#endif

}  // namespace kestrom
