// The routines of the audio path: render (the only routine the audio thread
// calls), the host's bypass, latency and the transport the plug-in sees.

#include "hostlib/Routines.h"

using namespace kestrom::hostlib;

PI_Status PIR_Render(PI_Instance instance, const PI_RenderRecord* record) {
    // The audio thread takes no lock: the pin keeps the instance from being
    // deleted until the block is done, and allocates nothing.
    if (!CEffectGroup::ModuleGroup()) return PI_ErrNotOpen;
    CInstanceRegistry::RenderPin pin(CInstanceRegistry::Module(), instance);
    CEffectProcess* process = pin.Process();
    if (!process) return PI_ErrBadInstance;
    if (!process->IsInitialized()) return PI_ErrNotInitialized;
    if (!record) return PI_ErrNullPointer;
    return Guarded([&] { return process->Render(*record); });
}

PI_Status PIR_SetBypass(PI_Instance instance, int32_t on) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        process.SetBypass(on != 0);
        return PI_NoErr;
    });
}

PI_Status PIR_GetBypass(PI_Instance instance, int32_t* on) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!on) return PI_ErrNullPointer;
        *on = process.IsBypassed() ? 1 : 0;
        return PI_NoErr;
    });
}

PI_Status PIR_GetLatency(PI_Instance instance, int32_t* frames) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!frames) return PI_ErrNullPointer;
        const int32_t latency = process.LatencyFrames();
        if (latency < 0) return PI_ErrInternal;
        *frames = latency;
        return PI_NoErr;
    });
}

PI_Status PIR_Transport(PI_Instance instance, PI_Transport* out) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!out) return PI_ErrNullPointer;
        PI_Transport transport{};
        process.GetTransport(&transport);
        *out = transport;
        return PI_NoErr;
    });
}
