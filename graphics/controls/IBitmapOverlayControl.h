#pragma once

#include "graphics/IBounds.h"
#include "graphics/controls/ISwitchControl.h"

// A picture over the editor that a click shows and another click hides: a
// switch whose picture is drawn only while it is on.
//
// While hidden (value below 0.5) it takes the mouse only in its click area
// and draws nothing, so everything under it stays usable; once drawn shown it
// takes the mouse over its whole area, so the next click anywhere in it hides
// it again and reaches nothing underneath. The mouse area follows what was
// last drawn: it changes when the control is drawn, not when it is clicked.
// Before its first drawing the whole area takes the mouse, as for every
// control.
class IBitmapOverlayControl : public ISwitchControl {
public:
    // A one-frame switch at (x, y) bound to paramIdx (-1: none, the value is
    // the control's own) with the click area used while hidden.
    IBitmapOverlayControl(IPlugBase* plugin, int x, int y, int paramIdx, const IBitmapRef& bitmap,
                          const IBounds& clickArea);
    // Called by the graphics context that owns the control when it is
    // destroyed or resized (editor thread). The bitmap belongs to the cache.
    ~IBitmapOverlayControl() override;

    // Called by the graphics context during a drawing pass (editor thread, no
    // lock):
    // sets the mouse area for the state shown, then draws the picture when
    // shown.
    bool Draw(IGraphics& graphics) override;

    const IBounds& ClickArea() const { return clickArea; }
    bool IsShown() const { return value >= kShownFrom; }

private:
    static constexpr double kShownFrom = 0.5;

    IBounds clickArea;
};
