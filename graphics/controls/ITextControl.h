#pragma once

#include <string>

#include "graphics/controls/IControl.h"

// A text drawn in its area with its style; no parameter.
class ITextControl : public IControl {
public:
    ITextControl(IPlugBase* plugin, const IBounds& area, const ITextStyle& style, const char* text = "");

    bool Draw(IGraphics& graphics) override;
    // Marks the control for drawing when the text changes.
    void SetText(const char* text);
    const std::string& Text() const { return text; }

protected:
    // For subclasses bound to a parameter.
    ITextControl(IPlugBase* plugin, const IBounds& area, int paramIdx, const ITextStyle& style, const char* text);

    std::string text;
};
