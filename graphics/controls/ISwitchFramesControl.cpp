#include "graphics/controls/ISwitchFramesControl.h"

ISwitchFramesControl::ISwitchFramesControl(IPlugBase* plug, int x, int y, int param, const IBitmapRef& strip,
                                           bool framesHorizontal, int blendMethod)
    : ISwitchControl(plug, x, y, param, strip, blendMethod), stripsHorizontal(framesHorizontal) {
    promptDisabled = false;
}

IBounds ISwitchFramesControl::Strip(int i) const {
    const int n = bitmap.Frames();
    if (stripsHorizontal) {
        const int w = drawArea.Width() / n;
        return IBounds(drawArea.left + i * w, drawArea.top, drawArea.left + (i + 1) * w, drawArea.bottom);
    }
    const int h = drawArea.Height() / n;
    return IBounds(drawArea.left, drawArea.top + i * h, drawArea.right, drawArea.top + (i + 1) * h);
}

void ISwitchFramesControl::HandleMouseDown(int x, int y, const IMouseState& state) {
    if (state.right) {
        PromptForValue();
        return;
    }
    const int n = bitmap.Frames();
    for (int i = 0; i < n; ++i) {
        if (!Strip(i).Contains(x, y)) continue;
        SetValueAndPush(n > 1 ? static_cast<double>(i) / (n - 1) : 0.0);
        return;
    }
}

void ISwitchFramesControl::HandleDoubleClick(int x, int y, const IMouseState& state) {
    HandleMouseDown(x, y, state);
}
