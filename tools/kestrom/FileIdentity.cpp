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
        identity.device_ = st.st_dev;
        identity.inode_ = st.st_ino;
        return identity;
    }
    namespace fs = std::filesystem;
    const fs::path p(resolved);
    std::error_code ec;
    const fs::path directory = fs::canonical(p.has_parent_path() ? p.parent_path() : fs::path("."), ec);
    identity.name_ = ec ? fs::absolute(p, ec).lexically_normal().string() : (directory / p.filename()).string();
    return identity;
}

bool FileIdentity::FindClash(const std::vector<std::string>& paths, std::size_t& i, std::size_t& j) {
    std::vector<FileIdentity> identities;
    identities.reserve(paths.size());
    for (const std::string& path : paths) {
        identities.push_back(path.empty() ? FileIdentity() : Of(path));
    }
    for (i = 0; i < paths.size(); ++i) {
        for (j = i + 1; j < paths.size(); ++j) {
            if (!paths[i].empty() && !paths[j].empty() && identities[i] == identities[j]) {
                return true;
            }
        }
    }
    return false;
}

bool FileIdentity::operator==(const FileIdentity& other) const {
    if (exists_ != other.exists_) {
        return false;
    }
    return exists_ ? device_ == other.device_ && inode_ == other.inode_ : name_ == other.name_;
}

}  // namespace kestrom::tool
