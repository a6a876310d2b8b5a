#include "hostlib/CPluginControl_OnOff.h"

#include <cstring>

#include "hostlib/ControlText.h"

using namespace kestrom::hostlib;

namespace {

void CopyCut(char (&dest)[CPluginControl_OnOff::kTextSize], const char* src) {
    const std::size_t length = std::strlen(src);
    WriteCut(dest, sizeof dest - 1, src, length);
}

}  // namespace

CPluginControl_OnOff::CPluginControl_OnOff(uint32_t id, const char* names, int32_t defaultValue,
                                           bool automatable, const char* newOnText,
                                           const char* newOffText)
    : CPluginControl_Discrete(id, names, 0, 1, defaultValue, automatable) {
    CopyCut(onText, newOnText ? newOnText : "On");
    CopyCut(offText, newOffText ? newOffText : "Off");
}

int32_t CPluginControl_OnOff::ControlValueForText(const char* text, int32_t* outControlValue) const {
    if (!text || !outControlValue) return kErrorNullPointer;
    const std::size_t length = std::strlen(text);
    const bool on = EqualIgnoringCase(text, length, onText, std::strlen(onText));
    *outControlValue = ControlValueFromInteger(on ? 1 : 0);
    return kNoError;
}

bool CPluginControl_OnOff::AcceptsCharacter(int32_t code) const {
    return code == 'O' || code == 'n' || code == 'o' || CPluginControl_Discrete::AcceptsCharacter(code);
}

int32_t CPluginControl_OnOff::ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const {
    const int32_t status = CheckTextBuffer(out, width);
    if (status != kNoError) return status;
    const bool on = IntegerFromControlValue(controlValue) != 0;
    const char* text = width < 2 ? (on ? "1" : "0") : (on ? onText : offText);
    WriteCut(out, static_cast<std::size_t>(width), text, std::strlen(text));
    return kNoError;
}
