#pragma once

#include <vector>

#include "graphics/IBitmapRef.h"
#include "graphics/controls/IControl.h"

// A row or column of count buttons, each one frame of a two-frame bitmap
// (off, on); the chosen button shows the parameter's value.
class IRadioButtonsControl : public IControl {
public:
    // direction kHorizontal runs the buttons left to right, any other top to
    // bottom; reverse starts them at the right or bottom edge and runs back.
    IRadioButtonsControl(IPlugBase* plugin, const IBounds& area, int paramIdx, int count, const IBitmapRef& bitmap,
                         int direction = kVertical, bool reverse = false);

    bool Draw(IGraphics& graphics) override;
    // Right click prompts; otherwise the button under the pointer is chosen.
    void HandleMouseDown(int x, int y, const IMouseState& state) override;

    int Count() const { return static_cast<int>(buttons.size()); }
    const IBounds& Button(int i) const { return buttons[static_cast<size_t>(i)]; }
    // The chosen button for the current value, 0 .. count - 1.
    int Chosen() const;

private:
    IBitmapRef bitmap;
    std::vector<IBounds> buttons;
};
