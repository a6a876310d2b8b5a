// The X11 window layer and the LV2 editor on it, on a real X server (Xvfb,
// started by run_with_xvfb.sh): the editor opened in a parent window, drawn,
// read back from the server, driven by events the server delivers, and the
// host's side of it (ports, touch, resize) recorded.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/ui/ui.h>

#include "compressor/KestromParams.h"
#include "graphics/x11/IGraphicsX11.h"
#include "lv2/KestromLv2Layout.h"
#include "lv2/KestromLv2Ui.h"

// After gtest, whose names Xlib's macros (None) would take.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// What the host hears: port writes and touches, in order.
struct HostLog {
    struct Entry {
        char kind;  // 'w' write, 'g' touch grabbed, 'r' released, 's' resize
        uint32_t port;
        float value;
    };
    std::vector<Entry> entries;

    static void Write(LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(format, 0u);
        static_cast<HostLog*>(c)->entries.push_back({'w', port, *static_cast<const float*>(buffer)});
    }
    static void Touch(LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
        static_cast<HostLog*>(h)->entries.push_back({grabbed ? 'g' : 'r', port, 0.0f});
    }
    static int Resize(LV2UI_Feature_Handle h, int w, int hgt) {
        static_cast<HostLog*>(h)->entries.push_back({'s', static_cast<uint32_t>(w), static_cast<float>(hgt)});
        return 0;
    }
    // The last value written to port, or NaN.
    float Last(uint32_t port) const {
        float v = NAN;
        for (const Entry& e : entries)
            if (e.kind == 'w' && e.port == port) v = e.value;
        return v;
    }
};

class EditorX11 : public ::testing::Test {
protected:
    void SetUp() override {
        d = XOpenDisplay(nullptr);
        ASSERT_NE(d, nullptr) << "run under run_with_xvfb.sh";
        parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 400, 500, 0, 0, 0);
        XMapWindow(d, parent);
        XSync(d, False);
    }
    void TearDown() override {
        ui.reset();
        if (d) XCloseDisplay(d);
    }

    void Open() {
        XSync(d, False);  // the parent exists on the server
        touch = {&log, &HostLog::Touch};
        resize = {&log, &HostLog::Resize};
        LV2_Feature touchFeature{LV2_UI__touch, &touch};
        LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature* features[] = {&touchFeature, &resizeFeature, nullptr};
        ui = KestromLv2Ui::Create(ParentHandle(), &HostLog::Write, &log, features);
        ASSERT_NE(ui, nullptr);
        Settle();
    }
    void* ParentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(parent)); }
    Window EditorWindow() { return static_cast<Window>(reinterpret_cast<uintptr_t>(ui->Widget())); }
    // The server has everything sent; the editor reads it and redraws.
    void Settle() {
        XSync(d, False);
        ui->Idle();
        ui->Graphics().Tick();
        XSync(d, False);
    }
    void Button(int type, int button, int x, int y, unsigned state, unsigned long ms) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.window = EditorWindow();
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = static_cast<unsigned>(button);
        e.xbutton.state = state;
        e.xbutton.time = ms;
        e.xbutton.same_screen = True;
        XSendEvent(d, EditorWindow(), False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
    }
    void Click(int x, int y, unsigned long ms, unsigned modifiers = 0) {
        Button(ButtonPress, Button1, x, y, modifiers, ms);
        Button(ButtonRelease, Button1, x, y, modifiers | Button1Mask, ms + 50);
    }
    void Move(int x, int y, unsigned state) {
        XEvent e{};
        e.xmotion.type = MotionNotify;
        e.xmotion.window = EditorWindow();
        e.xmotion.x = x;
        e.xmotion.y = y;
        e.xmotion.state = state;
        e.xmotion.same_screen = True;
        XSendEvent(d, EditorWindow(), False, PointerMotionMask, &e);
    }
    // Pixels on the server that differ from the editor's back buffer.
    long DifferingPixels() {
        LICE_IBitmap* back = ui->Graphics().BackBuffer();
        XImage* image = XGetImage(d, EditorWindow(), 0, 0, 298, 400, AllPlanes, ZPixmap);
        if (image == nullptr) return -1;
        long differ = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 298; ++x)
                if ((XGetPixel(image, x, y) & 0xFFFFFF) != (back->Pixels()[y * back->RowSpan() + x] & 0xFFFFFF))
                    ++differ;
        XDestroyImage(image);
        return differ;
    }

    Display* d = nullptr;
    Window parent = 0;
    HostLog log;
    LV2UI_Touch touch{};
    LV2UI_Resize resize{};
    std::unique_ptr<KestromLv2Ui> ui;
};

constexpr int kDeepX = 60, kDeepY = 340;    // the Deep LED
constexpr int kInX = 74, kInY = 237;        // the In knob's middle
constexpr int kOutX = 217, kOutY = 237;     // the Out knob's middle

TEST_F(EditorX11, OpensAChildOfTheHostWindowAndShowsTheBackBufferExactly) {
    Open();
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(d, EditorWindow(), &root, &up, &children, &count));
    if (children) XFree(children);
    EXPECT_EQ(up, parent);
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(d, EditorWindow(), &a));
    EXPECT_EQ(a.width, 298);
    EXPECT_EQ(a.height, 400);
    EXPECT_EQ(a.map_state, IsViewable);
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries.front().kind, 's') << "the host is told the editor's size";
    EXPECT_EQ(log.entries.front().port, 298u);

    EXPECT_GT(ui->Graphics().PaintCount(), 0);
    EXPECT_EQ(DifferingPixels(), 0);
    // Covered and uncovered, it is repainted from the back buffer.
    Window cover = XCreateSimpleWindow(d, parent, 0, 0, 200, 200, 0, 0, 0xFFFFFF);
    XMapWindow(d, cover);
    XSync(d, False);
    XDestroyWindow(d, cover);
    Settle();
    EXPECT_EQ(DifferingPixels(), 0);
}

TEST_F(EditorX11, MouseFromTheServerReachesTheControlsAndTheHostInGestures) {
    Open();
    log.entries.clear();
    Click(kDeepX, kDeepY, 1000);
    Settle();
    ASSERT_EQ(log.entries.size(), 3u);
    EXPECT_EQ(log.entries[0].kind, 'g');
    EXPECT_EQ(log.entries[1].kind, 'w');
    EXPECT_EQ(log.entries[1].port, static_cast<uint32_t>(kestrom::kDeep));
    EXPECT_EQ(log.entries[1].value, 1.0f);
    EXPECT_EQ(log.entries[2].kind, 'r');
    EXPECT_EQ(DifferingPixels(), 0);

    // A drag up turns In up; the same drag with Shift turns it less.
    Button(ButtonPress, Button1, kInX, kInY, 0, 3000);
    for (int dy = 5; dy <= 50; dy += 5) Move(kInX, kInY - dy, Button1Mask);
    Button(ButtonRelease, Button1, kInX, kInY - 50, Button1Mask, 3500);
    Settle();
    const float coarse = log.Last(kestrom::kIn);
    EXPECT_GT(coarse, 1.0f);
    Button(ButtonPress, Button1, kInX, kInY, ShiftMask, 5000);
    for (int dy = 5; dy <= 50; dy += 5) Move(kInX, kInY - dy, Button1Mask | ShiftMask);
    Button(ButtonRelease, Button1, kInX, kInY - 50, Button1Mask | ShiftMask, 5500);
    Settle();
    EXPECT_GT(log.Last(kestrom::kIn), coarse);
    EXPECT_LT(log.Last(kestrom::kIn) - coarse, coarse);
    // Motion without a press drags nothing.
    const size_t before = log.entries.size();
    Move(kInX, kInY - 100, Button1Mask);
    Settle();
    EXPECT_EQ(log.entries.size(), before);

    // Button 4 is a wheel notch up.
    Button(ButtonPress, Button4, kOutX, kOutY, 0, 7000);
    Settle();
    EXPECT_GT(log.Last(kestrom::kOut), 0.0f);
    // Two presses far apart in time are no double click: Out stays...
    Click(kOutX, kOutY, 8000);
    Click(kOutX, kOutY, 8000 + IGraphicsX11::kDoubleClickMs + 100);
    Settle();
    EXPECT_GT(log.Last(kestrom::kOut), 0.0f);
    // ...two quick ones are, and set the knob to its default.
    Click(kOutX, kOutY, 20000);
    Click(kOutX + 2, kOutY - 2, 20200);
    Settle();
    EXPECT_EQ(log.Last(kestrom::kOut), 0.0f);
    EXPECT_EQ(DifferingPixels(), 0);
}

TEST(X11DoubleClick, TimeAndDistanceDecideAcrossTheClocksWrap) {
    EXPECT_TRUE(IGraphicsX11::IsDoubleClick(100, 10, 10, 600, 12, 8));
    EXPECT_FALSE(IGraphicsX11::IsDoubleClick(100, 10, 10, 601, 10, 10));
    EXPECT_FALSE(IGraphicsX11::IsDoubleClick(100, 10, 10, 200, 13, 10));
    EXPECT_FALSE(IGraphicsX11::IsDoubleClick(100, 10, 10, 200, 10, 7));
    EXPECT_TRUE(IGraphicsX11::IsDoubleClick(0xFFFFFF00ul, 0, 0, 0x10ul, 0, 0));
    EXPECT_FALSE(IGraphicsX11::IsDoubleClick(600, 0, 0, 100, 0, 0)) << "an earlier time is no double click";
}

TEST_F(EditorX11, HostValuesShowAndTheNeedleFollowsTheGainReductionPort) {
    Open();
    const float in = 6.0f, on = 1.0f, reduction = 11.0f, nan = NAN;
    ui->PortEvent(kestrom::kIn, sizeof in, 0, &in);
    ui->PortEvent(kestrom::kNegative, sizeof on, 0, &on);
    ui->PortEvent(kestrom::lv2::kGainReductionPort, sizeof reduction, 0, &reduction);
    // Not values: NaN, another format, another size.
    ui->PortEvent(kestrom::kOut, sizeof nan, 0, &nan);
    ui->PortEvent(kestrom::kOut, sizeof on, 1, &on);
    ui->PortEvent(kestrom::kOut, 2, 0, &on);
    ui->PortEvent(99, sizeof on, 0, &on);
    Settle();
    EXPECT_EQ(ui->Param(kestrom::kIn)->Value(), 6.0);
    EXPECT_EQ(ui->Param(kestrom::kNegative)->Value(), 1.0);
    EXPECT_EQ(ui->Param(kestrom::kOut)->Value(), 0.0);
    EXPECT_EQ(ui->Graphics().PeekDisplayValue(kestrom::kMeterIndex).value, 0.5);
    EXPECT_EQ(DifferingPixels(), 0);
    // Host values are not echoed back.
    for (const HostLog::Entry& e : log.entries) EXPECT_NE(e.kind, 'w');
}

TEST_F(EditorX11, ParentsThatAreNoWindowOpenNothingAndAParentsEndClosesTheEditor) {
    EXPECT_EQ(KestromLv2Ui::Create(nullptr, &HostLog::Write, &log, nullptr), nullptr);
    // An id no window has: refused, and the process goes on.
    EXPECT_EQ(KestromLv2Ui::Create(reinterpret_cast<void*>(uintptr_t{0x7FFFFF0}), &HostLog::Write, &log, nullptr),
              nullptr);
    Open();
    EXPECT_EQ(ui->Idle(), 0);
    XDestroyWindow(d, parent);
    XSync(d, False);
    EXPECT_EQ(ui->Idle(), 1);
    EXPECT_EQ(ui->Graphics().WindowHandle(), nullptr);
    EXPECT_FALSE(ui->Graphics().PaintToWindow(IBounds(0, 0, 10, 10)));

    // A host that destroys its window and then the editor, with no idle call
    // between, keeps its process.
    parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 400, 500, 0, 0, 0);
    XMapWindow(d, parent);
    Open();
    XDestroyWindow(d, parent);
    XSync(d, False);
    ui.reset();
    SUCCEED() << "Xlib's default error handler would have ended the process";
}

}  // namespace
