#include "tools/host/ModuleHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "standins/engine/EngineStandIn.h"
#include "standins/extension/ExtensionRoutines.h"

namespace kestrom::host {

namespace {

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LastError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
}

template <typename F>
F Symbol(void* library, const char* name) {
    return library != nullptr ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

}  // namespace

ModuleHost::~ModuleHost() { Unload(); }

std::string ModuleHost::DefaultModulePath() {
    std::vector<char> self(PATH_MAX + 1, '\0');
    const ssize_t n = readlink("/proc/self/exe", self.data(), PATH_MAX);
    const std::string program = n > 0 ? std::string(self.data(), static_cast<std::size_t>(n)) : std::string("./kestrom");
    return DirectoryOf(DirectoryOf(program)) + "/lib/Kestrom.so";
}

bool ModuleHost::Load(const std::string& modulePath, std::string& error) {
    Unload();
    const std::string dir = DirectoryOf(modulePath);
    // The host's own libraries come first, globally, as the host application
    // has them: the module looks them up in the process.
    engine_ = dlopen((dir + "/" + KS_ENGINE_LIBRARY).c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (engine_ == nullptr) {
        error = "cannot load the host engine library beside the module: " + LastError();
        return false;
    }
    extension_ = dlopen((dir + "/" + KS_EXTENSION_LIBRARY).c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (extension_ == nullptr) {
        error = "cannot load the host extension library beside the module: " + LastError();
        Unload();
        return false;
    }
    module_ = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        error = "cannot load the module '" + modulePath + "': " + LastError();
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
        dlclose(module_);
    }
    if (extension_ != nullptr) dlclose(extension_);
    if (engine_ != nullptr) dlclose(engine_);
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
