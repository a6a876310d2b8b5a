#pragma once

#include "core/Decibels.h"

namespace kestrom {

// The seven control values as the processing reads them, once per block.
// inNormal is "In"'s normalised position (0 at -20 dB, 1 at +20 dB), which
// moves the detection settings; inDb and outDb are the gains in dB.
struct KestromSettings {
    double inDb = 0.0;
    double outDb = 0.0;
    double inNormal = 0.5;
    bool deep = false;
    bool relaxed = false;
    bool dualMono = false;
    bool negative = false;
    bool power = true;

    // From the parameter values in their own units; a switch is on when its
    // value is not 0.
    static KestromSettings FromParameters(double in, double out, double inNormal, double deep,
                                          double relaxed, double dualMono, double negative,
                                          double power) {
        KestromSettings s;
        s.inDb = in;
        s.outDb = out;
        s.inNormal = inNormal;
        s.deep = deep != 0.0;
        s.relaxed = relaxed != 0.0;
        s.dualMono = dualMono != 0.0;
        s.negative = negative != 0.0;
        s.power = power != 0.0;
        return s;
    }

    double InputGainFactor() const { return DbToGain(inDb); }
    double OutputGainFactor() const { return DbToGain(outDb); }
};

}  // namespace kestrom
