#include "bridge/HostExtension.h"

#include "bridge/HostLibrary.h"

namespace {
template <typename Routine>
Routine Lookup(int ordinal, const char* name) {
    return HostLibrary::FindByOrdinal<Routine>(KS_EXTENSION_LIBRARY, ordinal, name);
}
}  // namespace

bool HostExtension::RegisterResourceFile(const char* path, KS_ResourceSwapHook hook) {
    const auto registerFile = Lookup<KS_RegisterResourceFile>(KS_EXTENSION_REGISTER_ORDINAL, KS_EXTENSION_REGISTER_NAME);
    return registerFile != nullptr && path != nullptr && registerFile(path, hook) == 0;
}

void HostExtension::UnregisterResourceFile(const char* path) {
    const auto unregisterFile =
        Lookup<KS_UnregisterResourceFile>(KS_EXTENSION_UNREGISTER_ORDINAL, KS_EXTENSION_UNREGISTER_NAME);
    if (unregisterFile != nullptr && path != nullptr) unregisterFile(path);
}

int32_t HostExtension::UseModuleResources() {
    const auto use = Lookup<KS_UseResourceFile>(KS_EXTENSION_USE_ORDINAL, KS_EXTENSION_USE_NAME);
    return use != nullptr ? use() : 0;
}

void HostExtension::RestoreResources(int32_t saved) {
    const auto restore = Lookup<KS_RestoreResourceFile>(KS_EXTENSION_RESTORE_ORDINAL, KS_EXTENSION_RESTORE_NAME);
    if (restore != nullptr) restore(saved);
}

void* HostExtension::PortToWindow(intptr_t port) {
    const auto toWindow =
        Lookup<KS_PortToWindow>(KS_EXTENSION_PORT_TO_WINDOW_ORDINAL, KS_EXTENSION_PORT_TO_WINDOW_NAME);
    return toWindow != nullptr ? toWindow(port) : nullptr;
}
