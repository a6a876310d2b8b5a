#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrom::tool {

// Which file a path names: its device and inode when it exists (on Windows
// its volume's serial number and its file index), otherwise the absolute name
// it would be created under (its directory's real path and its file name;
// on Windows letter case ignored, as its file systems do), symbolic links
// followed either way. Two paths name the same file exactly when their
// identities are equal, whatever links, hard links, "./" or "../" lie between
// them. Each platform's part is in a file of its own.
class FileIdentity {
public:
    static FileIdentity Of(const std::string& path);

    // Follows symbolic links from `path` (up to 40, as the kernel does) to a
    // path that is not a link: an existing file of another type, or a name
    // that does not exist. Relative link contents count from the link's own
    // directory. False with a message for a link loop or an unreadable link.
    // (On Windows the system follows links itself when a file is opened:
    // the path is returned as it is.)
    static bool FollowLinks(const std::string& path, std::string& resolved, std::string& error);

    // The first pair of paths (i < j) that name the same file; false when all
    // are distinct. Empty paths are skipped.
    static bool FindClash(const std::vector<std::string>& paths, std::size_t& i, std::size_t& j);

    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }

private:
    bool exists_ = false;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    std::string name_;  // when it does not exist
};

}  // namespace kestrom::tool
