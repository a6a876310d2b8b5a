#include "graphics/controls/IKnobMultiControl.h"

#include "graphics/IGraphics.h"

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int param, const IBitmapRef& strip, int dir,
                                     double gear)
    : IKnobControl(plug, IBounds(x, y, x + strip.FrameWidth(), y + strip.FrameHeight()), param, dir, gear),
      bitmap(strip) {}

IKnobMultiControl::~IKnobMultiControl() = default;

bool IKnobMultiControl::Draw(IGraphics& g) {
    return g.DrawBitmapFrame(bitmap, drawArea, bitmap.FrameForValue(value), &blend);
}
