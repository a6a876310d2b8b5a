// Routines of libraries already loaded in the host's process, through the
// dynamic linker: RTLD_NOLOAD finds a loaded library (by path or soname) and
// never loads one; the extra reference it takes is dropped at once, since the
// host keeps the library loaded as long as it keeps this module.
#include "bridge/HostLibrary.h"

#include <dlfcn.h>

void* HostLibrary::Find(const char* library, const char* name) {
    if (library == nullptr || name == nullptr) return nullptr;
    void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return nullptr;
    void* routine = dlsym(handle, name);
    dlclose(handle);
    return routine;
}

void* HostLibrary::FindByOrdinal(const char* library, int, const char* name) { return Find(library, name); }
