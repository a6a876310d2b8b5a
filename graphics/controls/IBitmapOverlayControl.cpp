#include "graphics/controls/IBitmapOverlayControl.h"

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* plug, int x, int y, int param, const IBitmapRef& picture,
                                             const IBounds& click)
    : ISwitchControl(plug, x, y, param, picture), clickArea(click) {}

IBitmapOverlayControl::~IBitmapOverlayControl() = default;

bool IBitmapOverlayControl::Draw(IGraphics& g) {
    if (!IsShown()) {
        hitArea = clickArea;
        return true;
    }
    hitArea = drawArea;
    return IBitmapControl::Draw(g);
}
