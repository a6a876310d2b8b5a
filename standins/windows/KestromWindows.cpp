// The display-less window system: classes, a window tree with surfaces,
// timers on a clock the host's pump advances, and mouse input. One lock
// guards every table; it is never held while a window procedure runs, so a
// procedure may call back in (and destroy windows, its own included). After
// each procedure call the tables are looked at afresh, since the procedure may
// have changed anything.
#include "standins/windows/KestromWindows.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#define KSWIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr size_t kMaxClassName = 255;
constexpr uint32_t kMaxTimerPeriodMs = 0x7FFFFFFF;
constexpr uintptr_t kFirstHandle = 0x10000;
constexpr uintptr_t kHandleStep = 4;  // handles look like pointers, and never repeat
constexpr uint32_t kAllButtons = KSWIN_BUTTON_LEFT | KSWIN_BUTTON_RIGHT | KSWIN_BUTTON_MIDDLE;

using Handle = uintptr_t;
using ClassKey = std::pair<std::string, void*>;  // lower-case name, instance

struct WindowClass {
    std::string name;
    KsWin_WindowProc proc = nullptr;
    uint32_t style = 0;
    uint32_t background = 0;
    int windows = 0;
};

struct Window {
    Handle id = 0;
    ClassKey classKey;
    KsWin_WindowProc proc = nullptr;
    uint32_t classStyle = 0;
    uint32_t background = 0;
    std::string title;
    Handle parent = 0;
    std::vector<Handle> children;  // bottom to top
    int32_t x = 0, y = 0, width = 0, height = 0;
    int depth = 1;
    bool visible = false;
    bool created = false;     // KSWIN_MSG_CREATE has been answered
    bool destroying = false;  // KSWIN_MSG_DESTROY is under way
    std::thread::id owner;
    void* data = nullptr;
    std::vector<uint32_t> surface;
    uint64_t paints = 0;
};

struct Timer {
    Handle window = 0;
    uint32_t id = 0;
    uint64_t period = 0;
    uint64_t due = 0;
    uint64_t order = 0;  // when it was (re)scheduled: ties fire in this order
    std::thread::id owner;
};

struct System {
    std::mutex mutex;
    std::map<ClassKey, WindowClass> classes;
    std::unordered_map<Handle, std::unique_ptr<Window>> windows;
    std::map<std::pair<Handle, uint32_t>, Timer> timers;
    Handle nextHandle = kFirstHandle;
    uint64_t nextOrder = 1;
    // The one mouse: buttons held, the window that has it captured, the
    // window that had the last move.
    uint32_t held = 0;
    Handle capture = 0;
    Handle hover = 0;
};

System& TheSystem() {
    static System* system = new System;  // lives as long as the process: procedures may run at exit
    return *system;
}

thread_local uint64_t threadClock = 0;

KsWin_Window ToWindow(Handle id) { return reinterpret_cast<KsWin_Window>(id); }
Handle ToHandle(KsWin_Window window) { return reinterpret_cast<Handle>(window); }

std::string Lower(const char* text) {
    std::string s(text);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Needs the lock. A live window (being destroyed counts as live).
Window* Find(System& s, KsWin_Window window) {
    const auto found = s.windows.find(ToHandle(window));
    return found != s.windows.end() ? found->second.get() : nullptr;
}

Window* Find(System& s, Handle id) { return Find(s, ToWindow(id)); }

// The query routines' common start: `out` must be given, and the window must
// be alive; body(system, window) then runs under the system's lock.
template <typename Out, typename Body>
KsWin_Status ReadWindow(KsWin_Window window, Out* out, Body body) {
    if (out == nullptr) return KSWIN_ERROR_NULL_POINTER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    const Window* w = Find(s, window);
    if (w == nullptr) return KSWIN_ERROR_INVALID_WINDOW_HANDLE;
    return body(s, *w);
}

bool OnThisThread(const Window& w) { return w.owner == std::this_thread::get_id(); }

// Needs the lock: the window, checked for the calling thread.
KsWin_Status Owned(System& s, KsWin_Window window, Window*& out) {
    out = Find(s, window);
    if (out == nullptr) return KSWIN_ERROR_INVALID_WINDOW_HANDLE;
    if (!OnThisThread(*out)) return KSWIN_ERROR_ACCESS_DENIED;
    return KSWIN_OK;
}

bool ValidExtent(int32_t v) { return v >= 0 && v <= KSWIN_MAX_EXTENT; }

bool NewSurface(Window& w, int32_t width, int32_t height) {
    try {
        std::vector<uint32_t> surface(static_cast<size_t>(width) * static_cast<size_t>(height), w.background);
        w.surface.swap(surface);
    } catch (const std::bad_alloc&) {
        return false;
    }
    w.width = width;
    w.height = height;
    return true;
}

// Needs the lock: whether the window and its ancestors are all visible.
bool Showing(System& s, const Window& w) {
    for (const Window* p = &w; p != nullptr; p = p->parent ? Find(s, p->parent) : nullptr) {
        if (!p->visible || p->destroying || !p->created) return false;
    }
    return true;
}

// Needs the lock: the window's top-left corner on the screen.
void ScreenOrigin(System& s, const Window& w, int64_t& x, int64_t& y) {
    x = 0;
    y = 0;
    for (const Window* p = &w; p != nullptr; p = p->parent ? Find(s, p->parent) : nullptr) {
        x += p->x;
        y += p->y;
    }
}

// Needs the lock: marks the window and everything inside it as going
// (parents before children, into `order`), stops their timers and lets go
// of the mouse they hold. Windows already going belong to another destroy.
void CollectForDestroy(System& s, Window& w, std::vector<std::pair<Handle, KsWin_WindowProc>>& order) {
    if (w.destroying) return;
    w.destroying = true;
    order.emplace_back(w.id, w.proc);
    for (auto t = s.timers.begin(); t != s.timers.end();) {
        t = t->first.first == w.id ? s.timers.erase(t) : std::next(t);
    }
    if (s.capture == w.id) s.capture = 0;
    if (s.hover == w.id) s.hover = 0;
    for (Handle child : w.children) {
        if (Window* c = Find(s, child)) CollectForDestroy(s, *c, order);
    }
}

// Needs the lock: takes the window out of every table.
void Remove(System& s, Handle id) {
    Window* w = Find(s, id);
    if (w == nullptr) return;
    if (Window* parent = Find(s, w->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
    }
    const auto c = s.classes.find(w->classKey);
    if (c != s.classes.end()) --c->second.windows;
    for (auto t = s.timers.begin(); t != s.timers.end();) {
        t = t->first.first == id ? s.timers.erase(t) : std::next(t);
    }
    if (s.capture == id) s.capture = 0;
    if (s.hover == id) s.hover = 0;
    s.windows.erase(id);
}

// Destroys a window that the caller has checked: KSWIN_MSG_DESTROY to each
// (without the lock), then out of the tables.
KsWin_Status DestroyChecked(System& s, std::unique_lock<std::mutex>& lock, Window& w) {
    std::vector<std::pair<Handle, KsWin_WindowProc>> order;
    CollectForDestroy(s, w, order);
    lock.unlock();
    for (const auto& [id, proc] : order) {
        KsWin_Message m{};
        m.type = KSWIN_MSG_DESTROY;
        proc(ToWindow(id), &m);
    }
    lock.lock();
    for (auto it = order.rbegin(); it != order.rend(); ++it) Remove(s, it->first);
    return KSWIN_OK;
}

// Needs the lock: the deepest showing window under (x, y) of w's client
// area, or 0; (x, y) become that window's client coordinates.
Handle HitTest(System& s, const Window& w, int64_t& x, int64_t& y) {
    if (x < 0 || y < 0 || x >= w.width || y >= w.height) return 0;
    for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
        const Window* c = Find(s, *it);
        if (c == nullptr || !c->visible || !c->created || c->destroying) continue;
        int64_t cx = x - c->x, cy = y - c->y;
        if (const Handle hit = HitTest(s, *c, cx, cy)) {
            x = cx;
            y = cy;
            return hit;
        }
    }
    return w.id;
}

struct Area {
    int64_t left, top, right, bottom;
    bool Empty() const { return right <= left || bottom <= top; }
    Area Intersect(const Area& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
};

// Needs the lock: draws w (its corner at (ox, oy) of the capture, within
// clip) and its visible descendants into out, which holds `area`.
void Compose(System& s, const Window& w, int64_t ox, int64_t oy, const Area& clip, const Area& area, uint32_t* out,
             int32_t rowSpan) {
    const Area own = Area{ox, oy, ox + w.width, oy + w.height}.Intersect(clip);
    const Area drawn = own.Intersect(area);
    if (!drawn.Empty()) {
        for (int64_t y = drawn.top; y < drawn.bottom; ++y) {
            const uint32_t* from = w.surface.data() + (y - oy) * w.width + (drawn.left - ox);
            uint32_t* to = out + (y - area.top) * rowSpan + (drawn.left - area.left);
            std::memcpy(to, from, static_cast<size_t>(drawn.right - drawn.left) * sizeof(uint32_t));
        }
    }
    if (own.Empty()) return;
    for (Handle child : w.children) {
        const Window* c = Find(s, child);
        if (c == nullptr || !c->visible || !c->created || c->destroying) continue;
        Compose(s, *c, ox + c->x, oy + c->y, own, area, out, rowSpan);
    }
}

// The memory a rows x columns block with rows rowSpan apart needs, checked.
KsWin_Status CheckBlock(int64_t width, int64_t height, int32_t rowSpan, int64_t capacity) {
    if (width <= 0 || height <= 0) return KSWIN_OK;
    if (rowSpan < width) return KSWIN_ERROR_INVALID_PARAMETER;
    if ((height - 1) * static_cast<int64_t>(rowSpan) + width > capacity) return KSWIN_ERROR_INSUFFICIENT_BUFFER;
    return KSWIN_OK;
}

bool ValidArea(const KsWin_Rect& r) { return r.left <= r.right && r.top <= r.bottom; }

}  // namespace

KSWIN_EXPORT intptr_t KsWin_DefaultWindowProc(KsWin_Window, const KsWin_Message*) { return 0; }

// ---- Classes ----------------------------------------------------------------

KSWIN_EXPORT KsWin_Status KsWin_RegisterClass(const KsWin_ClassInfo* info) {
    if (info == nullptr || info->name == nullptr) return KSWIN_ERROR_NULL_POINTER;
    const size_t length = std::strlen(info->name);
    if (length == 0 || length > kMaxClassName) return KSWIN_ERROR_INVALID_PARAMETER;
    if ((info->style & ~KSWIN_CLASS_DOUBLE_CLICKS) != 0) return KSWIN_ERROR_INVALID_PARAMETER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    ClassKey key(Lower(info->name), info->instance);
    if (s.classes.count(key) != 0) return KSWIN_ERROR_CLASS_ALREADY_EXISTS;
    WindowClass c;
    c.name = info->name;
    c.proc = info->proc != nullptr ? info->proc : &KsWin_DefaultWindowProc;
    c.style = info->style;
    c.background = info->background;
    s.classes.emplace(std::move(key), std::move(c));
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_UnregisterClass(const char* name, void* instance) {
    if (name == nullptr) return KSWIN_ERROR_NULL_POINTER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    const auto found = s.classes.find(ClassKey(Lower(name), instance));
    if (found == s.classes.end()) return KSWIN_ERROR_CLASS_DOES_NOT_EXIST;
    if (found->second.windows > 0) return KSWIN_ERROR_CLASS_HAS_WINDOWS;
    s.classes.erase(found);
    return KSWIN_OK;
}

// ---- Windows ----------------------------------------------------------------

KSWIN_EXPORT KsWin_Status KsWin_CreateWindow(const char* className, void* instance, const char* title, uint32_t style,
                                             KsWin_Window parent, int32_t x, int32_t y, int32_t width, int32_t height,
                                             void* createParam, KsWin_Window* out) {
    if (className == nullptr || out == nullptr) return KSWIN_ERROR_NULL_POINTER;
    if ((style & ~(KSWIN_STYLE_CHILD | KSWIN_STYLE_VISIBLE)) != 0) return KSWIN_ERROR_INVALID_PARAMETER;
    if (!ValidExtent(width) || !ValidExtent(height)) return KSWIN_ERROR_INVALID_PARAMETER;
    const bool child = (style & KSWIN_STYLE_CHILD) != 0;
    if (child != (parent != nullptr)) return KSWIN_ERROR_CHILD_WITHOUT_PARENT;

    System& s = TheSystem();
    std::unique_lock<std::mutex> lock(s.mutex);
    const auto c = s.classes.find(ClassKey(Lower(className), instance));
    if (c == s.classes.end()) return KSWIN_ERROR_CLASS_DOES_NOT_EXIST;
    Window* p = nullptr;
    if (parent != nullptr) {
        p = Find(s, parent);
        if (p == nullptr || p->destroying) return KSWIN_ERROR_INVALID_WINDOW_HANDLE;
        if (!OnThisThread(*p)) return KSWIN_ERROR_ACCESS_DENIED;
        if (p->depth >= KSWIN_MAX_DEPTH) return KSWIN_ERROR_INVALID_PARAMETER;
    }
    auto w = std::make_unique<Window>();
    try {
        w->title = title != nullptr ? title : "";
    } catch (const std::bad_alloc&) {
        return KSWIN_ERROR_NOT_ENOUGH_MEMORY;
    }
    w->id = s.nextHandle;
    w->classKey = c->first;
    w->proc = c->second.proc;
    w->classStyle = c->second.style;
    w->background = c->second.background;
    w->parent = p != nullptr ? p->id : 0;
    w->depth = p != nullptr ? p->depth + 1 : 1;
    w->x = x;
    w->y = y;
    w->visible = (style & KSWIN_STYLE_VISIBLE) != 0;
    w->owner = std::this_thread::get_id();
    if (!NewSurface(*w, width, height)) return KSWIN_ERROR_NOT_ENOUGH_MEMORY;
    const Handle id = w->id;
    const KsWin_WindowProc proc = w->proc;
    if (p != nullptr) p->children.push_back(id);
    s.nextHandle += kHandleStep;
    ++c->second.windows;
    s.windows.emplace(id, std::move(w));
    lock.unlock();

    KsWin_Message m{};
    m.type = KSWIN_MSG_CREATE;
    m.createParam = createParam;
    const intptr_t answer = proc(ToWindow(id), &m);

    lock.lock();
    Window* made = Find(s, id);
    if (made == nullptr || made->destroying) return KSWIN_ERROR_CANCELLED;  // the procedure destroyed it
    if (answer == -1) {
        DestroyChecked(s, lock, *made);
        return KSWIN_ERROR_CANCELLED;
    }
    made->created = true;
    *out = ToWindow(id);
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_DestroyWindow(KsWin_Window window) {
    System& s = TheSystem();
    std::unique_lock<std::mutex> lock(s.mutex);
    Window* w = nullptr;
    if (const KsWin_Status status = Owned(s, window, w)) return status;
    if (w->destroying) return KSWIN_OK;
    return DestroyChecked(s, lock, *w);
}

KSWIN_EXPORT int32_t KsWin_IsWindow(KsWin_Window window) {
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    return Find(s, window) != nullptr ? 1 : 0;
}

KSWIN_EXPORT KsWin_Status KsWin_GetClientRect(KsWin_Window window, KsWin_Rect* out) {
    return ReadWindow(window, out, [&](System&, const Window& w) -> KsWin_Status {
        *out = KsWin_Rect{0, 0, w.width, w.height};
        return KSWIN_OK;
    });
}

KSWIN_EXPORT KsWin_Status KsWin_GetWindowRect(KsWin_Window window, KsWin_Rect* out) {
    return ReadWindow(window, out, [&](System&, const Window& w) -> KsWin_Status {
        // Kept in 64 bits until here: a window far out may not fit the record.
        const int64_t right = static_cast<int64_t>(w.x) + w.width, bottom = static_cast<int64_t>(w.y) + w.height;
        if (right > INT32_MAX || bottom > INT32_MAX) return KSWIN_ERROR_INVALID_PARAMETER;
        *out = KsWin_Rect{w.x, w.y, static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
        return KSWIN_OK;
    });
}

KSWIN_EXPORT KsWin_Status KsWin_MoveWindow(KsWin_Window window, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!ValidExtent(width) || !ValidExtent(height)) return KSWIN_ERROR_INVALID_PARAMETER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    Window* w = nullptr;
    if (const KsWin_Status status = Owned(s, window, w)) return status;
    if ((width != w->width || height != w->height) && !NewSurface(*w, width, height))
        return KSWIN_ERROR_NOT_ENOUGH_MEMORY;
    w->x = x;
    w->y = y;
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_ShowWindow(KsWin_Window window, int32_t visible) {
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    Window* w = nullptr;
    if (const KsWin_Status status = Owned(s, window, w)) return status;
    w->visible = visible != 0;
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_IsVisible(KsWin_Window window, int32_t* visible) {
    return ReadWindow(window, visible, [&](System&, const Window& w) -> KsWin_Status {
        *visible = w.visible ? 1 : 0;
        return KSWIN_OK;
    });
}

KSWIN_EXPORT KsWin_Status KsWin_GetParent(KsWin_Window window, KsWin_Window* out) {
    return ReadWindow(window, out, [&](System&, const Window& w) -> KsWin_Status {
        *out = ToWindow(w.parent);
        return KSWIN_OK;
    });
}

KSWIN_EXPORT KsWin_Status KsWin_GetChildren(KsWin_Window window, KsWin_Window* out, int32_t capacity,
                                            int32_t* count) {
    if (count == nullptr || (out == nullptr && capacity != 0)) return KSWIN_ERROR_NULL_POINTER;
    if (capacity < 0) return KSWIN_ERROR_INVALID_PARAMETER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    const Window* w = Find(s, window);
    if (w == nullptr) return KSWIN_ERROR_INVALID_WINDOW_HANDLE;
    const size_t n = std::min(w->children.size(), static_cast<size_t>(capacity));
    for (size_t i = 0; i < n; ++i) out[i] = ToWindow(w->children[i]);
    *count = static_cast<int32_t>(w->children.size());
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_GetClassName(KsWin_Window window, char* out, int32_t size) {
    return ReadWindow(window, out, [&](System& s, const Window& w) -> KsWin_Status {
        const auto c = s.classes.find(w.classKey);
        const std::string& name = c != s.classes.end() ? c->second.name : w.classKey.first;
        if (size <= 0 || name.size() >= static_cast<size_t>(size)) return KSWIN_ERROR_INSUFFICIENT_BUFFER;
        std::memcpy(out, name.c_str(), name.size() + 1);
        return KSWIN_OK;
    });
}

KSWIN_EXPORT KsWin_Status KsWin_SetWindowData(KsWin_Window window, void* data) {
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    Window* w = nullptr;
    if (const KsWin_Status status = Owned(s, window, w)) return status;
    w->data = data;
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_GetWindowData(KsWin_Window window, void** out) {
    return ReadWindow(window, out, [&](System&, const Window& w) -> KsWin_Status {
        *out = w.data;
        return KSWIN_OK;
    });
}

// ---- Timers -------------------------------------------------------------------

KSWIN_EXPORT KsWin_Status KsWin_SetTimer(KsWin_Window window, uint32_t id, uint32_t periodMs) {
    if (periodMs > kMaxTimerPeriodMs) return KSWIN_ERROR_INVALID_PARAMETER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    Window* w = nullptr;
    if (const KsWin_Status status = Owned(s, window, w)) return status;
    if (w->destroying) return KSWIN_ERROR_INVALID_WINDOW_HANDLE;
    Timer& t = s.timers[{w->id, id}];
    t.window = w->id;
    t.id = id;
    t.period = std::max(periodMs, KSWIN_MIN_TIMER_PERIOD_MS);
    t.due = threadClock + t.period;
    t.order = s.nextOrder++;
    t.owner = w->owner;
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_KillTimer(KsWin_Window window, uint32_t id) {
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    Window* w = nullptr;
    if (const KsWin_Status status = Owned(s, window, w)) return status;
    return s.timers.erase({w->id, id}) != 0 ? KSWIN_OK : KSWIN_ERROR_NOT_FOUND;
}

KSWIN_EXPORT KsWin_Status KsWin_RunTimers(uint32_t elapsedMs, uint32_t* fired) {
    System& s = TheSystem();
    const std::thread::id self = std::this_thread::get_id();
    const uint64_t end = threadClock + elapsedMs;
    uint32_t count = 0;
    for (;;) {
        Handle window = 0;
        uint32_t id = 0;
        KsWin_WindowProc proc = nullptr;
        {
            std::lock_guard<std::mutex> guard(s.mutex);
            Timer* next = nullptr;
            for (auto& entry : s.timers) {
                Timer& t = entry.second;
                if (t.owner != self || t.due > end) continue;
                if (next == nullptr || t.due < next->due || (t.due == next->due && t.order < next->order)) next = &t;
            }
            if (next == nullptr) break;
            const Window* w = Find(s, next->window);
            threadClock = next->due;
            next->due += next->period;
            next->order = s.nextOrder++;
            if (w == nullptr || w->destroying) continue;  // cannot happen: destroying stops the timers
            window = next->window;
            id = next->id;
            proc = w->proc;
        }
        KsWin_Message m{};
        m.type = KSWIN_MSG_TIMER;
        m.timerId = id;
        proc(ToWindow(window), &m);
        ++count;
    }
    threadClock = end;
    if (fired != nullptr) *fired = count;
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_Clock(uint64_t* ms) {
    if (ms == nullptr) return KSWIN_ERROR_NULL_POINTER;
    *ms = threadClock;
    return KSWIN_OK;
}

// ---- Pixels ---------------------------------------------------------------------

KSWIN_EXPORT KsWin_Status KsWin_WritePixels(KsWin_Window window, int32_t x, int32_t y, int32_t width, int32_t height,
                                            const uint32_t* pixels, int32_t rowSpan) {
    if (pixels == nullptr) return KSWIN_ERROR_NULL_POINTER;
    if (width < 0 || height < 0 || rowSpan < width) return KSWIN_ERROR_INVALID_PARAMETER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    Window* w = nullptr;
    if (const KsWin_Status status = Owned(s, window, w)) return status;
    const Area source{x, y, static_cast<int64_t>(x) + width, static_cast<int64_t>(y) + height};
    const Area drawn = source.Intersect(Area{0, 0, w->width, w->height});
    if (!drawn.Empty()) {
        for (int64_t row = drawn.top; row < drawn.bottom; ++row) {
            const uint32_t* from = pixels + (row - y) * rowSpan + (drawn.left - x);
            std::memcpy(w->surface.data() + row * w->width + drawn.left, from,
                        static_cast<size_t>(drawn.right - drawn.left) * sizeof(uint32_t));
        }
    }
    for (Window* p = w; p != nullptr; p = p->parent ? Find(s, p->parent) : nullptr) ++p->paints;
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_ReadPixels(KsWin_Window window, const KsWin_Rect* area, uint32_t* out,
                                           int32_t rowSpan, int64_t capacity) {
    if (area == nullptr || out == nullptr) return KSWIN_ERROR_NULL_POINTER;
    if (!ValidArea(*area)) return KSWIN_ERROR_INVALID_PARAMETER;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    const Window* w = Find(s, window);
    if (w == nullptr) return KSWIN_ERROR_INVALID_WINDOW_HANDLE;
    if (area->left < 0 || area->top < 0 || area->right > w->width || area->bottom > w->height)
        return KSWIN_ERROR_INVALID_PARAMETER;
    const int64_t width = static_cast<int64_t>(area->right) - area->left;
    const int64_t height = static_cast<int64_t>(area->bottom) - area->top;
    if (const KsWin_Status status = CheckBlock(width, height, rowSpan, capacity)) return status;
    for (int64_t row = 0; row < height && width > 0; ++row) {
        std::memcpy(out + row * rowSpan, w->surface.data() + (area->top + row) * w->width + area->left,
                    static_cast<size_t>(width) * sizeof(uint32_t));
    }
    return KSWIN_OK;
}

KSWIN_EXPORT KsWin_Status KsWin_GetPaintCount(KsWin_Window window, uint64_t* count) {
    return ReadWindow(window, count, [&](System&, const Window& w) -> KsWin_Status {
        *count = w.paints;
        return KSWIN_OK;
    });
}

KSWIN_EXPORT KsWin_Status KsWin_CaptureWindow(KsWin_Window window, const KsWin_Rect* area, uint32_t* out,
                                              int32_t rowSpan, int64_t capacity) {
    if (area == nullptr || out == nullptr) return KSWIN_ERROR_NULL_POINTER;
    if (!ValidArea(*area)) return KSWIN_ERROR_INVALID_PARAMETER;
    const Area a{area->left, area->top, area->right, area->bottom};
    const int64_t width = a.right - a.left, height = a.bottom - a.top;
    if (const KsWin_Status status = CheckBlock(width, height, rowSpan, capacity)) return status;
    System& s = TheSystem();
    std::lock_guard<std::mutex> guard(s.mutex);
    const Window* w = Find(s, window);
    if (w == nullptr) return KSWIN_ERROR_INVALID_WINDOW_HANDLE;
    if (a.Empty()) return KSWIN_OK;
    for (int64_t row = 0; row < height; ++row) std::fill_n(out + row * rowSpan, width, 0u);
    Compose(s, *w, 0, 0, Area{0, 0, w->width, w->height}, a, out, rowSpan);
    return KSWIN_OK;
}

// ---- Mouse ------------------------------------------------------------------------

KSWIN_EXPORT KsWin_Status KsWin_SendMouse(KsWin_Window window, const KsWin_MouseInput* input,
                                          KsWin_Window* receiver) {
    if (input == nullptr) return KSWIN_ERROR_NULL_POINTER;
    const uint32_t type = input->type;
    const bool press = type == KSWIN_MSG_MOUSE_DOWN || type == KSWIN_MSG_DOUBLE_CLICK;
    const bool withButton = press || type == KSWIN_MSG_MOUSE_UP;
    if (!withButton && type != KSWIN_MSG_MOUSE_MOVE && type != KSWIN_MSG_WHEEL) return KSWIN_ERROR_INVALID_PARAMETER;
    const uint32_t b = input->button;
    if (withButton && (b == 0 || (b & ~kAllButtons) != 0 || (b & (b - 1)) != 0)) return KSWIN_ERROR_INVALID_PARAMETER;

    System& s = TheSystem();
    std::unique_lock<std::mutex> lock(s.mutex);
    Window* root = nullptr;
    if (const KsWin_Status status = Owned(s, window, root)) return status;

    // The pointer on the screen, then in the receiver's client coordinates.
    int64_t rootX = 0, rootY = 0;
    ScreenOrigin(s, *root, rootX, rootY);
    const int64_t screenX = rootX + input->x, screenY = rootY + input->y;
    Handle target = 0;
    if (s.capture != 0) {
        target = s.capture;
    } else if (Showing(s, *root)) {
        int64_t x = input->x, y = input->y;
        target = HitTest(s, *root, x, y);
    }
    Window* w = target != 0 ? Find(s, target) : nullptr;
    if (w != nullptr && !OnThisThread(*w)) return KSWIN_ERROR_ACCESS_DENIED;

    Handle left = 0;  // the window the pointer left
    KsWin_WindowProc leftProc = nullptr;
    if (type == KSWIN_MSG_MOUSE_MOVE && s.hover != target) {
        if (const Window* h = Find(s, s.hover)) {
            left = h->id;
            leftProc = h->proc;
        }
        s.hover = target;
    }

    KsWin_Message m{};
    KsWin_WindowProc proc = nullptr;
    if (w != nullptr) {
        int64_t originX = 0, originY = 0;
        ScreenOrigin(s, *w, originX, originY);
        m.type = type;
        if (type == KSWIN_MSG_DOUBLE_CLICK && (w->classStyle & KSWIN_CLASS_DOUBLE_CLICKS) == 0)
            m.type = KSWIN_MSG_MOUSE_DOWN;
        m.x = static_cast<int32_t>(std::clamp<int64_t>(screenX - originX, INT32_MIN, INT32_MAX));
        m.y = static_cast<int32_t>(std::clamp<int64_t>(screenY - originY, INT32_MIN, INT32_MAX));
        m.button = withButton ? b : 0;
        m.modifiers = input->modifiers;
        m.wheelDelta = type == KSWIN_MSG_WHEEL ? input->wheelDelta : 0;
        if (press) {
            s.held |= b;
            s.capture = w->id;
        } else if (type == KSWIN_MSG_MOUSE_UP) {
            s.held &= ~b;
            if (s.held == 0) s.capture = 0;
        }
        m.buttons = s.held;
        proc = w->proc;
    }
    lock.unlock();

    if (leftProc != nullptr) {
        KsWin_Message leave{};
        leave.type = KSWIN_MSG_MOUSE_LEAVE;
        leftProc(ToWindow(left), &leave);
    }
    if (proc == nullptr) return KSWIN_ERROR_NOT_FOUND;
    lock.lock();
    const Window* still = Find(s, target);
    const bool deliver = still != nullptr && !still->destroying;
    lock.unlock();
    if (!deliver) return KSWIN_ERROR_NOT_FOUND;  // the leave destroyed it
    proc(ToWindow(target), &m);
    if (receiver != nullptr) *receiver = ToWindow(target);
    return KSWIN_OK;
}
