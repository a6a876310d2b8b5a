#include "tools/host/ModuleHost.h"

#include <string>

#include "standins/engine/EngineStandIn.h"
#include "standins/extension/ExtensionRoutines.h"
#include "tools/host/ModuleLayout.h"
#include "tools/host/SharedLibrary.h"

namespace kestrom::host {

namespace {

template <typename F>
F Symbol(void* library, const char* name) {
    return SharedLibrary::Routine<F>(library, name);
}

}  // namespace

ModuleHost::~ModuleHost() { Unload(); }

std::string ModuleHost::DefaultModulePath() { return ModuleLayout::DefaultModulePath(); }

bool ModuleHost::Load(const std::string& modulePath, std::string& error) {
    Unload();
    const std::string dir = ModuleLayout::HostLibraryFolder(modulePath) + "/";
    // The host's own libraries come first, globally, as the host application
    // has them: the module looks them up in the process (on Windows the
    // module's entry finds the engine by name while it loads).
    std::string reason;
    engine_ = SharedLibrary::Open(dir + KS_ENGINE_LIBRARY, true, reason);
    if (engine_ == nullptr) {
        error = "cannot load the host engine library " + dir + KS_ENGINE_LIBRARY + ": " + reason;
        return false;
    }
    extension_ = SharedLibrary::Open(dir + KS_EXTENSION_LIBRARY, true, reason);
    if (extension_ == nullptr) {
        error = "cannot load the host extension library " + dir + KS_EXTENSION_LIBRARY + ": " + reason;
        Unload();
        return false;
    }
    module_ = SharedLibrary::Open(modulePath, false, reason);
    if (module_ == nullptr) {
        error = "cannot load the module '" + modulePath + "': " + reason;
        Unload();
        return false;
    }
    // With the registrar the module handed the engine its open and close
    // routines at load, and the engine opens it now.
    const auto hasProcs = Symbol<int32_t (*)()>(engine_, "KsEngine_HasModuleProcs");
    const auto open = Symbol<int16_t (*)()>(engine_, "KsEngine_OpenModule");
    if (hasProcs != nullptr && open != nullptr && hasProcs() != 0) {
        const int16_t status = open();
        openedByEngine_ = true;
        if (status != 0) {
            error = "the module '" + modulePath + "' did not open (status " + std::to_string(status) + ")";
            Unload();
            return false;
        }
    }
    const auto describe = Symbol<PI_GetRoutineDescriptorProc>(module_, "_PI_GetRoutineDescriptor");
    int missing = -1;
    if (!routines_.Fetch(describe, missing)) {
        error = describe == nullptr ? "'" + modulePath + "' exports no routine table"
                                    : "the module '" + modulePath + "' has no routine " + std::to_string(missing);
        Unload();
        return false;
    }
    if (routines_.groupInfo(&group_) != PI_NoErr) {
        error = "the module '" + modulePath + "' is not open";
        Unload();
        return false;
    }
    return true;
}

void ModuleHost::Unload() {
    if (module_ != nullptr) {
        if (openedByEngine_) {
            if (const auto close = Symbol<int16_t (*)()>(engine_, "KsEngine_CloseModule")) close();
        }
        SharedLibrary::Close(module_);
    }
    SharedLibrary::Close(extension_);
    SharedLibrary::Close(engine_);
    module_ = extension_ = engine_ = nullptr;
    openedByEngine_ = false;
    routines_ = ModuleRoutines();
    group_ = PI_GroupInfo{};
}

bool ModuleHost::SetEngineQuantum(int frames) {
    const auto setQuantum = Symbol<void (*)(int32_t)>(engine_, "KsEngine_SetMaximumQuantum");
    const auto setVqta = Symbol<void (*)(int32_t)>(engine_, "KsEngine_SetVqta");
    if (setQuantum == nullptr || setVqta == nullptr) return false;
    setVqta(1);
    setQuantum(frames);
    return true;
}

int ModuleHost::EffectTypeCount() const {
    int32_t count = 0;
    return routines_.effectTypeCount != nullptr && routines_.effectTypeCount(&count) == PI_NoErr ? count : 0;
}

bool ModuleHost::EffectType(int index, PI_EffectTypeInfo& type) const {
    return routines_.effectTypeInfo != nullptr && routines_.effectTypeInfo(index, &type) == PI_NoErr;
}

bool ModuleHost::FindTypeForChannels(int channels, PI_EffectTypeInfo& type, std::string& error) const {
    for (int i = 0; i < EffectTypeCount(); ++i) {
        PI_EffectTypeInfo candidate{};
        if (EffectType(i, candidate) && candidate.inputChannels == channels && candidate.outputChannels == channels) {
            type = candidate;
            return true;
        }
    }
    error = "the plug-in has no effect type for " + std::to_string(channels) + " channels";
    return false;
}

}  // namespace kestrom::host
