#pragma once

#include <cstdint>

#include "standins/extension/ExtensionRoutines.h"

// The host extension library's routines as the bridge uses them, each looked
// up in the loaded library when called; without the library they do nothing
// and answer failure (or null).
class HostExtension {
public:
    static bool RegisterResourceFile(const char* path, KS_ResourceSwapHook hook);
    static void UnregisterResourceFile(const char* path);
    // Makes the module's resource file current; the value to restore. Calls nest.
    static int32_t UseModuleResources();
    static void RestoreResources(int32_t saved);
    // The window behind a host port, or null.
    static void* PortToWindow(intptr_t port);
};
