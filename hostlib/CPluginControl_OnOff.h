#pragma once

#include <cstddef>
#include <cstdint>

#include "hostlib/CPluginControl_Discrete.h"

// A host control with two values, off (0) and on (1), each with its own text
// (the master bypass). Without texts of its own it shows "On" and "Off".
class CPluginControl_OnOff : public CPluginControl_Discrete {
public:
    // Size of each text's buffer, terminator included: longer texts are cut.
    static constexpr std::size_t kTextSize = 255;

    // A null onText or offText gives "On" or "Off"; an empty one stays empty.
    CPluginControl_OnOff(uint32_t id, const char* names, int32_t defaultValue, bool automatable,
                         const char* onText = nullptr, const char* offText = nullptr);

    // Slot 4 (host library's process, user-interface thread): a text equal to
    // the on text, ignoring ASCII letter case, gives on; any other text gives
    // off (a text equal to the off text included).
    int32_t ControlValueForText(const char* text, int32_t* outControlValue) const override;
    // Slot 5 (host library's process, user-interface thread): 'O', 'n', 'o'
    // and the characters of the Discrete rule.
    bool AcceptsCharacter(int32_t code) const override;
    // Slot 10 (host library's process, user-interface thread): below width 2
    // "1" or "0", from width 2 the on or off text, cut to width.
    int32_t ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const override;

    const char* OnText() const { return onText; }
    const char* OffText() const { return offText; }

private:
    char onText[kTextSize];
    char offText[kTextSize];
};
