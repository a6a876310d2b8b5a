#include "hostlib/CPluginControl_List.h"

#include <cstring>

#include "hostlib/ControlText.h"

using namespace kestrom::hostlib;

namespace {

// Highest index of a list of `count` texts; an index fits the 32-bit range.
int32_t LastIndex(std::size_t count) {
    if (count == 0) return 0;
    if (count - 1 > static_cast<std::size_t>(INT32_MAX)) return INT32_MAX;
    return static_cast<int32_t>(count - 1);
}

}  // namespace

CPluginControl_List::CPluginControl_List(uint32_t id, const char* names,
                                         const std::vector<std::string>& newTexts, int32_t defaultIndex,
                                         bool automatable)
    : CPluginControl_Discrete(id, names, 0, LastIndex(newTexts.size()), defaultIndex, automatable),
      texts(newTexts) {}

const char* CPluginControl_List::TextAt(int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size()) return "";
    return texts[static_cast<std::size_t>(index)].c_str();
}

int32_t CPluginControl_List::ControlValueForText(const char* text, int32_t* outControlValue) const {
    if (!text || !outControlValue) return kErrorNullPointer;
    const std::size_t length = std::strlen(text);
    const std::size_t w = length < kMaxTypedLength ? length : kMaxTypedLength;
    for (int64_t i = Minimum(); i <= Maximum(); ++i) {
        const TextSpan form = ChooseForm(TextAt(static_cast<int32_t>(i)), w);
        const std::size_t cut = form.length < w ? form.length : w;
        if (EqualIgnoringCase(form.text, cut, text, length)) {
            *outControlValue = ControlValueFromInteger(static_cast<int32_t>(i));
            return kNoError;
        }
    }
    return CPluginControl_Discrete::ControlValueForText(text, outControlValue);
}

bool CPluginControl_List::AcceptsCharacter(int32_t code) const {
    return code != kUpArrow && code != kDownArrow;
}

int32_t CPluginControl_List::ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const {
    const int32_t status = CheckTextBuffer(out, width);
    if (status != kNoError) return status;
    const std::size_t w = static_cast<std::size_t>(width);
    const TextSpan form = ChooseForm(TextAt(IntegerFromControlValue(controlValue)), w);
    WriteCut(out, w, form.text, form.length);
    return kNoError;
}
