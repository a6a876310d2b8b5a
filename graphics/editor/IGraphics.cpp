#include "graphics/IGraphics.h"

#include "core/IPlugBase.h"
#include "core/Trace.h"
#include "graphics/LICE_IBitmap.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/IControl.h"
#include "graphics/controls/IPanelControl.h"

// Construction, lifecycle, the control list and the base behaviour of the
// virtual slots.

IGraphics::IGraphics(IPlugBase* plug, int w, int h, int rate)
    : plugin(plug), width(w), height(h), frameRate(rate > 0 ? rate : kDefaultFrameRate) {}

IGraphics::~IGraphics() {
    delete keyCatcher;
    keyCatcher = nullptr;
    DeleteControls();
    backBuffer.reset();
    scratch.reset();
}

void IGraphics::DeleteControls() {
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) delete *it;
    controls.clear();
}

bool IGraphics::IsWindowOpen() { return WindowHandle() != nullptr; }

const char* IGraphics::InfoText() { return ""; }

void* IGraphics::ReservedQuery16(int, int, int, int) { return nullptr; }

void IGraphics::ReservedHook18(void*) {}

void IGraphics::ReservedHook19() {}

void IGraphics::HideCursor() {}

void IGraphics::RestoreCursor() {}

void IGraphics::ReservedHook25() {}

void IGraphics::Resize(int w, int h) {
    KESTROM_TRACE("IGraphics::Resize", "%d x %d", w, h);
    width = w;
    height = h;
    ClearCapture();
    EndGesture();
    // The controls go, so no index into them may survive.
    mouseOverIndex = -1;
    DeleteControls();
    backBuffer.reset();
    scratch.reset();
    CreateDrawBuffers();
    if (plugin) plugin->EditorResized(w, h);
}

int IGraphics::AttachControl(IControl* control) {
    control->SetGraphics(this);
    controls.push_back(control);
    return NControls() - 1;
}

void IGraphics::InsertControlAtFront(IControl* control) {
    control->SetGraphics(this);
    controls.insert(controls.begin(), control);
    // Indices held across the insertion now point one further.
    if (captureIndex >= 0) ++captureIndex;
    if (mouseOverIndex >= 0) ++mouseOverIndex;
}

void IGraphics::AttachBackgroundColour(IRgba colour) {
    InsertControlAtFront(new IPanelControl(plugin, IBounds(0, 0, width, height), colour));
}

void IGraphics::AttachBackgroundBitmap(int id, const char* name) {
    const IBitmapRef bitmap = LoadBitmap(id, name, 1);
    InsertControlAtFront(new IBitmapControl(plugin, 0, 0, -1, bitmap, IBlend::kCopy));
}

void IGraphics::SetKeyCatcher(IControl* control) {
    if (control == keyCatcher) return;
    delete keyCatcher;
    keyCatcher = control;
    if (keyCatcher) keyCatcher->SetGraphics(this);
}

IControl* IGraphics::GetControl(int index) {
    return index >= 0 && index < NControls() ? controls[static_cast<size_t>(index)] : nullptr;
}
