#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/IBlend.h"
#include "graphics/IBounds.h"
#include "graphics/IMouseState.h"
#include "graphics/ITextStyle.h"

class IGraphics;
class IPlugBase;
class ITextControl;

// One element of the editor: a rectangle that draws itself into the graphics
// context's back buffer, reacts to the mouse and usually shows one parameter
// of the plug-in as a normalised value from 0 to 1.
//
// Threads: a control is touched only on the editor's thread, through the
// graphics context that owns it. Every hook below is called there, without a
// lock (pushing a value to the plug-in takes the plug-in's lock inside
// SetParameterFromGUI).
class IControl {
public:
    // Drag and layout directions of knobs, faders and button rows.
    enum Direction : int32_t { kVertical = 0, kHorizontal = 1 };

    struct AuxParam {
        double value = 0.0;  // normalised
        int32_t paramIdx = -1;
    };

    // paramIdx -1 binds no parameter. The graphics context is given when the
    // control is attached (IGraphics::AttachControl).
    IControl(IPlugBase* plugin, const IBounds& area, int paramIdx = -1, int blendMethod = IBlend::kAlpha,
             float blendWeight = 1.0f);
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // ---- Virtual operations, in slot order ------------------------------------

    // Slot 0. Called by the graphics context when it is destroyed or resized.
    virtual ~IControl();
    // Slot 1. Button pressed over the control (the context then captures it).
    // Base: a right click prompts for the value.
    virtual void HandleMouseDown(int x, int y, const IMouseState& state);
    // Slot 2. Button released after a press on this control. Base: nothing.
    virtual void HandleMouseUp(int x, int y, const IMouseState& state);
    // Slot 3. The mouse moved by (dX, dY) while this control is captured.
    // Base: nothing.
    virtual void HandleMouseDrag(int x, int y, int dX, int dY, const IMouseState& state);
    // Slot 4. Base: back to the default value, when one is known, pushed to
    // the plug-in.
    virtual void HandleDoubleClick(int x, int y, const IMouseState& state);
    // Slot 5. delta in notches; base: 0.01 a notch, 0.001 with Control or
    // Shift, pushed to the plug-in.
    virtual void HandleWheel(int x, int y, const IMouseState& state, int delta);
    // Slot 6. A key of the window layer's codes; true when taken. Base: false.
    virtual bool HandleKey(int x, int y, int key);
    // Slots 7 and 8. The pointer moved over the control / left it (only when
    // the context handles mouse-over). Base: nothing.
    virtual void HandleMouseOver(int x, int y, const IMouseState& state);
    virtual void HandleMouseOut();
    // Slot 9. Draws into graphics' back buffer during a drawing pass; false on
    // failure.
    virtual bool Draw(IGraphics& graphics) = 0;
    // Slot 10. A value from the plug-in: the first one becomes the default
    // silently; later ones that differ mark the control for two redraws.
    virtual void SetValueFromPlugin(double v);
    // Slot 11. The text typed into the in-place entry of a control without
    // parameter (window layer, timer tick). Base: nothing.
    virtual void AcceptEnteredText(const char* text);
    // Slot 12.
    virtual void SetHidden(bool hide);
    // Slot 13. Greyed controls draw at a quarter weight and take no mouse.
    virtual void SetGreyed(bool grey);
    // Slot 14. Whether (x, y) takes the mouse; base: inside hitArea.
    virtual bool HitTest(int x, int y);
    // Slot 15. Clamps the value, marks the control for drawing and, with
    // pushToPlugin, sends the value to the plug-in and updates the labels.
    virtual void MarkDirty(bool pushToPlugin);
    // Slot 16. Called after the control was drawn (or skipped) by a pass.
    virtual void MarkClean();
    // Slot 17.
    virtual bool NeedsDraw();
    // Slot 18. Idle time; nothing calls it in this plug-in. Base: nothing.
    virtual void Idle();
    // Slot 19. A value from the plug-in for auxiliary entry k.
    virtual void SetAuxValueFromPlugin(int k, double v);

    // ---- Non-virtual operations --------------------------------------------------

    // A value set by the user (or as though by the user): pushed to the
    // plug-in, drawn twice.
    void SetValueFromUser(double v);
    // The context's value prompt for this control's parameter: over the
    // control when the parameter has value texts, else in a 30 × 16 box
    // centred on it. Nothing without parameter or with prompting disabled.
    void PromptForValue();
    void PromptForValueIn(const IBounds& area);

    void AddAuxParam(int paramIdx);
    int AuxParamCount() const { return static_cast<int>(auxParams.size()); }
    AuxParam* AuxParamAt(int k);
    int AuxIndexOf(int paramIdx) const;
    void PushAuxParamsToPlugin();

    // Set by IGraphics::AttachControl.
    void SetGraphics(IGraphics* g) { graphics = g; }
    IGraphics* Graphics() { return graphics; }
    IPlugBase* Plugin() { return plugin; }

    int ParamIdx() const { return paramIdx; }
    double Value() const { return value; }
    double DefaultValue() const { return defaultValue; }
    void SetDefaultValue(double v) { defaultValue = v; }
    void SetClamp(double low, double high) {
        clampLow = low;
        clampHigh = high;
    }
    const IBounds& DrawArea() const { return drawArea; }
    const IBounds& HitArea() const { return hitArea; }
    void SetDrawArea(const IBounds& area) { drawArea = area; }
    void SetHitArea(const IBounds& area) { hitArea = area; }
    bool IsHidden() const { return hidden; }
    bool IsGreyed() const { return greyed; }
    bool IsDirty() const { return dirty; }
    bool RedrawPending() const { return redrawPending; }
    bool PromptDisabled() const { return promptDisabled; }
    void SetPromptDisabled(bool disabled) { promptDisabled = disabled; }
    bool DoubleClickAsMouseDown() const { return doubleClickAsMouseDown; }
    void SetDoubleClickAsMouseDown(bool on) { doubleClickAsMouseDown = on; }
    bool MouseOverWhenGreyed() const { return mouseOverWhenGreyed; }
    void SetMouseOverWhenGreyed(bool on) { mouseOverWhenGreyed = on; }
    const IBlend& Blend() const { return blend; }
    ITextStyle& TextStyle() { return textStyle; }
    void SetTextStyle(const ITextStyle& style) { textStyle = style; }
    int TextEntryLimit() const { return textEntryLimit; }
    void SetTextEntryLimit(int limit) { textEntryLimit = limit; }
    void SetValueLabel(ITextControl* label) { valueLabel = label; }
    void SetNameLabel(ITextControl* label) { nameLabel = label; }
    const std::string& Tooltip() const { return tooltip; }
    void SetTooltip(const std::string& text) { tooltip = text; }

protected:
    // Value changes from the mouse: store, then MarkDirty(true) (which clamps
    // and pushes).
    void SetValueAndPush(double v) {
        value = v;
        MarkDirty(true);
    }
    void UpdateLabels();

    int32_t textEntryLimit = 7;
    ITextStyle textStyle;
    IPlugBase* plugin = nullptr;
    IBounds drawArea;
    IBounds hitArea;
    int32_t paramIdx = -1;
    std::vector<AuxParam> auxParams;
    double value = 0.0;
    double defaultValue = -1.0;
    double clampLow = 0.0;
    double clampHigh = 1.0;
    bool dirty = true;
    bool hidden = false;
    bool greyed = false;
    bool redrawPending = false;
    bool promptDisabled = true;
    bool doubleClickAsMouseDown = false;
    bool mouseOverWhenGreyed = false;
    IBlend blend;
    ITextControl* valueLabel = nullptr;
    ITextControl* nameLabel = nullptr;
    std::string tooltip;
    IGraphics* graphics = nullptr;
};
