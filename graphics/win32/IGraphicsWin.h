#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/IGraphics.h"

// The editor's window on Windows: a child window of class "IPlugWndClass"
// inside the window the host bridge gives (OpenWindow). A window timer (ID 2,
// trunc(1000 / frame rate) ms) collects the dirty controls and repaints them;
// painting copies the back buffer's DIB section to the window. Window
// messages become the context's mouse and key dispatch. The layer also makes
// the in-place text entry (an "EDIT" child), popup menus, tooltips, message
// boxes, file and colour dialogs, opens links, names folders and loads the
// module's "PNG" resources.
//
// The Win32 types stay in the .cpp files: handles are held here as void*.
//
// Module-wide state: the number of open editor windows (the class is
// registered while it is above 0) and the frame rate of the window being
// created, read by its creation message.
//
// Threads: one, the thread that owns the window (the host's user-interface
// thread): OpenWindow, CloseWindow, the window's messages, its timer and the
// destructor all run there. Only the plug-in's meter hand-off
// (SetParameterFromPlugin for a non-parameter index) comes from the audio
// thread; the timer applies it.
class IGraphicsWin : public IGraphics {
public:
    // Text entry states.
    enum EntryState : int32_t { kEntryIdle = 0, kEntryFocused = 1, kEntryRedrawn = 2, kEntryCancel = 3,
                                kEntryCommit = 4 };
    // Window-layer key codes (what DispatchKey receives).
    enum Key : int { kKeySpace = 0, kKeyUp = 1, kKeyDown = 2, kKeyLeft = 3, kKeyRight = 4, kKeyDigit0 = 5,
                     kKeyLetterA = 15 };
    static constexpr unsigned kRedrawTimerId = 2;
    static constexpr int kEntryControlId = 99;
    static constexpr const char* kWindowClass = "IPlugWndClass";

    IGraphicsWin(IPlugBase* plugin, int width, int height, int frameRate = 0);
    // CloseWindow, then the context's destructor. Called by the plug-in that
    // owns the editor, on the window's thread.
    ~IGraphicsWin() override;

    // The module whose class, resources and path the layer uses (an
    // HINSTANCE). Set by the editor factory right after construction.
    void SetInstance(void* moduleInstance) { instance = moduleInstance; }
    void* Instance() const { return instance; }

    // ---- The window-layer operations ----------------------------------------
    // Unless said otherwise: called on the window's thread by the context,
    // its controls, the host bridge or the window procedure, without a lock.

    // Copies area of the back buffer to the window inside a paint cycle.
    // Called by DrawDirty from the paint message.
    bool PaintToWindow(const IBounds& area) override;
    // Asks the timer to close the entry without applying it.
    void CancelTextEntry() override;
    // The context's resize, then the window's (and, for hosts that need it,
    // up to two ancestors') size; the whole editor is repainted.
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
    // Makes the editor's window in parent (an HWND) and answers it, or null
    // when it cannot be made. Opening again while open moves the editor into
    // the new parent, keeping its size and its position relative to the
    // parent. Called by the host bridge (IPlugCustomUI::Open).
    void* OpenWindow(void* parent) override;
    // Destroys the tooltip and the window; the class goes with the module's
    // last editor window. The controls stay. Called by the host bridge, the
    // window's close message and the destructor.
    void CloseWindow() override;
    void* WindowHandle() override { return window; }
    void HideCursor() override;
    void RestoreCursor() override;
    // The module's "PNG" resource id, when name ends in ".png" (any case).
    // Called by LoadBitmap under the bitmap cache's lock.
    std::unique_ptr<LICE_IBitmap> LoadPlatformBitmap(int id, const char* name) override;
    // A GDI font for style in a cached font. Called by FindOrCreateFont under
    // the font cache's lock.
    std::unique_ptr<LICE_IFont> CreatePlatformFont(const ITextStyle& style) override;

    // ---- What it shows --------------------------------------------------------

    // Copies to the window so far (each PaintToWindow).
    int PaintCount() const { return paintCount; }
    // The in-place text entry's window (an HWND), or null.
    void* EntryWindow() const { return entryWindow; }
    int32_t EntryState() const { return entryState; }
    // The tooltip window (an HWND), or null when tooltips are off.
    void* TooltipWindow() const { return tooltipWindow; }
    // The number of open editor windows of this module.
    static int OpenWindowCount();
    // trunc(1000 / frame rate), the redraw timer's period in ms.
    int TimerPeriodMs() const;
    // The window-layer code of a virtual key, or -1 when it has none.
    static int TranslateKey(unsigned virtualKey);
    // Whether the entry for a parameter of kind paramKind (-1: no
    // parameter) lets character c through as it is typed.
    static bool EntryAccepts(int paramKind, unsigned c);

private:
    friend struct IGraphicsWinEvents;

    // IGraphicsWin.cpp
    void WindowGone();
    void Redraw();
    // IGraphicsWinTextEntry.cpp
    void RemoveEntry();
    void FinishEntry();
    // IGraphicsWinServices.cpp
    void* MainWindow();
    void HideTooltip();

    void* instance = nullptr;      // HINSTANCE
    void* window = nullptr;        // HWND
    void* entryWindow = nullptr;   // HWND of the "EDIT" child
    void* tooltipWindow = nullptr; // HWND
    IControl* entryControl = nullptr;
    IPlugParam* entryParam = nullptr;
    void* entryOldProc = nullptr;  // WNDPROC
    void* entryFont = nullptr;     // HFONT, deleted with the entry
    int32_t entryState = kEntryIdle;
    bool tooltipShown = false;
    int32_t tooltipIndex = -1;
    std::unique_ptr<uint32_t[]> customColours;  // COLORREF[16]
    uint32_t processId = 0;
    void* hostParent = nullptr;  // HWND given to OpenWindow
    void* mainWindow = nullptr;  // HWND of the host's top-level window
    std::string mainWindowClass;
    bool closing = false;  // CloseWindow is destroying the window
    int paintCount = 0;
};
