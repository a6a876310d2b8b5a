#pragma once

#include "graphics/IBitmapRef.h"
#include "graphics/controls/IControl.h"

// A handle picture that slides along a track of `length` pixels: left to
// right for 0 to 1 when horizontal, bottom to top when vertical. A click or a
// drag puts the handle's centre under the pointer.
class IFaderControl : public IControl {
public:
    // With onlyHandle the mouse is taken only on the handle, else on the
    // whole track.
    IFaderControl(IPlugBase* plugin, int x, int y, int length, int paramIdx, const IBitmapRef& handle,
                  int direction = kVertical, bool onlyHandle = false);

    bool Draw(IGraphics& graphics) override;
    bool HitTest(int x, int y) override;
    // Right click prompts; otherwise snaps to the pointer.
    void HandleMouseDown(int x, int y, const IMouseState& state) override;
    void HandleMouseDrag(int x, int y, int dX, int dY, const IMouseState& state) override;
    // Slot 20. Moves the handle's centre to (x, y) along the track and pushes
    // the value (clamped) to the plug-in.
    virtual void SnapToPoint(int x, int y);

    // Where the handle lies for value v.
    IBounds HandleRect(double v) const;
    IBounds HandleRect() const { return HandleRect(value); }
    int Length() const { return length; }
    int HandleSize() const { return handleSize; }

private:
    int length;
    int direction;
    bool onlyHandle;
    IBitmapRef handle;
    int handleSize;
};
