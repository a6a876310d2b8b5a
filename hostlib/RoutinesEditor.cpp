// The routines of the editor: its size, the host view, the host's window port
// and draw requests.

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
