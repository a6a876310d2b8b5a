#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "EditorFixture.h"
#include "graphics/IValueMailbox.h"
#include "graphics/controls/IFaderControl.h"

// The meter's hand-off from the audio thread to the editor thread.

TEST(IValueMailbox, DeliversTheLatestValuePerIndexOnce) {
    IValueMailbox box;
    EXPECT_TRUE(box.Post(8, 0.1));
    EXPECT_TRUE(box.Post(8, 0.2));
    EXPECT_TRUE(box.Post(3, 0.7));
    EXPECT_FALSE(box.Post(-1, 0.5));
    EXPECT_FALSE(box.Post(IValueMailbox::kCapacity, 0.5));
    std::vector<std::pair<int, double>> taken;
    box.TakeAll([&](int i, double v) { taken.emplace_back(i, v); });
    EXPECT_EQ(taken, (std::vector<std::pair<int, double>>{{3, 0.7}, {8, 0.2}}));
    taken.clear();
    box.TakeAll([&](int i, double v) { taken.emplace_back(i, v); });
    EXPECT_TRUE(taken.empty());
    EXPECT_FALSE(box.HasPending());
}

namespace {
struct Meter : EditorFixture {
    Meter() : EditorFixture(300, 120) {
        editor->AttachBackgroundColour(kBlack);
        const IBitmapRef handle = MakeStrip(*editor, 16, 45, 1, {kWhite});
        needle = new IFaderControl(&plugin, 45, 61, 214, EditorTestPlugin::kMeter, handle, IControl::kHorizontal);
        editor->AttachControl(needle);
        AttachAndOpen();
        editor->Tick();
    }
    IFaderControl* needle;
};
}  // namespace

TEST(MeterHandOff, AValueForANonParameterWaitsForTheEditorsTick) {
    Meter m;
    m.editor->SetParameterFromPlugin(EditorTestPlugin::kMeter, 0.5, true);
    EXPECT_EQ(m.needle->Value(), 0.0);  // not touched from the calling thread
    // The first value becomes the default, and is drawn: the needle was
    // already drawn at rest.
    EXPECT_TRUE(m.editor->Tick());
    EXPECT_EQ(m.needle->Value(), 0.5);
    EXPECT_EQ(m.needle->DefaultValue(), 0.5);
    EXPECT_EQ(m.editor->ScreenPixel(144, 70), kWhite);
    m.editor->SetParameterFromPlugin(EditorTestPlugin::kMeter, 0.25, true);
    EXPECT_TRUE(m.editor->Tick());
    // The needle's left edge at 45 + (int)(198 × 0.25) = 94.
    EXPECT_EQ(m.editor->ScreenPixel(94, 70), kWhite);
    EXPECT_EQ(m.editor->ScreenPixel(93, 70), kBlack);
    EXPECT_EQ(m.editor->ScreenPixel(144 + 15, 70), kBlack);  // the old position was cleared
}

TEST(MeterHandOff, ARealValueForANonParameterIsTakenAsNormalised) {
    Meter m;
    m.editor->SetParameterFromPlugin(EditorTestPlugin::kMeter, 0.75, false);  // no parameter to convert with
    m.editor->Tick();
    EXPECT_EQ(m.needle->Value(), 0.75);
}

TEST(MeterHandOff, AnAudioThreadPostingWhileTheEditorDrawsRacesWithNothing) {
    // The audio thread hands over rising values under the plug-in's lock, as
    // the effect's processing does, while the editor thread ticks and draws.
    // Every value the needle takes is one that was sent, in sending order,
    // and the last one arrives.
    Meter m;
    constexpr int kValues = 20000;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 1; i <= kValues; ++i) {
            IPlugLockGuard guard(m.plugin.Lock());
            m.plugin.Editor()->SetParameterFromPlugin(EditorTestPlugin::kMeter, static_cast<double>(i) / kValues,
                                                      true);
        }
        done.store(true);
    });
    double previous = 0.0;
    int ticks = 0;
    bool inOrder = true;
    while (!done.load() || ticks == 0) {
        m.editor->Tick();
        ++ticks;
        const double v = m.needle->Value();
        if (v < previous) inOrder = false;
        previous = v;
    }
    audio.join();
    m.editor->Tick();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(m.needle->Value(), 1.0);
    EXPECT_EQ(m.editor->ScreenPixel(45 + 198, 70), kWhite);
}
