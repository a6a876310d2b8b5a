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

    bool Open(void* parentWindow, int16_t x, int16_t y) override;
    bool Close() override;
    void Update(int16_t left, int16_t top, int16_t right, int16_t bottom) override;
    void EditorRect(int16_t* left, int16_t* top, int16_t* right, int16_t* bottom) override;

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
