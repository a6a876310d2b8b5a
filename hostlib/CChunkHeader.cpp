#include "hostlib/CChunkHeader.h"

#include <cstring>

int32_t CChunkHeader::ReadInt32(const void* chunk, int32_t offset) {
    int32_t value;
    std::memcpy(&value, static_cast<const unsigned char*>(chunk) + offset, sizeof value);
    return value;
}

void CChunkHeader::WriteInt32(void* chunk, int32_t offset, int32_t value) {
    std::memcpy(static_cast<unsigned char*>(chunk) + offset, &value, sizeof value);
}

bool CChunkHeader::IsWellFormedSize(int32_t size) { return size >= kBytes && (size - kBytes) % kValueBytes == 0; }

PI_Status CChunkHeader::Check(const void* chunk, int32_t available, int32_t* size) {
    if (available < kBytes) return PI_ErrBadChunk;
    const int32_t field = ReadInt32(chunk, kSizeOffset);
    if (!IsWellFormedSize(field) || field > available) return PI_ErrBadChunk;
    *size = field;
    return PI_NoErr;
}

void CChunkHeader::WriteFields(void* chunk, int32_t makerId, int32_t productId, int32_t typeId, int32_t chunkId,
                               const char* names) {
    WriteInt32(chunk, kVersionOffset, kVersion);
    WriteInt32(chunk, kMakerIdOffset, makerId);
    WriteInt32(chunk, kProductIdOffset, productId);
    WriteInt32(chunk, kTypeIdOffset, typeId);
    WriteInt32(chunk, kChunkIdOffset, chunkId);
    char name[kNameBytes] = {};
    if (names) {
        std::size_t n = 0;
        while (n < kNameBytes - 1 && names[n] != '\0' && names[n] != '\n') ++n;
        std::memcpy(name, names, n);
    }
    std::memcpy(static_cast<unsigned char*>(chunk) + kNameOffset, name, kNameBytes);
}
