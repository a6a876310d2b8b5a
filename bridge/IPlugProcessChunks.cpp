// The plug-in's saved state as the host keeps it: one chunk per process, the
// host library's 56-byte header (size at offset 0, chunk ID at offset 20)
// followed by the plug-in's state bytes. The host library checks every size
// before these run (whole 8-byte values after the header, nothing past what
// the host handed over), so they only read and write inside the chunk.
#include <cstring>
#include <vector>

#include "bridge/IPlugProcess.h"
#include "bridge/IPlugRTAS.h"
#include "hostlib/CChunkHeader.h"
#include "hostlib/CPluginControl_Discrete.h"

bool IPlugProcess::SerializeState(IStateChunk& state) { return plugin && plugin->SaveState(state); }

int32_t IPlugProcess::ChunkCount() { return 1; }

PI_Status IPlugProcess::ChunkIdAt(int32_t index, int32_t* id) {
    if (index != 1 || id == nullptr) return PI_ErrBadChunkId;
    *id = processId;
    return PI_NoErr;
}

PI_Status IPlugProcess::ChunkSize(int32_t id, int32_t* size) {
    if (id != processId || size == nullptr) return PI_ErrBadChunkId;
    IStateChunk state;
    if (!SerializeState(state)) return PI_ErrBadChunkId;
    *size = CChunkHeader::kBytes + state.ByteCount();
    return PI_NoErr;
}

PI_Status IPlugProcess::GetChunk(int32_t id, void* chunk, int32_t capacity) {
    if (id != processId || chunk == nullptr) return PI_ErrBadChunkId;
    IStateChunk state;
    if (!SerializeState(state)) return PI_ErrBadChunkId;
    const int32_t size = CChunkHeader::kBytes + state.ByteCount();
    if (size > capacity) return PI_ErrBufferTooSmall;
    CChunkHeader::WriteInt32(chunk, CChunkHeader::kSizeOffset, size);
    std::memcpy(static_cast<unsigned char*>(chunk) + CChunkHeader::kBytes, state.Bytes(),
                static_cast<std::size_t>(state.ByteCount()));
    return PI_NoErr;
}

// The parameters take the restored values; then every host control follows
// (which, through the controls' echo, also shows them in an open editor), and
// the host learns that the state changed.
//
// A switch, integer or list parameter takes the whole value its control
// shows, here and now: a stored 0.5 for a switch the control shows as off
// restores as off, whether or not the host echoes the reported values, so
// what the host shows, what plays and what the next save holds agree (and
// save, restore, save gives the same bytes). Continuous parameters keep every
// digit stored. All of it happens under the plug-in's lock, so no block runs
// with a half-restored state; the reports go out after it is released.
PI_Status IPlugProcess::SetChunk(int32_t id, const void* chunk, int32_t size) {
    if (id != processId || chunk == nullptr) return PI_ErrBadChunkId;
    if (!plugin) return PI_NoErr;
    IStateChunk state;
    state.Append(static_cast<const unsigned char*>(chunk) + CChunkHeader::kBytes, size - CChunkHeader::kBytes);
    struct Report {
        int controlIndex;
        int32_t controlValue;
    };
    std::vector<Report> reports;
    reports.reserve(static_cast<std::size_t>(plugin->NParams()));
    {
        IPlugLockGuard guard(plugin->Lock());
        plugin->LoadState(state, 0);
        for (int i = 0; i < plugin->NParams(); ++i) {
            const IPlugParam* param = plugin->Param(i);
            if (!IPlugRTAS::HasHostControl(param->Kind())) continue;
            const int controlIndex = IPlugRTAS::ControlIndexOfParam(i);
            int32_t controlValue = 0;
            if (!ControlValueForParameter(controlIndex, param->Value(), &controlValue)) continue;
            if (const auto* discrete = dynamic_cast<const CPluginControl_Discrete*>(Control(controlIndex))) {
                const double shown = discrete->IntegerFromControlValue(controlValue);
                if (param->Value() != shown) plugin->ApplyHostControlChange(controlIndex, shown);
            }
            reports.push_back({controlIndex, controlValue});
        }
        plugin->RefreshEditorControls();
    }
    for (const Report& report : reports) StoreControlValue(report.controlIndex, report.controlValue);
    IncrementStateChangeCount();
    return PI_NoErr;
}

PI_Status IPlugProcess::CompareChunk(const void* chunk, int32_t size, bool* equal) {
    if (chunk == nullptr || equal == nullptr) return PI_ErrBadChunkId;
    if (CChunkHeader::ReadInt32(chunk, CChunkHeader::kChunkIdOffset) != processId) return PI_ErrBadChunkId;
    *equal = plugin && plugin->StateMatches(static_cast<const unsigned char*>(chunk) + CChunkHeader::kBytes,
                                            size - CChunkHeader::kBytes, 0);
    return PI_NoErr;
}
