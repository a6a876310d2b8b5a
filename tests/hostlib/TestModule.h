#pragma once

// A small module for the host library's tests: a group with a mono and a
// stereo gain effect, whose process is shaped like the bridge's (an interface
// of its own and CEffectProcess as a virtual base, then CEffectProcessRTAS),
// two controls (master bypass, gain 0 to 2), a state chunk of one value, and
// an editor view. The tests drive it through the routine table as a host does.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "hostlib/CChunkHeader.h"
#include "hostlib/CCustomView.h"
#include "hostlib/CDAEError.h"
#include "hostlib/CEffectGroup.h"
#include "hostlib/CEffectProcessRTAS.h"
#include "hostlib/CEffectTypeRTAS.h"
#include "hostlib/CInstanceRegistry.h"
#include "hostlib/CNoResourceView.h"
#include "hostlib/CPluginControl_Linear.h"
#include "hostlib/CPluginControl_OnOff.h"
#include "hostlib/PI_LibraryGetRoutineDescriptor.h"
#include "hostlib/PluginRoutines.h"

namespace hostlib_test {

constexpr int32_t FourCC(const char (&s)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(s[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(s[3])));
}

constexpr int32_t kMonoType = FourCC("TgM1");
constexpr int32_t kStereoType = FourCC("TgS2");
constexpr int32_t kProductId = FourCC("TgPr");
constexpr int32_t kMakerId = FourCC("TsMk");
constexpr int32_t kChunkId = FourCC("TgCk");
constexpr int32_t kBypassId = FourCC("bypa");
constexpr int32_t kGainId = FourCC("gain");
constexpr int32_t kBypass = 1;  // control indices
constexpr int32_t kGain = 2;
constexpr int32_t kChunkSize = CChunkHeader::kBytes + 8;

// The view class the test group registers; it counts the draw requests.
class TestView : public CCustomView {
public:
    void Draw(const PI_Rect& area) override {
        ++draws;
        lastArea = area;
    }
    void SetEditorInterface(EditorInterface* e) override { editor = e; }

    int draws = 0;
    PI_Rect lastArea{};
    EditorInterface* editor = nullptr;
};

// What the plug-in side would be: an interface of its own.
class TestInterface {
public:
    virtual ~TestInterface() = default;
    virtual double Gain() const = 0;
};

// The plug-in side's process, as the bridge's derives: its interface first,
// CEffectProcess as a virtual base.
class TestProcessBase : public TestInterface, public virtual CEffectProcess {
public:
    double Gain() const override { return gain; }

    void CreateControls() override {
        ++createControlsCalls;
        if (throwInCreateControls) {
            AddControl(new CPluginControl_OnOff(static_cast<uint32_t>(kBypassId), "Bypass", 0, true));
            throw CDAEError(-1234);
        }
        AddControl(new CPluginControl_OnOff(static_cast<uint32_t>(kBypassId), "Master Bypass\nMByp", 0, true));
        SetMasterBypassControl(kBypass);
        AddControl(new CPluginControl_Linear(static_cast<uint32_t>(kGainId), "Gain\nGn", 0.0, 2.0, 0.01, 1.0, true,
                                             CSIPrefixTable::kUnityToExa));
        rateAtCreation = SampleRate();
    }

    void UpdateControlValueInAlgorithm(int32_t controlIndex) override {
        updates.push_back(controlIndex);
        if (controlIndex == kGain)
            gain = static_cast<CPluginControl_Linear*>(Control(kGain))->Value();
    }

    void SideChainChanged(bool connected) override { sideChainCalls.push_back(connected); }
    void HostGesture(int32_t index, bool begins) override { gestures.push_back(begins ? index : -index); }

    int32_t ChunkCount() override { return 1; }
    PI_Status ChunkIdAt(int32_t index, int32_t* id) override {
        if (index != 1) return PI_ErrBadChunkId;
        *id = kChunkId;
        return PI_NoErr;
    }
    PI_Status ChunkSize(int32_t id, int32_t* size) override {
        if (id != kChunkId) return PI_ErrBadChunkId;
        *size = chunkSizeAnswer;
        return PI_NoErr;
    }
    PI_Status GetChunk(int32_t id, void* chunk, int32_t capacity) override {
        if (id != kChunkId) return PI_ErrBadChunkId;
        getCapacity = capacity;
        if (capacity < kChunkSize) return PI_ErrBufferTooSmall;
        CChunkHeader::WriteInt32(chunk, 0, kChunkSize);
        std::memcpy(static_cast<unsigned char*>(chunk) + CChunkHeader::kBytes, &gain, sizeof gain);
        return PI_NoErr;
    }
    PI_Status SetChunk(int32_t id, const void* chunk, int32_t size) override {
        if (id != kChunkId) return PI_ErrBadChunkId;
        ++setChunkCalls;
        lastSetSize = size;
        double restored = 0;
        std::memcpy(&restored, static_cast<const unsigned char*>(chunk) + CChunkHeader::kBytes, sizeof restored);
        auto* control = static_cast<CPluginControl_Linear*>(Control(kGain));
        // As the bridge does: the value goes to the host's control.
        SetControlValue(kGain, control->ControlValueFromValue(restored));
        IncrementStateChangeCount();
        return PI_NoErr;
    }
    PI_Status CompareChunk(const void* chunk, int32_t size, bool* equal) override {
        if (CChunkHeader::ReadInt32(chunk, CChunkHeader::kChunkIdOffset) != kChunkId) return PI_ErrBadChunkId;
        ++compareCalls;
        lastCompareSize = size;
        double stored = 0;
        std::memcpy(&stored, static_cast<const unsigned char*>(chunk) + CChunkHeader::kBytes, sizeof stored);
        *equal = stored == gain;
        return PI_NoErr;
    }

    bool GetViewRect(PI_Rect* rect) override {
        rect->bottom = 400;
        rect->right = 298;
        return true;
    }
    CPlugInView* MakeView() override {
        ++makeViewCalls;
        if (failMakeView) return nullptr;
        auto root = std::make_unique<CNoResourceView>();
        root->SetSize(298, 400);
        view = dynamic_cast<TestView*>(root->BuildSubview(viewDescription.c_str(), 0, 0, 298, 400));
        if (view) view->SetEditorInterface(reinterpret_cast<EditorInterface*>(this));
        return root.release();
    }
    void SetWindow(PI_Port port) override { ports.push_back(port); }
    int32_t ClickedControl() override { return clicked; }
    int32_t MaxRenderFrames() override { return 512; }
    void GetTransport(PI_Transport* out) override { out->tempo = 120.0; }

    int createControlsCalls = 0;
    bool throwInCreateControls = false;
    int32_t rateAtCreation = 0;
    double gain = 1.0;
    std::vector<int32_t> updates;
    std::vector<bool> sideChainCalls;
    std::vector<int32_t> gestures;
    int32_t chunkSizeAnswer = kChunkSize;
    int32_t getCapacity = 0;
    int setChunkCalls = 0;
    int32_t lastSetSize = 0;
    int compareCalls = 0;
    int32_t lastCompareSize = 0;
    int makeViewCalls = 0;
    bool failMakeView = false;
    std::string viewDescription = "!TestView[('TsVw')]";
    TestView* view = nullptr;
    std::vector<PI_Port> ports;
    int32_t clicked = 0;
};

// The real-time process: both bases, as the bridge's real-time class.
class TestProcess : public TestProcessBase, public CEffectProcessRTAS {
public:
    TestProcess() { ++liveCount; }
    ~TestProcess() override { --liveCount; }

    static int liveCount;
    // The next block of more than one frame fails after writing one sample:
    // with a CDAEError of throwCode, or a std::runtime_error when it is 0.
    static bool throwNextRender;
    static int32_t throwCode;

    int renders = 0;
    int32_t lastFrames = -1;
    bool lastBypassed = false;
    std::vector<const float*> lastInputs;
    std::vector<float*> lastOutputs;

protected:
    // Gain, or a copy when bypassed; one output per input channel.
    void RenderBlock(const float* const* inputs, float* const* outputs, int32_t frames) override {
        ++renders;
        lastFrames = frames;
        lastBypassed = IsBypassed();
        const int32_t in = InputChannels() + (SideChainConnected() ? 1 : 0);
        lastInputs.assign(inputs, inputs + in);
        lastOutputs.assign(outputs, outputs + OutputChannels());
        for (int32_t c = 0; c < OutputChannels(); ++c) {
            if (throwNextRender && frames > 1) {
                outputs[c][0] = 99.0f;  // half-written
                throwNextRender = false;
                if (throwCode != 0) throw CDAEError(throwCode);
                throw std::runtime_error("render failed");
            }
            const float factor = lastBypassed ? 1.0f : static_cast<float>(gain);
            for (int32_t i = 0; i < frames; ++i) outputs[c][i] = inputs[c][i] * factor;
        }
    }
};

// A process of the kind a real-time type must refuse.
class OfflineProcess : public CEffectProcess {};

CPlugInView* MakeTestView();
CEffectProcess* MakeTestProcess();
CEffectProcess* MakeOfflineProcess();
CEffectProcess* MakeNoProcess();

class TestGroup : public CEffectGroup {
public:
    TestGroup() {
        SetMakerNames("Test Maker\nTestMk\nTsMk");
        SetMakerId(kMakerId);
        SetProductNames("Test Gain\nTGain");
        SetProductVersion(3);
        AddOptionCode(14);
        AddOptionCode(15);
    }
    void Initialize() override {
        CEffectGroup::Initialize();
        RegisterViewClass("TestView", &MakeTestView);
    }
    void CreateEffectTypes() override {
        ++createTypesCalls;
        AddType(kMonoType, CEffectType::kStemMono, &MakeTestProcess);
        AddType(kStereoType, CEffectType::kStemStereo, &MakeTestProcess);
    }
    int32_t HostVersion() override { return 409648; }

    void AddType(int32_t id, int32_t stem, CEffectType::CreateProcessProc create) {
        auto* type = new CEffectTypeRTAS(id, kProductId, 2);
        type->SetNames("Test Gain\nTGain");
        type->SetGeneralProperty(6);
        type->SetStemFormats(stem, stem, 0);
        type->AddOptionCode(8);
        type->AddOptionCode(48);
        type->AddOptionCode(55);
        type->SetProcessCreator(create);
        AddEffectType(type);
    }

    int createTypesCalls = 0;
};

// The routine of `selector`, as the type a host casts it to.
template <class Proc>
Proc Routine(uint32_t selector) {
    void* routine = nullptr;
    EXPECT_EQ(PI_LibraryGetRoutineDescriptor(selector, &routine), PI_NoErr) << "selector " << selector;
    return reinterpret_cast<Proc>(routine);
}

// The routines the tests call, looked up once, as a host does.
struct Host {
    PI_InterfaceVersionProc interfaceVersion = Routine<PI_InterfaceVersionProc>(PI_SEL_INTERFACE_VERSION);
    PI_GroupInfoProc groupInfo = Routine<PI_GroupInfoProc>(PI_SEL_GROUP_INFO);
    PI_IndexedCodeProc groupOptionAt = Routine<PI_IndexedCodeProc>(PI_SEL_GROUP_OPTION_AT);
    PI_CountProc effectTypeCount = Routine<PI_CountProc>(PI_SEL_EFFECT_TYPE_COUNT);
    PI_EffectTypeInfoProc effectTypeInfo = Routine<PI_EffectTypeInfoProc>(PI_SEL_EFFECT_TYPE_INFO);
    PI_EffectTypeOptionAtProc effectTypeOptionAt = Routine<PI_EffectTypeOptionAtProc>(PI_SEL_EFFECT_TYPE_OPTION_AT);
    PI_FindEffectTypeProc findEffectType = Routine<PI_FindEffectTypeProc>(PI_SEL_FIND_EFFECT_TYPE);
    PI_CountProc viewClassCount = Routine<PI_CountProc>(PI_SEL_VIEW_CLASS_COUNT);
    PI_IndexedTextProc viewClassName = Routine<PI_IndexedTextProc>(PI_SEL_VIEW_CLASS_NAME);
    PI_CreateInstanceProc create = Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE);
    PI_InitializeInstanceProc initialize = Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE);
    PI_InstanceProc destroy = Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE);
    PI_InstanceSetIntProc setSampleRate = Routine<PI_InstanceSetIntProc>(PI_SEL_SET_SAMPLE_RATE);
    PI_InstanceGetIntProc getSampleRate = Routine<PI_InstanceGetIntProc>(PI_SEL_GET_SAMPLE_RATE);
    PI_InstanceGetTwoIntsProc channelCounts = Routine<PI_InstanceGetTwoIntsProc>(PI_SEL_GET_CHANNEL_COUNTS);
    PI_InstanceSetIntProc setSideChain = Routine<PI_InstanceSetIntProc>(PI_SEL_SET_SIDE_CHAIN);
    PI_InstanceGetIntProc stateChangeCount = Routine<PI_InstanceGetIntProc>(PI_SEL_STATE_CHANGE_COUNT);
    PI_InstanceGetIntProc maxBlockSize = Routine<PI_InstanceGetIntProc>(PI_SEL_MAX_BLOCK_SIZE);
    PI_InstanceGetIntProc clickedControl = Routine<PI_InstanceGetIntProc>(PI_SEL_CLICKED_CONTROL);
    PI_SetHostCallbacksProc setCallbacks = Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS);
    PI_InstanceGetIntProc instanceType = Routine<PI_InstanceGetIntProc>(PI_SEL_INSTANCE_TYPE);
    PI_InstanceGetIntProc controlCount = Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT);
    PI_ControlInfoProc controlInfo = Routine<PI_ControlInfoProc>(PI_SEL_CONTROL_INFO);
    PI_ControlNameProc controlName = Routine<PI_ControlNameProc>(PI_SEL_CONTROL_NAME);
    PI_ControlGetIntProc getValue = Routine<PI_ControlGetIntProc>(PI_SEL_GET_CONTROL_VALUE);
    PI_ControlSetIntProc setValue = Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE);
    PI_ControlValueTextProc valueText = Routine<PI_ControlValueTextProc>(PI_SEL_CONTROL_VALUE_TEXT);
    PI_ControlValueForTextProc valueForText = Routine<PI_ControlValueForTextProc>(PI_SEL_CONTROL_VALUE_FOR_TEXT);
    PI_ControlAcceptsCharProc acceptsChar = Routine<PI_ControlAcceptsCharProc>(PI_SEL_CONTROL_ACCEPTS_CHAR);
    PI_ControlGetIntProc findControl = Routine<PI_ControlGetIntProc>(PI_SEL_FIND_CONTROL);
    PI_ControlProc touched = Routine<PI_ControlProc>(PI_SEL_CONTROL_TOUCHED);
    PI_ControlProc released = Routine<PI_ControlProc>(PI_SEL_CONTROL_RELEASED);
    PI_ControlToNumberProc toNumber = Routine<PI_ControlToNumberProc>(PI_SEL_CONTROL_TO_NUMBER);
    PI_ControlFromNumberProc fromNumber = Routine<PI_ControlFromNumberProc>(PI_SEL_CONTROL_FROM_NUMBER);
    PI_InstanceGetIntProc masterBypass = Routine<PI_InstanceGetIntProc>(PI_SEL_MASTER_BYPASS_CONTROL);
    PI_RenderProc render = Routine<PI_RenderProc>(PI_SEL_RENDER);
    PI_InstanceSetIntProc setBypass = Routine<PI_InstanceSetIntProc>(PI_SEL_SET_BYPASS);
    PI_InstanceGetIntProc getBypass = Routine<PI_InstanceGetIntProc>(PI_SEL_GET_BYPASS);
    PI_InstanceGetIntProc latency = Routine<PI_InstanceGetIntProc>(PI_SEL_GET_LATENCY);
    PI_InstanceGetIntProc chunkCount = Routine<PI_InstanceGetIntProc>(PI_SEL_CHUNK_COUNT);
    PI_ChunkIdProc chunkId = Routine<PI_ChunkIdProc>(PI_SEL_CHUNK_ID);
    PI_ChunkSizeProc chunkSize = Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE);
    PI_GetChunkProc getChunk = Routine<PI_GetChunkProc>(PI_SEL_GET_CHUNK);
    PI_SetChunkProc setChunk = Routine<PI_SetChunkProc>(PI_SEL_SET_CHUNK);
    PI_CompareChunkProc compareChunk = Routine<PI_CompareChunkProc>(PI_SEL_COMPARE_CHUNK);
    PI_ViewRectProc viewRect = Routine<PI_ViewRectProc>(PI_SEL_VIEW_RECT);
    PI_InstanceGetIntProc makeView = Routine<PI_InstanceGetIntProc>(PI_SEL_MAKE_VIEW);
    PI_SetWindowProc setWindow = Routine<PI_SetWindowProc>(PI_SEL_SET_WINDOW);
    PI_ViewDrawProc viewDraw = Routine<PI_ViewDrawProc>(PI_SEL_VIEW_DRAW);
    PI_InstanceGetIntProc editorIsOpen = Routine<PI_InstanceGetIntProc>(PI_SEL_EDITOR_IS_OPEN);
    PI_TransportProc transport = Routine<PI_TransportProc>(PI_SEL_TRANSPORT);
    PI_InterfaceVersionProc hostVersion = Routine<PI_InterfaceVersionProc>(PI_SEL_HOST_VERSION);
};

// Opens the test module for each test and closes it afterwards; every
// instance a test leaves is destroyed with the group.
class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new instance of `typeId`, initialised at 48000 Hz unless told not to.
    PI_Instance NewInstance(int32_t typeId = kStereoType, bool initialize = true);
    // The process behind a live handle.
    static TestProcess* ProcessOf(PI_Instance instance);

    Host host;
    TestGroup* group = nullptr;
};

}  // namespace hostlib_test
