// The display-less window layer opened inside a window of the window system
// (shown through the module, the same layer is tested end to end in
// tests/module/EditorEmbeddingTest.cpp): the mouse through the window's
// messages, and what it does with parents that are no window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorFixture.h"
#include "standins/windows/KestromWindows.h"

namespace {

TEST(HeadlessInWindow, ItsWindowsMessagesReachTheEditorAndItsParentsEndCloseIt) {
    int instance = 0;
    KsWin_ClassInfo host{"TestHost", &instance, nullptr, 0, 0};
    ASSERT_EQ(KsWin_RegisterClass(&host), KSWIN_OK);
    KsWin_Window hostWindow = nullptr;
    ASSERT_EQ(KsWin_CreateWindow("TestHost", &instance, nullptr, KSWIN_STYLE_VISIBLE, nullptr, 0, 0, 120, 90, nullptr,
                                 &hostWindow),
              KSWIN_OK);
    EditorFixture f;
    std::vector<std::string> log;
    f.editor->AttachControl(
        new RecordingControl(&f.plugin, IBounds(10, 10, 30, 30), EditorTestPlugin::kGain, kRed, "gain", &log));
    f.plugin.AttachEditor(f.editor);

    // Parents that are no window of the system open nothing.
    int notAWindow = 0;
    EXPECT_EQ(f.editor->OpenWindow(&notAWindow), nullptr);
    EXPECT_FALSE(f.editor->IsWindowOpen());
    auto* window = static_cast<KsWin_Window>(f.editor->OpenWindow(hostWindow));
    ASSERT_NE(window, nullptr);

    const auto send = [&](uint32_t type, int x, int y, uint32_t modifiers = 0, int wheel = 0) {
        const KsWin_MouseInput input{type, x, y, KSWIN_BUTTON_LEFT, modifiers, wheel};
        EXPECT_EQ(KsWin_SendMouse(hostWindow, &input, nullptr), KSWIN_OK);
    };
    // A press, a drag past the editor's edge and the release reach the pressed control.
    send(KSWIN_MSG_MOUSE_DOWN, 20, 20);
    send(KSWIN_MSG_MOUSE_MOVE, 110, 25);
    send(KSWIN_MSG_MOUSE_UP, 110, 25);
    EXPECT_EQ(log, (std::vector<std::string>{"gain down", "gain drag 90,5", "gain up"}));
    EXPECT_EQ(f.plugin.events, (std::vector<std::string>{"begin 0", "end 0"}));
    // The wheel in notches, Shift for fine steps (0.01 and 0.001 of the range per notch).
    send(KSWIN_MSG_WHEEL, 20, 20, 0, 2 * KSWIN_WHEEL_DELTA);
    EXPECT_NEAR(f.plugin.Param(EditorTestPlugin::kGain)->Value(), 0.8, 1e-9);
    send(KSWIN_MSG_WHEEL, 20, 20, KSWIN_MOD_SHIFT, -KSWIN_WHEEL_DELTA);
    EXPECT_NEAR(f.plugin.Param(EditorTestPlugin::kGain)->Value(), 0.76, 1e-9);

    // The host's window going takes the editor's with it: the editor is
    // closed, its timer gone, and closing it again does nothing.
    KsWin_DestroyWindow(hostWindow);
    EXPECT_EQ(KsWin_IsWindow(window), 0);
    EXPECT_FALSE(f.editor->IsWindowOpen());
    f.editor->CloseWindow();
    uint32_t fired = 99;
    KsWin_RunTimers(200, &fired);
    EXPECT_EQ(fired, 0u);
    // A stale parent opens nothing; without a parent it is the memory screen, as ever.
    EXPECT_EQ(f.editor->OpenWindow(hostWindow), nullptr);
    void* screen = f.editor->OpenWindow(nullptr);
    EXPECT_NE(screen, nullptr);
    EXPECT_EQ(screen, f.editor->Screen());
}

}  // namespace
