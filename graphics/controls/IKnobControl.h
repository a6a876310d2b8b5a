#pragma once

#include "graphics/controls/IControl.h"

// A knob turned by dragging: the value follows the drag along its direction,
// one knob size of travel moving it by 1 / gearing (ten times finer with
// Control or Shift). It draws nothing itself; subclasses draw.
class IKnobControl : public IControl {
public:
    IKnobControl(IPlugBase* plugin, const IBounds& area, int paramIdx, int direction = kVertical,
                 double gearing = 4.0, int blendMethod = IBlend::kAlpha);

    void HandleMouseDrag(int x, int y, int dX, int dY, const IMouseState& state) override;

    int Direction() const { return direction; }
    double Gearing() const { return gearing; }

protected:
    int direction;
    double gearing;
};
