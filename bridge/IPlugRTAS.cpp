#include "bridge/IPlugRTAS.h"

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

void IPlugRTAS::BeginParamGesture(int) {}
void IPlugRTAS::TellHostParamValue(int, double) {}
void IPlugRTAS::EndParamGesture(int) {}

void IPlugRTAS::TellHostAllParams() {
    for (int i = 0; i < NParams(); ++i) {
        BeginParamGesture(i);
        TellHostParamValue(i, 0.0);
        EndParamGesture(i);
    }
}

int IPlugRTAS::HostSamplePosition() { return 0; }
double IPlugRTAS::HostTempo() { return 0.0; }
void IPlugRTAS::HostTimeSignature(int*, int*) {}
void IPlugRTAS::HostTransport(HostTimeRecord*) {}

int IPlugRTAS::HostKind() {
    if (IPlugBase::HostKind() == kestrom::kHostUninit) SetHost("ProTools", HostPackedVersion());
    return IPlugBase::HostKind();
}

void IPlugRTAS::EditorResized(int, int) {}

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
