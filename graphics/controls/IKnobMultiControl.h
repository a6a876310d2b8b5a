#pragma once

#include "graphics/IBitmapRef.h"
#include "graphics/controls/IKnobControl.h"

// A knob drawn from a filmstrip: one picture per position, stacked or side by
// side in the bitmap. Its area is (x, y) plus one frame; it turns like every
// knob (drag along its direction, 1 / gearing per knob size) and shows the
// frame of its value, value 0 the first frame and 1 the last.
class IKnobMultiControl : public IKnobControl {
public:
    IKnobMultiControl(IPlugBase* plugin, int x, int y, int paramIdx, const IBitmapRef& bitmap,
                      int direction = kVertical, double gearing = 4.0);
    // Called by the graphics context that owns the control when it is
    // destroyed or resized (editor thread). The bitmap belongs to the cache.
    ~IKnobMultiControl() override;

    // Called by the graphics context during a drawing pass (editor thread, no
    // lock): draws frame (int)((N - 1) * value + 0.5) + 1, limited to 1 .. N,
    // into the control's area with its blend.
    bool Draw(IGraphics& graphics) override;

    const IBitmapRef& Bitmap() const { return bitmap; }

private:
    IBitmapRef bitmap;
};
