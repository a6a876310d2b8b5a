// Resources of the module on Windows: the DLL's own Win32 resources.
// Built only by Windows builds (graphics/CMakeLists.txt).
#include <windows.h>

#include "graphics/LICE_Resource.h"

namespace LICE {

ResourceBytes FindModuleResource(LICE_ModuleHandle instance, const char* type, int id) {
    HMODULE module = static_cast<HMODULE>(instance);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return ResourceBytes{};
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (bytes == nullptr || size == 0) {
        return ResourceBytes{};
    }
    return ResourceBytes{static_cast<const unsigned char*>(bytes), size};
}

}  // namespace LICE
