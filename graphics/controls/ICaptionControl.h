#pragma once

#include "graphics/controls/ITextControl.h"

// Shows its parameter's value as text (with the unit when showUnit). A click
// or double click prompts for a new value once the caller has enabled the
// prompt (SetPromptDisabled(false)); like every control, it starts disabled.
class ICaptionControl : public ITextControl {
public:
    ICaptionControl(IPlugBase* plugin, const IBounds& area, int paramIdx, const ITextStyle& style,
                    bool showUnit = false);

    bool Draw(IGraphics& graphics) override;
    void HandleMouseDown(int x, int y, const IMouseState& state) override;
    void HandleDoubleClick(int x, int y, const IMouseState& state) override;

private:
    bool showUnit;
};
