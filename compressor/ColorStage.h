#pragma once

#include <cmath>

#include "compressor/DcBlocker.h"
#include "compressor/FirstOrderSection.h"
#include "compressor/FlushToZero.h"

namespace kestrom {

// Saturating colour stage on the audio path of the dynamics engine:
//   e = preShelf(preGain * x)
//   d = u / sqrt(u^2 + 1) - (v / sqrt(v^2 + 1)) * asymmetry,
//       u = drive1 * e,  v = drive2 * e * lastOutput
//   lastOutput = postGain * dcBlocker(postShelf(d))
// The soft clipper u/sqrt(u^2+1) is odd; the second term, fed back from the
// previous output, adds a small even (asymmetric) component. preGain drives
// the clipper 24 dB below unity and postGain restores the level, so at normal
// levels the stage is nearly linear. Disabled (enabled <= 0), it passes x.
struct ColorStage {
    int enabled = 0;
    double preGain = 0.0;
    double postGain = 0.0;
    double drive1 = 0.0;
    double drive2 = 0.0;
    double asymmetry = 0.0;
    FirstOrderSection preShelf;
    FirstOrderSection postShelf;
    double lastOutput = 0.0;
    DcBlocker dcBlocker;

    // The fixed setting the compressor uses, at `rate` Hz: pre-shelf high
    // shelf 5 kHz -10 dB, post-shelf high shelf 10 kHz +10 dB, unit drives,
    // asymmetry 0.005, pre-gain -24 dB. States are kept.
    void Configure(double rate);

    double Process(double x) {
        if (enabled <= 0) {
            lastOutput = x;
            return x;
        }
        x = preGain * x;
        const double e = preShelf.Process(x);
        const double u = drive1 * e;
        const double v = drive2 * e * lastOutput;
        double d = u / std::sqrt(u * u + 1.0) - (v / std::sqrt(v * v + 1.0)) * asymmetry;
        d = postShelf.Process(d);
        const double z = dcBlocker.Process(d);
        lastOutput = FlushToZero(postGain * z);
        return lastOutput;
    }

    bool IsFinite() const {
        return preShelf.IsFinite() && postShelf.IsFinite() && dcBlocker.IsFinite() &&
               std::isfinite(lastOutput);
    }
    void ClearState() {
        preShelf.ClearState();
        postShelf.ClearState();
        dcBlocker.ClearState();
        lastOutput = 0.0;
    }
};

}  // namespace kestrom
