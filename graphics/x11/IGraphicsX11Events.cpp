#include <X11/Xlib.h>

#include <cstdlib>

#include "graphics/x11/IGraphicsX11.h"
#include "graphics/x11/X11Display.h"

// The window's events: mouse input into the context's dispatch, exposures
// repainted, the window's end.

namespace {

constexpr int kLeftButton = Button1;
constexpr int kMiddleButton = Button2;
constexpr int kRightButton = Button3;
constexpr int kWheelUp = Button4;
constexpr int kWheelDown = Button5;

// The buttons and modifiers of an event's state; `extra` is a button counted
// as held besides those (the one a press or release is about).
IMouseState MouseState(unsigned state, int extra) {
    IMouseState s;
    s.left = (state & Button1Mask) != 0 || extra == kLeftButton;
    s.right = (state & Button3Mask) != 0 || extra == kRightButton;
    s.shift = (state & ShiftMask) != 0;
    s.control = (state & ControlMask) != 0;
    s.alt = (state & Mod1Mask) != 0;
    return s;
}

}  // namespace

bool IGraphicsX11::IsDoubleClick(unsigned long lastMs, int lastX, int lastY, unsigned long ms, int x, int y) {
    // The display's clock wraps around; the difference in 32 bits does not.
    const auto elapsed = static_cast<uint32_t>(ms - lastMs);
    return elapsed <= kDoubleClickMs && std::abs(x - lastX) <= kDoubleClickDistance &&
           std::abs(y - lastY) <= kDoubleClickDistance;
}

void IGraphicsX11::HandleEvent(const void* data) {
    const XEvent& e = *static_cast<const XEvent*>(data);
    if (!display || e.xany.window != display->window) return;
    switch (e.type) {
        case Expose:
            PaintArea(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height);
            if (e.xexpose.count == 0) XFlush(display->connection);
            break;
        case ButtonPress:
            Press(e.xbutton.x, e.xbutton.y, static_cast<int>(e.xbutton.button), e.xbutton.state, e.xbutton.time);
            break;
        case ButtonRelease:
            Release(e.xbutton.x, e.xbutton.y, static_cast<int>(e.xbutton.button), e.xbutton.state);
            break;
        case MotionNotify:
            Motion(e.xmotion.x, e.xmotion.y, e.xmotion.state);
            break;
        case LeaveNotify:
            if (e.xcrossing.mode == NotifyNormal) Leave();
            break;
        case DestroyNotify:
            WindowDestroyed();
            break;
        default:
            break;
    }
}

void IGraphicsX11::Press(int x, int y, int button, unsigned state, unsigned long ms) {
    if (button == kWheelUp || button == kWheelDown) {
        DispatchWheel(x, y, MouseState(state, 0), button == kWheelUp ? 1 : -1);
        return;
    }
    if (button != kLeftButton && button != kMiddleButton && button != kRightButton) return;
    const IMouseState s = MouseState(state, button);
    if (button == kLeftButton) {
        if (pressPending && IsDoubleClick(pressMs, pressX, pressY, ms, x, y)) {
            pressPending = false;
            if (DispatchDoubleClick(x, y, s)) buttonDown = true;
            return;
        }
        pressPending = true;
        pressMs = ms;
        pressX = x;
        pressY = y;
    } else {
        pressPending = false;
    }
    buttonDown = true;
    DispatchMouseDown(x, y, s);
}

void IGraphicsX11::Release(int x, int y, int button, unsigned state) {
    if (button != kLeftButton && button != kRightButton) return;
    buttonDown = false;
    DispatchMouseUp(x, y, MouseState(state, button));
}

void IGraphicsX11::Motion(int x, int y, unsigned state) {
    const IMouseState s = MouseState(state, 0);
    if (s.left || s.right) {
        if (buttonDown) DispatchMouseDrag(x, y, s);
        return;
    }
    DispatchMouseOver(x, y, s);
}

void IGraphicsX11::Leave() {
    if (!buttonDown) DispatchMouseOut();
}
