#pragma once

#include <cstdint>

#include "hostlib/CPluginControl.h"

// A host control over the integers minimum..maximum (an integer parameter;
// the list and on/off controls derive from it). The integers are spread
// evenly over the control values: minimum is -2147483648, maximum 2147483647.
//
//   control value c = truncate(-2147483648 + 4294967295 * (v - min) / (max - min))
//   integer v       = floor(min + (max - min) * (c + 2147483648) / 4294967295 + 0.5)
//
// Both are computed in double precision, so no 32-bit difference can
// overflow, and both results are limited to their ranges before they are
// converted to integers. A range of one value (maximum equal to minimum, or
// below it, which the constructor raises to minimum) maps every integer to
// -2147483648 and every control value to minimum.
//
// Every integer survives integer -> control value -> integer exactly while
// maximum - minimum is below 2^31, where one control step is worth less than
// half an integer: the truncation drops less than a step and the rounding
// back recovers it. On wider ranges (the whole 32-bit range, say) a step is
// worth about an integer and an integer can come back one off.
class CPluginControl_Discrete : public CPluginControl {
public:
    // `names`: line-feed-separated forms, longest first (a parameter gives its
    // one name). The held value starts at `defaultValue` limited to the range.
    CPluginControl_Discrete(uint32_t id, const char* names, int32_t minimum, int32_t maximum,
                            int32_t defaultValue, bool automatable);

    // Slot 2 (host library's process, user-interface thread): holds the
    // integer that `controlValue` stands for; CurrentControlValue then answers
    // that integer's control value.
    void SetFromControlValue(int32_t controlValue) override;
    // Slot 3 (host library's process, user-interface thread):
    // maximum - minimum + 1, at most 2147483647.
    int32_t StepCount() const override;
    // Slot 4 (host library's process, user-interface thread): the text's
    // leading integer as atoi reads it (blanks, optional sign, digits, anything
    // after ignored, no digits reads 0), limited to the range. Only a null
    // text or output is an error.
    int32_t ControlValueForText(const char* text, int32_t* outControlValue) const override;
    // Slot 5 (host library's process, user-interface thread): the digits,
    // '+', '-', '.', ':', '|', backspace and the left and right arrows.
    bool AcceptsCharacter(int32_t code) const override;
    // Slot 10 (host library's process, user-interface thread): the integer in
    // decimal, or "*" when that is longer than width.
    int32_t ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const override;

    int32_t Minimum() const { return minimum; }
    int32_t Maximum() const { return maximum; }
    int32_t DefaultValue() const { return defaultValue; }
    // The integer the control holds.
    int32_t Value() const { return IntegerFromControlValue(CurrentControlValue()); }

    // The conversions above; the bridge uses them between its parameters and
    // the control values. An integer outside the range is limited to it first.
    int32_t ControlValueFromInteger(int32_t v) const;
    int32_t IntegerFromControlValue(int32_t controlValue) const;

private:
    int32_t minimum;
    int32_t maximum;
    int32_t defaultValue;
};
