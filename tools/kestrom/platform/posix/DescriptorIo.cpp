// Positioned reads and writes on Linux. Built only by the native build
// (tools/CMakeLists.txt).
#include "tools/kestrom/DescriptorIo.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrom::tool {

bool DescriptorIo::TransferAll(int fd, unsigned char* bytes, std::int64_t count, std::int64_t at, bool writing) {
    while (count > 0) {
        const ssize_t done = writing ? pwrite(fd, bytes, static_cast<std::size_t>(count), at)
                                     : pread(fd, bytes, static_cast<std::size_t>(count), at);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        bytes += done;
        count -= done;
        at += done;
    }
    return true;
}

std::int64_t DescriptorIo::Size(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

}  // namespace kestrom::tool
