// The stand-in host engine: the routines a plug-in module looks up in the
// engine library, answering as configured and recording what it is sent.
// Hosts and modules call it from their user-interface thread; the state is
// guarded by one mutex so a test's threads may share it.
#include "standins/engine/EngineStandIn.h"

#include <array>
#include <cstring>
#include <mutex>
#include <vector>

#define KS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using Token = std::array<unsigned char, KS_ENGINE_TOKEN_SIZE>;

struct Engine {
    std::mutex mutex;
    KS_ModuleOpenCloseProc open = nullptr;
    KS_ModuleOpenCloseProc close = nullptr;
    int32_t vqta = 1;
    int32_t maximumQuantum = 1024;
    uint16_t version = 0x0A03;
    std::vector<Token> tokens;
    int32_t releasedMidiClients = 0;
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

}  // namespace

#ifndef KESTROM_ENGINE_WITHOUT_REGISTRAR
KS_EXPORT void SetPlugInOpenAndCloseProcs(KS_ModuleOpenCloseProc open, KS_ModuleOpenCloseProc close) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    e.open = open;
    e.close = close;
}
#endif

KS_EXPORT int32_t FicGestalt(int32_t selector, int32_t* response) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (response == nullptr) return -1;
    if (selector != KS_GESTALT_VQTA) return -1;  // nothing else is known here
    *response = e.vqta;
    return 0;
}

KS_EXPORT int32_t FicGetMaximumRTASQuantum(void) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return e.maximumQuantum;
}

KS_EXPORT uint16_t FicGetVersion(void) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return e.version;
}

KS_EXPORT int32_t FicSDSDispatchToken(const void* token) {
    if (token == nullptr) return -1;
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Token copy;
    std::memcpy(copy.data(), token, copy.size());
    e.tokens.push_back(copy);
    return 0;
}

KS_EXPORT int32_t FicUnRegisterDirectMIDIClient(void* client) {
    if (client == nullptr) return -1;
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    ++e.releasedMidiClients;
    return 0;
}

KS_EXPORT void KsEngine_Reset(void) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    e.open = e.close = nullptr;
    e.vqta = 1;
    e.maximumQuantum = 1024;
    e.version = 0x0A03;
    e.tokens.clear();
    e.releasedMidiClients = 0;
}

KS_EXPORT int32_t KsEngine_HasRegistrar(void) {
#ifdef KESTROM_ENGINE_WITHOUT_REGISTRAR
    return 0;
#else
    return 1;
#endif
}

KS_EXPORT void KsEngine_SetVqta(int32_t answer) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    e.vqta = answer;
}

KS_EXPORT void KsEngine_SetMaximumQuantum(int32_t frames) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    e.maximumQuantum = frames;
}

KS_EXPORT void KsEngine_SetVersion(uint16_t version) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    e.version = version;
}

KS_EXPORT int32_t KsEngine_HasModuleProcs(void) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return e.open != nullptr && e.close != nullptr;
}

// The routines are called without the engine's lock: they call back into
// the module, which may ask the engine questions.
namespace {
int16_t CallModule(KS_ModuleOpenCloseProc Engine::*which) {
    KS_ModuleOpenCloseProc proc;
    {
        Engine& e = TheEngine();
        std::lock_guard<std::mutex> guard(e.mutex);
        proc = e.*which;
    }
    return proc != nullptr ? proc() : -1;
}
}  // namespace

KS_EXPORT int16_t KsEngine_OpenModule(void) { return CallModule(&Engine::open); }

KS_EXPORT int16_t KsEngine_CloseModule(void) { return CallModule(&Engine::close); }

KS_EXPORT int32_t KsEngine_TokenCount(void) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return static_cast<int32_t>(e.tokens.size());
}

KS_EXPORT int32_t KsEngine_TokenAt(int32_t index, void* out) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (out == nullptr || index < 0 || static_cast<std::size_t>(index) >= e.tokens.size()) return -1;
    std::memcpy(out, e.tokens[static_cast<std::size_t>(index)].data(), KS_ENGINE_TOKEN_SIZE);
    return 0;
}

KS_EXPORT int32_t KsEngine_ReleasedMidiClients(void) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return e.releasedMidiClients;
}
