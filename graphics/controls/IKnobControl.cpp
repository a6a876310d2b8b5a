#include "graphics/controls/IKnobControl.h"

namespace {
constexpr double kFineGearing = 10.0;  // Control or Shift make the drag ten times finer
}  // namespace

IKnobControl::IKnobControl(IPlugBase* plug, const IBounds& area, int param, int dir, double gear, int blendMethod)
    : IControl(plug, area, param, blendMethod), direction(dir), gearing(gear) {}

void IKnobControl::HandleMouseDrag(int, int, int dX, int dY, const IMouseState& state) {
    const double g = state.Fine() ? gearing * kFineGearing : gearing;
    // Upward movement (negative dY) raises the value: divide by top - bottom.
    const double change = direction == kHorizontal
                              ? static_cast<double>(dX) / drawArea.Width() / g
                              : static_cast<double>(dY) / (drawArea.top - drawArea.bottom) / g;
    SetValueAndPush(value + change);
}
