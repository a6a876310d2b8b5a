#pragma once

#include "graphics/controls/ISwitchControl.h"

// A switch whose area is split into one strip per frame (side by side when
// framesHorizontal, else stacked); clicking a strip chooses that state.
class ISwitchFramesControl : public ISwitchControl {
public:
    ISwitchFramesControl(IPlugBase* plugin, int x, int y, int paramIdx, const IBitmapRef& bitmap,
                         bool framesHorizontal = false, int blendMethod = IBlend::kAlpha);

    // Right click prompts; otherwise the strip under the pointer is chosen.
    void HandleMouseDown(int x, int y, const IMouseState& state) override;
    void HandleDoubleClick(int x, int y, const IMouseState& state) override;

    // Strip i (0-based) of the area.
    IBounds Strip(int i) const;

private:
    bool stripsHorizontal;
};
