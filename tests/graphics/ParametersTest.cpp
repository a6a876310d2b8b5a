#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorFixture.h"
#include "graphics/controls/ICaptionControl.h"
#include "graphics/controls/IKnobControl.h"
#include "graphics/controls/ITextControl.h"

// Values between the plug-in and the controls, both ways, and the value
// prompt (popup menu or text entry).

namespace {
class Knob : public IKnobControl {
public:
    using IKnobControl::IKnobControl;
    bool Draw(IGraphics&) override { return true; }
};

struct Bound : EditorFixture {
    Bound() {
        gain = new Knob(&plugin, IBounds(0, 0, 20, 20), EditorTestPlugin::kGain);
        gainTwin = new Knob(&plugin, IBounds(20, 0, 40, 20), EditorTestPlugin::kGain);
        steps = new Knob(&plugin, IBounds(40, 0, 60, 20), EditorTestPlugin::kSteps);
        steps->AddAuxParam(EditorTestPlugin::kGain);
        editor->AttachControl(gain);
        editor->AttachControl(gainTwin);
        editor->AttachControl(steps);
        AttachAndOpen();
    }
    Knob* gain;
    Knob* gainTwin;
    Knob* steps;
};
}  // namespace

TEST(Parameters, AttachingPushesEveryParameterAsTheControlsDefault) {
    Bound b;
    EXPECT_EQ(b.gain->Value(), 0.5);
    EXPECT_EQ(b.gain->DefaultValue(), 0.5);
    EXPECT_EQ(b.steps->Value(), 0.0);
    EXPECT_EQ(b.steps->AuxParamAt(0)->value, 0.5);
    ASSERT_NE(b.editor->BackBuffer(), nullptr);
    EXPECT_EQ(b.editor->BackBuffer()->Width(), 100);
}

TEST(Parameters, AControlChangeReachesThePluginAndTheHost) {
    Bound b;
    b.plugin.events.clear();
    b.gain->SetValueFromUser(0.75);
    EXPECT_DOUBLE_EQ(b.plugin.Param(EditorTestPlugin::kGain)->Value(), 10.0);
    EXPECT_EQ(b.plugin.events, std::vector<std::string>{"value 0"});
    // The twin bound to the same parameter hears of it through the plug-in's
    // refresh, in real units.
    b.plugin.RefreshEditorControls();
    EXPECT_DOUBLE_EQ(b.gainTwin->Value(), 0.75);
    EXPECT_TRUE(b.gainTwin->NeedsDraw());
}

TEST(Parameters, PluginValuesReachEveryBoundControlAndAuxiliaryEntry) {
    Bound b;
    b.editor->SetParameterFromPlugin(EditorTestPlugin::kGain, -10.0, false);  // real units
    EXPECT_DOUBLE_EQ(b.gain->Value(), 0.25);
    EXPECT_DOUBLE_EQ(b.gainTwin->Value(), 0.25);
    EXPECT_DOUBLE_EQ(b.steps->AuxParamAt(0)->value, 0.25);
    EXPECT_EQ(b.steps->Value(), 0.0);
    b.editor->SetParameterFromPlugin(EditorTestPlugin::kGain, 0.6, true);
    EXPECT_DOUBLE_EQ(b.gain->Value(), 0.6);
    // Nothing went back to the plug-in.
    EXPECT_DOUBLE_EQ(b.plugin.Param(EditorTestPlugin::kGain)->Value(), 0.0);
}

TEST(Parameters, SetParameterFromEditorActsAsTheUser) {
    Bound b;
    b.editor->SetParameterFromEditor(EditorTestPlugin::kSteps, 0.3);
    EXPECT_EQ(b.steps->Value(), 0.3);
    EXPECT_DOUBLE_EQ(b.plugin.Param(EditorTestPlugin::kSteps)->Value(), 3.0);
    b.editor->SetControlFromPlugin(0, 0.9);
    EXPECT_EQ(b.gain->Value(), 0.9);
    b.editor->SetControlFromPlugin(99, 0.9);  // no such control: nothing
}

TEST(Parameters, ClampHideAndGreyApplyToTheBoundControls) {
    Bound b;
    b.editor->ClampParameterControls(EditorTestPlugin::kGain, -10.0, 10.0, false);
    b.gain->SetValueFromUser(1.0);
    EXPECT_DOUBLE_EQ(b.gain->Value(), 0.75);
    b.editor->HideParameterControls(EditorTestPlugin::kGain, true);
    EXPECT_TRUE(b.gain->IsHidden());
    EXPECT_TRUE(b.gainTwin->IsHidden());
    EXPECT_FALSE(b.steps->IsHidden());
    b.editor->GreyParameterControls(EditorTestPlugin::kSteps, true);
    EXPECT_TRUE(b.steps->IsGreyed());
    EXPECT_FALSE(b.gain->IsGreyed());
}

TEST(Parameters, LabelsFollowTheValueTheUserSets) {
    Bound b;
    auto* value = new ITextControl(&b.plugin, IBounds(0, 30, 40, 40), ITextStyle());
    auto* name = new ITextControl(&b.plugin, IBounds(0, 40, 40, 50), ITextStyle());
    b.editor->AttachControl(value);
    b.editor->AttachControl(name);
    b.gain->SetValueLabel(value);
    b.gain->SetNameLabel(name);
    b.gain->SetValueFromUser(0.75);
    EXPECT_EQ(value->Text(), "10.0 dB");
    EXPECT_EQ(name->Text(), "Gain");
}

TEST(Parameters, AListPromptShowsItsValueTextsWithTheCurrentOneChecked) {
    Bound b;
    auto* caption = new ICaptionControl(&b.plugin, IBounds(0, 50, 60, 70), EditorTestPlugin::kMode, ITextStyle());
    caption->SetPromptDisabled(false);
    b.editor->AttachControl(caption);
    b.editor->SetParameterFromPlugin(EditorTestPlugin::kMode, 1.0, false);
    b.plugin.Param(EditorTestPlugin::kMode)->Set(1.0);
    b.plugin.events.clear();
    b.editor->QueueMenuChoice(2);
    b.editor->Click(10, 60);
    EXPECT_EQ(b.editor->LastMenuItems(), (std::vector<std::string>{"Soft", "Medium", "Hard"}));
    EXPECT_EQ(b.editor->LastMenuFlags(), (std::vector<int>{0, IMenuItem::kChecked, 0}));
    EXPECT_EQ(b.editor->LastMenuArea(), caption->DrawArea());  // value texts: over the control
    EXPECT_DOUBLE_EQ(caption->Value(), 1.0);
    EXPECT_DOUBLE_EQ(b.plugin.Param(EditorTestPlugin::kMode)->Value(), 2.0);
    // The press's gesture closes although the menu took the capture.
    EXPECT_EQ(b.plugin.events, (std::vector<std::string>{"begin 2", "value 2", "end 2"}));
}

TEST(Parameters, ACaptionPromptsOnlyOnceEnabledAndADismissedMenuChangesNothing) {
    Bound b;
    auto* caption = new ICaptionControl(&b.plugin, IBounds(0, 50, 60, 70), EditorTestPlugin::kMode, ITextStyle());
    b.editor->AttachControl(caption);
    EXPECT_TRUE(caption->PromptDisabled());  // as every control starts
    b.editor->Click(10, 60);
    EXPECT_EQ(b.editor->MenusShown(), 0);
    caption->SetPromptDisabled(false);
    b.editor->Click(10, 60);  // no answer queued
    EXPECT_EQ(b.editor->MenusShown(), 1);
    EXPECT_EQ(caption->Value(), 0.0);
}

TEST(Parameters, ASwitchMenuSetsTheChosenTextsOwnValue) {
    // Texts listed "on" first: the item's position is not its value.
    EditorTestPlugin plugin;
    IPlugParam& power = *plugin.Param(EditorTestPlugin::kPower);
    power = IPlugParam();
    power.DefineList("Power", 1, 2);
    power.AddValueText(1, "on");
    power.AddValueText(0, "off");
    auto* editor = new IGraphicsHeadless(&plugin, 60, 60, 0);
    auto* caption = new ICaptionControl(&plugin, IBounds(0, 0, 60, 20), EditorTestPlugin::kPower, ITextStyle());
    caption->SetPromptDisabled(false);
    editor->AttachControl(caption);
    plugin.AttachEditor(editor);
    editor->OpenWindow(nullptr);
    editor->QueueMenuChoice(1);  // "off"
    editor->Click(10, 10);
    EXPECT_EQ(editor->LastMenuFlags(), (std::vector<int>{IMenuItem::kChecked, 0}));
    EXPECT_EQ(power.Value(), 0.0);
}

TEST(Parameters, TypedTextSetsAContinuousParameterOnTheNextTick) {
    Bound b;
    auto* caption = new ICaptionControl(&b.plugin, IBounds(0, 50, 60, 70), EditorTestPlugin::kGain, ITextStyle());
    caption->SetPromptDisabled(false);
    b.editor->AttachControl(caption);
    b.editor->Click(10, 60);
    ASSERT_TRUE(b.editor->IsTextEntryOpen());
    EXPECT_EQ(b.editor->TextEntryText(), "0.0");
    EXPECT_EQ(b.editor->TextEntryArea(), IBounds(15, 52, 45, 68));  // 30 × 16 box on the centre
    b.editor->EnterText("-3.5x");  // the letter is refused
    EXPECT_EQ(b.editor->TextEntryText(), "-3.5");
    EXPECT_EQ(b.plugin.Param(EditorTestPlugin::kGain)->Value(), 0.0);
    const int paints = b.editor->PaintCount();
    EXPECT_FALSE(b.editor->Tick());  // applies the entry, draws nothing
    EXPECT_EQ(b.editor->PaintCount(), paints);
    EXPECT_FALSE(b.editor->IsTextEntryOpen());
    EXPECT_DOUBLE_EQ(b.plugin.Param(EditorTestPlugin::kGain)->Value(), -3.5);
    EXPECT_DOUBLE_EQ(b.gain->Value(), 0.5);  // the knob hears of it from the plug-in, not the editor
}

TEST(Parameters, EntryCharactersFollowTheParameterKind) {
    struct Case {
        int kind;
        char c;
        bool accepted;
    };
    const Case cases[] = {
        {IPlugParam::Continuous, '.', true}, {IPlugParam::Integer, '.', false}, {IPlugParam::Switch, '7', true},
        {IPlugParam::List, '+', true},       {IPlugParam::Continuous, 'e', false}, {-1, 'e', true},
    };
    for (const Case& c : cases) EXPECT_EQ(IGraphicsHeadless::EntryAccepts(c.kind, c.c), c.accepted) << c.kind << c.c;
}

TEST(Parameters, AClickOrTheWheelCancelsAnOpenEntryWithoutApplyingIt) {
    Bound b;
    auto* caption = new ICaptionControl(&b.plugin, IBounds(0, 50, 60, 70), EditorTestPlugin::kSteps, ITextStyle());
    caption->SetPromptDisabled(false);
    b.editor->AttachControl(caption);
    b.editor->Click(10, 60);
    ASSERT_TRUE(b.editor->IsTextEntryOpen());
    b.editor->Wheel(5, 5, IMouseState(), 2);  // swallowed
    EXPECT_EQ(b.gain->Value(), 0.5);
    b.editor->EnterText("7");  // typed, but the wheel already cancelled it
    b.editor->Tick();
    EXPECT_FALSE(b.editor->IsTextEntryOpen());
    b.editor->QueueTypedText("4");
    b.editor->Click(10, 60);
    b.editor->Tick();
    EXPECT_DOUBLE_EQ(b.plugin.Param(EditorTestPlugin::kSteps)->Value(), 4.0);
    b.editor->Click(10, 60);
    b.editor->Click(5, 5);  // cancels
    b.editor->Tick();
    EXPECT_FALSE(b.editor->IsTextEntryOpen());
    EXPECT_DOUBLE_EQ(b.plugin.Param(EditorTestPlugin::kSteps)->Value(), 4.0);
}

TEST(Parameters, ANumberTypedForAListIsTakenAsItsValueWhenNoTextMatches) {
    Bound b;
    IPlugParam* mode = b.plugin.Param(EditorTestPlugin::kMode);
    auto* caption = new ICaptionControl(&b.plugin, IBounds(0, 50, 60, 70), EditorTestPlugin::kMode, ITextStyle());
    caption->SetPromptDisabled(false);
    b.editor->AttachControl(caption);
    b.editor->QueueTypedText("2");
    b.editor->ShowTextEntry(caption, ITextStyle(), IBounds(0, 0, 30, 16), "Soft", mode);
    b.editor->Tick();
    EXPECT_DOUBLE_EQ(mode->Value(), 2.0);
}
