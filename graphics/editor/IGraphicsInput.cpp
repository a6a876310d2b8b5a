#include "core/IPlugBase.h"
#include "core/IPlugLock.h"
#include "graphics/IGraphics.h"
#include "graphics/controls/IControl.h"

// Hit testing and the dispatch of mouse and key events from the window layer
// to the controls.

namespace {
// The host interface kind whose right click on a parameter's control opens
// the host's automation menu instead of reaching the control.
constexpr int kApiWithHostParamMenu = 1;
}  // namespace

int IGraphics::ControlIndexAt(int x, int y, bool forMouseOver) {
    if (captureIndex >= 0) return captureIndex;
    for (int i = NControls() - 1; i >= 0; --i) {
        IControl* c = controls[static_cast<size_t>(i)];
        if (c->IsHidden()) continue;
        const bool reachable = (forMouseOver && c->MouseOverWhenGreyed()) || !c->IsGreyed();
        if (reachable && c->HitTest(x, y)) return i;
    }
    return -1;
}

int IGraphics::ParamIndexAt(int x, int y) {
    const int i = ControlIndexAt(x, y, false);
    clickedParam = i <= 0 ? -1 : controls[static_cast<size_t>(i)]->ParamIdx();
    return clickedParam;
}

int IGraphics::TakeClickedParam() {
    const int p = clickedParam;
    clickedParam = -1;
    return p;
}

void IGraphics::ClearCapture() {
    captureIndex = -1;
    lastX = -1;
    lastY = -1;
}

// The gesture calls are host slots that expect the plug-in's lock. Exactly
// one gesture is open at a time, and a release ends the one the press began:
// the release may reach no control or another one (the press went to the
// host's menu, or a popup menu took the capture), and the host must not see
// an end without a beginning or a gesture left open.
void IGraphics::BeginGesture(int paramIdx) {
    EndGesture();
    IPlugLockGuard guard(plugin->Lock());
    plugin->BeginParamGesture(paramIdx);
    gestureParam = paramIdx;
}

void IGraphics::EndGesture() {
    if (gestureParam < 0 || !plugin) return;
    const int paramIdx = gestureParam;
    gestureParam = -1;
    IPlugLockGuard guard(plugin->Lock());
    plugin->EndParamGesture(paramIdx);
}

void IGraphics::DispatchMouseDown(int x, int y, const IMouseState& state) {
    ClearCapture();
    const int i = ControlIndexAt(x, y, false);
    if (i < 0) return;
    captureIndex = i;
    lastX = x;
    lastY = y;
    IControl* c = controls[static_cast<size_t>(i)];
    const int p = c->ParamIdx();
    if (plugin && p >= 0) {
        if (plugin->ApiKind() == kApiWithHostParamMenu && state.right) {
            ClearCapture();
            plugin->HostParamMenu(p, x, y);
            return;
        }
        BeginGesture(p);
    }
    c->HandleMouseDown(x, y, state);
}

void IGraphics::DispatchMouseUp(int x, int y, const IMouseState& state) {
    const int i = ControlIndexAt(x, y, false);
    ClearCapture();
    if (i >= 0) controls[static_cast<size_t>(i)]->HandleMouseUp(x, y, state);
    EndGesture();
}

void IGraphics::DispatchMouseDrag(int x, int y, const IMouseState& state) {
    if (captureIndex < 0 || (x == lastX && y == lastY)) return;
    const int dX = x - lastX;
    const int dY = y - lastY;
    lastX = x;
    lastY = y;
    controls[static_cast<size_t>(captureIndex)]->HandleMouseDrag(x, y, dX, dY, state);
}

bool IGraphics::DispatchDoubleClick(int x, int y, const IMouseState& state) {
    ClearCapture();
    const int i = ControlIndexAt(x, y, false);
    if (i < 0) return false;
    IControl* c = controls[static_cast<size_t>(i)];
    if (c->DoubleClickAsMouseDown()) {
        DispatchMouseDown(x, y, state);
        return true;
    }
    c->HandleDoubleClick(x, y, state);
    return false;
}

void IGraphics::DispatchWheel(int x, int y, const IMouseState& state, int delta) {
    const int i = ControlIndexAt(x, y, false);
    if (i >= 0) controls[static_cast<size_t>(i)]->HandleWheel(x, y, state, delta);
}

bool IGraphics::DispatchMouseOver(int x, int y, const IMouseState& state) {
    if (!handleMouseOver) return false;
    const int i = ControlIndexAt(x, y, true);
    if (i >= 0) {
        lastX = x;
        lastY = y;
        controls[static_cast<size_t>(i)]->HandleMouseOver(x, y, state);
        if (mouseOverIndex >= 0 && mouseOverIndex != i && mouseOverIndex < NControls())
            controls[static_cast<size_t>(mouseOverIndex)]->HandleMouseOut();
        mouseOverIndex = i;
    }
    return handleMouseOver;
}

void IGraphics::DispatchMouseOut() {
    for (IControl* c : controls) c->HandleMouseOut();
    mouseOverIndex = -1;
}

bool IGraphics::DispatchKey(int x, int y, int key) {
    const int i = ControlIndexAt(x, y, false);
    if (i <= 0) return keyCatcher ? keyCatcher->HandleKey(x, y, key) : false;
    return controls[static_cast<size_t>(i)]->HandleKey(x, y, key);
}
