// Routines of libraries already loaded in the host's process, on Windows:
// GetModuleHandle finds a loaded library by file name and never loads one
// (nor takes a reference), GetProcAddress finds the routine by name or by
// ordinal. Built only by Windows builds (bridge/CMakeLists.txt).
#include "bridge/HostLibrary.h"

#include <windows.h>

namespace {
void* Lookup(const char* library, LPCSTR routine) {
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module, routine));
}
}  // namespace

void* HostLibrary::Find(const char* library, const char* name) {
    if (library == nullptr || name == nullptr) return nullptr;
    return Lookup(library, name);
}

void* HostLibrary::FindByOrdinal(const char* library, int ordinal, const char* name) {
    if (library == nullptr || ordinal < 1 || ordinal > 0xFFFF) return Find(library, name);
    return Lookup(library, MAKEINTRESOURCEA(ordinal));
}
