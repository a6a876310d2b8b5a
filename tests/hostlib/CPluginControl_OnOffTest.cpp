#include "hostlib/CPluginControl_OnOff.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "GuardedText.h"

using hostlib_test::Type;
using hostlib_test::ValueText;

namespace {

// The master bypass as the bridge builds it.
const CPluginControl_OnOff kBypass(0x62797061, "Master Bypass\nMastrByp\nMByp\nByp", 0, true);

int32_t ValueTyped(const CPluginControl_OnOff& control, const std::string& text) {
    const hostlib_test::Typed typed = Type(control, text.c_str());
    EXPECT_EQ(typed.status, CPluginControl::kNoError) << text;
    return control.IntegerFromControlValue(typed.controlValue);
}

}  // namespace

TEST(CPluginControl_OnOff, ValueTextIsADigitBelowWidthTwoElseTheTextCut) {
    const struct { int32_t value, width; const char* text; } cases[] = {
        {1, 0, ""}, {1, 1, "1"}, {0, 1, "0"}, {1, 2, "On"}, {0, 2, "Of"}, {0, 3, "Off"}, {1, 40, "On"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueText(kBypass, c.width, kBypass.ControlValueFromInteger(c.value)), c.text) << c.width;
    EXPECT_EQ(kBypass.CurrentControlValue(), CPluginControl::kBottom);
}

TEST(CPluginControl_OnOff, TypedTextIsOnOnlyForTheOnText) {
    const struct { const char* text; int32_t value; } cases[] = {
        {"ON", 1}, {"on", 1}, {"oN", 1}, {"off", 0}, {"OFF", 0}, {"x", 0}, {"", 0}, {" on", 0}, {"o", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueTyped(kBypass, c.text), c.value) << '"' << c.text << '"';
}

TEST(CPluginControl_OnOff, OwnTextsRoundTripAndAreCutToTheirBuffers) {
    const CPluginControl_OnOff mute(1, "Mute", 1, false, "Muted", "Live");
    for (const CPluginControl_OnOff* control : {&kBypass, &mute})
        for (int32_t v : {0, 1}) {
            const int32_t c = control->ControlValueFromInteger(v);
            EXPECT_EQ(c, v ? CPluginControl::kTop : CPluginControl::kBottom);
            EXPECT_EQ(ValueTyped(*control, ValueText(*control, 10, c)), v) << control->OnText();
        }
    const CPluginControl_OnOff longText(1, "x", 0, true, std::string(400, 'y').c_str(), "");
    EXPECT_EQ(std::string(longText.OnText()), std::string(CPluginControl_OnOff::kTextSize - 1, 'y'));
    EXPECT_EQ(ValueText(longText, 2, CPluginControl::kBottom), "");
    EXPECT_EQ(ValueTyped(longText, longText.OnText()), 1);
}

TEST(CPluginControl_OnOff, AcceptedCharacters) {
    for (int32_t code : std::initializer_list<int32_t>{'O', 'n', 'o', '0', '1', '-', 8, 28, 29})
        EXPECT_TRUE(kBypass.AcceptsCharacter(code)) << code;
    for (int32_t code : std::initializer_list<int32_t>{'N', 'f', 'F', ' ', 0, 30, 256 + 'o'})
        EXPECT_FALSE(kBypass.AcceptsCharacter(code)) << code;
}
