#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kestrom::tool {

// One output of a command, written so that nothing the user already has is
// lost: the data goes to a temporary file first, and the target changes only
// when every output of the run is complete (CommitAll).
//
// What the target path names decides how it is replaced:
// - a regular file, or nothing yet: a temporary file beside it (same file
//   system, so the final rename is atomic), renamed over it on commit; an
//   existing file's permission bits are kept;
// - a symbolic link: followed to its target, which is then treated as above
//   (the link stays a link);
// - a character device or a FIFO (/dev/null, a named pipe): never renamed
//   over; the data is staged in a temporary file in the temporary directory
//   (file formats rewrite their header at the end) and copied into it on commit;
// - anything else (a directory, a block device, a socket), or a read-only
//   file: refused by Prepare, before any work is done.
//
// Uncommitted temporary files are removed by the destructor, so an error, an
// early return or an interruption leaves every target as it was.
//
// On Windows the same holds with the system's forms: the target's links are
// followed by the system, the temporary file replaces it with MoveFileEx
// (replacing, written through), a read-only file or a folder is refused, a
// character device (NUL, CON) or a named pipe is written into, and the
// descriptor is the C runtime's (binary mode) over the file's handle.
// Each platform's part is in a file of its own.
class OutputFile {
public:
    explicit OutputFile(std::string target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Resolves the target and creates the temporary file. False with a
    // one-line message when the target cannot be written.
    bool Prepare(std::string& error);

    // The temporary file's descriptor, open for reading and writing. It stays
    // owned by this object: writers must not close it (libsndfile's
    // sf_open_fd with close_desc false; dup() it for a stdio stream).
    int Descriptor() const { return fd_; }

    // A stdio stream onto the temporary file (a duplicate of the descriptor),
    // which the caller closes; null with a message on failure.
    std::FILE* OpenStream(const char* mode, std::string& error);

    const std::string& Target() const { return target_; }
    // The file the data finally reaches (symbolic links followed).
    const std::string& ResolvedTarget() const { return resolved_; }
    const std::string& TempPath() const { return tempPath_; }
    // Whether the target is a character device or FIFO, written into rather than replaced.
    bool WritesThrough() const { return writeThrough_; }

    // Puts every output in place, all or nothing as far as the system allows:
    // 1. with `sync`, each replacing file's data is flushed to the disk
    //    (the writers have closed their formats, so headers are final);
    // 2. outputs into devices and FIFOs are copied through (a failure here,
    //    or an interruption while a FIFO waits for its reader, still leaves
    //    every file target untouched);
    // 3. the temporary files are renamed over their targets;
    // 4. with `sync`, each target directory is flushed, so the renames
    //    survive a power cut.
    // False with a message on the first failure; outputs not yet put in
    // place are discarded with their objects.
    static bool CommitAll(const std::vector<OutputFile*>& outputs, bool sync, std::string& error);

    // Removes the temporary file now (also done by the destructor).
    void Discard();

private:
    bool SyncData(std::string& error);
    bool CopyThrough(std::string& error);
    bool Rename(std::string& error);
    // Flushes a folder's entries (the renames into it) to the disk.
    static bool SyncFolder(const std::string& dir, std::string& error);
    // The folder part of a path ("." when there is none) and the file name.
    static void SplitPath(const std::string& path, std::string& dir, std::string& name);
    // True, with the message, once an interruption was asked for.
    static bool InterruptedError(std::string& error);

    std::string target_;
    std::string resolved_;
    std::string tempPath_;
    int fd_ = -1;
    bool writeThrough_ = false;
    bool committed_ = false;
};

}  // namespace kestrom::tool
