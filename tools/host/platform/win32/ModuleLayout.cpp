// Where the module and the host's libraries lie on Windows: the program's
// own file from GetModuleFileName. Both separators are taken in paths.
// Built only by Windows builds (tools/CMakeLists.txt).
#include "tools/host/ModuleLayout.h"

#include <windows.h>

#include <vector>

namespace kestrom::host {

namespace {

std::string ProgramPath() {
    std::vector<char> path(32768, '\0');
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return n > 0 && n < path.size() ? std::string(path.data(), n) : std::string(".\\kestrom.exe");
}

}  // namespace

std::string ModuleLayout::FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    // "C:\" and "\" keep their separator: the root is a folder of its own.
    if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

const char* const ModuleLayout::kDefaultModuleText = "Kestrom.dpm beside the tool";

std::string ModuleLayout::DefaultModulePath() { return FolderOf(ProgramPath()) + "\\Kestrom.dpm"; }

std::string ModuleLayout::HostLibraryFolder(const std::string&) {
    return FolderOf(FolderOf(ProgramPath())) + "\\lib";
}

}  // namespace kestrom::host
