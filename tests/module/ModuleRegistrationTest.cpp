// What the module registers with the host once it is open: the group's
// option code, one effect type per channel configuration with its IDs, stem
// formats, property and option codes, the editor's view class, and instances
// of each type with the channels and state chunk the host expects.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/module/ModuleProcess.h"

namespace {

using namespace moduletest;

class ModuleRegistration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.LoadAndOpen()); }
    HostProcess host;
};

TEST_F(ModuleRegistration, TheGroupCarriesOptionCodeFourteenAndTheDynamicsCategory) {
    PI_GroupInfo group{};
    ASSERT_EQ(host.Routine<PI_GroupInfoProc>(PI_SEL_GROUP_INFO)(&group), PI_NoErr);
    EXPECT_EQ(group.makerId, kMakerId);
    EXPECT_EQ(group.productId, kStereo);
    EXPECT_EQ(group.productVersion, 2);
    EXPECT_STREQ(group.category, "Dynamics");
    EXPECT_EQ(group.categoryCode, 2);
    EXPECT_EQ(group.effectTypeCount, 2);
    ASSERT_EQ(group.optionCount, 1);

    const auto optionAt = host.Routine<PI_IndexedCodeProc>(PI_SEL_GROUP_OPTION_AT);
    int32_t code = -5;
    EXPECT_EQ(optionAt(0, &code), PI_NoErr);
    EXPECT_EQ(code, 14);
    for (int32_t outside : {-1, 1, 100}) {
        code = -5;
        EXPECT_EQ(optionAt(outside, &code), PI_ErrBadIndex) << outside;
        EXPECT_EQ(code, -5);
    }
}

TEST_F(ModuleRegistration, OneRealTimeTypePerChannelConfiguration) {
    const struct {
        int32_t id;
        int32_t channels;
        int32_t stem;
    } expected[] = {{kMono, 1, 0}, {kStereo, 2, 1}};
    const auto typeInfo = host.Routine<PI_EffectTypeInfoProc>(PI_SEL_EFFECT_TYPE_INFO);
    const auto optionAt = host.Routine<PI_EffectTypeOptionAtProc>(PI_SEL_EFFECT_TYPE_OPTION_AT);
    const auto find = host.Routine<PI_FindEffectTypeProc>(PI_SEL_FIND_EFFECT_TYPE);
    for (int32_t index = 0; index < 2; ++index) {
        SCOPED_TRACE(index);
        const auto& e = expected[index];
        PI_EffectTypeInfo type{};
        ASSERT_EQ(typeInfo(index, &type), PI_NoErr);
        EXPECT_STREQ(type.names, "Kestrom\nKestrom");
        EXPECT_EQ(type.typeId, e.id);
        EXPECT_EQ(type.productId, kStereo);
        EXPECT_EQ(type.categoryCode, 2);
        EXPECT_EQ(type.inputChannels, e.channels);
        EXPECT_EQ(type.outputChannels, e.channels);
        EXPECT_EQ(type.inputStemFormat, e.stem);
        EXPECT_EQ(type.outputStemFormat, e.stem);
        EXPECT_EQ(type.generalProperty, 6);
        ASSERT_EQ(type.optionCount, 3);
        std::vector<int32_t> options;
        for (int32_t o = 0; o < type.optionCount; ++o) {
            int32_t code = 0;
            EXPECT_EQ(optionAt(index, o, &code), PI_NoErr);
            options.push_back(code);
        }
        EXPECT_EQ(options, (std::vector<int32_t>{8, 48, 55}));
        int32_t code = -5;
        EXPECT_EQ(optionAt(index, 3, &code), PI_ErrBadIndex);
        EXPECT_EQ(code, -5);

        int32_t found = -1;
        EXPECT_EQ(find(e.id, &found), PI_NoErr);
        EXPECT_EQ(found, index);
    }
    PI_EffectTypeInfo none{};
    EXPECT_EQ(typeInfo(2, &none), PI_ErrBadIndex);
    EXPECT_EQ(typeInfo(-1, &none), PI_ErrBadIndex);
    int32_t found = -1;
    EXPECT_EQ(find(FourCC("KsT3"), &found), PI_ErrBadIndex);
    EXPECT_EQ(find(0, &found), PI_ErrBadIndex);
    EXPECT_EQ(found, -1);
}

TEST_F(ModuleRegistration, EachTypeMakesInstancesOfItsChannelsWithTheProductsChunk) {
    const struct {
        int32_t id;
        int32_t channels;
    } types[] = {{kMono, 1}, {kStereo, 2}};
    for (const auto& t : types) {
        Instance plug(host, t.id);
        ASSERT_TRUE(plug.Ok()) << plug.status;
        EXPECT_EQ(plug.inputs, t.channels);
        EXPECT_EQ(plug.outputs, t.channels);
        int32_t value = 0;
        EXPECT_EQ(plug.Routine<PI_InstanceGetIntProc>(PI_SEL_INSTANCE_TYPE)(plug.handle, &value), PI_NoErr);
        EXPECT_EQ(value, t.id);
        EXPECT_EQ(plug.Routine<PI_InstanceGetIntProc>(PI_SEL_CHUNK_COUNT)(plug.handle, &value), PI_NoErr);
        EXPECT_EQ(value, 1);
        EXPECT_EQ(plug.Routine<PI_ChunkIdProc>(PI_SEL_CHUNK_ID)(plug.handle, 1, &value), PI_NoErr);
        EXPECT_EQ(value, kChunkId);  // the product's, for the mono type too
        for (int32_t index : {0, 2, -1}) {
            value = -5;
            EXPECT_EQ(plug.Routine<PI_ChunkIdProc>(PI_SEL_CHUNK_ID)(plug.handle, index, &value), PI_ErrBadChunkId);
            EXPECT_EQ(value, -5);
        }
        EXPECT_EQ(plug.Routine<PI_InstanceGetIntProc>(PI_SEL_GET_LATENCY)(plug.handle, &value), PI_NoErr);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(plug.Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(plug.handle, &value), PI_NoErr);
        EXPECT_EQ(value, kControlCount);
        EXPECT_EQ(plug.Routine<PI_InstanceGetIntProc>(PI_SEL_METER_COUNT)(plug.handle, &value), PI_NoErr);
        EXPECT_EQ(value, 1);
    }
}

TEST_F(ModuleRegistration, ATypeTheGroupDoesNotHaveMakesNoInstance) {
    const auto create = host.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE);
    for (int32_t id : {FourCC("KsT3"), FourCC("TbRk"), 0, -1}) {
        PI_Instance handle = -5;
        EXPECT_EQ(create(id, &handle), PI_ErrBadIndex) << id;
        EXPECT_EQ(handle, -5);
    }
}

TEST_F(ModuleRegistration, TheEditorsViewClassIsRegistered) {
    int32_t count = 0;
    ASSERT_EQ(host.Routine<PI_CountProc>(PI_SEL_VIEW_CLASS_COUNT)(&count), PI_NoErr);
    ASSERT_EQ(count, 1);
    const auto name = host.Routine<PI_IndexedTextProc>(PI_SEL_VIEW_CLASS_NAME);
    char text[32] = {};
    EXPECT_EQ(name(0, text, sizeof text), PI_NoErr);
    EXPECT_STREQ(text, "IPlugDigiView");
    char small[13];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(name(0, small, sizeof small), PI_ErrBufferTooSmall);  // 13 characters need 14 bytes
    EXPECT_EQ(std::string(small, sizeof small), std::string(13, 'x'));
}

TEST_F(ModuleRegistration, InstancesAreInitialisedOnceAndAnswerNotInitialisedBefore) {
    const auto create = host.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE);
    const auto initialize = host.Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE);
    const auto destroy = host.Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE);
    PI_Instance handle = 0;
    ASSERT_EQ(create(kStereo, &handle), PI_NoErr);
    int32_t value = -5;
    EXPECT_EQ(host.Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(handle, &value), PI_ErrNotInitialized);
    EXPECT_EQ(host.Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(handle, kChunkId, &value), PI_ErrNotInitialized);
    EXPECT_EQ(host.Routine<PI_InstanceSetIntProc>(PI_SEL_SET_BYPASS)(handle, 1), PI_ErrNotInitialized);
    float in[4] = {}, out[4] = {};
    const float* inputs[] = {in, in};
    float* outputs[] = {out, out};
    const PI_RenderRecord record{inputs, 2, outputs, 2, 4, 1, nullptr};
    EXPECT_EQ(host.Routine<PI_RenderProc>(PI_SEL_RENDER)(handle, &record), PI_ErrNotInitialized);
    EXPECT_EQ(value, -5);

    const PI_InstanceSetup bad{0};
    EXPECT_EQ(initialize(handle, &bad), PI_ErrBadValue);
    EXPECT_EQ(initialize(handle, nullptr), PI_ErrNullPointer);
    const PI_InstanceSetup setup{48000};
    EXPECT_EQ(initialize(handle, &setup), PI_NoErr);
    EXPECT_EQ(host.Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(handle, &value), PI_NoErr);
    EXPECT_EQ(value, kControlCount);
    EXPECT_EQ(initialize(handle, &setup), PI_NoErr);  // a second time adds no controls
    EXPECT_EQ(host.Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(handle, &value), PI_NoErr);
    EXPECT_EQ(value, kControlCount);
    EXPECT_EQ(host.Routine<PI_RenderProc>(PI_SEL_RENDER)(handle, &record), PI_NoErr);
    EXPECT_EQ(destroy(handle), PI_NoErr);
    EXPECT_EQ(destroy(handle), PI_ErrBadInstance);
}

}  // namespace
