// The module as a host sees it: loaded with the host's libraries, opened by
// the engine, and driven only through its exports and routine table.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"

namespace {

using kestrom::host::HostedPlugin;
using kestrom::host::ModuleHost;

constexpr int32_t kMono = 0x4B735431;    // 'KsT1'
constexpr int32_t kStereo = 0x4B735432;  // 'KsT2'

struct Loaded {
    Loaded() { EXPECT_TRUE(module.Load(KESTROM_MODULE, error)) << error; }
    ModuleHost module;
    std::string error;
};

TEST(Module, RegistersTheMakerProductAndOneTypePerConfiguration) {
    Loaded m;
    const PI_GroupInfo& g = m.module.Group();
    EXPECT_STREQ(g.makerNames, "Tollbrink\nTollbrink\nTbRk");
    EXPECT_STREQ(g.productNames, "Kestrom\nKestrom");
    EXPECT_STREQ(g.category, "Dynamics");
    EXPECT_EQ(g.categoryCode, 2);
    EXPECT_EQ(g.makerId, 0x5462526B);
    EXPECT_EQ(g.productId, kStereo);
    EXPECT_EQ(g.productVersion, 2);
    ASSERT_EQ(m.module.EffectTypeCount(), 2);
    const struct {
        int32_t id, channels, stem;
    } expected[] = {{kMono, 1, 0}, {kStereo, 2, 1}};
    for (int i = 0; i < 2; ++i) {
        PI_EffectTypeInfo t{};
        ASSERT_TRUE(m.module.EffectType(i, t));
        EXPECT_EQ(t.typeId, expected[i].id);
        EXPECT_EQ(t.inputChannels, expected[i].channels);
        EXPECT_EQ(t.outputStemFormat, expected[i].stem);
        EXPECT_EQ(t.generalProperty, 6);
        EXPECT_STREQ(t.names, "Kestrom\nKestrom");
    }
}

TEST(Module, ControlsMirrorTheParametersBehindTheMasterBypass) {
    Loaded m;
    HostedPlugin plug(m.module);
    ASSERT_TRUE(plug.Create(kStereo, 48000, m.error)) << m.error;
    ASSERT_EQ(plug.ControlCount(), 8);  // the bypass and the seven parameters
    PI_ControlInfo bypass{};
    ASSERT_TRUE(plug.ControlInfo(1, bypass));
    EXPECT_EQ(bypass.id, 0x62797061);
    EXPECT_EQ(bypass.isMasterBypass, 1);
    EXPECT_EQ(plug.ControlName(1, 4), "MByp");
    PI_ControlInfo in{};
    ASSERT_TRUE(plug.ControlInfo(2, in));
    EXPECT_EQ(in.id, 0x206C6420);
    EXPECT_EQ(in.controlClass, PI_ControlLinear);
    EXPECT_EQ(in.stepCount, 401);
    EXPECT_EQ(plug.ControlName(2, 31), "In");
}

}  // namespace
