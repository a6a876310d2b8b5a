#include "compressor/DynamicsEngine.h"

#include <algorithm>

#include "compressor/TimeConstant.h"
#include "core/Decibels.h"

namespace kestrom {

namespace {
constexpr double kPeakReleaseMs = 35.0;
// Release sensitivity: the release lengthens by 15 % of a tenth of
// (base + 50 ms) per dB of held overshoot.
constexpr double kReleaseSensitivity = 0.15;
// Corner of the gain smoother: 20000 - 49 * 199.99 = 10200.49 Hz (the top of
// the smoother's range minus 49 steps of 199.99 Hz).
constexpr double kGainSmootherHz = 20000.0 - 49.0 * 199.99;
}  // namespace

void DynamicsEngine::Configure(const DynamicsSettings& s, double outputDb, double rate) {
    outputFactor = std::exp(outputDb * kDbToLog);
    thresholdDb = s.thresholdDb;
    ratio = s.ratio;
    ratioSlope = ratio - 1.0;
    peakCoef = TimeConstant(kPeakReleaseMs, rate);
    averageCoef = std::exp(-1.0 / (s.averagingMs * 0.001 * rate));
    instantSquare = s.averagingMs == 0.0;
    attackCoef = TimeConstant(s.attackMs, rate);
    attackShadowCoef = std::exp(-1.0 / (s.attackMs * 0.0015 * rate));
    releaseBaseMs = s.releaseBaseMs;
    releaseSlope = (s.releaseBaseMs + 50.0) * 0.1 * kReleaseSensitivity;
    const double newMsRelease = rate * 0.001;
    const double newMsShadow = rate * 0.0015;
    if (newMsRelease != msRelease || newMsShadow != msShadow) releaseCached = false;
    msRelease = newMsRelease;
    msShadow = newMsShadow;
    gainSmoother.Configure(FirstOrderSection::kLowPass, kGainSmootherHz, rate);
    color.Configure(rate);
}

void DynamicsEngine::UpdateReleaseCoefs(double releaseMs) {
    if (releaseCached && releaseMs == cachedReleaseMs) return;
    releaseCoef = std::exp(-1.0 / (msRelease * releaseMs));
    releaseShadowCoef = std::exp(-1.0 / (msShadow * releaseMs));
    cachedReleaseMs = releaseMs;
    // A NaN time never compares equal, so it is never served from the cache.
    releaseCached = true;
}

double DynamicsEngine::Process(double audio, double s) {
    const double a = color.Process(audio);

    // Detector: mean square, then a peak follower on its root.
    if (instantSquare) {
        meanSquare = s * s;
    } else {
        meanSquare = (1.0 - averageCoef) * (s * s) + averageCoef * meanSquare;
    }
    const double level = FlushToZero(std::sqrt(meanSquare));
    if (level > peak) {
        peak = level;
    } else {
        peak = level + (peak - level) * peakCoef;
    }
    const double levelDb = FlushToZero(std::log(std::fabs(peak)) * kLogToDb);

    // Gain computer.
    const bool over = levelDb > thresholdDb;
    const double overshoot = over ? levelDb - thresholdDb : 0.0;
    const double effectiveRatio = ratio > 0.0 ? ratioSlope * overshoot * 0.02 + 1.0
                                              : ratio / std::atan(overshoot * 0.1);

    // Program-dependent release: the largest overshoot since the gain was last
    // exactly 1 lengthens the release. Note that once the gain has been pulled
    // down, its recovery (a release step followed by the smoother) stalls a few
    // 1e-12 below 1 in double arithmetic, so after the first reduction the held
    // overshoot in practice only grows.
    heldOvershootDb = gain == 1.0 ? 0.0 : std::max(heldOvershootDb, overshoot);
    const double releaseMs = std::max(0.0, releaseSlope * heldOvershootDb + releaseBaseMs);
    UpdateReleaseCoefs(releaseMs);

    const double targetDb = over ? (levelDb - thresholdDb) * (1.0 / effectiveRatio - 1.0) : 0.0;
    const double target = FlushToZero(std::exp(targetDb * kDbToLog));

    if (target <= gain) {
        // Attack, two stages: the shadow follows the target, the gain the shadow.
        gainShadow = target + (gainShadow - target) * attackShadowCoef;
        gain = gainShadow + (gain - gainShadow) * attackCoef;
    } else {
        // Release, one stage; the shadow keeps tracking for the next attack.
        gainShadow = target + (gainShadow - target) * releaseShadowCoef;
        gain = target + (gain - target) * releaseCoef;
    }
    gain = gainSmoother.Process(gain);

    return gain * a * outputFactor;
}

bool DynamicsEngine::IsFinite() const {
    return std::isfinite(meanSquare) && std::isfinite(peak) && std::isfinite(heldOvershootDb) &&
           std::isfinite(gain) && std::isfinite(gainShadow) && gainSmoother.IsFinite() &&
           color.IsFinite();
}

void DynamicsEngine::ClearState() {
    meanSquare = 0.0;
    peak = 0.0;
    heldOvershootDb = 0.0;
    gain = 1.0;
    gainShadow = 1.0;
    gainSmoother.ClearState();
    color.ClearState();
}

}  // namespace kestrom
