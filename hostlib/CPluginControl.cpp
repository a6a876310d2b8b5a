#include "hostlib/CPluginControl.h"

#include <cstddef>

#include "hostlib/ControlText.h"

using namespace kestrom::hostlib;

CPluginControl::CPluginControl(uint32_t newId, const char* newNames, bool newAutomatable)
    : id(newId), names(newNames ? newNames : ""), automatable(newAutomatable) {}

CPluginControl::~CPluginControl() = default;

uint32_t CPluginControl::Id() const { return id; }

int32_t CPluginControl::CurrentControlValue() const { return controlValue; }

int32_t CPluginControl::NameForWidth(char* out, int32_t width) const {
    const int32_t status = CheckTextBuffer(out, width);
    if (status != kNoError) return status;
    const std::size_t w = static_cast<std::size_t>(width);
    const TextSpan form = ChooseForm(names.c_str(), w);
    WriteCut(out, w, form.text, form.length);
    return kNoError;
}

int32_t CPluginControl::ReservedQuery7() const { return 0; }
int32_t CPluginControl::ReservedQuery8() const { return 0; }
int32_t CPluginControl::ReservedQuery9() const { return 0; }

bool CPluginControl::IsAutomatable() const { return automatable; }

int32_t CPluginControl::CheckTextBuffer(const char* out, int32_t width) {
    if (!out) return kErrorNullPointer;
    if (width < 0) return kErrorNegativeWidth;
    return kNoError;
}
