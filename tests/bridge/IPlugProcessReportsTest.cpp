// The bridge's process in this process, driven through the host library's
// routine table with the test effect: one host control of the right class per
// parameter kind (the integer and three-way list the compressor lacks), and
// the editor's side of a control change - the plug-in reporting a value, its
// gestures, TellHostAllParams - reaching the host's callbacks and coming back
// through the host's echo.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/IPlugRTAS.h"
#include "bridge/ModuleEntry.h"
#include "hostlib/PI_LibraryGetRoutineDescriptor.h"
#include "hostlib/PluginRoutines.h"
#include "tests/bridge/BridgeTestEffect.h"

namespace {

using namespace bridgetest;

template <typename F>
F Routine(uint32_t selector) {
    void* routine = nullptr;
    EXPECT_EQ(PI_LibraryGetRoutineDescriptor(selector, &routine), PI_NoErr) << selector;
    return reinterpret_cast<F>(routine);
}

constexpr int kPowerControl = kPower + 2;
constexpr int kCountControl = kCount + 2;
constexpr int kGainControl = kGain + 2;
constexpr int kModeControl = kMode + 2;

// What the host's callbacks saw, in order, as "touch:c", "set:c=v", "release:c".
struct RecordingHost {
    std::vector<std::string> calls;
    PI_Instance instance = 0;
    // The value the host answers a reported one with: the same (echo), or its own.
    bool echo = true;
    int32_t answer = 0;

    PI_HostCallbacks Callbacks() {
        PI_HostCallbacks callbacks{};
        callbacks.context = this;
        callbacks.setControlValue = [](void* context, PI_Instance instance, int32_t control, int32_t value) {
            auto* self = static_cast<RecordingHost*>(context);
            EXPECT_EQ(instance, self->instance);
            self->calls.push_back("set:" + std::to_string(control) + "=" + std::to_string(value));
            Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE)(instance, control,
                                                                   self->echo ? value : self->answer);
        };
        callbacks.controlTouched = [](void* context, PI_Instance, int32_t control) {
            static_cast<RecordingHost*>(context)->calls.push_back("touch:" + std::to_string(control));
        };
        callbacks.controlReleased = [](void* context, PI_Instance, int32_t control) {
            static_cast<RecordingHost*>(context)->calls.push_back("release:" + std::to_string(control));
        };
        return callbacks;
    }
};

class IPlugProcessInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ModuleEntry::WinPlugInOpen(73), 0);
        ASSERT_EQ(Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE)(kStereoType, &instance), PI_NoErr);
        const PI_InstanceSetup setup{48000};
        ASSERT_EQ(Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE)(instance, &setup), PI_NoErr);
        plug = TestPlug::Last();
        ASSERT_NE(plug, nullptr);
    }
    void TearDown() override {
        Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE)(instance);
        while (ModuleEntry::OpenCount() > 0) ModuleEntry::WinPlugInClose();
    }

    int32_t Value(int control) const {
        int32_t value = 0;
        EXPECT_EQ(Routine<PI_ControlGetIntProc>(PI_SEL_GET_CONTROL_VALUE)(instance, control, &value), PI_NoErr);
        return value;
    }
    int32_t FromNumber(int control, double number) const {
        int32_t value = 0;
        EXPECT_EQ(Routine<PI_ControlFromNumberProc>(PI_SEL_CONTROL_FROM_NUMBER)(instance, control, number, &value),
                  PI_NoErr);
        return value;
    }
    PI_Status Set(int control, int32_t value) const {
        return Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE)(instance, control, value);
    }
    std::string Text(int control, int32_t value, int32_t width) const {
        char text[64] = {};
        EXPECT_EQ(Routine<PI_ControlValueTextProc>(PI_SEL_CONTROL_VALUE_TEXT)(instance, control, value, width, text,
                                                                             sizeof text),
                  PI_NoErr);
        return text;
    }
    void Connect(RecordingHost& host) const {
        host.instance = instance;
        const PI_HostCallbacks callbacks = host.Callbacks();
        ASSERT_EQ(Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS)(instance, &callbacks), PI_NoErr);
    }
    double Param(int index) const { return plug->Param(index)->Value(); }

    PI_Instance instance = 0;
    TestPlug* plug = nullptr;
};

TEST_F(IPlugProcessInProcess, EachParameterKindGetsItsControlClass) {
    int32_t count = 0;
    ASSERT_EQ(Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(instance, &count), PI_NoErr);
    ASSERT_EQ(count, 1 + kNumParams);
    const struct {
        int control;
        int32_t controlClass, steps;
        double minimum, maximum;
        int32_t defaultValue;
    } expected[] = {
        {kPowerControl, PI_ControlList, 2, 0, 1, INT32_MAX},
        {kCountControl, PI_ControlDiscrete, 9, 0, 8, -1073741824},  // 2 of 0..8
        {kGainControl, PI_ControlLinear, 401, -20, 20, 0},
        {kModeControl, PI_ControlList, 3, 0, 2, 0},  // the middle of three
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.control);
        PI_ControlInfo info{};
        ASSERT_EQ(Routine<PI_ControlInfoProc>(PI_SEL_CONTROL_INFO)(instance, e.control, &info), PI_NoErr);
        EXPECT_EQ(info.id, static_cast<int32_t>(0x206C6420 + e.control - 2));
        EXPECT_EQ(info.controlClass, e.controlClass);
        EXPECT_EQ(info.stepCount, e.steps);
        EXPECT_EQ(info.minimum, e.minimum);
        EXPECT_EQ(info.maximum, e.maximum);
        EXPECT_EQ(info.defaultValue, e.defaultValue);
        EXPECT_EQ(Value(e.control), e.defaultValue);
    }
}

TEST_F(IPlugProcessInProcess, IntegerAndListControlsShowAndReadTheirValues) {
    EXPECT_EQ(Text(kCountControl, FromNumber(kCountControl, 5), 8), "5");
    EXPECT_EQ(Text(kCountControl, INT32_MAX, 8), "8");
    EXPECT_EQ(Text(kModeControl, FromNumber(kModeControl, 0), 8), "soft");
    EXPECT_EQ(Text(kModeControl, FromNumber(kModeControl, 1), 8), "medium");
    EXPECT_EQ(Text(kModeControl, FromNumber(kModeControl, 1), 3), "med");
    EXPECT_EQ(Text(kModeControl, INT32_MAX, 8), "hard");

    const struct {
        int control;
        const char* text;
        double number;
    } typed[] = {
        {kCountControl, "7", 7}, {kCountControl, "42", 8}, {kCountControl, "-3", 0}, {kCountControl, "x", 0},
        {kCountControl, "5abc", 5}, {kModeControl, "m", 1}, {kModeControl, "H", 2}, {kModeControl, "s", 0},
        {kModeControl, "2", 2}, {kModeControl, "9", 2}, {kModeControl, "MEDIUM", 1}, {kModeControl, "z", 0},
    };
    for (const auto& t : typed) {
        int32_t value = 0;
        EXPECT_EQ(Routine<PI_ControlValueForTextProc>(PI_SEL_CONTROL_VALUE_FOR_TEXT)(instance, t.control, t.text,
                                                                                    &value),
                  PI_NoErr)
            << t.text;
        EXPECT_EQ(value, FromNumber(t.control, t.number)) << t.text;
    }

    // Host values in the middle of a step land on the nearest whole value.
    for (double number : {0.0, 3.0, 6.4, 6.6, 8.0}) {
        ASSERT_EQ(Set(kCountControl, FromNumber(kCountControl, number)), PI_NoErr);
        EXPECT_EQ(Param(kCount), std::floor(number + 0.5)) << number;
    }
    ASSERT_EQ(Set(kModeControl, 1), PI_NoErr);  // just above the middle of the range
    EXPECT_EQ(Param(kMode), 1.0);
    ASSERT_EQ(Set(kModeControl, INT32_MAX), PI_NoErr);
    EXPECT_EQ(Param(kMode), 2.0);
}

TEST_F(IPlugProcessInProcess, AnEditorChangeWithoutHostCallbacksIsStoredAtOnce) {
    plug->SetParameterFromGUI(kGain, 0.75);
    EXPECT_EQ(Param(kGain), 10.0);  // exactly what the editor set
    EXPECT_EQ(Value(kGainControl), FromNumber(kGainControl, 10.0));
    plug->SetParameterFromGUI(kCount, 5.0 / 8.0);
    EXPECT_EQ(Param(kCount), 5.0);
    EXPECT_EQ(Value(kCountControl), FromNumber(kCountControl, 5));
    plug->SetParameterFromGUI(kMode, 1.0);
    EXPECT_EQ(Param(kMode), 2.0);
    EXPECT_EQ(Value(kModeControl), INT32_MAX);
    plug->SetParameterFromGUI(kPower, 0.0);
    EXPECT_EQ(Param(kPower), 0.0);
    EXPECT_EQ(Value(kPowerControl), INT32_MIN);
}

TEST_F(IPlugProcessInProcess, AnEditorGestureReachesTheHostWhichEchoesTheValue) {
    RecordingHost host;
    Connect(host);
    plug->BeginParamGesture(kGain);
    plug->SetParameterFromGUI(kGain, 0.25);
    plug->EndParamGesture(kGain);
    const int32_t reported = FromNumber(kGainControl, -10.0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"touch:4", "set:4=" + std::to_string(reported), "release:4"}));
    EXPECT_EQ(Param(kGain), -10.0);
    EXPECT_EQ(Value(kGainControl), reported);

    // A host whose automation answers with a value of its own has the last word.
    host.calls.clear();
    host.echo = false;
    host.answer = FromNumber(kGainControl, 4.5);
    plug->SetParameterFromGUI(kGain, 0.5);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(Value(kGainControl), host.answer);
    EXPECT_NEAR(Param(kGain), 4.5, 1e-8);
}

TEST_F(IPlugProcessInProcess, TellHostAllParamsSendsOneGestureWithItsValuePerParameterInOrder) {
    plug->SetParameterFromGUI(kGain, 0.6);
    plug->SetParameterFromGUI(kCount, 0.25);
    RecordingHost host;
    Connect(host);
    plug->TellHostAllParams();
    std::vector<std::string> expected;
    for (int c = kPowerControl; c <= kModeControl; ++c) {
        expected.push_back("touch:" + std::to_string(c));
        expected.push_back("set:" + std::to_string(c) + "=" + std::to_string(Value(c)));
        expected.push_back("release:" + std::to_string(c));
    }
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(Param(kCount), 2.0);
    EXPECT_NEAR(Param(kGain), 4.0, 1e-12);
}

TEST_F(IPlugProcessInProcess, ReportsForIndicesWithoutAControlGoNowhere) {
    RecordingHost host;
    Connect(host);
    for (int index : {-1, static_cast<int>(kNumParams), 100}) {
        plug->BeginParamGesture(index);
        plug->TellHostParamValue(index, 0.5);
        plug->EndParamGesture(index);
        plug->SetParameterFromGUI(index, 0.5);
    }
    EXPECT_TRUE(host.calls.empty());
    int32_t clicked = -1;
    EXPECT_EQ(Routine<PI_InstanceGetIntProc>(PI_SEL_CLICKED_CONTROL)(instance, &clicked), PI_NoErr);
    EXPECT_EQ(clicked, 0);  // no editor, nothing clicked
}

TEST_F(IPlugProcessInProcess, ARestoredStateOfWholeValuesComesBackExactly) {
    int32_t size = 0;
    ASSERT_EQ(Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(instance, kProductId, &size), PI_NoErr);
    ASSERT_EQ(size, 56 + 8 * kNumParams);
    plug->SetParameterFromGUI(kGain, 0.3);
    plug->SetParameterFromGUI(kCount, 0.75);
    plug->SetParameterFromGUI(kMode, 0.0);
    std::vector<unsigned char> saved(static_cast<std::size_t>(size));
    ASSERT_EQ(Routine<PI_GetChunkProc>(PI_SEL_GET_CHUNK)(instance, kProductId, saved.data(), size), PI_NoErr);
    const double gain = Param(kGain);
    plug->SetParameterFromGUI(kGain, 0.9);
    plug->SetParameterFromGUI(kCount, 0.0);
    plug->SetParameterFromGUI(kMode, 1.0);

    RecordingHost host;
    Connect(host);
    ASSERT_EQ(Routine<PI_SetChunkProc>(PI_SEL_SET_CHUNK)(instance, kProductId, saved.data(), size), PI_NoErr);
    EXPECT_EQ(host.calls.size(), static_cast<std::size_t>(kNumParams));  // one report per control
    EXPECT_EQ(Param(kGain), gain);
    EXPECT_EQ(Param(kCount), 6.0);
    EXPECT_EQ(Param(kMode), 0.0);
    EXPECT_EQ(Value(kCountControl), FromNumber(kCountControl, 6));
    EXPECT_EQ(Value(kModeControl), INT32_MIN);
}

TEST_F(IPlugProcessInProcess, ARestoredValueBetweenWholeStepsTakesTheStepItsControlShows) {
    int32_t size = 0;
    ASSERT_EQ(Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(instance, kProductId, &size), PI_NoErr);
    std::vector<unsigned char> chunk(static_cast<std::size_t>(size));
    ASSERT_EQ(Routine<PI_GetChunkProc>(PI_SEL_GET_CHUNK)(instance, kProductId, chunk.data(), size), PI_NoErr);
    const double stored[kNumParams] = {0.5, 3.7, 2.25, 1.9};  // Power, Count, Gain, Mode
    for (int i = 0; i < kNumParams; ++i) std::memcpy(chunk.data() + 56 + 8 * i, &stored[i], 8);
    for (bool callbacks : {false, true}) {
        SCOPED_TRACE(callbacks ? "host echoing" : "no host callbacks");
        RecordingHost host;
        if (callbacks) Connect(host);
        ASSERT_EQ(Routine<PI_SetChunkProc>(PI_SEL_SET_CHUNK)(instance, kProductId, chunk.data(), size), PI_NoErr);
        EXPECT_EQ(Param(kPower), 0.0);  // as its control shows: off
        EXPECT_EQ(Param(kCount), 3.0);
        EXPECT_EQ(Param(kGain), 2.25);  // a knob keeps its exact value
        EXPECT_EQ(Param(kMode), 1.0);
        EXPECT_EQ(Value(kPowerControl), INT32_MIN);
        EXPECT_EQ(Value(kCountControl), FromNumber(kCountControl, 3));
        EXPECT_EQ(Value(kModeControl), FromNumber(kModeControl, 1));
        ASSERT_EQ(Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS)(instance, nullptr), PI_NoErr);
    }
}

}  // namespace
