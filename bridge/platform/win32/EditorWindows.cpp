// Editor windows in USER32: the class "IPlugLocal" registered under the
// module's instance, the host window's client rectangle, and the plain child
// window the editor opens its own window in. The child draws nothing itself:
// its class's black brush shows wherever the editor does not cover it.
// Built only by Windows builds (bridge/CMakeLists.txt).
#include "bridge/EditorWindows.h"

#include <windows.h>

namespace {
constexpr char kChildClass[] = "IPlugLocal";
constexpr char kChildTitle[] = "IPlugCustomUI";

HWND AsWindow(void* window) { return static_cast<HWND>(window); }
}  // namespace

static_assert(EditorWindows::kClassAlreadyExists == ERROR_CLASS_ALREADY_EXISTS,
              "the seam reports a second registration with the system's code");

uint32_t EditorWindows::RegisterChildClass(void* moduleInstance) {
    WNDCLASSA info = {};
    info.style = CS_HREDRAW | CS_VREDRAW;  // 3: redrawn whole when resized
    info.lpfnWndProc = DefWindowProcA;  // the child does no drawing of its own
    info.hInstance = static_cast<HINSTANCE>(moduleInstance);
    info.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    info.hCursor = LoadCursor(nullptr, IDC_ARROW);
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    info.lpszClassName = kChildClass;
    return RegisterClassA(&info) != 0 ? 0 : GetLastError();
}

bool EditorWindows::ClientRect(void* window, Rect& rect) {
    RECT client = {};
    if (window == nullptr || !GetClientRect(AsWindow(window), &client)) {
        rect = Rect();
        return false;
    }
    rect.left = client.left;
    rect.top = client.top;
    rect.right = client.right;
    rect.bottom = client.bottom;
    return true;
}

void* EditorWindows::CreateChild(void* moduleInstance, void* parent, int32_t x, int32_t y, int32_t width,
                                 int32_t height, uint32_t& error) {
    HWND child = CreateWindowExA(0, kChildClass, kChildTitle, WS_CHILD | WS_VISIBLE, x, y, width, height,
                                 AsWindow(parent), nullptr, static_cast<HINSTANCE>(moduleInstance), nullptr);
    error = child != nullptr ? 0 : GetLastError();
    return child;
}

void EditorWindows::Show(void* child) {
    ShowWindow(AsWindow(child), SW_SHOWNORMAL);
    InvalidateRect(AsWindow(child), nullptr, FALSE);
    UpdateWindow(AsWindow(child));
}

bool EditorWindows::Destroy(void* child) { return DestroyWindow(AsWindow(child)) != 0; }
