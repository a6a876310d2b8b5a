// Run-time linking on Windows: LoadLibrary, GetProcAddress, FreeLibrary.
// A loaded DLL is found by its file name (GetModuleHandle) whatever flags
// loaded it, so `shared` needs nothing more here. Built only by Windows
// builds (tools/CMakeLists.txt).
#include "tools/host/SharedLibrary.h"

#include <windows.h>

namespace kestrom::host {

namespace {

std::string SystemMessage(DWORD code) {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "system error " + std::to_string(code) : message;
}

}  // namespace

void* SharedLibrary::Open(const std::string& path, bool, std::string& error) {
    // No "cannot find the DLL" message box: the caller reports the failure.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = LoadLibraryA(path.c_str());
    const DWORD code = GetLastError();
    SetErrorMode(previous);
    if (library == nullptr) error = SystemMessage(code);
    return reinterpret_cast<void*>(library);
}

void SharedLibrary::Close(void* library) {
    if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

void* SharedLibrary::Symbol(void* library, const char* name) {
    return library != nullptr ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

void* SharedLibrary::LoadedSymbol(const char* libraryFile, const char* name) {
    HMODULE library = GetModuleHandleA(libraryFile);
    return library != nullptr ? reinterpret_cast<void*>(GetProcAddress(library, name)) : nullptr;
}

}  // namespace kestrom::host
