#pragma once

#include "graphics/IBitmapRef.h"
#include "graphics/controls/IControl.h"

// A picture strip at (x, y) that shows the frame matching its value; its
// area is one frame.
class IBitmapControl : public IControl {
public:
    IBitmapControl(IPlugBase* plugin, int x, int y, int paramIdx, const IBitmapRef& bitmap,
                   int blendMethod = IBlend::kAlpha);
    // Without parameter.
    IBitmapControl(IPlugBase* plugin, int x, int y, const IBitmapRef& bitmap, int blendMethod = IBlend::kAlpha);

    bool Draw(IGraphics& graphics) override;

    const IBitmapRef& Bitmap() const { return bitmap; }

protected:
    IBitmapRef bitmap;
};
