#pragma once

#include "core/IPlugBase.h"

// The plug-in side of the real-time host bridge: hands the effect's
// definition to the plug-in base with the host interface kind of this host,
// connects every channel, sizes the buffers for the host's largest block, and
// supplies the host slots of the base. Until a host process is attached the
// host slots are inert (gestures and values go nowhere, transport reads 0),
// which is also how offline tools drive the plug-in.
class IPlugRTAS : public IPlugBase {
public:
    static constexpr int kDefaultBlockSize = 1024;

    IPlugRTAS(int paramCount, const char* channelConfigText, int presetCount, const char* title,
              const char* productTitle, const char* vendorName, int32_t effectVersion,
              int32_t effectCode, int32_t vendorCode, int latency, bool handlesMidi,
              bool savesStateAsChunk, bool isInstrument, int sideChainCount = 0);

    // Host slots. Called with the plug-in lock held, from the thread of the
    // operation that caused them (editor or host user-interface thread).
    void BeginParamGesture(int index) override;
    void TellHostParamValue(int index, double normalised) override;
    void EndParamGesture(int index) override;
    void TellHostAllParams() override;
    // Transport queries; called by the effect on the audio thread. Read 0
    // (and leave the record untouched) while no host transport is present.
    int HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int* numerator, int* denominator) override;
    void HostTransport(HostTimeRecord* info) override;
    // Identifies the host on first use (this bridge is only ever loaded by
    // one host application), then returns its kind.
    int HostKind() override;
    // Called by the editor (UI thread) when it changes size.
    void EditorResized(int width, int height) override;
    // This host takes no MIDI from the plug-in: always false.
    bool SendMidiEvent(const IMidiEvent& event) override;

    // Connects inputs 0..inputs-1 (one more with a connected side chain) and
    // outputs 0..outputs-1, disconnecting the rest. Host UI thread.
    void ConnectIO(int inputs, int outputs);
    void ChangeSideChainConnection(bool on);
    bool HasSideChain() const { return hasSideChain; }

    // One host block through the processing entry, under the plug-in lock.
    // Called by the host's audio thread.
    void ProcessHostBlock(const float* const* hostInputs, float* const* hostOutputs, int frames);
    void BypassHostBlock(const float* const* hostInputs, float* const* hostOutputs, int frames);

protected:
    // Version the host reports; 0 until a host process is attached.
    virtual int32_t HostPackedVersion() { return 0; }

private:
    bool hasSideChain = false;
    bool sideChainConnected = false;
};
