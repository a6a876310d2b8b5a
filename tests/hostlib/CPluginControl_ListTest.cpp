#include "hostlib/CPluginControl_List.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "GuardedText.h"

using hostlib_test::Type;
using hostlib_test::ValueText;

namespace {

int32_t IndexTyped(const CPluginControl_List& control, const std::string& text) {
    const hostlib_test::Typed typed = Type(control, text.c_str());
    EXPECT_EQ(typed.status, CPluginControl::kNoError) << text;
    return control.IntegerFromControlValue(typed.controlValue);
}

const CPluginControl_List kSwitch(0x206C6422, "Deep", {"off", "on"}, 0, true);
const CPluginControl_List kModes(1, "Link", {"Stereo Link\nLink", "Dual Mono\nDual", "Mid Side\nM/S"}, 0, true);

}  // namespace

TEST(CPluginControl_List, TypedTextSelectsTheFirstTextItBegins) {
    const struct { const CPluginControl_List* control; const char* text; int32_t index; } cases[] = {
        {&kSwitch, "o", 0},  {&kSwitch, "OF", 0}, {&kSwitch, "on", 1},  {&kSwitch, "ON", 1},
        // No text matches: the leading integer, limited to the indices.
        {&kSwitch, "2", 1},  {&kSwitch, "-1", 0}, {&kSwitch, "x", 0},   {&kSwitch, " on", 0}, {&kSwitch, "", 0},
        {&kModes, "link", 0}, {&kModes, "dual mono", 1}, {&kModes, "d", 1}, {&kModes, "m/s", 2},
        // At width 3 the form "M/S" fits and is the one compared: "Mid" matches nothing.
        {&kModes, "Mid", 0}, {&kModes, "Mid Side", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(IndexTyped(*c.control, c.text), c.index) << '"' << c.text << '"';
}

TEST(CPluginControl_List, IndexRoundTripsThroughTheTextShownAtEveryWidth) {
    for (int32_t width = 1; width <= 12; ++width)
        for (int32_t index = 0; index < kModes.TextCount(); ++index) {
            const std::string text = ValueText(kModes, width, kModes.ControlValueFromInteger(index));
            EXPECT_EQ(IndexTyped(kModes, text), index) << '"' << text << "\" at " << width;
        }
    EXPECT_EQ(ValueText(kModes, 10, kModes.ControlValueFromInteger(0)), "Link");
    EXPECT_EQ(ValueText(kModes, 11, kModes.ControlValueFromInteger(0)), "Stereo Link");
    for (int32_t index : {0, 1}) {
        const int32_t c = kSwitch.ControlValueFromInteger(index);
        EXPECT_EQ(c, index ? CPluginControl::kTop : CPluginControl::kBottom);
        EXPECT_EQ(IndexTyped(kSwitch, ValueText(kSwitch, 3, c)), index);
    }
}

TEST(CPluginControl_List, LongTextsEmptyListsAndDefaults) {
    const std::string o300(300, 'o');
    const CPluginControl_List longTexts(1, "x", {o300, o300 + "n"}, 0, true);
    EXPECT_EQ(IndexTyped(longTexts, o300), 0);  // over 255 characters: compared with no text
    EXPECT_EQ(IndexTyped(longTexts, "1" + o300), 1);
    EXPECT_EQ(IndexTyped(longTexts, std::string(255, 'O')), 0);
    const CPluginControl_List empty(1, "x", {}, 3, true);
    EXPECT_EQ(empty.StepCount(), 1);
    EXPECT_EQ(empty.Value(), 0);
    EXPECT_EQ(ValueText(empty, 10, CPluginControl::kTop), "");
    EXPECT_EQ(IndexTyped(empty, "anything"), 0);
    EXPECT_EQ(CPluginControl_List(1, "x", {"a", "b"}, 5, true).Value(), 1);
    EXPECT_EQ(kModes.StepCount(), 3);
}

TEST(CPluginControl_List, AcceptsEveryCharacterButUpAndDown) {
    for (int32_t code : std::initializer_list<int32_t>{0, 8, 28, 29, 'x', ' ', 255, 256, -1})
        EXPECT_TRUE(kSwitch.AcceptsCharacter(code)) << code;
    EXPECT_FALSE(kSwitch.AcceptsCharacter(30));
    EXPECT_FALSE(kSwitch.AcceptsCharacter(31));
}
