// The display-less window layer opened inside a window of the window system:
// its own window, the redraw timer the host's pump runs, mouse messages into
// the editor's dispatch, and the window's life with its parent's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorFixture.h"
#include "standins/windows/KestromWindows.h"

namespace {

// A host window (a top-level window of the window system) and an editor of
// 100 × 80 with a red control bound to Gain at (10, 10, 30, 30) over a blue
// background.
class HeadlessInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        KsWin_ClassInfo host{"TestHost", this, nullptr, 0, 0xFF777777};
        ASSERT_EQ(KsWin_RegisterClass(&host), KSWIN_OK);
        ASSERT_EQ(KsWin_CreateWindow("TestHost", this, "host", KSWIN_STYLE_VISIBLE, nullptr, 0, 0, 120, 90, nullptr,
                                     &hostWindow),
                  KSWIN_OK);
        f.editor->AttachControl(new RecordingControl(&f.plugin, IBounds(0, 0, 100, 80), -1, kBlue, "bg", &log));
        f.editor->AttachControl(
            new RecordingControl(&f.plugin, IBounds(10, 10, 30, 30), EditorTestPlugin::kGain, kRed, "gain", &log));
        f.plugin.AttachEditor(f.editor);
    }
    void TearDown() override {
        KsWin_DestroyWindow(hostWindow);
        KsWin_UnregisterClass("TestHost", this);
    }
    std::vector<KsWin_Window> Children(KsWin_Window w) {
        KsWin_Window out[4] = {};
        int32_t n = 0;
        EXPECT_EQ(KsWin_GetChildren(w, out, 4, &n), KSWIN_OK);
        return std::vector<KsWin_Window>(out, out + std::min(n, 4));
    }
    uint64_t Paints() {
        uint64_t n = 0;
        KsWin_GetPaintCount(hostWindow, &n);
        return n;
    }
    // The window's pixels equal the editor's screen.
    bool SurfaceIsScreen(KsWin_Window w) {
        std::vector<uint32_t> pixels(100 * 80);
        const KsWin_Rect area{0, 0, 100, 80};
        if (KsWin_ReadPixels(w, &area, pixels.data(), 100, 100 * 80) != KSWIN_OK) return false;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                if (pixels[static_cast<size_t>(y) * 100 + x] != f.editor->ScreenPixel(x, y).Packed()) return false;
        return true;
    }
    void Click(int x, int y) {
        for (uint32_t type : {KSWIN_MSG_MOUSE_DOWN, KSWIN_MSG_MOUSE_UP}) {
            const KsWin_MouseInput input{type, x, y, KSWIN_BUTTON_LEFT, 0, 0};
            ASSERT_EQ(KsWin_SendMouse(hostWindow, &input, nullptr), KSWIN_OK);
        }
    }

    EditorFixture f;
    std::vector<std::string> log;
    KsWin_Window hostWindow = nullptr;
};

TEST_F(HeadlessInWindow, OpensItsOwnWindowWhoseTimerDrawsIt) {
    void* opened = f.editor->OpenWindow(hostWindow);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(f.editor->WindowHandle(), opened);
    ASSERT_EQ(Children(hostWindow), std::vector<KsWin_Window>{static_cast<KsWin_Window>(opened)});
    KsWin_Rect at{};
    ASSERT_EQ(KsWin_GetWindowRect(static_cast<KsWin_Window>(opened), &at), KSWIN_OK);
    EXPECT_EQ(std::vector<int>({at.left, at.top, at.right, at.bottom}), std::vector<int>({0, 0, 100, 80}));
    char name[32];
    KsWin_GetClassName(static_cast<KsWin_Window>(opened), name, sizeof name);
    EXPECT_STREQ(name, "IPlugWndClass");

    // Nothing is drawn until the redraw timer's first tick, 40 ms on.
    const uint64_t before = Paints();
    KsWin_RunTimers(39, nullptr);
    EXPECT_EQ(Paints(), before);
    EXPECT_EQ(f.editor->PaintCount(), 0);
    KsWin_RunTimers(1, nullptr);
    EXPECT_EQ(Paints(), before + 1);
    EXPECT_TRUE(SurfaceIsScreen(static_cast<KsWin_Window>(opened)));
    EXPECT_EQ(f.editor->ScreenPixel(20, 20).Packed(), kRed.Packed());
    // Two more ticks clean every control; after that a tick paints nothing.
    KsWin_RunTimers(80, nullptr);
    const uint64_t settled = Paints();
    KsWin_RunTimers(400, nullptr);
    EXPECT_EQ(Paints(), settled);
}

TEST_F(HeadlessInWindow, MouseMessagesReachTheEditorsDispatch) {
    ASSERT_NE(f.editor->OpenWindow(hostWindow), nullptr);
    KsWin_RunTimers(200, nullptr);
    log.clear();
    f.plugin.events.clear();
    Click(15, 15);
    EXPECT_EQ(log, (std::vector<std::string>{"gain down", "gain up"}));
    EXPECT_EQ(f.plugin.events, (std::vector<std::string>{"begin 0", "end 0"}));

    // The wheel in notches, Shift for fine steps (0.01 and 0.001 of the range per notch).
    const struct {
        int delta;
        uint32_t modifiers;
        double gain;
    } wheels[] = {{2 * KSWIN_WHEEL_DELTA, 0, 0.8}, {-KSWIN_WHEEL_DELTA, KSWIN_MOD_SHIFT, 0.76}};
    for (const auto& w : wheels) {
        const KsWin_MouseInput wheel{KSWIN_MSG_WHEEL, 20, 20, 0, w.modifiers, w.delta};
        ASSERT_EQ(KsWin_SendMouse(hostWindow, &wheel, nullptr), KSWIN_OK);
        EXPECT_NEAR(f.plugin.Param(EditorTestPlugin::kGain)->Value(), w.gain, 1e-9) << w.delta;
    }

    // A drag keeps going to the pressed control outside its area and outside the editor.
    log.clear();
    const KsWin_MouseInput down{KSWIN_MSG_MOUSE_DOWN, 20, 20, KSWIN_BUTTON_LEFT, KSWIN_MOD_SHIFT, 0};
    const KsWin_MouseInput drag{KSWIN_MSG_MOUSE_MOVE, 110, 25, 0, 0, 0};
    const KsWin_MouseInput up{KSWIN_MSG_MOUSE_UP, 110, 25, KSWIN_BUTTON_LEFT, 0, 0};
    for (const KsWin_MouseInput* input : {&down, &drag, &up}) KsWin_SendMouse(hostWindow, input, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"gain down", "gain drag 90,5", "gain up"}));
    // Outside the editor the host's own window takes the mouse.
    log.clear();
    Click(110, 85);
    EXPECT_TRUE(log.empty());
}

TEST_F(HeadlessInWindow, ClosesWithItsWindowAndOpensAgain) {
    const struct {
        const char* how;
        bool byParent;  // the host destroys its own window instead of the editor closing
    } ways[] = {{"CloseWindow", false}, {"the host window goes", true}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        KsWin_Window parent = nullptr;
        ASSERT_EQ(KsWin_CreateWindow("TestHost", this, nullptr, KSWIN_STYLE_CHILD | KSWIN_STYLE_VISIBLE, hostWindow, 5,
                                     5, 100, 80, nullptr, &parent),
                  KSWIN_OK);
        auto* opened = static_cast<KsWin_Window>(f.editor->OpenWindow(parent));
        ASSERT_NE(opened, nullptr);
        if (way.byParent) {
            ASSERT_EQ(KsWin_DestroyWindow(parent), KSWIN_OK);
        } else {
            f.editor->CloseWindow();
            EXPECT_EQ(KsWin_IsWindow(parent), 1);
            KsWin_DestroyWindow(parent);
        }
        EXPECT_EQ(KsWin_IsWindow(opened), 0);
        EXPECT_FALSE(f.editor->IsWindowOpen());
        EXPECT_EQ(f.editor->Screen(), nullptr);
        f.editor->CloseWindow();  // nothing left to close
        const uint64_t before = Paints();
        KsWin_RunTimers(200, nullptr);
        EXPECT_EQ(Paints(), before);  // no timer outlived the window
    }
    // Opened again, it draws everything anew.
    auto* again = static_cast<KsWin_Window>(f.editor->OpenWindow(hostWindow));
    ASSERT_NE(again, nullptr);
    KsWin_RunTimers(40, nullptr);
    EXPECT_TRUE(SurfaceIsScreen(again));
    // Reopening moves it: the old window goes.
    auto* moved = static_cast<KsWin_Window>(f.editor->OpenWindow(hostWindow));
    EXPECT_EQ(KsWin_IsWindow(again), 0);
    EXPECT_EQ(Children(hostWindow), std::vector<KsWin_Window>{moved});
}

TEST_F(HeadlessInWindow, SharesItsClassWithOtherEditorsAndRefusesWhatIsNoWindow) {
    EditorFixture second(50, 40);
    second.editor->AttachControl(new RecordingControl(&second.plugin, IBounds(0, 0, 50, 40), -1, kGreen, "g", nullptr));
    second.plugin.AttachEditor(second.editor);
    ASSERT_NE(f.editor->OpenWindow(hostWindow), nullptr);
    auto* other = static_cast<KsWin_Window>(second.editor->OpenWindow(hostWindow));
    ASSERT_NE(other, nullptr);
    f.editor->CloseWindow();  // the class stays for the other editor
    KsWin_RunTimers(40, nullptr);
    std::vector<uint32_t> pixel(1);
    const KsWin_Rect one{49, 39, 50, 40};
    ASSERT_EQ(KsWin_ReadPixels(other, &one, pixel.data(), 1, 1), KSWIN_OK);
    EXPECT_EQ(pixel[0], kGreen.Packed());
    second.editor->CloseWindow();
    ASSERT_NE(f.editor->OpenWindow(hostWindow), nullptr);  // and comes back for the next
    f.editor->CloseWindow();

    int notAWindow = 0;
    for (void* parent : {static_cast<void*>(&notAWindow), static_cast<void*>(other)}) {
        EXPECT_EQ(f.editor->OpenWindow(parent), nullptr);
        EXPECT_FALSE(f.editor->IsWindowOpen());
    }
    // Without a parent it is the memory screen, as ever.
    void* screen = f.editor->OpenWindow(nullptr);
    EXPECT_NE(screen, nullptr);
    EXPECT_EQ(screen, f.editor->Screen());
}

}  // namespace
