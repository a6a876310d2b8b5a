#include "graphics/controls/ICaptionControl.h"

#include "core/IPlugBase.h"
#include "core/IPlugParam.h"

ICaptionControl::ICaptionControl(IPlugBase* plug, const IBounds& area, int param, const ITextStyle& style,
                                 bool withUnit)
    : ITextControl(plug, area, param, style, ""), showUnit(withUnit) {}

bool ICaptionControl::Draw(IGraphics& g) {
    const IPlugParam* param = plugin ? plugin->Param(paramIdx) : nullptr;
    if (param) {
        char formatted[IPlugParam::kTextSize];
        param->FormatValue(param->Value(), false, formatted, true);
        text = formatted;
        if (showUnit) {
            text += ' ';
            text += param->UnitText();
        }
    }
    return ITextControl::Draw(g);
}

void ICaptionControl::HandleMouseDown(int, int, const IMouseState& state) {
    if (state.left || state.right) PromptForValue();
}

void ICaptionControl::HandleDoubleClick(int, int, const IMouseState&) { PromptForValue(); }
