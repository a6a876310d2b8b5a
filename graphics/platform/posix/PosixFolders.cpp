#include "graphics/platform/posix/PosixFolders.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

}  // namespace

std::string PosixFolders::FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
    return path.substr(0, slash + 1);
}

std::string PosixFolders::HostDirectory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? FolderOf(std::string(path, static_cast<size_t>(n))) : std::string();
}

std::string PosixFolders::ModuleDirectory() {
    Dl_info info{};
    static const int kAnchor = 0;  // any object of this binary locates it
    if (!dladdr(&kAnchor, &info) || !info.dli_fname) return std::string();
    char resolved[PATH_MAX];
    return FolderOf(realpath(info.dli_fname, resolved) ? resolved : info.dli_fname);
}

std::string PosixFolders::DesktopDirectory() {
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/Desktop";
}

std::string PosixFolders::AppDataDirectory() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return data;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/share";
}
