#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EditorFixture.h"

// Dirty collection and the two drawing passes, down to the pixels on the
// virtual screen.

namespace {
// 0: black background over the whole 100 × 80 editor; 1: red at (10,10)-(40,40);
// 2: green at (30,30)-(60,60), overlapping 1; 3: blue at (70,10)-(90,30), apart.
struct Scene : EditorFixture {
    explicit Scene(bool strict) {
        editor->AttachControl(new RecordingControl(&plugin, IBounds(0, 0, 100, 80), -1, kBlack, "bg", &log));
        editor->AttachControl(new RecordingControl(&plugin, IBounds(10, 10, 40, 40), EditorTestPlugin::kGain, kRed,
                                                   "red", &log));
        editor->AttachControl(new RecordingControl(&plugin, IBounds(30, 30, 60, 60), EditorTestPlugin::kSteps,
                                                   kGreen, "green", &log));
        editor->AttachControl(new RecordingControl(&plugin, IBounds(70, 10, 90, 30), -1, kBlue, "blue", &log));
        editor->SetStrictDrawing(strict);
        AttachAndOpen();
        EXPECT_TRUE(editor->Tick());  // the first pass draws everything
        log.clear();
    }
    IControl* Control(int i) { return editor->GetControl(i); }
    std::vector<std::string> log;
};
}  // namespace

TEST(Redraw, TheFirstTickDrawsEveryControlInListOrder) {
    Scene s(true);
    EXPECT_EQ(s.editor->ScreenPixel(5, 5), kBlack);
    EXPECT_EQ(s.editor->ScreenPixel(15, 15), kRed);
    EXPECT_EQ(s.editor->ScreenPixel(35, 35), kGreen);  // later controls lie on top
    EXPECT_EQ(s.editor->ScreenPixel(80, 20), kBlue);
    EXPECT_EQ(s.editor->LastPaintedArea(), IBounds(0, 0, 100, 80));
}

TEST(Redraw, ATickWithNothingDirtyDrawsAndPaintsNothing) {
    Scene s(true);
    const int paints = s.editor->PaintCount();
    EXPECT_FALSE(s.editor->Tick());
    EXPECT_EQ(s.editor->PaintCount(), paints);
    EXPECT_TRUE(s.log.empty());
}

TEST(Redraw, StrictPassDrawsEverythingOverlappingTheDirtyAreaAndCleansAll) {
    Scene s(true);
    s.Control(1)->MarkDirty(false);
    IBounds area;
    ASSERT_TRUE(s.editor->CollectDirtyArea(area));
    EXPECT_EQ(area, IBounds(10, 10, 40, 40));
    EXPECT_TRUE(s.editor->DrawDirty(area));
    EXPECT_EQ(s.log, (std::vector<std::string>{"bg", "red", "green"}));
    for (int i = 0; i < s.editor->NControls(); ++i) EXPECT_FALSE(s.Control(i)->NeedsDraw()) << i;
    EXPECT_EQ(s.editor->DrawArea(), area);
    EXPECT_EQ(s.editor->LastPaintedArea(), area);
}

TEST(Redraw, AChangedValueIsDrawnOnTwoConsecutivePasses) {
    for (bool strict : {true, false}) {
        Scene s(strict);
        s.Control(2)->SetValueFromPlugin(0.4);  // differs from the attach value
        EXPECT_TRUE(s.editor->Tick());
        EXPECT_TRUE(s.Control(2)->NeedsDraw()) << strict;
        EXPECT_TRUE(s.editor->Tick());
        EXPECT_FALSE(s.Control(2)->NeedsDraw()) << strict;
        EXPECT_FALSE(s.editor->Tick());
        // An equal value changes nothing.
        s.Control(2)->SetValueFromPlugin(0.4);
        EXPECT_FALSE(s.editor->Tick());
    }
}

TEST(Redraw, NonStrictPassRedrawsEachDirtyControlWithWhatOverlapsItAndCleansOnlyIt) {
    Scene s(false);
    s.Control(2)->MarkDirty(false);
    s.Control(3)->MarkDirty(false);
    EXPECT_TRUE(s.editor->Tick());
    // Green's area: the background, red under it, green; then blue's area.
    EXPECT_EQ(s.log, (std::vector<std::string>{"bg", "red", "green", "bg", "blue"}));
    EXPECT_FALSE(s.Control(2)->NeedsDraw());
    EXPECT_FALSE(s.Control(3)->NeedsDraw());
    EXPECT_EQ(s.editor->LastPaintedArea(), IBounds(30, 10, 90, 60));
}

TEST(Redraw, NonStrictPassWithADirtyBackgroundDrawsEverythingVisible) {
    Scene s(false);
    s.Control(3)->SetHidden(true);
    s.log.clear();
    s.Control(0)->MarkDirty(false);
    EXPECT_TRUE(s.editor->Tick());
    EXPECT_EQ(s.log, (std::vector<std::string>{"bg", "red", "green"}));
    // A hidden control is neither drawn nor cleaned in this pass.
    EXPECT_TRUE(s.Control(3)->NeedsDraw());
}

TEST(Redraw, HidingAControlRevealsWhatLiesBeneath) {
    for (bool strict : {true, false}) {
        Scene s(strict);
        s.Control(2)->SetHidden(true);
        EXPECT_TRUE(s.editor->Tick());
        EXPECT_EQ(s.editor->ScreenPixel(35, 35), kRed) << strict;
        EXPECT_EQ(s.editor->ScreenPixel(50, 50), kBlack) << strict;
        EXPECT_EQ(std::count(s.log.begin(), s.log.end(), "green"), 0) << strict;
    }
}

TEST(Redraw, DrawingIsClippedToTheDirtyArea) {
    Scene s(true);
    // Paint the back buffer's corner white behind the editor's back; a pass
    // over red's area must not touch it.
    s.editor->ForcePixel(kWhite, 95, 75);
    s.Control(1)->MarkDirty(false);
    EXPECT_TRUE(s.editor->Tick());
    EXPECT_EQ(s.editor->ReadPixel(95, 75), kWhite);
    EXPECT_EQ(s.editor->ScreenPixel(95, 75), kBlack);  // the screen got only the area
}

TEST(Redraw, SetStrictDrawingMarksEverythingForDrawing) {
    Scene s(true);
    s.editor->SetStrictDrawing(false);
    IBounds area;
    EXPECT_TRUE(s.editor->CollectDirtyArea(area));
    EXPECT_EQ(area, IBounds(0, 0, 100, 80));
}

TEST(Redraw, AnEditorWithoutControlsDrawsNothing) {
    EditorFixture f;
    f.AttachAndOpen();
    EXPECT_TRUE(f.editor->DrawDirty(IBounds(0, 0, 10, 10)));
    EXPECT_EQ(f.editor->PaintCount(), 0);
}

TEST(Redraw, AClosedWindowIsNotTicked) {
    Scene s(true);
    s.editor->CloseWindow();
    s.Control(1)->MarkDirty(false);
    EXPECT_FALSE(s.editor->Tick());
    EXPECT_EQ(s.editor->Screen(), nullptr);
    // Reopening marks everything for drawing.
    ASSERT_NE(s.editor->OpenWindow(nullptr), nullptr);
    EXPECT_TRUE(s.editor->Tick());
    EXPECT_EQ(s.editor->ScreenPixel(80, 20), kBlue);
}
