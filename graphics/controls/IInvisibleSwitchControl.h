#pragma once

#include "graphics/controls/IControl.h"

// A click area that toggles its parameter between 0 and 1; draws nothing.
class IInvisibleSwitchControl : public IControl {
public:
    IInvisibleSwitchControl(IPlugBase* plugin, const IBounds& area, int paramIdx);
    void HandleMouseDown(int x, int y, const IMouseState& state) override;
    bool Draw(IGraphics& graphics) override;
};
