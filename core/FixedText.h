#pragma once

#include <cstddef>
#include <cstring>

// Bounded copies into the framework's fixed-size text fields (parameter texts,
// plug-in names, preset names). An over-long text is cut at the buffer's end and
// always terminated; nothing is ever written past the destination.
namespace kestrom {

inline void CopyText(char* dest, std::size_t capacity, const char* src) {
    if (!dest || capacity == 0) return;
    if (!src) {
        dest[0] = '\0';
        return;
    }
    std::size_t n = 0;
    while (n + 1 < capacity && src[n] != '\0') ++n;
    std::memcpy(dest, src, n);
    dest[n] = '\0';
}

template <std::size_t N>
inline void CopyText(char (&dest)[N], const char* src) {
    CopyText(dest, N, src);
}

}  // namespace kestrom
