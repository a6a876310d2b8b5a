#include "compressor/KestromProcessor.h"

#include "compressor/KestromParams.h"

#include <algorithm>
#include <cmath>

#include "compressor/DynamicsSettings.h"
#include "compressor/FiniteInput.h"
#include "compressor/FlushToZero.h"
#include "core/Decibels.h"

namespace kestrom {

namespace {
// 2*pi*300: corner of the meter's low-pass.
constexpr double kMeterCornerW = 1884.9555921538758;
// Dither amplitude: far below any audible level, enough to keep the
// recursive paths away from zero.
constexpr double kDitherDepth = 9e-11;
}  // namespace

bool KestromProcessor::Reset(double sampleRate) {
    if (!std::isfinite(sampleRate) || !(sampleRate > 0.0)) return false;
    rate = sampleRate;
    // 1 % left after 1 ms (rise) and after 600 ms (fall).
    meterRise = std::pow(0.01, 1.0 / (rate * 0.001));
    meterFall = std::pow(0.01, 1.0 / (rate * 0.001 * 600.0));
    const double k = 1.0 / (3.0 * rate + kMeterCornerW);
    meterFilterPole = (3.0 * rate - kMeterCornerW) * k;
    meterFilterGain = kMeterCornerW * k;
    return true;
}

KestromProcessor::BlockPlan KestromProcessor::PrepareBlock(const KestromSettings& s) {
    const DynamicsSettings d = DynamicsSettings::Select(s.inNormal, s.negative, s.relaxed);

    inputGainState = 0.1 * inputGainState + 0.9 * s.InputGainFactor();
    inputGain = inputGainState;
    outputGainState = 0.1 * outputGainState + 0.9 * s.OutputGainFactor();

    engineL.Configure(d, s.outDb, rate);
    engineR.Configure(d, s.outDb, rate);

    // "Deep" lets the detector hear only 220 .. 2250 Hz; otherwise both corners
    // lie outside the band where the stages are switched in.
    const double highPassHz = s.deep ? 220.0 : 10.0;
    const double lowPassHz = s.deep ? 2250.0 : 22050.0;
    detectorFilterL.Configure(highPassHz, lowPassHz, rate);
    detectorFilterR.Configure(highPassHz, lowPassHz, rate);

    BlockPlan plan;
    plan.feedbackScale = 1.0 / outputGainState;
    plan.feedbackShare = d.feedbackShare;
    plan.jitterDepth = d.jitterDepth;
    plan.link = s.dualMono ? 1.0 : 0.0;
    plan.bypassTarget = s.power ? 0.0 : 0.95;
    return plan;
}

void KestromProcessor::ProcessBlock(const double* const* inputs, double* const* outputs, int frames,
                                    bool stereo, const KestromSettings& settings) {
    const BlockPlan plan = PrepareBlock(settings);
    if (frames > 0) {
        // One branch-free scan of the input per block; a block without
        // infinities or NaNs then runs exactly as it always did. Input in
        // the kernels' range is finite; only other blocks (or machines
        // without the kernels) are scanned for infinities and NaNs.
        const bool inRange = InputsInKernelRange(inputs, frames, stereo);
        const bool finite = inRange || (AllFinite(inputs[0], frames) && (!stereo || AllFinite(inputs[1], frames)));
        if (finite) {
            RunFrames(inputs, outputs, frames, stereo, plan, inRange);
        } else {
            RunRepaired(inputs, outputs, frames, stereo, plan);
        }
    }
    RecoverNonFiniteState();
}

void KestromProcessor::RunFrames(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                                 const BlockPlan& plan, bool inRange) {
    if (inRange && RunKernels(inputs, outputs, frames, stereo, plan)) return;
    if (stereo) {
        RunStereo(inputs[0], inputs[1], outputs[0], outputs[1], frames, plan);
    } else {
        RunMono(inputs[0], outputs[0], frames, plan);
    }
}

void KestromProcessor::RunRepaired(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                                   const BlockPlan& plan) {
    // A non-finite sample reaching the recursions (DC blockers, detector,
    // gain smoothing, feedback) would make every later output of the block
    // NaN. Replaced by 0 before anything reads it, it disturbs the output
    // only as a 0 there would. Every state advances once per frame and the
    // block plan is fixed, so running the block in pieces gives the same
    // bits as running it whole: the output is exactly that of the block with
    // 0 in place of each bad sample. Each piece's input is copied before any
    // of its output is written, so in-place buffers stay correct.
    constexpr int kPiece = 256;
    double repaired[2][kPiece];
    const double* pieceIn[2] = {repaired[0], repaired[1]};
    for (int start = 0; start < frames; start += kPiece) {
        const int n = std::min(kPiece, frames - start);
        replacedInputSamples += CopyReplacingNonFinite(inputs[0] + start, repaired[0], n);
        if (stereo) replacedInputSamples += CopyReplacingNonFinite(inputs[1] + start, repaired[1], n);
        double* pieceOut[2] = {outputs[0] + start, stereo ? outputs[1] + start : nullptr};
        RunFrames(pieceIn, pieceOut, n, stereo, plan, InputsInKernelRange(pieceIn, n, stereo));
    }
}

void KestromProcessor::RunMono(const double* in, double* out, int frames, const BlockPlan& plan) {
    const double share = plan.feedbackShare;
    for (int i = 0; i < frames; ++i) {
        const double dry = in[i];
        double x = inputGain * dry;
        const double d = ditherNoise.Next() * kDitherDepth;
        x = FlushToZero(x + d);
        x = x * (1.0 + plan.jitterDepth * jitterNoiseL.Next());
        x = inputDcL.Process(x);

        const double detector = detectorFilterL.Process(x * (1.0 - share) + feedbackL * share);
        double y = engineL.Process(x, detector);

        bypassMix = 0.05 * bypassMix + plan.bypassTarget;
        y = FlushToZero(y * (1.0 - bypassMix) + dry * bypassMix);
        y = outputDcL.Process(y - d);
        out[i] = y;
        feedbackL = y * plan.feedbackScale;

        UpdateMeter(engineL.gain);
    }
}

void KestromProcessor::RunStereo(const double* inL, const double* inR, double* outL, double* outR,
                                 int frames, const BlockPlan& plan) {
    const double share = plan.feedbackShare;
    const double link = plan.link;
    for (int i = 0; i < frames; ++i) {
        const double dryL = inL[i];
        const double dryR = inR[i];
        double xL = inputGain * dryL;
        double xR = inputGain * dryR;
        const double d = ditherNoise.Next() * kDitherDepth;
        xL = FlushToZero(xL + d);
        xR = FlushToZero(xR + d);
        xL = xL * (1.0 + plan.jitterDepth * jitterNoiseL.Next());
        xR = xR * (1.0 + plan.jitterDepth * jitterNoiseR.Next());
        xL = inputDcL.Process(xL);
        xR = inputDcR.Process(xR);

        double vL = xL * (1.0 - share) + feedbackL * share;
        double vR = xR * (1.0 - share) + feedbackR * share;
        // Linked, both detectors hear the larger signed value (not magnitude).
        const double m = std::max(vL, vR);
        vL = m * (1.0 - link) + vL * link;
        vR = m * (1.0 - link) + vR * link;
        vL = detectorFilterL.Process(vL);
        vR = detectorFilterR.Process(vR);

        double yL = engineL.Process(xL, vL);
        double yR = engineR.Process(xR, vR);

        bypassMix = 0.05 * bypassMix + plan.bypassTarget;
        yL = FlushToZero(yL * (1.0 - bypassMix) + dryL * bypassMix);
        yR = FlushToZero(yR * (1.0 - bypassMix) + dryR * bypassMix);
        yL = outputDcL.Process(yL - d);
        yR = outputDcR.Process(yR - d);
        outL[i] = yL;
        outR[i] = yR;
        feedbackL = yL * plan.feedbackScale;
        feedbackR = yR * plan.feedbackScale;

        UpdateMeter(engineL.gain);
    }
}

double KestromProcessor::NeedleValue() const {
    // ln(0) gives -inf here, i.e. +inf dB of reduction, which clamps to 1.
    const double value = std::log(std::fabs(meterValue)) * -kLogToDb / kMeterFullScaleDb;
    if (std::isnan(value)) return 0.0;  // a NaN meter shows no reduction
    if (value < 0.0) return 0.0;
    if (value > 1.0) return 1.0;
    return value;
}

void KestromProcessor::RecoverNonFiniteState() {
    // One check per block, not per sample. Infinite and NaN input never gets
    // this far, but finite input near the top of the double range can still
    // overflow a state (a square, a feedback sum) within its block; clearing
    // such states here confines the damage to that block.
    DcBlocker* const blockers[] = {&inputDcL, &inputDcR, &outputDcL, &outputDcR};
    for (DcBlocker* b : blockers) {
        if (!b->IsFinite()) b->ClearState();
    }
    if (!detectorFilterL.IsFinite()) detectorFilterL.ClearState();
    if (!detectorFilterR.IsFinite()) detectorFilterR.ClearState();
    if (!engineL.IsFinite()) engineL.ClearState();
    if (!engineR.IsFinite()) engineR.ClearState();
    if (!std::isfinite(feedbackL)) feedbackL = 0.0;
    if (!std::isfinite(feedbackR)) feedbackR = 0.0;
    if (!std::isfinite(inputGainState) || !std::isfinite(outputGainState)) {
        inputGainState = 0.0;
        outputGainState = 0.0;
        inputGain = 1.0;
    }
    if (!std::isfinite(meterFilterState) || !std::isfinite(meterLevel) ||
        !std::isfinite(meterValue)) {
        meterFilterState = 0.0;
        meterLevel = 0.0;
        meterValue = 1.0;
    }
}

}  // namespace kestrom
