#include <cstring>

#include "graphics/LICE_Resource.h"
#include "graphics/platform/EmbeddedPictures.h"

namespace LICE {

// The module's only resources are its pictures, all of type "PNG"; the module
// handle does not matter because exactly one module is linked in.
ResourceBytes FindModuleResource(LICE_ModuleHandle, const char* type, int id) {
    if (type == nullptr || std::strcmp(type, "PNG") != 0) {
        return ResourceBytes{};
    }
    return FindEmbeddedPicture(id);
}

}  // namespace LICE
