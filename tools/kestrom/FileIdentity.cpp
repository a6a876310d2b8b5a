#include "tools/kestrom/FileIdentity.h"

namespace kestrom::tool {

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
