#pragma once

#include <cstdint>

#include "bridge/EditorInterface.h"
#include "bridge/EditorWindows.h"

class IGraphics;
class IPlugRTAS;

// The editor interface of the real-time bridge: a plain child window inside
// the host's window, at the bottom of the host's client area and centred
// across it, in which the plug-in's editor opens its own window. Created by
// the process on the host's first size or view request; UI thread.
class IPlugCustomUI : public EditorInterface {
public:
    // Registers the child window class (a second registration counts as
    // success). Throws the system's error code (uint32_t) when it fails.
    explicit IPlugCustomUI(ProcessInterface* process);
    ~IPlugCustomUI() override;

    // Makes the child window in parentWindow (closing an earlier one first)
    // and opens the editor's window in it. False when parentWindow is null or
    // the editor cannot open its window (then no child is left); throws the
    // system's error code (uint32_t) when the child cannot be made. Called by
    // the process when the host attaches a port, on the host's UI thread; no
    // lock.
    bool Open(void* parentWindow, int16_t x, int16_t y) override;
    // Closes the editor's window and destroys the child; false when none is
    // open. Called by the process on detach and before a resize, same thread;
    // no lock.
    bool Close() override;
    // Marks every editor control dirty; draws nothing. Called by the host
    // view's draw request and after an attach, same thread; no lock.
    void Update(int16_t left, int16_t top, int16_t right, int16_t bottom) override;
    // 0, 0, the editor's width and height. Called by the process for the
    // host's size and view requests, same thread; no lock.
    void EditorRect(int16_t* left, int16_t* top, int16_t* right, int16_t* bottom) override;

    // The open child window, or null.
    void* ChildWindow() const { return childWindow; }
    int32_t VerticalSlack() const { return verticalSlack; }
    int32_t ParentWidth() const { return parentWidth; }

    // Where the child goes in a client area `client` for an editor `rect`:
    // x = rect.left when as wide as the client, else (client width - editor
    // width) / 2 truncated towards zero; y = client top + the vertical slack.
    static void Placement(const EditorWindows::Rect& client, const EditorWindows::Rect& rect, int32_t& x,
                          int32_t& y);

private:
    void* moduleInstance = nullptr;
    void* parentWindow = nullptr;
    void* childWindow = nullptr;
    int32_t verticalSlack = 0;
    int32_t parentWidth = 0;
    EditorWindows::Rect rect;
    IPlugRTAS* plugin = nullptr;
    IGraphics* editor = nullptr;
};
