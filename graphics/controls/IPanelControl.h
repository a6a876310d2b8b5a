#pragma once

#include "graphics/IRgba.h"
#include "graphics/controls/IControl.h"

// A rectangle filled with one colour; no parameter.
class IPanelControl : public IControl {
public:
    IPanelControl(IPlugBase* plugin, const IBounds& area, IRgba colour);
    bool Draw(IGraphics& graphics) override;

    IRgba Colour() const { return colour; }

private:
    IRgba colour;
};
