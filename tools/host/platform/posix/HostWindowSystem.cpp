// The host's window in the display-less window system, the window layer the
// module shares with its hosts on Linux. Built only by the native build
// (tools/CMakeLists.txt).
#include "tools/host/HostWindowSystem.h"

#include "standins/windows/KestromWindows.h"

namespace kestrom::host {

namespace {

constexpr char kHostClass[] = "KestromHostWindow";
constexpr uint32_t kHostBackground = 0xFF202020;
constexpr uint32_t kStepMs = 10;          // one turn of the message pump
constexpr uint32_t kQuietMs = 250;        // six frames of an editor at 25 per second
constexpr uint32_t kMostSettleMs = 10000;

// The host's windows are registered under this program's own instance.
const char kHostInstanceTag = 0;
void* HostInstance() { return const_cast<char*>(&kHostInstanceTag); }

KsWin_Window AsWindow(void* window) { return static_cast<KsWin_Window>(window); }

std::string WindowError(const std::string& what, KsWin_Status status) {
    return what + " (window system error " + std::to_string(status) + ")";
}

}  // namespace

void* HostWindowSystem::Create(int width, int height, std::string& error) {
    KsWin_ClassInfo info{kHostClass, HostInstance(), nullptr, 0, kHostBackground};
    const KsWin_Status registered = KsWin_RegisterClass(&info);
    if (registered != KSWIN_OK && registered != KSWIN_ERROR_CLASS_ALREADY_EXISTS) {
        error = WindowError("the host's window class cannot be registered", registered);
        return nullptr;
    }
    KsWin_Window window = nullptr;
    const KsWin_Status made = KsWin_CreateWindow(kHostClass, HostInstance(), "Kestrom", KSWIN_STYLE_VISIBLE, nullptr,
                                                 0, 0, width, height, nullptr, &window);
    if (made != KSWIN_OK) {
        error = WindowError("the host's window cannot be made", made);
        return nullptr;
    }
    return window;
}

void HostWindowSystem::Destroy(void* window) {
    if (window != nullptr) KsWin_DestroyWindow(AsWindow(window));
}

bool HostWindowSystem::FirstChildOrigin(void* window, int& x, int& y) {
    KsWin_Window child = nullptr;
    int32_t count = 0;
    KsWin_Rect at{};
    if (window == nullptr || KsWin_GetChildren(AsWindow(window), &child, 1, &count) != KSWIN_OK || count < 1 ||
        KsWin_GetWindowRect(child, &at) != KSWIN_OK)
        return false;
    x = at.left;
    y = at.top;
    return true;
}

// Paints into the host's window (the editor's copies to the screen) are
// counted by the window system; the pump advances its clock.
bool HostWindowSystem::Settle(void* window, std::string& error) {
    uint64_t last = 0;
    KsWin_GetPaintCount(AsWindow(window), &last);
    uint32_t quiet = 0;
    for (uint32_t elapsed = 0; quiet < kQuietMs && elapsed < kMostSettleMs; elapsed += kStepMs) {
        KsWin_RunTimers(kStepMs, nullptr);
        uint64_t paints = 0;
        KsWin_GetPaintCount(AsWindow(window), &paints);
        quiet = paints == last ? quiet + kStepMs : 0;
        last = paints;
    }
    if (quiet < kQuietMs) {
        error = "the editor kept drawing for " + std::to_string(kMostSettleMs / 1000) + " seconds";
        return false;
    }
    return true;
}

bool HostWindowSystem::Click(void* window, int x, int y, std::string& error) {
    for (const uint32_t type : {KSWIN_MSG_MOUSE_DOWN, KSWIN_MSG_MOUSE_UP}) {
        const KsWin_MouseInput input{type, x, y, KSWIN_BUTTON_LEFT, 0, 0};
        const KsWin_Status sent = KsWin_SendMouse(AsWindow(window), &input, nullptr);
        if (sent != KSWIN_OK) {
            error = WindowError("reached no window", sent);
            return false;
        }
    }
    return true;
}

bool HostWindowSystem::Capture(void* window, int left, int top, int width, int height,
                               std::vector<uint32_t>& pixels, std::string& error) {
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const KsWin_Rect area{left, top, left + width, top + height};
    const KsWin_Status captured =
        KsWin_CaptureWindow(AsWindow(window), &area, pixels.data(), width, static_cast<int64_t>(pixels.size()));
    if (captured != KSWIN_OK) {
        error = WindowError("the host's window cannot be read", captured);
        return false;
    }
    return true;
}

}  // namespace kestrom::host
