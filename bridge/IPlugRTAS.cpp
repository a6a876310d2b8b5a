#include "bridge/IPlugRTAS.h"

#include "bridge/ProcessInterface.h"
#include "core/HostIdentity.h"
#include "core/Trace.h"

IPlugRTAS::IPlugRTAS(int paramCount, const char* channelConfigText, int presetCount,
                     const char* title, const char* productTitle, const char* vendorName,
                     int32_t effectVersion, int32_t effectCode, int32_t vendorCode, int latency,
                     bool handlesMidi, bool savesStateAsChunk, bool isInstrument, int sideChainCount)
    : IPlugBase(paramCount, channelConfigText, presetCount, title, productTitle, vendorName,
                effectVersion, effectCode, vendorCode, latency, handlesMidi, savesStateAsChunk,
                isInstrument, kestrom::kApiRTAS) {
    KESTROM_TRACE("IPlugRTAS::IPlugRTAS", "%s", title ? title : "");
    sideChainConnected = false;
    if (NInChannels() > 0) CreateLatencyDelay();
    ConnectInputs(0, NInChannels(), true);
    ConnectOutputs(0, NOutChannels(), true);
    hasSideChain = sideChainCount > 0;
    ChangeBlockSize(kDefaultBlockSize);
}

void IPlugRTAS::AttachProcess(ProcessInterface* hostProcess) {
    process = hostProcess;
    DiscardUnsetPresets();
    if (process) ChangeBlockSize(process->MaxBlockSize());
    OnHostAttached();
}

void IPlugRTAS::BeginParamGesture(int index) {
    if (process && Param(index)) Report({HostReport::kTouch, ControlIndexOfParam(index), 0});
}

// The value passed in is not used: the parameter's own value is reported,
// through the control's conversion; the host library echoes it back as a
// control change (ApplyHostControlChange), so the parameter ends up holding
// the value as the control carries it. The control value is worked out here,
// under the lock, so the report carries the value this change set.
void IPlugRTAS::TellHostParamValue(int index, double) {
    if (!process) return;
    IPlugLockGuard guard(Lock());
    const IPlugParam* param = Param(index);
    if (!param) return;
    if (!HasHostControl(param->Kind())) return;
    int32_t controlValue = 0;
    if (process->ControlValueForParameter(ControlIndexOfParam(index), param->Value(), &controlValue))
        Report({HostReport::kValue, ControlIndexOfParam(index), controlValue});
}

void IPlugRTAS::EndParamGesture(int index) {
    if (process && Param(index)) Report({HostReport::kRelease, ControlIndexOfParam(index), 0});
}

void IPlugRTAS::Report(const HostReport& report) {
    IPlugLockGuard guard(Lock());
    reports.push_back(report);
    Lock().CallAfterRelease(&IPlugRTAS::SendReports, this);
}

void IPlugRTAS::SendReports(void* context) {
    auto* self = static_cast<IPlugRTAS*>(context);
    std::vector<HostReport> sending;
    {
        IPlugLockGuard guard(self->Lock());
        sending.swap(self->reports);
    }
    for (const HostReport& report : sending) {
        switch (report.kind) {
            case HostReport::kTouch: self->process->BeginControlGesture(report.controlIndex); break;
            case HostReport::kValue: self->process->StoreControlValue(report.controlIndex, report.controlValue); break;
            case HostReport::kRelease: self->process->EndControlGesture(report.controlIndex); break;
        }
    }
}

void IPlugRTAS::TellHostAllParams() {
    for (int i = 0; i < NParams(); ++i) {
        BeginParamGesture(i);
        TellHostParamValue(i, 0.0);
        EndParamGesture(i);
    }
}

void IPlugRTAS::ApplyHostControlChange(int controlIndex, double value) {
    const int index = controlIndex - kFirstParamControl;
    IPlugParam* param = Param(index);
    if (!param) return;
    IPlugLockGuard guard(Lock());
    if (IPlugEditor* editor = Editor()) editor->SetParameterFromPlugin(index, value, false);
    param->Set(value);  // clamped to the range
    HandleParamChange(index);
}

int IPlugRTAS::HostSamplePosition() { return process ? process->TransportSamplePosition() : 0; }
double IPlugRTAS::HostTempo() { return process ? process->TransportTempo() : 0.0; }

void IPlugRTAS::HostTimeSignature(int* numerator, int* denominator) {
    if (process) process->TransportMeter(numerator, denominator);
}

void IPlugRTAS::HostTransport(HostTimeRecord* info) {
    if (process && info) process->TransportState(info);
}

int IPlugRTAS::HostKind() {
    if (IPlugBase::HostKind() == kestrom::kHostUninit)
        SetHost("ProTools", process ? process->PackedHostVersion() : 0);
    return IPlugBase::HostKind();
}

// The host rebuilds the plug-in's window at the new size: close it, run the
// base's hook, then send the host the resize token. The size itself is not
// sent; the host asks the editor for it.
void IPlugRTAS::EditorResized(int, int) {
    if (!process) return;
    process->CloseEditorForResize();
    OnEditorClosedForResize();
    process->SendResizeToken();
}

void IPlugRTAS::OnStateChanged() {
    if (process) process->MarkStateChanged();
}

bool IPlugRTAS::SendMidiEvent(const IMidiEvent&) { return false; }

void IPlugRTAS::ConnectIO(int inputs, int outputs) {
    const int connectedIn = inputs + (sideChainConnected ? 1 : 0);
    ConnectInputs(0, connectedIn, true);
    ConnectInputs(connectedIn, NInChannels() - connectedIn, false);
    ConnectOutputs(0, outputs, true);
    ConnectOutputs(outputs, NOutChannels() - outputs, false);
}

void IPlugRTAS::ChangeSideChainConnection(bool on) {
    if (on != sideChainConnected) ClearScratch();
    sideChainConnected = on;
}

void IPlugRTAS::ProcessHostBlock(const float* const* hostInputs, float* const* hostOutputs, int frames) {
    IPlugLockGuard guard(Lock());
    AttachInputs(0, NInChannels(), hostInputs, frames);
    AttachOutputs(0, NOutChannels(), hostOutputs);
    RunBlock(frames);
}

void IPlugRTAS::BypassHostBlock(const float* const* hostInputs, float* const* hostOutputs, int frames) {
    IPlugLockGuard guard(Lock());
    AttachInputs(0, NInChannels(), hostInputs, frames);
    AttachOutputs(0, NOutChannels(), hostOutputs);
    RunBypassed(frames);
}
