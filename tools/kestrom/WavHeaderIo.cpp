#include "tools/kestrom/WavHeaderIo.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "tools/kestrom/DescriptorIo.h"

namespace kestrom::tool {

namespace {

// Where libsndfile's 16-byte fmt chunk ends: "RIFF", size, "WAVE" (12 bytes),
// then "fmt ", its size and 16 bytes of format.
constexpr sf_count_t kFmtEnd = 36;
// The extension-size field (cbSize) the 18-byte form adds.
constexpr sf_count_t kExtensionBytes = 2;
// The two 32-bit little-endian sizes that grow with it: the RIFF chunk's
// and the fmt chunk's.
constexpr sf_count_t kRiffSizeAt = 4;
constexpr sf_count_t kFmtSizeAt = 16;
// WAVE_FORMAT_IEEE_FLOAT.
constexpr unsigned kFormatFloat = 3;

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutLe32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

// A float WAV header as libsndfile writes it, the fmt chunk first and 16 bytes long.
bool IsShortFloatFmt(const unsigned char* header) {
    return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVEfmt ", 8) == 0 &&
           Le32(header + kFmtSizeAt) == 16 && (header[20] | header[21] << 8) == kFormatFloat;
}

// Adds `delta` to the 32-bit size at `field` when the bytes [from, from + count)
// hold all of it.
void AdjustSize(unsigned char* bytes, sf_count_t from, sf_count_t count, sf_count_t field, std::int64_t delta) {
    if (field >= from && field + 4 <= from + count) {
        unsigned char* p = bytes + (field - from);
        PutLe32(p, static_cast<std::uint32_t>(Le32(p) + delta));
    }
}

bool FullTransfer(int fd, unsigned char* bytes, sf_count_t count, sf_count_t at, bool writing) {
    return DescriptorIo::TransferAll(fd, bytes, count, at, writing);
}

}  // namespace

bool WavHeaderIo::Transfer(unsigned char* bytes, sf_count_t count, sf_count_t at, bool writing) {
    if (shift_ == 0) {
        return FullTransfer(fd_, bytes, count, at, writing);
    }
    // The part before the end of the fmt chunk stays where it is, its sizes
    // raised by the extension on the way out and lowered on the way in.
    const sf_count_t head = at < kFmtEnd ? std::min(count, kFmtEnd - at) : 0;
    if (head > 0) {
        unsigned char patched[kFmtEnd];
        std::memcpy(patched, bytes, static_cast<std::size_t>(head));
        if (writing) {
            AdjustSize(patched, at, head, kRiffSizeAt, kExtensionBytes);
            AdjustSize(patched, at, head, kFmtSizeAt, kExtensionBytes);
            if (!FullTransfer(fd_, patched, head, at, true)) return false;
            if (at + head == kFmtEnd) {
                unsigned char none[kExtensionBytes] = {0, 0};
                if (!FullTransfer(fd_, none, kExtensionBytes, kFmtEnd, true)) return false;
            }
        } else {
            if (!FullTransfer(fd_, bytes, head, at, false)) return false;
            AdjustSize(bytes, at, head, kRiffSizeAt, -kExtensionBytes);
            AdjustSize(bytes, at, head, kFmtSizeAt, -kExtensionBytes);
        }
    }
    return FullTransfer(fd_, bytes + head, count - head, at + head + shift_, writing);
}

sf_count_t WavHeaderIo::GetLength(void* self) {
    auto& io = *static_cast<WavHeaderIo*>(self);
    const sf_count_t size = DescriptorIo::Size(io.fd_);
    if (size < 0) {
        return -1;
    }
    return size >= kFmtEnd + io.shift_ ? size - io.shift_ : size;
}

sf_count_t WavHeaderIo::Seek(sf_count_t offset, int whence, void* self) {
    auto& io = *static_cast<WavHeaderIo*>(self);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) {
        base = io.position_;
    } else if (whence == SEEK_END) {
        base = GetLength(self);
        if (base < 0) return -1;
    } else if (whence != SEEK_SET) {
        return -1;
    }
    if (base + offset < 0) {
        return -1;
    }
    io.position_ = base + offset;
    return io.position_;
}

sf_count_t WavHeaderIo::Read(void* ptr, sf_count_t count, void* self) {
    auto& io = *static_cast<WavHeaderIo*>(self);
    const sf_count_t length = GetLength(self);
    if (length < 0) return 0;
    count = std::max<sf_count_t>(0, std::min(count, length - io.position_));
    if (count > 0 && !io.Transfer(static_cast<unsigned char*>(ptr), count, io.position_, false)) {
        return 0;
    }
    io.position_ += count;
    return count;
}

sf_count_t WavHeaderIo::Write(const void* ptr, sf_count_t count, void* self) {
    auto& io = *static_cast<WavHeaderIo*>(self);
    auto* bytes = static_cast<unsigned char*>(const_cast<void*>(ptr));
    if (!io.decided_) {
        // libsndfile's first write is its header, at offset 0.
        io.decided_ = true;
        if (io.position_ == 0 && count >= kFmtEnd && IsShortFloatFmt(bytes)) {
            io.shift_ = kExtensionBytes;
        }
    }
    if (!io.Transfer(bytes, count, io.position_, true)) {
        return 0;
    }
    io.position_ += count;
    return count;
}

sf_count_t WavHeaderIo::Tell(void* self) { return static_cast<WavHeaderIo*>(self)->position_; }

}  // namespace kestrom::tool
