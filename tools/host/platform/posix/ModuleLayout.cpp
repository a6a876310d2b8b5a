// Where the module and the host's libraries lie on Linux. Built only by the
// native build (tools/CMakeLists.txt).
#include "tools/host/ModuleLayout.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace kestrom::host {

std::string ModuleLayout::FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

const char* const ModuleLayout::kDefaultModuleText = "lib/Kestrom.so beside the tool's folder";

std::string ModuleLayout::DefaultModulePath() {
    std::vector<char> self(PATH_MAX + 1, '\0');
    const ssize_t n = readlink("/proc/self/exe", self.data(), PATH_MAX);
    const std::string program = n > 0 ? std::string(self.data(), static_cast<std::size_t>(n)) : std::string("./kestrom");
    return FolderOf(FolderOf(program)) + "/lib/Kestrom.so";
}

std::string ModuleLayout::HostLibraryFolder(const std::string& modulePath) { return FolderOf(modulePath); }

}  // namespace kestrom::host
