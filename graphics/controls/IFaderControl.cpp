#include "graphics/controls/IFaderControl.h"

#include "graphics/IGraphics.h"

namespace {
IBounds TrackArea(int x, int y, int length, const IBitmapRef& handle, int direction) {
    return direction == IControl::kHorizontal ? IBounds(x, y, x + length, y + handle.FrameHeight())
                                              : IBounds(x, y, x + handle.FrameWidth(), y + length);
}
}  // namespace

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int trackLength, int param, const IBitmapRef& handleBitmap,
                             int dir, bool handleOnly)
    : IControl(plug, TrackArea(x, y, trackLength, handleBitmap, dir), param),
      length(trackLength),
      direction(dir),
      onlyHandle(handleOnly),
      handle(handleBitmap),
      handleSize(dir == kHorizontal ? handleBitmap.FrameWidth() : handleBitmap.FrameHeight()) {}

IBounds IFaderControl::HandleRect(double v) const {
    IBounds r(drawArea.left, drawArea.top, drawArea.left + handle.FrameWidth(),
              drawArea.top + handle.FrameHeight());
    const int travel = length - handleSize;
    if (direction == kHorizontal) return r.Offset(static_cast<int>(travel * v), 0);
    return r.Offset(0, static_cast<int>(travel * (1.0 - v)));
}

bool IFaderControl::Draw(IGraphics& g) { return g.DrawBitmapFrame(handle, HandleRect(), 1, &blend); }

bool IFaderControl::HitTest(int x, int y) {
    if (onlyHandle) return HandleRect().Contains(x, y);
    return hitArea.Contains(x, y);
}

void IFaderControl::HandleMouseDown(int x, int y, const IMouseState& state) {
    if (state.right) {
        PromptForValue();
        return;
    }
    SnapToPoint(x, y);
}

void IFaderControl::HandleMouseDrag(int x, int y, int, int, const IMouseState&) { SnapToPoint(x, y); }

void IFaderControl::SnapToPoint(int x, int y) {
    const int travel = length - handleSize;
    // A track no longer than the handle has nowhere to go; dividing by its
    // travel would make the value infinite or undefined.
    if (travel <= 0) return;
    const int half = handleSize / 2;
    if (direction == kHorizontal)
        value = static_cast<double>(x - half - drawArea.left) / travel;
    else
        value = 1.0 - static_cast<double>(y - half - drawArea.top) / travel;
    MarkDirty(true);
}
