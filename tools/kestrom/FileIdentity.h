#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace kestrom::tool {

// Which file a path names: its device and inode when it exists, otherwise the
// absolute name it would be created under (its directory's real path and its
// file name), symbolic links followed either way. Two paths name the same
// file exactly when their identities are equal, whatever links, hard links,
// "./" or "../" lie between them.
class FileIdentity {
public:
    static FileIdentity Of(const std::string& path);

    // Follows symbolic links from `path` (up to 40, as the kernel does) to a
    // path that is not a link: an existing file of another type, or a name
    // that does not exist. Relative link contents count from the link's own
    // directory. False with a message for a link loop or an unreadable link.
    static bool FollowLinks(const std::string& path, std::string& resolved, std::string& error);

    // The first pair of paths (i < j) that name the same file; false when all
    // are distinct. Empty paths are skipped.
    static bool FindClash(const std::vector<std::string>& paths, std::size_t& i, std::size_t& j);

    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }

private:
    bool exists_ = false;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::string name_;  // when it does not exist
};

}  // namespace kestrom::tool
