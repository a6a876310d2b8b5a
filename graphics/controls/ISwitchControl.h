#pragma once

#include "graphics/controls/IBitmapControl.h"

// A bitmap strip whose frames are the switch's states: each click steps to
// the next state and wraps after the last, so a two-frame switch toggles.
class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    // A right click prompts (which switches do not, unless enabled); any
    // other click steps.
    void HandleMouseDown(int x, int y, const IMouseState& state) override;
    // A fast second click steps again.
    void HandleDoubleClick(int x, int y, const IMouseState& state) override;

protected:
    void Step();
};
