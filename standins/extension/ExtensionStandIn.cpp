// The stand-in host extension library: resource-file registration, making
// that file current (nested), and host ports turned into windows. One mutex
// guards the state; the module calls in from the host's user-interface thread.
#include "standins/extension/ExtensionStandIn.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#define KS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Extension {
    std::mutex mutex;
    bool registered = false;
    std::string file;
    KS_ResourceSwapHook hook = nullptr;
    int32_t depth = 0;  // nesting of UseResourceFile
    std::map<intptr_t, void*> ports;
};

Extension& TheExtension() {
    static Extension extension;
    return extension;
}

}  // namespace

KS_EXPORT int32_t RegisterResourceFile(const char* path, KS_ResourceSwapHook hook) {
    if (path == nullptr) return -1;
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    x.registered = true;
    x.file = path;
    x.hook = hook;
    return 0;
}

KS_EXPORT int32_t UnregisterResourceFile(const char* path) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    if (path == nullptr || !x.registered || x.file != path) return -1;
    x.registered = false;
    x.file.clear();
    x.hook = nullptr;
    return 0;
}

KS_EXPORT int32_t UseResourceFile(void) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    return x.depth++;
}

KS_EXPORT void RestoreResourceFile(int32_t saved) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    x.depth = saved < 0 ? 0 : saved;
}

KS_EXPORT void* PortToWindow(intptr_t port) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    const auto found = x.ports.find(port);
    return found != x.ports.end() ? found->second : nullptr;
}

KS_EXPORT void KsExtension_Reset(void) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    x.registered = false;
    x.file.clear();
    x.hook = nullptr;
    x.depth = 0;
    x.ports.clear();
}

KS_EXPORT int32_t KsExtension_RegisteredFile(char* out, int32_t size) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    if (out == nullptr || size <= 0) return x.registered ? 1 : 0;
    const std::string text = x.registered ? x.file : std::string();
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return x.registered ? 1 : 0;
}

KS_EXPORT int32_t KsExtension_UseDepth(void) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    return x.depth;
}

KS_EXPORT int32_t KsExtension_CallSwapHook(int32_t type, void* data) {
    KS_ResourceSwapHook hook;
    {
        Extension& x = TheExtension();
        std::lock_guard<std::mutex> guard(x.mutex);
        hook = x.hook;
    }
    return hook != nullptr ? hook(0, type, 0, data) : -1;
}

KS_EXPORT void KsExtension_BindPort(intptr_t port, void* window) {
    Extension& x = TheExtension();
    std::lock_guard<std::mutex> guard(x.mutex);
    x.ports[port] = window;
}
