#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorFixture.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/IFaderControl.h"
#include "graphics/controls/IInvisibleSwitchControl.h"
#include "graphics/controls/IKnobControl.h"
#include "graphics/controls/IKnobLineControl.h"
#include "graphics/controls/IPanelControl.h"
#include "graphics/controls/IRadioButtonsControl.h"
#include "graphics/controls/ISwitchControl.h"
#include "graphics/controls/ISwitchFramesControl.h"
#include "graphics/controls/IURLControl.h"

// The control family's value, mouse and drawing behaviour.

namespace {
// A knob that draws nothing: IKnobControl only supplies the drag.
class BareKnob : public IKnobControl {
public:
    using IKnobControl::IKnobControl;
    bool Draw(IGraphics&) override { return true; }
};

}  // namespace

TEST(IControlValue, TheFirstPluginValueBecomesTheDefaultWithoutDrawing) {
    EditorTestPlugin plugin;
    IPanelControl c(&plugin, IBounds(0, 0, 10, 10), kRed);
    c.MarkClean();  // drawn once after attaching
    c.SetValueFromPlugin(0.3);
    EXPECT_EQ(c.Value(), 0.3);
    EXPECT_EQ(c.DefaultValue(), 0.3);
    EXPECT_FALSE(c.NeedsDraw());
    c.SetValueFromPlugin(0.3);
    EXPECT_FALSE(c.NeedsDraw());
    c.SetValueFromPlugin(0.4);
    EXPECT_TRUE(c.NeedsDraw());
    c.MarkClean();
    EXPECT_TRUE(c.NeedsDraw());  // drawn once more
    c.MarkClean();
    EXPECT_FALSE(c.NeedsDraw());
}

TEST(IControlValue, DoubleClickWithoutAKnownDefaultChangesNothing) {
    EditorTestPlugin plugin;
    BareKnob k(&plugin, IBounds(0, 0, 10, 10), EditorTestPlugin::kGain);
    k.SetValueFromUser(0.7);
    k.HandleDoubleClick(1, 1, LeftButton());
    EXPECT_EQ(k.Value(), 0.7);
}

TEST(IControlValue, GreyingDrawsAtAQuarterAndUngreyingRestoresFullWeight) {
    EditorTestPlugin plugin;
    class HalfWeight : public IControl {
    public:
        explicit HalfWeight(IPlugBase* p) : IControl(p, IBounds(0, 0, 4, 4), -1, IBlend::kAlpha, 0.5f) {}
        bool Draw(IGraphics&) override { return true; }
    } c(&plugin);
    EXPECT_EQ(c.Blend().weight, 0.5f);
    c.SetGreyed(true);
    EXPECT_EQ(c.Blend().weight, 0.25f);
    EXPECT_TRUE(c.IsGreyed());
    c.SetGreyed(false);
    EXPECT_EQ(c.Blend().weight, 1.0f);
}

TEST(IControlValue, ClampRangeHoldsTheValue) {
    EditorTestPlugin plugin;
    BareKnob k(&plugin, IBounds(0, 0, 10, 100), EditorTestPlugin::kGain);
    k.SetClamp(0.25, 0.75);
    k.SetValueFromUser(0.9);
    EXPECT_EQ(k.Value(), 0.75);
    k.SetValueFromUser(-3.0);
    EXPECT_EQ(k.Value(), 0.25);
}

TEST(IKnobControl, DragGearingMovesTheValueByOneOverGearingPerKnobHeight) {
    struct Case {
        int direction;
        int dX, dY;
        IMouseState state;
        double change;
    };
    const Case cases[] = {
        {IControl::kVertical, 0, -50, LeftButton(), 0.125},               // up raises
        {IControl::kVertical, 0, -50, WithControl(LeftButton()), 0.0125},
        {IControl::kVertical, 0, -50, WithShift(LeftButton()), 0.0125},
        {IControl::kVertical, 0, 20, LeftButton(), -0.05},
        {IControl::kVertical, 30, 0, LeftButton(), 0.0},                  // sideways does nothing
        {IControl::kHorizontal, 25, 0, LeftButton(), 0.125},              // 50 wide: right raises
        {IControl::kHorizontal, 0, -40, LeftButton(), 0.0},
    };
    for (const Case& c : cases) {
        EditorTestPlugin plugin;
        BareKnob knob(&plugin, IBounds(0, 0, 50, 100), EditorTestPlugin::kGain, c.direction, 4.0);
        knob.SetValueFromPlugin(0.5);
        knob.HandleMouseDrag(0, 0, c.dX, c.dY, c.state);
        EXPECT_NEAR(knob.Value(), 0.5 + c.change, 1e-12) << c.direction << " " << c.dX << " " << c.dY;
        // The value went to the plug-in: 0.5 + change of the -20..20 dB range.
        EXPECT_NEAR(plugin.Param(EditorTestPlugin::kGain)->Value(), -20.0 + 40.0 * (0.5 + c.change), 0.05);
    }
}

TEST(IKnobControl, AWholeDragThroughTheHeadlessWindowReachesTheEndsAndStops) {
    EditorFixture f(200, 200);
    auto* knob = new BareKnob(&f.plugin, IBounds(0, 0, 100, 100), EditorTestPlugin::kGain, IControl::kVertical, 4.0);
    f.editor->AttachControl(knob);
    f.AttachAndOpen();
    f.editor->Drag(50, 90, 50, -310, 40, LeftButton());  // 400 pixels up from 0.5
    EXPECT_EQ(knob->Value(), 1.0);
    EXPECT_EQ(f.plugin.Param(EditorTestPlugin::kGain)->Value(), 20.0);
    f.editor->Drag(50, 10, 50, 210, 10, LeftButton());  // 200 down: half the range
    EXPECT_NEAR(knob->Value(), 0.5, 1e-12);
}

TEST(ISwitchControl, EachClickStepsToTheNextFrameAndWrapsAfterTheLast) {
    struct Case {
        int frames;
        std::vector<double> values;
    };
    const Case cases[] = {
        {2, {1.0, 0.0, 1.0}},
        {3, {0.5, 1.0, 0.0, 0.5}},
        {1, {1.0, 0.0}},
    };
    for (const Case& c : cases) {
        EditorFixture f;
        const IBitmapRef strip = MakeStrip(*f.editor, 8, 8, c.frames, {kRed, kGreen, kBlue});
        auto* sw = new ISwitchControl(&f.plugin, 10, 10, EditorTestPlugin::kSteps, strip);
        f.editor->AttachControl(sw);
        f.AttachAndOpen();
        EXPECT_EQ(sw->DrawArea(), IBounds(10, 10, 18, 18));
        for (double expected : c.values) {
            f.editor->Click(12, 12);
            EXPECT_NEAR(sw->Value(), expected, 1e-12) << c.frames;
        }
    }
}

TEST(ISwitchControl, ADoubleClickStepsAgainAndARightClickDoesNothing) {
    EditorFixture f;
    const IBitmapRef strip = MakeStrip(*f.editor, 8, 8, 2, {kRed, kGreen});
    auto* sw = new ISwitchControl(&f.plugin, 0, 0, EditorTestPlugin::kPower, strip);
    f.editor->AttachControl(sw);
    f.AttachAndOpen();
    EXPECT_EQ(sw->Value(), 1.0);  // Power defaults to on
    f.editor->Click(2, 2);
    f.editor->DoubleClick(2, 2, LeftButton());
    f.editor->MouseUp(2, 2, LeftButton());
    EXPECT_EQ(sw->Value(), 1.0);
    f.editor->Click(2, 2, RightButton());
    EXPECT_EQ(sw->Value(), 1.0);
    EXPECT_EQ(f.editor->MenusShown(), 0);
    EXPECT_FALSE(f.editor->IsTextEntryOpen());
    EXPECT_EQ(f.plugin.Param(EditorTestPlugin::kPower)->Value(), 1.0);
}

TEST(IBitmapControl, DrawsTheFrameOfItsValue) {
    EditorFixture f;
    const IBitmapRef strip = MakeStrip(*f.editor, 10, 6, 3, {kRed, kGreen, kBlue});
    auto* bitmap = new IBitmapControl(&f.plugin, 20, 30, EditorTestPlugin::kSteps, strip, IBlend::kCopy);
    f.editor->AttachControl(bitmap);
    f.AttachAndOpen();
    EXPECT_EQ(bitmap->DrawArea(), IBounds(20, 30, 30, 36));
    const std::pair<double, IRgba> cases[] = {{0.0, kRed}, {0.3, kGreen}, {0.74, kGreen}, {0.75, kBlue}, {1.0, kBlue}};
    for (const auto& c : cases) {
        f.editor->SetControlFromPlugin(0, c.first);
        f.editor->GetControl(0)->MarkDirty(false);
        f.editor->Tick();
        EXPECT_EQ(f.editor->ScreenPixel(20, 30), c.second) << c.first;
        EXPECT_EQ(f.editor->ScreenPixel(29, 35), c.second) << c.first;
    }
    // A right click does not prompt.
    f.editor->Click(22, 32, RightButton());
    EXPECT_EQ(f.editor->MenusShown(), 0);
    EXPECT_FALSE(f.editor->IsTextEntryOpen());
}

TEST(IFaderControl, TheHandleSitsAtTheValuesShareOfTheTrack) {
    EditorFixture f(300, 200);
    const IBitmapRef handle = MakeStrip(*f.editor, 10, 20, 1, {kRed});
    IFaderControl across(&f.plugin, 45, 61, 214, EditorTestPlugin::kGain, handle, IControl::kHorizontal);
    EXPECT_EQ(across.DrawArea(), IBounds(45, 61, 259, 81));
    EXPECT_EQ(across.HandleRect(0.5).left, 45 + 102);
    EXPECT_EQ(across.HandleRect(0.0), IBounds(45, 61, 55, 81));
    EXPECT_EQ(across.HandleRect(1.0).right, 259);
    IFaderControl upright(&f.plugin, 10, 10, 120, EditorTestPlugin::kGain, handle, IControl::kVertical);
    EXPECT_EQ(upright.DrawArea(), IBounds(10, 10, 20, 130));
    EXPECT_EQ(upright.HandleRect(1.0).top, 10);  // 1 at the top
    EXPECT_EQ(upright.HandleRect(0.0).bottom, 130);
    EXPECT_EQ(upright.HandleRect(0.5).top, 10 + 50);
}

TEST(IFaderControl, AClickPutsTheHandlesCentreUnderThePointer) {
    EditorFixture f(300, 200);
    const IBitmapRef handle = MakeStrip(*f.editor, 10, 20, 1, {kRed});
    auto* across = new IFaderControl(&f.plugin, 0, 0, 110, EditorTestPlugin::kGain, handle, IControl::kHorizontal);
    auto* upright = new IFaderControl(&f.plugin, 200, 0, 120, EditorTestPlugin::kSteps, handle, IControl::kVertical);
    f.editor->AttachControl(across);
    f.editor->AttachControl(upright);
    f.AttachAndOpen();
    struct Case {
        int x;
        double value;
    };
    for (const Case& c : {Case{5, 0.0}, Case{55, 0.5}, Case{105, 1.0}, Case{0, 0.0}, Case{109, 1.0}}) {
        f.editor->Click(c.x, 10);
        EXPECT_NEAR(across->Value(), c.value, 1e-12) << c.x;
    }
    f.editor->Click(205, 10);  // top: handle half (10) from the top gives 1
    EXPECT_NEAR(upright->Value(), 1.0, 1e-12);
    f.editor->Drag(205, 10, 205, 60, 5, LeftButton());
    EXPECT_NEAR(upright->Value(), 0.5, 1e-12);
    EXPECT_EQ(f.plugin.Param(EditorTestPlugin::kSteps)->Value(), 5.0);
}

TEST(IFaderControl, WithOnlyHandleTheTrackBesideTheHandleIsNotHit) {
    EditorFixture f(300, 200);
    const IBitmapRef handle = MakeStrip(*f.editor, 10, 20, 1, {kRed});
    IFaderControl fader(&f.plugin, 0, 0, 110, EditorTestPlugin::kGain, handle, IControl::kHorizontal, true);
    fader.SetValueFromPlugin(0.0);
    EXPECT_TRUE(fader.HitTest(5, 5));
    EXPECT_FALSE(fader.HitTest(60, 5));
    IFaderControl whole(&f.plugin, 0, 0, 110, EditorTestPlugin::kGain, handle, IControl::kHorizontal, false);
    EXPECT_TRUE(whole.HitTest(60, 5));
}

TEST(IFaderControl, ATrackNoLongerThanTheHandleKeepsItsValue) {
    EditorFixture f;
    const IBitmapRef handle = MakeStrip(*f.editor, 10, 20, 1, {kRed});
    IFaderControl stuck(&f.plugin, 0, 0, 10, EditorTestPlugin::kGain, handle, IControl::kHorizontal);
    stuck.SetValueFromPlugin(0.3);
    stuck.SnapToPoint(7, 5);
    EXPECT_EQ(stuck.Value(), 0.3);
}

TEST(IInvisibleSwitchControl, TogglesAroundTheMiddle) {
    EditorTestPlugin plugin;
    IInvisibleSwitchControl sw(&plugin, IBounds(0, 0, 10, 10), EditorTestPlugin::kPower);
    EXPECT_EQ(sw.Blend().method, IBlend::kCopy);
    for (const auto& c : {std::make_pair(0.0, 1.0), {0.49, 1.0}, {0.5, 0.0}, {1.0, 0.0}}) {
        sw.SetValueFromUser(c.first);
        sw.HandleMouseDown(1, 1, LeftButton());
        EXPECT_EQ(sw.Value(), c.second) << c.first;
    }
}

TEST(IRadioButtonsControl, ButtonsAreSpreadEvenlyAndChooseTheirShareOfTheRange) {
    EditorFixture f(200, 200);
    const IBitmapRef strip = MakeStrip(*f.editor, 10, 10, 2, {kRed, kGreen});
    // Three 10-pixel buttons in 50 pixels: gaps of 10.
    auto* across = new IRadioButtonsControl(&f.plugin, IBounds(0, 0, 50, 10), EditorTestPlugin::kMode, 3, strip,
                                            IControl::kHorizontal);
    auto* back = new IRadioButtonsControl(&f.plugin, IBounds(100, 0, 110, 50), EditorTestPlugin::kMode, 3, strip,
                                          IControl::kVertical, true);
    f.editor->AttachControl(across);
    f.editor->AttachControl(back);
    f.AttachAndOpen();
    EXPECT_EQ(across->Button(1), IBounds(20, 0, 30, 10));
    EXPECT_EQ(across->Button(2), IBounds(40, 0, 50, 10));
    EXPECT_EQ(back->Button(0), IBounds(100, 40, 110, 50));  // reversed: from the bottom up
    EXPECT_EQ(back->Button(2), IBounds(100, 0, 110, 10));
    f.editor->Click(45, 5);
    EXPECT_EQ(across->Value(), 1.0);
    EXPECT_EQ(f.plugin.Param(EditorTestPlugin::kMode)->Value(), 2.0);
    f.editor->Click(15, 5);  // between buttons: nothing
    EXPECT_EQ(across->Value(), 1.0);
    f.editor->Click(105, 45);
    EXPECT_EQ(back->Value(), 0.0);
    f.editor->Tick();
    // The chosen button shows the "on" frame, the others "off".
    EXPECT_EQ(f.editor->ScreenPixel(105, 45), kGreen);
    EXPECT_EQ(f.editor->ScreenPixel(105, 5), kRed);
}

TEST(IRadioButtonsControl, ASingleButtonNeedsNoSpacing) {
    EditorFixture f;
    const IBitmapRef strip = MakeStrip(*f.editor, 10, 10, 2, {kRed, kGreen});
    IRadioButtonsControl one(&f.plugin, IBounds(0, 0, 40, 10), EditorTestPlugin::kMode, 1, strip,
                             IControl::kHorizontal);
    EXPECT_EQ(one.Button(0), IBounds(0, 0, 10, 10));
    one.HandleMouseDown(5, 5, LeftButton());
    EXPECT_EQ(one.Value(), 0.0);
}

TEST(ISwitchFramesControl, AClickOnAStripChoosesThatState) {
    EditorFixture f;
    const IBitmapRef strip = MakeStrip(*f.editor, 30, 10, 3, {kRed, kGreen, kBlue});
    ISwitchFramesControl stacked(&f.plugin, 0, 0, EditorTestPlugin::kMode, strip);
    EXPECT_FALSE(stacked.PromptDisabled());
    stacked.HandleMouseDown(5, 5, LeftButton());
    EXPECT_EQ(stacked.Value(), 0.5);  // 10 high, three strips of 3 pixels: (5) is the second
    ISwitchFramesControl sideBySide(&f.plugin, 0, 0, EditorTestPlugin::kMode, strip, true);
    sideBySide.HandleDoubleClick(25, 5, LeftButton());
    EXPECT_EQ(sideBySide.Value(), 1.0);
}

TEST(IKnobLineControl, DrawsALineFromTheCentreAtTheValuesAngle) {
    EditorFixture f(41, 41);
    f.editor->AttachBackgroundColour(kBlack);
    // Centred on (20.5, 20.5), the middle of pixel (20, 20).
    auto* knob = new IKnobLineControl(&f.plugin, IBounds(0, 0, 41, 41), EditorTestPlugin::kGain, kWhite, -2.0f, 2.0f);
    f.editor->AttachControl(knob);
    f.AttachAndOpen();
    f.editor->Tick();  // Gain at 0 dB: value 0.5, pointing straight up
    EXPECT_EQ(f.editor->ScreenPixel(20, 5), kWhite);
    EXPECT_EQ(f.editor->ScreenPixel(20, 35), kBlack);
    EXPECT_EQ(knob->Blend().method, IBlend::kCopy);
}

TEST(IURLControl, FallsBackToTheSecondLinkWhenTheFirstFails) {
    EditorFixture f;
    f.editor->AttachControl(new IURLControl(&f.plugin, IBounds(0, 0, 10, 10), "https://a.example", "https://b.example"));
    f.editor->AttachControl(new IURLControl(&f.plugin, IBounds(20, 0, 30, 10), "https://c.example", "https://d.example"));
    f.AttachAndOpen();
    f.editor->Click(5, 5);
    f.editor->SetUrlsOpen(true);
    f.editor->Click(25, 5);
    const std::vector<std::string> expected = {"https://a.example", "https://b.example", "https://c.example"};
    EXPECT_EQ(f.editor->UrlsRequested(), expected);
}
