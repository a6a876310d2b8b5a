// The host controls an instance shows: the master bypass and one control per
// parameter, their IDs, classes and ranges, names and value texts at the
// widths a host displays, typed text, accepted characters, and values set by
// the host - with and without the host's callbacks connected - reaching the
// parameters (seen in the saved state, which holds the parameter values).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/module/ModuleProcess.h"

namespace {

using namespace moduletest;

class ModuleControls : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.LoadAndOpen());
        plug = std::make_unique<Instance>(host, GetParam());
        ASSERT_TRUE(plug->Ok()) << plug->status;
    }
    void TearDown() override { plug.reset(); }

    std::string Name(int control, int32_t width, int32_t size = 64) const {
        std::vector<char> text(static_cast<std::size_t>(size), '\x7f');
        const PI_Status status =
            plug->Routine<PI_ControlNameProc>(PI_SEL_CONTROL_NAME)(plug->handle, control, width, text.data(), size);
        return status == PI_NoErr ? std::string(text.data()) : "<" + std::to_string(status) + ">";
    }
    std::string Text(int control, int32_t value, int32_t width, int32_t size = 64) const {
        std::vector<char> text(static_cast<std::size_t>(size), '\x7f');
        const PI_Status status = plug->Routine<PI_ControlValueTextProc>(PI_SEL_CONTROL_VALUE_TEXT)(
            plug->handle, control, value, width, text.data(), size);
        return status == PI_NoErr ? std::string(text.data()) : "<" + std::to_string(status) + ">";
    }
    PI_Status ForText(int control, const char* text, int32_t* value) const {
        return plug->Routine<PI_ControlValueForTextProc>(PI_SEL_CONTROL_VALUE_FOR_TEXT)(plug->handle, control, text,
                                                                                         value);
    }
    bool Accepts(int control, int32_t code) const {
        int32_t accepts = -1;
        EXPECT_EQ(plug->Routine<PI_ControlAcceptsCharProc>(PI_SEL_CONTROL_ACCEPTS_CHAR)(plug->handle, control, code,
                                                                                          &accepts),
                  PI_NoErr);
        return accepts == 1;
    }
    // The parameter values, as the saved state holds them.
    std::vector<double> Params() const { return StateValues(plug->Chunk()); }

    HostProcess host;
    std::unique_ptr<Instance> plug;
};

INSTANTIATE_TEST_SUITE_P(BothTypes, ModuleControls, ::testing::Values(kMono, kStereo),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return info.param == kMono ? std::string("Mono") : std::string("Stereo");
                         });

TEST_P(ModuleControls, TheBypassComesFirstThenEveryParameterWithTheClassOfItsKind) {
    const auto controlInfo = plug->Routine<PI_ControlInfoProc>(PI_SEL_CONTROL_INFO);
    const struct {
        int32_t id, controlClass, steps, isMasterBypass, defaultValue;
        double minimum, maximum;
    } expected[kControlCount] = {
        {kBypassId, PI_ControlOnOff, 2, 1, kOff, 0, 1},
        {kFirstParamId + 0, PI_ControlLinear, 401, 0, 0, -20, 20},  // In
        {kFirstParamId + 1, PI_ControlLinear, 401, 0, 0, -20, 20},  // Out
        {kFirstParamId + 2, PI_ControlList, 2, 0, kOff, 0, 1},      // Deep
        {kFirstParamId + 3, PI_ControlList, 2, 0, kOff, 0, 1},      // Relaxed
        {kFirstParamId + 4, PI_ControlList, 2, 0, kOff, 0, 1},      // Dual Mono
        {kFirstParamId + 5, PI_ControlList, 2, 0, kOff, 0, 1},      // Negative
        {kFirstParamId + 6, PI_ControlList, 2, 0, kOn, 0, 1},       // Power, on by default
    };
    const auto find = plug->Routine<PI_ControlGetIntProc>(PI_SEL_FIND_CONTROL);
    for (int c = 1; c <= kControlCount; ++c) {
        SCOPED_TRACE(c);
        const auto& e = expected[c - 1];
        PI_ControlInfo info{};
        ASSERT_EQ(controlInfo(plug->handle, c, &info), PI_NoErr);
        EXPECT_EQ(info.id, e.id);
        EXPECT_EQ(info.controlClass, e.controlClass);
        EXPECT_EQ(info.stepCount, e.steps);
        EXPECT_EQ(info.automatable, 1);
        EXPECT_EQ(info.isMasterBypass, e.isMasterBypass);
        EXPECT_EQ(info.defaultValue, e.defaultValue);
        EXPECT_EQ(info.minimum, e.minimum);
        EXPECT_EQ(info.maximum, e.maximum);
        EXPECT_EQ(plug->Value(c), e.defaultValue);  // a new instance holds the defaults

        int32_t index = -1;
        EXPECT_EQ(find(plug->handle, e.id, &index), PI_NoErr);
        EXPECT_EQ(index, c);
    }
    int32_t index = -1;
    EXPECT_EQ(find(plug->handle, kFirstParamId + kParamCount, &index), PI_ErrBadIndex);
    EXPECT_EQ(index, -1);
    int32_t bypass = -1;
    EXPECT_EQ(plug->Routine<PI_InstanceGetIntProc>(PI_SEL_MASTER_BYPASS_CONTROL)(plug->handle, &bypass), PI_NoErr);
    EXPECT_EQ(bypass, kBypass);

    // Indices outside 1..8 name no control, for every control routine.
    for (int c : {0, -1, kControlCount + 1}) {
        PI_ControlInfo info{};
        int32_t value = -5;
        double number = -5;
        EXPECT_EQ(controlInfo(plug->handle, c, &info), PI_ErrBadIndex) << c;
        EXPECT_EQ(plug->Routine<PI_ControlGetIntProc>(PI_SEL_GET_CONTROL_VALUE)(plug->handle, c, &value),
                  PI_ErrBadIndex);
        EXPECT_EQ(plug->Set(c, 0), PI_ErrBadIndex);
        EXPECT_EQ(ForText(c, "1", &value), PI_ErrBadIndex);
        EXPECT_EQ(plug->Routine<PI_ControlToNumberProc>(PI_SEL_CONTROL_TO_NUMBER)(plug->handle, c, 0, &number),
                  PI_ErrBadIndex);
        EXPECT_EQ(Name(c, 10), "<" + std::to_string(PI_ErrBadIndex) + ">");
        EXPECT_EQ(value, -5);
        EXPECT_EQ(number, -5);
    }
}

TEST_P(ModuleControls, NamesAreChosenForTheDisplayWidth) {
    const struct {
        int control;
        int32_t width, size;
        const char* name;
    } cases[] = {
        {kBypass, 40, 64, "Master Bypass"}, {kBypass, 13, 64, "Master Bypass"}, {kBypass, 12, 64, "MastrByp"},
        {kBypass, 8, 64, "MastrByp"},       {kBypass, 7, 64, "MByp"},           {kBypass, 4, 64, "MByp"},
        {kBypass, 3, 64, "Byp"},            {kBypass, 2, 64, "By"},             {kBypass, 1, 64, "B"},
        {kBypass, 0, 64, ""},               {kBypass, -3, 64, ""},
        {kBypass, 40, 5, "MByp"},  // the buffer's room decides when it is the smaller
        {kBypass, 40, 1, ""},
        {kIn, 31, 64, "In"},                {kOut, 31, 64, "Out"},              {kDeep, 31, 64, "Deep"},
        {kRelaxed, 31, 64, "Relaxed"},      {kDualMono, 31, 64, "Dual Mono"},   {kNegative, 31, 64, "Negative"},
        {kPower, 31, 64, "Power"},          {kDualMono, 4, 64, "Dual"},         {kRelaxed, 31, 4, "Rel"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Name(c.control, c.width, c.size), c.name) << c.control << " width " << c.width << " size " << c.size;

    // No room even for the terminator: nothing is written.
    char untouched[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(plug->Routine<PI_ControlNameProc>(PI_SEL_CONTROL_NAME)(plug->handle, kBypass, 10, untouched, 0),
              PI_ErrBufferTooSmall);
    EXPECT_EQ(std::string(untouched, 4), "abcd");
}

TEST_P(ModuleControls, ValueTextsFitTheDisplayWidth) {
    const int32_t minus20 = plug->FromNumber(kIn, -20.0);
    const struct {
        int control;
        int32_t value, width, size;
        const char* text;
    } cases[] = {
        {kBypass, kOn, 8, 64, "On"},      {kBypass, kOff, 8, 64, "Off"},   {kBypass, kOn, 2, 64, "On"},
        {kBypass, kOff, 2, 64, "Of"},     {kBypass, kOn, 1, 64, "1"},      {kBypass, kOff, 1, 64, "0"},
        {kDeep, kOn, 8, 64, "on"},        {kDeep, kOff, 8, 64, "off"},     {kPower, kOff, 2, 64, "of"},
        {kIn, minus20, 31, 64, "-20.0"},  {kIn, minus20, 5, 64, "-20.0"},  {kIn, minus20, 4, 64, "-20"},
        {kIn, minus20, 3, 64, "-20"},     {kIn, minus20, 2, 64, "* "},     {kIn, minus20, 1, 64, "*"},
        {kIn, minus20, 31, 4, "-20"},  // the buffer's room decides
        {kOut, plug->FromNumber(kOut, 3.5), 31, 64, "3.5"},
        {kOut, plug->FromNumber(kOut, -0.04), 31, 64, "0.0"},  // no negative zero
        {kOut, plug->FromNumber(kOut, 20.0), 31, 64, "20.0"},
        {kIn, 0, 31, 64, "0.0"},
        {kIn, minus20, 0, 64, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(c.control, c.value, c.width, c.size), c.text)
            << c.control << " value " << c.value << " width " << c.width << " size " << c.size;
}

TEST_P(ModuleControls, TypedTextBecomesTheValueItStandsForOrIsRejected) {
    const int32_t rejected = 1234567;  // what a rejected text leaves in the out value
    const struct {
        int control;
        const char* text;
        PI_Status status;
        double number;  // the value it stands for, in the control's units
    } cases[] = {
        {kIn, "3.5", PI_NoErr, 3.5},      {kIn, " -7.25", PI_NoErr, -7.25},  {kIn, "12 ", PI_NoErr, 12},
        {kIn, "12", PI_NoErr, 12},        {kIn, "3.5k", PI_NoErr, 20},       {kIn, "-3.5 k", PI_NoErr, -20},
        {kIn, "12m", PI_ErrRejectedText, 0},  // below the prefixes the control offers
        {kIn, "3.5 dB", PI_ErrRejectedText, 0},   {kIn, "12 k x", PI_ErrRejectedText, 0},
        {kIn, "12 34", PI_ErrRejectedText, 0},    {kIn, "12K", PI_ErrRejectedText, 0},
        {kIn, "abc", PI_ErrRejectedText, 0},      {kIn, "", PI_ErrRejectedText, 0},
        {kBypass, "ON", PI_NoErr, 1},     {kBypass, "on", PI_NoErr, 1},      {kBypass, "Off", PI_NoErr, 0},
        {kBypass, "x", PI_NoErr, 0},      {kBypass, "1", PI_NoErr, 0},       {kBypass, "", PI_NoErr, 0},
        {kDeep, "o", PI_NoErr, 0},        {kDeep, "on", PI_NoErr, 1},        {kDeep, "ON", PI_NoErr, 1},
        {kDeep, "of", PI_NoErr, 0},       {kDeep, "2", PI_NoErr, 1},         {kDeep, "-3", PI_NoErr, 0},
        {kDeep, "1", PI_NoErr, 1},        {kPower, "x", PI_NoErr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("control ") + std::to_string(c.control) + " '" + c.text + "'");
        const std::vector<unsigned char> before = plug->Chunk();
        const int32_t valueBefore = plug->Value(c.control);
        int32_t value = rejected;
        EXPECT_EQ(ForText(c.control, c.text, &value), c.status);
        if (c.status == PI_NoErr) {
            EXPECT_EQ(value, plug->FromNumber(c.control, c.number));
        } else {
            EXPECT_EQ(value, rejected);
        }
        // Reading a text sets nothing.
        EXPECT_EQ(plug->Value(c.control), valueBefore);
        EXPECT_EQ(plug->Chunk(), before);
    }
    int32_t value = rejected;
    EXPECT_EQ(ForText(kIn, nullptr, &value), PI_ErrNullPointer);
    EXPECT_EQ(ForText(kIn, "1", nullptr), PI_ErrNullPointer);
    EXPECT_EQ(value, rejected);
}

TEST_P(ModuleControls, LongTypedTextsAreReadWithoutHarm) {
    const std::vector<std::string> texts = {
        std::string(300, 'o'), "on" + std::string(300, ' '), std::string(5000, '9'), "-" + std::string(5000, '9'),
        "3.5" + std::string(1000, ' '), std::string(1000, 'k'), std::string(255, 'O') + "n", "0." + std::string(400, '0') + "1",
    };
    for (int c = 1; c <= kControlCount; ++c) {
        for (const std::string& text : texts) {
            SCOPED_TRACE(std::to_string(c) + " " + text.substr(0, 12) + "... (" + std::to_string(text.size()) + ")");
            const int32_t before = plug->Value(c);
            int32_t value = 1234567;
            const PI_Status status = ForText(c, text.c_str(), &value);
            EXPECT_TRUE(status == PI_NoErr || status == PI_ErrRejectedText) << status;
            if (status == PI_NoErr) {
                double number = 0;
                EXPECT_EQ(plug->Routine<PI_ControlToNumberProc>(PI_SEL_CONTROL_TO_NUMBER)(plug->handle, c, value, &number),
                          PI_NoErr);
                EXPECT_TRUE(std::isfinite(number));
            }
            EXPECT_EQ(plug->Value(c), before);
        }
    }
    // Too long to be a value text of a switch: read by the number rule.
    int32_t value = 0;
    EXPECT_EQ(ForText(kDeep, std::string(300, 'o').c_str(), &value), PI_NoErr);
    EXPECT_EQ(value, kOff);
    EXPECT_EQ(ForText(kIn, "0.00000000000000000000000000000001", &value), PI_NoErr);
    EXPECT_EQ(value, plug->FromNumber(kIn, 1e-32));
}

TEST_P(ModuleControls, EachClassAcceptsItsOwnCharacters) {
    const struct {
        int control;
        const char* yes;
        const char* no;
    } cases[] = {
        {kBypass, "0123456789+-.:|Ono", "fFNxk E"},
        {kIn, "0123456789.+-kMGTPE", "mupnfdBe x:|"},
        {kDeep, "0123456789offonxyz ~!", ""},
    };
    for (const auto& c : cases) {
        for (const char* p = c.yes; *p != '\0'; ++p) EXPECT_TRUE(Accepts(c.control, *p)) << c.control << " " << *p;
        for (const char* p = c.no; *p != '\0'; ++p) EXPECT_FALSE(Accepts(c.control, *p)) << c.control << " " << *p;
        for (int32_t code : {8, 28, 29}) EXPECT_TRUE(Accepts(c.control, code)) << c.control << " " << code;
    }
    EXPECT_FALSE(Accepts(kDeep, 30));
    EXPECT_FALSE(Accepts(kDeep, 31));
}

TEST_P(ModuleControls, ValuesTheHostSetsReachTheParameters) {
    const struct {
        int control;
        int32_t value;
        double param;  // what the parameter then holds
    } cases[] = {
        {kDeep, kOn, 1},  {kDeep, 0, 1},  {kDeep, -1, 0},  {kDeep, kOff, 0},  {kDeep, 100, 1},
        {kPower, kOff, 0}, {kPower, kOn, 1},
        {kNegative, kOn, 1}, {kDualMono, kOn, 1}, {kRelaxed, kOn, 1},
        {kIn, kOn, 20},   {kIn, kOff, -20}, {kOut, kOn, 20},  {kOut, kOff, -20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + " = " + std::to_string(c.value));
        std::vector<double> expected = Params();
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(kParamCount));
        expected[static_cast<std::size_t>(c.control - 2)] = c.param;
        EXPECT_EQ(plug->Set(c.control, c.value), PI_NoErr);
        EXPECT_EQ(Params(), expected);
        EXPECT_EQ(plug->Number(c.control), c.param);
    }
    // A knob value between the steps: the parameter holds what the control
    // carries, exactly.
    for (double number : {7.3, -0.05, 13.37, -19.99}) {
        plug->SetNumber(kIn, number);
        EXPECT_EQ(Params()[0], plug->Number(kIn)) << number;
        EXPECT_NEAR(Params()[0], number, 1e-8) << number;
    }
}

TEST_P(ModuleControls, TheHostsBypassIsTheMasterBypassControl) {
    const auto getBypass = plug->Routine<PI_InstanceGetIntProc>(PI_SEL_GET_BYPASS);
    const std::vector<double> params = Params();
    int32_t on = -1;
    EXPECT_EQ(getBypass(plug->handle, &on), PI_NoErr);
    EXPECT_EQ(on, 0);

    EXPECT_EQ(plug->SetBypass(true), PI_NoErr);
    EXPECT_EQ(plug->Value(kBypass), kOn);
    EXPECT_EQ(getBypass(plug->handle, &on), PI_NoErr);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(plug->SetBypass(false), PI_NoErr);
    EXPECT_EQ(plug->Value(kBypass), kOff);
    EXPECT_EQ(getBypass(plug->handle, &on), PI_NoErr);
    EXPECT_EQ(on, 0);

    // Set as a control, the bypass is on exactly when the control reads above 0.
    for (int32_t value : {kOn, 1, 0, -1, kOff, 123456789, -123456789}) {
        EXPECT_EQ(plug->Set(kBypass, value), PI_NoErr);
        EXPECT_EQ(getBypass(plug->handle, &on), PI_NoErr);
        EXPECT_EQ(on, plug->Value(kBypass) > 0 ? 1 : 0) << value;
    }
    // It is no parameter: the state never sees it.
    EXPECT_EQ(Params(), params);
}

// A host with its callbacks connected: it records what the module tells it
// and, as a host with automation does, answers a value with PI_SetControlValue.
struct RecordingHost {
    struct Call {
        PI_Instance instance;
        int32_t control;
        int32_t value;
    };
    PI_ControlSetIntProc setControl = nullptr;
    bool echo = true;
    std::vector<Call> values;
    int touched = 0;
    int released = 0;

    PI_HostCallbacks Callbacks() {
        PI_HostCallbacks callbacks{};
        callbacks.context = this;
        callbacks.setControlValue = [](void* context, PI_Instance instance, int32_t control, int32_t value) {
            auto* self = static_cast<RecordingHost*>(context);
            self->values.push_back({instance, control, value});
            if (self->echo) {
                EXPECT_EQ(self->setControl(instance, control, value), PI_NoErr);
            }
        };
        callbacks.controlTouched = [](void* context, PI_Instance, int32_t) {
            ++static_cast<RecordingHost*>(context)->touched;
        };
        callbacks.controlReleased = [](void* context, PI_Instance, int32_t) {
            ++static_cast<RecordingHost*>(context)->released;
        };
        return callbacks;
    }
};

TEST_P(ModuleControls, WithHostCallbacksARestoredStateIsReportedAndTheEchoKeepsIt) {
    const auto setCallbacks = plug->Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS);
    plug->SetNumber(kIn, 6.5);
    plug->SetNumber(kOut, -3.2);
    EXPECT_EQ(plug->Set(kRelaxed, kOn), PI_NoErr);
    EXPECT_EQ(plug->Set(kPower, kOff), PI_NoErr);
    const std::vector<unsigned char> saved = plug->Chunk();
    const std::vector<double> savedParams = StateValues(saved);
    plug->SetNumber(kIn, -12.0);
    EXPECT_EQ(plug->Set(kRelaxed, kOff), PI_NoErr);
    EXPECT_EQ(plug->Set(kPower, kOn), PI_NoErr);

    for (bool echo : {true, false}) {
        SCOPED_TRACE(echo ? "echoing host" : "silent host");
        RecordingHost recorder;
        recorder.setControl = plug->Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE);
        recorder.echo = echo;
        const PI_HostCallbacks callbacks = recorder.Callbacks();
        ASSERT_EQ(setCallbacks(plug->handle, &callbacks), PI_NoErr);

        // What the host sets itself is not told back to it.
        plug->SetNumber(kOut, 9.0);
        EXPECT_TRUE(recorder.values.empty());
        EXPECT_EQ(Params()[1], plug->Number(kOut));

        // A restored state is: one value per parameter control, in order, each
        // the control value of the restored parameter.
        ASSERT_EQ(plug->Restore(saved), PI_NoErr);
        ASSERT_EQ(recorder.values.size(), static_cast<std::size_t>(kParamCount));
        for (int i = 0; i < kParamCount; ++i) {
            EXPECT_EQ(recorder.values[i].instance, plug->handle);
            EXPECT_EQ(recorder.values[i].control, i + 2);
            EXPECT_EQ(recorder.values[i].value, plug->FromNumber(i + 2, savedParams[i])) << i;
            EXPECT_EQ(plug->Value(i + 2), recorder.values[i].value) << i;
        }
        EXPECT_EQ(recorder.touched, 0);
        EXPECT_EQ(recorder.released, 0);
        EXPECT_EQ(plug->Chunk(), saved);
        EXPECT_EQ(plug->Matches(saved), 1);

        ASSERT_EQ(setCallbacks(plug->handle, nullptr), PI_NoErr);
        plug->SetNumber(kIn, -12.0);
    }

    // Disconnected again: a restore applies without telling anyone.
    ASSERT_EQ(plug->Restore(saved), PI_NoErr);
    EXPECT_EQ(plug->Chunk(), saved);
}

TEST_P(ModuleControls, AHostAnsweringWithItsOwnValueHasTheLastWord) {
    // A host whose automation overrides what the plug-in reported: it answers
    // every reported value with the control's bottom.
    struct OverridingHost {
        PI_ControlSetIntProc setControl;
    } overriding{plug->Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE)};
    PI_HostCallbacks callbacks{};
    callbacks.context = &overriding;
    callbacks.setControlValue = [](void* context, PI_Instance instance, int32_t control, int32_t) {
        static_cast<OverridingHost*>(context)->setControl(instance, control, kOff);
    };
    plug->SetNumber(kIn, 6.5);
    const std::vector<unsigned char> saved = plug->Chunk();
    ASSERT_EQ(plug->Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS)(plug->handle, &callbacks), PI_NoErr);
    ASSERT_EQ(plug->Restore(saved), PI_NoErr);
    const std::vector<double> params = Params();
    EXPECT_EQ(params, (std::vector<double>{-20, -20, 0, 0, 0, 0, 0}));
    for (int c = kIn; c <= kPower; ++c) EXPECT_EQ(plug->Value(c), kOff) << c;
}

TEST_P(ModuleControls, AHostMayDestroyTheInstanceFromItsCallback) {
    // The host destroys the instance at the first value the restore reports;
    // the restore runs to its end on the instance it started with, but from
    // the moment the destroy answers, nothing more is reported for the
    // withdrawn handle.
    struct DestroyingHost {
        PI_InstanceProc destroy;
        int calls = 0;
    } destroying{plug->Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE)};
    PI_HostCallbacks callbacks{};
    callbacks.context = &destroying;
    callbacks.setControlValue = [](void* context, PI_Instance instance, int32_t, int32_t) {
        auto* self = static_cast<DestroyingHost*>(context);
        if (self->calls++ == 0) {
            EXPECT_EQ(self->destroy(instance), PI_NoErr);
        }
    };
    plug->SetNumber(kIn, 3.0);
    const std::vector<unsigned char> saved = plug->Chunk();
    ASSERT_EQ(plug->Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS)(plug->handle, &callbacks), PI_NoErr);
    EXPECT_EQ(plug->Restore(saved), PI_NoErr);
    EXPECT_EQ(destroying.calls, 1);
    int32_t count = -5;
    EXPECT_EQ(plug->Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(plug->handle, &count), PI_ErrBadInstance);
    plug->handle = 0;  // gone already
}

TEST_P(ModuleControls, AHostMayCloseTheModuleFromItsCallback) {
    struct ClosingHost {
        HostProcess* host;
        int calls = 0;
    } closing{&host};
    PI_HostCallbacks callbacks{};
    callbacks.context = &closing;
    callbacks.setControlValue = [](void* context, PI_Instance, int32_t, int32_t) {
        auto* self = static_cast<ClosingHost*>(context);
        if (self->calls++ == 0) {
            EXPECT_EQ(self->host->EngineClose(), 0);
        }
    };
    const std::vector<unsigned char> saved = plug->Chunk();
    ASSERT_EQ(plug->Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS)(plug->handle, &callbacks), PI_NoErr);
    EXPECT_EQ(plug->Restore(saved), PI_NoErr);
    EXPECT_FALSE(host.IsOpen());
    int32_t count = -5;
    EXPECT_EQ(plug->Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(plug->handle, &count), PI_ErrNotOpen);
    ASSERT_EQ(host.EngineOpen(), 0);
    EXPECT_EQ(plug->Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(plug->handle, &count), PI_ErrBadInstance);
    plug->handle = 0;
}

TEST_P(ModuleControls, HostGesturesAreTakenForEveryControl) {
    const auto touched = plug->Routine<PI_ControlProc>(PI_SEL_CONTROL_TOUCHED);
    const auto released = plug->Routine<PI_ControlProc>(PI_SEL_CONTROL_RELEASED);
    for (int c = 1; c <= kControlCount; ++c) {
        EXPECT_EQ(touched(plug->handle, c), PI_NoErr) << c;
        EXPECT_EQ(released(plug->handle, c), PI_NoErr) << c;
    }
    EXPECT_EQ(touched(plug->handle, kControlCount + 1), PI_ErrBadIndex);
    EXPECT_EQ(released(plug->handle, 0), PI_ErrBadIndex);
}

}  // namespace
