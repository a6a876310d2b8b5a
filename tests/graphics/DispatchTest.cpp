#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorFixture.h"

// Mouse and key dispatch: which control gets an event, capture, gestures.

namespace {
struct Layout : EditorFixture {
    Layout() {
        // 0: background without parameter; 1 and 2 overlap, 2 on top; 3 apart.
        editor->AttachControl(new RecordingControl(&plugin, IBounds(0, 0, 100, 80), -1, kBlack, "bg", &log));
        editor->AttachControl(new RecordingControl(&plugin, IBounds(10, 10, 50, 50), EditorTestPlugin::kGain, kRed,
                                                   "low", &log));
        editor->AttachControl(new RecordingControl(&plugin, IBounds(30, 30, 70, 70), EditorTestPlugin::kSteps,
                                                   kGreen, "high", &log));
        editor->AttachControl(new RecordingControl(&plugin, IBounds(80, 0, 100, 20), -1, kBlue, "apart", &log));
        AttachAndOpen();
        log.clear();
        plugin.events.clear();
    }
    std::vector<std::string> log;
};
}  // namespace

TEST(Dispatch, TheTopmostVisibleEnabledControlWins) {
    Layout f;
    IGraphics& g = *f.editor;
    EXPECT_EQ(g.ControlIndexAt(40, 40, false), 2);   // overlap: the later control
    EXPECT_EQ(g.ControlIndexAt(15, 15, false), 1);
    EXPECT_EQ(g.ControlIndexAt(5, 75, false), 0);    // only the background
    EXPECT_EQ(g.ControlIndexAt(100, 0, false), -1);  // right edge is outside
    g.GetControl(2)->SetHidden(true);
    EXPECT_EQ(g.ControlIndexAt(40, 40, false), 1);
    g.GetControl(2)->SetHidden(false);
    g.GetControl(2)->SetGreyed(true);
    EXPECT_EQ(g.ControlIndexAt(40, 40, false), 1);
    EXPECT_EQ(g.ControlIndexAt(40, 40, true), 1);
    g.GetControl(2)->SetMouseOverWhenGreyed(true);
    EXPECT_EQ(g.ControlIndexAt(40, 40, true), 2);   // mouse-over may reach it
    EXPECT_EQ(g.ControlIndexAt(40, 40, false), 1);  // clicks still may not
}

TEST(Dispatch, ThePressedControlKeepsTheMouseUntilRelease) {
    Layout f;
    f.editor->MouseDown(15, 15, LeftButton());
    EXPECT_EQ(f.editor->CaptureIndex(), 1);
    // Outside the control, even over another one, the captured control is found.
    EXPECT_EQ(f.editor->ControlIndexAt(90, 10, false), 1);
    f.editor->MouseMove(90, 10, LeftButton());
    f.editor->MouseMove(90, 10, LeftButton());  // no movement: no drag
    f.editor->MouseMove(85, 14, LeftButton());
    f.editor->MouseUp(85, 14, LeftButton());
    EXPECT_EQ(f.editor->CaptureIndex(), -1);
    const std::vector<std::string> expected = {"low down", "low drag 75,-5", "low drag -5,4", "low up"};
    EXPECT_EQ(f.log, expected);
}

TEST(Dispatch, APressOnAParameterControlOpensAndClosesAGesture) {
    Layout f;
    f.editor->Click(15, 15);
    f.editor->Click(85, 5);  // no parameter: no gesture
    f.editor->Click(5, 75);  // background
    const std::vector<std::string> expected = {"begin 0", "end 0"};
    EXPECT_EQ(f.plugin.events, expected);
}

TEST(Dispatch, RightClickReachesTheControlUnlessTheHostInterfaceOwnsTheMenu) {
    {
        Layout f;  // host interface kind 3
        f.editor->Click(15, 15, RightButton());
        const std::vector<std::string> expected = {"begin 0", "end 0"};
        EXPECT_EQ(f.plugin.events, expected);
        EXPECT_EQ(f.log.front(), "low down");
    }
    {
        EditorFixture f(100, 80, 1);
        std::vector<std::string> log;
        f.editor->AttachControl(
            new RecordingControl(&f.plugin, IBounds(10, 10, 50, 50), EditorTestPlugin::kGain, kRed, "c", &log));
        f.editor->AttachControl(new RecordingControl(&f.plugin, IBounds(60, 10, 90, 50), -1, kRed, "free", &log));
        f.AttachAndOpen();
        f.editor->Click(15, 15, RightButton());
        f.editor->Click(65, 15, RightButton());
        // The host's menu took the press: no gesture opens or closes.
        EXPECT_EQ(f.plugin.events, std::vector<std::string>{"menu 0"});
        EXPECT_EQ(log, (std::vector<std::string>{"c up", "free down", "free up"}));
        EXPECT_EQ(f.editor->CaptureIndex(), -1);
    }
}

TEST(Dispatch, DoubleClickGoesToTheHandlerOrActsAsAPress) {
    Layout f;
    IControl* low = f.editor->GetControl(1);
    low->SetValueFromUser(0.75);
    // Back to the first value the plug-in gave: Gain's 0 dB, normalised.
    EXPECT_FALSE(f.editor->DispatchDoubleClick(15, 15, LeftButton()));
    EXPECT_DOUBLE_EQ(low->Value(), 0.5);
    EXPECT_DOUBLE_EQ(f.plugin.Param(EditorTestPlugin::kGain)->Value(), 0.0);
    EXPECT_EQ(f.editor->CaptureIndex(), -1);
    low->SetDoubleClickAsMouseDown(true);
    f.log.clear();
    EXPECT_TRUE(f.editor->DispatchDoubleClick(15, 15, LeftButton()));
    EXPECT_EQ(f.editor->CaptureIndex(), 1);
    EXPECT_EQ(f.log, std::vector<std::string>{"low down"});
}

TEST(Dispatch, KeysGoToTheControlUnderThePointerOrTheKeyCatcher) {
    Layout f;
    EXPECT_TRUE(f.editor->Key(15, 15, IGraphicsHeadless::KeyCodeFor('A')));
    EXPECT_FALSE(f.editor->Key(5, 75, IGraphicsHeadless::kKeySpace));  // background, no catcher
    std::vector<std::string> caught;
    f.editor->SetKeyCatcher(new RecordingControl(&f.plugin, IBounds(), -1, kRed, "catcher", &caught));
    EXPECT_TRUE(f.editor->Key(5, 75, IGraphicsHeadless::KeyCodeFor('9')));
    EXPECT_EQ(f.log, std::vector<std::string>{"low key 15"});
    EXPECT_EQ(caught, std::vector<std::string>{"catcher key 14"});
    EXPECT_EQ(IGraphicsHeadless::KeyCodeFor('z'), 40);
    EXPECT_EQ(IGraphicsHeadless::KeyCodeFor('%'), -1);
}

TEST(Dispatch, MouseOverTracksTheControlAndSendsMouseOut) {
    Layout f;
    IMouseState none;
    EXPECT_FALSE(f.editor->DispatchMouseOver(15, 15, none));  // off by default
    f.editor->SetHandleMouseOver(true);
    f.editor->MouseMove(15, 15, none);
    f.editor->MouseMove(16, 16, none);
    f.editor->MouseMove(40, 40, none);
    EXPECT_EQ(f.editor->MouseOverIndex(), 2);
    const std::vector<std::string> expected = {"low over", "low over", "high over", "low out"};
    EXPECT_EQ(f.log, expected);
    f.log.clear();
    f.editor->MouseLeave();
    EXPECT_EQ(f.editor->MouseOverIndex(), -1);
    EXPECT_EQ(f.log.size(), 4u);  // every control hears it
}

TEST(Dispatch, ParamIndexAtReportsTheControlsParameterOnce) {
    Layout f;
    EXPECT_EQ(f.editor->ParamIndexAt(5, 75), -1);  // background
    EXPECT_EQ(f.editor->ParamIndexAt(40, 40), EditorTestPlugin::kSteps);
    EXPECT_EQ(f.editor->TakeClickedParam(), EditorTestPlugin::kSteps);
    EXPECT_EQ(f.editor->TakeClickedParam(), -1);
}

TEST(Dispatch, WheelGoesToTheControlUnderThePointer) {
    Layout f;
    IControl* high = f.editor->GetControl(2);  // Steps, starting at 0
    f.editor->Wheel(40, 40, IMouseState(), 3);
    EXPECT_NEAR(high->Value(), 0.03, 1e-12);
    f.editor->Wheel(40, 40, WithShift(IMouseState()), 3);
    EXPECT_NEAR(high->Value(), 0.033, 1e-12);
    f.editor->Wheel(40, 40, WithControl(IMouseState()), -1);
    EXPECT_NEAR(high->Value(), 0.032, 1e-12);
    f.editor->Wheel(40, 40, IMouseState(), -10);
    EXPECT_EQ(high->Value(), 0.0);  // clamped
    f.editor->Wheel(40, 40, IMouseState(), 500);
    EXPECT_EQ(high->Value(), 1.0);
    EXPECT_EQ(f.plugin.Param(EditorTestPlugin::kSteps)->Value(), 10.0);
}
