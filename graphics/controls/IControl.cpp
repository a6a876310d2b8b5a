#include "graphics/controls/IControl.h"

#include <algorithm>
#include <string>

#include "core/IPlugBase.h"
#include "core/IPlugParam.h"
#include "graphics/IGraphics.h"
#include "graphics/controls/ITextControl.h"

namespace {
constexpr double kWheelStep = 0.01;      // value change per wheel notch
constexpr double kFineWheelStep = 0.001; // the same with Control or Shift
constexpr float kGreyedWeight = 0.25f;   // greyed controls draw at a quarter weight
constexpr int kPromptBoxHalfWidth = 15;  // the value prompt's box is 30 × 16
constexpr int kPromptBoxHalfHeight = 8;
}  // namespace

IControl::IControl(IPlugBase* plug, const IBounds& area, int param, int blendMethod, float blendWeight)
    : plugin(plug), drawArea(area), hitArea(area), paramIdx(param), blend(blendMethod, blendWeight) {}

IControl::~IControl() = default;

void IControl::HandleMouseDown(int, int, const IMouseState& state) {
    if (state.right) PromptForValue();
}

void IControl::HandleMouseUp(int, int, const IMouseState&) {}

void IControl::HandleMouseDrag(int, int, int, int, const IMouseState&) {}

void IControl::HandleDoubleClick(int, int, const IMouseState&) {
    if (defaultValue >= 0.0) SetValueAndPush(defaultValue);
}

void IControl::HandleWheel(int, int, const IMouseState& state, int delta) {
    SetValueAndPush(value + delta * (state.Fine() ? kFineWheelStep : kWheelStep));
}

bool IControl::HandleKey(int, int, int) { return false; }

void IControl::HandleMouseOver(int, int, const IMouseState&) {}

void IControl::HandleMouseOut() {}

void IControl::SetValueFromPlugin(double v) {
    if (defaultValue < 0.0) {
        // The first value the control ever receives is its double-click
        // default; it does not make the control dirty.
        value = v;
        defaultValue = v;
        return;
    }
    if (value != v) {
        value = v;
        MarkDirty(false);
        redrawPending = true;
    }
}

void IControl::AcceptEnteredText(const char*) {}

void IControl::SetHidden(bool hide) {
    hidden = hide;
    redrawPending = true;
    MarkDirty(false);
}

void IControl::SetGreyed(bool grey) {
    greyed = grey;
    blend.weight = grey ? kGreyedWeight : 1.0f;
    MarkDirty(false);
}

bool IControl::HitTest(int x, int y) { return hitArea.Contains(x, y); }

void IControl::MarkDirty(bool pushToPlugin) {
    value = std::min(std::max(value, clampLow), clampHigh);
    dirty = true;
    if (pushToPlugin && plugin && paramIdx >= 0) {
        plugin->SetParameterFromGUI(paramIdx, value);
        UpdateLabels();
    }
}

void IControl::UpdateLabels() {
    const IPlugParam* param = plugin->Param(paramIdx);
    if (!param) return;
    if (valueLabel) {
        char text[IPlugParam::kTextSize];
        param->FormatValue(param->Value(), false, text, true);
        std::string label = text;
        label += ' ';
        label += param->UnitText();
        valueLabel->SetText(label.c_str());
    }
    if (nameLabel) nameLabel->SetText(param->Name());
}

void IControl::MarkClean() {
    dirty = redrawPending;
    redrawPending = false;
}

bool IControl::NeedsDraw() { return dirty; }

void IControl::Idle() {}

void IControl::SetAuxValueFromPlugin(int k, double v) {
    AuxParam* aux = AuxParamAt(k);
    if (!aux || aux->value == v) return;
    aux->value = v;
    MarkDirty(false);
    redrawPending = true;
}

void IControl::SetValueFromUser(double v) {
    if (value == v) return;
    value = v;
    MarkDirty(true);
    redrawPending = true;
}

void IControl::PromptForValue() {
    if (paramIdx < 0 || promptDisabled || !plugin) return;
    const IPlugParam* param = plugin->Param(paramIdx);
    if (param && param->ValueTextCount() > 0) {
        PromptForValueIn(drawArea);
        return;
    }
    const int cx = static_cast<int>(static_cast<float>((drawArea.left + drawArea.right) * 0.5));
    const int cy = static_cast<int>(static_cast<float>((drawArea.top + drawArea.bottom) * 0.5));
    PromptForValueIn(IBounds(cx - kPromptBoxHalfWidth, cy - kPromptBoxHalfHeight, cx + kPromptBoxHalfWidth,
                             cy + kPromptBoxHalfHeight));
}

void IControl::PromptForValueIn(const IBounds& area) {
    if (paramIdx < 0 || promptDisabled || !plugin) return;
    if (graphics) graphics->PromptForValue(this, plugin->Param(paramIdx), area);
    redrawPending = true;
}

void IControl::AddAuxParam(int param) { auxParams.push_back({0.0, param}); }

IControl::AuxParam* IControl::AuxParamAt(int k) {
    return k >= 0 && k < AuxParamCount() ? &auxParams[static_cast<size_t>(k)] : nullptr;
}

int IControl::AuxIndexOf(int param) const {
    for (size_t k = 0; k < auxParams.size(); ++k)
        if (auxParams[k].paramIdx == param) return static_cast<int>(k);
    return -1;
}

void IControl::PushAuxParamsToPlugin() {
    if (!plugin) return;
    for (const AuxParam& aux : auxParams) plugin->SetParameterFromGUI(aux.paramIdx, aux.value);
}
