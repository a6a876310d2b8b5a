#include "graphics/headless/IGraphicsHeadless.h"
#include "graphics/platform/posix/PosixPlatform.h"

#include <cctype>
#include <cstring>
#include <string>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_FontDescription.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_PngBitmap.h"
#include "graphics/LICE_Shapes.h"

// The virtual window: screen, timer, injected events, pictures and fonts.

namespace {
constexpr int kRowAlign = 4;
}  // namespace

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plug, int w, int h, int rate) : IGraphics(plug, w, h, rate) {}

IGraphicsHeadless::~IGraphicsHeadless() { CloseWindow(); }

void* IGraphicsHeadless::OpenWindow(void* parent) {
    // Reopening keeps the size: the screen is always the editor's.
    CloseWindow();
    screen = std::make_unique<LICE_MemBitmap>(Width(), Height(), kRowAlign);
    if (screen->Width() != Width() || screen->Height() != Height()) {
        screen.reset();
        return nullptr;
    }
    LICE::Clear(screen.get(), 0);
    if (parent != nullptr && !OpenSystemWindow(parent)) {
        screen.reset();
        return nullptr;
    }
    BindToCallingThread();
    MarkAllControlsDirty();
    return WindowHandle();
}

void IGraphicsHeadless::CloseWindow() {
    if (!screen) return;
    CloseEntry();
    CloseSystemWindow();
    UnbindThread();
    screen.reset();
    fullRepaintPending = false;
    buttonDown = false;
}

void* IGraphicsHeadless::WindowHandle() { return window != nullptr ? window : screen.get(); }

LICE_IBitmap* IGraphicsHeadless::Screen() const { return screen.get(); }

IRgba IGraphicsHeadless::ScreenPixel(int x, int y) const {
    return IRgba::FromPacked(LICE::GetPixel(screen.get(), x, y));
}

bool IGraphicsHeadless::PaintToWindow(const IBounds& area) {
    if (!screen) return false;
    LICE::Blit(screen.get(), BackBuffer(), area.left, area.top, area.left, area.top, area.Width(), area.Height(),
               1.0f, LICE::ModeCopy);
    PaintSystemWindow(area);
    ++paintCount;
    lastPainted = area;
    return true;
}

void IGraphicsHeadless::Resize(int w, int h) {
    if (w == Width() && h == Height()) return;
    IGraphics::Resize(w, h);
    if (screen) {
        screen->Resize(w, h);
        LICE::Clear(screen.get(), 0);
        ResizeSystemWindow();
        fullRepaintPending = true;
    }
}

int IGraphicsHeadless::TimerPeriodMs() const { return static_cast<int>(1000.0 / FrameRate()); }

bool IGraphicsHeadless::Tick() {
    if (!screen) return false;
    if (entry.open && entry.action != EntryAction::kNone) {
        FinishEntry();
        return false;
    }
    ApplyPendingValues();
    IBounds area;
    const bool dirty = CollectDirtyArea(area);
    if (fullRepaintPending) {
        // The whole editor was invalidated (after a menu or a resize).
        fullRepaintPending = false;
        area = IBounds(0, 0, Width(), Height());
    } else if (!dirty) {
        return false;
    }
    return DrawDirty(area);
}

void IGraphicsHeadless::MouseDown(int x, int y, const IMouseState& state) {
    pointerX = x;
    pointerY = y;
    if (entry.open) {
        // A click elsewhere while the entry has the keyboard closes it unapplied.
        entry.action = EntryAction::kCancel;
        return;
    }
    buttonDown = true;
    DispatchMouseDown(x, y, state);
}

void IGraphicsHeadless::MouseUp(int x, int y, const IMouseState& state) {
    pointerX = x;
    pointerY = y;
    if (entry.open) return;
    buttonDown = false;
    DispatchMouseUp(x, y, state);
}

void IGraphicsHeadless::MouseMove(int x, int y, const IMouseState& state) {
    pointerX = x;
    pointerY = y;
    if (entry.open) return;
    if (state.left || state.right) {
        if (buttonDown) DispatchMouseDrag(x, y, state);
        return;
    }
    DispatchMouseOver(x, y, state);
}

void IGraphicsHeadless::DoubleClick(int x, int y, const IMouseState& state) {
    pointerX = x;
    pointerY = y;
    if (entry.open) return;
    if (DispatchDoubleClick(x, y, state)) buttonDown = true;
}

void IGraphicsHeadless::MouseLeave() {
    if (!entry.open) DispatchMouseOut();
}

void IGraphicsHeadless::Wheel(int x, int y, const IMouseState& state, int notches) {
    if (entry.open) {
        entry.action = EntryAction::kCancel;
        return;
    }
    DispatchWheel(x, y, state, notches);
}

bool IGraphicsHeadless::Key(int x, int y, int code) {
    if (entry.open || code < 0) return false;
    return DispatchKey(x, y, code);
}

int IGraphicsHeadless::KeyCodeFor(char c) {
    if (c == ' ') return kKeySpace;
    if (c >= '0' && c <= '9') return kKeyDigit0 + (c - '0');
    if (c >= 'A' && c <= 'Z') return kKeyLetterA + (c - 'A');
    if (c >= 'a' && c <= 'z') return kKeyLetterA + (c - 'a');
    return -1;
}

void IGraphicsHeadless::Click(int x, int y, const IMouseState& state) {
    MouseDown(x, y, state);
    MouseUp(x, y, state);
}

void IGraphicsHeadless::Click(int x, int y) {
    IMouseState left;
    left.left = true;
    Click(x, y, left);
}

void IGraphicsHeadless::Drag(int fromX, int fromY, int toX, int toY, int steps, const IMouseState& state) {
    MouseDown(fromX, fromY, state);
    if (steps < 1) steps = 1;
    for (int i = 1; i <= steps; ++i)
        MouseMove(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps, state);
    MouseUp(toX, toY, state);
}

void IGraphicsHeadless::HideCursor() {
    if (cursorHidden) return;
    savedCursorX = pointerX;
    savedCursorY = pointerY;
    cursorHidden = true;
}

void IGraphicsHeadless::RestoreCursor() {
    if (!cursorHidden) return;
    pointerX = savedCursorX;
    pointerY = savedCursorY;
    cursorHidden = false;
}

std::unique_ptr<LICE_IBitmap> IGraphicsHeadless::LoadPlatformBitmap(int id, const char* name) {
    return PosixPlatform::LoadPicture(id, name);
}

std::unique_ptr<LICE_IFont> IGraphicsHeadless::CreatePlatformFont(const ITextStyle& style) {
    return PosixPlatform::CreateFont(style);
}
