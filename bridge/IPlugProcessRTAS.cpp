#include "bridge/IPlugProcessRTAS.h"

#include <new>

#include "bridge/HostEngine.h"
#include "bridge/IPlugRTAS.h"
#include "bridge/PluginRegistration.h"

IPlugProcessRTAS::IPlugProcessRTAS(int32_t processId) : IPlugProcess(processId) {
    if (IPlugRTAS* plug = Plugin()) plug->AttachProcess(this);
}

IPlugProcessRTAS::~IPlugProcessRTAS() = default;

CEffectProcess* IPlugProcessRTAS::Create() {
    try {
        auto* process = new (std::nothrow) IPlugProcessRTAS(ModuleRegistration().productId);
        if (process != nullptr && process->Plugin() == nullptr) {
            delete process;  // the plug-in could not be made
            return nullptr;
        }
        return process;
    } catch (...) {
        return nullptr;
    }
}

int IPlugProcessRTAS::MaxBlockSize() { return HostEngine::MaxBlockSize(); }

// No direct-MIDI client is ever registered: no tempo, meter or position.
double IPlugProcessRTAS::TransportTempo() { return 0.0; }
void IPlugProcessRTAS::TransportMeter(int*, int*) {}
int IPlugProcessRTAS::TransportSamplePosition() { return 0; }
void IPlugProcessRTAS::TransportState(HostTimeRecord*) {}

void IPlugProcessRTAS::RenderBlock(const float* const* inputs, float* const* outputs, int32_t frames) {
    IPlugRTAS* plug = Plugin();
    if (plug == nullptr) return;
    plug->ConnectIO(InputChannels(), OutputChannels());
    if (IsBypassed()) {
        plug->BypassHostBlock(inputs, outputs, frames);
    } else {
        plug->ProcessHostBlock(inputs, outputs, frames);
    }
}
