// The module's load and unload hooks on systems with a dynamic linker: the
// counterpart of a DLL's attach and detach. At load the module learns its own
// file (dladdr) and hands the engine's registrar its open and close routines,
// or opens at once without one; at unload it closes what it opened itself.
// A failed open cannot make the load fail here: the module then has no group,
// and every routine answers that it is not open.
#include <dlfcn.h>

#include "bridge/ModuleEntry.h"

namespace {

__attribute__((constructor)) void OnModuleLoad() {
    Dl_info info{};
    const bool known = dladdr(reinterpret_cast<void*>(&OnModuleLoad), &info) != 0;
    ModuleEntry::Attach(known ? info.dli_fbase : nullptr, known && info.dli_fname ? info.dli_fname : "");
}

__attribute__((destructor)) void OnModuleUnload() { ModuleEntry::Detach(); }

}  // namespace
