#pragma once

#include <cstdio>
#include <string>

namespace kestrom::tool {

// A file that replaces its target only once it is complete.
//
// Create() makes a uniquely named temporary file in the target's directory
// (so the final rename stays on one file system and is atomic); everything is
// written there. Commit() renames it over the target. If Commit() is never
// reached - an error, an exception, an early return - the destructor removes
// the temporary file, so a half-written result never appears under the
// target's name.
class ReplacingFile {
public:
    explicit ReplacingFile(std::string target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file with the permissions a newly created file
    // would get (0666 less the umask). False with a message on failure.
    bool Create(std::string& error);

    // Hands the open descriptor to a writer that closes it itself
    // (libsndfile's sf_open_fd, fdopen). Afterwards this object only renames
    // or removes the path.
    int TakeDescriptor();

    // Creates the temporary file and opens it as a stdio stream with `mode`
    // ("w", "wb"); the caller closes the stream. Null with a message on
    // failure, the temporary file then removed.
    std::FILE* CreateStream(const char* mode, std::string& error);

    const std::string& Target() const { return target_; }
    const std::string& TempPath() const { return tempPath_; }

    // Renames the temporary file over the target. The caller must have closed
    // (and flushed) whatever it wrote through the descriptor.
    bool Commit(std::string& error);

    // Removes the temporary file now (also done by the destructor).
    void Discard();

private:
    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace kestrom::tool
