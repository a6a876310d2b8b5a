#include "graphics/controls/IInvisibleSwitchControl.h"

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, const IBounds& area, int param)
    : IControl(plug, area, param, IBlend::kCopy) {}

void IInvisibleSwitchControl::HandleMouseDown(int, int, const IMouseState&) {
    SetValueAndPush(value < 0.5 ? 1.0 : 0.0);
}

bool IInvisibleSwitchControl::Draw(IGraphics&) { return true; }
