// The host's window on Windows: a top-level USER32 window of the program's
// own class, a message pump that dispatches the editor's timer and paint
// messages, clicks as WM_LBUTTONDOWN/WM_LBUTTONUP sent to the window under
// the point, and the pixels read back from the window's device context
// with GDI. Built only by Windows builds (tools/CMakeLists.txt).
#include "tools/host/HostWindowSystem.h"

#include <windows.h>

namespace kestrom::host {

namespace {

constexpr char kHostClass[] = "KestromHostWindow";
constexpr COLORREF kHostBackground = RGB(0x20, 0x20, 0x20);
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kStepMs = 10;          // one turn of the message pump
constexpr DWORD kQuietMs = 250;        // six frames of an editor at 25 per second
constexpr DWORD kMostSettleMs = 10000;

HWND AsWindow(void* window) { return static_cast<HWND>(window); }

std::string SystemError(const std::string& what) {
    return what + " (system error " + std::to_string(GetLastError()) + ")";
}

bool RegisterHostClass(std::string& error) {
    WNDCLASSA info = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kHostClass, &info)) return true;  // an earlier editor's
    info = WNDCLASSA{};
    info.lpfnWndProc = DefWindowProcA;
    info.hInstance = GetModuleHandleA(nullptr);
    info.hCursor = LoadCursor(nullptr, IDC_ARROW);
    info.hbrBackground = CreateSolidBrush(kHostBackground);
    info.lpszClassName = kHostClass;
    if (RegisterClassA(&info) != 0) return true;
    error = SystemError("the host's window class cannot be registered");
    DeleteObject(info.hbrBackground);
    return false;
}

// Every message waiting for this thread's windows, timers and paints
// included (they are made when the queue is looked at).
void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The deepest visible window at the client point (x, y) of `window`, and the
// point in its client coordinates.
HWND DeepestAt(HWND window, POINT& point) {
    for (;;) {
        HWND child = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == window) return window;
        MapWindowPoints(window, child, &point, 1);
        window = child;
    }
}

}  // namespace

void* HostWindowSystem::Create(int width, int height, std::string& error) {
    if (!RegisterHostClass(error)) return nullptr;
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, kStyle, FALSE);
    HWND window = CreateWindowExA(0, kHostClass, "Kestrom", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        error = SystemError("the host's window cannot be made");
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    // A window manager may have its own ideas about the frame: the client
    // area is what the editor is placed in, so it must be the size asked for.
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right != width || client.bottom != height) {
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                     frame.bottom - frame.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PumpMessages();
    return window;
}

void HostWindowSystem::Destroy(void* window) {
    if (window == nullptr) return;
    DestroyWindow(AsWindow(window));
    PumpMessages();
}

bool HostWindowSystem::FirstChildOrigin(void* window, int& x, int& y) {
    HWND child = window != nullptr ? GetWindow(AsWindow(window), GW_CHILD) : nullptr;
    if (child == nullptr) return false;
    // GW_CHILD gives the top of the z-order: the most recent child. The
    // editor's is the only one the host's window has.
    RECT at = {};
    if (!GetWindowRect(child, &at)) return false;
    POINT corner = {at.left, at.top};
    ScreenToClient(AsWindow(window), &corner);
    x = corner.x;
    y = corner.y;
    return true;
}

// Nothing counts an editor's copies to the screen here, so the pump watches
// the pixels themselves: settled when the whole client area has not changed
// for kQuietMs.
bool HostWindowSystem::Settle(void* window, std::string& error) {
    RECT client = {};
    if (!GetClientRect(AsWindow(window), &client)) {
        error = SystemError("the host's window is gone");
        return false;
    }
    std::vector<uint32_t> last, now;
    DWORD quiet = 0;
    const DWORD start = GetTickCount();
    while (quiet < kQuietMs && GetTickCount() - start < kMostSettleMs) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kStepMs, QS_ALLINPUT);
        PumpMessages();
        if (!Capture(window, 0, 0, client.right, client.bottom, now, error)) return false;
        quiet = now == last ? quiet + kStepMs : 0;
        last.swap(now);
    }
    if (quiet < kQuietMs) {
        error = "the editor kept drawing for " + std::to_string(kMostSettleMs / 1000) + " seconds";
        return false;
    }
    return true;
}

bool HostWindowSystem::Click(void* window, int x, int y, std::string& error) {
    POINT point = {x, y};
    HWND target = DeepestAt(AsWindow(window), point);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    // The press may have captured the mouse for another window; the release
    // goes where the system would send it.
    HWND captured = GetCapture();
    if (captured != nullptr && captured != target) {
        POINT releaseAt = {x, y};
        MapWindowPoints(AsWindow(window), captured, &releaseAt, 1);
        SendMessageA(captured, WM_LBUTTONUP, 0, MAKELPARAM(releaseAt.x, releaseAt.y));
    } else {
        SendMessageA(target, WM_LBUTTONUP, 0, at);
    }
    if (!IsWindow(AsWindow(window))) {
        error = "closed the host's window";
        return false;
    }
    return true;
}

bool HostWindowSystem::Capture(void* window, int left, int top, int width, int height,
                               std::vector<uint32_t>& pixels, std::string& error) {
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (width <= 0 || height <= 0) return true;
    HDC screen = GetDC(AsWindow(window));
    if (screen == nullptr) {
        error = SystemError("the host's window cannot be read");
        return false;
    }
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // rows top to bottom
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = memory != nullptr ? CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool copied = false;
    if (picture != nullptr) {
        HGDIOBJ previous = SelectObject(memory, picture);
        copied = BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY) != 0;
        GdiFlush();
        if (copied) {
            // A 32-bit DIB holds blue, green, red and an unused byte: 0x00RRGGBB.
            const uint32_t* row = static_cast<const uint32_t*>(bits);
            for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = row[i] & 0x00FFFFFFu;
        }
        SelectObject(memory, previous);
        DeleteObject(picture);
    }
    if (!copied) error = SystemError("the host's window cannot be read");
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(AsWindow(window), screen);
    return copied;
}

}  // namespace kestrom::host
