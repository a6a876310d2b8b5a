#pragma once

#include <string>
#include <vector>

#include "core/IPlugBase.h"

// A concrete plug-in base for tests: records what the host slots receive and
// how often the hooks run.
class TestPlugin : public IPlugBase {
public:
    explicit TestPlugin(int paramCount = 3, const char* configs = "1-1 2-2", int presetCount = 2,
                        int latency = 0)
        : IPlugBase(paramCount, configs, presetCount, "Test", "", "Maker", 0x00010203, 0x54657374,
                    0x4D6B7231, latency, false, false, false, 0) {}

    void BeginParamGesture(int) override {}
    void TellHostParamValue(int index, double normalised) override {
        toldHost.push_back({index, normalised});
    }
    void EndParamGesture(int) override {}
    void TellHostAllParams() override {}
    int HostSamplePosition() override { return 0; }
    double HostTempo() override { return 0.0; }
    void HostTimeSignature(int*, int*) override {}
    void HostTransport(HostTimeRecord*) override {}
    void EditorResized(int, int) override {}
    bool SendMidiEvent(const IMidiEvent& e) override {
        sentMidi.push_back(e);
        return false;
    }
    void HandleParamChange(int index) override {
        IPlugBase::HandleParamChange(index);
        changed.push_back(index);
    }
    void OnPresetRestored() override { ++presetRestored; }

    using IPlugBase::CreateLatencyDelay;

    struct Told {
        int index;
        double value;
    };
    std::vector<Told> toldHost;
    std::vector<int> changed;
    std::vector<IMidiEvent> sentMidi;
    int presetRestored = 0;
};

// An editor that records every value pushed to it.
class RecordingEditor : public IPlugEditor {
public:
    struct Push {
        int index;
        double value;
        bool normalised;
    };
    explicit RecordingEditor(std::vector<Push>* log = nullptr, int* drawBuffers = nullptr)
        : pushes(log), buffers(drawBuffers) {}
    void SetParameterFromPlugin(int index, double value, bool normalised) override {
        if (pushes) pushes->push_back({index, value, normalised});
    }
    void CreateDrawBuffers() override {
        if (buffers) ++*buffers;
    }
    void MarkAllControlsDirty() override {}

private:
    std::vector<Push>* pushes;
    int* buffers;
};
