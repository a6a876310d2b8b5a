// Built only by Windows builds (graphics/CMakeLists.txt).
#include "graphics/platform/win32/Win32Folders.h"

#include <windows.h>
#include <shlobj.h>

namespace {

std::string FileOf(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(module, path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

std::string ShellFolder(int which) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, which, nullptr, 0, path)) ? std::string(path) : std::string();
}

}  // namespace

std::string Win32Folders::FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
    return path.substr(0, slash + 1);
}

std::string Win32Folders::HostDirectory() { return FolderOf(FileOf(nullptr)); }

std::string Win32Folders::ModuleDirectory() {
    static const int kAnchor = 0;  // any object of this binary locates it
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&kAnchor), &module)) {
        return std::string();
    }
    return FolderOf(FileOf(module));
}

// The desktop (special folder 0) and the user's local application data (28).
std::string Win32Folders::DesktopDirectory() {
    char path[MAX_PATH] = {};
    return SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE) ? std::string(path) : std::string();
}

std::string Win32Folders::AppDataDirectory() { return ShellFolder(CSIDL_LOCAL_APPDATA); }
