// The module's four exports, with C linkage: everything a host calls goes
// through them and the routine table. Built into the module itself (not a
// static library, whose unreferenced objects the linker would drop).
#include <cstdint>

#include "bridge/ModuleEntry.h"
#include "hostlib/PI_LibraryGetRoutineDescriptor.h"

#define KESTROM_EXPORT extern "C" __attribute__((visibility("default")))

KESTROM_EXPORT int16_t NewPlugIn(int32_t ignored) { return ModuleEntry::NewPlugIn(ignored); }

KESTROM_EXPORT int32_t _PI_GetRoutineDescriptor(uint32_t selector, void** routine) {
    return PI_LibraryGetRoutineDescriptor(selector, routine);
}

KESTROM_EXPORT int32_t WinPlugInOpen(int32_t interfaceVersion) { return ModuleEntry::WinPlugInOpen(interfaceVersion); }

KESTROM_EXPORT int32_t WinPlugInClose(void) { return ModuleEntry::WinPlugInClose(); }
