#include "graphics/controls/IRadioButtonsControl.h"

#include "graphics/IGraphics.h"

namespace {
constexpr int kOffFrame = 1;
constexpr int kOnFrame = 2;
}  // namespace

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, const IBounds& area, int param, int count,
                                           const IBitmapRef& strip, int direction, bool reverse)
    : IControl(plug, area, param), bitmap(strip) {
    if (count < 1) count = 1;
    const int w = strip.FrameWidth();
    const int h = strip.FrameHeight();
    const bool horizontal = direction == kHorizontal;
    // The free space between neighbouring buttons; a single button has none.
    const int room = horizontal ? area.Width() - count * w : area.Height() - count * h;
    const int gap = count > 1 ? static_cast<int>(static_cast<double>(room) / (count - 1)) : 0;
    const int pitch = (horizontal ? w : h) + gap;
    buttons.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        IBounds b;
        if (horizontal) {
            const int left = reverse ? area.right - w - i * pitch : area.left + i * pitch;
            b = IBounds(left, area.top, left + w, area.top + h);
        } else {
            const int top = reverse ? area.bottom - h - i * pitch : area.top + i * pitch;
            b = IBounds(area.left, top, area.left + w, top + h);
        }
        buttons.push_back(b);
    }
}

int IRadioButtonsControl::Chosen() const {
    const int count = Count();
    int chosen = static_cast<int>((count - 1) * value + 0.5);
    if (chosen < 0) chosen = 0;
    if (chosen > count - 1) chosen = count - 1;
    return chosen;
}

bool IRadioButtonsControl::Draw(IGraphics& g) {
    const int chosen = Chosen();
    for (int i = 0; i < Count(); ++i)
        g.DrawBitmapFrame(bitmap, Button(i), i == chosen ? kOnFrame : kOffFrame, &blend);
    return true;
}

void IRadioButtonsControl::HandleMouseDown(int x, int y, const IMouseState& state) {
    if (state.right) {
        PromptForValue();
        return;
    }
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (!Button(i).Contains(x, y)) continue;
        SetValueAndPush(count > 1 ? static_cast<double>(i) / (count - 1) : 0.0);
        return;
    }
}
