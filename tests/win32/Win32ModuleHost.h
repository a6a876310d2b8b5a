#pragma once

// The module loaded by hand under Windows, the way the host application
// loads it: the host's engine library (with or without the open/close
// registrar) and its extension library first, by path, then Kestrom.dpm with
// LoadLibrary. The module finds the engine already loaded by its name
// ("DAE.DLL"), never by a path; a test may use only its four exports and its
// routine table. The stand-ins' own hooks play the engine's part (opening and
// closing the module) and show what the module registered.
//
// Each TEST runs in a Wine process of its own (ctest), so nothing one test
// loads or leaves open reaches another; the host still unloads everything it
// loaded, so the libraries start afresh when tests share a process.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "hostlib/PluginRoutines.h"
#include "tests/win32/Win32Paths.h"

namespace win32test {

enum class Engine { WithRegistrar, WithoutRegistrar };

class Win32ModuleHost {
public:
    explicit Win32ModuleHost(Engine engine = Engine::WithRegistrar) {
        const std::string enginePath = engine == Engine::WithRegistrar ? EnginePath() : EngineWithoutRegistrarPath();
        engine_ = LoadLibraryA(enginePath.c_str());
        extension_ = LoadLibraryA(ExtensionPath().c_str());
        EXPECT_NE(engine_, nullptr) << enginePath << ": error " << GetLastError();
        EXPECT_NE(extension_, nullptr) << ExtensionPath() << ": error " << GetLastError();
        if (auto reset = Hook<void (*)()>(engine_, "KsEngine_Reset")) reset();
        if (auto reset = Hook<void (*)()>(extension_, "KsExtension_Reset")) reset();
    }
    ~Win32ModuleHost() {
        UnloadModule();
        if (extension_ != nullptr) FreeLibrary(extension_);
        if (engine_ != nullptr) FreeLibrary(engine_);
    }
    Win32ModuleHost(const Win32ModuleHost&) = delete;
    Win32ModuleHost& operator=(const Win32ModuleHost&) = delete;

    // Loads the module and fetches its exports by name; with the registrar the
    // module is not open yet (the engine opens it), without it it is.
    bool LoadModule() {
        module_ = LoadLibraryA(ModulePath().c_str());
        EXPECT_NE(module_, nullptr) << ModulePath() << ": error " << GetLastError();
        if (module_ == nullptr) return false;
        newPlugIn = Export<PI_NewPlugInProc>("NewPlugIn");
        describe = Export<PI_GetRoutineDescriptorProc>("_PI_GetRoutineDescriptor");
        winOpen = Export<PI_WinPlugInOpenProc>("WinPlugInOpen");
        winClose = Export<PI_WinPlugInCloseProc>("WinPlugInClose");
        return newPlugIn && describe && winOpen && winClose;
    }
    // Closes what this host opened and is still open, as a host does before
    // it unloads a module, then unloads it (the DLL's detach runs).
    void UnloadModule() {
        while (engineOpens_ > 0 && EngineClose() == 0) {
        }
        while (entryOpens_ > 0 && EntryClose() == 0) {
        }
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
        newPlugIn = nullptr;
        describe = nullptr;
        winOpen = nullptr;
        winClose = nullptr;
    }
    HMODULE Module() const { return module_; }

    // An export of the module by name, or null.
    template <typename F>
    F Export(const char* name) const {
        return module_ != nullptr ? Typed<F>(GetProcAddress(module_, name)) : nullptr;
    }

    // The routine of `selector`, typed; null (and a failure) when there is none.
    template <typename F>
    F Routine(uint32_t selector) const {
        void* routine = nullptr;
        if (describe == nullptr || describe(selector, &routine) != PI_NoErr || routine == nullptr) {
            ADD_FAILURE() << "no routine for selector " << selector;
            return nullptr;
        }
        return reinterpret_cast<F>(routine);
    }

    // Whether the routines find an open module.
    bool IsOpen() const {
        PI_GroupInfo info{};
        const auto groupInfo = Routine<PI_GroupInfoProc>(PI_SEL_GROUP_INFO);
        return groupInfo != nullptr && groupInfo(&info) == PI_NoErr;
    }

    // The resource file an open module registers: its own file name + ".rsr".
    std::string ExpectedResourceFile() const {
        char path[MAX_PATH] = {};
        const DWORD n = module_ != nullptr ? GetModuleFileNameA(module_, path, sizeof path) : 0;
        return std::string(path, n) + ".rsr";
    }

    // ---- The engine's part ----------------------------------------------------
    bool HasModuleProcs() const { return Hook<int32_t (*)()>(engine_, "KsEngine_HasModuleProcs")() != 0; }
    // The engine opening and closing the module through the routines it was
    // handed; -1 when it was handed none.
    int16_t EngineOpen() {
        const int16_t status = Hook<int16_t (*)()>(engine_, "KsEngine_OpenModule")();
        if (status == 0) ++engineOpens_;
        return status;
    }
    int16_t EngineClose() {
        const int16_t status = Hook<int16_t (*)()>(engine_, "KsEngine_CloseModule")();
        if (status == 0 && engineOpens_ > 0) --engineOpens_;
        return status;
    }
    // The host opening and closing the module through its entry points.
    int32_t EntryOpen(int32_t version) {
        const int32_t status = winOpen(version);
        if (status == 0) ++entryOpens_;
        return status;
    }
    int32_t EntryClose() {
        const int32_t status = winClose();
        if (status == 0 && entryOpens_ > 0) --entryOpens_;
        return status;
    }

    // ---- The extension library's part ---------------------------------------
    // The registered resource file, or "" when none is.
    std::string RegisteredFile() const {
        char path[1024] = {};
        const auto registered = Hook<int32_t (*)(char*, int32_t)>(extension_, "KsExtension_RegisteredFile");
        return registered(path, sizeof path) != 0 ? std::string(path) : std::string();
    }

    PI_NewPlugInProc newPlugIn = nullptr;
    PI_GetRoutineDescriptorProc describe = nullptr;
    PI_WinPlugInOpenProc winOpen = nullptr;
    PI_WinPlugInCloseProc winClose = nullptr;

private:
    // A looked-up routine as the type it is exported with (through the
    // generic function type, which any function pointer converts to and from).
    template <typename F>
    static F Typed(FARPROC routine) {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(routine));
    }
    template <typename F>
    static F Hook(HMODULE library, const char* name) {
        const F hook = library != nullptr ? Typed<F>(GetProcAddress(library, name)) : nullptr;
        if (hook == nullptr) ADD_FAILURE() << "the stand-in has no hook " << name;
        return hook;
    }

    HMODULE engine_ = nullptr;
    HMODULE extension_ = nullptr;
    HMODULE module_ = nullptr;
    int engineOpens_ = 0;  // opens this host made and has not closed yet
    int entryOpens_ = 0;
};

}  // namespace win32test
