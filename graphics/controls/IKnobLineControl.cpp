#include "graphics/controls/IKnobLineControl.h"

#include "graphics/IGraphics.h"

IKnobLineControl::IKnobLineControl(IPlugBase* plug, const IBounds& area, int param, IRgba lineColour, float minA,
                                   float maxA, float inner, float outer, int dir, double gear)
    : IKnobControl(plug, area, param, dir, gear, IBlend::kCopy),
      colour(lineColour),
      minAngle(minA),
      maxAngle(maxA),
      innerRadius(inner),
      outerRadius(outer != 0.0f ? outer : 0.5f * static_cast<float>(area.Width())) {}

bool IKnobLineControl::Draw(IGraphics& g) {
    const float cx = 0.5f * static_cast<float>(drawArea.left + drawArea.right);
    const float cy = 0.5f * static_cast<float>(drawArea.top + drawArea.bottom);
    const float angle = minAngle + static_cast<float>(value) * (maxAngle - minAngle);
    return g.DrawRadialLine(colour, cx, cy, angle, innerRadius, outerRadius, &blend, true);
}
