// The editor's own window in the display-less window system, made when the
// editor is opened in a parent window (the host bridge's child window): its
// timer runs the redraw, its mouse messages reach the layer's mouse handling,
// and every paint of the screen is copied to its surface.
#include <algorithm>

#include "graphics/LICE_MemBitmap.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "standins/windows/KestromWindows.h"

namespace {

constexpr char kClassName[] = "IPlugWndClass";
constexpr char kTitle[] = "IPlug";
constexpr uint32_t kRedrawTimer = 2;

// The class is registered under this copy of the layer as its module
// instance: a module and a host that both carry the layer then each have a
// class of their own, with their own window procedure.
const char kClassOwnerTag = 0;
void* ClassOwner() { return const_cast<char*>(&kClassOwnerTag); }

KsWin_Window AsWindow(void* window) { return static_cast<KsWin_Window>(window); }

IMouseState MouseState(const KsWin_Message& m) {
    // A release counts its own button as held, so the control learns which
    // button it was, as it does from a click the caller injects.
    const uint32_t buttons = m.type == KSWIN_MSG_MOUSE_UP ? (m.buttons | m.button) : m.buttons;
    IMouseState state;
    state.left = (buttons & KSWIN_BUTTON_LEFT) != 0;
    state.right = (buttons & KSWIN_BUTTON_RIGHT) != 0;
    state.shift = (m.modifiers & KSWIN_MOD_SHIFT) != 0;
    state.control = (m.modifiers & KSWIN_MOD_CONTROL) != 0;
    state.alt = (m.modifiers & KSWIN_MOD_ALT) != 0;
    return state;
}

}  // namespace

// The window procedure of the editor's windows.
struct HeadlessWindowEvents {
    // Called by the window system on the window's thread (the editor's), no
    // lock held: at creation, at every timer tick, for every mouse event and
    // when the window is destroyed.
    static intptr_t Proc(KsWin_Window window, const KsWin_Message* message) {
        if (message->type == KSWIN_MSG_CREATE) {
            auto* editor = static_cast<IGraphicsHeadless*>(message->createParam);
            const bool ready = editor != nullptr && KsWin_SetWindowData(window, editor) == KSWIN_OK &&
                               KsWin_SetTimer(window, kRedrawTimer, static_cast<uint32_t>(editor->TimerPeriodMs())) ==
                                   KSWIN_OK;
            return ready ? 0 : -1;
        }
        void* data = nullptr;
        if (KsWin_GetWindowData(window, &data) != KSWIN_OK || data == nullptr) return 0;
        auto* editor = static_cast<IGraphicsHeadless*>(data);
        // Messages of a window the editor has let go of (being destroyed by
        // CloseWindow) are not the editor's any more.
        if (editor->window != window) return 0;
        const KsWin_Message& m = *message;
        switch (m.type) {
            case KSWIN_MSG_DESTROY:
                editor->SystemWindowDestroyed();
                break;
            case KSWIN_MSG_TIMER:
                if (m.timerId == kRedrawTimer) editor->Tick();
                break;
            case KSWIN_MSG_MOUSE_DOWN:
                editor->MouseDown(m.x, m.y, MouseState(m));
                break;
            case KSWIN_MSG_MOUSE_UP:
                editor->MouseUp(m.x, m.y, MouseState(m));
                break;
            case KSWIN_MSG_MOUSE_MOVE:
                editor->MouseMove(m.x, m.y, MouseState(m));
                break;
            case KSWIN_MSG_DOUBLE_CLICK:
                editor->DoubleClick(m.x, m.y, MouseState(m));
                break;
            case KSWIN_MSG_WHEEL:
                editor->Wheel(m.x, m.y, MouseState(m), m.wheelDelta / KSWIN_WHEEL_DELTA);
                break;
            case KSWIN_MSG_MOUSE_LEAVE:
                editor->MouseLeave();
                break;
            default:
                break;
        }
        return 0;
    }
};

bool IGraphicsHeadless::OpenSystemWindow(void* parent) {
    KsWin_ClassInfo info{};
    info.name = kClassName;
    info.instance = ClassOwner();
    info.proc = &HeadlessWindowEvents::Proc;
    info.style = KSWIN_CLASS_DOUBLE_CLICKS;
    info.background = 0;  // like the screen before the first paint
    const KsWin_Status registered = KsWin_RegisterClass(&info);
    if (registered != KSWIN_OK && registered != KSWIN_ERROR_CLASS_ALREADY_EXISTS) return false;
    KsWin_Window made = nullptr;
    if (KsWin_CreateWindow(kClassName, ClassOwner(), kTitle, KSWIN_STYLE_CHILD | KSWIN_STYLE_VISIBLE, AsWindow(parent),
                           0, 0, Width(), Height(), this, &made) != KSWIN_OK) {
        // The class stays while other editors' windows use it.
        KsWin_UnregisterClass(kClassName, ClassOwner());
        return false;
    }
    window = made;
    return true;
}

void IGraphicsHeadless::CloseSystemWindow() {
    if (window == nullptr) return;
    const KsWin_Window closing = AsWindow(window);
    window = nullptr;
    KsWin_DestroyWindow(closing);
    KsWin_UnregisterClass(kClassName, ClassOwner());
}

void IGraphicsHeadless::SystemWindowDestroyed() {
    window = nullptr;
    CloseWindow();
}

void IGraphicsHeadless::PaintSystemWindow(const IBounds& area) {
    if (window == nullptr || !screen) return;
    const LICE_pixel* pixels = screen->Pixels();
    const int left = std::max(area.left, 0), top = std::max(area.top, 0);
    const int right = std::min(area.right, screen->Width()), bottom = std::min(area.bottom, screen->Height());
    if (pixels == nullptr || right <= left || bottom <= top) return;
    const int span = screen->RowSpan();
    KsWin_WritePixels(AsWindow(window), left, top, right - left, bottom - top,
                      pixels + static_cast<std::ptrdiff_t>(top) * span + left, span);
}

void IGraphicsHeadless::ResizeSystemWindow() {
    if (window == nullptr) return;
    KsWin_Rect at{};
    if (KsWin_GetWindowRect(AsWindow(window), &at) == KSWIN_OK)
        KsWin_MoveWindow(AsWindow(window), at.left, at.top, Width(), Height());
}
