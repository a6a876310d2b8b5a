#include "graphics/controls/IPanelControl.h"

#include "graphics/IGraphics.h"

IPanelControl::IPanelControl(IPlugBase* plug, const IBounds& area, IRgba panelColour)
    : IControl(plug, area), colour(panelColour) {}

bool IPanelControl::Draw(IGraphics& g) { return g.FillRect(colour, drawArea, &blend); }
