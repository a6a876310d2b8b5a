#include "graphics/controls/ITextControl.h"

#include "graphics/IGraphics.h"

ITextControl::ITextControl(IPlugBase* plug, const IBounds& area, const ITextStyle& style, const char* initial)
    : ITextControl(plug, area, -1, style, initial) {}

ITextControl::ITextControl(IPlugBase* plug, const IBounds& area, int param, const ITextStyle& style,
                           const char* initial)
    : IControl(plug, area, param), text(initial ? initial : "") {
    textStyle = style;
}

bool ITextControl::Draw(IGraphics& g) {
    if (text.empty()) return true;
    return g.DrawText(textStyle, text.c_str(), drawArea);
}

void ITextControl::SetText(const char* newText) {
    const char* t = newText ? newText : "";
    if (text == t) return;
    MarkDirty(false);
    text = t;
}
