// Positioned reads and writes on Windows, on the handle behind a C runtime
// descriptor: the offset goes in an OVERLAPPED record (the handle is
// synchronous, so each call still completes before it returns). Built only
// by Windows builds (tools/CMakeLists.txt).
#include "tools/kestrom/DescriptorIo.h"

#include <windows.h>

#include <io.h>

#include <algorithm>

namespace kestrom::tool {

namespace {

constexpr std::int64_t kMostPerCall = 1 << 30;

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

bool DescriptorIo::TransferAll(int fd, unsigned char* bytes, std::int64_t count, std::int64_t at, bool writing) {
    HANDLE file = HandleOf(fd);
    if (file == INVALID_HANDLE_VALUE) return false;
    while (count > 0) {
        OVERLAPPED where = {};
        where.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(at));
        where.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(at) >> 32);
        const DWORD part = static_cast<DWORD>(std::min(count, kMostPerCall));
        DWORD done = 0;
        const BOOL ok = writing ? WriteFile(file, bytes, part, &done, &where) : ReadFile(file, bytes, part, &done, &where);
        if (!ok || done == 0) {
            return false;
        }
        bytes += done;
        count -= done;
        at += done;
    }
    return true;
}

std::int64_t DescriptorIo::Size(int fd) {
    LARGE_INTEGER size = {};
    HANDLE file = HandleOf(fd);
    return file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size) ? static_cast<std::int64_t>(size.QuadPart) : -1;
}

}  // namespace kestrom::tool
