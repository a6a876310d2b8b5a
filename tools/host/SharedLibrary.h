#pragma once

#include <string>

namespace kestrom::host {

// The platform's run-time linking, as the host uses it to load the module and
// its own libraries: one implementation per platform (dlopen and dlsym on
// Linux, LoadLibrary and GetProcAddress on Windows), each in a file of its own.
class SharedLibrary {
public:
    // Loads the library at `path`; with `shared`, its symbols serve the
    // libraries loaded after it, as the host's own libraries must (on Windows
    // a loaded library is always found by its file name). The handle, or null
    // with the system's reason in `error`.
    static void* Open(const std::string& path, bool shared, std::string& error);
    // Unloads a library Open loaded; null is ignored.
    static void Close(void* library);
    // The routine `name` of a library Open loaded; null when it has none.
    static void* Symbol(void* library, const char* name);
    // The routine `name` of the library already loaded under the file name
    // `libraryFile`; null when neither is there. Never loads anything.
    static void* LoadedSymbol(const char* libraryFile, const char* name);

    template <typename F>
    static F Routine(void* library, const char* name) {
        return reinterpret_cast<F>(Symbol(library, name));
    }
};

}  // namespace kestrom::host
