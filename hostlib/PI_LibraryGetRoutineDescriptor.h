#pragma once

// The host library's routine table, for the module's `_PI_GetRoutineDescriptor`
// export.
//
// The library does not export anything itself: it is a static library, and a
// static library's unreferenced objects are dropped at link time, so an
// export defined here could silently go missing from the module. The module
// entry defines the export, in the host's calling convention, and forwards:
//
//     extern "C" int32_t _PI_GetRoutineDescriptor(uint32_t selector, void** routine) {
//         return PI_LibraryGetRoutineDescriptor(selector, routine);
//     }

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Puts the routine of `selector` (0 to PI_SELECTOR_COUNT - 1) into *routine
// and answers PI_NoErr; for a selector without a routine (the 10 marked
// "none" in PluginRoutines.h, and any selector from PI_SELECTOR_COUNT on) puts
// null there and answers PI_ErrNoRoutine. A null `routine` answers
// PI_ErrNullPointer. Works whether or not the module is open (the routines
// themselves answer PI_ErrNotOpen); any thread.
int32_t PI_LibraryGetRoutineDescriptor(uint32_t selector, void** routine);

#ifdef __cplusplus
}
#endif
