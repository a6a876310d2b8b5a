// The routines about an instance's host controls: what they are, their names
// and value texts, typed texts, values set and read by the host, gestures.

#include <cmath>

#include "hostlib/CPluginControl.h"
#include "hostlib/CPluginControl_Continuous.h"
#include "hostlib/CPluginControl_Discrete.h"
#include "hostlib/CPluginControl_Linear.h"
#include "hostlib/CPluginControl_List.h"
#include "hostlib/CPluginControl_OnOff.h"
#include "hostlib/Routines.h"

using namespace kestrom::hostlib;

namespace {

// A control's own status as a routine status.
PI_Status FromControlStatus(int32_t status) {
    switch (status) {
        case CPluginControl::kNoError: return PI_NoErr;
        case CPluginControl::kErrorNullPointer: return PI_ErrNullPointer;
        case CPluginControl::kErrorTextRejected: return PI_ErrRejectedText;
        default: return PI_ErrInternal;
    }
}

int32_t ClassOf(const CPluginControl& control) {
    if (dynamic_cast<const CPluginControl_OnOff*>(&control)) return PI_ControlOnOff;
    if (dynamic_cast<const CPluginControl_List*>(&control)) return PI_ControlList;
    if (dynamic_cast<const CPluginControl_Discrete*>(&control)) return PI_ControlDiscrete;
    if (dynamic_cast<const CPluginControl_Linear*>(&control)) return PI_ControlLinear;
    return 0;
}

// Runs body(process, control) for control `index` of an initialised instance;
// PI_ErrBadIndex when there is no such control.
template <class Body>
PI_Status WithControl(PI_Instance instance, int32_t index, Body&& body) noexcept {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        CPluginControl* control = process.Control(index);
        if (!control) return PI_ErrBadIndex;
        return body(process, *control);
    });
}

// A display width for a buffer of `size` bytes (at least 1): the text must
// leave room for its terminator.
int32_t WidthFor(int32_t width, int32_t size) { return width < size - 1 ? width : size - 1; }

// The buffer rules of every display text (a name or value at a width):
// `write(width)` writes the text at the smaller of the width and size - 1.
template <typename Write>
PI_Status WriteDisplayText(char* out, int32_t width, int32_t size, Write write) {
    if (!out) return PI_ErrNullPointer;
    if (size <= 0) return PI_ErrBufferTooSmall;
    if (width <= 0) {
        out[0] = '\0';
        return PI_NoErr;
    }
    return FromControlStatus(write(WidthFor(width, size)));
}

}  // namespace

PI_Status PIR_ControlCount(PI_Instance instance, int32_t* count) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!count) return PI_ErrNullPointer;
        *count = process.ControlCount();
        return PI_NoErr;
    });
}

PI_Status PIR_ControlInfo(PI_Instance instance, int32_t index, PI_ControlInfo* out) {
    return WithControl(instance, index, [&](CEffectProcess& process, CPluginControl& control) -> PI_Status {
        if (!out) return PI_ErrNullPointer;
        PI_ControlInfo info{};
        info.id = static_cast<int32_t>(control.Id());
        info.controlClass = ClassOf(control);
        info.stepCount = control.StepCount();
        info.automatable = control.IsAutomatable() ? 1 : 0;
        info.isMasterBypass = process.MasterBypassControl() == index ? 1 : 0;
        info.defaultValue = CPluginControl::kBottom;
        if (const auto* discrete = dynamic_cast<const CPluginControl_Discrete*>(&control)) {
            info.defaultValue = discrete->ControlValueFromInteger(discrete->DefaultValue());
            info.minimum = discrete->Minimum();
            info.maximum = discrete->Maximum();
        } else if (const auto* continuous = dynamic_cast<const CPluginControl_Continuous*>(&control)) {
            info.defaultValue = continuous->ControlValueFromValue(continuous->DefaultValue());
            info.minimum = continuous->Minimum();
            info.maximum = continuous->Maximum();
        }
        *out = info;
        return PI_NoErr;
    });
}

PI_Status PIR_ControlName(PI_Instance instance, int32_t index, int32_t width, char* out, int32_t size) {
    return WithControl(instance, index, [&](CEffectProcess&, CPluginControl& control) -> PI_Status {
        return WriteDisplayText(out, width, size, [&](int32_t w) { return control.NameForWidth(out, w); });
    });
}

PI_Status PIR_GetControlValue(PI_Instance instance, int32_t index, int32_t* value) {
    return WithControl(instance, index, [&](CEffectProcess&, CPluginControl& control) -> PI_Status {
        if (!value) return PI_ErrNullPointer;
        *value = control.CurrentControlValue();
        return PI_NoErr;
    });
}

PI_Status PIR_SetControlValue(PI_Instance instance, int32_t index, int32_t value) {
    return WithControl(instance, index, [&](CEffectProcess& process, CPluginControl&) -> PI_Status {
        return process.ApplyControlValue(index, value);
    });
}

PI_Status PIR_ControlValueText(PI_Instance instance, int32_t index, int32_t value, int32_t width, char* out,
                               int32_t size) {
    return WithControl(instance, index, [&](CEffectProcess&, CPluginControl& control) -> PI_Status {
        return WriteDisplayText(out, width, size,
                                [&](int32_t w) { return control.ValueTextForWidth(out, w, value); });
    });
}

PI_Status PIR_ControlValueForText(PI_Instance instance, int32_t index, const char* text, int32_t* value) {
    return WithControl(instance, index, [&](CEffectProcess&, CPluginControl& control) -> PI_Status {
        if (!text || !value) return PI_ErrNullPointer;
        int32_t result = 0;
        const PI_Status status = FromControlStatus(control.ControlValueForText(text, &result));
        if (status == PI_NoErr) *value = result;
        return status;
    });
}

PI_Status PIR_ControlAcceptsChar(PI_Instance instance, int32_t index, int32_t code, int32_t* accepts) {
    return WithControl(instance, index, [&](CEffectProcess&, CPluginControl& control) -> PI_Status {
        if (!accepts) return PI_ErrNullPointer;
        *accepts = control.AcceptsCharacter(code) ? 1 : 0;
        return PI_NoErr;
    });
}

PI_Status PIR_FindControl(PI_Instance instance, int32_t id, int32_t* index) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!index) return PI_ErrNullPointer;
        const int32_t found = process.FindControl(static_cast<uint32_t>(id));
        if (found == 0) return PI_ErrBadIndex;
        *index = found;
        return PI_NoErr;
    });
}

PI_Status PIR_ControlTouched(PI_Instance instance, int32_t index) {
    return WithControl(instance, index, [&](CEffectProcess& process, CPluginControl&) -> PI_Status {
        process.HostGesture(index, true);
        return PI_NoErr;
    });
}

PI_Status PIR_ControlReleased(PI_Instance instance, int32_t index) {
    return WithControl(instance, index, [&](CEffectProcess& process, CPluginControl&) -> PI_Status {
        process.HostGesture(index, false);
        return PI_NoErr;
    });
}

PI_Status PIR_ControlToNumber(PI_Instance instance, int32_t index, int32_t value, double* number) {
    return WithControl(instance, index, [&](CEffectProcess&, CPluginControl& control) -> PI_Status {
        if (!number) return PI_ErrNullPointer;
        if (const auto* discrete = dynamic_cast<const CPluginControl_Discrete*>(&control)) {
            *number = discrete->IntegerFromControlValue(value);
            return PI_NoErr;
        }
        if (const auto* continuous = dynamic_cast<const CPluginControl_Continuous*>(&control)) {
            *number = continuous->ValueFromControlValue(value);
            return PI_NoErr;
        }
        return PI_ErrUnsupported;
    });
}

PI_Status PIR_ControlFromNumber(PI_Instance instance, int32_t index, double number, int32_t* value) {
    return WithControl(instance, index, [&](CEffectProcess&, CPluginControl& control) -> PI_Status {
        if (!value) return PI_ErrNullPointer;
        if (std::isnan(number)) return PI_ErrBadValue;
        if (const auto* discrete = dynamic_cast<const CPluginControl_Discrete*>(&control)) {
            // The nearest integer, halves upwards, kept within 32 bits; the
            // control limits it to its range.
            double rounded = std::floor(number + 0.5);
            if (rounded < INT32_MIN) rounded = INT32_MIN;
            if (rounded > INT32_MAX) rounded = INT32_MAX;
            *value = discrete->ControlValueFromInteger(static_cast<int32_t>(rounded));
            return PI_NoErr;
        }
        if (const auto* continuous = dynamic_cast<const CPluginControl_Continuous*>(&control)) {
            *value = continuous->ControlValueFromValue(number);
            return PI_NoErr;
        }
        return PI_ErrUnsupported;
    });
}

PI_Status PIR_MasterBypassControl(PI_Instance instance, int32_t* control) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!control) return PI_ErrNullPointer;
        if (process.MasterBypassControl() == 0) return PI_ErrBadIndex;
        *control = process.MasterBypassControl();
        return PI_NoErr;
    });
}
