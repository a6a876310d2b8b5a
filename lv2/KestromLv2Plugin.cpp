#include "lv2/KestromLv2Plugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include "compressor/Kestrom.h"
#include "core/IStateChunk.h"
#include "graphics/IGraphics.h"
#include "lv2/KestromLv2Layout.h"

using namespace kestrom;

namespace {

// Instances are made and destroyed one at a time, whatever threads the host
// uses: the plug-ins share the process-wide bitmap cache their editors ask
// for pictures.
std::mutex& CreationLock() {
    static std::mutex lock;
    return lock;
}

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
    if (features == nullptr) return nullptr;
    for (const LV2_Feature* const* f = features; *f != nullptr; ++f)
        if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

// The host's largest block from its options, or 0 when it gives none (or
// none that is a positive integer).
long long AnnouncedMaxBlock(const LV2_Options_Option* options, const LV2_URID_Map* map) {
    if (options == nullptr || map == nullptr || map->map == nullptr) return 0;
    const LV2_URID key = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
    const LV2_URID longType = map->map(map->handle, LV2_ATOM__Long);
    for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
        if (o->key != key || o->context != LV2_OPTIONS_INSTANCE || o->value == nullptr) continue;
        if (o->type == intType && o->size == sizeof(int32_t)) {
            int32_t v = 0;
            std::memcpy(&v, o->value, sizeof v);
            return v;
        }
        if (o->type == longType && o->size == sizeof(int64_t)) {
            int64_t v = 0;
            std::memcpy(&v, o->value, sizeof v);
            return v;
        }
    }
    return 0;
}

}  // namespace

std::unique_ptr<KestromLv2Plugin> KestromLv2Plugin::Create(int channels, double sampleRate,
                                                           const LV2_Feature* const* features) {
    if (channels != 1 && channels != 2) return nullptr;
    if (!std::isfinite(sampleRate) || !(sampleRate > 0.0)) return nullptr;
    const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
    if (map != nullptr && map->map == nullptr) map = nullptr;
    const auto* options = static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));

    const long long announced = AnnouncedMaxBlock(options, map);
    const int maxBlock = announced >= 1 ? static_cast<int>(std::min<long long>(announced, kMaxBlockLimit))
                                        : kDefaultMaxBlock;
    try {
        std::unique_ptr<KestromLv2Plugin> instance(new KestromLv2Plugin(channels, maxBlock, sampleRate));
        instance->MapUris(map);
        // As the host bridge sets up a new instance: buffers for the largest
        // block, the variant's channels, the rate, then the reset hook.
        Kestrom& plug = *instance->plug;
        plug.ChangeBlockSize(maxBlock);
        plug.ConnectIO(channels, channels);
        plug.ChangeSampleRate(sampleRate);
        plug.HandleReset();
        instance->RememberParameterValues();
        return instance;
    } catch (...) {
        return nullptr;
    }
}

KestromLv2Plugin::KestromLv2Plugin(int channelCount, int maxBlockFrames, double sampleRate)
    : channels(channelCount),
      maxBlock(maxBlockFrames),
      fadeFrames(static_cast<int>(std::clamp(std::lround(sampleRate * kBypassFadeSeconds), 1L, 1L << 24))),
      dry(static_cast<std::size_t>(channelCount) * static_cast<std::size_t>(maxBlockFrames)) {
    std::lock_guard<std::mutex> guard(CreationLock());
    plug = std::make_unique<Kestrom>();
    editor = dynamic_cast<const IGraphics*>(plug->Editor());
}

KestromLv2Plugin::~KestromLv2Plugin() {
    std::lock_guard<std::mutex> guard(CreationLock());
    plug.reset();
}

void KestromLv2Plugin::MapUris(const LV2_URID_Map* map) {
    if (map == nullptr) return;
    stateKey = map->map(map->handle, kestrom::lv2::kStateUri);
    chunkType = map->map(map->handle, LV2_ATOM__Chunk);
}

void KestromLv2Plugin::ConnectPort(uint32_t port, void* data) {
    using namespace kestrom::lv2;
    if (port < static_cast<uint32_t>(kNumParams)) {
        controls[port].store(static_cast<const float*>(data), std::memory_order_release);
    } else if (port == kGainReductionPort) {
        gainReduction = static_cast<float*>(data);
    } else if (port == kLatencyPort) {
        latency = static_cast<float*>(data);
    } else if (port >= AudioInputPort(0) && port < AudioInputPort(channels)) {
        inputs[port - AudioInputPort(0)] = static_cast<const float*>(data);
    } else if (port >= AudioOutputPort(channels, 0) && port < AudioOutputPort(channels, channels)) {
        outputs[port - AudioOutputPort(channels, 0)] = static_cast<float*>(data);
    } else if (port == EnabledPort(channels)) {
        enabled = static_cast<const float*>(data);
    }
}

void KestromLv2Plugin::Activate() {
    plug->HandleReset();
    startOnPort = true;
}

void KestromLv2Plugin::RememberParameterValues() {
    for (int i = 0; i < kNumParams; ++i) lastPortValue[i] = static_cast<float>(plug->Param(i)->Value());
}

// What each connected port holds now counts as seen (an unconnected one as
// holding its parameter's value): only a later change of a port is applied.
void KestromLv2Plugin::RememberPortValues() {
    for (int i = 0; i < kNumParams; ++i) {
        const float* port = controls[i].load(std::memory_order_acquire);
        lastPortValue[i] = port != nullptr ? *port : static_cast<float>(plug->Param(i)->Value());
    }
}

// A host control change, for each port whose value moved since it was last
// looked at. A NaN is no value: the parameter keeps its own. A switch is a
// toggle port: above 0 is on (1), anything else off (0), so a switch holds 0
// or 1 as it does when set from the editor or a host control. A value the
// parameter already holds to single precision (a restored value no float
// carries, sent back by the host as its float form) leaves it exactly as it
// is. Called by Run (audio thread) and Save (the host's other side).
void KestromLv2Plugin::ApplyControlPorts() {
    IPlugLockGuard guard(plug->Lock());
    for (int i = 0; i < kNumParams; ++i) {
        const float* port = controls[i].load(std::memory_order_acquire);
        if (port == nullptr) continue;
        const float value = *port;
        if (std::isnan(value) || value == lastPortValue[i]) continue;
        lastPortValue[i] = value;
        double parameterValue = static_cast<double>(value);
        if (kParamTable[i].kind == IPlugParam::Switch) parameterValue = value > 0.0f ? 1.0 : 0.0;
        if (static_cast<float>(plug->Param(i)->Value()) == static_cast<float>(parameterValue)) continue;
        plug->ApplyHostControlChange(IPlugRTAS::ControlIndexOfParam(i), parameterValue);
    }
}

void KestromLv2Plugin::SilenceOutputs(uint32_t frames) {
    for (int c = 0; c < channels; ++c)
        if (outputs[c] != nullptr) std::fill(outputs[c], outputs[c] + frames, 0.0f);
}

// One piece of at most maxBlock frames: processed, passed through by the
// master bypass, or, while the fade moves, both mixed. The dry input is kept
// first, since the host may give the same buffer for input and output.
void KestromLv2Plugin::RunPiece(const float* const* in, float* const* out, int frames) {
    const int target = bypassed ? fadeFrames : 0;
    if (fadePosition == target) {
        if (bypassed)
            plug->BypassHostBlock(in, out, frames);
        else
            plug->ProcessHostBlock(in, out, frames);
        return;
    }
    float* kept[2] = {dry.data(), channels > 1 ? dry.data() + maxBlock : nullptr};
    for (int c = 0; c < channels; ++c) std::copy(in[c], in[c] + frames, kept[c]);
    plug->ProcessHostBlock(in, out, frames);
    const int step = bypassed ? 1 : -1;
    for (int i = 0; i < frames; ++i) {
        if (fadePosition != target) fadePosition += step;
        if (fadePosition == 0) continue;  // processed
        const double dryShare = static_cast<double>(fadePosition) / fadeFrames;
        for (int c = 0; c < channels; ++c)
            out[c][i] = fadePosition == fadeFrames
                            ? kept[c][i]
                            : static_cast<float>(out[c][i] * (1.0 - dryShare) + kept[c][i] * dryShare);
    }
}

void KestromLv2Plugin::Run(uint32_t frames) {
    ApplyControlPorts();
    if (enabled != nullptr && !std::isnan(*enabled)) bypassed = !(*enabled > 0.0f);
    if (startOnPort) {
        fadePosition = bypassed ? fadeFrames : 0;
        startOnPort = false;
    }

    bool audioConnected = true;
    for (int c = 0; c < channels; ++c) audioConnected = audioConnected && inputs[c] && outputs[c];
    if (!audioConnected) {
        SilenceOutputs(frames);
    } else {
        // Blocks longer than the largest announced one go through in pieces of
        // that size, as the processing entry itself would cut them.
        for (uint32_t offset = 0; offset < frames;) {
            const uint32_t n = std::min<uint32_t>(frames - offset, static_cast<uint32_t>(maxBlock));
            const float* in[2] = {inputs[0] + offset, channels > 1 ? inputs[1] + offset : nullptr};
            float* out[2] = {outputs[0] + offset, channels > 1 ? outputs[1] + offset : nullptr};
            RunPiece(in, out, static_cast<int>(n));
            offset += n;
        }
    }

    // The needle's value as the last block handed it over (0 to 1, full
    // scale kMeterFullScaleDb); with Power off or bypassed it stays where it was.
    if (gainReduction != nullptr && editor != nullptr)
        *gainReduction = static_cast<float>(editor->PeekDisplayValue(kMeterIndex).value * kMeterFullScaleDb);
    if (latency != nullptr) *latency = static_cast<float>(plug->Latency());
}

LV2_State_Status KestromLv2Plugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (stateKey == 0) return LV2_STATE_ERR_NO_FEATURE;
    if (store == nullptr) return LV2_STATE_ERR_UNKNOWN;
    try {
        IStateChunk chunk;
        {
            // The ports the host has set since the last run() are part of it.
            IPlugLockGuard guard(plug->Lock());
            ApplyControlPorts();
            if (!plug->SaveState(chunk)) return LV2_STATE_ERR_UNKNOWN;
        }
        return store(handle, stateKey, chunk.Bytes(), static_cast<size_t>(chunk.ByteCount()), chunkType,
                     LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status KestromLv2Plugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (stateKey == 0) return LV2_STATE_ERR_NO_FEATURE;
    if (retrieve == nullptr) return LV2_STATE_ERR_UNKNOWN;
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* data = retrieve(handle, stateKey, &size, &type, &flags);
    if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != chunkType) return LV2_STATE_ERR_BAD_TYPE;
    const size_t needed = static_cast<size_t>(kNumParams) * sizeof(double);
    if (size < needed || size % sizeof(double) != 0) return LV2_STATE_ERR_UNKNOWN;
    try {
        IStateChunk chunk;
        chunk.Append(data, static_cast<int>(needed));
        IPlugLockGuard guard(plug->Lock());
        if (plug->LoadState(chunk, 0) < 0) return LV2_STATE_ERR_UNKNOWN;
        RememberPortValues();
        plug->RefreshEditorControls();
        return LV2_STATE_SUCCESS;
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}
