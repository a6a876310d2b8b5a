// Outputs replaced safely on Linux: mkostemp beside the target, fsync,
// rename, and the copy into a device or FIFO. Built only by the native build
// (tools/CMakeLists.txt).
#include "tools/kestrom/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/kestrom/FileIdentity.h"
#include "tools/kestrom/Interruption.h"

namespace kestrom::tool {

namespace {

constexpr std::size_t kCopyChunk = 1 << 20;  // bytes per read/write when copying into a device

mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

std::string Reason() { return std::strerror(errno); }

// mkstemp on `pattern` (ending in XXXXXX); the descriptor, or -1.
int MakeTemp(std::string& pattern) {
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkostemp(buffer.data(), O_CLOEXEC);
    pattern = buffer.data();
    return fd;
}

}  // namespace

bool OutputFile::Prepare(std::string& error) {
    Discard();
    std::string dir, name;
    SplitPath(target_, dir, name);
    if (name.empty() || name == "." || name == "..") {
        error = "'" + target_ + "' names a directory, not a file";
        return false;
    }
    mode_t mode = 0666 & ~CurrentUmask();
    struct stat st {};
    if (stat(target_.c_str(), &st) == 0) {
        // It exists, links followed by the kernel (which also knows the
        // links under /proc, such as /dev/stdout).
        if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
            writeThrough_ = true;
            resolved_ = target_;  // opened as given when the time comes
        } else if (S_ISDIR(st.st_mode)) {
            error = "'" + target_ + "' is a directory";
            return false;
        } else if (!S_ISREG(st.st_mode)) {
            error = "'" + target_ + "' is neither a regular file nor a character device or FIFO; not replacing it";
            return false;
        } else if (access(target_.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            // Root may write anything; a file nobody may write is still
            // protected on purpose, so it is not replaced behind its back.
            error = "'" + target_ + "' is read-only; not replacing it";
            return false;
        } else {
            std::vector<char> real(PATH_MAX + 1, '\0');
            if (realpath(target_.c_str(), real.data()) == nullptr) {
                error = "cannot write '" + target_ + "': " + Reason();
                return false;
            }
            resolved_ = real.data();
            mode = st.st_mode & 07777;
        }
    } else if (errno != ENOENT) {
        error = "cannot write '" + target_ + "': " + Reason();
        return false;
    } else if (!FileIdentity::FollowLinks(target_, resolved_, error)) {
        // A new file, perhaps behind a dangling link: the link's target is
        // the name to create.
        return false;
    }
    SplitPath(resolved_, dir, name);

    std::string pattern;
    if (writeThrough_) {
        std::error_code ec;
        const std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
        pattern = (ec ? std::string("/tmp") : tmp.string()) + "/kestrom-" + name + "-XXXXXX";
    } else {
        // Hidden, and marked as ours, so an interrupted run is recognisable.
        pattern = (dir == "/" ? "/" : dir + "/") + "." + name + ".kestrom-XXXXXX";
    }
    const int fd = MakeTemp(pattern);
    if (fd < 0) {
        const std::string where = writeThrough_ ? pattern.substr(0, pattern.find_last_of('/')) : dir;
        error = "cannot create a file in '" + where + "': " + Reason();
        return false;
    }
    fd_ = fd;
    tempPath_ = pattern;
    // mkstemp makes the file private (0600); a replacing file gets the
    // target's permissions, or those of any newly created file.
    if (!writeThrough_ && fchmod(fd_, mode) != 0) {
        error = "cannot set the permissions of '" + tempPath_ + "': " + Reason();
        Discard();
        return false;
    }
    return true;
}

std::FILE* OutputFile::OpenStream(const char* mode, std::string& error) {
    const int fd = fd_ >= 0 ? dup(fd_) : -1;
    std::FILE* stream = fd >= 0 ? fdopen(fd, mode) : nullptr;
    if (stream == nullptr) {
        error = "cannot write '" + target_ + "': " + Reason();
        if (fd >= 0) {
            close(fd);
        }
    }
    return stream;
}

bool OutputFile::SyncData(std::string& error) {
    if (fsync(fd_) != 0) {
        error = "cannot flush '" + target_ + "' to disk: " + Reason();
        return false;
    }
    return true;
}

bool OutputFile::CopyThrough(std::string& error) {
    // A call cut short by a signal is retried unless the signal asks us to stop.
    const auto fail = [&](const char* what) {
        if (!InterruptedError(error)) {
            error = std::string(what) + " '" + target_ + "': " + Reason();
        }
        return false;
    };
    int out = -1;
    // A FIFO's open waits for a reader; a signal ends the wait.
    while ((out = open(resolved_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC)) < 0) {
        if (errno != EINTR || Interruption::Requested()) {
            return fail("cannot write");
        }
    }
    std::vector<char> buffer(kCopyChunk);
    bool ok = lseek(fd_, 0, SEEK_SET) == 0 || fail("cannot read back the staged copy of");
    while (ok) {
        const ssize_t got = read(fd_, buffer.data(), buffer.size());
        if (got == 0) {
            break;
        }
        if (got < 0) {
            ok = (errno == EINTR && !Interruption::Requested()) || fail("cannot read back the staged copy of");
            continue;
        }
        for (ssize_t done = 0; ok && done < got;) {
            const ssize_t put = write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put >= 0) {
                done += put;
            } else {
                ok = (errno == EINTR && !Interruption::Requested()) || fail("error writing");
            }
        }
    }
    if (close(out) != 0 && ok) {
        ok = fail("error writing");
    }
    if (ok) {
        Discard();  // the staged copy has done its job
        committed_ = true;
    }
    return ok;
}

bool OutputFile::Rename(std::string& error) {
    close(fd_);
    fd_ = -1;
    if (std::rename(tempPath_.c_str(), resolved_.c_str()) != 0) {
        error = "cannot write '" + target_ + "': " + Reason();
        Discard();
        return false;
    }
    committed_ = true;
    tempPath_.clear();
    return true;
}

void OutputFile::SplitPath(const std::string& path, std::string& dir, std::string& name) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        dir = ".";
        name = path;
    } else {
        dir = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

bool OutputFile::SyncFolder(const std::string& dir, std::string& error) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || fsync(fd) != 0) {
        error = "the output is in place, but its directory '" + dir + "' could not be flushed to disk: " + Reason();
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    close(fd);
    return true;
}

void OutputFile::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace kestrom::tool
