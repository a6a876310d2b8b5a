#include "hostlib/CPluginControl_Linear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "GuardedText.h"

using hostlib_test::Type;
using hostlib_test::ValueText;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kLargest = std::numeric_limits<double>::max();

CPluginControl_Linear Control(double minimum, double maximum, double step = 1.0, double defaultValue = 0.0) {
    return CPluginControl_Linear(0x206C6420, "In", minimum, maximum, step, defaultValue, true,
                                 CSIPrefixTable::kUnityToExa);
}

// A gain knob of the compressor as the bridge builds its host control.
const CPluginControl_Linear kKnob = Control(-20.0, 20.0, 0.1);
const double kKnobHalfStep = 40.0 / 4294967295.0 / 2.0;  // 4.66e-9 dB

}  // namespace

// Each of the 401 values a knob takes (-20 to 20 dB in steps of 0.1, however
// the step was computed) survives value -> control value -> value within half
// a control step, 4.66e-9 dB: not bit-exact (0 dB comes back as 4.66e-9 dB),
// but it shows the same text, snaps back onto its own step exactly, and its
// text typed back gives the very same control value.
TEST(CPluginControl_Linear, EveryKnobStepSurvivesTheControlValue) {
    for (int n = -200; n <= 200; ++n) {
        for (const double v : {n * 0.1, n / 10.0, -20.0 + (n + 200) * 0.1}) {
            const int32_t c = kKnob.ControlValueFromValue(v);
            const double back = kKnob.ValueFromControlValue(c);
            EXPECT_LE(std::fabs(back - v), kKnobHalfStep * (1.0 + 1e-6)) << v;
            EXPECT_EQ(std::floor(back / 0.1 + 0.5) * 0.1, n * 0.1) << v;
            EXPECT_EQ(kKnob.ControlValueFromValue(back), c) << v;

            char expected[16];
            std::snprintf(expected, sizeof expected, "%.1f", n / 10.0);
            const std::string text = ValueText(kKnob, 10, c);
            EXPECT_EQ(text, expected);
            const hostlib_test::Typed typed = Type(kKnob, text.c_str());
            EXPECT_EQ(typed.status, CPluginControl::kNoError);
            if (v == n / 10.0) {
                EXPECT_EQ(typed.controlValue, c) << text;
            }
        }
    }
    EXPECT_EQ(kKnob.ControlValueFromValue(0.0), 0);
    EXPECT_NEAR(kKnob.ValueFromControlValue(0), 4.66e-9, 0.01e-9);
    EXPECT_EQ(kKnob.ValueFromControlValue(CPluginControl::kBottom), -20.0);
    EXPECT_EQ(kKnob.ValueFromControlValue(CPluginControl::kTop), 20.0);
    EXPECT_EQ(kKnob.StepCount(), 401);
}

// control value -> value -> control value exactly, and value -> control value
// -> value within half a step, from narrow ranges to ranges whose span (or
// span times 2^32) leaves the doubles.
TEST(CPluginControl_Linear, RoundTripsInEveryRange) {
    std::vector<int32_t> samples = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
    for (int64_t c = INT32_MIN; c <= INT32_MAX; c += 65521) samples.push_back(static_cast<int32_t>(c));
    std::sort(samples.begin(), samples.end());
    const double ranges[][2] = {{-20, 20}, {0, 1}, {1e-9, 2e-9}, {20, 20000}, {-1e300, 1e300},
                                {-kLargest, kLargest}, {0, kLargest}};
    for (const auto& r : ranges) {
        CPluginControl_Linear control = Control(r[0], r[1]);
        double previous = -kInf;
        for (int32_t c : samples) {
            const double v = control.ValueFromControlValue(c);
            ASSERT_TRUE(v >= r[0] && v <= r[1]) << c;
            EXPECT_GE(v, previous) << c;
            previous = v;
            control.SetFromControlValue(c);
            EXPECT_EQ(control.CurrentControlValue(), c) << r[0] << ".." << r[1];
        }
        const double halfStep = r[1] / 4294967295.0 / 2.0 - r[0] / 4294967295.0 / 2.0;
        for (int i = 0; i <= 1000; ++i) {
            const double v = r[0] * (1.0 - i / 1000.0) + r[1] * (i / 1000.0);
            const double back = control.ValueFromControlValue(control.ControlValueFromValue(v));
            EXPECT_LE(std::fabs(back - v), halfStep * 1.001 + std::fabs(v) * 1e-15) << v;
        }
    }
}

TEST(CPluginControl_Linear, ValuesOutsideTheRangeNotNumbersAndDegenerateRanges) {
    const struct { double value; int32_t control; } cases[] = {
        {-20.0001, CPluginControl::kBottom}, {20.0001, CPluginControl::kTop}, {-kInf, CPluginControl::kBottom},
        {kInf, CPluginControl::kTop},        {std::nan(""), CPluginControl::kBottom},
    };
    for (const auto& c : cases) EXPECT_EQ(kKnob.ControlValueFromValue(c.value), c.control) << c.value;
    EXPECT_EQ(Control(-20, 20, 0.1, std::nan("")).CurrentControlValue(), CPluginControl::kBottom);
    EXPECT_EQ(Control(-20, 20, 0.1, 99.0).Value(), 20.0);
    EXPECT_NEAR(Control(-20, 20, 0.1, 6.0).Value(), 6.0, kKnobHalfStep);

    for (const CPluginControl_Linear& one : {Control(5, 5), Control(5, 2)}) {
        EXPECT_EQ(one.Maximum(), 5.0);
        for (double v : {-1.0, 5.0, std::nan("")}) EXPECT_EQ(one.ControlValueFromValue(v), CPluginControl::kBottom);
        for (int32_t c : {INT32_MIN, 0, INT32_MAX}) EXPECT_EQ(one.ValueFromControlValue(c), 5.0);
    }
    // Bounds are made finite and ordered.
    const struct { double lo, hi, minimum, maximum; } bounds[] = {
        {std::nan(""), 3, 0, 3}, {-3, std::nan(""), -3, 0}, {-kInf, kInf, -kLargest, kLargest}, {kInf, -kInf, kLargest, kLargest},
    };
    for (const auto& b : bounds) {
        const CPluginControl_Linear control = Control(b.lo, b.hi);
        EXPECT_EQ(control.Minimum(), b.minimum);
        EXPECT_EQ(control.Maximum(), b.maximum);
    }
}

TEST(CPluginControl_Linear, StepCount) {
    const struct { double minimum, maximum, step; int32_t steps; } cases[] = {
        {-20, 20, 0.1, 401},   {0, 1, 0.5, 3},        {0, 1, 3, 1},             {0, 0, 1, 1},
        {0, 1e12, 1e-3, INT32_MAX}, {0, 1, kInf, 1},  {0, 1, 0, INT32_MAX},     {0, 1, -0.1, INT32_MAX},
        {0, 1, std::nan(""), INT32_MAX}, {-kLargest, kLargest, 1, INT32_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Control(c.minimum, c.maximum, c.step).StepCount(), c.steps) << c.maximum << " step " << c.step;
}

TEST(CPluginControl_Linear, KnobTextsAndTypedTexts) {
    EXPECT_EQ(ValueText(kKnob, 10, kKnob.ControlValueFromValue(-0.04)), "0.0");
    const struct { const char* text; bool accepted; double value; } typed[] = {
        {"3.5", true, 3.5},  {"12", true, 12},    {"3.5k", true, 20}, {"-1e9", true, -20}, {"inf", true, 20},
        {"3.5 dB", false, 0}, {"12 k x", false, 0}, {"12 34", false, 0}, {"nan", false, 0},
    };
    for (const auto& c : typed) {
        const hostlib_test::Typed t = Type(kKnob, c.text);
        EXPECT_EQ(t.status, c.accepted ? CPluginControl::kNoError : CPluginControl::kErrorTextRejected) << c.text;
        if (c.accepted) {
            EXPECT_NEAR(kKnob.ValueFromControlValue(t.controlValue), c.value, kKnobHalfStep * 1.001);
        }
    }
}
