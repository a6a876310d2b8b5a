#pragma once

#include <cstdint>

#include "hostlib/CPluginControl_Continuous.h"

// A continuous host control whose values are spread evenly over the control
// values: minimum is -2147483648, maximum 2147483647.
//
//   control value c = floor(4294967295 * (v - min) / (max - min) - 2147483648 + 0.5)
//   value v         = min + (max - min) * (c + 2147483648) / 4294967295
//
// in double precision, evaluated in that order. Where the formulas cannot
// give a number they are made total: a NaN value reads as the minimum, values
// outside the range are limited to it first, a range of one value maps every
// value to -2147483648 and every control value to the minimum, a control value
// is limited to the 32-bit range before the conversion to an integer, and a
// value from a control value is limited to the range. Where the span, or the
// span times 4294967295, would leave the doubles (say -1e300 to 1e300) the
// same fraction is computed on halved bounds.
//
// How exactly values survive. A control value survives control value -> value
// -> control value exactly. A value comes back from value -> control value ->
// value within half a control step, (max - min) / 4294967295 / 2, and a
// little rounding: for the gain knobs (-20 to 20 dB, step 0.1) that is
// 4.66e-9 dB, so 0 dB comes back as about 4.7e-9 dB and -20 and 20 dB come
// back exactly. Every one of the knobs' 401 steps comes back nearer to itself
// than to any other step, shows the same text, and snaps back to itself
// exactly on the 0.1 grid.
class CPluginControl_Linear : public CPluginControl_Continuous {
public:
    // `step` only sets the step count: truncate((maximum - minimum) / step + 1),
    // at least 1 and at most 2147483647; a step that is not a positive number
    // (0, negative, NaN) gives 2147483647, as fine as the control values go.
    // The held value starts at the default. The bridge gives every control the
    // prefix range CSIPrefixTable::kUnityToExa.
    CPluginControl_Linear(uint32_t id, const char* names, double minimum, double maximum, double step,
                          double defaultValue, bool automatable, CSIPrefixTable::Range prefixes);

    // Slot 3 (host library's process, user-interface thread): the step count
    // computed at construction.
    int32_t StepCount() const override;
    // Slot 13 (the bridge and this control, user-interface thread): the
    // conversion above.
    int32_t ControlValueFromValue(double value) const override;
    // Slot 14 (the bridge and this control, user-interface thread): the
    // conversion above.
    double ValueFromControlValue(int32_t controlValue) const override;

    double Step() const { return step; }

private:
    double step;
    int32_t stepCount;
};
