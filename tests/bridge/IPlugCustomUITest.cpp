// The editor embedding on its own: where the child window goes in the host's
// client area, and the child and the editor's window through registrations,
// opens and closes, in real windows of the display-less window system.
#include <gtest/gtest.h>

#include <vector>

#include "bridge/IPlugCustomUI.h"
#include "bridge/ProcessInterface.h"
#include "compressor/Kestrom.h"
#include "graphics/IGraphics.h"
#include "standins/windows/KestromWindows.h"

namespace {

TEST(IPlugCustomUI, PlacementCentresAcrossAndSitsAtTheBottom) {
    const EditorWindows::Rect editor{0, 0, 298, 400};
    const struct {
        EditorWindows::Rect client;
        int32_t x, y;
    } cases[] = {
        {{0, 0, 298, 400}, 0, 0},    // as wide as the editor: x = rect.left
        {{0, 0, 398, 400}, 50, 0},   // 100 wider
        {{0, 0, 397, 400}, 49, 0},   // 99 wider: the half is truncated
        {{0, 0, 298, 430}, 0, 30},   // 30 taller: at the bottom
        {{0, 10, 298, 440}, 0, 40},  // the client's own top counts
        {{0, 0, 197, 400}, -50, 0},  // narrower: truncated towards zero
        {{0, 0, 298, 380}, 0, -20},  // shorter: the top is cut off
    };
    for (const auto& c : cases) {
        int32_t x = 99, y = 99;
        IPlugCustomUI::Placement(c.client, editor, x, y);
        EXPECT_EQ(x, c.x) << c.client.right << " x " << c.client.bottom;
        EXPECT_EQ(y, c.y) << c.client.right << " x " << c.client.bottom;
    }
    // An editor rectangle that does not start at 0 is placed at its own left.
    int32_t x = 0, y = 0;
    IPlugCustomUI::Placement({0, 0, 100, 50}, {7, 0, 107, 50}, x, y);
    EXPECT_EQ(x, 7);
}

// The process side the editor interface asks: the module instance, the
// resources, the plug-in and its editor.
class TestProcess : public ProcessInterface {
public:
    void StoreControlValue(int, int32_t) override {}
    int32_t ControlQuery2(int, int32_t*) override { return 0; }
    int32_t ControlQuery3(int, int32_t*) override { return 0; }
    void SetEditorInterface(EditorInterface*) override {}
    void BeginControlGesture(int) override {}
    void EndControlGesture(int) override {}
    void Refresh() override {}
    void* ModuleInstance() override { return &plugin; }
    int32_t UseModuleResources() override { return depth++; }
    void RestoreResources(int32_t saved) override { depth = saved; }
    IPlugRTAS* Plugin() override { return &plugin; }
    IGraphics* PluginEditor() override { return dynamic_cast<IGraphics*>(plugin.Editor()); }
    void MarkStateChanged() override {}
    int MaxBlockSize() override { return 512; }
    double TransportTempo() override { return 0.0; }
    void TransportMeter(int*, int*) override {}
    int TransportSamplePosition() override { return 0; }
    void TransportState(HostTimeRecord*) override {}
    int32_t PackedHostVersion() override { return 0; }
    bool ControlValueForParameter(int, double, int32_t*) override { return false; }
    void CloseEditorForResize() override {}
    void SendResizeToken() override {}

    Kestrom plugin;
    int32_t depth = 0;
};

class HostWindows : public ::testing::Test {
protected:
    void SetUp() override {
        KsWin_ClassInfo host{"TestHostWindow", this, nullptr, 0, 0xFFFFFFFF};
        ASSERT_EQ(KsWin_RegisterClass(&host), KSWIN_OK);
    }
    void TearDown() override {
        for (KsWin_Window w : windows) KsWin_DestroyWindow(w);
        KsWin_UnregisterClass("TestHostWindow", this);
    }
    KsWin_Window Host(int width, int height) {
        KsWin_Window w = nullptr;
        EXPECT_EQ(KsWin_CreateWindow("TestHostWindow", this, nullptr, KSWIN_STYLE_VISIBLE, nullptr, 0, 0, width,
                                     height, nullptr, &w),
                  KSWIN_OK);
        windows.push_back(w);
        return w;
    }
    static std::vector<KsWin_Window> Children(KsWin_Window w) {
        KsWin_Window out[4] = {};
        int32_t n = 0;
        KsWin_GetChildren(w, out, 4, &n);
        return std::vector<KsWin_Window>(out, out + std::min(n, 4));
    }
    static KsWin_Rect RectOf(KsWin_Window w) {
        KsWin_Rect r{};
        KsWin_GetWindowRect(w, &r);
        return r;
    }
    std::vector<KsWin_Window> windows;
};

TEST_F(HostWindows, TheChildGoesWherePlacementSaysWithTheEditorsWindowInside) {
    TestProcess process;
    IPlugCustomUI ui(&process);
    ui.EditorRect(nullptr, nullptr, nullptr, nullptr);
    const KsWin_Window host = Host(398, 430);
    ASSERT_TRUE(ui.Open(host, 0, 0));
    EXPECT_EQ(process.depth, 0);  // the resources were restored
    ASSERT_EQ(Children(host).size(), 1u);
    const KsWin_Window child = Children(host)[0];
    EXPECT_EQ(child, ui.ChildWindow());
    const KsWin_Rect at = RectOf(child);
    EXPECT_EQ(std::vector<int>({at.left, at.top, at.right, at.bottom}), std::vector<int>({50, 30, 348, 430}));
    EXPECT_EQ(ui.VerticalSlack(), 30);
    EXPECT_EQ(ui.ParentWidth(), 398);
    char name[32] = {};
    KsWin_GetClassName(child, name, sizeof name);
    EXPECT_STREQ(name, "IPlugLocal");
    ASSERT_EQ(Children(child).size(), 1u);
    EXPECT_EQ(Children(child)[0], process.PluginEditor()->WindowHandle());
    EXPECT_TRUE(ui.Close());
}

TEST_F(HostWindows, RegistrationsOpensAndClosesRepeat) {
    TestProcess process;
    IPlugCustomUI first(&process);
    IPlugCustomUI second(&process);  // the class exists by now: still fine
    first.EditorRect(nullptr, nullptr, nullptr, nullptr);
    IGraphics* editor = process.PluginEditor();
    const KsWin_Window host = Host(298, 400);
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_TRUE(first.Open(host, 0, 0)) << cycle;
        EXPECT_TRUE(editor->IsWindowOpen());
        const KsWin_Window child = static_cast<KsWin_Window>(first.ChildWindow());
        EXPECT_TRUE(first.Close());
        EXPECT_FALSE(editor->IsWindowOpen());
        EXPECT_EQ(KsWin_IsWindow(child), 0);
        EXPECT_TRUE(Children(host).empty());
        EXPECT_FALSE(first.Close());  // nothing left to close
    }
    EXPECT_FALSE(first.Open(nullptr, 0, 0));

    // Opening in another window takes the editor out of the first.
    const KsWin_Window other = Host(300, 400);
    ASSERT_TRUE(first.Open(host, 0, 0));
    ASSERT_TRUE(first.Open(other, 0, 0));
    EXPECT_TRUE(Children(host).empty());
    EXPECT_EQ(Children(other).size(), 1u);

    // A window that is gone throws the system's error; the next open works.
    const KsWin_Window gone = Host(298, 400);
    KsWin_DestroyWindow(gone);
    EXPECT_THROW(
        try { first.Open(gone, 0, 0); } catch (uint32_t error) {
            EXPECT_EQ(error, static_cast<uint32_t>(KSWIN_ERROR_INVALID_WINDOW_HANDLE));
            throw;
        },
        uint32_t);
    EXPECT_TRUE(Children(other).empty());
    ASSERT_TRUE(first.Open(host, 0, 0));
    EXPECT_TRUE(editor->IsWindowOpen());
    first.Close();
}

}  // namespace
