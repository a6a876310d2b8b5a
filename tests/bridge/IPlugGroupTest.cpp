// The effect group: category codes from the host's table, stem formats by
// channel count, and the effect types a registration's channel
// configurations define.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "bridge/IPlugGroup.h"
#include "hostlib/CDAEError.h"
#include "hostlib/CEffectType.h"
#include "hostlib/PluginRoutines.h"
#include "tests/bridge/BridgeTestEffect.h"

namespace {

using namespace bridgetest;

TEST(IPlugGroup, CategoryCodesAreTheHostsTableMatchedExactly) {
    const struct {
        const char* text;
        int32_t code;
    } table[] = {
        {"None", 0},      {"EQ", 1},          {"Dynamics", 2},         {"PitchShift", 4},
        {"Reverb", 8},    {"Delay", 16},      {"Modulation", 32},      {"Harmonic", 64},
        {"NoiseReduction", 128}, {"Dither", 256}, {"SoundField", 512}, {"Effect", 8192},
    };
    for (const auto& entry : table) EXPECT_EQ(IPlugGroup::CategoryCode(entry.text), entry.code) << entry.text;

    // Anything else, however close, is the unknown category's 8192.
    for (const char* text : {"dynamics", "DYNAMICS", "Dynamics ", " Dynamics", "Dynamic", "Dynamicss", "eq",
                             "Pitch Shift", "", "Compressor"})
        EXPECT_EQ(IPlugGroup::CategoryCode(text), 8192) << "'" << text << "'";
    EXPECT_EQ(IPlugGroup::CategoryCode(nullptr), 8192);
}

TEST(IPlugGroup, StemFormatsCoverOneToEightChannels) {
    const int32_t expected[] = {0, 1, 2, 3, 5, 6, 8, 12};
    for (int channels = 1; channels <= 8; ++channels)
        EXPECT_EQ(IPlugGroup::StemFormatForChannels(channels), expected[channels - 1]) << channels;
    for (int channels : {0, -1, 9, 10, 12, 100, INT_MIN, INT_MAX})
        EXPECT_EQ(IPlugGroup::StemFormatForChannels(channels), -1) << channels;
    // Each stem format stands for its channel count again.
    for (int channels = 1; channels <= 8; ++channels)
        EXPECT_EQ(CEffectType::ChannelsOfStemFormat(IPlugGroup::StemFormatForChannels(channels)), channels);
}

struct TypeExpectation {
    int32_t id;
    int32_t inputStem;
    int32_t outputStem;
};

// The types a group defines for `registration`, as (ID, stem formats).
std::vector<TypeExpectation> TypesOf(const PluginRegistration& registration) {
    IPlugGroup group(registration);
    group.Initialize();
    std::vector<TypeExpectation> types;
    for (int32_t i = 0; i < group.EffectTypeCount(); ++i) {
        const CEffectType* type = group.EffectTypeAt(i);
        types.push_back({type->TypeId(), type->InputStemFormat(), type->OutputStemFormat()});
    }
    return types;
}

TEST(IPlugGroup, OneTypePerConfigurationThatReadsAsInputsDashOutputs) {
    const int32_t a = FourCC("TyA1"), b = FourCC("TyB2"), c = FourCC("TyC3");
    const int32_t ids[] = {a, b, c};
    const struct {
        const char* configs;
        int idCount;
        std::vector<TypeExpectation> types;
    } cases[] = {
        {"1-1 2-2", 3, {{a, 0, 0}, {b, 1, 1}}},
        {"2-2", 3, {{a, 1, 1}}},
        {"1-2", 3, {{a, 0, 1}}},
        {"x 1-1 2-2", 3, {{a, 0, 0}, {b, 1, 1}}},  // a token that does not read takes no ID
        {"1-1 y 2-2", 3, {{a, 0, 0}, {b, 1, 1}}},
        {"8-8 5-6 7-3", 3, {{a, 12, 12}, {b, 5, 6}, {c, 8, 2}}},
        {"9-9", 3, {{a, -1, -1}}},  // a count outside the table has no stem format
        {"", 3, {}},
        {"nothing", 3, {}},
        {"1-1 2-2 4-4", 2, {{a, 0, 0}, {b, 1, 1}}},  // no more IDs: no more types
        {"1-1 2-2", 1, {{a, 0, 0}}},
        {"1-1", 0, {}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(std::string("'") + tc.configs + "' with " + std::to_string(tc.idCount) + " IDs");
        PluginRegistration registration = DefaultRegistration();
        registration.channelConfigs = tc.configs;
        registration.typeIds = ids;
        registration.typeIdCount = tc.idCount;
        const std::vector<TypeExpectation> types = TypesOf(registration);
        ASSERT_EQ(types.size(), tc.types.size());
        for (std::size_t i = 0; i < types.size(); ++i) {
            EXPECT_EQ(types[i].id, tc.types[i].id) << i;
            EXPECT_EQ(types[i].inputStem, tc.types[i].inputStem) << i;
            EXPECT_EQ(types[i].outputStem, tc.types[i].outputStem) << i;
        }
    }
}

TEST(IPlugGroup, EveryTypeCarriesTheRegistrationsNamesPropertyOptionsAndCategory) {
    for (const char* category : {"Dynamics", "Reverb", "dynamics"}) {
        SCOPED_TRACE(category);
        PluginRegistration registration = DefaultRegistration();
        registration.category = category;
        IPlugGroup group(registration);
        group.Initialize();
        EXPECT_STREQ(group.MakerNames(), "Maker\nMkr\nTsMk");
        EXPECT_EQ(group.MakerId(), kMakerId);
        EXPECT_STREQ(group.ProductNames(), "Test\nTest");
        EXPECT_EQ(group.ProductVersion(), 3);
        ASSERT_EQ(group.OptionCount(), 1);
        int32_t code = 0;
        EXPECT_TRUE(group.OptionAt(0, &code));
        EXPECT_EQ(code, 14);
        ASSERT_EQ(group.ViewClassCount(), 1);
        EXPECT_STREQ(group.ViewClassName(0), IPlugGroup::kViewClassName);

        ASSERT_EQ(group.EffectTypeCount(), 2);
        for (int32_t i = 0; i < 2; ++i) {
            const CEffectType* type = group.EffectTypeAt(i);
            EXPECT_EQ(type->ProductId(), kProductId);
            EXPECT_EQ(type->CategoryCode(), IPlugGroup::CategoryCode(category));
            EXPECT_STREQ(type->Names(), "Test\nTest");
            EXPECT_EQ(type->GeneralProperty(), 6);
            std::vector<int32_t> options;
            for (int32_t o = 0; o < type->OptionCount(); ++o) {
                EXPECT_TRUE(type->OptionAt(o, &code));
                options.push_back(code);
            }
            EXPECT_EQ(options, (std::vector<int32_t>{8, 48, 55}));
        }
        // Initialising again defines nothing more.
        group.Initialize();
        EXPECT_EQ(group.EffectTypeCount(), 2);
    }
}

TEST(IPlugGroup, TwoConfigurationsUnderOneIdAreAnErrorOfTheHostLibrary) {
    const int32_t ids[] = {kMonoType, kMonoType};
    PluginRegistration registration = DefaultRegistration();
    registration.typeIds = ids;
    IPlugGroup group(registration);
    try {
        group.Initialize();
        ADD_FAILURE() << "no error";
    } catch (const CDAEError& error) {
        EXPECT_EQ(error.Code(), PI_ErrBadIndex);
    }
}

}  // namespace
