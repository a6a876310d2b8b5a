#pragma once

#include <cstdint>

namespace kestrom::tool {

// Reading and writing an open descriptor at explicit offsets, without moving
// its own offset, and its size: pread, pwrite and fstat on Linux; on Windows
// ReadFile and WriteFile at an offset and GetFileSizeEx on the descriptor's
// handle. Each platform's part is in a file of its own.
class DescriptorIo {
public:
    // Moves all `count` bytes at `at` to (writing) or from the file; false on
    // an error or, reading, at the end of the file first.
    static bool TransferAll(int fd, unsigned char* bytes, std::int64_t count, std::int64_t at, bool writing);
    // The file's size in bytes, or -1.
    static std::int64_t Size(int fd);
};

}  // namespace kestrom::tool
