#include "graphics/controls/IBitmapControl.h"

#include "graphics/IGraphics.h"

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int param, const IBitmapRef& strip, int blendMethod)
    : IControl(plug, IBounds(x, y, x + strip.FrameWidth(), y + strip.FrameHeight()), param, blendMethod),
      bitmap(strip) {}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, const IBitmapRef& strip, int blendMethod)
    : IBitmapControl(plug, x, y, -1, strip, blendMethod) {}

bool IBitmapControl::Draw(IGraphics& g) {
    return g.DrawBitmapFrame(bitmap, drawArea, bitmap.FrameForValue(value), &blend);
}
