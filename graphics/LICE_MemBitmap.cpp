#include "graphics/LICE_MemBitmap.h"

#include <cstdint>
#include <cstdlib>

namespace {
// Spare bytes allocated so that the pixels can start on a 64-byte boundary.
constexpr std::size_t kAlignSpare = 63;
// Largest pixel buffer a bitmap may ask for: far above any picture or window
// of the editor, and small enough that the 5/4 growth and the spare bytes
// cannot overflow.
constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 31;
}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int w, int h, int lineAlign) {
    if (lineAlign >= 2) {
        int lowest = lineAlign & -lineAlign;  // lowest set bit
        if (lowest > 16) {
            lowest = 16;
        }
        rowMask_ = lowest - 1;
    }
    if (w != 0 || h != 0) {
        Resize(w, h);
    }
}

LICE_MemBitmap::~LICE_MemBitmap() { std::free(buffer_); }

LICE_pixel* LICE_MemBitmap::Pixels() const {
    if (buffer_ == nullptr) {
        return nullptr;
    }
    const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(buffer_);
    return reinterpret_cast<LICE_pixel*>((p + kAlignSpare) & ~std::uintptr_t{kAlignSpare});
}

bool LICE_MemBitmap::Resize(int w, int h) {
    if (w == width_ && h == height_) {
        return false;
    }
    width_ = w;
    height_ = h;
    // Computed in 64 bits: a negative size gives no bytes, a huge one is refused
    // rather than wrapping round to a small buffer.
    std::uint64_t bytes = 0;
    if (w > 0 && h > 0) {
        const std::uint64_t span = (static_cast<std::uint64_t>(w) + static_cast<std::uint64_t>(rowMask_)) &
                                   ~static_cast<std::uint64_t>(rowMask_);
        bytes = static_cast<std::uint64_t>(h) * span * 4;
    }
    if (bytes > 0 && bytes <= kMaxBytes) {
        const std::size_t need = static_cast<std::size_t>(bytes);
        if (buffer_ == nullptr) {
            buffer_ = static_cast<unsigned char*>(std::malloc(need + kAlignSpare));
            allocated_ = buffer_ != nullptr ? need : 0;
        } else if (allocated_ < need) {
            const std::size_t grown = need / 4 * 5;
            void* moved = std::realloc(buffer_, grown + kAlignSpare);
            if (moved != nullptr) {
                buffer_ = static_cast<unsigned char*>(moved);
                allocated_ = grown;
            } else {
                std::free(buffer_);
                buffer_ = static_cast<unsigned char*>(std::malloc(need + kAlignSpare));
                allocated_ = buffer_ != nullptr ? need : 0;
            }
        }
    } else {
        std::free(buffer_);
        buffer_ = nullptr;
        allocated_ = 0;
    }
    if (buffer_ == nullptr) {
        width_ = 0;
        height_ = 0;
    }
    return true;
}
