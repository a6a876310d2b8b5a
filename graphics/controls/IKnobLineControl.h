#pragma once

#include "graphics/IRgba.h"
#include "graphics/controls/IKnobControl.h"

// A knob drawn as one radial line from the centre of its area; the angle
// moves from minAngle to maxAngle (radians, 0 pointing up, clockwise) as the
// value goes from 0 to 1.
class IKnobLineControl : public IKnobControl {
public:
    // outerRadius 0 means half the area's width.
    IKnobLineControl(IPlugBase* plugin, const IBounds& area, int paramIdx, IRgba colour, float minAngle,
                     float maxAngle, float innerRadius = 0.0f, float outerRadius = 0.0f, int direction = kVertical,
                     double gearing = 4.0);

    bool Draw(IGraphics& graphics) override;

private:
    IRgba colour;
    float minAngle;
    float maxAngle;
    float innerRadius;
    float outerRadius;
};
