#include <cstring>
#include <memory>

#include "core/IPlugBase.h"
#include "core/IPlugParam.h"
#include "graphics/IGraphics.h"
#include "graphics/controls/IControl.h"

// Parameter propagation between the plug-in and the controls, the hand-over
// of values from other threads, and the value prompt.

namespace {
constexpr int32_t kCheckedItem = 4;  // IMenuItem::kChecked
}  // namespace

bool IGraphics::IsPluginParameter(int paramIdx) const {
    return plugin && paramIdx >= 0 && paramIdx < plugin->NParams();
}

void IGraphics::SetParameterFromPlugin(int paramIdx, double value, bool isNormalised) {
    if (!IsPluginParameter(paramIdx)) {
        // Not a parameter of the plug-in: a display value such as the meter,
        // sent from the audio thread at the end of every block. It must not
        // touch the controls the editor thread is drawing, so it only goes
        // into the mailbox (lock-free, no allocation); ApplyPendingValues
        // delivers it on the editor thread. There is no parameter to
        // normalise it with, so it is taken as normalised. Display values
        // use indices below IValueMailbox::kCapacity; a value for any other
        // index is dropped (silently: this may be the audio thread).
        mailbox.Post(paramIdx, value);
        return;
    }
    if (!isNormalised) value = plugin->Param(paramIdx)->ToNormal(value);
    if (OnAnotherThread()) {
        // The editor thread may be drawing or dragging these controls.
        mailbox.Post(paramIdx, value);
        return;
    }
    ApplyValue(paramIdx, value);
}

bool IGraphics::OnAnotherThread() const {
    const std::thread::id bound = windowThread.load(std::memory_order_acquire);
    return bound != std::thread::id() && bound != std::this_thread::get_id();
}

void IGraphics::BindToCallingThread() { windowThread.store(std::this_thread::get_id(), std::memory_order_release); }

void IGraphics::UnbindThread() { windowThread.store(std::thread::id(), std::memory_order_release); }

void IGraphics::ApplyValue(int paramIdx, double normalised) {
    for (IControl* c : controls) {
        if (c->ParamIdx() == paramIdx) c->SetValueFromPlugin(normalised);
        const int k = c->AuxIndexOf(paramIdx);
        if (k >= 0) c->SetAuxValueFromPlugin(k, normalised);
    }
}

void IGraphics::ApplyPendingValues() {
    if (allDirtyPending.exchange(false, std::memory_order_acquire)) MarkAllControlsDirty();
    mailbox.TakeAll([this](int paramIdx, double value) {
        // The first value a control gets becomes its default silently, which
        // suits values pushed before the first drawing. A display value
        // arrives after the control was drawn, so its first one is drawn too:
        // otherwise a steady meter would never show its reading.
        for (IControl* c : controls) {
            if (c->ParamIdx() != paramIdx || c->DefaultValue() >= 0.0) continue;
            c->SetValueFromPlugin(value);
            c->MarkDirty(false);
        }
        ApplyValue(paramIdx, value);
    });
}

void IGraphics::SetControlFromPlugin(int controlIdx, double normalised) {
    if (IControl* c = GetControl(controlIdx)) c->SetValueFromPlugin(normalised);
}

void IGraphics::SetParameterFromEditor(int paramIdx, double normalised) {
    for (IControl* c : controls)
        if (c->ParamIdx() == paramIdx) c->SetValueFromUser(normalised);
}

void IGraphics::ClampParameterControls(int paramIdx, double low, double high, bool isNormalised) {
    if (!isNormalised && IsPluginParameter(paramIdx)) {
        const IPlugParam* p = plugin->Param(paramIdx);
        low = p->ToNormal(low);
        high = p->ToNormal(high);
    }
    for (IControl* c : controls)
        if (c->ParamIdx() == paramIdx) c->SetClamp(low, high);
}

void IGraphics::HideParameterControls(int paramIdx, bool hide) {
    for (IControl* c : controls)
        if (c->ParamIdx() == paramIdx) c->SetHidden(hide);
}

void IGraphics::GreyParameterControls(int paramIdx, bool grey) {
    for (IControl* c : controls)
        if (c->ParamIdx() == paramIdx) c->SetGreyed(grey);
}

void IGraphics::PromptForValue(IControl* control, IPlugParam* param, const IBounds& area) {
    if (!control || !param) return;
    char current[IPlugParam::kTextSize];
    const bool asMenu = param->Kind() == IPlugParam::List ||
                        (param->Kind() == IPlugParam::Switch && param->ValueTextCount() > 0);
    if (asMenu) {
        param->FormatValue(param->Value(), false, current, true);
        IMenu menu;
        for (int i = 0; i < param->ValueTextCount(); ++i) {
            const char* text = param->ValueTextAt(i);
            menu.AddItem(text, std::strcmp(text, current) == 0 ? kCheckedItem : 0);
        }
        // The item's own value, not its position, is what it stands for: the
        // two differ when a switch lists "on" before "off".
        IMenu* chosen = ShowPopupMenu(menu, area);
        int chosenValue = 0;
        if (chosen == &menu && chosen->chosenIndex >= 0 && chosen->chosenIndex < param->ValueTextCount()) {
            param->ValueTextAt(chosen->chosenIndex, &chosenValue);
            control->SetValueFromUser(param->ToNormal(chosenValue));
        }
        return;
    }
    param->FormatValue(param->Value(), false, current, false);
    ShowTextEntry(control, control->TextStyle(), area, current, param);
}
