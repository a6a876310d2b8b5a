// The editor's window: the class and its open count, opening (and reopening
// into a new parent), closing, painting from the back buffer, the redraw on
// the timer, resizing, the cursor, pictures and fonts.
#include "graphics/win32/IGraphicsWin.h"

#include <windows.h>
#include <commctrl.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include <cctype>
#include <cstring>

#include "core/IPlugBase.h"
#include "graphics/ITextStyle.h"
#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_PngBitmap.h"
#include "graphics/controls/IControl.h"
#include "graphics/win32/IGraphicsWinEvents.h"

namespace {

constexpr char kWindowTitle[] = "IPlug";
constexpr UINT kDoubleClicks = CS_DBLCLKS;  // 8
constexpr DWORD kTooltipStyle = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;  // 0x80000003
constexpr UINT kToolInfoSize = 44;  // the tool-info record without its later fields
constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;

// Module-wide: open editor windows (the class exists while above 0), and the
// frame rate of the window being created, read by its creation message. Both
// are touched only on the user-interface thread.
int openWindows = 0;
int creatingFrameRate = IGraphics::kDefaultFrameRate;

HWND Hwnd(void* w) { return static_cast<HWND>(w); }

bool HasPngExtension(const char* name) {
    const char* dot = name ? std::strrchr(name, '.') : nullptr;
    if (!dot || std::strlen(dot + 1) != 3) return false;
    const char* e = dot + 1;
    return std::tolower(static_cast<unsigned char>(e[0])) == 'p' &&
           std::tolower(static_cast<unsigned char>(e[1])) == 'n' &&
           std::tolower(static_cast<unsigned char>(e[2])) == 'g';
}

BYTE FontQuality(int quality) {
    switch (quality) {
        case ITextStyle::kNoAntialias: return NONANTIALIASED_QUALITY;  // 3
        case ITextStyle::kAntialias: return ANTIALIASED_QUALITY;       // 4
        case ITextStyle::kSubpixel: return CLEARTYPE_QUALITY;          // 5
        default: return DEFAULT_QUALITY;
    }
}

}  // namespace

int IGraphicsWinEvents::CreatingFrameRate() { return creatingFrameRate; }

IGraphicsWin::IGraphicsWin(IPlugBase* plug, int w, int h, int rate) : IGraphics(plug, w, h, rate) {}

IGraphicsWin::~IGraphicsWin() {
    CloseWindow();
    customColours.reset();
}

int IGraphicsWin::OpenWindowCount() { return openWindows; }

int IGraphicsWin::TimerPeriodMs() const { return static_cast<int>(1000.0 / FrameRate()); }

void* IGraphicsWin::OpenWindow(void* parent) {
    hostParent = parent;
    int x = 0, y = 0, w = Width(), h = Height();
    if (window != nullptr) {
        // Reopening into a new parent: the old window's size and its place
        // inside its parent carry over.
        RECT old = {};
        GetWindowRect(Hwnd(window), &old);
        POINT at = {old.left, old.top};
        ScreenToClient(GetParent(Hwnd(window)), &at);
        CloseWindow();
        hostParent = parent;
        x = at.x;
        y = at.y;
        w = old.right - old.left;
        h = old.bottom - old.top;
    }
    if (openWindows++ == 0) {
        WNDCLASSA info = {};
        info.style = kDoubleClicks;
        info.lpfnWndProc = reinterpret_cast<WNDPROC>(IGraphicsWinEvents::WindowProcedure());
        info.hInstance = static_cast<HINSTANCE>(instance);
        info.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        info.lpszClassName = kWindowClass;
        // A class left behind by a window its parent destroyed is still good.
        if (RegisterClassA(&info) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            --openWindows;
            return nullptr;
        }
    }
    creatingFrameRate = FrameRate();
    HWND made = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, w, h, Hwnd(parent),
                                nullptr, static_cast<HINSTANCE>(instance), this);
    if (made == nullptr) {
        if (--openWindows == 0) UnregisterClassA(kWindowClass, static_cast<HINSTANCE>(instance));
        return nullptr;
    }
    window = made;
    processId = GetCurrentProcessId();
    BindToCallingThread();
    MarkAllControlsDirty();

    if (tooltipsEnabled) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
        bool ok = InitCommonControlsEx(&controls) != 0;
        HWND tip = ok ? CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, kTooltipStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, made, nullptr,
                                        static_cast<HINSTANCE>(instance), nullptr)
                      : nullptr;
        ok = tip != nullptr;
        if (ok) {
            SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            TOOLINFOA tool = {};
            tool.cbSize = kToolInfoSize;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = made;
            tool.uId = reinterpret_cast<UINT_PTR>(made);
            tool.lpszText = const_cast<char*>("");
            ok = SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
            if (!ok) DestroyWindow(tip);
        }
        tooltipWindow = ok ? tip : nullptr;
        if (!ok) tooltipsEnabled = false;
    }
    return window;
}

void IGraphicsWin::CloseWindow() {
    if (window == nullptr) return;
    RemoveEntry();
    if (tooltipWindow != nullptr) {
        DestroyWindow(Hwnd(tooltipWindow));
        tooltipWindow = nullptr;
        tooltipShown = false;
        tooltipIndex = -1;
    }
    closing = true;
    HWND closingWindow = Hwnd(window);
    DestroyWindow(closingWindow);  // its children, the entry among them, go with it
    closing = false;
    WindowGone();
}

// The bookkeeping of a window that is gone, whether CloseWindow destroyed it
// or its parent took it along.
void IGraphicsWin::WindowGone() {
    if (window == nullptr) return;
    window = nullptr;
    entryWindow = nullptr;
    entryControl = nullptr;
    entryParam = nullptr;
    entryOldProc = nullptr;
    entryState = kEntryIdle;
    if (entryFont != nullptr) {
        DeleteObject(static_cast<HFONT>(entryFont));
        entryFont = nullptr;
    }
    tooltipWindow = nullptr;
    tooltipShown = false;
    tooltipIndex = -1;
    UnbindThread();
    if (openWindows > 0 && --openWindows == 0) UnregisterClassA(kWindowClass, static_cast<HINSTANCE>(instance));
}

bool IGraphicsWin::PaintToWindow(const IBounds& area) {
    if (window == nullptr) return false;
    PAINTSTRUCT paint = {};
    HDC screen = BeginPaint(Hwnd(window), &paint);
    HDC buffer = static_cast<HDC>(BackBuffer() ? BackBuffer()->DeviceContext() : nullptr);
    if (screen != nullptr && buffer != nullptr)
        BitBlt(screen, area.left, area.top, area.Width(), area.Height(), buffer, area.left, area.top, SRCCOPY);
    EndPaint(Hwnd(window), &paint);
    ++paintCount;
    return true;
}

// One tick of the redraw timer.
void IGraphicsWin::Redraw() {
    if (entryWindow != nullptr && entryState != kEntryIdle) {
        switch (entryState) {
            case kEntryCancel: RemoveEntry(); break;
            case kEntryCommit: FinishEntry(); break;
            default: entryState = kEntryIdle; break;
        }
        return;
    }
    ApplyPendingValues();
    IBounds dirty;
    if (!CollectDirtyArea(dirty)) return;
    RECT r = {dirty.left, dirty.top, dirty.right, dirty.bottom};
    InvalidateRect(Hwnd(window), &r, FALSE);
    if (entryWindow != nullptr && entryControl != nullptr) {
        // The entry sits over its control: leave that part alone.
        const IBounds& under = entryControl->DrawArea();
        RECT keep = {under.left, under.top, under.right, under.bottom};
        ValidateRect(Hwnd(window), &keep);
        UpdateWindow(Hwnd(window));
        entryState = kEntryRedrawn;
    } else {
        UpdateWindow(Hwnd(window));
    }
}

void IGraphicsWin::CancelTextEntry() { entryState = kEntryCancel; }

void IGraphicsWin::Resize(int w, int h) {
    if (w == Width() && h == Height()) return;
    const int dw = w - Width(), dh = h - Height();
    IGraphics::Resize(w, h);
    if (window == nullptr) return;
    const int hostKind = Plugin() ? Plugin()->HostKind() : 0;
    const int levels = hostKind == 1 || hostKind == 3 ? 1 : 3;
    HWND grow = Hwnd(window);
    for (int level = 0; level < levels && grow != nullptr; ++level) {
        const LONG style = GetWindowLongA(grow, GWL_STYLE), exStyle = GetWindowLongA(grow, GWL_EXSTYLE);
        if ((style & WS_CHILD) == 0 || (exStyle & WS_EX_MDICHILD) != 0) break;
        RECT r = {};
        GetWindowRect(grow, &r);
        SetWindowPos(grow, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        grow = GetParent(grow);
    }
    InvalidateRect(Hwnd(window), nullptr, FALSE);
}

void IGraphicsWin::HideCursor() {
    if (cursorHidden) return;
    POINT p = {};
    GetCursorPos(&p);
    savedCursorX = p.x;
    savedCursorY = p.y;
    ShowCursor(FALSE);
    cursorHidden = true;
}

void IGraphicsWin::RestoreCursor() {
    if (!cursorHidden) return;
    SetCursorPos(savedCursorX, savedCursorY);
    ShowCursor(TRUE);
    cursorHidden = false;
}

std::unique_ptr<LICE_IBitmap> IGraphicsWin::LoadPlatformBitmap(int id, const char* name) {
    if (!HasPngExtension(name)) return nullptr;
    return LICE_PngBitmap::FromResource(instance, id);
}

std::unique_ptr<LICE_IFont> IGraphicsWin::CreatePlatformFont(const ITextStyle& style) {
    char face[ITextStyle::kFontNameSize + 1] = {};
    std::memcpy(face, style.fontName, ITextStyle::kFontNameSize);
    HFONT font = CreateFontA(style.size, 0, style.orientation * 10, style.orientation * 10,
                             style.style == ITextStyle::kBold ? kBoldWeight : kNormalWeight,
                             style.style == ITextStyle::kItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, FontQuality(style.quality), DEFAULT_PITCH, face);
    if (font == nullptr) return nullptr;
    auto cached = std::make_unique<LICE_CachedFont>();
    cached->SetFromHFont(font, LICE::FontOwnsHandle | LICE::FontPreferNative);
    return cached;
}
