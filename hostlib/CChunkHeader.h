#pragma once

#include <cstdint>

#include "hostlib/PluginRoutines.h"

// The host library's header in front of every saved-state chunk, and the
// checks a chunk handed over by the host must pass before anything reads it.
//
//   offset 0   int32  size of the whole chunk in bytes, header included
//   offset 4   int32  header version (kVersion)
//   offset 8   int32  maker ID
//   offset 12  int32  product ID
//   offset 16  int32  the instance's effect type ID
//   offset 20  int32  chunk ID
//   offset 24  kNameBytes bytes: the product's long name, NUL-padded
//   offset 56  the state: whole kValueBytes-byte values
//
// Fields are in the machine's byte order and may sit at any alignment (the
// host's buffer is plain bytes), so they are read and written with memcpy.
class CChunkHeader {
public:
    static constexpr int32_t kBytes = 56;
    static constexpr int32_t kValueBytes = 8;
    static constexpr int32_t kVersion = 1;

    static constexpr int32_t kSizeOffset = 0;
    static constexpr int32_t kVersionOffset = 4;
    static constexpr int32_t kMakerIdOffset = 8;
    static constexpr int32_t kProductIdOffset = 12;
    static constexpr int32_t kTypeIdOffset = 16;
    static constexpr int32_t kChunkIdOffset = 20;
    static constexpr int32_t kNameOffset = 24;
    static constexpr int32_t kNameBytes = 32;

    // The int32 at `offset` of `chunk`, which the caller has checked holds it.
    static int32_t ReadInt32(const void* chunk, int32_t offset);
    static void WriteInt32(void* chunk, int32_t offset, int32_t value);

    // Whether `size` is a well-formed chunk size: the header and whole values.
    static bool IsWellFormedSize(int32_t size);
    // Checks a chunk of which the host handed over `available` bytes: answers
    // PI_NoErr and the chunk's size from its size field in *size, or
    // PI_ErrBadChunk when fewer than kBytes are available, or the size field
    // is not well formed or larger than what is available. Reads nothing
    // beyond `available` bytes, and nothing when `available` is below kBytes.
    static PI_Status Check(const void* chunk, int32_t available, int32_t* size);

    // Writes the header fields from offset 4 on (not the size). The name is
    // cut to kNameBytes - 1 bytes, at its first line feed.
    static void WriteFields(void* chunk, int32_t makerId, int32_t productId, int32_t typeId, int32_t chunkId,
                            const char* names);
};
