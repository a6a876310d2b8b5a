#include "hostlib/CEffectGroup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestModule.h"
#include "hostlib/CEffectType.h"

using namespace hostlib_test;

namespace {

using GroupRoutines = ModuleTest;

CPlugInView* MakeOtherView() { return new CCustomView; }

}  // namespace

TEST_F(GroupRoutines, InitializeDefinesTheTypesOnce) {
    EXPECT_EQ(group->createTypesCalls, 1);
    group->Initialize();
    EXPECT_EQ(group->createTypesCalls, 1);
    EXPECT_EQ(group->EffectTypeCount(), 2);
}

TEST_F(GroupRoutines, GroupInfoNamesTheMakerProductAndCategory) {
    PI_GroupInfo info;
    std::memset(&info, 0x55, sizeof info);
    ASSERT_EQ(host.groupInfo(&info), PI_NoErr);
    EXPECT_STREQ(info.makerNames, "Test Maker\nTestMk\nTsMk");
    EXPECT_STREQ(info.productNames, "Test Gain\nTGain");
    EXPECT_STREQ(info.category, "Dynamics");
    EXPECT_EQ(info.categoryCode, 2);
    EXPECT_EQ(info.makerId, kMakerId);
    EXPECT_EQ(info.productId, kProductId);
    EXPECT_EQ(info.productVersion, 3);
    EXPECT_EQ(info.effectTypeCount, 2);
    EXPECT_EQ(info.optionCount, 2);
    EXPECT_EQ(host.groupInfo(nullptr), PI_ErrNullPointer);
}

TEST_F(GroupRoutines, NamesLongerThanTheRecordAreCutWithATerminator) {
    group->SetMakerNames(std::string(200, 'm').c_str());
    PI_GroupInfo info;
    ASSERT_EQ(host.groupInfo(&info), PI_NoErr);
    EXPECT_EQ(std::string(info.makerNames), std::string(PI_NAME_SIZE - 1, 'm'));
}

TEST_F(GroupRoutines, EffectTypesDescribeTheirChannelConfigurations) {
    struct Expected {
        int32_t id, channels, stem;
    };
    const Expected expected[] = {{kMonoType, 1, 0}, {kStereoType, 2, 1}};
    for (int32_t i = 0; i < 2; ++i) {
        PI_EffectTypeInfo info;
        ASSERT_EQ(host.effectTypeInfo(i, &info), PI_NoErr);
        EXPECT_STREQ(info.names, "Test Gain\nTGain");
        EXPECT_EQ(info.typeId, expected[i].id);
        EXPECT_EQ(info.productId, kProductId);
        EXPECT_EQ(info.categoryCode, 2);
        EXPECT_EQ(info.inputChannels, expected[i].channels);
        EXPECT_EQ(info.outputChannels, expected[i].channels);
        EXPECT_EQ(info.inputStemFormat, expected[i].stem);
        EXPECT_EQ(info.outputStemFormat, expected[i].stem);
        EXPECT_EQ(info.generalProperty, 6);
        EXPECT_EQ(info.optionCount, 3);
        int32_t index = -1;
        EXPECT_EQ(host.findEffectType(expected[i].id, &index), PI_NoErr);
        EXPECT_EQ(index, i);
    }
    int32_t count = 0;
    EXPECT_EQ(host.effectTypeCount(&count), PI_NoErr);
    EXPECT_EQ(count, 2);
}

TEST_F(GroupRoutines, OptionCodesInOrderAndIndicesOutsideTheListRefused) {
    int32_t code = 0;
    EXPECT_EQ(host.groupOptionAt(0, &code), PI_NoErr);
    EXPECT_EQ(code, 14);
    EXPECT_EQ(host.groupOptionAt(1, &code), PI_NoErr);
    EXPECT_EQ(code, 15);
    const int32_t typeCodes[] = {8, 48, 55};
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(host.effectTypeOptionAt(1, i, &code), PI_NoErr);
        EXPECT_EQ(code, typeCodes[i]);
    }

    code = 77;
    PI_EffectTypeInfo info;
    int32_t index = 77;
    const int32_t refused[] = {
        host.groupOptionAt(-1, &code),           host.groupOptionAt(2, &code),
        host.effectTypeOptionAt(0, 3, &code),    host.effectTypeOptionAt(0, -1, &code),
        host.effectTypeOptionAt(2, 0, &code),    host.effectTypeInfo(-1, &info),
        host.effectTypeInfo(2, &info),           host.findEffectType(FourCC("None"), &index),
    };
    for (int32_t status : refused) EXPECT_EQ(status, PI_ErrBadIndex);
    EXPECT_EQ(code, 77);
    EXPECT_EQ(index, 77);
    EXPECT_EQ(host.groupOptionAt(0, nullptr), PI_ErrNullPointer);
    EXPECT_EQ(host.effectTypeInfo(0, nullptr), PI_ErrNullPointer);
}

TEST_F(GroupRoutines, ViewClassNamesNeedRoomForTheWholeName) {
    int32_t count = 0;
    ASSERT_EQ(host.viewClassCount(&count), PI_NoErr);
    EXPECT_EQ(count, 1);
    char name[16];
    EXPECT_EQ(host.viewClassName(0, name, sizeof name), PI_NoErr);
    EXPECT_STREQ(name, "TestView");

    struct Case {
        int32_t index, size, status;
    };
    const Case cases[] = {
        {0, 8, PI_ErrBufferTooSmall},  // "TestView" and its terminator need 9
        {0, 0, PI_ErrBufferTooSmall},
        {0, -5, PI_ErrBufferTooSmall},
        {1, 16, PI_ErrBadIndex},
        {-1, 16, PI_ErrBadIndex},
    };
    for (const Case& c : cases) {
        std::memset(name, '#', sizeof name);
        EXPECT_EQ(host.viewClassName(c.index, name, c.size), c.status) << c.index << " " << c.size;
        EXPECT_EQ(name[0], '#');
    }
    EXPECT_EQ(host.viewClassName(0, nullptr, 16), PI_ErrNullPointer);
}

TEST_F(GroupRoutines, AHostVersionFromTheGroup) {
    int32_t version = 0;
    EXPECT_EQ(host.hostVersion(&version), PI_NoErr);
    EXPECT_EQ(version, 409648);
}

TEST(CEffectGroup, TypeIdsAreUniqueAndNullsRefused) {
    CEffectGroup group;
    group.AddEffectType(new CEffectTypeRTAS(kMonoType, kProductId, 2));
    try {
        group.AddEffectType(new CEffectTypeRTAS(kMonoType, kProductId, 2));
        FAIL() << "a second type with the same ID was taken";
    } catch (const CDAEError& error) {
        EXPECT_EQ(error.Code(), PI_ErrBadIndex);
    }
    EXPECT_THROW(group.AddEffectType(nullptr), CDAEError);
    EXPECT_THROW(group.RegisterViewClass("", &MakeOtherView), CDAEError);
    EXPECT_THROW(group.RegisterViewClass("X", nullptr), CDAEError);
    EXPECT_EQ(group.EffectTypeCount(), 1);
    EXPECT_EQ(group.EffectTypeAt(1), nullptr);
}

TEST(CEffectGroup, ARegisteredViewClassIsReplacedByName) {
    CEffectGroup group;
    group.RegisterViewClass("TestView", &MakeTestView);
    group.RegisterViewClass("TestView", &MakeOtherView);
    EXPECT_EQ(group.ViewClassCount(), 1);
    std::unique_ptr<CPlugInView> view = group.CreateView("TestView");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dynamic_cast<TestView*>(view.get()), nullptr);
    EXPECT_EQ(group.CreateView("Missing"), nullptr);
    EXPECT_EQ(group.CreateView(nullptr), nullptr);
}

TEST(CEffectGroup, DestroyingTheGroupClosesTheModuleAndItsInstances) {
    Host host;
    auto* group = new TestGroup;
    group->Initialize();
    CEffectGroup::SetModuleGroup(group);
    PI_Instance a = 0, b = 0;
    ASSERT_EQ(host.create(kMonoType, &a), PI_NoErr);
    ASSERT_EQ(host.create(kStereoType, &b), PI_NoErr);
    EXPECT_EQ(TestProcess::liveCount, 2);

    delete group;
    EXPECT_EQ(TestProcess::liveCount, 0);
    EXPECT_EQ(CEffectGroup::ModuleGroup(), nullptr);
    int32_t rate = 0;
    EXPECT_EQ(host.getSampleRate(a, &rate), PI_ErrNotOpen);

    // Opened again, the old handles name nothing.
    auto* again = new TestGroup;
    again->Initialize();
    CEffectGroup::SetModuleGroup(again);
    EXPECT_EQ(host.getSampleRate(a, &rate), PI_ErrBadInstance);
    EXPECT_EQ(host.destroy(b), PI_ErrBadInstance);
    delete again;
}
