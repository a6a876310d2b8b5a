#include "hostlib/CViewDescription.h"

#include <gtest/gtest.h>

#include <string>

TEST(CViewDescription, WellFormedDescriptionsGiveClassAndId) {
    struct Case {
        const char* text;
        const char* className;
        int32_t id;
    };
    const Case cases[] = {
        {"!IPlugDigiView[('NoID')]", "IPlugDigiView", CViewDescription::kNoId},
        {"!IPlugDigiView[('Ed 1')]", "IPlugDigiView", 0x45642031},
        {"!IPlugDigiView[()]", "IPlugDigiView", CViewDescription::kNoId},
        {"!IPlugDigiView", "IPlugDigiView", CViewDescription::kNoId},
        {"!_v2", "_v2", CViewDescription::kNoId},
    };
    for (const Case& c : cases) {
        CViewDescription parsed;
        ASSERT_TRUE(CViewDescription::Parse(c.text, &parsed)) << c.text;
        EXPECT_STREQ(parsed.ClassName(), c.className);
        EXPECT_EQ(parsed.ViewId(), c.id) << c.text;
    }
}

TEST(CViewDescription, MalformedDescriptionsAreRefusedAndChangeNothing) {
    const std::string longName = "!" + std::string(CViewDescription::kMaxNameLength + 1, 'V');
    const std::string longText = "!V[('" + std::string(CViewDescription::kMaxTextLength, 'x');
    const char* const texts[] = {
        nullptr,
        "",
        "!",
        "IPlugDigiView[('NoID')]",   // no mark
        "!9View",                    // a digit first
        "! IPlugDigiView",           // a blank
        "!IPlugDigiView[('NoID')",   // unclosed
        "!IPlugDigiView[('NoID'",
        "!IPlugDigiView[(",
        "!IPlugDigiView[",
        "!IPlugDigiView[('NoI')]",   // three characters
        "!IPlugDigiView[('NoIDs')]", // five
        "!IPlugDigiView[('No'D')]",  // a quote inside
        "!IPlugDigiView[('No\tD')]", // not printable
        "!IPlugDigiView[('NoID')]x", // something after
        "!IPlugDigiView[('NoID')]]",
        "!IPlugDigiView()",
        "!IPlug-DigiView",
        longName.c_str(),
        longText.c_str(),
    };
    for (const char* text : texts) {
        CViewDescription parsed;
        CViewDescription::Parse("!Before[('Prev')]", &parsed);
        EXPECT_FALSE(CViewDescription::Parse(text, &parsed)) << (text ? text : "(null)");
        EXPECT_STREQ(parsed.ClassName(), "Before");
        EXPECT_EQ(parsed.ViewId(), 0x50726576);
    }
    EXPECT_FALSE(CViewDescription::Parse("!IPlugDigiView", nullptr));

    // The longest name that is allowed.
    CViewDescription parsed;
    const std::string longest = "!" + std::string(CViewDescription::kMaxNameLength, 'V');
    EXPECT_TRUE(CViewDescription::Parse(longest.c_str(), &parsed));
}
