#include "hostlib/CEffectProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "TestModule.h"

using namespace hostlib_test;

namespace {

using ProcessRoutines = ModuleTest;

// A host that records what the plug-in tells it and, like a host with
// automation, answers each value by setting it through the routine table.
struct RecordingHost {
    Host* host = nullptr;
    bool answer = true;
    std::vector<int32_t> values;
    std::vector<int32_t> touched;
    std::vector<int32_t> released;
    int32_t answerStatus = 1;
};

void OnSetValue(void* context, PI_Instance instance, int32_t control, int32_t value) {
    auto* h = static_cast<RecordingHost*>(context);
    h->values.push_back(value);
    if (h->answer) h->answerStatus = h->host->setValue(instance, control, value);
}
void OnTouched(void* context, PI_Instance, int32_t control) {
    static_cast<RecordingHost*>(context)->touched.push_back(control);
}
void OnReleased(void* context, PI_Instance, int32_t control) {
    static_cast<RecordingHost*>(context)->released.push_back(control);
}

int32_t GainControlValue(double gain) {
    return CPluginControl_Linear(0, "", 0.0, 2.0, 0.01, 1.0, true, CSIPrefixTable::kNoPrefixes)
        .ControlValueFromValue(gain);
}

}  // namespace

TEST_F(ProcessRoutines, InitialisationCreatesTheControlsOnceAtTheHostsRate) {
    const PI_Instance instance = NewInstance(kStereoType, false);
    TestProcess* process = ProcessOf(instance);
    const PI_InstanceSetup bad[] = {{0}, {-44100}};
    for (const PI_InstanceSetup& setup : bad) EXPECT_EQ(host.initialize(instance, &setup), PI_ErrBadValue);
    EXPECT_EQ(host.initialize(instance, nullptr), PI_ErrNullPointer);
    EXPECT_EQ(process->createControlsCalls, 0);

    const PI_InstanceSetup setup{96000};
    EXPECT_EQ(host.initialize(instance, &setup), PI_NoErr);
    EXPECT_EQ(host.initialize(instance, &setup), PI_NoErr);
    EXPECT_EQ(process->createControlsCalls, 1);
    EXPECT_EQ(process->rateAtCreation, 96000);
    int32_t count = 0;
    EXPECT_EQ(host.controlCount(instance, &count), PI_NoErr);
    EXPECT_EQ(count, 2);
}

TEST_F(ProcessRoutines, AFailedInitialisationLeavesNoControlsAndCanBeRetried) {
    const PI_Instance instance = NewInstance(kStereoType, false);
    TestProcess* process = ProcessOf(instance);
    process->throwInCreateControls = true;
    const PI_InstanceSetup setup{48000};
    EXPECT_EQ(host.initialize(instance, &setup), -1234);
    EXPECT_EQ(process->ControlCount(), 0);
    int32_t count = 0;
    EXPECT_EQ(host.controlCount(instance, &count), PI_ErrNotInitialized);

    process->throwInCreateControls = false;
    EXPECT_EQ(host.initialize(instance, &setup), PI_NoErr);
    EXPECT_EQ(host.controlCount(instance, &count), PI_NoErr);
    EXPECT_EQ(count, 2);
}

TEST_F(ProcessRoutines, BeforeInitialisationControlsRenderAndChunksAreRefused) {
    const PI_Instance instance = NewInstance(kStereoType, false);
    int32_t value = 0;
    char text[16];
    const PI_RenderRecord record{};
    unsigned char chunk[kChunkSize] = {};
    const int32_t statuses[] = {
        host.controlCount(instance, &value),
        host.getValue(instance, kGain, &value),
        host.setValue(instance, kGain, 0),
        host.controlName(instance, kGain, 8, text, sizeof text),
        host.findControl(instance, kGainId, &value),
        host.masterBypass(instance, &value),
        host.render(instance, &record),
        host.setBypass(instance, 1),
        host.getBypass(instance, &value),
        host.chunkCount(instance, &value),
        host.getChunk(instance, kChunkId, chunk, kChunkSize),
        host.setChunk(instance, kChunkId, chunk, kChunkSize),
    };
    for (int32_t status : statuses) EXPECT_EQ(status, PI_ErrNotInitialized);
    // What needs no controls works.
    EXPECT_EQ(host.getSampleRate(instance, &value), PI_NoErr);
    EXPECT_EQ(value, CProcess::kDefaultSampleRate);
    int32_t inputs = 0, outputs = 0;
    EXPECT_EQ(host.channelCounts(instance, &inputs, &outputs), PI_NoErr);
    EXPECT_EQ(inputs, 2);
    EXPECT_EQ(outputs, 2);
}

TEST_F(ProcessRoutines, ControlInfoDescribesEachControl) {
    const PI_Instance instance = NewInstance();
    PI_ControlInfo bypass, gain;
    ASSERT_EQ(host.controlInfo(instance, kBypass, &bypass), PI_NoErr);
    ASSERT_EQ(host.controlInfo(instance, kGain, &gain), PI_NoErr);
    EXPECT_EQ(bypass.id, kBypassId);
    EXPECT_EQ(bypass.controlClass, PI_ControlOnOff);
    EXPECT_EQ(bypass.stepCount, 2);
    EXPECT_EQ(bypass.isMasterBypass, 1);
    EXPECT_EQ(bypass.defaultValue, INT32_MIN);
    EXPECT_EQ(bypass.maximum, 1.0);
    EXPECT_EQ(gain.id, kGainId);
    EXPECT_EQ(gain.controlClass, PI_ControlLinear);
    EXPECT_EQ(gain.stepCount, 201);
    EXPECT_EQ(gain.automatable, 1);
    EXPECT_EQ(gain.isMasterBypass, 0);
    EXPECT_EQ(gain.defaultValue, GainControlValue(1.0));
    EXPECT_EQ(gain.minimum, 0.0);
    EXPECT_EQ(gain.maximum, 2.0);

    int32_t index = 0;
    EXPECT_EQ(host.findControl(instance, kGainId, &index), PI_NoErr);
    EXPECT_EQ(index, kGain);
    EXPECT_EQ(host.masterBypass(instance, &index), PI_NoErr);
    EXPECT_EQ(index, kBypass);
    EXPECT_EQ(host.findControl(instance, FourCC("none"), &index), PI_ErrBadIndex);
}

TEST_F(ProcessRoutines, IndicesWithoutAControlAndNullPointersAreRefused) {
    const PI_Instance instance = NewInstance();
    for (int32_t bad : {0, 3, -1, INT32_MAX}) {
        int32_t value = 5;
        double number = 0;
        char text[8];
        PI_ControlInfo info;
        const int32_t statuses[] = {
            host.controlInfo(instance, bad, &info),
            host.controlName(instance, bad, 4, text, sizeof text),
            host.getValue(instance, bad, &value),
            host.setValue(instance, bad, 0),
            host.valueText(instance, bad, 0, 4, text, sizeof text),
            host.valueForText(instance, bad, "1", &value),
            host.acceptsChar(instance, bad, '1', &value),
            host.touched(instance, bad),
            host.released(instance, bad),
            host.toNumber(instance, bad, 0, &number),
            host.fromNumber(instance, bad, 0.0, &value),
        };
        for (int32_t status : statuses) EXPECT_EQ(status, PI_ErrBadIndex) << "control " << bad;
        EXPECT_EQ(value, 5);
    }
    int32_t one = 0;
    const int32_t nulls[] = {
        host.controlInfo(instance, kGain, nullptr),
        host.controlName(instance, kGain, 4, nullptr, 8),
        host.getValue(instance, kGain, nullptr),
        host.valueText(instance, kGain, 0, 4, nullptr, 8),
        host.valueForText(instance, kGain, nullptr, nullptr),
        host.acceptsChar(instance, kGain, '1', nullptr),
        host.toNumber(instance, kGain, 0, nullptr),
        host.fromNumber(instance, kGain, 0.0, nullptr),
        host.controlCount(instance, nullptr),
        host.getBypass(instance, nullptr),
        host.stateChangeCount(instance, nullptr),
        host.channelCounts(instance, &one, nullptr),
    };
    for (int32_t status : nulls) EXPECT_EQ(status, PI_ErrNullPointer);
}

TEST_F(ProcessRoutines, TextsStayInsideTheHostsBuffer) {
    const PI_Instance instance = NewInstance();
    struct Case {
        int32_t width, size;
        const char* name;
        int32_t status;
    };
    const Case cases[] = {
        {20, 32, "Gain", PI_NoErr},
        {20, 3, "Gn", PI_NoErr},  // the buffer, not the width, limits the form
        {2, 32, "Gn", PI_NoErr},
        {0, 32, "", PI_NoErr},
        {-4, 32, "", PI_NoErr},
        {20, 1, "", PI_NoErr},
        {20, 0, nullptr, PI_ErrBufferTooSmall},
        {20, -1, nullptr, PI_ErrBufferTooSmall},
    };
    for (const Case& c : cases) {
        char buffer[48];
        std::memset(buffer, '#', sizeof buffer);
        char* out = buffer + 8;
        EXPECT_EQ(host.controlName(instance, kGain, c.width, out, c.size), c.status) << c.width << "/" << c.size;
        if (c.name) {
            EXPECT_STREQ(out, c.name);
        }
        const int32_t used = c.size > 0 ? c.size : 0;
        for (int32_t i = used; i < 40; ++i) EXPECT_EQ(out[i], '#') << "written past the buffer at " << i;
        for (int i = 0; i < 8; ++i) EXPECT_EQ(buffer[i], '#');
    }
    char text[4];
    EXPECT_EQ(host.valueText(instance, kGain, GainControlValue(1.5), 10, text, sizeof text), PI_NoErr);
    EXPECT_STREQ(text, "1.5");
    EXPECT_EQ(host.valueText(instance, kBypass, INT32_MAX, 10, text, 2), PI_NoErr);
    EXPECT_STREQ(text, "1");  // one character: the on/off digit
}

TEST_F(ProcessRoutines, TypedTextsConvertOrAreRejectedWithoutAValue) {
    const PI_Instance instance = NewInstance();
    int32_t value = 42;
    EXPECT_EQ(host.valueForText(instance, kGain, "1.5", &value), PI_NoErr);
    EXPECT_EQ(value, GainControlValue(1.5));
    value = 42;
    EXPECT_EQ(host.valueForText(instance, kGain, "abc", &value), PI_ErrRejectedText);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(host.valueForText(instance, kBypass, "on", &value), PI_NoErr);
    EXPECT_EQ(value, INT32_MAX);
    int32_t accepts = -1;
    EXPECT_EQ(host.acceptsChar(instance, kGain, '7', &accepts), PI_NoErr);
    EXPECT_EQ(accepts, 1);
    EXPECT_EQ(host.acceptsChar(instance, kGain, 'x', &accepts), PI_NoErr);
    EXPECT_EQ(accepts, 0);
}

TEST_F(ProcessRoutines, NumbersConvertInTheControlsUnits) {
    const PI_Instance instance = NewInstance();
    double number = 0;
    EXPECT_EQ(host.toNumber(instance, kGain, GainControlValue(0.5), &number), PI_NoErr);
    EXPECT_NEAR(number, 0.5, 1e-9);
    EXPECT_EQ(host.toNumber(instance, kBypass, INT32_MAX, &number), PI_NoErr);
    EXPECT_EQ(number, 1.0);

    struct Case {
        int32_t control;
        double number;
        int32_t status, value;
    };
    const Case cases[] = {
        {kGain, 0.5, PI_NoErr, GainControlValue(0.5)},
        {kGain, 9.0, PI_NoErr, INT32_MAX},  // limited to the range
        {kGain, -std::numeric_limits<double>::infinity(), PI_NoErr, INT32_MIN},
        {kBypass, 0.6, PI_NoErr, INT32_MAX},  // nearest integer
        {kBypass, 0.4, PI_NoErr, INT32_MIN},
        {kBypass, 1e300, PI_NoErr, INT32_MAX},
        {kGain, std::nan(""), PI_ErrBadValue, 7},
        {kBypass, std::nan(""), PI_ErrBadValue, 7},
    };
    for (const Case& c : cases) {
        int32_t value = 7;
        EXPECT_EQ(host.fromNumber(instance, c.control, c.number, &value), c.status) << c.number;
        EXPECT_EQ(value, c.value) << c.number;
    }
}

TEST_F(ProcessRoutines, WithoutHostCallbacksAValueIsAppliedAtOnce) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    EXPECT_EQ(process->SetControlValue(kGain, GainControlValue(0.25)), PI_NoErr);
    EXPECT_EQ(process->updates, std::vector<int32_t>{kGain});
    EXPECT_NEAR(process->Gain(), 0.25, 1e-6);
    int32_t value = 0;
    EXPECT_EQ(host.getValue(instance, kGain, &value), PI_NoErr);
    EXPECT_EQ(value, GainControlValue(0.25));
    EXPECT_EQ(process->SetControlValue(7, 0), PI_ErrBadIndex);
}

TEST_F(ProcessRoutines, WithHostCallbacksAValueGoesThroughTheHost) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    RecordingHost recording;
    recording.host = &host;
    const PI_HostCallbacks callbacks{&recording, &OnSetValue, &OnTouched, &OnReleased};
    ASSERT_EQ(host.setCallbacks(instance, &callbacks), PI_NoErr);

    // A host that only listens: the value reaches it and nothing is stored.
    recording.answer = false;
    EXPECT_EQ(process->SetControlValue(kGain, GainControlValue(0.5)), PI_NoErr);
    EXPECT_EQ(recording.values, std::vector<int32_t>{GainControlValue(0.5)});
    EXPECT_TRUE(process->updates.empty());
    EXPECT_EQ(process->Gain(), 1.0);

    // A host that answers as its automation does: the value comes back and
    // is applied.
    recording.answer = true;
    EXPECT_EQ(process->TouchControl(kGain), PI_NoErr);
    EXPECT_EQ(process->SetControlValue(kGain, GainControlValue(1.5)), PI_NoErr);
    EXPECT_EQ(process->ReleaseControl(kGain), PI_NoErr);
    EXPECT_EQ(recording.answerStatus, PI_NoErr);
    EXPECT_EQ(process->updates, std::vector<int32_t>{kGain});
    EXPECT_NEAR(process->Gain(), 1.5, 1e-6);
    EXPECT_EQ(recording.touched, std::vector<int32_t>{kGain});
    EXPECT_EQ(recording.released, std::vector<int32_t>{kGain});

    // Disconnected again: applied at once, nothing reaches the host.
    ASSERT_EQ(host.setCallbacks(instance, nullptr), PI_NoErr);
    EXPECT_EQ(process->SetControlValue(kGain, GainControlValue(0.5)), PI_NoErr);
    EXPECT_EQ(process->TouchControl(kGain), PI_NoErr);
    EXPECT_EQ(recording.values.size(), 2u);
    EXPECT_EQ(recording.touched.size(), 1u);
    EXPECT_NEAR(process->Gain(), 0.5, 1e-6);
}

TEST_F(ProcessRoutines, TheBypassFlagFollowsTheMasterBypassControl) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    struct Case {
        int32_t value;
        int32_t bypassed;
    };
    // Values as the control holds them: 0 and up stand for on.
    const Case cases[] = {{INT32_MAX, 1}, {INT32_MIN, 0}, {0, 1}, {-1, 0}, {1000, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(host.setValue(instance, kBypass, c.value), PI_NoErr);
        int32_t on = -1;
        EXPECT_EQ(host.getBypass(instance, &on), PI_NoErr);
        EXPECT_EQ(on, c.bypassed) << c.value;
    }
    // The host's own bypass request sets the control to either end.
    for (int32_t request : {1, 0, 5}) {
        EXPECT_EQ(host.setBypass(instance, request), PI_NoErr);
        int32_t value = 0, on = -1;
        EXPECT_EQ(host.getValue(instance, kBypass, &value), PI_NoErr);
        EXPECT_EQ(host.getBypass(instance, &on), PI_NoErr);
        EXPECT_EQ(value, request ? INT32_MAX : INT32_MIN);
        EXPECT_EQ(on, request ? 1 : 0);
    }
    EXPECT_EQ(process->updates.size(), 8u);  // the algorithm hears of each
    EXPECT_EQ(process->updates.back(), kBypass);
}

TEST_F(ProcessRoutines, HostNoticesReachTheProcess) {
    const PI_Instance instance = NewInstance(kMonoType);
    TestProcess* process = ProcessOf(instance);
    int32_t value = 0;
    EXPECT_EQ(host.setSampleRate(instance, 0), PI_ErrBadValue);
    EXPECT_EQ(host.setSampleRate(instance, 44100), PI_NoErr);
    EXPECT_EQ(host.getSampleRate(instance, &value), PI_NoErr);
    EXPECT_EQ(value, 44100);
    PI_Transport transport;
    std::memset(&transport, 0x55, sizeof transport);
    EXPECT_EQ(host.transport(instance, &transport), PI_NoErr);
    EXPECT_EQ(transport.tempo, 120.0);
    EXPECT_EQ(transport.playing, 0) << "cleared before the process fills it";

    EXPECT_EQ(host.setSideChain(instance, 1), PI_NoErr);
    EXPECT_TRUE(process->SideChainConnected());
    EXPECT_EQ(host.setSideChain(instance, 0), PI_NoErr);
    EXPECT_EQ(process->sideChainCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.touched(instance, kGain), PI_NoErr);
    EXPECT_EQ(host.released(instance, kGain), PI_NoErr);
    EXPECT_EQ(process->gestures, (std::vector<int32_t>{kGain, -kGain}));

    // The clicked control is passed on only when it names a control.
    const int32_t answers[] = {2, 0, 3, -2, INT32_MAX};
    const int32_t expected[] = {2, 0, 0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        process->clicked = answers[i];
        EXPECT_EQ(host.clickedControl(instance, &value), PI_NoErr);
        EXPECT_EQ(value, expected[i]) << answers[i];
    }
}
