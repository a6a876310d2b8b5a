#include "graphics/x11/IGraphicsX11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/x11/X11Display.h"

// The window: connection, child window, painting and the idle-driven redraw.

IGraphicsX11::IGraphicsX11(IPlugBase* plug, int w, int h, int rate) : IGraphics(plug, w, h, rate) {}

IGraphicsX11::~IGraphicsX11() { CloseWindow(); }

namespace {

// Errors of our own requests while the window is made (a parent that is no
// window): caught instead of ending the process, as Xlib's default handler
// would. Other connections' errors go to the handler that was there before.
::Display* trappedDisplay = nullptr;
bool trappedError = false;
int (*previousHandler)(::Display*, XErrorEvent*) = nullptr;

int TrapError(::Display* d, XErrorEvent* e) {
    if (d == trappedDisplay) {
        trappedError = true;
        return 0;
    }
    return previousHandler ? previousHandler(d, e) : 0;
}

// Catches the errors of one connection's requests while it lives.
class ErrorTrap {
public:
    explicit ErrorTrap(::Display* d) {
        XSync(d, False);
        trappedDisplay = d;
        trappedError = false;
        previousHandler = XSetErrorHandler(TrapError);
    }
    ~ErrorTrap() {
        XSync(trappedDisplay, False);
        XSetErrorHandler(previousHandler);
        trappedDisplay = nullptr;
    }
    // Whether any request so far failed (waits for the server's answers).
    bool Failed() const {
        XSync(trappedDisplay, False);
        return trappedError;
    }
};

int Shift(unsigned long mask) {
    int s = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++s;
    }
    return s;
}

int Bits(unsigned long mask) {
    int n = 0;
    for (; mask != 0; mask >>= 1) n += static_cast<int>(mask & 1);
    return n;
}

// A channel of 8 bits into a visual's channel mask.
unsigned long Channel(int value, unsigned long mask) {
    const int bits = Bits(mask);
    const unsigned long v = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8)
                                      : static_cast<unsigned long>(value) >> (8 - bits);
    return (v << Shift(mask)) & mask;
}

}  // namespace

void* IGraphicsX11::OpenWindow(void* parent) {
    CloseWindow();
    const auto parentId = static_cast<::Window>(reinterpret_cast<uintptr_t>(parent));
    if (parentId == 0) return nullptr;
    auto d = std::make_unique<Display>();
    d->connection = XOpenDisplay(nullptr);
    if (d->connection == nullptr) return nullptr;

    auto trap = std::make_unique<ErrorTrap>(d->connection);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(d->connection, DefaultScreen(d->connection));
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            LeaveWindowMask | StructureNotifyMask;
    d->window = XCreateWindow(d->connection, parentId, 0, 0, static_cast<unsigned>(Width()),
                              static_cast<unsigned>(Height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWBackPixel | CWEventMask, &attributes);
    XWindowAttributes made{};
    const bool described = XGetWindowAttributes(d->connection, d->window, &made) != 0;
    const bool failed = trap->Failed() || !described || d->window == 0;
    if (failed && d->window != 0) XDestroyWindow(d->connection, d->window);
    trap.reset();
    if (failed) {
        XCloseDisplay(d->connection);
        return nullptr;
    }

    d->visual = made.visual;
    d->depth = made.depth;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(d->connection, &count);
    int bitsPerPixel = 0;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == d->depth) bitsPerPixel = formats[i].bits_per_pixel;
    if (formats) XFree(formats);
    // Our pixel word is the window's own when the visual is 8-bit RGB in 32
    // bits: then the back buffer goes to the server as it is.
    d->direct = made.visual->red_mask == 0xFF0000 && made.visual->green_mask == 0xFF00 &&
                made.visual->blue_mask == 0xFF && bitsPerPixel == 32 && d->depth >= 24;
    d->gc = XCreateGC(d->connection, d->window, 0, nullptr);

    XStoreName(d->connection, d->window, kWindowName);
    // A fixed size, for hosts that size their socket from the hints.
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize | PBaseSize;
    hints.min_width = hints.max_width = hints.base_width = Width();
    hints.min_height = hints.max_height = hints.base_height = Height();
    XSetWMNormalHints(d->connection, d->window, &hints);
    XMapWindow(d->connection, d->window);
    XFlush(d->connection);

    display = std::move(d);
    buttonDown = false;
    pressPending = false;
    ticked = false;
    BindToCallingThread();
    MarkAllControlsDirty();
    return WindowHandle();
}

void IGraphicsX11::CloseWindow() {
    if (!display) return;
    UnbindThread();
    ClearCapture();
    buttonDown = false;
    std::unique_ptr<Display> d = std::move(display);
    if (d->gc) XFreeGC(d->connection, d->gc);
    if (!d->gone) {
        // The host may have destroyed its window, and ours with it, before
        // we heard of it: that is no reason to end the host's process.
        ErrorTrap trap(d->connection);
        XDestroyWindow(d->connection, d->window);
    }
    XCloseDisplay(d->connection);
}

void IGraphicsX11::WindowDestroyed() {
    display->gone = true;
    CloseWindow();
}

void* IGraphicsX11::WindowHandle() {
    return display ? reinterpret_cast<void*>(static_cast<uintptr_t>(display->window)) : nullptr;
}

bool IGraphicsX11::PaintToWindow(const IBounds& area) {
    if (!display) return false;
    PaintArea(area.left, area.top, area.right, area.bottom);
    XFlush(display->connection);
    ++paintCount;
    return true;
}

void IGraphicsX11::PaintArea(int left, int top, int right, int bottom) {
    LICE_IBitmap* back = BackBuffer();
    const LICE_pixel* pixels = back ? back->Pixels() : nullptr;
    if (pixels == nullptr) return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, back->Width());
    bottom = std::min(bottom, back->Height());
    if (right <= left || bottom <= top) return;
    const int w = right - left, h = bottom - top;
    const int span = back->RowSpan();
    Display& d = *display;
    if (d.direct) {
        // The back buffer's rows as the image; Xlib sends its bytes in the
        // order it is told they are in.
        XImage* image = XCreateImage(d.connection, d.visual, static_cast<unsigned>(d.depth), ZPixmap, 0,
                                     reinterpret_cast<char*>(const_cast<LICE_pixel*>(pixels)),
                                     static_cast<unsigned>(back->Width()), static_cast<unsigned>(back->Height()),
                                     32, span * 4);
        if (image == nullptr) return;
        const uint16_t one = 1;
        const bool little = *reinterpret_cast<const uint8_t*>(&one) == 1;
        image->byte_order = little ? LSBFirst : MSBFirst;
        XPutImage(d.connection, d.window, d.gc, image, left, top, left, top, static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
        image->data = nullptr;  // the back buffer's, not the image's
        XDestroyImage(image);
        return;
    }
    // Any other visual: each pixel converted through the visual's masks.
    XImage* image = XCreateImage(d.connection, d.visual, static_cast<unsigned>(d.depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
    if (image == nullptr) return;
    std::vector<char> data(static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(h));
    image->data = data.data();
    const Visual* v = d.visual;
    for (int y = 0; y < h; ++y) {
        const LICE_pixel* row = pixels + static_cast<std::ptrdiff_t>(top + y) * span + left;
        for (int x = 0; x < w; ++x) {
            const LICE_pixel p = row[x];
            XPutPixel(image, x, y,
                      Channel(LICE::Red(p), v->red_mask) | Channel(LICE::Green(p), v->green_mask) |
                          Channel(LICE::Blue(p), v->blue_mask));
        }
    }
    XPutImage(d.connection, d.window, d.gc, image, 0, 0, left, top, static_cast<unsigned>(w),
              static_cast<unsigned>(h));
    image->data = nullptr;
    XDestroyImage(image);
}

void IGraphicsX11::Resize(int w, int h) {
    if (w == Width() && h == Height()) return;
    IGraphics::Resize(w, h);
    if (!display) return;
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize | PBaseSize;
    hints.min_width = hints.max_width = hints.base_width = w;
    hints.min_height = hints.max_height = hints.base_height = h;
    XSetWMNormalHints(display->connection, display->window, &hints);
    XResizeWindow(display->connection, display->window, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XFlush(display->connection);
    MarkAllControlsDirty();
}

int IGraphicsX11::TimerPeriodMs() const { return static_cast<int>(1000.0 / FrameRate()); }

bool IGraphicsX11::Tick() {
    if (!display) return false;
    lastTick = std::chrono::steady_clock::now();
    ticked = true;
    ApplyPendingValues();
    IBounds area;
    if (!CollectDirtyArea(area)) return false;
    return DrawDirty(area);
}

bool IGraphicsX11::Idle() {
    if (!display) return false;
    while (display && XPending(display->connection) > 0) {
        XEvent event;
        XNextEvent(display->connection, &event);
        HandleEvent(&event);
    }
    if (!display) return false;
    const auto now = std::chrono::steady_clock::now();
    if (!ticked || now - lastTick >= std::chrono::milliseconds(TimerPeriodMs())) Tick();
    return display != nullptr;
}
