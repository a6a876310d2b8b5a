#pragma once

#include <cstddef>

// Finding resources inside the module. On Windows the module is the DLL and
// its resources are Win32 resources; elsewhere they are the pictures compiled
// into the binary under their ordinals (see graphics/CMakeLists.txt), and the
// handle is not used.
using LICE_ModuleHandle = void*;  // HINSTANCE on Windows

namespace LICE {

// A resource's bytes; they stay valid as long as the module is loaded.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The resource of the given type (e.g. "PNG") with the integer id, or empty
// bytes when there is none. Safe to call from any thread.
ResourceBytes FindModuleResource(LICE_ModuleHandle instance, const char* type, int id);

}  // namespace LICE
