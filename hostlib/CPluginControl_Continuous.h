#pragma once

#include <cstdint>
#include <string>

#include "hostlib/CPluginControl.h"
#include "hostlib/CSIPrefixTable.h"

// A host control over the real numbers minimum..maximum (a continuous
// parameter). How values map onto control values is left to the derived
// class (slots 13 and 14); this class shows values as texts with decimals,
// an SI prefix and a unit, and reads typed texts in the same form.
//
// Bounds: the constructor makes the range finite and ordered. A NaN bound
// reads as 0, an infinite one as the largest finite double of its sign, and a
// maximum below the minimum is raised to it.
class CPluginControl_Continuous : public CPluginControl {
public:
    static constexpr int32_t kMaxDecimals = 20;

    // Slot 2 (host library's process, user-interface thread): holds the value
    // slot 14 gives for `controlValue`; CurrentControlValue then answers slot
    // 13 of that value.
    void SetFromControlValue(int32_t controlValue) override;
    // Slot 4 (host library's process, user-interface thread). The text is a
    // number (decimal notation, read the same in every C locale; blanks before
    // it skipped) optionally followed, with or without blanks, by one word:
    // a prefix name of the control's range followed by the unit (each part
    // optional as the rules below allow), and optionally by blanks. The word,
    // less a unit at its end, must equal a name of the prefix range exactly
    // (letter case matters; the empty name when the range holds it); without
    // a range it must be empty. The result is slot 13 of number * factor,
    // which limits it to the range. Rejected (kErrorTextRejected): no number,
    // a number that is NaN, a second word, a word that names no prefix.
    int32_t ControlValueForText(const char* text, int32_t* outControlValue) const override;
    // Slot 5 (host library's process, user-interface thread): the digits, '.',
    // '+', '-', backspace, the left and right arrows, every character of the
    // prefix names in the range and of the unit. Only codes 1 to 255 can be
    // characters of a name or the unit.
    bool AcceptsCharacter(int32_t code) const override;
    // Slot 10 (host library's process, user-interface thread). With v = slot
    // 14 of `controlValue`:
    //  - prefix: for v other than 0, the last entry of the range passed before
    //    the first whose factor is at least |v| (none passed: no prefix);
    //  - a v between -10^-decimals and 0 shows as 0, and no text is ever a
    //    negative zero;
    //  - the number v / factor with `decimals` decimals, fewer (down to none)
    //    while number and prefix are longer than width;
    //  - then "number prefix unit" with a blank before prefix and unit when
    //    the unit is not empty and there is room, else without it; else
    //    number and prefix; else "*" followed, as room allows, by a blank,
    //    prefix and unit, or prefix and unit, or the prefix. All cut to width.
    int32_t ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const override;

    // Slot 13. The control value for `value`. Called by the bridge when a
    // parameter changes from the editor or a restored state and it reports
    // the value to the host, and by ControlValueForText; user-interface thread.
    virtual int32_t ControlValueFromValue(double value) const = 0;
    // Slot 14. The value `controlValue` stands for. Called by the bridge when
    // the host changes the control and it sets the parameter, and by
    // SetFromControlValue and ValueTextForWidth; user-interface thread.
    virtual double ValueFromControlValue(int32_t controlValue) const = 0;

    double Minimum() const { return minimum; }
    double Maximum() const { return maximum; }
    double DefaultValue() const { return defaultValue; }
    // The value the control holds.
    double Value() const { return ValueFromControlValue(CurrentControlValue()); }

    int32_t Decimals() const { return decimals; }
    // Limited to 0..kMaxDecimals.
    void SetDecimals(int32_t count);
    const char* Unit() const { return unit.c_str(); }
    // A null unit gives the empty unit.
    void SetUnit(const char* text);
    CSIPrefixTable::Range Prefixes() const { return prefixes; }

protected:
    // The held control value stays at the bottom until the derived
    // constructor sets it from the default with its own conversion. The
    // prefix range is normalised by CSIPrefixTable::Range::Clamped().
    CPluginControl_Continuous(uint32_t id, const char* names, double minimum, double maximum,
                              double defaultValue, bool automatable, CSIPrefixTable::Range prefixes);

private:
    double minimum;
    double maximum;
    double defaultValue;
    int32_t decimals = 1;
    std::string unit;
    CSIPrefixTable::Range prefixes;
};
