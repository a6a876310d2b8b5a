#include "hostlib/CPluginControl_Discrete.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "hostlib/ControlText.h"

using namespace kestrom::hostlib;

namespace {

constexpr double kControlSpan = 4294967295.0;  // top - bottom of the control values
constexpr double kControlOffset = 2147483648.0;  // -bottom

// Truncation toward zero into the control values, defined for every double:
// values beyond either end give that end, NaN gives the bottom.
int32_t TruncateToControl(double c) {
    if (!(c > -2147483648.0)) return CPluginControl::kBottom;
    if (c >= 2147483647.0) return CPluginControl::kTop;
    return static_cast<int32_t>(c);
}

}  // namespace

CPluginControl_Discrete::CPluginControl_Discrete(uint32_t id, const char* names, int32_t newMinimum,
                                                 int32_t newMaximum, int32_t newDefault,
                                                 bool automatable)
    : CPluginControl(id, names, automatable),
      minimum(newMinimum),
      maximum(newMaximum < newMinimum ? newMinimum : newMaximum),
      defaultValue(newDefault) {
    SetHeldControlValue(ControlValueFromInteger(defaultValue));
}

int32_t CPluginControl_Discrete::ControlValueFromInteger(int32_t v) const {
    if (maximum == minimum) return kBottom;
    if (v < minimum) v = minimum;
    if (v > maximum) v = maximum;
    const double offset = static_cast<double>(int64_t{v} - minimum);
    const double span = static_cast<double>(int64_t{maximum} - minimum);
    return TruncateToControl(-kControlOffset + kControlSpan * offset / span);
}

int32_t CPluginControl_Discrete::IntegerFromControlValue(int32_t c) const {
    const double span = static_cast<double>(int64_t{maximum} - minimum);
    const double v =
        std::floor(static_cast<double>(minimum) + span * (static_cast<double>(c) + kControlOffset) / kControlSpan + 0.5);
    if (!(v > minimum)) return minimum;
    if (v >= maximum) return maximum;
    return static_cast<int32_t>(v);
}

void CPluginControl_Discrete::SetFromControlValue(int32_t controlValue) {
    SetHeldControlValue(ControlValueFromInteger(IntegerFromControlValue(controlValue)));
}

int32_t CPluginControl_Discrete::StepCount() const {
    const int64_t count = int64_t{maximum} - minimum + 1;
    return count > kTop ? kTop : static_cast<int32_t>(count);
}

int32_t CPluginControl_Discrete::ControlValueForText(const char* text, int32_t* outControlValue) const {
    if (!text || !outControlValue) return kErrorNullPointer;
    int64_t v = ReadLeadingInteger(text);
    if (v < minimum) v = minimum;
    if (v > maximum) v = maximum;
    *outControlValue = ControlValueFromInteger(static_cast<int32_t>(v));
    return kNoError;
}

bool CPluginControl_Discrete::AcceptsCharacter(int32_t code) const {
    if (code >= '0' && code <= '9') return true;
    switch (code) {
        case '+': case '-': case '.': case ':': case '|':
        case kBackspace: case kLeftArrow: case kRightArrow:
            return true;
        default:
            return false;
    }
}

int32_t CPluginControl_Discrete::ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const {
    const int32_t status = CheckTextBuffer(out, width);
    if (status != kNoError) return status;
    char number[16];
    const int length = std::snprintf(number, sizeof number, "%d", IntegerFromControlValue(controlValue));
    const std::size_t w = static_cast<std::size_t>(width);
    if (length < 0 || static_cast<std::size_t>(length) > w)
        WriteCut(out, w, "*", 1);
    else
        WriteCut(out, w, number, static_cast<std::size_t>(length));
    return kNoError;
}
