#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A growable byte buffer holding saved state. Values are stored little-endian
// whatever the machine, without alignment or padding; texts as a 32-bit length
// followed by the bytes. Every read is bounded: it returns the position after
// the value, or -1 (copying nothing) when the value does not fit.
class IStateChunk {
public:
    static constexpr int kGrowthStep = 4096;

    IStateChunk() = default;

    int ByteCount() const { return static_cast<int>(bytes.size()); }
    const uint8_t* Bytes() const { return bytes.data(); }
    uint8_t* Bytes() { return bytes.data(); }

    // Grows (new bytes are zero) or shrinks to n bytes; SetSize(0) empties it.
    void SetSize(int n);
    void Clear() { SetSize(0); }

    void Append(const void* data, int n);
    void AppendInt32(int32_t v);
    void AppendDouble(double v);
    void AppendChunk(const IStateChunk& other);
    // Length as a signed 32-bit integer, then the bytes, no terminator.
    void AppendText(const char* text);

    int ReadAt(void* destination, int n, int position) const;
    int ReadInt32At(int32_t* v, int position) const;
    int ReadDoubleAt(double* v, int position) const;
    // Reads a length L and the L bytes after it. The text is set only when
    // L > 0 and the bytes lie within the chunk; otherwise it keeps its old
    // contents. Returns the end position (even when the text was not set and
    // the end lies beyond the chunk), or -1 when the length cannot be read or
    // is negative or overflows the position.
    int ReadTextAt(std::string* text, int position) const;

    bool operator==(const IStateChunk& o) const { return bytes == o.bytes; }

private:
    void Reserve(std::size_t n);
    std::vector<uint8_t> bytes;
};
