#pragma once

#include <string>

#include "hostlib/PluginRoutines.h"
#include "tools/host/ModuleRoutines.h"

namespace kestrom::host {

// A plug-in module loaded the way the host application loads it: the host's
// engine and extension libraries first (from where ModuleLayout says; the module
// finds them in the process and calls them), then the module, opened by the
// engine through the routines the module registered with it (or by the
// module itself at load, with an engine that has no registrar). Everything
// after that goes through the module's routine table.
class ModuleHost {
public:
    ModuleHost() = default;
    ~ModuleHost();
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    // False with a one-line message when a library cannot be loaded, the
    // module lacks an export or a routine, or it does not open.
    bool Load(const std::string& modulePath, std::string& error);
    // Closes the module and unloads the libraries (also done by the destructor).
    void Unload();

    const ModuleRoutines& Routines() const { return routines_; }
    const PI_GroupInfo& Group() const { return group_; }
    int EffectTypeCount() const;
    bool EffectType(int index, PI_EffectTypeInfo& type) const;
    // The effect type for `channels` in and out ('KsT1' for one, 'KsT2' for two).
    bool FindTypeForChannels(int channels, PI_EffectTypeInfo& type, std::string& error) const;

    // The engine's largest quantum: the longest block the plug-in is asked
    // to render at once (set before instances are made). False without an engine.
    bool SetEngineQuantum(int frames);

    // Where the module is by default, relative to the running program
    // (build/bin/kestrom -> build/lib/Kestrom.so; on Windows
    // build-windows/bin/kestrom.exe -> build-windows/bin/Kestrom.dpm).
    static std::string DefaultModulePath();

private:
    void* engine_ = nullptr;
    void* extension_ = nullptr;
    void* module_ = nullptr;
    bool openedByEngine_ = false;
    ModuleRoutines routines_;
    PI_GroupInfo group_{};
};

}  // namespace kestrom::host
