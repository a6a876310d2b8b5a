// The display-less window system: classes, the window tree and its
// destruction, timers on the pump's clock, surfaces and captures, mouse input,
// and the answers to handles and pointers that are no good.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "standins/windows/KestromWindows.h"

namespace {

// What the recording procedure saw, in order, and what it does besides:
// destroy `victim` on the first message of type `destroyOn`, and answer
// `createAnswer` to a creation.
struct Event {
    KsWin_Window window;
    KsWin_Message message;
    uint64_t clock;
};
std::vector<Event> events;
KsWin_Window victim = nullptr;
uint32_t destroyOn = 0;
intptr_t createAnswer = 0;

intptr_t Record(KsWin_Window window, const KsWin_Message* message) {
    uint64_t now = 0;
    KsWin_Clock(&now);
    events.push_back({window, *message, now});
    if (victim != nullptr && message->type == destroyOn) {
        const KsWin_Window w = victim;
        victim = nullptr;
        EXPECT_EQ(KsWin_DestroyWindow(w), KSWIN_OK);
    }
    return message->type == KSWIN_MSG_CREATE ? createAnswer : 0;
}

std::vector<uint32_t> Types(KsWin_Window window) {
    std::vector<uint32_t> types;
    for (const Event& e : events)
        if (e.window == window) types.push_back(e.message.type);
    return types;
}

// Each test registers its classes under its own instance and destroys what it made.
class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        victim = nullptr;
        createAnswer = 0;
        ASSERT_EQ(Register("Plain", nullptr, 0xFF000016), KSWIN_OK);  // shows as 'w' in Picture
        ASSERT_EQ(Register("Recorded", &Record, 0, KSWIN_CLASS_DOUBLE_CLICKS), KSWIN_OK);
        ASSERT_EQ(Register("Single", &Record, 0), KSWIN_OK);
    }
    void TearDown() override {
        for (KsWin_Window w : made) KsWin_DestroyWindow(w);
        for (const char* name : {"Plain", "Recorded", "Single"}) KsWin_UnregisterClass(name, this);
    }
    KsWin_Status Register(const char* name, KsWin_WindowProc proc, uint32_t background, uint32_t style = 0) {
        KsWin_ClassInfo info{name, this, proc, style, background};
        return KsWin_RegisterClass(&info);
    }
    KsWin_Window Make(const char* cls, KsWin_Window parent, int x, int y, int w, int h, bool visible = true) {
        KsWin_Window out = nullptr;
        const uint32_t style = (parent ? KSWIN_STYLE_CHILD : 0u) | (visible ? KSWIN_STYLE_VISIBLE : 0u);
        EXPECT_EQ(KsWin_CreateWindow(cls, this, "t", style, parent, x, y, w, h, nullptr, &out), KSWIN_OK);
        if (!parent) made.push_back(out);
        return out;
    }
    KsWin_Window Top(int w, int h, const char* cls = "Plain") { return Make(cls, nullptr, 0, 0, w, h); }
    void Fill(KsWin_Window w, uint32_t colour) {
        KsWin_Rect r{};
        KsWin_GetClientRect(w, &r);
        const std::vector<uint32_t> pixels(static_cast<size_t>(r.right) * r.bottom, colour);
        ASSERT_EQ(KsWin_WritePixels(w, 0, 0, r.right, r.bottom, pixels.data(), r.right), KSWIN_OK);
    }
    // The capture of area, one character per pixel: '.' for 0, else 'a' plus the low byte.
    std::vector<std::string> Picture(KsWin_Window w, KsWin_Rect area) {
        const int width = area.right - area.left, height = area.bottom - area.top;
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xDEADBEEF);
        EXPECT_EQ(KsWin_CaptureWindow(w, &area, pixels.data(), width, static_cast<int64_t>(pixels.size())), KSWIN_OK);
        std::vector<std::string> rows(static_cast<size_t>(height));
        for (int i = 0; i < width * height; ++i) {
            const uint32_t p = pixels[static_cast<size_t>(i)];
            rows[static_cast<size_t>(i / width)] += p == 0 ? '.' : static_cast<char>('a' + (p & 0xFF));
        }
        return rows;
    }
    KsWin_Status Mouse(KsWin_Window root, uint32_t type, int x, int y, uint32_t button = KSWIN_BUTTON_LEFT,
                       KsWin_Window* receiver = nullptr) {
        const KsWin_MouseInput input{type, x, y, button, KSWIN_MOD_SHIFT, type == KSWIN_MSG_WHEEL ? -240 : 0};
        return KsWin_SendMouse(root, &input, receiver);
    }
    std::vector<KsWin_Window> made;
};

TEST_F(Windows, ClassesAndCreationRefuseWhatTheyCannotTake) {
    EXPECT_EQ(Register("plain", nullptr, 0), KSWIN_ERROR_CLASS_ALREADY_EXISTS);  // names ignore case
    KsWin_ClassInfo other{"Plain", &events, nullptr, 0, 0};
    EXPECT_EQ(KsWin_RegisterClass(&other), KSWIN_OK);  // another module's class of the same name
    EXPECT_EQ(KsWin_UnregisterClass("PLAIN", &events), KSWIN_OK);
    const KsWin_ClassInfo empty{"", this, nullptr, 0, 0};
    EXPECT_EQ(KsWin_RegisterClass(&empty), KSWIN_ERROR_INVALID_PARAMETER);

    const KsWin_Window top = Top(10, 10);
    EXPECT_EQ(KsWin_UnregisterClass("Plain", this), KSWIN_ERROR_CLASS_HAS_WINDOWS);
    const KsWin_Window gone = Top(10, 10);
    KsWin_DestroyWindow(gone);
    const uint32_t child = KSWIN_STYLE_CHILD;
    const struct {
        const char* cls;
        uint32_t style;
        KsWin_Window parent;
        int w, h;
        KsWin_Status status;
    } cases[] = {
        {"Nothing", 0, nullptr, 1, 1, KSWIN_ERROR_CLASS_DOES_NOT_EXIST},
        {"Plain", child, nullptr, 1, 1, KSWIN_ERROR_CHILD_WITHOUT_PARENT},
        {"Plain", 0, top, 1, 1, KSWIN_ERROR_CHILD_WITHOUT_PARENT},
        {"Plain", child, gone, 1, 1, KSWIN_ERROR_INVALID_WINDOW_HANDLE},
        {"Plain", 0, nullptr, -1, 1, KSWIN_ERROR_INVALID_PARAMETER},
        {"Plain", 0, nullptr, 1, KSWIN_MAX_EXTENT + 1, KSWIN_ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        KsWin_Window out = reinterpret_cast<KsWin_Window>(1);
        EXPECT_EQ(KsWin_CreateWindow(c.cls, this, nullptr, c.style, c.parent, 0, 0, c.w, c.h, nullptr, &out),
                  c.status)
            << c.cls << " " << c.style << " " << c.w << "x" << c.h;
        EXPECT_EQ(out, reinterpret_cast<KsWin_Window>(1));  // nothing written on failure
    }
    // Nesting stops at its limit.
    KsWin_Window deepest = top;
    for (int depth = 2; depth <= KSWIN_MAX_DEPTH; ++depth) deepest = Make("Plain", deepest, 0, 0, 1, 1);
    KsWin_Window out = nullptr;
    EXPECT_EQ(KsWin_CreateWindow("Plain", this, nullptr, child, deepest, 0, 0, 1, 1, nullptr, &out),
              KSWIN_ERROR_INVALID_PARAMETER);
    // A procedure may refuse its window: it is destroyed again.
    createAnswer = -1;
    EXPECT_EQ(KsWin_CreateWindow("Recorded", this, nullptr, 0, nullptr, 0, 0, 1, 1, nullptr, &out),
              KSWIN_ERROR_CANCELLED);
    EXPECT_EQ(Types(events.at(0).window), (std::vector<uint32_t>{KSWIN_MSG_CREATE, KSWIN_MSG_DESTROY}));
    EXPECT_EQ(KsWin_IsWindow(events[0].window), 0);
}

TEST_F(Windows, DestroyingAWindowTakesItsTreeParentsFirstAndHandlesNeverComeBack) {
    const KsWin_Window top = Top(50, 50, "Recorded");
    const KsWin_Window a = Make("Recorded", top, 0, 0, 10, 10);
    const KsWin_Window a1 = Make("Recorded", a, 0, 0, 5, 5);
    const KsWin_Window b = Make("Recorded", top, 20, 0, 10, 10);
    const KsWin_Window keep = Top(5, 5, "Recorded");
    KsWin_SetTimer(a1, 1, 10);
    events.clear();
    ASSERT_EQ(KsWin_DestroyWindow(top), KSWIN_OK);
    std::vector<KsWin_Window> order;
    for (const Event& e : events) order.push_back(e.window);
    EXPECT_EQ(order, (std::vector<KsWin_Window>{top, a, a1, b}));
    for (KsWin_Window w : {top, a, a1, b}) EXPECT_EQ(KsWin_IsWindow(w), 0);
    EXPECT_EQ(KsWin_IsWindow(keep), 1);
    uint32_t fired = 99;
    KsWin_RunTimers(100, &fired);
    EXPECT_EQ(fired, 0u);  // the timers went with their windows
    const KsWin_Window next = Top(5, 5);
    for (KsWin_Window w : {top, a, a1, b}) EXPECT_NE(next, w);

    // A procedure that destroys the parent of the window being destroyed.
    const KsWin_Window p = Top(5, 5, "Recorded");
    const KsWin_Window c = Make("Recorded", p, 0, 0, 1, 1);
    victim = p;
    destroyOn = KSWIN_MSG_DESTROY;
    EXPECT_EQ(KsWin_DestroyWindow(c), KSWIN_OK);
    EXPECT_EQ(KsWin_IsWindow(p), 0);
}

TEST_F(Windows, UnknownHandlesAndNullPointersAreErrors) {
    const KsWin_Window w = Top(4, 4);
    const KsWin_Window stale = Top(4, 4);
    KsWin_DestroyWindow(stale);
    KsWin_Rect r{0, 0, 1, 1};
    uint32_t px[4] = {};
    int32_t n = 0;
    KsWin_Window out = nullptr;
    void* data = nullptr;
    uint64_t count = 0;
    char name[16];
    const KsWin_MouseInput move{KSWIN_MSG_MOUSE_MOVE, 0, 0, 0, 0, 0};
    for (KsWin_Window bad : {stale, static_cast<KsWin_Window>(nullptr), reinterpret_cast<KsWin_Window>(0x12345)}) {
        EXPECT_EQ(KsWin_IsWindow(bad), 0);
        const KsWin_Status answers[] = {
            KsWin_DestroyWindow(bad),          KsWin_GetClientRect(bad, &r),
            KsWin_GetWindowRect(bad, &r),      KsWin_MoveWindow(bad, 0, 0, 1, 1),
            KsWin_ShowWindow(bad, 1),          KsWin_IsVisible(bad, &n),
            KsWin_GetParent(bad, &out),        KsWin_GetChildren(bad, nullptr, 0, &n),
            KsWin_GetClassName(bad, name, 16), KsWin_SetWindowData(bad, &n),
            KsWin_GetWindowData(bad, &data),   KsWin_SetTimer(bad, 1, 10),
            KsWin_KillTimer(bad, 1),           KsWin_WritePixels(bad, 0, 0, 1, 1, px, 1),
            KsWin_ReadPixels(bad, &r, px, 1, 4), KsWin_GetPaintCount(bad, &count),
            KsWin_CaptureWindow(bad, &r, px, 1, 4), KsWin_SendMouse(bad, &move, nullptr),
        };
        for (size_t i = 0; i < sizeof answers / sizeof answers[0]; ++i)
            EXPECT_EQ(answers[i], KSWIN_ERROR_INVALID_WINDOW_HANDLE) << "call " << i;
    }
    const KsWin_Status nulls[] = {
        KsWin_RegisterClass(nullptr),          KsWin_UnregisterClass(nullptr, this),
        KsWin_CreateWindow("Plain", this, nullptr, 0, nullptr, 0, 0, 1, 1, nullptr, nullptr),
        KsWin_CreateWindow(nullptr, this, nullptr, 0, nullptr, 0, 0, 1, 1, nullptr, &out),
        KsWin_GetClientRect(w, nullptr),       KsWin_GetWindowRect(w, nullptr),
        KsWin_IsVisible(w, nullptr),           KsWin_GetParent(w, nullptr),
        KsWin_GetChildren(w, nullptr, 1, &n),  KsWin_GetChildren(w, &out, 1, nullptr),
        KsWin_GetClassName(w, nullptr, 16),    KsWin_GetWindowData(w, nullptr),
        KsWin_WritePixels(w, 0, 0, 1, 1, nullptr, 1), KsWin_ReadPixels(w, nullptr, px, 1, 4),
        KsWin_ReadPixels(w, &r, nullptr, 1, 4), KsWin_GetPaintCount(w, nullptr),
        KsWin_CaptureWindow(w, nullptr, px, 1, 4), KsWin_CaptureWindow(w, &r, nullptr, 1, 4),
        KsWin_SendMouse(w, nullptr, nullptr),  KsWin_Clock(nullptr),
    };
    for (size_t i = 0; i < sizeof nulls / sizeof nulls[0]; ++i) EXPECT_EQ(nulls[i], KSWIN_ERROR_NULL_POINTER) << i;
}

TEST_F(Windows, TimersFireInOrderOnTheirThreadsPumpClock) {
    const KsWin_Window a = Top(1, 1, "Recorded");
    const KsWin_Window b = Top(1, 1, "Recorded");
    uint64_t start = 0;
    KsWin_Clock(&start);
    ASSERT_EQ(KsWin_SetTimer(a, 7, 40), KSWIN_OK);
    ASSERT_EQ(KsWin_SetTimer(b, 9, 30), KSWIN_OK);
    ASSERT_EQ(KsWin_SetTimer(b, 3, 1), KSWIN_OK);
    ASSERT_EQ(KsWin_KillTimer(b, 3), KSWIN_OK);
    EXPECT_EQ(KsWin_KillTimer(b, 3), KSWIN_ERROR_NOT_FOUND);
    EXPECT_EQ(KsWin_SetTimer(a, 1, 0x80000000u), KSWIN_ERROR_INVALID_PARAMETER);
    // Another thread may look, but neither destroy, set timers, nor run these timers.
    KsWin_Status destroyed = KSWIN_OK, timer = KSWIN_OK, rect = KSWIN_ERROR_INVALID_PARAMETER;
    uint32_t fired = 99;
    std::thread([&] {
        destroyed = KsWin_DestroyWindow(a);
        timer = KsWin_SetTimer(a, 2, 10);
        KsWin_Rect r{};
        rect = KsWin_GetClientRect(a, &r);
        KsWin_RunTimers(1000, &fired);
    }).join();
    EXPECT_EQ(destroyed, KSWIN_ERROR_ACCESS_DENIED);
    EXPECT_EQ(timer, KSWIN_ERROR_ACCESS_DENIED);
    EXPECT_EQ(rect, KSWIN_OK);
    EXPECT_EQ(fired, 0u);
    events.clear();
    // In steps that match neither period: the same firings at the same times.
    for (uint32_t step : {25u, 25u, 50u, 20u}) ASSERT_EQ(KsWin_RunTimers(step, &fired), KSWIN_OK);
    std::vector<std::string> seen;
    for (const Event& e : events)
        seen.push_back((e.window == a ? "a" : "b") + std::to_string(e.message.timerId) + "@" +
                       std::to_string(e.clock - start));
    EXPECT_EQ(seen, (std::vector<std::string>{"b9@30", "a7@40", "b9@60", "a7@80", "b9@90", "a7@120", "b9@120"}));

    // Setting a timer again restarts it; a procedure may destroy its window on a tick.
    KsWin_SetTimer(a, 7, 100);
    victim = b;
    destroyOn = KSWIN_MSG_TIMER;
    ASSERT_EQ(KsWin_RunTimers(100, &fired), KSWIN_OK);
    EXPECT_EQ(fired, 2u);  // b's tick at 150, which destroys it, and a's at 220
    EXPECT_EQ(KsWin_IsWindow(b), 0);
}

TEST_F(Windows, ACaptureComposesVisibleChildrenOverParentsClippedToThem) {
    const KsWin_Window top = Top(8, 4);
    const KsWin_Window child = Make("Plain", top, 2, 1, 5, 3);
    const KsWin_Window grandchild = Make("Plain", child, 3, 1, 4, 4);  // sticks out of child and top
    const KsWin_Window hidden = Make("Plain", top, 0, 0, 2, 2, false);
    const KsWin_Window later = Make("Plain", top, 5, 0, 2, 2);  // over child
    Fill(child, 1);
    Fill(grandchild, 2);
    Fill(hidden, 3);
    Fill(later, 4);
    EXPECT_EQ(Picture(top, {0, 0, 8, 4}), (std::vector<std::string>{"wwwwweew", "wwbbbeew", "wwbbbccw", "wwbbbccw"}));
    EXPECT_EQ(Picture(top, {6, 2, 10, 5}), (std::vector<std::string>{"cw..", "cw..", "...."}));  // outside: 0
    // Pixels written with a negative origin are clipped, and count as paints up the tree.
    const uint32_t nine[] = {9, 9, 9, 9};
    uint64_t before = 0, after = 0;
    KsWin_GetPaintCount(top, &before);
    ASSERT_EQ(KsWin_WritePixels(child, -1, -1, 2, 2, nine, 2), KSWIN_OK);
    KsWin_GetPaintCount(top, &after);
    EXPECT_EQ(after, before + 1);
    EXPECT_EQ(Picture(child, {0, 0, 2, 1}), (std::vector<std::string>{"jb"}));
    KsWin_ShowWindow(hidden, 1);
    // A new size gives a fresh surface of the background.
    ASSERT_EQ(KsWin_MoveWindow(child, 1, 0, 2, 2), KSWIN_OK);
    EXPECT_EQ(Picture(top, {0, 0, 4, 1}), (std::vector<std::string>{"ddww"}));

    // Memory too small or rows too short for the area are refused.
    uint32_t px[8];
    const KsWin_Rect area{0, 0, 4, 2}, outside{0, 0, 9, 1};
    EXPECT_EQ(KsWin_CaptureWindow(top, &area, px, 4, 7), KSWIN_ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(KsWin_CaptureWindow(top, &area, px, 3, 8), KSWIN_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(KsWin_ReadPixels(top, &outside, px, 9, 8), KSWIN_ERROR_INVALID_PARAMETER);
}

TEST_F(Windows, MouseInputGoesToTheDeepestVisibleWindowAndStaysWithAPress) {
    const KsWin_Window top = Top(100, 100, "Recorded");
    const KsWin_Window panel = Make("Recorded", top, 10, 20, 50, 50);
    const KsWin_Window button = Make("Recorded", panel, 5, 5, 10, 10);
    Make("Recorded", panel, 30, 30, 10, 10, false);  // hidden
    const KsWin_Window single = Make("Single", top, 80, 80, 10, 10);
    const struct {
        int x, y;
        KsWin_Window receiver;
        int localX, localY;
    } hits[] = {{0, 0, top, 0, 0}, {24, 34, button, 9, 9}, {25, 35, panel, 15, 15}, {45, 55, panel, 35, 35}};
    for (const auto& h : hits) {
        events.clear();
        KsWin_Window receiver = nullptr;
        ASSERT_EQ(Mouse(top, KSWIN_MSG_WHEEL, h.x, h.y, 0, &receiver), KSWIN_OK);
        EXPECT_EQ(receiver, h.receiver) << h.x << "," << h.y;
        const KsWin_Message& m = events.at(0).message;
        EXPECT_EQ(std::vector<int>({m.x, m.y, m.wheelDelta, static_cast<int>(m.modifiers)}),
                  std::vector<int>({h.localX, h.localY, -240, KSWIN_MOD_SHIFT}));
    }
    EXPECT_EQ(Mouse(top, KSWIN_MSG_MOUSE_DOWN, 100, 5), KSWIN_ERROR_NOT_FOUND);
    EXPECT_EQ(Mouse(top, KSWIN_MSG_MOUSE_DOWN, 5, 5, KSWIN_BUTTON_LEFT | KSWIN_BUTTON_RIGHT),
              KSWIN_ERROR_INVALID_PARAMETER);

    // A press captures: moves and releases reach the button wherever they are,
    // until the last button is up.
    events.clear();
    Mouse(top, KSWIN_MSG_MOUSE_DOWN, 20, 30);
    Mouse(top, KSWIN_MSG_MOUSE_DOWN, 20, 30, KSWIN_BUTTON_RIGHT);
    Mouse(top, KSWIN_MSG_MOUSE_MOVE, 200, -5, 0);
    Mouse(top, KSWIN_MSG_MOUSE_UP, 90, 90);
    Mouse(top, KSWIN_MSG_MOUSE_UP, 90, 90, KSWIN_BUTTON_RIGHT);
    ASSERT_EQ(Types(button), (std::vector<uint32_t>{KSWIN_MSG_MOUSE_DOWN, KSWIN_MSG_MOUSE_DOWN, KSWIN_MSG_MOUSE_MOVE,
                                                    KSWIN_MSG_MOUSE_UP, KSWIN_MSG_MOUSE_UP}));
    EXPECT_EQ(std::vector<int>({events[2].message.x, events[2].message.y}), std::vector<int>({185, -30}));
    EXPECT_EQ(events[3].message.buttons, KSWIN_BUTTON_RIGHT);
    KsWin_Window receiver = nullptr;
    Mouse(top, KSWIN_MSG_MOUSE_UP, 90, 90, KSWIN_BUTTON_LEFT, &receiver);
    EXPECT_EQ(receiver, top);

    // A double click arrives as a press where the class does not ask for
    // them; moving off a window tells it the pointer left.
    events.clear();
    Mouse(top, KSWIN_MSG_DOUBLE_CLICK, 85, 85);
    Mouse(top, KSWIN_MSG_MOUSE_UP, 85, 85);
    EXPECT_EQ(Types(single), (std::vector<uint32_t>{KSWIN_MSG_MOUSE_DOWN, KSWIN_MSG_MOUSE_UP}));
    Mouse(top, KSWIN_MSG_MOUSE_MOVE, 16, 26, 0);
    EXPECT_EQ(Mouse(top, KSWIN_MSG_MOUSE_MOVE, 400, 40, 0), KSWIN_ERROR_NOT_FOUND);
    EXPECT_EQ(Types(button), (std::vector<uint32_t>{KSWIN_MSG_MOUSE_MOVE, KSWIN_MSG_MOUSE_LEAVE}));

    // A destroyed capture lets go; a hidden window takes nothing.
    Mouse(top, KSWIN_MSG_MOUSE_DOWN, 16, 26);
    KsWin_DestroyWindow(button);
    Mouse(top, KSWIN_MSG_MOUSE_UP, 16, 26, KSWIN_BUTTON_LEFT, &receiver);
    EXPECT_EQ(receiver, panel);
    KsWin_ShowWindow(top, 0);
    EXPECT_EQ(Mouse(top, KSWIN_MSG_MOUSE_DOWN, 1, 1), KSWIN_ERROR_NOT_FOUND);
}

}  // namespace
