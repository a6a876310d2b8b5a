// Which file a path names, on Linux: stat and readlink. Built only by the
// native build (tools/CMakeLists.txt).
#include "tools/kestrom/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrom::tool {

namespace {

constexpr int kMaxLinkHops = 40;  // the kernel's own limit (ELOOP beyond it)

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool FileIdentity::FollowLinks(const std::string& path, std::string& resolved, std::string& error) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = current;
            return true;
        }
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 256, '\0');
        const ssize_t length = readlink(current.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
            error = "cannot read the link '" + current + "': " + std::strerror(length < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
        current = target.empty() || target[0] == '/' ? target : DirectoryOf(current) + "/" + target;
    }
    error = "'" + path + "': too many levels of symbolic links";
    return false;
}

FileIdentity FileIdentity::Of(const std::string& path) {
    FileIdentity identity;
    std::string resolved, ignored;
    if (!FollowLinks(path, resolved, ignored)) {
        resolved = path;  // a loop: it can only be compared by its own name
    }
    struct stat st {};
    if (stat(resolved.c_str(), &st) == 0) {
        identity.exists_ = true;
        identity.device_ = static_cast<std::uint64_t>(st.st_dev);
        identity.inode_ = static_cast<std::uint64_t>(st.st_ino);
        return identity;
    }
    namespace fs = std::filesystem;
    const fs::path p(resolved);
    std::error_code ec;
    const fs::path directory = fs::canonical(p.has_parent_path() ? p.parent_path() : fs::path("."), ec);
    identity.name_ = ec ? fs::absolute(p, ec).lexically_normal().string() : (directory / p.filename()).string();
    return identity;
}

}  // namespace kestrom::tool
