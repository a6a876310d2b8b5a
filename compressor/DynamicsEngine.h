#pragma once

#include <cmath>

#include "compressor/ColorStage.h"
#include "compressor/DynamicsSettings.h"
#include "compressor/FirstOrderSection.h"

namespace kestrom {

// Gain computer and smoother of one channel. Per sample, given the audio a and
// the detector signal s:
//   a      -> colour stage
//   ms     =  (1 - cAvg) * s^2 + cAvg * ms      (s^2 when averaging is 0)
//   peak   follows sqrt(ms): instant rise, 35 ms release
//   o      =  overshoot of the peak level over the threshold, in dB
//   Reff   =  (R - 1) * o / 50 + 1              (R > 0: ratio grows with o)
//          =  R / atan(o / 10)                  (R <= 0: "negative" curve)
//   target =  dB-to-gain of o * (1/Reff - 1)
//   gain   -> two-stage attack or one-stage program-dependent release toward
//             target, then a 10.2 kHz low-pass
//   result =  gain * a * outputFactor
// The release time grows with the largest overshoot held since the gain last
// sat at exactly 1. The low-pass output becomes the next sample's gain, so the
// low-pass sits inside the attack and release recursions and stretches their
// time constants by 1 / (1 - pole) (about 1.5 at 44.1 kHz, more at higher
// rates); and since its state starts at 0, a fresh engine's first gain is
// 1 - pole, from which it releases. Invariant after ClearState: gain =
// gainShadow = 1, low-pass state 0 (the same start as construction).
struct DynamicsEngine {
    // Configuration, recomputed every block.
    double outputFactor = 1.0;
    double thresholdDb = 0.0;
    double ratio = 1.0;
    double ratioSlope = 0.0;  // ratio - 1
    double peakCoef = 0.0;
    double averageCoef = 0.0;
    bool instantSquare = true;  // averaging time 0: the detector squares s directly
    double attackCoef = 0.0;
    double attackShadowCoef = 0.0;
    double releaseBaseMs = 0.0;
    double releaseSlope = 0.0;   // ms of release per dB of held overshoot
    double msRelease = 0.0;      // samples per millisecond
    double msShadow = 0.0;       // samples per 1.5 ms

    // State.
    double meanSquare = 0.0;
    double peak = 0.0;
    double heldOvershootDb = 0.0;
    double gain = 1.0;
    double gainShadow = 1.0;
    FirstOrderSection gainSmoother;
    ColorStage color;

    // The release coefficients for the last release time, so they are only
    // recomputed when the time changes (same inputs, same bits).
    bool releaseCached = false;
    double cachedReleaseMs = 0.0;
    double releaseCoef = 0.0;
    double releaseShadowCoef = 0.0;

    // Applies the detection settings and the output gain ("Out", in dB, not
    // smoothed) at `rate` Hz. States are kept.
    void Configure(const DynamicsSettings& settings, double outputDb, double rate);

    double Process(double audio, double detector);

    bool IsFinite() const;
    // Back to the initial state: gain 1, detector and smoothers empty.
    void ClearState();

private:
    void UpdateReleaseCoefs(double releaseMs);
};

}  // namespace kestrom
