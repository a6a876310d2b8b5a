#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "graphics/IGraphics.h"

// The window layer for X11 displays, as LV2 hosts on Linux embed editors: the
// editor's window is an X11 child window of the host's window.
//
// OpenWindow(parent) takes the parent as an X11 window id (the value a host
// hands over as its parent widget), opens a connection of its own to the
// display named by DISPLAY and makes a child window the editor's size at the
// parent's top-left corner, named "Kestrom". Every paint copies the back
// buffer's pixels into it unscaled (XPutImage); exposures are repainted from
// the back buffer. There is no thread and no timer here: the host's idle
// calls drive everything (Idle): the window's events are read and turned into
// the editor's mouse dispatch, and the redraw runs FrameRate() times a second
// (Tick, at most once per TimerPeriodMs()).
//
// Mouse: buttons 1 to 3 press (1 left, 3 right, 2 neither), 1 and 3 release;
// the press holds the pointer (X grabs it for the window until the release),
// so motion with a button down drags the control that took the press, and
// motion without one is a mouse-over. A second left press within
// kDoubleClickMs of the first and at most kDoubleClickDistance pixels from it
// in each direction is a double click (a third press starts over). Buttons 4
// and 5 are one wheel notch up and down. Shift, Control and Mod1 (Alt) are the
// modifiers. Leaving the window without a button held is a mouse-out.
//
// This layer has no dialogs, menus or text entries: a popup menu or a file or
// colour dialog counts as cancelled, a text entry does not open, a message
// box answers its default (OK, or No for Yes/No) and no URL opens. The
// compressor's editor uses none of them. Pictures are the ones compiled into
// the binary under their resource ordinals.
//
// Threads: one, the host's user-interface thread: OpenWindow, CloseWindow,
// Idle, Tick and the destructor. Only the plug-in's meter hand-off
// (SetParameterFromPlugin for a non-parameter index) may come from another
// thread. A context whose window never opens never touches the display.
class IGraphicsX11 : public IGraphics {
public:
    // Message box answers and types, with the Windows values.
    enum MessageBox : int { kOk = 1, kYes = 6, kNo = 7, kTypeOk = 0, kTypeYesNo = 4 };
    static constexpr unsigned kDoubleClickMs = 500;
    static constexpr int kDoubleClickDistance = 2;
    static constexpr const char* kWindowName = "Kestrom";

    IGraphicsX11(IPlugBase* plugin, int width, int height, int frameRate = 0);
    ~IGraphicsX11() override;

    // ---- The window-layer operations ----------------------------------------
    // Unless said otherwise: called on the user-interface thread by the
    // context, its controls or this layer, without a lock.

    // Copies area of the back buffer into the window. False while closed.
    // Called at the end of DrawDirty.
    bool PaintToWindow(const IBounds& area) override;
    void CancelTextEntry() override;
    // The context's resize, then the window's. Called by the plug-in's editor
    // code on the user-interface thread.
    void Resize(int w, int h) override;
    int ShowMessageBox(const char* text, const char* caption, int type) override;
    IMenu* ShowPopupMenu(IMenu& menu, const IBounds& area) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& area, const char* text,
                       IPlugParam* param) override;
    void HostDirectory(std::string& out) override;
    void ModuleDirectory(std::string& out) override;
    void DesktopDirectory(std::string& out) override;
    void AppDataDirectory(std::string& out) override;
    void PromptForFile(std::string& path, int action, std::string& directory, const char* extensions) override;
    bool PromptForColour(IRgba& colour, const char* title) override;
    bool OpenURL(const char* url, const char* title, const char* confirmText, const char* failureText) override;
    // Opens the editor's window in the X11 window whose id is parent; answers
    // the new window's id, or null when parent is 0 or no window of the
    // display, the display cannot be opened, or the window cannot be made
    // (then nothing is left open). Reopening closes the old window first.
    // Called by the LV2 UI's instantiation (or a test) on the UI thread.
    void* OpenWindow(void* parent) override;
    // Destroys the window and closes the connection; the controls stay.
    // Called by the LV2 UI's cleanup, the destructor and Idle (the window
    // went with its parent), on the UI thread.
    void CloseWindow() override;
    // The window's id while open, else null. Called by IsWindowOpen and the
    // LV2 UI on the UI thread.
    void* WindowHandle() override;
    // The picture compiled in under id when name ends in ".png" (any case),
    // its header read now and its pixels decoded when first drawn. Called
    // by LoadBitmap under the bitmap cache's lock, on the thread that builds
    // the editor (the plug-in's or the UI's creation).
    std::unique_ptr<LICE_IBitmap> LoadPlatformBitmap(int id, const char* name) override;
    // A FreeType font for style. Called by FindOrCreateFont under the font
    // cache's lock, on the UI thread.
    std::unique_ptr<LICE_IFont> CreatePlatformFont(const ITextStyle& style) override;

    // ---- Driving it -----------------------------------------------------------

    // The host's idle call: handles every event waiting for the window, then
    // runs Tick when TimerPeriodMs() have passed since the last one. False
    // when the window is closed (never opened, closed, or gone with its
    // parent, which closes the editor).
    bool Idle();
    // One redraw: the values handed over from other threads are applied and
    // the dirty controls drawn and painted. True when anything was painted.
    bool Tick();
    // trunc(1000 / frame rate) milliseconds.
    int TimerPeriodMs() const;
    // Whether a press at (x, y) at time ms (the display's clock) makes a
    // double click with the press before it at (lastX, lastY), lastMs.
    static bool IsDoubleClick(unsigned long lastMs, int lastX, int lastY, unsigned long ms, int x, int y);

    int PaintCount() const { return paintCount; }

private:
    struct Display;  // the connection and window (IGraphicsX11.cpp)

    void PaintArea(int left, int top, int right, int bottom);
    void WindowDestroyed();
    // Mouse input (IGraphicsX11Events.cpp).
    void HandleEvent(const void* event);
    void Press(int x, int y, int button, unsigned state, unsigned long ms);
    void Release(int x, int y, int button, unsigned state);
    void Motion(int x, int y, unsigned state);
    void Leave();

    std::unique_ptr<Display> display;
    std::chrono::steady_clock::time_point lastTick;
    bool ticked = false;
    bool buttonDown = false;
    // The last left press that may begin a double click; none after one.
    bool pressPending = false;
    unsigned long pressMs = 0;
    int pressX = 0;
    int pressY = 0;
    int paintCount = 0;
};
