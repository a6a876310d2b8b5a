// Editor windows in the display-less window system, the platform's window
// layer on Linux: the class "IPlugLocal" registered under the module's
// instance, the host window's client rectangle, and the plain child window
// the editor opens its own window in. The child draws nothing itself; its
// surface shows the class's black background wherever the editor does not
// cover it.
#include "bridge/EditorWindows.h"

#include "standins/windows/KestromWindows.h"

namespace {
constexpr char kChildClass[] = "IPlugLocal";
constexpr char kChildTitle[] = "IPlugCustomUI";
constexpr uint32_t kBlack = 0xFF000000;

KsWin_Window AsWindow(void* window) { return static_cast<KsWin_Window>(window); }
}  // namespace

static_assert(EditorWindows::kClassAlreadyExists == KSWIN_ERROR_CLASS_ALREADY_EXISTS,
              "the window system reports a second registration as Windows does");

uint32_t EditorWindows::RegisterChildClass(void* moduleInstance) {
    KsWin_ClassInfo info{};
    info.name = kChildClass;
    info.instance = moduleInstance;
    info.proc = nullptr;  // the system's default procedure: the child does no drawing of its own
    info.style = 0;
    info.background = kBlack;
    return KsWin_RegisterClass(&info);
}

bool EditorWindows::ClientRect(void* window, Rect& rect) {
    KsWin_Rect client{};
    if (KsWin_GetClientRect(AsWindow(window), &client) != KSWIN_OK) {
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
    KsWin_Window child = nullptr;
    error = KsWin_CreateWindow(kChildClass, moduleInstance, kChildTitle, KSWIN_STYLE_CHILD | KSWIN_STYLE_VISIBLE,
                               AsWindow(parent), x, y, width, height, nullptr, &child);
    return error == KSWIN_OK ? child : nullptr;
}

void EditorWindows::Show(void* child) { KsWin_ShowWindow(AsWindow(child), 1); }

bool EditorWindows::Destroy(void* child) { return KsWin_DestroyWindow(AsWindow(child)) == KSWIN_OK; }
