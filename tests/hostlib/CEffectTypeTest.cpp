#include "hostlib/CEffectType.h"

#include <gtest/gtest.h>

#include "TestModule.h"

using namespace hostlib_test;

TEST(CEffectType, StemFormatsGiveTheirChannelCounts) {
    const int32_t formats[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13};
    const int32_t channels[] = {0, 1, 2, 3, 4, 0, 5, 6, 0, 7, 0, 8, 0};
    for (std::size_t i = 0; i < std::size(formats); ++i)
        EXPECT_EQ(CEffectType::ChannelsOfStemFormat(formats[i]), channels[i]) << formats[i];

    CEffectTypeRTAS type(kMonoType, kProductId, 2);
    EXPECT_EQ(type.InputChannels(), 0);  // no stem formats yet
    type.SetStemFormats(0, 1, 0);
    EXPECT_EQ(type.InputChannels(), 1);
    EXPECT_EQ(type.OutputChannels(), 2);
}

TEST(CEffectType, CategoryNamesOfTheHost) {
    EXPECT_STREQ(CEffectType::CategoryName(2), "Dynamics");
    EXPECT_STREQ(CEffectType::CategoryName(8192), "Effect");
    EXPECT_STREQ(CEffectType::CategoryName(0), "None");
    EXPECT_STREQ(CEffectType::CategoryName(3), "");
}

TEST(CEffectType, ANewProcessIsBoundToItsType) {
    CEffectTypeRTAS type(kStereoType, kProductId, 2);
    type.SetStemFormats(1, 0, 0);
    type.SetProcessCreator(&MakeTestProcess);
    std::unique_ptr<CEffectProcess> process = type.CreateProcess();
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(process->Type(), &type);
    EXPECT_EQ(process->TypeId(), kStereoType);
    EXPECT_EQ(process->InputChannels(), 2);
    EXPECT_EQ(process->OutputChannels(), 1);
    EXPECT_EQ(process->InputStemFormat(), 1);
    EXPECT_EQ(process->OutputStemFormat(), 0);
    EXPECT_FALSE(process->IsInitialized());
}

TEST(CEffectType, CreationFailuresAreReportedNotHidden) {
    struct Case {
        const char* what;
        CEffectType::CreateProcessProc create;
        int32_t code;  // 0: no process and no exception
    };
    const Case cases[] = {
        {"no creation routine", nullptr, PI_ErrUnsupported},
        {"an offline process for a real-time type", &MakeOfflineProcess, PI_ErrInternal},
        {"no memory", &MakeNoProcess, 0},
    };
    for (const Case& c : cases) {
        CEffectTypeRTAS type(kMonoType, kProductId, 2);
        type.SetProcessCreator(c.create);
        try {
            EXPECT_EQ(type.CreateProcess(), nullptr) << c.what;
            EXPECT_EQ(c.code, 0) << c.what;
        } catch (const CDAEError& error) {
            EXPECT_EQ(error.Code(), c.code) << c.what;
        }
    }
}

namespace {

class BadTypeGroup : public TestGroup {
public:
    void CreateEffectTypes() override {
        AddType(kMonoType, CEffectType::kStemMono, &MakeNoProcess);
        AddType(kStereoType, CEffectType::kStemStereo, &MakeOfflineProcess);
    }
};

}  // namespace

TEST(CEffectType, TheCreateRoutineAnswersTheFailure) {
    Host host;
    BadTypeGroup group;
    group.Initialize();
    CEffectGroup::SetModuleGroup(&group);
    PI_Instance instance = 0;
    EXPECT_EQ(host.create(kMonoType, &instance), PI_ErrOutOfMemory);
    EXPECT_EQ(host.create(kStereoType, &instance), PI_ErrInternal);
    EXPECT_EQ(host.create(FourCC("Nope"), &instance), PI_ErrBadIndex);
    EXPECT_EQ(host.create(kMonoType, nullptr), PI_ErrNullPointer);
    EXPECT_EQ(instance, 0);
    EXPECT_EQ(CInstanceRegistry::Module().LiveCount(), 0);
}
