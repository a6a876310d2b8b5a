// The compressor's editor shown by a host under Windows, reached only through
// Kestrom.dpm's routine table: the child window's place in host windows of
// several sizes, and clicks, drags, double clicks and the wheel sent to the
// editor's window as window messages, read back through the host controls
// and the window's pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/win32/MessagePump.h"
#include "tests/win32/Win32ModuleHost.h"

namespace {

using namespace win32test;

constexpr int32_t kStereo = ('K' << 24) | ('s' << 16) | ('T' << 8) | '2';
constexpr int kWidth = 298;
constexpr int kHeight = 400;
// Host controls: the master bypass is 1, parameter i is i + 2.
constexpr int kInControl = 0 + 2;
constexpr int kPowerControl = 6 + 2;

HWND MakeHostWindow(int clientWidth, int clientHeight) {
    static const ATOM registered = [] {
        WNDCLASSA info = {};
        info.lpfnWndProc = DefWindowProcA;
        info.hInstance = GetModuleHandleA(nullptr);
        info.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        info.lpszClassName = "KsTestHostWindow";
        return RegisterClassA(&info);
    }();
    EXPECT_NE(registered, 0);
    // A popup has no frame: its client area is the window.
    return CreateWindowExA(0, "KsTestHostWindow", "host", WS_POPUP | WS_VISIBLE, 0, 0, clientWidth, clientHeight,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// One compressor instance of the loaded module with its editor attached to
// a host window of the given client size.
class HostedEditor {
public:
    explicit HostedEditor(int clientWidth = kWidth, int clientHeight = kHeight) {
        if (!host.LoadModule() || host.EngineOpen() != 0) return;
        create = host.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE);
        const auto initialize = host.Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE);
        destroy = host.Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE);
        getValue = host.Routine<PI_ControlGetIntProc>(PI_SEL_GET_CONTROL_VALUE);
        toNumber = host.Routine<PI_ControlToNumberProc>(PI_SEL_CONTROL_TO_NUMBER);
        setWindow = host.Routine<PI_SetWindowProc>(PI_SEL_SET_WINDOW);
        const auto viewRect = host.Routine<PI_ViewRectProc>(PI_SEL_VIEW_RECT);
        const auto makeView = host.Routine<PI_InstanceGetIntProc>(PI_SEL_MAKE_VIEW);
        if (!create || !initialize || !destroy || !getValue || !toNumber || !setWindow || !viewRect || !makeView)
            return;
        const PI_InstanceSetup setup{48000};
        if (create(kStereo, &instance) != PI_NoErr || initialize(instance, &setup) != PI_NoErr) return;
        PI_Rect rect{};
        int32_t made = 0;
        EXPECT_EQ(viewRect(instance, &rect), PI_NoErr);
        EXPECT_EQ(makeView(instance, &made), PI_NoErr);
        window = MakeHostWindow(clientWidth, clientHeight);
        // The host's extension library turns the port into this window.
        const auto bind = reinterpret_cast<void (*)(intptr_t, void*)>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("DigiExt.dll"), "KsExtension_BindPort")));
        if (window == nullptr || bind == nullptr) return;
        bind(kPort, window);
        attached = setWindow(instance, kPort) == PI_NoErr;
        Pump(200);
    }
    ~HostedEditor() {
        if (attached) setWindow(instance, 0);
        if (instance != 0) destroy(instance);
        if (window != nullptr) DestroyWindow(window);
    }

    // The embedding's child and the editor's own window in it.
    HWND Child() const {
        const std::vector<HWND> c = Children(window);
        return c.size() == 1 ? c[0] : nullptr;
    }
    HWND EditorWindow() const {
        const std::vector<HWND> c = Child() ? Children(Child()) : std::vector<HWND>();
        return c.size() == 1 ? c[0] : nullptr;
    }
    double Value(int control) const {
        int32_t value = 0;
        double number = 0.0;
        EXPECT_EQ(getValue(instance, control, &value), PI_NoErr);
        EXPECT_EQ(toNumber(instance, control, value, &number), PI_NoErr);
        return number;
    }
    // The editor window's pixels, once its timer has drawn what it had to.
    std::vector<COLORREF> Pixels() const {
        Pump(200);
        std::vector<COLORREF> out;
        HDC dc = GetDC(EditorWindow());
        for (int y = 0; y < kHeight; y += 4)
            for (int x = 0; x < kWidth; x += 4) out.push_back(GetPixel(dc, x, y));
        ReleaseDC(EditorWindow(), dc);
        return out;
    }

    void Send(UINT message, WPARAM flags, int x, int y) const {
        SendMessageA(EditorWindow(), message, flags, MAKELPARAM(x, y));
    }
    void Click(int x, int y) const {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Send(WM_LBUTTONUP, 0, x, y);
    }
    void Drag(int x, int fromY, int toY, WPARAM modifiers) const {
        Send(WM_LBUTTONDOWN, MK_LBUTTON | modifiers, x, fromY);
        const int steps = 4;
        for (int i = 1; i <= steps; ++i) Send(WM_MOUSEMOVE, MK_LBUTTON | modifiers, x, fromY + (toY - fromY) * i / steps);
        Send(WM_LBUTTONUP, modifiers, x, toY);
    }
    // Wheel messages carry screen coordinates.
    void Wheel(int x, int y, int notches, WPARAM modifiers) const {
        POINT p = {x, y};
        ClientToScreen(EditorWindow(), &p);
        SendMessageA(EditorWindow(), WM_MOUSEWHEEL, MAKEWPARAM(modifiers, notches * WHEEL_DELTA), MAKELPARAM(p.x, p.y));
    }

    static constexpr intptr_t kPort = 0x5150;
    Win32ModuleHost host;
    PI_CreateInstanceProc create = nullptr;
    PI_InstanceProc destroy = nullptr;
    PI_ControlGetIntProc getValue = nullptr;
    PI_ControlToNumberProc toNumber = nullptr;
    PI_SetWindowProc setWindow = nullptr;
    PI_Instance instance = 0;
    HWND window = nullptr;
    bool attached = false;
};

TEST(EditorEmbeddingWin32, TheEditorSitsAtTheBottomOfTheHostsClientAreaCentredAcross) {
    const struct {
        int width, height;
        int x, y;
    } cases[] = {{298, 400, 0, 0}, {398, 400, 50, 0}, {397, 400, 49, 0}, {298, 430, 0, 30}, {400, 500, 51, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        HostedEditor e(c.width, c.height);
        ASSERT_TRUE(e.attached);
        ASSERT_NE(e.Child(), nullptr);
        EXPECT_EQ(ClassOf(e.Child()), "IPlugLocal");
        EXPECT_EQ(GetClassLongA(e.Child(), GCL_STYLE), static_cast<DWORD>(CS_HREDRAW | CS_VREDRAW));
        RECT r = {};
        GetWindowRect(e.Child(), &r);
        MapWindowPoints(HWND_DESKTOP, e.window, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                  std::vector<LONG>({c.x, c.y, c.x + kWidth, c.y + kHeight}));
        ASSERT_NE(e.EditorWindow(), nullptr);
        EXPECT_EQ(ClassOf(e.EditorWindow()), "IPlugWndClass");
        EXPECT_EQ(GetClassLongA(e.EditorWindow(), GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
        GetWindowRect(e.EditorWindow(), &r);
        MapWindowPoints(HWND_DESKTOP, e.Child(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({0, 0, kWidth, kHeight}));
    }
}

TEST(EditorEmbeddingWin32, AClickOnTheLogoShowsTheHelpCardAndASecondHidesIt) {
    HostedEditor e;
    ASSERT_TRUE(e.attached);
    const std::vector<COLORREF> plain = e.Pixels();
    e.Click(100, 30);
    const std::vector<COLORREF> card = e.Pixels();
    EXPECT_NE(card, plain);
    e.Click(100, 30);
    EXPECT_EQ(e.Pixels(), plain);
}

TEST(EditorEmbeddingWin32, MouseMessagesSetTheParametersAsWritten) {
    // In: vertical drag over a knob 148 pixels high at gearing 4 (40 dB per
    // 592 pixels, ten times that with Control or Shift); the wheel moves 1/100
    // of the range a notch (1/1000 with Control or Shift); a double click
    // gives back the first value. Power toggles on each click.
    struct Step {
        const char* name;
        std::function<void(const HostedEditor&)> act;
        int control;
        double expected;
    };
    const Step steps[] = {
        {"click Power", [](const HostedEditor& e) { e.Click(150, 90); }, kPowerControl, 0.0},
        {"click Power again", [](const HostedEditor& e) { e.Click(150, 90); }, kPowerControl, 1.0},
        {"drag In up 74 pixels", [](const HostedEditor& e) { e.Drag(70, 250, 176, 0); }, kInControl, 5.0},
        {"drag In down 74 pixels with Control", [](const HostedEditor& e) { e.Drag(70, 176, 250, MK_CONTROL); },
         kInControl, 4.5},
        {"double click In", [](const HostedEditor& e) { e.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 70, 230); }, kInControl,
         0.0},
        {"wheel up 3 notches on In", [](const HostedEditor& e) { e.Wheel(70, 230, 3, 0); }, kInControl, 1.2},
        {"wheel down 3 notches with Shift", [](const HostedEditor& e) { e.Wheel(70, 230, -3, MK_SHIFT); },
         kInControl, 1.08},
    };
    HostedEditor e;
    ASSERT_TRUE(e.attached);
    ASSERT_NE(e.EditorWindow(), nullptr);
    EXPECT_DOUBLE_EQ(e.Value(kPowerControl), 1.0);
    EXPECT_NEAR(e.Value(kInControl), 0.0, 1e-6);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act(e);
        Pump(60);
        EXPECT_NEAR(e.Value(s.control), s.expected, 1e-6);
    }
}

}  // namespace
