#pragma once

#include <cstdint>

class IPlugGroup;
class IPlugRTAS;

// The module between being loaded and its first instance: the open and close
// routines with their count, the one effect group, the host's registrar, and
// the creation of the effect under the module-wide creation lock. All of it
// is module-wide state (one copy per loaded module). The host calls these on
// its user-interface thread; the platform's load and unload hooks call
// Attach and Detach.
class ModuleEntry {
public:
    static constexpr int32_t kInterfaceVersion = 73;
    static constexpr int kModulePathSize = 256;
    static constexpr int kResourcePathSize = 260;

    // The first open registers the resource file and builds the group
    // (NewPlugIn); nested opens only count. The status of NewPlugIn, or 0.
    static int16_t ModuleOpen();
    // The last close destroys the group and unregisters the resource file. 0.
    static int16_t ModuleClose();
    // Builds and initialises the group: 0, -7003 when it could not be made,
    // a CDAEError's code, or -7401 for any other failure.
    static int16_t NewPlugIn(int32_t ignored);
    // -1 for an interface version other than 73, else ModuleOpen's status.
    static int32_t WinPlugInOpen(int32_t version);
    static int32_t WinPlugInClose();

    // The module was loaded (instance and file path as the platform gives
    // them): hands the engine's registrar the open and close routines, or,
    // without one, opens at once. False when that open failed (the load
    // should fail).
    static bool Attach(void* moduleInstance, const char* modulePath);
    // The module is being unloaded: closes what Attach opened itself.
    static void Detach();

    // A new effect, made under the creation lock; null when none could be made.
    static IPlugRTAS* MakePlugin();

    static void* ModuleInstance();
    static const char* ModulePath();
    static const char* ResourcePath();
    static int OpenCount();
    static bool IsOpen();
    static bool OpenedByEntry();
    static bool HasRegistrar();
    static IPlugGroup* Group();

    // Converts a resource of the module's resource file to the machine's byte
    // order ('cfrg': the 32-bit field at 32; 'thng': five 32-bit fields from
    // 0, then four 32-bit/16-bit pairs at 20/24, 26/30, 32/36, 38/42): 1 for
    // those types, 0 (untouched) for any other or for null data.
    static int32_t ResourceSwapHook(int32_t ignored, int32_t type, int32_t ignored2, void* data);

private:
    static void DestroyGroup();
};
