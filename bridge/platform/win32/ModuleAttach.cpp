// The DLL entry routine: the module's attach and detach on Windows. At
// process attach the module stores its instance and file, then hands the
// engine's registrar (in the already-loaded DAE.DLL) its open and close
// routines, or, without one, opens at once; a failed direct open fails the
// load. At process detach it closes what it opened itself. Runs after the
// runtime's own start-up (static objects exist), under the loader lock.
// Built only by Windows builds (bridge/CMakeLists.txt).
#include <windows.h>

#include "bridge/ModuleEntry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    try {
        if (reason == DLL_PROCESS_ATTACH) {
            char path[MAX_PATH] = {};
            const DWORD n = GetModuleFileNameA(instance, path, sizeof path);
            if (n == 0 || n >= sizeof path) path[0] = '\0';
            return ModuleEntry::Attach(instance, path) ? TRUE : FALSE;
        }
        if (reason == DLL_PROCESS_DETACH) ModuleEntry::Detach();
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}
