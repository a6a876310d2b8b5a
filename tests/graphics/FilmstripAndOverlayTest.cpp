#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "graphics/controls/IBitmapOverlayControl.h"
#include "graphics/controls/IKnobMultiControl.h"

// The filmstrip knob and the click-to-show overlay, on made-up pictures whose
// frames are solid colours, so the screen tells which frame was drawn.

namespace {

// 128 distinct opaque colours.
std::vector<IRgba> FrameColours(int n) {
    std::vector<IRgba> colours;
    for (int i = 0; i < n; ++i) colours.emplace_back(255, i * 2, 255 - i, (i * 37) % 256);
    return colours;
}

}  // namespace

TEST(IKnobMultiControl, DrawsTheFrameOfItsValueAndTurnsByDragging) {
    EditorFixture f(60, 60);
    const std::vector<IRgba> colours = FrameColours(128);
    const IBitmapRef strip = MakeStrip(*f.editor, 20, 25, 128, colours);
    auto* knob = new IKnobMultiControl(&f.plugin, 10, 5, EditorTestPlugin::kGain, strip, IControl::kVertical, 4.0);
    f.editor->AttachControl(knob);
    EXPECT_EQ(knob->DrawArea(), IBounds(10, 5, 30, 30));  // one frame
    f.AttachAndOpen();
    const struct {
        double value;
        int frame;
    } cases[] = {{0.0, 1}, {0.0025, 1}, {0.0039, 1}, {0.004, 2}, {0.5, 65}, {0.996, 127}, {0.9961, 128}, {1.0, 128}};
    for (const auto& c : cases) {
        f.editor->SetParameterFromPlugin(EditorTestPlugin::kGain, c.value, true);
        knob->MarkDirty(false);
        f.editor->Tick();
        EXPECT_EQ(f.editor->ScreenPixel(10, 5), colours[static_cast<size_t>(c.frame - 1)]) << c.value;
        EXPECT_EQ(f.editor->ScreenPixel(29, 29), colours[static_cast<size_t>(c.frame - 1)]) << c.value;
    }
    // 25 pixels high, gearing 4: 100 pixels of upward travel sweep 0 to 1.
    f.editor->SetParameterFromPlugin(EditorTestPlugin::kGain, 0.0, true);
    f.editor->Drag(20, 20, 20, -30, 2, LeftButton());
    EXPECT_DOUBLE_EQ(knob->Value(), 0.5);
    EXPECT_DOUBLE_EQ(f.plugin.Param(EditorTestPlugin::kGain)->Value(), 0.0);  // 0.5 of -20..20
}

TEST(IBitmapOverlayControl, ItsMouseAreaFollowsWhatWasLastDrawn) {
    EditorFixture f(100, 80);
    f.editor->AttachBackgroundColour(kBlack);
    std::vector<std::string> log;
    auto* under = new RecordingControl(&f.plugin, IBounds(50, 40, 90, 70), -1, kBlue, "under", &log);
    f.editor->AttachControl(under);
    const IBitmapRef picture = MakeStrip(*f.editor, 100, 80, 1, {kRed});
    auto* overlay = new IBitmapOverlayControl(&f.plugin, 0, 0, -1, picture, IBounds(10, 10, 30, 20));
    f.editor->AttachControl(overlay);
    // Not drawn yet: the whole picture takes the mouse.
    EXPECT_EQ(overlay->HitArea(), IBounds(0, 0, 100, 80));
    f.AttachAndOpen();
    f.editor->Tick();
    EXPECT_EQ(overlay->HitArea(), IBounds(10, 10, 30, 20));
    EXPECT_EQ(f.editor->ScreenPixel(60, 50), kBlue);  // hidden: nothing drawn

    f.editor->Click(60, 50);  // outside the click area: reaches the control under it
    EXPECT_EQ(log.back(), "under up");
    f.editor->Click(15, 15);
    EXPECT_TRUE(overlay->IsShown());
    EXPECT_EQ(overlay->HitArea(), IBounds(10, 10, 30, 20));  // until it is drawn
    f.editor->Tick();
    EXPECT_EQ(overlay->HitArea(), IBounds(0, 0, 100, 80));
    EXPECT_EQ(f.editor->ScreenPixel(60, 50), kRed);

    log.clear();
    f.editor->Click(60, 50);  // anywhere: hides it, reaches nothing under it
    EXPECT_FALSE(overlay->IsShown());
    EXPECT_EQ(std::count(log.begin(), log.end(), "under down"), 0);
    while (f.editor->Tick()) {
    }
    EXPECT_EQ(overlay->HitArea(), IBounds(10, 10, 30, 20));
    EXPECT_EQ(f.editor->ScreenPixel(60, 50), kBlue);
}
