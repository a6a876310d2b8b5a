// The routines that create, set up and destroy instances and answer what the
// host asks about one as a whole.

#include <memory>
#include <utility>

#include "hostlib/CEffectType.h"
#include "hostlib/Routines.h"

using namespace kestrom::hostlib;

PI_Status PIR_CreateInstance(int32_t typeId, PI_Instance* out) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!out) return PI_ErrNullPointer;
        const CEffectType* type = group.EffectTypeAt(group.FindEffectType(typeId));
        if (!type) return PI_ErrBadIndex;
        std::unique_ptr<CEffectProcess> process = type->CreateProcess();
        if (!process) return PI_ErrOutOfMemory;
        return CInstanceRegistry::Module().Add(std::move(process), &group, out);
    });
}

PI_Status PIR_InitializeInstance(PI_Instance instance, const PI_InstanceSetup* setup) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!setup) return PI_ErrNullPointer;
        if (setup->sampleRate <= 0) return PI_ErrBadValue;
        process.Initialize(setup->sampleRate);
        return PI_NoErr;
    });
}

PI_Status PIR_DestroyInstance(PI_Instance instance) {
    return WithGroup([&](CEffectGroup&) -> PI_Status { return CInstanceRegistry::Module().Remove(instance); });
}

PI_Status PIR_SetSampleRate(PI_Instance instance, int32_t rate) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (rate <= 0) return PI_ErrBadValue;
        process.SetSampleRate(rate);
        return PI_NoErr;
    });
}

PI_Status PIR_GetSampleRate(PI_Instance instance, int32_t* rate) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!rate) return PI_ErrNullPointer;
        *rate = process.SampleRate();
        return PI_NoErr;
    });
}

PI_Status PIR_GetChannelCounts(PI_Instance instance, int32_t* inputs, int32_t* outputs) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!inputs || !outputs) return PI_ErrNullPointer;
        *inputs = process.InputChannels();
        *outputs = process.OutputChannels();
        return PI_NoErr;
    });
}

PI_Status PIR_SetSideChain(PI_Instance instance, int32_t connected) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        process.SetSideChainConnected(connected != 0);
        return PI_NoErr;
    });
}

PI_Status PIR_StateChangeCount(PI_Instance instance, int32_t* count) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!count) return PI_ErrNullPointer;
        *count = process.StateChangeCount();
        return PI_NoErr;
    });
}

PI_Status PIR_MaxBlockSize(PI_Instance instance, int32_t* frames) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!frames) return PI_ErrNullPointer;
        const int32_t answer = process.MaxRenderFrames();
        if (answer < 1) return PI_ErrInternal;
        *frames = answer;
        return PI_NoErr;
    });
}

PI_Status PIR_ClickedControl(PI_Instance instance, int32_t* control) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!control) return PI_ErrNullPointer;
        const int32_t clicked = process.ClickedControl();
        *control = clicked >= 0 && clicked <= process.ControlCount() ? clicked : 0;
        return PI_NoErr;
    });
}

PI_Status PIR_SetHostCallbacks(PI_Instance instance, const PI_HostCallbacks* callbacks) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        process.SetHostCallbacks(callbacks);
        return PI_NoErr;
    });
}

PI_Status PIR_InstanceType(PI_Instance instance, int32_t* typeId) {
    return WithInstance(instance, Needs::Anything, [&](CEffectProcess& process) -> PI_Status {
        if (!typeId) return PI_ErrNullPointer;
        *typeId = process.TypeId();
        return PI_NoErr;
    });
}
