// A host's preview of the gain-reduction meter, with the editor open in a
// host window: a value on the meter's scale (0 to 1) reads back as given,
// numbers far off it do not upset the editor, and a NaN is refused and
// changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tools/host/HostedEditor.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"

namespace {

using kestrom::host::HostedEditor;
using kestrom::host::HostedPlugin;
using kestrom::host::ModuleHost;

constexpr int32_t kStereo = 0x4B735432;  // 'KsT2'

TEST(ModuleMeterPreview, ValuesOnTheScaleReadBackAndNoNumberUpsetsTheEditor) {
    ModuleHost module;
    std::string error;
    ASSERT_TRUE(module.Load(KESTROM_MODULE, error)) << error;
    HostedPlugin plug(module);
    ASSERT_TRUE(plug.Create(kStereo, 48000, error)) << error;
    HostedEditor editor(module, plug);
    ASSERT_TRUE(editor.Open(error)) << error;
    ASSERT_TRUE(editor.Settle(error)) << error;

    const auto show = module.Routines().showMeterValue;
    const auto read = module.Routines().meterValue;
    ASSERT_NE(show, nullptr);
    ASSERT_NE(read, nullptr);
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        PI_Status status;
    } cases[] = {
        {0.0, PI_NoErr},   {1.0, PI_NoErr},         {0.5, PI_NoErr},   {6.0 / 22.0, PI_NoErr},
        {2.0, PI_NoErr},   {-1.0, PI_NoErr},        {10845877.0, PI_NoErr}, {-1.0737e7, PI_NoErr},
        {1e300, PI_NoErr}, {inf, PI_NoErr},         {-inf, PI_NoErr},  {std::nan(""), PI_ErrBadValue},
        {0.25, PI_NoErr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        double before = -5;
        uint32_t updatesBefore = 0;
        ASSERT_EQ(read(plug.Handle(), 0, &before, &updatesBefore), PI_NoErr);
        EXPECT_EQ(show(plug.Handle(), 0, c.value), c.status);
        double after = -5;
        uint32_t updatesAfter = 0;
        ASSERT_EQ(read(plug.Handle(), 0, &after, &updatesAfter), PI_NoErr);
        if (c.status == PI_NoErr) {
            if (c.value >= 0.0 && c.value <= 1.0) {
                EXPECT_EQ(after, c.value);
            }
            EXPECT_EQ(updatesAfter, updatesBefore + 1);
        } else {
            EXPECT_EQ(after, before);
            EXPECT_EQ(updatesAfter, updatesBefore);
        }
        // The editor goes on drawing, whatever it was handed.
        ASSERT_TRUE(editor.Settle(error)) << error;
    }
}

}  // namespace
