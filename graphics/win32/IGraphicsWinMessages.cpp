// The editor window's procedure: its messages become the context's mouse and
// key dispatch, the redraw timer and painting.
#include <windows.h>
#include <commctrl.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include "graphics/controls/IControl.h"
#include "graphics/win32/IGraphicsWin.h"
#include "graphics/win32/IGraphicsWinEvents.h"
#include "hostlib/CModifierKeys.h"

namespace {

constexpr int kWheelStep = WHEEL_DELTA;  // 120 per notch

LRESULT CALLBACK WindowThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IGraphicsWinEvents::Window(window, message, wParam, lParam);
}

int SignedLow(LPARAM v) { return static_cast<short>(LOWORD(v)); }
int SignedHigh(LPARAM v) { return static_cast<short>(HIWORD(v)); }

// Buttons and modifiers from a message's key flags; Alt from the host's
// keyboard state.
IMouseState MouseState(WPARAM flags) {
    IMouseState state;
    state.left = (flags & MK_LBUTTON) != 0;
    state.right = (flags & MK_RBUTTON) != 0;
    state.shift = (flags & MK_SHIFT) != 0;
    state.control = (flags & MK_CONTROL) != 0;
    state.alt = CModifierKeys::Option();
    return state;
}

// The top-level window the editor sits in, or null when the editor is that
// window itself (nothing to forward to).
HWND Root(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    return root != window ? root : nullptr;
}

LRESULT Forward(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HWND root = Root(window)) SendMessageA(root, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void* IGraphicsWinEvents::WindowProcedure() { return reinterpret_cast<void*>(&WindowThunk); }

int IGraphicsWin::TranslateKey(unsigned key) {
    if (key == VK_SPACE) return kKeySpace;
    if (key == VK_UP) return kKeyUp;
    if (key == VK_DOWN) return kKeyDown;
    if (key == VK_LEFT) return kKeyLeft;
    if (key == VK_RIGHT) return kKeyRight;
    if (key >= '0' && key <= '9') return kKeyDigit0 + static_cast<int>(key - '0');
    if (key >= 'A' && key <= 'Z') return kKeyLetterA + static_cast<int>(key - 'A');
    if (key >= 97 && key <= 122) return kKeyLetterA + static_cast<int>(key - 97);
    return -1;
}

intptr_t IGraphicsWinEvents::Window(void* handle, unsigned message, uintptr_t wParam, intptr_t lParam) {
    HWND window = static_cast<HWND>(handle);
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        SetTimer(window, IGraphicsWin::kRedrawTimerId, static_cast<UINT>(1000.0 / CreatingFrameRate()), nullptr);
        SetFocus(window);
        return 0;
    }
    auto* g = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (g == nullptr || g->window != window) return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        // Gone with its parent, without CloseWindow: the editor is closed.
        if (!g->closing) g->WindowGone();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (g->entryWindow != nullptr && g->entryState == IGraphicsWin::kEntryFocused) {
        // The entry has the keyboard: a click elsewhere cancels it, and the
        // editor takes nothing else.
        if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
            g->entryState = IGraphicsWin::kEntryCancel;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    const int x = SignedLow(lParam), y = SignedHigh(lParam);
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return 0;
        case WM_PAINT: {
            RECT r = {};
            if (GetUpdateRect(window, &r, FALSE)) g->DrawDirty(IBounds(r.left, r.top, r.right, r.bottom));
            // Whatever no control covers (an editor without controls) is done too.
            ValidateRect(window, nullptr);
            return 0;
        }
        case WM_CLOSE:
            g->CloseWindow();
            return 0;
        case WM_DRAWITEM:
        case WM_MEASUREITEM: {
            HWND root = Root(window);
            return root != nullptr ? SendMessageA(root, message, wParam, lParam) : 0;
        }
        case WM_KEYDOWN: {
            const int key = IGraphicsWin::TranslateKey(static_cast<unsigned>(wParam));
            if (key < 0) return Forward(window, message, wParam, lParam);
            POINT p = {};
            GetCursorPos(&p);
            ScreenToClient(window, &p);
            if (!g->DispatchKey(p.x, p.y, key)) return Forward(window, message, wParam, lParam);
            return 0;
        }
        case WM_TIMER:
            if (wParam == IGraphicsWin::kRedrawTimerId) g->Redraw();
            return 0;
        case WM_CTLCOLOREDIT: {
            if (g->entryWindow == nullptr || g->entryControl == nullptr)
                return DefWindowProcA(window, message, wParam, lParam);
            HDC dc = reinterpret_cast<HDC>(wParam);
            const ITextStyle& style = g->entryControl->TextStyle();
            SetBkColor(dc, style.entryBackground.ColourRef());
            SetTextColor(dc, style.entryForeground.ColourRef());
            SetBkMode(dc, OPAQUE);
            // The brush paints the rest of the field in the same colour.
            SetDCBrushColor(dc, style.entryBackground.ColourRef());
            return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        }
        case WM_MOUSEMOVE: {
            const IMouseState state = MouseState(wParam);
            if (state.left || state.right) {
                if (GetCapture() == window && g->entryWindow == nullptr) g->DispatchMouseDrag(x, y, state);
                return 0;
            }
            const int before = g->MouseOverIndex();
            if (g->DispatchMouseOver(x, y, state)) {
                TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, HOVER_DEFAULT};
                const int now = g->MouseOverIndex();
                if (g->tooltipsEnabled && now >= 0 && now != before) {
                    track.dwFlags |= TME_HOVER;
                    g->tooltipIndex = now;
                    g->HideTooltip();
                }
                TrackMouseEvent(&track);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            g->HideTooltip();
            if (g->entryWindow != nullptr) {
                g->RemoveEntry();
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            }
            SetFocus(window);
            SetCapture(window);
            if (CModifierKeys::Control() && CModifierKeys::Command()) {
                // The host's automation shortcut: the host's window gets the
                // click when it lands on a parameter's control.
                if (HWND root = Root(window)) {
                    POINT p = {x, y};
                    ClientToScreen(window, &p);
                    ScreenToClient(root, &p);
                    if (g->ParamIndexAt(x, y) >= 0)
                        SendMessageA(root, message, wParam, MAKELPARAM(p.x, p.y));
                }
                return 0;
            }
            g->DispatchMouseDown(x, y, MouseState(wParam));
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            ReleaseCapture();
            g->DispatchMouseUp(x, y, MouseState(wParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            if (g->DispatchDoubleClick(x, y, MouseState(wParam))) SetCapture(window);
            return 0;
        case WM_MOUSEWHEEL: {
            if (g->entryWindow != nullptr) {
                g->entryState = IGraphicsWin::kEntryCancel;
                return 0;
            }
            // The wheel's position is on the screen.
            RECT r = {};
            GetWindowRect(window, &r);
            g->DispatchWheel(x - r.left, y - r.top, MouseState(LOWORD(wParam)),
                             static_cast<short>(HIWORD(wParam)) / kWheelStep);
            return 0;
        }
        case WM_MOUSEHOVER: {
            IControl* control = g->GetControl(g->tooltipIndex);
            if (control != nullptr && !control->Tooltip().empty() && g->tooltipWindow != nullptr) {
                TOOLINFOA tool = {};
                tool.cbSize = 44;
                tool.hwnd = window;
                tool.uId = reinterpret_cast<UINT_PTR>(window);
                tool.lpszText = const_cast<char*>(control->Tooltip().c_str());
                SendMessageA(static_cast<HWND>(g->tooltipWindow), TTM_UPDATETIPTEXTA, 0,
                             reinterpret_cast<LPARAM>(&tool));
                g->tooltipShown = true;
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            g->HideTooltip();
            g->DispatchMouseOut();
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
