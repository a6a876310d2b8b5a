#include "hostlib/CEffectProcess.h"

#include <utility>

#include "hostlib/CDAEError.h"
#include "hostlib/CEffectType.h"
#include "hostlib/CInstanceRegistry.h"
#include "hostlib/CPlugInView.h"
#include "hostlib/CPluginControl.h"

// Counts a host callback in progress for as long as it runs, so that a host
// that destroys the instance from inside the callback has the destruction put
// off until the callback has returned (see CInstanceRegistry).
class CEffectProcess::CallbackScope {
public:
    explicit CallbackScope(CEffectProcess& p) : process(p) { ++process.hostCallbackDepth; }
    ~CallbackScope() { --process.hostCallbackDepth; }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    CEffectProcess& process;
};

CEffectProcess::CEffectProcess() = default;

CEffectProcess::~CEffectProcess() = default;

void CEffectProcess::CreateControls() {}

void CEffectProcess::UpdateControlValueInAlgorithm(int32_t) {}

void CEffectProcess::SideChainChanged(bool) {}

void CEffectProcess::HostGesture(int32_t, bool) {}

void CEffectProcess::InstanceWithdrawn() {}

void CEffectProcess::Withdraw() {
    withdrawn = true;
    callbacks = PI_HostCallbacks{};
    try {
        InstanceWithdrawn();
    } catch (...) {
    }
}

int32_t CEffectProcess::ChunkCount() { return 0; }

PI_Status CEffectProcess::ChunkIdAt(int32_t, int32_t*) { return PI_ErrBadIndex; }

PI_Status CEffectProcess::ChunkSize(int32_t, int32_t*) { return PI_ErrBadChunkId; }

PI_Status CEffectProcess::GetChunk(int32_t, void*, int32_t) { return PI_ErrBadChunkId; }

PI_Status CEffectProcess::SetChunk(int32_t, const void*, int32_t) { return PI_ErrBadChunkId; }

PI_Status CEffectProcess::CompareChunk(const void*, int32_t, bool*) { return PI_ErrBadChunkId; }

bool CEffectProcess::GetViewRect(PI_Rect*) { return false; }

CPlugInView* CEffectProcess::MakeView() { return nullptr; }

void CEffectProcess::SetWindow(PI_Port) {}

int32_t CEffectProcess::ClickedControl() { return 0; }

int32_t CEffectProcess::HostQuery(int32_t, int32_t, int32_t, int32_t) { return 0; }

int32_t CEffectProcess::MaxRenderFrames() { return 32; }

int32_t CEffectProcess::LatencyFrames() { return 0; }

void CEffectProcess::GetTransport(PI_Transport*) {}

PI_Status CEffectProcess::Render(const PI_RenderRecord&) { return PI_ErrUnsupported; }

void CEffectProcess::InitializeProcess() {
    try {
        CreateControls();
    } catch (...) {
        controls.clear();
        masterBypass = 0;
        throw;
    }
}

void CEffectProcess::BindType(const CEffectType& boundType) {
    type = &boundType;
    typeId = boundType.TypeId();
    inputChannels = boundType.InputChannels();
    outputChannels = boundType.OutputChannels();
    inputStemFormat = boundType.InputStemFormat();
    outputStemFormat = boundType.OutputStemFormat();
}

int32_t CEffectProcess::AddControl(CPluginControl* control) {
    if (!control) throw CDAEError(PI_ErrNullPointer);
    std::unique_ptr<CPluginControl> owned(control);
    controls.push_back(std::move(owned));
    return ControlCount();
}

CPluginControl* CEffectProcess::Control(int32_t index) const {
    if (index < 1 || index > ControlCount()) return nullptr;
    return controls[static_cast<std::size_t>(index - 1)].get();
}

int32_t CEffectProcess::FindControl(uint32_t id) const {
    for (int32_t i = 1; i <= ControlCount(); ++i)
        if (Control(i)->Id() == id) return i;
    return 0;
}

void CEffectProcess::SetMasterBypassControl(int32_t index) {
    if (index != 0 && !Control(index)) throw CDAEError(PI_ErrBadIndex);
    masterBypass = index;
    if (index != 0) UpdateBypassFlag(index);
}

PI_Status CEffectProcess::SetControlValue(int32_t index, int32_t value) {
    CInstanceRegistry::PluginScope scope(registry);
    if (withdrawn) return PI_ErrBadInstance;
    if (!Control(index)) return PI_ErrBadIndex;
    if (callbacks.setControlValue) {
        CallbackScope callback(*this);
        callbacks.setControlValue(callbacks.context, Instance(), index, value);
        return PI_NoErr;
    }
    return ApplyControlValue(index, value);
}

PI_Status CEffectProcess::ReportControlValue(int32_t index, int32_t value) {
    CInstanceRegistry::PluginScope scope(registry);
    if (withdrawn) return PI_ErrBadInstance;
    CPluginControl* control = Control(index);
    if (!control) return PI_ErrBadIndex;
    control->SetFromControlValue(value);
    return SetControlValue(index, value);
}

PI_Status CEffectProcess::ApplyControlValue(int32_t index, int32_t value) {
    CPluginControl* control = Control(index);
    if (!control) return PI_ErrBadIndex;
    control->SetFromControlValue(value);
    UpdateBypassFlag(index);
    UpdateControlValueInAlgorithm(index);
    return PI_NoErr;
}

PI_Status CEffectProcess::GetControlValue(int32_t index, int32_t* value) const {
    const CPluginControl* control = Control(index);
    if (!control) return PI_ErrBadIndex;
    if (!value) return PI_ErrNullPointer;
    *value = control->CurrentControlValue();
    return PI_NoErr;
}

PI_Status CEffectProcess::TouchControl(int32_t index) {
    CInstanceRegistry::PluginScope scope(registry);
    if (withdrawn) return PI_ErrBadInstance;
    if (!Control(index)) return PI_ErrBadIndex;
    if (callbacks.controlTouched) {
        CallbackScope callback(*this);
        callbacks.controlTouched(callbacks.context, Instance(), index);
    }
    return PI_NoErr;
}

PI_Status CEffectProcess::ReleaseControl(int32_t index) {
    CInstanceRegistry::PluginScope scope(registry);
    if (withdrawn) return PI_ErrBadInstance;
    if (!Control(index)) return PI_ErrBadIndex;
    if (callbacks.controlReleased) {
        CallbackScope callback(*this);
        callbacks.controlReleased(callbacks.context, Instance(), index);
    }
    return PI_NoErr;
}

void CEffectProcess::SetHostCallbacks(const PI_HostCallbacks* newCallbacks) {
    if (withdrawn) return;
    callbacks = newCallbacks ? *newCallbacks : PI_HostCallbacks{};
}

void CEffectProcess::UpdateBypassFlag(int32_t index) {
    if (index == 0 || index != masterBypass) return;
    bypassed.store(Control(index)->CurrentControlValue() > 0, std::memory_order_relaxed);
}

void CEffectProcess::SetBypass(bool on) {
    if (masterBypass != 0) {
        ApplyControlValue(masterBypass, on ? INT32_MAX : INT32_MIN);
        return;
    }
    bypassed.store(on, std::memory_order_relaxed);
}

void CEffectProcess::SetSideChainConnected(bool connected) {
    sideChain.store(connected, std::memory_order_relaxed);
    SideChainChanged(connected);
}

void CEffectProcess::AttachWindow(PI_Port port) {
    windowPort = port;
    try {
        SetWindow(port);
    } catch (...) {
        windowPort = 0;
        throw;
    }
}

bool CEffectProcess::BuildHostView() {
    std::unique_ptr<CPlugInView> made;
    try {
        made.reset(MakeView());
    } catch (...) {
        RetireHostView();
        throw;
    }
    if (!made) {
        RetireHostView();
        return false;
    }
    // The plug-in side now refers to the new view only.
    retiredView.reset();
    hostView = std::move(made);
    return true;
}

void CEffectProcess::RetireHostView() {
    if (hostView) retiredView = std::move(hostView);
}

void CEffectProcess::DropHostView() {
    hostView.reset();
    retiredView.reset();
}

int32_t CEffectProcess::MeterCount() { return 0; }

PI_Status CEffectProcess::MeterValue(int32_t, double*, uint32_t*) { return PI_ErrBadIndex; }

PI_Status CEffectProcess::ShowMeterValue(int32_t, double) { return PI_ErrBadIndex; }
