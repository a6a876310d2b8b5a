#include "hostlib/CPluginControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "GuardedText.h"
#include "hostlib/CPluginControl_Discrete.h"
#include "hostlib/CPluginControl_Linear.h"
#include "hostlib/CPluginControl_List.h"
#include "hostlib/CPluginControl_OnOff.h"

using hostlib_test::Name;
using hostlib_test::ValueText;

namespace {

const char* const kBypassNames = "Master Bypass\nMastrByp\nMByp\nByp";

// One control of each class, with texts longer than some widths.
std::vector<std::unique_ptr<CPluginControl>> EveryClass() {
    std::vector<std::unique_ptr<CPluginControl>> all;
    all.push_back(std::make_unique<CPluginControl_Discrete>(1, "Count\nCnt", INT32_MIN, INT32_MAX, 0, true));
    all.push_back(std::make_unique<CPluginControl_List>(
        2, "Mode", std::vector<std::string>{"Stereo Link\nLink", std::string(300, 'x')}, 0, true));
    all.push_back(std::make_unique<CPluginControl_OnOff>(0x62797061, kBypassNames, 0, true));
    auto linear = std::make_unique<CPluginControl_Linear>(3, "Freq", -1e300, 1e300, 0.1, 0.0, true,
                                                          CSIPrefixTable::kAll);
    linear->SetUnit("Hz");
    linear->SetDecimals(CPluginControl_Continuous::kMaxDecimals);
    all.push_back(std::move(linear));
    return all;
}

}  // namespace

TEST(CPluginControl, NameIsTheFirstFormThatFitsElseTheLastCut) {
    const struct {
        const char* names;
        int32_t width;
        const char* expected;
    } cases[] = {
        {kBypassNames, 0, ""},       {kBypassNames, 1, "B"},         {kBypassNames, 2, "By"},
        {kBypassNames, 3, "Byp"},    {kBypassNames, 4, "MByp"},      {kBypassNames, 7, "MByp"},
        {kBypassNames, 8, "MastrByp"}, {kBypassNames, 12, "MastrByp"}, {kBypassNames, 13, "Master Bypass"},
        {"Gain", 2, "Ga"},           {"", 5, ""},                    {nullptr, 5, ""},
        {"Long\n", 2, ""},           {"\nAbc", 5, ""},               {"AAAA\nBBBBBB", 3, "BBB"},
    };
    for (const auto& c : cases) {
        const CPluginControl_OnOff control(1, c.names, 0, true);
        EXPECT_EQ(Name(control, c.width), c.expected) << (c.names ? c.names : "(null)") << " at " << c.width;
    }
}

TEST(CPluginControl, TextsStayInTheCallersBufferAtEveryWidth) {
    const int32_t controlValues[] = {CPluginControl::kBottom, -1, 0, 1, CPluginControl::kTop};
    for (const auto& control : EveryClass()) {
        for (int32_t width = 0; width <= 340; width += (width < 24 ? 1 : 79)) {
            EXPECT_LE(Name(*control, width).size(), static_cast<std::size_t>(width));
            for (int32_t c : controlValues)
                EXPECT_LE(ValueText(*control, width, c).size(), static_cast<std::size_t>(width));
        }
        // A negative width or a null buffer is an error and writes nothing.
        char buffer[4] = {'#', '#', '#', '#'};
        for (int32_t width : {-1, INT32_MIN}) {
            EXPECT_EQ(control->NameForWidth(buffer, width), CPluginControl::kErrorNegativeWidth);
            EXPECT_EQ(control->ValueTextForWidth(buffer, width, 0), CPluginControl::kErrorNegativeWidth);
        }
        EXPECT_EQ(std::string(buffer, 4), "####");
        EXPECT_EQ(control->NameForWidth(nullptr, 4), CPluginControl::kErrorNullPointer);
        EXPECT_EQ(control->ValueTextForWidth(nullptr, 4, 0), CPluginControl::kErrorNullPointer);
        int32_t out = 0;
        EXPECT_EQ(control->ControlValueForText(nullptr, &out), CPluginControl::kErrorNullPointer);
        EXPECT_EQ(control->ControlValueForText("1", nullptr), CPluginControl::kErrorNullPointer);
        EXPECT_EQ(control->ReservedQuery7() | control->ReservedQuery8() | control->ReservedQuery9(), 0);
    }
}

TEST(CPluginControl, IdentityAndAutomation) {
    const CPluginControl_OnOff bypass(0x62797061, kBypassNames, 0, true);
    const CPluginControl_Discrete fixed(0x206C6421, "Count", 0, 9, 3, false);
    EXPECT_EQ(bypass.Id(), 0x62797061u);
    EXPECT_EQ(fixed.Id(), 0x206C6421u);
    EXPECT_TRUE(bypass.IsAutomatable());
    EXPECT_FALSE(fixed.IsAutomatable());
    EXPECT_STREQ(bypass.Names(), kBypassNames);
}
