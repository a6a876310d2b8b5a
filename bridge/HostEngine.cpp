#include "bridge/HostEngine.h"

#include "bridge/HostLibrary.h"

KS_SetPlugInOpenAndCloseProcs HostEngine::Registrar() {
    return HostLibrary::Find<KS_SetPlugInOpenAndCloseProcs>(KS_ENGINE_LIBRARY, KS_ENGINE_REGISTRAR_NAME);
}

int HostEngine::MaxBlockSize() {
    const auto gestalt = HostLibrary::Find<KS_FicGestalt>(KS_ENGINE_LIBRARY, KS_ENGINE_GESTALT_NAME);
    int32_t variableQuanta = 0;
    if (gestalt == nullptr || gestalt(KS_GESTALT_VQTA, &variableQuanta) != 0 || variableQuanta == 0) {
        return kFallbackBlockFrames;
    }
    const auto quantum =
        HostLibrary::Find<KS_FicGetMaximumRTASQuantum>(KS_ENGINE_LIBRARY, KS_ENGINE_MAX_QUANTUM_NAME);
    const int32_t frames = quantum != nullptr ? quantum() : 0;
    if (frames < 1) return kFallbackBlockFrames;
    return frames > kMaxBlockFrames ? kMaxBlockFrames : frames;
}

uint16_t HostEngine::Version() {
    const auto version = HostLibrary::Find<KS_FicGetVersion>(KS_ENGINE_LIBRARY, KS_ENGINE_VERSION_NAME);
    return version != nullptr ? version() : 0;
}

int32_t HostEngine::PackVersion(uint16_t v) { return ((v & 0xFF00) * 10 + (v & 0x00FF)) * 16; }

int32_t HostEngine::PackedVersion() { return PackVersion(Version()); }

bool HostEngine::DispatchToken(const void* token) {
    const auto dispatch =
        HostLibrary::Find<KS_FicSDSDispatchToken>(KS_ENGINE_LIBRARY, KS_ENGINE_DISPATCH_TOKEN_NAME);
    return dispatch != nullptr && token != nullptr && dispatch(token) == 0;
}

void HostEngine::UnregisterMidiClient(void* client) {
    if (client == nullptr) return;
    const auto release =
        HostLibrary::Find<KS_FicUnRegisterDirectMIDIClient>(KS_ENGINE_LIBRARY, KS_ENGINE_UNREGISTER_MIDI_NAME);
    if (release != nullptr) release(client);
}
