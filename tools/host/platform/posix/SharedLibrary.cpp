// Run-time linking on Linux: dlopen, dlsym, dlclose. Built only by the
// native build (tools/CMakeLists.txt).
#include "tools/host/SharedLibrary.h"

#include <dlfcn.h>

namespace kestrom::host {

void* SharedLibrary::Open(const std::string& path, bool shared, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | (shared ? RTLD_GLOBAL : RTLD_LOCAL));
    if (library == nullptr) {
        const char* text = dlerror();
        error = text != nullptr ? text : "unknown error";
    }
    return library;
}

void SharedLibrary::Close(void* library) {
    if (library != nullptr) dlclose(library);
}

void* SharedLibrary::Symbol(void* library, const char* name) {
    return library != nullptr ? dlsym(library, name) : nullptr;
}

// The host's libraries are loaded globally, so the process-wide lookup finds
// their routines.
void* SharedLibrary::LoadedSymbol(const char*, const char* name) { return dlsym(RTLD_DEFAULT, name); }

}  // namespace kestrom::host
