#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IGraphics.h"

class LICE_MemBitmap;

// The window layer for machines without a display: the stand-in for the
// Windows editor window in tests and in the command-line tool.
//
// "Opening the window" makes a virtual screen, a memory bitmap the size of
// the editor that PaintToWindow copies the back buffer into, exactly as the
// Windows layer copies it to its window. Without a parent window the caller
// drives the redraw timer (Tick, meant to run FrameRate() times a second) and
// injects mouse, wheel and key events in editor pixels. Given a parent window
// of the platform's display-less window system (the host's window, or a
// child the host bridge made in it), the editor also makes its own window
// there, the editor's size at the parent's top-left corner: that window's
// timer runs Tick at the frame rate, its mouse messages reach the same mouse
// handling as the calls below, and every paint is copied to its surface too.
// The window system's calls stay in this layer's sources. Dialogs, popup menus and the in-place text
// entry take their answers from queues the caller fills beforehand; without
// an answer a menu or dialog counts as cancelled and a text entry stays open
// until a click or CancelTextEntry closes it. Pictures come from the ones
// compiled into the binary under their resource ordinals; loading one reads
// its header, drawing it the first time decodes it (LICE_PngBitmap).
//
// Threads: like every window layer, it runs on one thread, the editor's:
// Tick and the event calls must come from the same thread, and with a parent
// window that is the thread that owns the window (the window system runs
// its timer and mouse messages there). Only the
// plug-in's meter hand-off (SetParameterFromPlugin for a non-parameter index)
// may come from another thread.
class IGraphicsHeadless : public IGraphics {
public:
    // Window-layer key codes (what DispatchKey receives).
    enum Key : int { kKeySpace = 0, kKeyUp = 1, kKeyDown = 2, kKeyLeft = 3, kKeyRight = 4, kKeyDigit0 = 5,
                     kKeyLetterA = 15 };
    // Message box answers and types, with the Windows values.
    enum MessageBox : int { kOk = 1, kCancel = 2, kYes = 6, kNo = 7, kTypeOk = 0, kTypeYesNo = 4 };

    IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate = 0);
    ~IGraphicsHeadless() override;

    // ---- The window-layer operations ----------------------------------------
    bool PaintToWindow(const IBounds& area) override;
    void CancelTextEntry() override;
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
    // Opens the screen and, when parent is not null, the editor's window in
    // it; answers that window (or the screen without a parent), or null when
    // the parent is no window of the window system or the window cannot be
    // made. Reopening closes the old window first. Called by the host bridge
    // or the caller on the editor's thread; no lock.
    void* OpenWindow(void* parent) override;
    // Closes the screen and destroys the editor's window, if any. Same
    // callers, also the destructor.
    void CloseWindow() override;
    // The editor's window when it has one, else the screen, else null.
    // Called by IsWindowOpen, the host bridge and the caller on the editor's
    // thread; no lock.
    void* WindowHandle() override;
    void HideCursor() override;
    void RestoreCursor() override;
    std::unique_ptr<LICE_IBitmap> LoadPlatformBitmap(int id, const char* name) override;
    std::unique_ptr<LICE_IFont> CreatePlatformFont(const ITextStyle& style) override;

    // ---- Driving it -----------------------------------------------------------

    // One tick of the redraw timer. A text entry that was committed or
    // cancelled is finished first, and nothing is drawn on that tick.
    // Otherwise the values handed over from other threads are applied, the
    // dirty controls collected and drawn, and the dirty area painted to the
    // screen. True when anything was painted. Nothing happens while the
    // window is closed.
    bool Tick();
    // The timer's period: trunc(1000 / frame rate) milliseconds.
    int TimerPeriodMs() const;

    // Mouse events in editor pixels. A press captures the mouse until the
    // release; a move with a button down drags the captured control, a move
    // without one is a mouse-over. While a text entry is open a press closes
    // it without applying it and goes no further.
    void MouseDown(int x, int y, const IMouseState& state);
    void MouseUp(int x, int y, const IMouseState& state);
    void MouseMove(int x, int y, const IMouseState& state);
    void DoubleClick(int x, int y, const IMouseState& state);
    void MouseLeave();
    // notches > 0 turns the wheel up. While a text entry is open it cancels it.
    void Wheel(int x, int y, const IMouseState& state, int notches);
    // A key at the pointer position (x, y); false when no control took it.
    bool Key(int x, int y, int code);
    // The key code of a character ('0'-'9', letters, space), or -1.
    static int KeyCodeFor(char c);
    // A click: press and release.
    void Click(int x, int y, const IMouseState& state);
    void Click(int x, int y);
    // Press at from, move to `to` in `steps` equal moves, release.
    void Drag(int fromX, int fromY, int toX, int toY, int steps, const IMouseState& state);

    // ---- Answers for dialogs, menus and text entry ---------------------------

    // The next popup menu picks the item with this command number (depth
    // first over the menu and its submenus, from 0); -1 dismisses it.
    void QueueMenuChoice(int commandId) { menuChoices.push_back(commandId); }
    // The next text entry receives this text, typed character by character
    // (characters the entry refuses are dropped) and committed with Return.
    void QueueTypedText(const std::string& text) { typedTexts.push_back(text); }
    void QueueMessageBoxAnswer(int answer) { messageBoxAnswers.push_back(answer); }
    void QueueFileChoice(const std::string& path) { fileChoices.push_back(path); }
    void QueueColourChoice(IRgba colour) { colourChoices.push_back(colour); }
    // Whether opening a URL succeeds (default: it fails, there is no browser).
    void SetUrlsOpen(bool open) { urlsOpen = open; }

    // Types into the open entry (as QueueTypedText would) and commits it.
    void EnterText(const std::string& text);

    // ---- What it shows ----------------------------------------------------------

    // The virtual screen: what the window would show, or null while closed.
    LICE_IBitmap* Screen() const;
    IRgba ScreenPixel(int x, int y) const;
    int PaintCount() const { return paintCount; }
    const IBounds& LastPaintedArea() const { return lastPainted; }

    bool IsTextEntryOpen() const { return entry.open; }
    const std::string& TextEntryText() const { return entry.text; }
    const IBounds& TextEntryArea() const { return entry.area; }
    IControl* TextEntryControl() const { return entry.control; }
    // The items of the last popup menu as shown (numbering applied), depth first.
    const std::vector<std::string>& LastMenuItems() const { return lastMenuItems; }
    const std::vector<int>& LastMenuFlags() const { return lastMenuFlags; }
    const IBounds& LastMenuArea() const { return lastMenuArea; }
    int MenusShown() const { return menusShown; }
    const std::vector<std::string>& MessagesShown() const { return messagesShown; }
    const std::vector<std::string>& UrlsRequested() const { return urlsOpened; }
    bool CursorHidden() const { return cursorHidden; }

    // Whether the entry for a parameter of kind paramKind (-1: a control
    // without parameter) lets character c through.
    static bool EntryAccepts(int paramKind, char c);

private:
    enum class EntryAction { kNone, kCommit, kCancel };
    struct Entry {
        bool open = false;
        EntryAction action = EntryAction::kNone;
        IControl* control = nullptr;
        IPlugParam* param = nullptr;
        IBounds area;
        std::string text;
    };

    void TypeIntoEntry(const std::string& typed);
    void FinishEntry();
    void CloseEntry();

    // The editor's window in the window system (IGraphicsHeadlessWindow.cpp).
    friend struct HeadlessWindowEvents;
    bool OpenSystemWindow(void* parent);
    void CloseSystemWindow();
    void PaintSystemWindow(const IBounds& area);
    void ResizeSystemWindow();
    // The window went without CloseWindow (its parent was destroyed): the
    // editor is closed.
    void SystemWindowDestroyed();

    std::unique_ptr<LICE_MemBitmap> screen;
    void* window = nullptr;  // the editor's window in the window system, or null
    Entry entry;
    bool fullRepaintPending = false;
    bool buttonDown = false;
    int pointerX = 0;
    int pointerY = 0;
    int paintCount = 0;
    IBounds lastPainted;

    std::deque<int> menuChoices;
    std::deque<std::string> typedTexts;
    std::deque<int> messageBoxAnswers;
    std::deque<std::string> fileChoices;
    std::deque<IRgba> colourChoices;
    bool urlsOpen = false;

    std::vector<std::string> lastMenuItems;
    std::vector<int> lastMenuFlags;
    IBounds lastMenuArea;
    int menusShown = 0;
    std::vector<std::string> messagesShown;
    std::vector<std::string> urlsOpened;
};
