// The routines of the editor: its size, the host view, the host's window port
// and draw requests, and the plug-in's meters.

#include "hostlib/CPlugInView.h"
#include "hostlib/Routines.h"

using namespace kestrom::hostlib;

PI_Status PIR_ViewRect(PI_Instance instance, PI_Rect* out) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!out) return PI_ErrNullPointer;
        PI_Rect rect{};
        if (!process.GetViewRect(&rect)) return PI_ErrUnsupported;
        *out = rect;
        return PI_NoErr;
    });
}

PI_Status PIR_MakeView(PI_Instance instance, int32_t* made) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!made) return PI_ErrNullPointer;
        *made = process.BuildHostView() ? 1 : 0;
        return PI_NoErr;
    });
}

PI_Status PIR_SetWindow(PI_Instance instance, PI_Port port) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        process.AttachWindow(port);
        return PI_NoErr;
    });
}

PI_Status PIR_ViewDraw(PI_Instance instance, const PI_Rect* area) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!area) return PI_ErrNullPointer;
        CPlugInView* view = process.HostView();
        if (!view) return PI_ErrNotInitialized;
        view->Draw(*area);
        return PI_NoErr;
    });
}

PI_Status PIR_EditorIsOpen(PI_Instance instance, int32_t* open) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!open) return PI_ErrNullPointer;
        *open = process.WindowPort() != 0 ? 1 : 0;
        return PI_NoErr;
    });
}

PI_Status PIR_MeterCount(PI_Instance instance, int32_t* count) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!count) return PI_ErrNullPointer;
        *count = process.MeterCount();
        return PI_NoErr;
    });
}

PI_Status PIR_MeterValue(PI_Instance instance, int32_t meter, double* value, uint32_t* updates) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!value || !updates) return PI_ErrNullPointer;
        if (meter < 0 || meter >= process.MeterCount()) return PI_ErrBadIndex;
        return process.MeterValue(meter, value, updates);
    });
}

PI_Status PIR_ShowMeterValue(PI_Instance instance, int32_t meter, double value) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (meter < 0 || meter >= process.MeterCount()) return PI_ErrBadIndex;
        if (!(value == value)) return PI_ErrBadValue;
        return process.ShowMeterValue(meter, value);
    });
}
