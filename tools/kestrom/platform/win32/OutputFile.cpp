// Outputs replaced safely on Windows: a new file beside the target, opened as
// a C runtime descriptor in binary mode, FlushFileBuffers, MoveFileEx over
// the target (replacing, written through), and the copy into a character
// device or named pipe. Built only by Windows builds (tools/CMakeLists.txt).
#include "tools/kestrom/OutputFile.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <vector>

#include "tools/kestrom/Interruption.h"
#include "tools/kestrom/platform/win32/SystemMessage.h"

namespace kestrom::tool {

namespace {

constexpr std::size_t kCopyChunk = 1 << 20;  // bytes per read/write when copying into a device
constexpr int kTempAttempts = 100;

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

std::string FullPath(const std::string& path) {
    std::vector<char> full(32768, '\0');
    const DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    return n > 0 && n < full.size() ? std::string(full.data(), n) : path;
}

// A new file at `prefix` followed by six letters that make it unused, open
// for reading and writing and for no one else's writing; its handle, or
// INVALID_HANDLE_VALUE with the system's error code in `code`.
HANDLE MakeTemp(const std::string& prefix, std::string& path, DWORD& code) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        path = prefix;
        for (int i = 0; i < 6; ++i) {
            seed = seed * 1103515245u + 12345u;
            path += kLetters[(seed >> 16) % (sizeof kLetters - 1)];
        }
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

void OutputFile::SplitPath(const std::string& path, std::string& dir, std::string& name) {
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        dir = ".";
        name = path;
    } else {
        dir = slash == 0 || (slash == 2 && path[1] == ':') ? path.substr(0, slash + 1) : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

bool OutputFile::Prepare(std::string& error) {
    Discard();
    std::string dir, name;
    SplitPath(target_, dir, name);
    if (name.empty() || name == "." || name == "..") {
        error = "'" + target_ + "' names a directory, not a file";
        return false;
    }
    // It exists when it opens (links followed by the system; NUL and CON
    // open too). No access asked for: this only looks at it.
    HANDLE existing = CreateFileA(target_.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(existing);
        BY_HANDLE_FILE_INFORMATION info = {};
        const bool known = type == FILE_TYPE_DISK && GetFileInformationByHandle(existing, &info) != 0;
        std::vector<char> final(32768, '\0');
        const DWORD n = known ? GetFinalPathNameByHandleA(existing, final.data(), static_cast<DWORD>(final.size()),
                                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)
                              : 0;
        CloseHandle(existing);
        if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
            writeThrough_ = true;
            resolved_ = target_;  // opened as given when the time comes
        } else if (!known) {
            error = "'" + target_ + "' is neither a regular file nor a character device or pipe; not replacing it";
            return false;
        } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            error = "'" + target_ + "' is a directory";
            return false;
        } else if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            // A file nobody may write is protected on purpose: it is not
            // replaced behind its back.
            error = "'" + target_ + "' is read-only; not replacing it";
            return false;
        } else {
            // The file the links lead to, without the "\\?\" the system puts
            // in front of long names.
            std::string real = n > 0 && n < final.size() ? std::string(final.data(), n) : FullPath(target_);
            if (real.rfind("\\\\?\\UNC\\", 0) == 0) {
                real = "\\\\" + real.substr(8);
            } else if (real.rfind("\\\\?\\", 0) == 0) {
                real = real.substr(4);
            }
            resolved_ = real;
        }
    } else {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND) {
            error = "cannot write '" + target_ + "': " + SystemMessage::For(code);
            return false;
        }
        resolved_ = FullPath(target_);
    }
    SplitPath(resolved_, dir, name);

    std::string prefix;
    if (writeThrough_) {
        char temp[MAX_PATH + 1] = {};
        const DWORD n = GetTempPathA(sizeof temp, temp);
        prefix = (n > 0 && n < sizeof temp ? std::string(temp, n) : std::string(".\\")) + "kestrom-" +
                 (name.empty() ? std::string("output") : name) + "-";
    } else {
        // Marked as ours, so an interrupted run is recognisable.
        const char last = dir.empty() ? '\\' : dir.back();
        prefix = dir + (last == '\\' || last == '/' ? "" : "\\") + "." + name + ".kestrom-";
    }
    std::string path;
    DWORD code = 0;
    HANDLE file = MakeTemp(prefix, path, code);
    if (file == INVALID_HANDLE_VALUE) {
        const std::string where = writeThrough_ ? prefix.substr(0, prefix.find_last_of('\\')) : dir;
        error = "cannot create a file in '" + where + "': " + SystemMessage::For(code);
        return false;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        DeleteFileA(path.c_str());
        error = "cannot write '" + target_ + "': out of file descriptors";
        return false;
    }
    fd_ = fd;
    tempPath_ = path;
    return true;
}

std::FILE* OutputFile::OpenStream(const char* mode, std::string& error) {
    // Always binary: the stream carries file formats, never text lines.
    std::string binary = mode;
    if (binary.find('b') == std::string::npos) binary += 'b';
    const int fd = fd_ >= 0 ? _dup(fd_) : -1;
    std::FILE* stream = fd >= 0 ? _fdopen(fd, binary.c_str()) : nullptr;
    if (stream == nullptr) {
        error = "cannot write '" + target_ + "': cannot open a stream on it";
        if (fd >= 0) {
            _close(fd);
        }
    }
    return stream;
}

bool OutputFile::SyncData(std::string& error) {
    if (!FlushFileBuffers(HandleOf(fd_))) {
        error = "cannot flush '" + target_ + "' to disk: " + SystemMessage::Last();
        return false;
    }
    return true;
}

bool OutputFile::CopyThrough(std::string& error) {
    const auto fail = [&](const char* what, DWORD code) {
        if (!InterruptedError(error)) {
            error = std::string(what) + " '" + target_ + "': " + SystemMessage::For(code);
        }
        return false;
    };
    HANDLE out = CreateFileA(resolved_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return fail("cannot write", GetLastError());
    }
    std::vector<char> buffer(kCopyChunk);
    HANDLE staged = HandleOf(fd_);
    LARGE_INTEGER start = {};
    bool ok = SetFilePointerEx(staged, start, nullptr, FILE_BEGIN) != 0 ||
              fail("cannot read back the staged copy of", GetLastError());
    while (ok && !InterruptedError(error)) {
        DWORD got = 0;
        if (!ReadFile(staged, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            ok = fail("cannot read back the staged copy of", GetLastError());
            break;
        }
        if (got == 0) {
            break;
        }
        for (DWORD done = 0; ok && done < got;) {
            DWORD put = 0;
            if (WriteFile(out, buffer.data() + done, got - done, &put, nullptr) && put > 0) {
                done += put;
            } else {
                ok = fail("error writing", GetLastError());
            }
        }
    }
    ok = ok && !Interruption::Requested();
    CloseHandle(out);
    if (ok) {
        Discard();  // the staged copy has done its job
        committed_ = true;
    }
    return ok;
}

bool OutputFile::Rename(std::string& error) {
    _close(fd_);
    fd_ = -1;
    if (!MoveFileExA(tempPath_.c_str(), resolved_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot write '" + target_ + "': " + SystemMessage::Last();
        Discard();
        return false;
    }
    committed_ = true;
    tempPath_.clear();
    return true;
}

// MOVEFILE_WRITE_THROUGH returned only once the move was on the disk.
bool OutputFile::SyncFolder(const std::string&, std::string&) { return true; }

void OutputFile::Discard() {
    if (fd_ >= 0) {
        _close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        DeleteFileA(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace kestrom::tool
