// The Win32 editor window driven through real window messages: its redraw
// timer, the in-place text entry, popup menus, the shared window class and
// reopening into another parent. The editor is a small one of its own (a
// plug-in with a continuous and a list parameter, plain colour controls),
// linked into this program, inside a top-level window of the test's.
#include <windows.h>
#include <commctrl.h>
#undef DrawText

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/IPlugBase.h"
#include "graphics/IMenu.h"
#include "graphics/ITextStyle.h"
#include "graphics/controls/IControl.h"
#include "graphics/win32/IGraphicsWin.h"
#include "tests/win32/MessagePump.h"

namespace {

class WinTestPlugin : public IPlugBase {
public:
    enum { kGain, kMode, kNumParams };
    WinTestPlugin()
        : IPlugBase(kNumParams, "1-1 2-2", 1, "WinTest", "", "Maker", 0x00010000, 0x57696e54, 0x4D6B7231, 0, false,
                    false, false, 3) {
        Param(kGain)->DefineContinuous("Gain", 0.0, -20.0, 20.0, 0.1, "dB");
        Param(kMode)->DefineList("Mode", 0, 3);
        Param(kMode)->AddValueText(0, "Soft");
        Param(kMode)->AddValueText(1, "Medium");
        Param(kMode)->AddValueText(2, "Hard");
    }
    void BeginParamGesture(int index) override { gestures.push_back(index); }
    void TellHostParamValue(int, double) override {}
    void EndParamGesture(int) override {}
    void TellHostAllParams() override {}
    int HostSamplePosition() override { return 0; }
    double HostTempo() override { return 120.0; }
    void HostTimeSignature(int*, int*) override {}
    void HostTransport(HostTimeRecord*) override {}
    void EditorResized(int, int) override {}
    bool SendMidiEvent(const IMidiEvent&) override { return false; }
    std::vector<int> gestures;  // parameters whose gesture began
};

// Takes the keys it is given while it catches them, and records them.
class KeyCatcher : public IControl {
public:
    explicit KeyCatcher(IPlugBase* plugin) : IControl(plugin, IBounds(), -1) {}
    bool Draw(IGraphics&) override { return true; }
    bool HandleKey(int, int, int key) override {
        keys.push_back(key);
        return true;
    }
    std::vector<int> keys;
};

class FillControl : public IControl {
public:
    FillControl(IPlugBase* plugin, const IBounds& area, int paramIdx, IRgba fill)
        : IControl(plugin, area, paramIdx), colour(fill) {}
    bool Draw(IGraphics& g) override { return g.FillRect(colour, drawArea, &blend); }

private:
    IRgba colour;
};

constexpr int kWidth = 200;
constexpr int kHeight = 120;
const IBounds kGainArea(20, 20, 80, 40);

HINSTANCE ThisProgram() { return GetModuleHandleA(nullptr); }

// A top-level window of the test's, standing for the host's.
HWND MakeHostWindow(int x, int y, int w, int h) {
    static const ATOM registered = [] {
        WNDCLASSA info = {};
        info.lpfnWndProc = DefWindowProcA;
        info.hInstance = ThisProgram();
        info.lpszClassName = "KsTestHost";
        return RegisterClassA(&info);
    }();
    EXPECT_NE(registered, 0);
    HWND host = CreateWindowExA(0, "KsTestHost", "host", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                                ThisProgram(), nullptr);
    EXPECT_NE(host, nullptr);
    return host;
}

bool ClassRegistered() {
    WNDCLASSA info = {};
    return GetClassInfoA(ThisProgram(), IGraphicsWin::kWindowClass, &info) != 0;
}

// An editor of the test plug-in: a panel and a control for Gain.
struct Editor {
    explicit Editor(int frameRate = 0) {
        g = new IGraphicsWin(&plugin, kWidth, kHeight, frameRate);
        g->SetInstance(ThisProgram());
        g->AttachControl(new FillControl(&plugin, IBounds(0, 0, kWidth, kHeight), -1, IRgba(255, 40, 40, 40)));
        gain = new FillControl(&plugin, kGainArea, WinTestPlugin::kGain, IRgba(255, 200, 0, 0));
        g->AttachControl(gain);
        plugin.AttachEditor(g);  // the plug-in owns it from now on
    }
    HWND Open(HWND parent) { return static_cast<HWND>(g->OpenWindow(parent)); }
    HWND Window() { return static_cast<HWND>(g->WindowHandle()); }
    // Drains the paint the opening asked for, then lets the timer run dry.
    void Settle() { Pump(150); }

    WinTestPlugin plugin;
    IGraphicsWin* g = nullptr;
    FillControl* gain = nullptr;
};

struct Host {
    explicit Host(int x = 10, int y = 10, int w = 300, int h = 200) : window(MakeHostWindow(x, y, w, h)) {}
    ~Host() {
        if (IsWindow(window)) DestroyWindow(window);
    }
    HWND window;
};

// When each WM_TIMER for `window` was taken from the queue.
std::vector<DWORD>* timerTimes = nullptr;
HWND timedWindow = nullptr;
LRESULT CALLBACK RecordTimers(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && m->message == WM_TIMER && m->hwnd == timedWindow &&
        m->wParam == IGraphicsWin::kRedrawTimerId && timerTimes != nullptr)
        timerTimes->push_back(GetTickCount());
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(IGraphicsWin, TheRedrawTimerRunsAtTheFrameRateAndATickWithNothingDirtyCopiesNothing) {
    const struct {
        int frameRate;
        int periodMs;
    } cases[] = {{0, 40}, {25, 40}, {30, 33}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frameRate);
        Host host;
        Editor e(c.frameRate);
        ASSERT_NE(e.Open(host.window), nullptr);
        EXPECT_EQ(e.g->TimerPeriodMs(), c.periodMs);
        std::vector<DWORD> times;
        timerTimes = &times;
        timedWindow = e.Window();
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &RecordTimers, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        Pump(1000);
        UnhookWindowsHookEx(hook);
        timerTimes = nullptr;
        ASSERT_GE(times.size(), 10u);
        // The median interval: a tick delayed by a busy machine moves it little.
        std::vector<DWORD> intervals;
        for (size_t i = 1; i < times.size(); ++i) intervals.push_back(times[i] - times[i - 1]);
        std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
        EXPECT_NEAR(static_cast<double>(intervals[intervals.size() / 2]), c.periodMs, 3.0);

        // Everything is drawn by now: a tick copies nothing to the screen ...
        const int painted = e.g->PaintCount();
        SendMessageA(e.Window(), WM_TIMER, IGraphicsWin::kRedrawTimerId, 0);
        Pump(20);
        EXPECT_EQ(e.g->PaintCount(), painted);
        // ... and one with a dirty control copies its area once.
        e.gain->SetValueFromPlugin(0.9);
        SendMessageA(e.Window(), WM_TIMER, IGraphicsWin::kRedrawTimerId, 0);
        EXPECT_EQ(e.g->PaintCount(), painted + 1);
    }
}

// Types into the open entry as the keyboard would, character by character.
void Type(HWND entry, const std::string& text) {
    for (char c : text) SendMessageA(entry, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string EntryText(HWND entry) {
    char text[64] = {};
    GetWindowTextA(entry, text, sizeof text);
    return text;
}

void Tick(HWND window) { SendMessageA(window, WM_TIMER, IGraphicsWin::kRedrawTimerId, 0); }

TEST(IGraphicsWin, TheTextEntryRefusesLettersAsTypedCommitsOnReturnAndIsCancelledByAClick) {
    Host host;
    Editor e;
    ASSERT_NE(e.Open(host.window), nullptr);
    e.Settle();
    IPlugParam* gain = e.plugin.Param(WinTestPlugin::kGain);

    // Committed with Return: the value arrives on the next tick.
    e.g->PromptForValue(e.gain, gain, kGainArea);
    HWND entry = static_cast<HWND>(e.g->EntryWindow());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(GetDlgCtrlID(entry), IGraphicsWin::kEntryControlId);
    EXPECT_EQ(EntryText(entry), "0.0");  // the value, all of it selected
    Type(entry, "-3x.5 dB");
    EXPECT_EQ(EntryText(entry), "-3.5");  // letters and blanks refused as typed
    SendMessageA(entry, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(e.g->EntryState(), IGraphicsWin::kEntryCommit);
    EXPECT_EQ(gain->Value(), 0.0);
    Tick(e.Window());
    EXPECT_EQ(e.g->EntryWindow(), nullptr);
    EXPECT_FALSE(IsWindow(entry));
    EXPECT_DOUBLE_EQ(gain->Value(), -3.5);

    // Cancelled by a click into the editor: nothing is applied.
    e.g->PromptForValue(e.gain, gain, kGainArea);
    entry = static_cast<HWND>(e.g->EntryWindow());
    ASSERT_NE(entry, nullptr);
    Type(entry, "7");
    SendMessageA(e.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
    SendMessageA(e.Window(), WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
    Tick(e.Window());
    EXPECT_EQ(e.g->EntryWindow(), nullptr);
    EXPECT_FALSE(IsWindow(entry));
    EXPECT_DOUBLE_EQ(gain->Value(), -3.5);

    // A list parameter's entry takes a typed number as its value.
    IPlugParam* mode = e.plugin.Param(WinTestPlugin::kMode);
    FillControl modeControl(&e.plugin, IBounds(100, 20, 160, 40), WinTestPlugin::kMode, IRgba());
    e.g->ShowTextEntry(&modeControl, modeControl.TextStyle(), modeControl.DrawArea(), "", mode);
    entry = static_cast<HWND>(e.g->EntryWindow());
    ASSERT_NE(entry, nullptr);
    Type(entry, "2.5");
    EXPECT_EQ(EntryText(entry), "25");  // no point for a list
    SetWindowTextA(entry, "2");
    SendMessageA(entry, WM_KEYDOWN, VK_RETURN, 1);
    Tick(e.Window());
    EXPECT_DOUBLE_EQ(modeControl.Value(), mode->ToNormal(2));
}

// What the tracked popup menu showed, read from the native menu while it is
// open, and the keys that then pick an item (none: the menu is dismissed).
struct MenuWatch {
    std::vector<std::string> texts;
    std::vector<UINT> states;
    int downPresses = 0;  // -1: dismiss
    WNDPROC previous = nullptr;
};
MenuWatch* watch = nullptr;

LRESULT CALLBACK WatchMenus(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP && HIWORD(lParam) == 0 && watch != nullptr && watch->texts.empty()) {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            watch->texts.push_back(text);
            watch->states.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION));
        }
        // The menu's own loop takes these from the queue once it is shown.
        if (watch->downPresses < 0) {
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            for (int i = 0; i < watch->downPresses; ++i) PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
        }
    }
    return CallWindowProcA(watch->previous, window, message, wParam, lParam);
}

TEST(IGraphicsWin, APopupMenuShowsItsNumberingAndCheckedItemsAndReportsTheChoice) {
    Host host;
    Editor e;
    ASSERT_NE(e.Open(host.window), nullptr);
    e.Settle();
    const struct {
        int downPresses;
        int chosen;  // -1: none
    } cases[] = {{3, 2}, {1, 0}, {-1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.downPresses);
        IMenu menu(2);
        menu.AddItem("Soft");
        menu.AddItem("Medium", IMenuItem::kChecked);
        menu.AddItem("Hard");
        MenuWatch seen;
        seen.downPresses = c.downPresses;
        watch = &seen;
        seen.previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(e.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchMenus)));
        IMenu* chosen = e.g->ShowPopupMenu(menu, kGainArea);
        SetWindowLongPtrA(e.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(seen.previous));
        watch = nullptr;
        EXPECT_EQ(seen.texts, (std::vector<std::string>{"01: Soft", "02: Medium", "03: Hard"}));
        ASSERT_EQ(seen.states.size(), 3u);
        EXPECT_EQ(seen.states[0] & MF_CHECKED, 0u);
        EXPECT_EQ(seen.states[1] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
        if (c.chosen < 0) {
            EXPECT_EQ(chosen, nullptr);
        } else {
            EXPECT_EQ(chosen, &menu);
            EXPECT_EQ(menu.chosenIndex, c.chosen);
        }
    }
}

TEST(IGraphicsWin, TwoEditorsShareTheWindowClassWhichGoesWithTheLastOne) {
    Host host;
    Editor one, two;
    ASSERT_FALSE(ClassRegistered());
    ASSERT_NE(one.Open(host.window), nullptr);
    ASSERT_NE(two.Open(host.window), nullptr);
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
    char name[64] = {};
    GetClassNameA(two.Window(), name, sizeof name);
    EXPECT_STREQ(name, "IPlugWndClass");
    one.g->CloseWindow();
    EXPECT_TRUE(ClassRegistered());
    EXPECT_TRUE(IsWindow(two.Window()));
    Pump(100);  // the remaining editor still runs
    two.g->CloseWindow();
    EXPECT_FALSE(ClassRegistered());
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);

    // A window its parent took along closes the editor and counts as closed.
    ASSERT_NE(one.Open(host.window), nullptr);
    DestroyWindow(host.window);
    EXPECT_FALSE(one.g->IsWindowOpen());
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
    Host other;
    EXPECT_NE(one.Open(other.window), nullptr);  // and opens again
    one.g->CloseWindow();
}

TEST(IGraphicsWin, ReopeningIntoANewParentKeepsSizeAndPlaceInTheParent) {
    Host first(10, 10, 300, 200), second(200, 150, 320, 240);
    Editor e;
    HWND old = e.Open(first.window);
    ASSERT_NE(old, nullptr);
    SetWindowPos(old, nullptr, 15, 25, kWidth - 20, kHeight - 10, SWP_NOZORDER | SWP_NOACTIVATE);
    HWND moved = e.Open(second.window);
    ASSERT_NE(moved, nullptr);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(GetParent(moved), second.window);
    RECT r = {};
    GetWindowRect(moved, &r);
    POINT at = {r.left, r.top};
    ScreenToClient(second.window, &at);
    EXPECT_EQ(std::vector<LONG>({at.x, at.y, r.right - r.left, r.bottom - r.top}),
              std::vector<LONG>({15, 25, kWidth - 20, kHeight - 10}));
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
}

TEST(IGraphicsWin, TextIsMeasuredAsGdiMeasuresItAndDrawnOnlyWithinThatArea) {
    Host host;
    Editor e;
    ASSERT_NE(e.Open(host.window), nullptr);
    e.Settle();
    const char* text = "Kestrom 42";
    ITextStyle style("Tahoma", 16, IRgba(255, 255, 255, 255), ITextStyle::kNormal, ITextStyle::kLeft);
    IBounds area(30, 50, 190, 110);
    ASSERT_TRUE(e.g->MeasureText(style, text, area));

    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(16, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    HGDIOBJ was = SelectObject(dc, font);
    SIZE extent = {};
    TEXTMETRICA metrics = {};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &extent);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, was);
    DeleteObject(font);
    DeleteDC(dc);
    EXPECT_EQ(std::vector<int>({area.left, area.top, area.right, area.bottom}),
              std::vector<int>({30, 50, 30 + static_cast<int>(extent.cx), 50 + static_cast<int>(metrics.tmHeight)}));

    LICE_IBitmap* buffer = e.g->BackBuffer();
    const std::vector<LICE_pixel> before(buffer->Pixels(), buffer->Pixels() + buffer->RowSpan() * buffer->Height());
    ASSERT_TRUE(e.g->DrawText(style, text, area));
    int inside = 0, outside = 0;
    for (int y = 0; y < buffer->Height(); ++y)
        for (int x = 0; x < buffer->Width(); ++x) {
            const size_t i = static_cast<size_t>(y * buffer->RowSpan() + x);
            if (buffer->Pixels()[i] == before[i]) continue;
            (x >= area.left && x < area.right && y >= area.top && y < area.bottom ? inside : outside) += 1;
        }
    EXPECT_GT(inside, 40);
    EXPECT_EQ(outside, 0);
}

// What the host's window was sent.
struct Sent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Sent>* hostReceived = nullptr;
WNDPROC hostPrevious = nullptr;
LRESULT CALLBACK RecordHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hostReceived != nullptr && (message == WM_KEYDOWN || message == WM_LBUTTONDOWN))
        hostReceived->push_back({message, wParam, lParam});
    return CallWindowProcA(hostPrevious, window, message, wParam, lParam);
}

struct RecordingHost : Host {
    RecordingHost() {
        hostReceived = &received;
        hostPrevious = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordHost)));
    }
    ~RecordingHost() { hostReceived = nullptr; }
    std::vector<Sent> received;
};

TEST(IGraphicsWin, KeysReachTheControlsTranslatedAndTheOthersGoToTheHostsWindow) {
    RecordingHost host;
    Editor e;
    auto* catcher = new KeyCatcher(&e.plugin);
    e.g->SetKeyCatcher(catcher);
    ASSERT_NE(e.Open(host.window), nullptr);
    SetCursorPos(0, 0);  // the pointer over no control: the catcher takes the keys
    const struct {
        unsigned virtualKey;
        int code;  // -1: not translated, forwarded to the host's window
    } cases[] = {{VK_SPACE, 0}, {VK_UP, 1}, {VK_DOWN, 2},  {VK_LEFT, 3},    {VK_RIGHT, 4}, {'0', 5},
                 {'9', 14},     {'A', 15},  {'Z', 40},     {97, 15},        {122, 40},     {VK_ESCAPE, -1},
                 {VK_RETURN, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.virtualKey);
        catcher->keys.clear();
        host.received.clear();
        SendMessageA(e.Window(), WM_KEYDOWN, c.virtualKey, 1);
        if (c.code >= 0) {
            EXPECT_EQ(catcher->keys, std::vector<int>{c.code});
            EXPECT_TRUE(host.received.empty());
        } else {
            EXPECT_TRUE(catcher->keys.empty());
            ASSERT_EQ(host.received.size(), 1u);
            EXPECT_EQ(host.received[0].wParam, c.virtualKey);
        }
    }
}

TEST(IGraphicsWin, TheHostsAutomationShortcutSendsClicksOnParametersToTheHostsWindow) {
    RecordingHost host;
    Editor e;
    HWND window = e.Open(host.window);
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 12, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The host's Command and Control keys: Control and the Windows key.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_LWIN] = 0x80;
    ASSERT_TRUE(SetKeyboardState(keys));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(30, 25));  // on Gain
    SendMessageA(window, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(30, 25));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(150, 100));  // on the panel
    SendMessageA(window, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(150, 100));
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_LWIN] = 0;
    SetKeyboardState(keys);
    ASSERT_EQ(host.received.size(), 1u);
    EXPECT_EQ(host.received[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(host.received[0].lParam, MAKELPARAM(12 + 30, 7 + 25));  // in the host's client area
    EXPECT_TRUE(e.plugin.gestures.empty());  // the editor's control took nothing
    // Without the shortcut the click is the editor's.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 25));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(30, 25));
    EXPECT_EQ(e.plugin.gestures, std::vector<int>{WinTestPlugin::kGain});
    EXPECT_EQ(host.received.size(), 1u);
}

// The text of the editor window's one tool in the tooltip window.
std::string TipText(HWND tip, HWND window) {
    if (tip == nullptr) return "<no tooltip window>";
    char text[80] = {};
    TOOLINFOA tool = {};
    tool.cbSize = 44;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST(IGraphicsWin, TooltipsShowTheControlsTextOnHoverAndAreHiddenWhenTheMouseLeaves) {
    Host host;
    Editor e;
    e.g->SetTooltipsEnabled(true);
    e.g->SetHandleMouseOver(true);
    e.gain->SetTooltip("Gain in dB");
    HWND window = e.Open(host.window);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TipText(static_cast<HWND>(e.g->TooltipWindow()), window), "");
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(30, 25));
    SendMessageA(window, WM_MOUSEHOVER, 0, MAKELPARAM(30, 25));
    EXPECT_EQ(TipText(static_cast<HWND>(e.g->TooltipWindow()), window), "Gain in dB");
    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(TipText(static_cast<HWND>(e.g->TooltipWindow()), window), "");
}

}  // namespace
