// Saved state and presets of the plug-in base: the parameter-state chunk (one
// little-endian double per parameter, in index order), the preset bank, and
// the operations that create, restore and dump presets.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/Base64.h"
#include "core/FixedText.h"
#include "core/IPlugBase.h"
#include "core/Trace.h"

namespace {

constexpr const char* kUserPresetName = "user preset";
// Marks "no value given" in MakePresetFromNamedParams; a parameter given
// exactly this value is therefore taken from the current state.
constexpr double kUnsetMarker = 9.999e-8;
// Largest difference, after rounding to single precision, that still counts
// as the same stored value.
constexpr double kStateTolerance = 0.00001;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool IPlugBase::SerializeParams(IStateChunk& chunk) {
    IPlugLockGuard guard(lock);
    bool ok = true;
    for (int i = 0; i < NParams(); ++i) {
        const IPlugParam& p = params[i];
        KESTROM_TRACE("IPlugBase::SerializeParams", "%d %s %f", i, p.Name(), p.Value());
        chunk.AppendDouble(p.Value());
        ok = chunk.ByteCount() > 0;
    }
    return ok;
}

int IPlugBase::UnserializeParams(const IStateChunk& chunk, int position) {
    IPlugLockGuard guard(lock);
    for (int i = 0; i < NParams() && position >= 0; ++i) {
        double v = 0.0;
        position = chunk.ReadDoubleAt(&v, position);
        if (position < 0) v = 0.0;
        // A stored NaN would poison the processing; it reads as a missing value.
        if (std::isnan(v)) v = 0.0;
        params[i].Set(v);
        KESTROM_TRACE("IPlugBase::UnserializeParams", "%d %s %f", i, params[i].Name(), params[i].Value());
    }
    for (int i = 0; i < NParams(); ++i) HandleParamChange(i);
    return position;
}

bool IPlugBase::StateMatches(const void* data, int byteCount, int position) {
    if (!data || position < 0) return false;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < NParams(); ++i) {
        const long long offset = (static_cast<long long>(position) + i) * 8;
        if (offset + 8 > byteCount) return false;
        IStateChunk one;
        one.Append(bytes + offset, 8);
        double stored = 0.0;
        one.ReadDoubleAt(&stored, 0);
        const float difference =
            static_cast<float>(static_cast<float>(params[i].Value()) - static_cast<float>(stored));
        if (!(std::fabs(difference) < kStateTolerance)) return false;
    }
    return true;
}

bool IPlugBase::SerializePresets(IStateChunk& chunk) {
    bool ok = true;
    for (std::size_t i = 0; i < presets.size() && ok; ++i) {
        IPresetSlot& slot = presets[i];
        chunk.AppendText(slot.name);
        KESTROM_TRACE("IPlugBase::SerializePresets", "%d %s", static_cast<int>(i), slot.name);
        const unsigned char flag = slot.initialised ? 1 : 0;
        chunk.Append(&flag, 1);
        if (slot.initialised) {
            chunk.AppendChunk(slot.state);
            ok = chunk.ByteCount() > 0;
        }
    }
    return ok;
}

int IPlugBase::UnserializePresets(const IStateChunk& chunk, int position) {
    // One name for all slots: a stored empty name leaves the previous one.
    std::string name;
    for (std::size_t i = 0; i < presets.size() && position >= 0; ++i) {
        IPresetSlot& slot = presets[i];
        position = chunk.ReadTextAt(&name, position);
        kestrom::CopyText(slot.name, name.c_str());
        KESTROM_TRACE("IPlugBase::UnserializePresets", "%d %s", static_cast<int>(i), slot.name);
        unsigned char flag = 0;
        if (position < 0 || chunk.ReadAt(&flag, 1, position) < 0) {
            position = -1;
        } else {
            slot.initialised = flag != 0;
            position += 1;
            // A slot the bank leaves unset holds no state: whatever fills it
            // next appends to its state, so old bytes would come first.
            if (!slot.initialised) slot.state.Clear();
        }
        if (slot.initialised) {
            position = LoadState(chunk, position);
            if (position > 0) {
                slot.state.Clear();
                SaveState(slot.state);
            }
        }
    }
    LoadPresetSlot(currentPreset);
    return position;
}

IPresetSlot* IPlugBase::Preset(int index) {
    return index >= 0 && index < NPresets() ? &presets[index] : nullptr;
}

const char* IPlugBase::SlotName(int index) const {
    return index >= 0 && index < NPresets() ? presets[index].name : "";
}

std::string IPlugBase::NextUserPresetName() const {
    int count = 0;
    for (const IPresetSlot& slot : presets)
        if (std::strstr(slot.name, kUserPresetName)) ++count;
    char name[IPresetSlot::kNameSize];
    std::snprintf(name, sizeof name, "%s %d", kUserPresetName, count + 1);
    return name;
}

bool IPlugBase::LoadPresetSlot(int index) {
    IPresetSlot* slot = Preset(index);
    if (!slot) return false;
    bool ok;
    if (slot->initialised) {
        ok = LoadState(slot->state, 0) > 0;
    } else {
        slot->initialised = true;
        kestrom::CopyText(slot->name, NextUserPresetName().c_str());
        ok = SaveState(slot->state);
    }
    if (ok) {
        currentPreset = index;
        OnPresetRestored();
        RefreshEditorControls();
    }
    return ok;
}

bool IPlugBase::LoadPresetSlotNamed(const char* name) {
    if (!name || !name[0]) return false;
    for (int i = 0; i < NPresets(); ++i)
        if (std::strcmp(presets[i].name, name) == 0) return LoadPresetSlot(i);
    return false;
}

IPresetSlot* IPlugBase::FirstUnsetSlot() {
    for (IPresetSlot& slot : presets)
        if (!slot.initialised) return &slot;
    return nullptr;
}

void IPlugBase::CaptureDefaultPresets(const char* name, int count) {
    for (int n = 0; n < count; ++n) {
        IPresetSlot* slot = FirstUnsetSlot();
        if (!slot) return;
        slot->initialised = true;
        kestrom::CopyText(slot->name, name && name[0] ? name : "Empty");
        SaveState(slot->state);
    }
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
    IPresetSlot* slot = Preset(currentPreset);
    if (!slot) return;
    slot->state.Clear();
    KESTROM_TRACE("IPlugBase::ModifyCurrentPreset", "%d %s", currentPreset, name ? name : "");
    SaveState(slot->state);
    if (name && name[0]) kestrom::CopyText(slot->name, name);
}

void IPlugBase::DiscardUnsetPresets() {
    std::vector<IPresetSlot> kept;
    kept.reserve(presets.size());
    for (IPresetSlot& slot : presets)
        if (slot.initialised) kept.push_back(std::move(slot));
    presets = std::move(kept);
}

IPresetSlot* IPlugBase::MakePresetFromValueArray(const char* name, const double* values, int count) {
    IPresetSlot* slot = FirstUnsetSlot();
    if (!slot) return nullptr;
    slot->initialised = true;
    kestrom::CopyText(slot->name, name);
    for (int i = 0; i < NParams(); ++i)
        slot->state.AppendDouble(i < count && values ? values[i] : params[i].Value());
    return slot;
}

IPresetSlot* IPlugBase::MakePresetFromNamedParams(const char* name,
                                                  const std::vector<std::pair<int, double>>& pairs) {
    IPresetSlot* slot = FirstUnsetSlot();
    if (!slot) return nullptr;
    slot->initialised = true;
    kestrom::CopyText(slot->name, name);
    std::vector<double> values(static_cast<std::size_t>(NParams()), kUnsetMarker);
    for (const auto& pair : pairs)
        if (pair.first >= 0 && pair.first < NParams()) values[pair.first] = pair.second;
    for (int i = 0; i < NParams(); ++i) {
        if (values[i] == kUnsetMarker) values[i] = params[i].Value();
        slot->state.AppendDouble(values[i]);
    }
    return slot;
}

IPresetSlot* IPlugBase::MakePresetFromBytes(const char* name, const IStateChunk& chunk) {
    IPresetSlot* slot = FirstUnsetSlot();
    if (!slot) return nullptr;
    slot->initialised = true;
    kestrom::CopyText(slot->name, name);
    slot->state.AppendChunk(chunk);
    return slot;
}

IPresetSlot* IPlugBase::MakePresetFromBlob(const char* name, const char* base64Text, int byteCount) {
    if (byteCount < 0) return nullptr;
    IStateChunk chunk;
    chunk.SetSize(byteCount);  // zeroed: bytes the text does not cover stay 0
    kestrom::Base64Decode(base64Text, chunk.Bytes(), byteCount);
    return MakePresetFromBytes(name, chunk);
}

bool IPlugBase::WritePresetSourceFile(const char* path, const char* const* paramNames) const {
    if (!path) return false;
    File file(std::fopen(path, "w"));
    if (!file) return false;
    std::fprintf(file.get(), "  MakePresetFromNamedParams(\"name\", %d", NParams());
    for (int i = 0; i < NParams(); ++i) {
        const IPlugParam& p = params[i];
        char value[64];
        switch (p.Kind()) {
            case IPlugParam::Switch:
                std::snprintf(value, sizeof value, "%s", p.Value() >= 0.5 ? "true" : "false");
                break;
            case IPlugParam::Integer:
            case IPlugParam::List:
                std::snprintf(value, sizeof value, "%d", static_cast<int>(p.Value()));
                break;
            default:
                std::snprintf(value, sizeof value, "%.6f", p.Value());
                break;
        }
        const char* paramName = paramNames && paramNames[i] ? paramNames[i] : p.Name();
        std::fprintf(file.get(), ",\n    %s, %s", paramName, value);
    }
    std::fprintf(file.get(), ");\n");
    return std::ferror(file.get()) == 0;
}

bool IPlugBase::WritePresetBlobFile(const char* path) const {
    if (!path || currentPreset < 0 || currentPreset >= NPresets()) return false;
    File file(std::fopen(path, "w"));
    if (!file) return false;
    const IStateChunk& state = presets[currentPreset].state;
    // Encoded in a buffer of its own size, so states of any length are written whole.
    const std::string encoded = kestrom::Base64Encode(state.Bytes(), state.ByteCount());
    std::fprintf(file.get(), "MakePresetFromBlob(\"name\", \"");
    std::fprintf(file.get(), "%s\", %i);\n", encoded.c_str(), state.ByteCount());
    return std::ferror(file.get()) == 0;
}
