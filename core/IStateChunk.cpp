#include "core/IStateChunk.h"

#include <cstdint>
#include <cstring>

namespace {

// Little-endian encoding independent of the machine's byte order.
void StoreLE(uint8_t* out, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint64_t LoadLE(const uint8_t* in, int n) {
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<uint64_t>(in[i]) << (8 * i);
    return v;
}

}  // namespace

void IStateChunk::Reserve(std::size_t n) {
    if (n <= bytes.capacity()) return;
    const std::size_t steps = (n + kGrowthStep - 1) / kGrowthStep;
    bytes.reserve(steps * kGrowthStep);
}

void IStateChunk::SetSize(int n) {
    if (n < 0) n = 0;
    Reserve(static_cast<std::size_t>(n));
    bytes.resize(static_cast<std::size_t>(n), 0);
}

void IStateChunk::Append(const void* data, int n) {
    if (n <= 0 || !data) return;
    Reserve(bytes.size() + static_cast<std::size_t>(n));
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
}

void IStateChunk::AppendInt32(int32_t v) {
    uint8_t b[4];
    StoreLE(b, static_cast<uint32_t>(v), 4);
    Append(b, 4);
}

void IStateChunk::AppendDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    uint8_t b[8];
    StoreLE(b, bits, 8);
    Append(b, 8);
}

void IStateChunk::AppendChunk(const IStateChunk& other) {
    if (&other == this) {
        const std::vector<uint8_t> copy = other.bytes;
        Append(copy.data(), static_cast<int>(copy.size()));
        return;
    }
    Append(other.Bytes(), other.ByteCount());
}

void IStateChunk::AppendText(const char* text) {
    const std::size_t length = text ? std::strlen(text) : 0;
    AppendInt32(static_cast<int32_t>(length));
    Append(text, static_cast<int>(length));
}

int IStateChunk::ReadAt(void* destination, int n, int position) const {
    if (position < 0 || n < 0) return -1;
    const int64_t end = static_cast<int64_t>(position) + n;
    if (end > ByteCount()) return -1;
    if (n > 0) std::memcpy(destination, bytes.data() + position, static_cast<std::size_t>(n));
    return static_cast<int>(end);
}

int IStateChunk::ReadInt32At(int32_t* v, int position) const {
    uint8_t b[4];
    const int next = ReadAt(b, 4, position);
    if (next >= 0) *v = static_cast<int32_t>(static_cast<uint32_t>(LoadLE(b, 4)));
    return next;
}

int IStateChunk::ReadDoubleAt(double* v, int position) const {
    uint8_t b[8];
    const int next = ReadAt(b, 8, position);
    if (next >= 0) {
        const uint64_t bits = LoadLE(b, 8);
        std::memcpy(v, &bits, 8);
    }
    return next;
}

int IStateChunk::ReadTextAt(std::string* text, int position) const {
    int32_t length = 0;
    const int start = ReadInt32At(&length, position);
    if (start < 0) return -1;
    // A negative length would move the position backwards and an overflowing
    // one would wrap: both are reads past the end.
    if (length < 0) return -1;
    const int64_t end = static_cast<int64_t>(start) + length;
    if (end > INT32_MAX) return -1;
    // A text that does not fit leaves the old one, but the position still
    // moves past it, so the next read fails as a read past the end.
    if (length > 0 && end <= ByteCount() && text) text->assign(reinterpret_cast<const char*>(bytes.data() + start),
                                          static_cast<std::size_t>(length));
    return static_cast<int>(end);
}
