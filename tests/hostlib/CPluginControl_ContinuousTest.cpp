#include "hostlib/CPluginControl_Continuous.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>

#include "GuardedText.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int32_t kProbeControlValue = 12345;

// A continuous control whose conversions the test sets: every control value
// shows `shown`, and ControlValueFromValue keeps the value a typed text gave.
// So the text rules are seen without any conversion rounding.
class ProbeControl : public CPluginControl_Continuous {
public:
    explicit ProbeControl(CSIPrefixTable::Range prefixes = CSIPrefixTable::kUnityToExa, const char* unit = "",
                          int32_t decimals = 1)
        : CPluginControl_Continuous(1, "Probe", -1e30, 1e30, 0.0, true, prefixes) {
        SetUnit(unit);
        SetDecimals(decimals);
    }
    int32_t StepCount() const override { return 1; }
    int32_t ControlValueFromValue(double value) const override {
        typed = value;
        return kProbeControlValue;
    }
    double ValueFromControlValue(int32_t) const override { return shown; }

    double shown = 0.0;
    mutable double typed = 0.0;
};

std::string Shown(ProbeControl& control, double value, int32_t width) {
    control.shown = value;
    return hostlib_test::ValueText(control, width, 0);
}

// The value a typed text stands for; NaN when it is rejected.
double Typed(const ProbeControl& control, const std::string& text) {
    const hostlib_test::Typed typed = hostlib_test::Type(control, text.c_str());
    if (typed.status != CPluginControl::kNoError) {
        EXPECT_EQ(typed.status, CPluginControl::kErrorTextRejected) << text;
        return std::nan("");
    }
    EXPECT_EQ(typed.controlValue, kProbeControlValue);
    return control.typed;
}

const double kRejected = std::nan("");

}  // namespace

TEST(CPluginControl_Continuous, ValueTexts) {
    const auto none = CSIPrefixTable::kNoPrefixes, bridge = CSIPrefixTable::kUnityToExa, all = CSIPrefixTable::kAll;
    const struct {
        CSIPrefixTable::Range prefixes;
        const char* unit;
        int32_t decimals;
        double value;
        int32_t width;
        const char* text;
    } cases[] = {
        // The bridge's controls: one decimal, no unit, no prefix up to 1000.
        {bridge, "", 1, 3.5, 10, "3.5"},      {bridge, "", 1, -20, 10, "-20.0"}, {bridge, "", 1, -20, 3, "-20"},
        {bridge, "", 1, -20, 2, "* "},        {bridge, "", 1, -20, 1, "*"},      {bridge, "", 1, -20, 0, ""},
        {bridge, "", 1, 1000, 10, "1000.0"},  {bridge, "", 1, 1500, 10, "1.5k"}, {bridge, "", 1, -2.5e6, 10, "-2.5M"},
        {bridge, "", 1, 1e21, 10, "1000.0E"}, {bridge, "", 1, 1234.5, 3, "1k"},  {bridge, "", 1, 1234.5, 1, "*"},
        // No negative zero, also where fewer decimals round to zero.
        {bridge, "", 1, -0.04, 10, "0.0"},    {bridge, "", 1, -0.06, 10, "0.0"}, {bridge, "", 1, -0.1, 10, "-0.1"},
        {bridge, "", 1, -0.0, 10, "0.0"},     {bridge, "", 1, -0.4, 3, "0"},     {bridge, "", 1, -0.6, 3, "-1"},
        {bridge, "", 3, -0.004, 2, "0"},      {bridge, "", 0, 2.5, 9, "2"},
        // Units, with and without room.
        {bridge, "Hz", 1, 2500, 7, "2.5 kHz"}, {bridge, "Hz", 1, 2500, 6, "2.5kHz"}, {bridge, "Hz", 1, 2500, 5, "2.5k"},
        {bridge, "Hz", 1, 1.2e8, 3, "*M"},    {bridge, "Hz", 1, 1e30, 5, "* EHz"}, {bridge, "Hz", 1, 1e30, 4, "*EHz"},
        {none, "dB", 1, -20, 8, "-20.0 dB"},  {none, "dB", 1, -20, 5, "-20.0"},  {none, "dB", 1, -20, 2, "*"},
        // The whole table: small values take the small prefixes.
        {all, "s", 1, 0.5, 10, "500.0 ms"},   {all, "s", 1, 2e-6, 10, "2.0 us"}, {all, "s", 1, 1e-20, 9, "0.0 s"},
        // Decimals are limited to 0..20.
        {bridge, "", 1000, 0.25, 40, "0.25000000000000000000"}, {bridge, "", 1000, 0.25, 4, "0.25"},
        {bridge, "", -3, 3.5, 9, "4"},
    };
    for (const auto& c : cases) {
        ProbeControl control(c.prefixes, c.unit, c.decimals);
        EXPECT_EQ(Shown(control, c.value, c.width), c.text) << c.value << c.unit << " at " << c.width;
    }
}

TEST(CPluginControl_Continuous, TypedTexts) {
    const auto none = CSIPrefixTable::kNoPrefixes, bridge = CSIPrefixTable::kUnityToExa, all = CSIPrefixTable::kAll;
    const CSIPrefixTable::Range kiloUp{CSIPrefixTable::kKilo, CSIPrefixTable::kCount};
    const struct {
        CSIPrefixTable::Range prefixes;
        const char* unit;
        const char* text;
        double value;
    } cases[] = {
        {bridge, "", "3.5", 3.5},      {bridge, "", "  3.5k", 3500}, {bridge, "", "3.5\tk \n", 3500},
        {bridge, "", "+2", 2},         {bridge, "", "-1.5M", -1.5e6}, {bridge, "", "1e3", 1000},
        {bridge, "", ".5", 0.5},       {bridge, "", "2E", 2e18},     {bridge, "", "1e999", kInf},
        {bridge, "", "-1e999", -kInf}, {bridge, "", "1e-999", 0},
        {bridge, "", "", kRejected},   {bridge, "", "k", kRejected},  {bridge, "", "3.5 dB", kRejected},
        {bridge, "", "12 k x", kRejected}, {bridge, "", "12 34", kRejected}, {bridge, "", "3.5K", kRejected},
        {bridge, "", "3.5 m", kRejected}, {bridge, "", "nan", kRejected}, {bridge, "", "+-3", kRejected},
        {bridge, "", "0x10", kRejected},
        {bridge, "Hz", "2.5 kHz", 2500}, {bridge, "Hz", "2.5Hz", 2.5}, {bridge, "Hz", "2.5 k", 2500},
        {bridge, "Hz", "2.5 kHzHz", kRejected}, {bridge, "Hz", "2.5 hz", kRejected}, {bridge, "Hz", "2.5 k Hz", kRejected},
        {none, "", "12k", kRejected},  {none, "dB", "-3dB", -3},      {kiloUp, "", "12", kRejected},
        {kiloUp, "", "12k", 12000},    {all, "s", "5ms", 0.005},      {{-7, 99}, "", "5 f", 5e-15},
        {{9, 3}, "", "5", 5},
    };
    for (const auto& c : cases) {
        const double typed = Typed(ProbeControl(c.prefixes, c.unit), c.text);
        if (std::isnan(c.value)) {
            EXPECT_TRUE(std::isnan(typed)) << '"' << c.text << "\" gave " << typed;
        } else {
            EXPECT_DOUBLE_EQ(typed, c.value) << '"' << c.text << '"';
        }
    }
}

// value -> text -> value: the text reads back as the number it shows.
TEST(CPluginControl_Continuous, ShownTextReadsBackAsTheShownNumber) {
    ProbeControl control(CSIPrefixTable::kUnityToExa, "Hz", 3);
    for (double v : {0.0, 1.25, -7.5, 999.875, 1500.0, -2.5e6, 7.125e9, 1e18, 3.5e21})
        for (int32_t width : {6, 9, 30}) {
            const std::string text = Shown(control, v, width);
            const double back = Typed(control, text);
            EXPECT_EQ(Shown(control, back, width), text);
            if (width == 30) {
                EXPECT_DOUBLE_EQ(back, v) << text;
            }
        }
}

TEST(CPluginControl_Continuous, AcceptedCharacters) {
    const ProbeControl hertz(CSIPrefixTable::kUnityToExa, "Hz");
    for (int32_t code : std::initializer_list<int32_t>{'0', '9', '.', '+', '-', 8, 28, 29, 'k', 'E', 'H', 'z'})
        EXPECT_TRUE(hertz.AcceptsCharacter(code)) << code;
    // Codes beyond a byte must not alias a character, nor 0 the terminator.
    for (int32_t code : std::initializer_list<int32_t>{'m', 'e', ' ', 0, 30, 256 + 'k', 512 + 'H', -1, INT32_MIN})
        EXPECT_FALSE(hertz.AcceptsCharacter(code)) << code;
    EXPECT_FALSE(ProbeControl(CSIPrefixTable::kNoPrefixes).AcceptsCharacter('k'));
    EXPECT_TRUE(ProbeControl(CSIPrefixTable::kAll, "\xB5s").AcceptsCharacter(0xB5));
}
