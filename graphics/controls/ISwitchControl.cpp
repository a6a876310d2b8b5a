#include "graphics/controls/ISwitchControl.h"

namespace {
// A step that passes 1 by more than rounding can explain wraps to 0.
constexpr double kWrapThreshold = 1.001;
}  // namespace

void ISwitchControl::HandleMouseDown(int x, int y, const IMouseState& state) {
    if (state.right) {
        IControl::HandleMouseDown(x, y, state);
        return;
    }
    Step();
}

void ISwitchControl::HandleDoubleClick(int x, int y, const IMouseState& state) { HandleMouseDown(x, y, state); }

void ISwitchControl::Step() {
    const int frames = bitmap.Frames();
    double next = value + (frames < 2 ? 1.0 : 1.0 / (frames - 1));
    if (next > kWrapThreshold) next = 0.0;
    SetValueAndPush(next);
}
