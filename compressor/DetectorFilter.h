#pragma once

#include "compressor/FirstOrderSection.h"

namespace kestrom {

// Band limit of the level detector: a high-pass section followed by a
// low-pass section, each switched in only where it does something audible
// (high-pass corner above 20 Hz, low-pass corner below 20 kHz). With both
// switched out the detector signal passes unchanged.
struct DetectorFilter {
    FirstOrderSection highPass;
    FirstOrderSection lowPass;
    bool highPassOn = false;
    bool lowPassOn = false;

    // Coefficients for the two corners at `rate` Hz; the states are kept.
    void Configure(double highPassHz, double lowPassHz, double rate);

    double Process(double x) {
        if (highPassOn) x = highPass.Process(x);
        if (lowPassOn) x = lowPass.Process(x);
        return x;
    }

    bool IsFinite() const { return highPass.IsFinite() && lowPass.IsFinite(); }
    void ClearState() {
        highPass.ClearState();
        lowPass.ClearState();
    }
};

}  // namespace kestrom
