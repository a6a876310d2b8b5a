#pragma once

#include <cstdint>
#include <vector>

#include "core/IPlugBase.h"

class ProcessInterface;

// The plug-in side of the real-time host bridge: hands the effect's
// definition to the plug-in base with the host interface kind of this host,
// connects every channel, sizes the buffers for the host's largest block, and
// supplies the host slots of the base by calling the host process that owns
// it (ProcessInterface). Host control i + 2 stands for parameter i; control 1
// is the host's master bypass. Until a process is attached the host slots are
// inert (gestures and values go nowhere, transport reads 0), which is also
// how offline tools drive the plug-in.
class IPlugRTAS : public IPlugBase {
public:
    static constexpr int kDefaultBlockSize = 1024;

    IPlugRTAS(int paramCount, const char* channelConfigText, int presetCount, const char* title,
              const char* productTitle, const char* vendorName, int32_t effectVersion,
              int32_t effectCode, int32_t vendorCode, int latency, bool handlesMidi,
              bool savesStateAsChunk, bool isInstrument, int sideChainCount = 0);

    // Host slots. Called with the plug-in lock held, from the thread of the
    // operation that caused them (editor or host user-interface thread).
    // Gestures and values are not sent to the host from here: they are
    // collected, in order, and sent once the calling thread has released the
    // plug-in's lock (at once when it does not hold it). The host may answer
    // a report through the routine table, whose lock comes before the
    // plug-in's; calling it with the plug-in's lock held would take the two
    // in the other order and could deadlock against a routine running on
    // another thread.
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
    // The plug-in's state changed: the host process counts it, so the host
    // knows its saved session differs. Called by the effect on the UI thread.
    void OnStateChanged() override;
    // This host takes no MIDI from the plug-in: always false.
    bool SendMidiEvent(const IMidiEvent& event) override;

    // Called by the process once it has made the plug-in (host UI thread):
    // keeps the process, drops presets no bank filled, sizes the buffers for
    // the host's largest block and runs the base's attach hook.
    void AttachProcess(ProcessInterface* hostProcess);
    ProcessInterface* Process() const { return process; }

    // A host control changed (automation, the host's own control, or the echo
    // of a value the plug-in reported): parameter controlIndex - 2 takes
    // `value`, as the control converts it back, clamped to its range; the
    // editor is told and the change hook runs, all under the plug-in lock.
    // Control indices that stand for no parameter are ignored. Called by the
    // process on the host's UI thread.
    void ApplyHostControlChange(int controlIndex, double value);

    // The effect's own meters, which the host may show: how many, and the
    // editor display index each is handed to (-1 for none). Called by the
    // process on the host's UI thread. None unless the effect says so.
    virtual int MeterCount() const { return 0; }
    virtual int MeterDisplayIndex(int) const { return -1; }

    // The control index of parameter `index`.
    static int ControlIndexOfParam(int index) { return index + kFirstParamControl; }
    // Whether a parameter of this kind has a host control (switch, integer,
    // list, continuous).
    static bool HasHostControl(IPlugParam::ParamKind kind) {
        return kind == IPlugParam::Switch || kind == IPlugParam::Integer || kind == IPlugParam::List ||
               kind == IPlugParam::Continuous;
    }
    static constexpr int kBypassControl = 1;
    static constexpr int kFirstParamControl = 2;

    // Connects inputs 0..inputs-1 (one more with a connected side chain) and
    // outputs 0..outputs-1, disconnecting the rest. Host UI thread.
    void ConnectIO(int inputs, int outputs);
    void ChangeSideChainConnection(bool on);
    bool HasSideChain() const { return hasSideChain; }

    // One host block through the processing entry, under the plug-in lock.
    // Called by the host's audio thread.
    void ProcessHostBlock(const float* const* hostInputs, float* const* hostOutputs, int frames);
    void BypassHostBlock(const float* const* hostInputs, float* const* hostOutputs, int frames);

private:
    // One report for the host, collected under the plug-in's lock.
    struct HostReport {
        enum Kind { kTouch, kValue, kRelease } kind;
        int controlIndex;
        int32_t controlValue;  // kValue only
    };
    // Appends a report and has SendReports run after the lock's release.
    void Report(const HostReport& report);
    // Runs on the reporting thread after it released the plug-in's lock:
    // takes the collected reports and sends them to the process.
    static void SendReports(void* plugin);

    ProcessInterface* process = nullptr;  // not owned
    std::vector<HostReport> reports;      // under the plug-in's lock
    bool hasSideChain = false;
    bool sideChainConnected = false;
};
