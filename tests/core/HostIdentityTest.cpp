#include "core/HostIdentity.h"

#include <gtest/gtest.h>

#include <string>

#include "TestPlugin.h"
#include "core/Trace.h"

using namespace kestrom;

namespace {
std::string gLastTrace;
void Capture(const char* function, int, const char* message) {
    if (std::string(function) == "IPlugBase::SetHost") gLastTrace = message;
}
std::string Display(int kind) {
    char out[kHostDisplayNameSize];
    HostDisplayName(kind, out);
    return out;
}
}  // namespace

TEST(HostIdentity, NamesMatchBySubstringInSearchOrder) {
    const struct {
        const char* name;
        int kind;
    } cases[] = {
        {"ProTools", kHostProTools},          {"REAPER64", kHostReaper},
        {"Nuendo Cubase", kHostCubase},       {"CUBASE and nuendo", kHostCubase},
        {"Cakewalk SONAR", kHostSonar},       {"Sonar", kHostUnknown},
        {"Melodyne", kHostMelodyneStudio},    {"Oliver", kHostAbletonLive},
        {"Digital Performer", kHostDigitalPerformer}, {"", kHostUnknown},
        {"vst3PluginTestHost", kHostVST3TestHost}, {"Ardour 8", kHostArdour},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchHostName(c.name), c.kind) << c.name;
    EXPECT_EQ(MatchHostName(nullptr), kHostUnknown);
}

TEST(HostIdentity, OverLongNameIsCutNotOverrun) {
    const std::string tooLong = std::string(300, 'x') + "reaper";
    EXPECT_EQ(MatchHostName(tooLong.c_str()), kHostUnknown);
    const std::string early = "reaper" + std::string(300, 'x');
    EXPECT_EQ(MatchHostName(early.c_str()), kHostReaper);
}

TEST(HostIdentity, DisplayNames) {
    EXPECT_EQ(Display(kHostSonar), "Sonar");
    EXPECT_EQ(Display(kHostMelodyneStudio), "Unknown");
    EXPECT_EQ(Display(kHostVegas), "Vegas");
    EXPECT_EQ(Display(10), "Unknown");
    EXPECT_EQ(Display(kHostVST3TestHost), "VST3PluginTestHost");
    EXPECT_STREQ(ApiKindName(kApiRTAS), "RTAS");
    EXPECT_STREQ(ApiKindName(9), "");
}

TEST(HostIdentity, VersionHelpers) {
    char text[kVersionTextSize];
    FormatVersion(0x00020000, text);
    EXPECT_STREQ(text, "v2.0.0");
    EXPECT_EQ(VersionAsDecimal(0x00020000), 20000);
    const int32_t packed = (10 << 16) | (11 << 8) | 12;
    FormatVersion(packed, text);
    EXPECT_STREQ(text, "v10.11.12");
    EXPECT_EQ(VersionAsDecimal(packed), 101112);
    char tiny[4];
    FormatVersion(packed, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "v10");
}

TEST(HostIdentity, SetHostRecordsKindVersionAndTrace) {
    SetTraceSink(Capture);
    TestPlugin plug;
    plug.SetHost("ProTools", 0x00080100);
    EXPECT_EQ(plug.HostKind(), kHostProTools);
    EXPECT_EQ(gLastTrace, "host_known:ProTools:v8.1.0");
    EXPECT_EQ(plug.HostVersionNumber(true), 80100);
    char label[32];
    plug.HostVersionLabel(label, sizeof label);
    EXPECT_STREQ(label, "v8.1.0");
    plug.SetHost("", 0);
    EXPECT_EQ(plug.HostKind(), kHostUnknown);
    EXPECT_EQ(gLastTrace, "host_unknown::v0.0.0");
    SetTraceSink(nullptr);
    EXPECT_EQ(plug.EffectVersionNumber(false), 0x00010203);
    EXPECT_EQ(plug.EffectVersionNumber(true), 10203);
    EXPECT_STREQ(plug.ApiName(), "VST2");
}
