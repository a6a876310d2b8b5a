#include "tools/kestrom/ReplacingFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrom::tool {

namespace {

// The directory part of a path ("." when there is none) and the file name.
void SplitPath(const std::string& path, std::string& dir, std::string& name) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        dir = ".";
        name = path;
    } else {
        dir = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Create(std::string& error) {
    std::string dir, name;
    SplitPath(target_, dir, name);
    if (name.empty()) {
        error = "'" + target_ + "' names a directory, not a file";
        return false;
    }
    // Hidden, and marked as ours, so an interrupted run is recognisable.
    std::string pattern = (dir == "/" ? "/" : dir + "/") + "." + name + ".kestrom-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0) {
        error = "cannot create a file in '" + dir + "': " + std::strerror(errno);
        return false;
    }
    fd_ = fd;
    tempPath_ = buffer.data();
    // mkstemp makes the file private (0600); the result should be an ordinary file.
    if (fchmod(fd_, 0666 & ~CurrentUmask()) != 0) {
        error = "cannot set the permissions of '" + tempPath_ + "': " + std::strerror(errno);
        Discard();
        return false;
    }
    return true;
}

std::FILE* ReplacingFile::CreateStream(const char* mode, std::string& error) {
    if (!Create(error)) {
        return nullptr;
    }
    const int fd = TakeDescriptor();
    std::FILE* stream = fdopen(fd, mode);
    if (stream == nullptr) {
        error = "cannot write '" + target_ + "'";
        close(fd);
        Discard();
    }
    return stream;
}

int ReplacingFile::TakeDescriptor() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool ReplacingFile::Commit(std::string& error) {
    if (tempPath_.empty()) {
        error = "nothing to write to '" + target_ + "'";
        return false;
    }
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        error = "cannot write '" + target_ + "': " + std::strerror(errno);
        Discard();
        return false;
    }
    committed_ = true;
    tempPath_.clear();
    return true;
}

void ReplacingFile::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !tempPath_.empty()) {
        std::remove(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace kestrom::tool
