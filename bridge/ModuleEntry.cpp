#include "bridge/ModuleEntry.h"

#include <cstring>
#include <mutex>
#include <new>

#include "bridge/HostEngine.h"
#include "bridge/HostExtension.h"
#include "bridge/IPlugGroup.h"
#include "bridge/PluginRegistration.h"
#include "bridge/IPlugRTAS.h"
#include "hostlib/CDAEError.h"
#include "hostlib/PluginRoutines.h"

namespace {

// Module-wide state. Plain values, so it is ready before the platform's load
// hook runs.
struct ModuleState {
    void* instance = nullptr;
    int openCount = 0;
    bool isOpen = false;
    bool openedByEntry = false;
    bool registrarFound = false;
    char modulePath[ModuleEntry::kModulePathSize] = {};
    char resourcePath[ModuleEntry::kResourcePathSize] = {};
    IPlugGroup* group = nullptr;
};

ModuleState state;
std::mutex creationLock;  // serialises the construction of effects

constexpr int32_t kCfrg = 0x63667267;  // 'cfrg'
constexpr int32_t kThng = 0x74686E67;  // 'thng'

void Reverse32(unsigned char* p) {
    std::swap(p[0], p[3]);
    std::swap(p[1], p[2]);
}
void Reverse16(unsigned char* p) { std::swap(p[0], p[1]); }

// The module path, cut to 255 characters, and the resource file beside it.
void SetPaths(const char* modulePath) {
    std::strncpy(state.modulePath, modulePath ? modulePath : "", sizeof state.modulePath - 1);
    state.modulePath[sizeof state.modulePath - 1] = '\0';
    std::strcpy(state.resourcePath, state.modulePath);
    std::strcat(state.resourcePath, ".rsr");  // 255 + 4 + 1 fits 260
}

}  // namespace

int16_t ModuleEntry::ModuleOpen() {
    if (++state.openCount != 1) return 0;
    HostExtension::RegisterResourceFile(state.resourcePath, ResourceSwapHook);
    const int16_t status = NewPlugIn(0);
    state.isOpen = status == 0;
    if (status != 0) {
        DestroyGroup();
        HostExtension::UnregisterResourceFile(state.resourcePath);
    }
    return status;
}

int16_t ModuleEntry::ModuleClose() {
    const int before = state.openCount;
    if (before > 0) --state.openCount;  // a close without an open changes nothing
    if (before == 1 && state.isOpen) {
        DestroyGroup();
        HostExtension::UnregisterResourceFile(state.resourcePath);
        state.isOpen = false;
    }
    return 0;
}

int16_t ModuleEntry::NewPlugIn(int32_t) {
    if (state.group != nullptr) return 0;  // called again: the group stands
    try {
        IPlugGroup* group = new (std::nothrow) IPlugGroup(ModuleRegistration());
        state.group = group;
        if (group == nullptr) return static_cast<int16_t>(PI_ErrOutOfMemory);
        group->Initialize();
        CEffectGroup::SetModuleGroup(group);
        return 0;
    } catch (const CDAEError& e) {
        DestroyGroup();
        return static_cast<int16_t>(e.Code() != 0 ? e.Code() : PI_ErrInternal);
    } catch (...) {
        DestroyGroup();
        return static_cast<int16_t>(PI_ErrInternal);
    }
}

int32_t ModuleEntry::WinPlugInOpen(int32_t version) {
    state.openedByEntry = false;
    if (version != kInterfaceVersion) return -1;
    state.openedByEntry = true;
    return ModuleOpen();
}

int32_t ModuleEntry::WinPlugInClose() { return ModuleClose(); }

void ModuleEntry::DestroyGroup() {
    IPlugGroup* group = state.group;
    state.group = nullptr;
    if (group == nullptr) return;
    CEffectGroup::SetModuleGroup(nullptr);
    try {
        delete group;
    } catch (...) {
    }
}

bool ModuleEntry::Attach(void* moduleInstance, const char* modulePath) {
    state.instance = moduleInstance;
    SetPaths(modulePath);
    const KS_SetPlugInOpenAndCloseProcs registrar = HostEngine::Registrar();
    state.registrarFound = registrar != nullptr;
    if (registrar != nullptr) {
        registrar(ModuleOpen, ModuleClose);
        return true;
    }
    return ModuleOpen() == 0;
}

void ModuleEntry::Detach() {
    if (!state.registrarFound) ModuleClose();
}

IPlugRTAS* ModuleEntry::MakePlugin() {
    std::lock_guard<std::mutex> guard(creationLock);
    try {
        return ModuleRegistration().makePlugin();
    } catch (...) {
        return nullptr;
    }
}

void* ModuleEntry::ModuleInstance() { return state.instance; }
const char* ModuleEntry::ModulePath() { return state.modulePath; }
const char* ModuleEntry::ResourcePath() { return state.resourcePath; }
int ModuleEntry::OpenCount() { return state.openCount; }
bool ModuleEntry::IsOpen() { return state.isOpen; }
bool ModuleEntry::OpenedByEntry() { return state.openedByEntry; }
bool ModuleEntry::HasRegistrar() { return state.registrarFound; }
IPlugGroup* ModuleEntry::Group() { return state.group; }

int32_t ModuleEntry::ResourceSwapHook(int32_t, int32_t type, int32_t, void* data) {
    auto* p = static_cast<unsigned char*>(data);
    if (p == nullptr) return 0;
    if (type == kCfrg) {
        Reverse32(p + 32);
        return 1;
    }
    if (type == kThng) {
        for (int offset = 0; offset <= 16; offset += 4) Reverse32(p + offset);
        const int pairs[4][2] = {{20, 24}, {26, 30}, {32, 36}, {38, 42}};
        for (const auto& pair : pairs) {
            Reverse32(p + pair[0]);
            Reverse16(p + pair[1]);
        }
        return 1;
    }
    return 0;
}
