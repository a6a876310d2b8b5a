#include "core/IPlugBase.h"

#include <algorithm>
#include <cstring>

#include "core/FixedText.h"
#include "core/Trace.h"

namespace {

// Conversions between the host's single-precision buffers and the plug-in's
// double ones, run on every block. Widening is exact; narrowing rounds each
// double to the nearest float under the current rounding mode, exactly as a
// plain static_cast does, whether done one value or several at a time.
//
// The inner loops have a fixed length of kGroup samples: g++ at -O2 uses its
// cheapest vectoriser cost model, which takes no loop that would need a
// remainder step, so a loop over an unknown count stays scalar while a
// fixed-length one becomes a few packed conversions (cvtps2pd and cvtpd2ps
// on x86). The last frames % kGroup samples go one by one. Float and double
// buffers cannot overlap; __restrict states it for the compiler.
constexpr int kGroup = 8;

void WidenToDouble(const float* __restrict src, double* __restrict dst, int frames) {
    int n = 0;
    for (; n + kGroup <= frames; n += kGroup)
        for (int j = 0; j < kGroup; ++j) dst[n + j] = src[n + j];
    for (; n < frames; ++n) dst[n] = src[n];
}

void NarrowToFloat(const double* __restrict src, float* __restrict dst, int frames) {
    int n = 0;
    for (; n + kGroup <= frames; n += kGroup)
        for (int j = 0; j < kGroup; ++j) dst[n + j] = static_cast<float>(src[n + j]);
    for (; n < frames; ++n) dst[n] = static_cast<float>(src[n]);
}

}  // namespace

IPlugBase::IPlugBase(int paramCount, const char* channelConfigText, int presetCount,
                     const char* newTitle, const char* newProductTitle, const char* newVendorName,
                     int32_t newEffectVersion, int32_t newEffectCode, int32_t newVendorCode,
                     int newLatency, bool newHandlesMidi, bool newSavesStateAsChunk,
                     bool newIsInstrument, int newApiKind)
    : effectCode(newEffectCode),
      vendorCode(newVendorCode),
      effectVersion(newEffectVersion),
      apiKind(newApiKind),
      savesStateAsChunk(newSavesStateAsChunk),
      isInstrument(newIsInstrument),
      handlesMidi(newHandlesMidi),
      latency(newLatency > 0 ? newLatency : 0) {
    if (kestrom::TraceEnabled()) {
        char stamp[64];
        kestrom::FormatTraceTimeStamp(stamp, sizeof stamp);
        KESTROM_TRACE("IPlugBase::IPlugBase", "%s:%s", newTitle ? newTitle : "", stamp);
    }

    params.resize(static_cast<std::size_t>(std::max(paramCount, 0)));
    presets.resize(static_cast<std::size_t>(std::max(presetCount, 0)));

    kestrom::CopyText(title, newTitle);
    kestrom::CopyText(productTitle, newProductTitle);
    kestrom::CopyText(vendorName, newVendorName);

    channelConfigs = IChannelConfig::Parse(channelConfigText);
    int maxIn = 0, maxOut = 0;
    for (const IChannelConfig& c : channelConfigs) {
        maxIn = std::max(maxIn, c.nIn);
        maxOut = std::max(maxOut, c.nOut);
    }
    inputPointers.assign(static_cast<std::size_t>(maxIn), nullptr);
    outputPointers.assign(static_cast<std::size_t>(maxOut), nullptr);
    inputChannels.resize(static_cast<std::size_t>(maxIn));
    outputChannels.resize(static_cast<std::size_t>(maxOut));
    for (int i = 0; i < maxIn; ++i) inputChannels[i].slot = &inputPointers[i];
    for (int i = 0; i < maxOut; ++i) outputChannels[i].slot = &outputPointers[i];
}

IPlugBase::~IPlugBase() {
    editor.reset();
}

void IPlugBase::HandleReset() { IPlugLockGuard guard(lock); }

void IPlugBase::HandleParamChange(int) { IPlugLockGuard guard(lock); }

void IPlugBase::PassThrough(double** inputs, double** outputs, int frames) {
    if (frames <= 0) return;
    const int nIn = NInChannels(), nOut = NOutChannels();
    int copied = 0;
    for (; copied < nOut && copied < nIn; ++copied)
        if (outputs[copied] != inputs[copied])
            std::memmove(outputs[copied], inputs[copied], sizeof(double) * frames);
    for (int i = copied; i < nOut; ++i) std::fill(outputs[i], outputs[i] + frames, 0.0);
}

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int frames) {
    PassThrough(inputs, outputs, frames);
}

void IPlugBase::ProcessBlockSingle(float** inputs, float** outputs, int frames) {
    if (frames <= 0) return;
    const int nIn = NInChannels(), nOut = NOutChannels();
    int copied = 0;
    for (; copied < nOut && copied < nIn; ++copied)
        if (outputs[copied] != inputs[copied])
            std::memmove(outputs[copied], inputs[copied], sizeof(float) * frames);
    for (int i = copied; i < nOut; ++i) std::fill(outputs[i], outputs[i] + frames, 0.0f);
}

void IPlugBase::ReservedHook8(int) { IPlugLockGuard guard(lock); }

void IPlugBase::HandleMidiEvent(const IMidiEvent& event) { SendMidiEvent(event); }

void IPlugBase::ReservedHook10(void*) {}

bool IPlugBase::ReservedQuery11(int, char* text) {
    if (text) text[0] = '\0';
    return false;
}

bool IPlugBase::SaveState(IStateChunk& chunk) { return SerializeParams(chunk); }

int IPlugBase::LoadState(const IStateChunk& chunk, int position) {
    return UnserializeParams(chunk, position);
}

void IPlugBase::HostParamMenu(int, int, int) {}

void IPlugBase::SetParameterFromGUI(int index, double normalised) {
    KESTROM_TRACE("IPlugBase::SetParameterFromGUI", "%d:%f", index, normalised);
    IPlugLockGuard guard(lock);
    IPlugParam* param = Param(index);
    if (!param) return;
    param->SetFromNormal(normalised);
    TellHostParamValue(index, normalised);
    HandleParamChange(index);
}

int IPlugBase::HostKind() { return hostKind; }

int IPlugBase::ApiKind() { return apiKind; }

void IPlugBase::AttachEditor(IPlugEditor* newEditor) {
    if (!newEditor) return;
    IPlugLockGuard guard(lock);
    for (int i = 0; i < NParams(); ++i)
        newEditor->SetParameterFromPlugin(i, params[i].CurrentNormal(), true);
    newEditor->CreateDrawBuffers();
    if (editor.get() != newEditor) editor.reset(newEditor);
}

void IPlugBase::ChangeLatency(int frames) {
    latency = frames > 0 ? frames : 0;
    if (latencyDelay) latencyDelay->Configure(latency);
}

bool IPlugBase::ReservedQuery36(void*) { return false; }

void IPlugBase::RefreshEditorControls() {
    if (!editor) return;
    for (int i = 0; i < NParams(); ++i) editor->SetParameterFromPlugin(i, params[i].Value(), false);
}

void IPlugBase::ChangeBlockSize(int frames) {
    if (frames < 0) frames = 0;
    if (frames == blockSize) return;
    const std::size_t n = static_cast<std::size_t>(frames);
    // Slots point into the scratch buffers, which move when resized.
    for (InputChannel& c : inputChannels) {
        c.scratch.assign(n, 0.0);
        *c.slot = c.scratch.data();
    }
    for (OutputChannel& c : outputChannels) {
        c.scratch.assign(n, 0.0);
        *c.slot = c.scratch.data();
    }
    blockSize = frames;
}

IPlugParam* IPlugBase::Param(int index) {
    return index >= 0 && index < NParams() ? &params[index] : nullptr;
}

const IPlugParam* IPlugBase::Param(int index) const {
    return index >= 0 && index < NParams() ? &params[index] : nullptr;
}

bool IPlugBase::LegalIO(int inputs, int outputs) const {
    bool legal = false;
    for (const IChannelConfig& c : channelConfigs) {
        if ((inputs < 0 || inputs == c.nIn) && (outputs < 0 || outputs == c.nOut)) {
            legal = true;
            break;
        }
    }
    KESTROM_TRACE("IPlugBase::LegalIO", "%d:%d:%s", inputs, outputs, legal ? "legal" : "illegal");
    return legal;
}

const IChannelConfig* IPlugBase::ChannelConfig(int index) const {
    return index >= 0 && index < NChannelConfigs() ? &channelConfigs[index] : nullptr;
}

bool IPlugBase::IsInputConnected(int index) const {
    return index >= 0 && index < NInChannels() && inputChannels[index].connected;
}

bool IPlugBase::IsOutputConnected(int index) const {
    return index >= 0 && index < NOutChannels() && outputChannels[index].connected;
}

void IPlugBase::ConnectInputs(int start, int count, bool connected) {
    for (int i = std::max(start, 0); i < start + count && i < NInChannels(); ++i) {
        InputChannel& c = inputChannels[i];
        c.connected = connected;
        if (!connected) {
            *c.slot = c.scratch.data();
            c.hostSource = nullptr;
        }
    }
}

void IPlugBase::ConnectOutputs(int start, int count, bool connected) {
    for (int i = std::max(start, 0); i < start + count && i < NOutChannels(); ++i) {
        OutputChannel& c = outputChannels[i];
        c.connected = connected;
        if (!connected) {
            *c.slot = c.scratch.data();
            c.hostTarget = nullptr;
        }
    }
}

void IPlugBase::AttachInputs(int start, int count, const float* const* hostBuffers, int frames) {
    int next = 0;
    const int first = std::max(start, 0);
    int end = first;
    for (int i = first; i < start + count && i < NInChannels(); ++i) {
        end = i + 1;
        InputChannel& c = inputChannels[i];
        if (!c.connected) continue;
        c.hostSource = hostBuffers ? hostBuffers[next] : nullptr;
        ++next;
        *c.slot = c.scratch.data();
    }
    // Converted here for a block that fits the scratch buffers; a longer block
    // is converted piece by piece when it runs. Only the channels attached
    // here: a connected channel outside the range keeps its last samples.
    if (frames <= blockSize) ConvertInputs(first, end, 0, std::max(frames, 0));
}

void IPlugBase::AttachOutputs(int start, int count, float* const* hostBuffers) {
    int next = 0;
    for (int i = std::max(start, 0); i < start + count && i < NOutChannels(); ++i) {
        OutputChannel& c = outputChannels[i];
        if (!c.connected) continue;
        *c.slot = c.scratch.data();
        c.hostTarget = hostBuffers ? hostBuffers[next] : nullptr;
        ++next;
    }
}

void IPlugBase::ConvertInputs(int first, int end, int offset, int frames) {
    for (int i = first; i < end; ++i) {
        InputChannel& c = inputChannels[i];
        if (!c.connected || !c.hostSource) continue;
        WidenToDouble(c.hostSource + offset, c.scratch.data(), frames);
    }
}

void IPlugBase::ConvertOutputs(int offset, int frames) {
    for (OutputChannel& c : outputChannels) {
        if (!c.connected || !c.hostTarget) continue;
        NarrowToFloat(*c.slot, c.hostTarget + offset, frames);
    }
}

template <typename Process>
void IPlugBase::RunPieces(int frames, Process process) {
    if (frames < 0) frames = 0;
    if (frames <= blockSize) {
        process(frames);
        ConvertOutputs(0, frames);
    } else if (blockSize <= 0) {
        // No buffers yet: the host never announced a block size. Answer silence.
        for (OutputChannel& c : outputChannels)
            if (c.connected && c.hostTarget) std::fill(c.hostTarget, c.hostTarget + frames, 0.0f);
    } else {
        // A block longer than announced: run it in pieces that fit the buffers.
        for (int offset = 0; offset < frames; offset += blockSize) {
            const int n = std::min(blockSize, frames - offset);
            ConvertInputs(0, NInChannels(), offset, n);
            process(n);
            ConvertOutputs(offset, n);
        }
    }
    // The host's buffers belong to this block only; a channel the next block
    // does not attach must not read from or write into them again.
    for (InputChannel& c : inputChannels) c.hostSource = nullptr;
    for (OutputChannel& c : outputChannels) c.hostTarget = nullptr;
}

void IPlugBase::RunBlock(int frames) {
    RunPieces(frames, [this](int n) { ProcessBlock(inputPointers.data(), outputPointers.data(), n); });
}

void IPlugBase::RunBypassed(int frames) {
    RunPieces(frames, [this](int n) {
        if (latency != 0 && latencyDelay)
            latencyDelay->Process(inputPointers.data(), outputPointers.data(), n);
        else
            PassThrough(inputPointers.data(), outputPointers.data(), n);
    });
}

void IPlugBase::ClearScratch() {
    for (InputChannel& c : inputChannels) std::fill(c.scratch.begin(), c.scratch.end(), 0.0);
    for (OutputChannel& c : outputChannels) std::fill(c.scratch.begin(), c.scratch.end(), 0.0);
}

void IPlugBase::CreateLatencyDelay() {
    latencyDelay = std::make_unique<LatencyDelay>(NInChannels(), NOutChannels());
    latencyDelay->Configure(latency);
}
