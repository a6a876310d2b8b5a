// The routines of saved state. Every chunk the host hands over is checked here,
// before the process sees it, so the process's chunk callbacks only ever get
// a whole header and whole values within the bytes handed over; a chunk the
// module writes goes through a buffer of its own first, so the host's buffer
// is written only with a complete chunk.

#include <cstring>
#include <vector>

#include "hostlib/CChunkHeader.h"
#include "hostlib/CEffectType.h"
#include "hostlib/Routines.h"

using namespace kestrom::hostlib;

namespace {

// The size of the process's chunk `id`, checked to be well formed.
PI_Status CurrentChunkSize(CEffectProcess& process, int32_t id, int32_t* size) {
    int32_t answer = 0;
    const PI_Status status = process.ChunkSize(id, &answer);
    if (status != PI_NoErr) return status;
    if (!CChunkHeader::IsWellFormedSize(answer)) return PI_ErrInternal;
    *size = answer;
    return PI_NoErr;
}

}  // namespace

PI_Status PIR_ChunkCount(PI_Instance instance, int32_t* count) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!count) return PI_ErrNullPointer;
        const int32_t answer = process.ChunkCount();
        *count = answer > 0 ? answer : 0;
        return PI_NoErr;
    });
}

PI_Status PIR_ChunkId(PI_Instance instance, int32_t index, int32_t* id) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!id) return PI_ErrNullPointer;
        // The process answers for every index: an effect with one chunk says
        // "not a chunk of mine" (-7157) for any index but 1, as hosts expect.
        int32_t answer = 0;
        const PI_Status status = process.ChunkIdAt(index, &answer);
        if (status == PI_NoErr) *id = answer;
        return status;
    });
}

PI_Status PIR_ChunkSize(PI_Instance instance, int32_t id, int32_t* size) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!size) return PI_ErrNullPointer;
        return CurrentChunkSize(process, id, size);
    });
}

PI_Status PIR_GetChunk(PI_Instance instance, int32_t id, void* chunk, int32_t capacity) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!chunk) return PI_ErrNullPointer;
        int32_t size = 0;
        const PI_Status sized = CurrentChunkSize(process, id, &size);
        if (sized != PI_NoErr) return sized;
        if (capacity < size) return PI_ErrBufferTooSmall;

        std::vector<unsigned char> scratch(static_cast<std::size_t>(size), 0);
        const PI_Status got = process.GetChunk(id, scratch.data(), size);
        if (got != PI_NoErr) return got;
        const int32_t written = CChunkHeader::ReadInt32(scratch.data(), CChunkHeader::kSizeOffset);
        if (!CChunkHeader::IsWellFormedSize(written) || written > size) return PI_ErrInternal;

        const CEffectGroup* group = CEffectGroup::ModuleGroup();
        const CEffectType* type = process.Type();
        CChunkHeader::WriteFields(scratch.data(), group ? group->MakerId() : 0, type ? type->ProductId() : 0,
                                  process.TypeId(), id, group ? group->ProductNames() : "");
        std::memcpy(chunk, scratch.data(), static_cast<std::size_t>(written));
        return PI_NoErr;
    });
}

PI_Status PIR_SetChunk(PI_Instance instance, int32_t id, const void* chunk, int32_t size) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!chunk) return PI_ErrNullPointer;
        int32_t chunkSize = 0;
        const PI_Status checked = CChunkHeader::Check(chunk, size, &chunkSize);
        if (checked != PI_NoErr) return checked;
        if (CChunkHeader::ReadInt32(chunk, CChunkHeader::kChunkIdOffset) != id) return PI_ErrBadChunkId;
        // A state of another length than the plug-in's own would restore only
        // part of it, or read past it.
        int32_t current = 0;
        const PI_Status sized = CurrentChunkSize(process, id, &current);
        if (sized != PI_NoErr) return sized;
        if (chunkSize != current) return PI_ErrBadChunk;
        return process.SetChunk(id, chunk, chunkSize);
    });
}

PI_Status PIR_CompareChunk(PI_Instance instance, const void* chunk, int32_t size, int32_t* equal) {
    return WithInstance(instance, Needs::Initialized, [&](CEffectProcess& process) -> PI_Status {
        if (!chunk || !equal) return PI_ErrNullPointer;
        int32_t chunkSize = 0;
        const PI_Status checked = CChunkHeader::Check(chunk, size, &chunkSize);
        if (checked != PI_NoErr) return checked;
        const int32_t id = CChunkHeader::ReadInt32(chunk, CChunkHeader::kChunkIdOffset);
        int32_t current = 0;
        const PI_Status sized = CurrentChunkSize(process, id, &current);
        if (sized != PI_NoErr) return sized;
        if (chunkSize != current) {
            *equal = 0;
            return PI_NoErr;
        }
        bool same = false;
        const PI_Status compared = process.CompareChunk(chunk, chunkSize, &same);
        if (compared == PI_NoErr) *equal = same ? 1 : 0;
        return compared;
    });
}
