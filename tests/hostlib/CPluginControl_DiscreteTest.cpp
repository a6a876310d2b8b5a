#include "hostlib/CPluginControl_Discrete.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "GuardedText.h"

using hostlib_test::Type;
using hostlib_test::ValueText;

namespace {

struct Range {
    int32_t minimum;
    int32_t maximum;
    bool exact;  // narrower than 2^31: every integer comes back exactly
};

// From a switch to the whole 32-bit range; most differences overflow 32 bits.
const Range kRanges[] = {
    {0, 1, true},          {0, 2, true},           {-20, 20, true},          {-5, -3, true},
    {0, 1000000, true},    {0, INT32_MAX, true},   {INT32_MIN, -1, true},    {INT32_MAX - 2, INT32_MAX, true},
    {INT32_MIN, INT32_MAX, false}, {-1, INT32_MAX, false},
};

// Every integer of a small range, a spread sample of a large one.
std::vector<int32_t> Integers(const Range& r) {
    std::vector<int32_t> out;
    const int64_t span = int64_t{r.maximum} - r.minimum;
    for (int64_t v = r.minimum; v <= r.maximum; v += std::max<int64_t>(1, span / 2000))
        out.push_back(static_cast<int32_t>(v));
    out.push_back(r.maximum);
    return out;
}

int32_t ValueTyped(const CPluginControl_Discrete& control, const char* text) {
    const hostlib_test::Typed typed = Type(control, text);
    EXPECT_EQ(typed.status, CPluginControl::kNoError) << text;
    return control.IntegerFromControlValue(typed.controlValue);
}

}  // namespace

// integer -> control value -> integer, and -> text -> control value -> integer.
TEST(CPluginControl_Discrete, IntegersRoundTrip) {
    for (const Range& r : kRanges) {
        const CPluginControl_Discrete control(1, "x", r.minimum, r.maximum, r.minimum, true);
        EXPECT_EQ(control.ControlValueFromInteger(r.minimum), CPluginControl::kBottom);
        EXPECT_EQ(control.ControlValueFromInteger(r.maximum), CPluginControl::kTop);
        EXPECT_EQ(control.IntegerFromControlValue(CPluginControl::kTop), r.maximum);
        int32_t previous = CPluginControl::kBottom;
        for (int32_t v : Integers(r)) {
            const int32_t c = control.ControlValueFromInteger(v);
            const int64_t back = control.IntegerFromControlValue(c);
            if (r.exact) {
                EXPECT_EQ(back, v) << r.minimum << ".." << r.maximum;
            } else {
                EXPECT_LE(std::abs(back - v), 1) << v;  // a control step is worth about an integer
            }
            EXPECT_GE(c, previous) << v;
            previous = c;
            EXPECT_EQ(ValueTyped(control, ValueText(control, 11, c).c_str()), back);
        }
    }
}

TEST(CPluginControl_Discrete, EveryControlValueIsHeldAsItsIntegersControlValue) {
    std::vector<int32_t> samples = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX};
    for (int64_t c = INT32_MIN; c <= INT32_MAX; c += 8388593) samples.push_back(static_cast<int32_t>(c));
    for (const Range& r : kRanges) {
        CPluginControl_Discrete control(1, "x", r.minimum, r.maximum, r.minimum, true);
        for (int32_t c : samples) {
            control.SetFromControlValue(c);
            EXPECT_GE(control.Value(), r.minimum);
            EXPECT_LE(control.Value(), r.maximum);
            EXPECT_EQ(control.Value(), control.IntegerFromControlValue(c));
            EXPECT_EQ(control.CurrentControlValue(), control.ControlValueFromInteger(control.Value()));
        }
    }
}

TEST(CPluginControl_Discrete, RoundingLimitsAndDegenerateRanges) {
    const CPluginControl_Discrete onOff(1, "x", 0, 1, 0, true);
    EXPECT_EQ(onOff.IntegerFromControlValue(-1), 0);  // on from control value 0 up
    EXPECT_EQ(onOff.IntegerFromControlValue(0), 1);
    EXPECT_EQ(CPluginControl_Discrete(1, "x", 0, 2, 0, true).ControlValueFromInteger(1), 0);  // -0.5 truncated
    const CPluginControl_Discrete limited(1, "x", -10, 100, 500, true);
    EXPECT_EQ(limited.Value(), 100);
    EXPECT_EQ(limited.ControlValueFromInteger(INT32_MIN), CPluginControl::kBottom);
    for (const CPluginControl_Discrete& one : {CPluginControl_Discrete(1, "x", 7, 7, 7, true),
                                               CPluginControl_Discrete(1, "x", 7, 3, 5, true)}) {
        EXPECT_EQ(one.Maximum(), 7);
        EXPECT_EQ(one.StepCount(), 1);
        EXPECT_EQ(one.ControlValueFromInteger(7), CPluginControl::kBottom);
        for (int32_t c : {INT32_MIN, 0, INT32_MAX}) EXPECT_EQ(one.IntegerFromControlValue(c), 7);
    }
    const struct { int32_t minimum, maximum, steps; } counts[] = {
        {0, 1, 2}, {0, 100, 101}, {INT32_MIN, INT32_MAX, INT32_MAX}, {-1, INT32_MAX, INT32_MAX}, {1, INT32_MAX, INT32_MAX},
    };
    for (const auto& c : counts)
        EXPECT_EQ(CPluginControl_Discrete(1, "x", c.minimum, c.maximum, 0, true).StepCount(), c.steps) << c.minimum;
}

TEST(CPluginControl_Discrete, TypedTextIsTheLeadingIntegerLimited) {
    const CPluginControl_Discrete control(1, "x", -10, 100, 0, true);
    const struct { const char* text; int32_t value; } cases[] = {
        {"42", 42}, {"  -3xyz", -3}, {"+7", 7}, {"12.9", 12}, {"0x1F", 0}, {"abc", 0}, {"", 0}, {"999", 100},
        {"-11", -10}, {"2147483648", 100}, {"99999999999999999999999", 100}, {"-99999999999999999999999", -10},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueTyped(control, c.text), c.value) << c.text;
}

TEST(CPluginControl_Discrete, ValueTextIsAStarWhenTooLong) {
    const struct { int32_t minimum, maximum, value, width; const char* text; } cases[] = {
        {0, 100, 100, 3, "100"}, {0, 100, 100, 2, "*"}, {0, 100, 100, 0, ""}, {-20, 20, -20, 3, "-20"},
        {-20, 20, -20, 1, "*"},  {INT32_MIN, INT32_MAX, INT32_MIN, 11, "-2147483648"},
        {INT32_MIN, INT32_MAX, INT32_MIN, 10, "*"},
    };
    for (const auto& c : cases) {
        const CPluginControl_Discrete control(1, "x", c.minimum, c.maximum, 0, true);
        EXPECT_EQ(ValueText(control, c.width, control.ControlValueFromInteger(c.value)), c.text) << c.value;
    }
}

TEST(CPluginControl_Discrete, AcceptedCharacters) {
    const CPluginControl_Discrete control(1, "x", 0, 100, 0, true);
    for (int32_t code : std::initializer_list<int32_t>{'0', '9', '+', '-', '.', ':', '|', 8, 28, 29})
        EXPECT_TRUE(control.AcceptsCharacter(code)) << code;
    for (int32_t code : std::initializer_list<int32_t>{'a', 'e', ',', ' ', 0, 30, 31, 256 + '1', -1})
        EXPECT_FALSE(control.AcceptsCharacter(code)) << code;
}
