// Which file a path names, on Windows: the volume's serial number and the
// file index of an existing file (GetFileInformationByHandle; opening the
// file follows its links), otherwise its full path with letter case ignored.
// Built only by Windows builds (tools/CMakeLists.txt).
#include "tools/kestrom/FileIdentity.h"

#include <windows.h>

#include <vector>

namespace kestrom::tool {

bool FileIdentity::FollowLinks(const std::string& path, std::string& resolved, std::string&) {
    resolved = path;
    return true;
}

FileIdentity FileIdentity::Of(const std::string& path) {
    FileIdentity identity;
    // No access asked for, and every sharing mode: this only identifies the
    // file. Folders open only with FILE_FLAG_BACKUP_SEMANTICS.
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info = {};
        const bool known = GetFileInformationByHandle(file, &info) != 0;
        CloseHandle(file);
        if (known) {
            identity.exists_ = true;
            identity.device_ = info.dwVolumeSerialNumber;
            identity.inode_ = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
            return identity;
        }
    }
    std::vector<char> full(32768, '\0');
    const DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    identity.name_ = n > 0 && n < full.size() ? std::string(full.data(), n) : path;
    for (char& c : identity.name_) {
        if (c == '/') c = '\\';
    }
    CharLowerBuffA(identity.name_.data(), static_cast<DWORD>(identity.name_.size()));
    return identity;
}

}  // namespace kestrom::tool
