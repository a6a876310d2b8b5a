#include "tools/host/HostedEditor.h"

#include <dlfcn.h>

#include <atomic>

#include "standins/extension/ExtensionStandIn.h"
#include "standins/windows/KestromWindows.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"

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

// Host ports are small numbers, one per editor shown, never 0.
intptr_t NewPort() {
    static std::atomic<intptr_t> next{0x100};
    return next++;
}

// The extension library's port binding, which the host has loaded (globally)
// for the module; null when it is not there.
using BindPortProc = decltype(&KsExtension_BindPort);
BindPortProc BindPort() { return reinterpret_cast<BindPortProc>(dlsym(RTLD_DEFAULT, "KsExtension_BindPort")); }

std::string WindowError(const std::string& what, KsWin_Status status) {
    return what + " (window system error " + std::to_string(status) + ")";
}

}  // namespace

HostedEditor::HostedEditor(const ModuleHost& module, const HostedPlugin& plugin) : module_(module), plugin_(plugin) {}

HostedEditor::~HostedEditor() { Close(); }

bool HostedEditor::Check(PI_Status status, const std::string& what, std::string& error) const {
    status_ = status;
    if (status == PI_NoErr) return true;
    error = what + " (status " + std::to_string(status) + ")";
    return false;
}

bool HostedEditor::Open(std::string& error, int clientWidth, int clientHeight) {
    Close();
    const ModuleRoutines& r = module_.Routines();
    const PI_Instance instance = plugin_.Handle();
    if (!Check(r.viewRect(instance, &viewRect_), "the plug-in has no editor to show", error)) return false;
    const BindPortProc bind = BindPort();
    if (bind == nullptr) {
        error = "the host extension library cannot bind ports to windows";
        return false;
    }
    KsWin_ClassInfo info{kHostClass, HostInstance(), nullptr, 0, kHostBackground};
    const KsWin_Status registered = KsWin_RegisterClass(&info);
    if (registered != KSWIN_OK && registered != KSWIN_ERROR_CLASS_ALREADY_EXISTS) {
        error = WindowError("the host's window class cannot be registered", registered);
        return false;
    }
    KsWin_Window window = nullptr;
    const KsWin_Status made =
        KsWin_CreateWindow(kHostClass, HostInstance(), "Kestrom", KSWIN_STYLE_VISIBLE, nullptr, 0, 0,
                           clientWidth > 0 ? clientWidth : Width(), clientHeight > 0 ? clientHeight : Height(),
                           nullptr, &window);
    if (made != KSWIN_OK) {
        error = WindowError("the host's window cannot be made", made);
        return false;
    }
    window_ = window;
    port_ = NewPort();
    bind(port_, window_);
    int32_t viewMade = 0;
    if (!Check(r.makeView(instance, &viewMade), "the plug-in's view cannot be made", error) ||
        (viewMade == 0 && !Check(PI_ErrInternal, "the plug-in made no view", error)) || !Attach(error)) {
        Close();
        return false;
    }
    return true;
}

bool HostedEditor::Attach(std::string& error) {
    if (port_ == 0) {
        error = "the editor has no host window";
        return false;
    }
    if (!Check(module_.Routines().setWindow(plugin_.Handle(), port_), "the editor cannot be attached", error))
        return false;
    attached_ = true;
    return true;
}

bool HostedEditor::Detach(std::string& error) {
    attached_ = false;
    return Check(module_.Routines().setWindow(plugin_.Handle(), 0), "the editor cannot be detached", error);
}

bool HostedEditor::IsAttached() const {
    int32_t open = 0;
    return module_.Routines().editorIsOpen(plugin_.Handle(), &open) == PI_NoErr && open != 0;
}

void HostedEditor::Close() {
    std::string ignored;
    if (attached_) Detach(ignored);
    if (port_ != 0) {
        if (const BindPortProc bind = BindPort()) bind(port_, nullptr);
        port_ = 0;
    }
    if (window_ != nullptr) {
        KsWin_DestroyWindow(AsWindow(window_));
        window_ = nullptr;
    }
}

bool HostedEditor::EditorOrigin(int& x, int& y) const {
    KsWin_Window child = nullptr;
    int32_t count = 0;
    KsWin_Rect at{};
    if (window_ == nullptr || KsWin_GetChildren(AsWindow(window_), &child, 1, &count) != KSWIN_OK || count < 1 ||
        KsWin_GetWindowRect(child, &at) != KSWIN_OK)
        return false;
    x = at.left;
    y = at.top;
    return true;
}

bool HostedEditor::Settle(std::string& error) {
    if (window_ == nullptr) {
        error = "the editor has no host window";
        return false;
    }
    uint64_t last = 0;
    KsWin_GetPaintCount(AsWindow(window_), &last);
    uint32_t quiet = 0;
    for (uint32_t elapsed = 0; quiet < kQuietMs && elapsed < kMostSettleMs; elapsed += kStepMs) {
        KsWin_RunTimers(kStepMs, nullptr);
        uint64_t paints = 0;
        KsWin_GetPaintCount(AsWindow(window_), &paints);
        quiet = paints == last ? quiet + kStepMs : 0;
        last = paints;
    }
    if (quiet < kQuietMs) {
        error = "the editor kept drawing for " + std::to_string(kMostSettleMs / 1000) + " seconds";
        return false;
    }
    return true;
}

bool HostedEditor::Click(int x, int y, std::string& error) {
    int left = 0, top = 0;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
        error = "click " + std::to_string(x) + "," + std::to_string(y) + " lies outside the " +
                std::to_string(Width()) + " x " + std::to_string(Height()) + " editor";
        return false;
    }
    if (!EditorOrigin(left, top)) {
        error = "the editor is not shown";
        return false;
    }
    for (const uint32_t type : {KSWIN_MSG_MOUSE_DOWN, KSWIN_MSG_MOUSE_UP}) {
        const KsWin_MouseInput input{type, left + x, top + y, KSWIN_BUTTON_LEFT, 0, 0};
        const KsWin_Status sent = KsWin_SendMouse(AsWindow(window_), &input, nullptr);
        if (sent != KSWIN_OK) {
            error = WindowError("click " + std::to_string(x) + "," + std::to_string(y) + " reached no window", sent);
            return false;
        }
    }
    return true;
}

bool HostedEditor::RequestDraw(std::string& error) {
    const PI_Rect area = viewRect_;
    return Check(module_.Routines().viewDraw(plugin_.Handle(), &area), "the editor's view cannot be drawn", error);
}

bool HostedEditor::Capture(Picture& picture, std::string& error) const {
    int left = 0, top = 0;
    if (!EditorOrigin(left, top)) {
        error = "the editor is not shown";
        return false;
    }
    const int width = Width(), height = Height();
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    const KsWin_Rect area{left, top, left + width, top + height};
    const KsWin_Status captured = KsWin_CaptureWindow(AsWindow(window_), &area, pixels.data(), width,
                                                      static_cast<int64_t>(pixels.size()));
    if (captured != KSWIN_OK) {
        error = WindowError("the host's window cannot be read", captured);
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        picture.rgb[i * 3 + 0] = static_cast<unsigned char>(pixels[i] >> 16);
        picture.rgb[i * 3 + 1] = static_cast<unsigned char>(pixels[i] >> 8);
        picture.rgb[i * 3 + 2] = static_cast<unsigned char>(pixels[i]);
    }
    return true;
}

}  // namespace kestrom::host
