// The plug-in side of the bridge against a recording host process: which
// control each slot reaches, what reaches the parameters from the host, and
// what the editor's resize asks of the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/IPlugRTAS.h"
#include "bridge/ProcessInterface.h"
#include "core/HostIdentity.h"

namespace {

// Records every call in order, as "name:argument".
class RecordingProcess : public ProcessInterface {
public:
    std::vector<std::string> calls;
    int maxBlock = 256;

    void StoreControlValue(int c, int32_t v) override { calls.push_back("store:" + std::to_string(c) + "=" + std::to_string(v)); }
    int32_t ControlQuery2(int, int32_t*) override { return 0; }
    int32_t ControlQuery3(int, int32_t*) override { return 0; }
    void SetEditorInterface(EditorInterface*) override {}
    void BeginControlGesture(int c) override { calls.push_back("touch:" + std::to_string(c)); }
    void EndControlGesture(int c) override { calls.push_back("release:" + std::to_string(c)); }
    void Refresh() override {}
    void* ModuleInstance() override { return nullptr; }
    int32_t UseModuleResources() override { return 0; }
    void RestoreResources(int32_t) override {}
    IPlugRTAS* Plugin() override { return nullptr; }
    IGraphics* PluginEditor() override { return nullptr; }
    void MarkStateChanged() override { calls.push_back("state"); }
    int MaxBlockSize() override { return maxBlock; }
    double TransportTempo() override { return 120.0; }
    void TransportMeter(int* n, int* d) override { *n = 3, *d = 8; }
    int TransportSamplePosition() override { return 4410; }
    void TransportState(HostTimeRecord* r) override { r->tempo = 99.0; }
    int32_t PackedHostVersion() override { return 409648; }
    // The control value is the parameter value times 10, so the tests see
    // which value was converted.
    bool ControlValueForParameter(int c, double value, int32_t* out) override {
        if (c > 4) return false;
        *out = static_cast<int32_t>(value * 10);
        return true;
    }
    void CloseEditorForResize() override { calls.push_back("close"); }
    void SendResizeToken() override { calls.push_back("token"); }
};

class Plug : public IPlugRTAS {
public:
    Plug() : IPlugRTAS(3, "1-1 2-2", 1, "Plug", "", "Maker", 0x10000, 0x506C7567, 0x4D6B7231, 0, false, false, false) {
        Param(0)->DefineSwitch("Power", true);
        Param(1)->DefineInteger("Count", 2, 0, 8);
        Param(2)->DefineContinuous("Gain", 0.0, -20.0, 20.0, 0.1);
    }
    void HandleParamChange(int index) override { changed.push_back(index); }
    void OnEditorClosedForResize() override { calls->push_back("hook"); }
    std::vector<int> changed;
    std::vector<std::string>* calls = nullptr;
};

TEST(IPlugRTAS, HostSlotsReachControlIPlusTwoOnlyOnceAProcessIsAttached) {
    Plug plug;
    plug.TellHostAllParams();  // no process: nothing to reach, nothing breaks
    EXPECT_EQ(plug.HostTempo(), 0.0);
    RecordingProcess process;
    plug.calls = &process.calls;
    plug.AttachProcess(&process);
    EXPECT_EQ(plug.BlockSize(), 256);

    plug.Param(2)->Set(3.5);
    plug.TellHostAllParams();
    const std::vector<std::string> expected = {"touch:2", "store:2=10",  "release:2", "touch:3",
                                               "store:3=20", "release:3", "touch:4", "store:4=35",
                                               "release:4"};
    EXPECT_EQ(process.calls, expected);

    process.calls.clear();
    plug.BeginParamGesture(3);  // no parameter 3: no control 5
    plug.TellHostParamValue(-1, 0.0);
    EXPECT_TRUE(process.calls.empty());

    EXPECT_EQ(plug.HostTempo(), 120.0);
    EXPECT_EQ(plug.HostSamplePosition(), 4410);
    int n = 0, d = 0;
    plug.HostTimeSignature(&n, &d);
    EXPECT_EQ(n * 100 + d, 308);
    HostTimeRecord record;
    plug.HostTransport(&record);
    EXPECT_EQ(record.tempo, 99.0);
}

TEST(IPlugRTAS, HostControlChangesReachTheParameterClampedAndRunTheHook) {
    Plug plug;
    RecordingProcess process;
    plug.calls = &process.calls;
    plug.AttachProcess(&process);
    plug.ApplyHostControlChange(4, 7.25);
    EXPECT_EQ(plug.Param(2)->Value(), 7.25);
    plug.ApplyHostControlChange(4, 400.0);
    EXPECT_EQ(plug.Param(2)->Value(), 20.0);
    plug.ApplyHostControlChange(3, -3.0);
    EXPECT_EQ(plug.Param(1)->Value(), 0.0);
    plug.ApplyHostControlChange(1, 0.0);   // the master bypass is no parameter
    plug.ApplyHostControlChange(5, 1.0);   // nor is a control past the last one
    EXPECT_EQ(plug.changed, (std::vector<int>{2, 2, 1}));
}

TEST(IPlugRTAS, EditorResizeClosesTheWindowRunsTheHookThenSendsTheToken) {
    Plug plug;
    RecordingProcess process;
    plug.calls = &process.calls;
    plug.EditorResized(10, 10);  // without a process: nothing
    plug.AttachProcess(&process);
    plug.EditorResized(300, 200);
    EXPECT_EQ(process.calls, (std::vector<std::string>{"close", "hook", "token"}));
}

TEST(IPlugRTAS, AStateChangeIsCountedByTheHost) {
    Plug plug;
    RecordingProcess process;
    plug.OnStateChanged();  // without a process: nothing
    plug.AttachProcess(&process);
    plug.OnStateChanged();
    EXPECT_EQ(process.calls, std::vector<std::string>{"state"});
}

TEST(IPlugRTAS, TheHostIsIdentifiedWithItsPackedVersion) {
    Plug plug;
    RecordingProcess process;
    plug.AttachProcess(&process);
    EXPECT_EQ(plug.HostKind(), kestrom::kHostProTools);
    EXPECT_EQ(plug.HostVersionNumber(false), 409648);
}

}  // namespace
