#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/HostTimeRecord.h"
#include "core/IChannelConfig.h"
#include "core/IMidiEvent.h"
#include "core/IPlugEditor.h"
#include "core/IPlugLock.h"
#include "core/IPlugParam.h"
#include "core/IPresetSlot.h"
#include "core/IStateChunk.h"
#include "core/LatencyDelay.h"

// Base class of every effect. Owns the parameters, presets, channel
// configurations and per-channel buffers, the attached editor, the timing
// values the host gives, and the plug-in's one recursive lock. A host layer
// derives from it and supplies the host slots; the effect derives from that.
//
// Threads: the host's audio thread runs the processing entry (AttachInputs,
// AttachOutputs, RunBlock/RunBypassed) holding the lock; the host's
// user-interface thread sets parameters, saves and restores state and runs the
// editor. Every operation that touches parameters from outside the audio
// thread takes the lock.
class IPlugBase {
public:
    static constexpr int kNameSize = 128;

    struct InputChannel {
        bool connected = false;
        double** slot = nullptr;         // entry in inputPointers
        std::vector<double> scratch;     // blockSize frames
        const float* hostSource = nullptr;  // this block's host buffer, until the block has run
    };
    struct OutputChannel {
        bool connected = false;
        double** slot = nullptr;         // entry in outputPointers
        float* hostTarget = nullptr;     // this block's host buffer
        std::vector<double> scratch;
    };

    IPlugBase(int paramCount, const char* channelConfigText, int presetCount, const char* title,
              const char* productTitle, const char* vendorName, int32_t effectVersion,
              int32_t effectCode, int32_t vendorCode, int latency, bool handlesMidi,
              bool savesStateAsChunk, bool isInstrument, int apiKind);

    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // ---- Virtual operations, in slot order --------------------------------

    // Slot 0. Deletes the editor first, then everything else the plug-in owns.
    virtual ~IPlugBase();
    // Slot 1. Called by the host layer once it has set the channel connections
    // and the sample rate, on the user-interface thread; takes the lock.
    virtual void HandleReset();
    // Slot 2. Called after a parameter changed (editor, host control, restore),
    // with the lock held; takes it (again).
    virtual void HandleParamChange(int index);
    // Slot 3. The processing: called by RunBlock on the host's audio thread
    // with the lock held. Default: copies each input to its output, zeroes
    // outputs without an input.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    // Slot 4. Single-precision form of the pass-through.
    virtual void ProcessBlockSingle(float** inputs, float** outputs, int frames);
    // Slot 5. Called by the host layer after the editor window has opened (UI thread).
    virtual void OnEditorOpened() {}
    // Slots 6 and 7. Unused hooks, empty.
    virtual void ReservedHook6() {}
    virtual void ReservedHook7() {}
    // Slot 8. Unused hook; takes and releases the lock.
    virtual void ReservedHook8(int value);
    // Slot 9. Called by the host layer for an incoming MIDI event; forwards to
    // SendMidiEvent (slot 35).
    virtual void HandleMidiEvent(const IMidiEvent& event);
    // Slot 10. Unused hook, empty.
    virtual void ReservedHook10(void* data);
    // Slot 11. Unused query: writes the empty text, returns false.
    virtual bool ReservedQuery11(int value, char* text);
    // Slot 12. Appends the state to chunk (UI thread; takes the lock).
    virtual bool SaveState(IStateChunk& chunk);
    // Slot 13. Restores the state from chunk at position; returns the next
    // position or -1 (UI thread; takes the lock).
    virtual int LoadState(const IStateChunk& chunk, int position);
    // Slot 14. Whether the stored state at data (byteCount bytes, position in
    // 8-byte values) equals the current values within tolerance. A state too
    // short for the parameters does not match. Takes no lock.
    virtual bool StateMatches(const void* data, int byteCount, int position);
    // Slot 15. Called by the host layer after the editor window was closed
    // for a resize (UI thread). Empty.
    virtual void OnEditorClosedForResize() {}
    // Slot 16. Unused query, false.
    virtual bool ReservedQuery16() { return false; }
    // Slot 17. Called by the host layer at the end of attaching its process
    // (UI thread). Empty.
    virtual void OnHostAttached() {}
    // Slot 18. Called by the editor on a right click on a parameter's control
    // when the host interface is kind 1. Nothing by default.
    virtual void HostParamMenu(int paramIndex, int x, int y);
    // Slot 19. Called by the editor (UI thread) when the user moves a control:
    // under the lock, sets the parameter from the normalised position, tells
    // the host, and calls HandleParamChange. An index outside the parameters is ignored.
    virtual void SetParameterFromGUI(int index, double normalised);
    // Slots 20-23. Supplied by the host layer: gesture start, value, gesture
    // end for a parameter, and all parameters at once. Called with the lock held.
    virtual void BeginParamGesture(int index) = 0;
    virtual void TellHostParamValue(int index, double normalised) = 0;
    virtual void EndParamGesture(int index) = 0;
    virtual void TellHostAllParams() = 0;
    // Slot 24. Unused query, false.
    virtual bool ReservedQuery24() { return false; }
    // Slots 25-28. Supplied by the host layer: transport queries.
    virtual int HostSamplePosition() = 0;
    virtual double HostTempo() = 0;
    virtual void HostTimeSignature(int* numerator, int* denominator) = 0;
    virtual void HostTransport(HostTimeRecord* info) = 0;
    // Slot 29. The host's kind (host layers identify the host first).
    virtual int HostKind();
    // Slot 30. The host interface kind this plug-in was built for.
    virtual int ApiKind();
    // Slot 31. Supplied by the host layer: the editor changed its size.
    virtual void EditorResized(int width, int height) = 0;
    // Slot 32. Unused hook, empty.
    virtual void ReservedHook32() {}
    // Slot 33. Called by the effect's constructor: pushes every parameter to
    // the editor (normalised), creates its drawing buffers, then keeps and
    // owns it. Takes the lock. Null is ignored.
    virtual void AttachEditor(IPlugEditor* newEditor);
    // Slot 34. Stores the latency and resizes the bypass delay (UI thread).
    virtual void ChangeLatency(int frames);
    // Slot 35. Supplied by the host layer: sends a MIDI event to the host.
    virtual bool SendMidiEvent(const IMidiEvent& event) = 0;
    // Slot 36. Unused query, false.
    virtual bool ReservedQuery36(void* data);
    // Slot 37. Pushes every parameter's real value to the editor (after a
    // preset restore), lock held by the caller when needed.
    virtual void RefreshEditorControls();
    // Slot 38. Called when the plug-in's state changed. Empty here; host
    // layers tell the host.
    virtual void OnStateChanged() {}
    // Slot 39. Called after a preset was restored. Empty.
    virtual void OnPresetRestored() {}
    // Slot 40. Resizes and zeroes the scratch buffers to the largest block
    // (UI thread, before audio runs or with the lock held).
    virtual void ChangeBlockSize(int frames);

    // ---- Parameters, channels and timing ------------------------------------

    int NParams() const { return static_cast<int>(params.size()); }
    IPlugParam* Param(int index);
    const IPlugParam* Param(int index) const;
    bool LegalIO(int inputs, int outputs) const;
    int NChannelConfigs() const { return static_cast<int>(channelConfigs.size()); }
    const IChannelConfig* ChannelConfig(int index) const;
    int NInChannels() const { return static_cast<int>(inputChannels.size()); }
    int NOutChannels() const { return static_cast<int>(outputChannels.size()); }
    bool IsInputConnected(int index) const;
    bool IsOutputConnected(int index) const;
    void ConnectInputs(int start, int count, bool connected);
    void ConnectOutputs(int start, int count, bool connected);

    // The processing entry, in this order per block, with the lock held.
    // A block longer than the scratch buffers (the announced largest block)
    // is processed in pieces of at most that size.
    void AttachInputs(int start, int count, const float* const* hostBuffers, int frames);
    void AttachOutputs(int start, int count, float* const* hostBuffers);
    void RunBlock(int frames);
    void RunBypassed(int frames);
    void ClearScratch();

    void ChangeSampleRate(double rate) { sampleRate = rate; }
    double SampleRate() const { return sampleRate; }
    int BlockSize() const { return blockSize; }
    int Latency() const { return latency; }
    IPlugLock& Lock() { return lock; }
    IPlugEditor* Editor() { return editor.get(); }

    const char* Title() const { return title; }
    const char* ProductTitle() const { return productTitle; }
    const char* VendorName() const { return vendorName; }
    int32_t EffectCode() const { return effectCode; }
    int32_t VendorCode() const { return vendorCode; }
    bool HandlesMidi() const { return handlesMidi; }
    bool SavesStateAsChunk() const { return savesStateAsChunk; }
    bool IsInstrument() const { return isInstrument; }

    // ---- Host identification -----------------------------------------------

    void SetHost(const char* name, int32_t version);
    int HostVersionNumber(bool asDecimal);
    int EffectVersionNumber(bool asDecimal) const;
    void HostVersionLabel(char* out, int outSize);
    void EffectVersionLabel(char* out, int outSize) const;
    const char* ApiName();
    static const char* ArchitectureName();

    // ---- State and presets ---------------------------------------------------

    bool SerializeParams(IStateChunk& chunk);
    int UnserializeParams(const IStateChunk& chunk, int position);
    bool SerializePresets(IStateChunk& chunk);
    int UnserializePresets(const IStateChunk& chunk, int position);

    int NPresets() const { return static_cast<int>(presets.size()); }
    IPresetSlot* Preset(int index);
    int CurrentPresetIndex() const { return currentPreset; }
    const char* SlotName(int index) const;
    bool LoadPresetSlot(int index);
    bool LoadPresetSlotNamed(const char* name);
    void CaptureDefaultPresets(const char* name, int count);
    void ModifyCurrentPreset(const char* name = nullptr);
    void DiscardUnsetPresets();

    // Preset creation from code. Each fills the first uninitialised slot and
    // returns it, or returns null when every slot holds a preset.
    // One value per parameter in index order; parameters beyond the given
    // values keep their current values.
    IPresetSlot* MakePresetFromValueArray(const char* name, const double* values, int count);
    template <typename... Values>
    IPresetSlot* MakePresetFromValues(const char* name, Values... values) {
        const double array[] = {static_cast<double>(values)..., 0.0};
        return MakePresetFromValueArray(name, array, static_cast<int>(sizeof...(values)));
    }
    // (parameter index, value) pairs; parameters not named (and indexes
    // outside the parameters) keep their current values.
    IPresetSlot* MakePresetFromNamedParams(const char* name,
                                           const std::vector<std::pair<int, double>>& pairs);
    IPresetSlot* MakePresetFromBytes(const char* name, const IStateChunk& chunk);
    // Decodes base64Text into exactly byteCount bytes (zero-padded or cut).
    IPresetSlot* MakePresetFromBlob(const char* name, const char* base64Text, int byteCount);

    // Write source text that recreates the current values or the current
    // preset; false when the file cannot be written.
    bool WritePresetSourceFile(const char* path, const char* const* paramNames) const;
    bool WritePresetBlobFile(const char* path) const;

protected:
    // For host layers: the bypass delay, used by RunBypassed when the latency is not 0.
    void CreateLatencyDelay();

private:
    void PassThrough(double** inputs, double** outputs, int frames);
    // Input channels first..end-1 that were attached this block: frames host
    // samples from offset on into their scratch buffers.
    void ConvertInputs(int first, int end, int offset, int frames);
    void ConvertOutputs(int offset, int frames);
    template <typename Process>
    void RunPieces(int frames, Process process);
    IPresetSlot* FirstUnsetSlot();
    std::string NextUserPresetName() const;

    std::vector<IChannelConfig> channelConfigs;
    IPlugLock lock;
    char title[kNameSize] = {};
    char productTitle[kNameSize] = {};
    char vendorName[kNameSize] = {};
    int32_t effectCode = 0;
    int32_t vendorCode = 0;
    int32_t effectVersion = 0;
    int32_t apiKind = 0;
    int32_t hostKind = -1;
    int32_t hostVersion = 0;
    bool savesStateAsChunk = false;
    bool isInstrument = false;
    bool handlesMidi = false;
    int32_t currentPreset = 0;
    double sampleRate = 44100.0;
    int32_t blockSize = 0;
    int32_t latency = 0;
    std::unique_ptr<LatencyDelay> latencyDelay;
    std::unique_ptr<IPlugEditor> editor;
    std::vector<IPlugParam> params;
    std::vector<IPresetSlot> presets;
    std::vector<double*> inputPointers;
    std::vector<double*> outputPointers;
    std::vector<InputChannel> inputChannels;
    std::vector<OutputChannel> outputChannels;
};
