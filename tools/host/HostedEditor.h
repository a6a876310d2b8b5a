#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostlib/PluginRoutines.h"

namespace kestrom::host {

class HostedPlugin;
class ModuleHost;

// The editor of one hosted plug-in, shown the way a host shows it and
// reached only through the module's routine table: a window of the host's
// own in the platform's window system, a port bound to it in the host's
// extension library, the view rectangle, the host view, and the port
// attached (the plug-in then opens its editor inside that window). The host
// runs the window system's timers as its message pump, clicks through the
// window system's mouse input, sends its draw requests, and reads back what
// the window shows.
//
// Threads: the host's UI thread, the thread that made the object (it owns
// the window). The plug-in and module must outlive it; it detaches the
// editor and destroys its window when it goes.
class HostedEditor {
public:
    // An RGB picture: 3 bytes a pixel, rows top to bottom, no padding.
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<unsigned char> rgb;
    };

    HostedEditor(const ModuleHost& module, const HostedPlugin& plugin);
    ~HostedEditor();
    HostedEditor(const HostedEditor&) = delete;
    HostedEditor& operator=(const HostedEditor&) = delete;

    // Asks for the view rectangle, makes a host window whose client area is
    // clientWidth x clientHeight (0: the editor's own size), binds a port to
    // it, makes the view and attaches the port. False with a one-line message
    // when any step fails (what was made is undone).
    bool Open(std::string& error, int clientWidth = 0, int clientHeight = 0);
    // Detaches the editor from the port (the plug-in closes its window), and
    // attaches it again.
    bool Detach(std::string& error);
    bool Attach(std::string& error);
    // Whether the module says the editor is attached.
    bool IsAttached() const;

    // The host's message pump: runs the window system's timers in 10 ms
    // steps until a quarter of a second passes with nothing painted in the
    // host's window (the editor has drawn what it had to), for at most ten
    // seconds; false when it never settled.
    bool Settle(std::string& error);
    // A left click (press and release) at (x, y) of the editor.
    bool Click(int x, int y, std::string& error);
    // The host's draw request for the whole editor.
    bool RequestDraw(std::string& error);
    // What the host's window shows where the editor is, the editor's size.
    bool Capture(Picture& picture, std::string& error) const;

    // The editor's rectangle as the module answered it (0, 0, height, width).
    const PI_Rect& ViewRect() const { return viewRect_; }
    int Width() const { return viewRect_.right - viewRect_.left; }
    int Height() const { return viewRect_.bottom - viewRect_.top; }
    // The host's window (a window of the platform's window system), or null.
    void* HostWindow() const { return window_; }
    // Where the editor's top-left corner lies in the host window's client
    // area (the embedding's child window); false while none is shown.
    bool EditorOrigin(int& x, int& y) const;
    PI_Status LastStatus() const { return status_; }

private:
    bool Check(PI_Status status, const std::string& what, std::string& error) const;
    void Close();

    const ModuleHost& module_;
    const HostedPlugin& plugin_;
    PI_Rect viewRect_{};
    void* window_ = nullptr;
    intptr_t port_ = 0;
    bool attached_ = false;
    mutable PI_Status status_ = PI_NoErr;
};

}  // namespace kestrom::host
