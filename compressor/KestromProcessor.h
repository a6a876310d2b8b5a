#pragma once

#include <cmath>

#include "compressor/DcBlocker.h"
#include "compressor/DetectorFilter.h"
#include "compressor/DynamicsEngine.h"
#include "compressor/FlushToZero.h"
#include "compressor/KestromSettings.h"
#include "compressor/NoiseGenerator.h"

namespace kestrom {

// The whole per-block processing of the Kestrom compressor, independent of the
// plug-in framework. Per channel: input gain, a tiny dither and a gain jitter,
// a DC blocker, the dynamics engine (detector fed by a blend of the input and
// the previous output, optionally band-limited), a crossfade to the dry input
// for bypass, removal of the dither and an output DC blocker. The gain
// reduction of the left (or only) channel drives a meter.
//
// Real-time safe: no allocation, no locks, no I/O, no exceptions. The owner
// serialises calls (the plug-in holds its lock around each of them).
struct KestromProcessor {
    // Sample rate used by every coefficient computation; changes only in Reset.
    double rate = 44100.0;

    // Smoothed linear input and output gains, moved 90 % of the way to the
    // knob value once per block. The output gain only rescales the feedback.
    double inputGainState = 0.0;
    double outputGainState = 0.0;
    double inputGain = 1.0;  // the copy the sample loop uses
    // Dry share of the output: 0 fully processed, 1 fully dry (Power off).
    double bypassMix = 0.0;

    NoiseGenerator ditherNoise;
    NoiseGenerator jitterNoiseL;
    NoiseGenerator jitterNoiseR;
    DcBlocker inputDcL;
    DcBlocker inputDcR;
    DcBlocker outputDcL;
    DcBlocker outputDcR;
    // Previous output sample divided by the smoothed output gain.
    double feedbackL = 0.0;
    double feedbackR = 0.0;
    DetectorFilter detectorFilterL;
    DetectorFilter detectorFilterR;
    DynamicsEngine engineL;
    DynamicsEngine engineR;

    // Meter: a 300 Hz low-pass of the left gain with rise/fall ballistics.
    // The coefficients stay 0 until the first Reset.
    double meterFilterGain = 0.0;
    double meterFilterPole = 0.0;
    double meterFilterState = 0.0;
    double meterRise = 0.0;
    double meterFall = 0.0;
    double meterLevel = 0.0;
    double meterValue = 1.0;  // meterLevel as of the last processed sample

    // How blocks are processed: the plain per-sample path, or the kernels
    // (identical output bits, several times faster) where they apply, their
    // wide pass two or four lanes wide.
    enum class KernelPath { kPlain, kTwoLane, kFourLane };
    // The fastest path this CPU runs (the plain path where the kernels'
    // exact maths is not available); decided once per process.
    static KernelPath BestKernelPath();
    // Tests set kPlain to compare against, or a narrower path than the best;
    // a path the CPU cannot run falls back to the plain path.
    KernelPath kernelPath = BestKernelPath();
    // Number of runs through the kernels (a diagnostic for tests): one per
    // block, or one per piece of a block whose input had to be repaired.
    long long kernelBlocks = 0;
    // Blocks whose fast kernel run met a value to flush and ran again with
    // every flush checked (a diagnostic too); after one, the next few
    // blocks run checked straight away (checkedKernelBlocks counts them).
    long long kernelReruns = 0;
    int checkedKernelBlocks = 0;
    // Input samples, over all blocks so far, that were infinite or NaN and
    // went into the processing as 0.
    long long replacedInputSamples = 0;

    // Sample-rate dependent coefficients (rate, meter ballistics and meter
    // low-pass). No audio state is cleared. Returns false, changing nothing,
    // for a rate that is not a positive finite number.
    bool Reset(double sampleRate);

    // Processes one block: per-block preparation from `settings`, then
    // `frames` samples of inputs[0] (and inputs[1] when `stereo`) into
    // outputs[0] (and outputs[1]). Only the channels of the chosen path are
    // read or written; inputs and outputs may be the same buffers. A block of
    // 0 frames still does the preparation. An infinite or NaN input sample is
    // processed as 0 (the output is that of the same block with 0 in its
    // place, finite everywhere) and counted in replacedInputSamples. Finite
    // input so large that a state overflows affects at most its own block:
    // recursive state that is not finite at the end of a block returns to its
    // initial value.
    void ProcessBlock(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                      const KestromSettings& settings);

    // Position of the gain-reduction needle after the last block: the
    // reduction in dB over a 22 dB full scale, clamped to 0..1 (0 = none).
    // Has no side effect, so it may be called any number of times.
    double NeedleValue() const;

    // One sample of the meter, from the left (or only) channel's gain; the
    // sample loops call it after every frame. A 300 Hz low-pass of |gain|,
    // then rise/fall ballistics.
    void UpdateMeter(double leftGain) {
        const double lp = std::fabs(leftGain) * 2.0 * meterFilterGain + meterFilterPole * meterFilterState;
        meterFilterState = lp;
        const double ballistics = lp > meterLevel ? meterRise : meterFall;
        meterLevel = FlushToZero(lp + (meterLevel - lp) * ballistics);
        meterValue = meterLevel;
    }

private:
    // What the sample loops need beyond the processor's own fields.
    struct BlockPlan {
        double feedbackScale;
        double feedbackShare;
        double jitterDepth;
        double link;  // 1 for dual mono (unlinked), 0 for linked detectors
        double bypassTarget;  // added per sample to 0.05 * bypassMix
    };

    BlockPlan PrepareBlock(const KestromSettings& settings);
    // The sample loops over `frames` frames: the kernels where they apply
    // (inRange: InputsInKernelRange of these inputs), else the plain path.
    void RunFrames(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                   const BlockPlan& plan, bool inRange);
    // RunFrames for a block with infinite or NaN input samples: in pieces,
    // each from a copy of its input with those samples replaced by 0.
    void RunRepaired(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                     const BlockPlan& plan);
    void RunMono(const double* in, double* out, int frames, const BlockPlan& plan);
    void RunStereo(const double* inL, const double* inR, double* outL, double* outR, int frames,
                   const BlockPlan& plan);
    // Whether the kernels may run on this machine and path and every input
    // sample is within their range (KestromKernels.cpp); no infinity or NaN
    // is. One branch-free scan per channel.
    bool InputsInKernelRange(const double* const* inputs, int frames, bool stereo) const;
    // The same processing through the kernels (KestromKernels.cpp), for
    // inputs for which InputsInKernelRange holds. Returns false, having changed nothing, when they
    // do not apply to this block: no exact two-lane exp/log on this machine,
    // or state outside the range in which they are proven to match the plain
    // path.
    bool RunKernels(const double* const* inputs, double* const* outputs, int frames, bool stereo,
                    const BlockPlan& plan);
    void RecoverNonFiniteState();
};

}  // namespace kestrom
