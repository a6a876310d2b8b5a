#pragma once

#include <cmath>

#include "compressor/FlushToZero.h"

namespace kestrom {

// One-pole section in the "3 x rate" bilinear-like form, used as a low-pass,
// high-pass or shelf. For a corner f at rate r:
//   w = 2*pi*f,  d = 3r + w,  gainCoef = w / d,  pole = (3r - w) / d
//   state  = 2 * gainCoef * x + pole * state        (low-pass, unity gain at DC)
//   output = state                  (low-pass)
//          = x - state              (high-pass)
//          = shelf * state + x      (low shelf,  shelf = factor - 1)
//          = (x - state) * shelf + x (high shelf)
// Invariant: |pole| < 1 for any positive f and r, so the section is stable even
// with a corner above Nyquist. The output is flushed; the state is not.
struct FirstOrderSection {
    enum Mode : int { kLowPass = 0, kHighPass = 1, kLowShelf = 4, kHighShelf = 5 };

    int mode = kLowPass;
    double gainCoef = 0.0;
    double pole = 0.0;
    double shelf = 0.0;  // shelf factor minus 1 (shelf modes only)
    double state = 0.0;
    double output = 0.0;

    // Sets the mode and the coefficients for corner `frequency` Hz at `rate`
    // Hz; for the shelf modes also the shelf gain in dB. The state is kept.
    void Configure(int newMode, double frequency, double rate, double shelfDb = 0.0);

    double Process(double x) {
        state = 2.0 * gainCoef * x + pole * state;
        double y;
        switch (mode) {
            case kHighPass: y = x - state; break;
            case kLowShelf: y = shelf * state + x; break;
            case kHighShelf: y = (x - state) * shelf + x; break;
            default: y = state; break;
        }
        output = FlushToZero(y);
        return output;
    }

    bool IsFinite() const { return std::isfinite(state) && std::isfinite(output); }
    void ClearState() { state = 0.0; output = 0.0; }
};

}  // namespace kestrom
