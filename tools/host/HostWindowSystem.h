#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrom::host {

// The host's own top-level window in the platform's window system, the one
// a plug-in opens its editor in, and what a host does with it: run the
// message pump until the editor has drawn, click into it, read its pixels.
// One implementation per platform, each in a file of its own: the
// display-less window system on Linux, USER32 and GDI32 on Windows.
// Windows are opaque handles; every call on the thread that made the window.
class HostWindowSystem {
public:
    // A visible top-level window whose client area is width x height, or
    // null with a one-line message.
    static void* Create(int width, int height, std::string& error);
    static void Destroy(void* window);
    // The top-left corner of the window's first child (the embedding's child
    // window, which holds the editor) in the window's client area; false
    // while it has none.
    static bool FirstChildOrigin(void* window, int& x, int& y);
    // The message pump: runs until a quarter of a second passes with nothing
    // new drawn in the window (the editor has drawn what it had to), for at
    // most ten seconds; false with a message when it never settled.
    static bool Settle(void* window, std::string& error);
    // A left click (press and release) at (x, y) of the window's client area,
    // delivered to the deepest window there as the window system's mouse input.
    static bool Click(void* window, int x, int y, std::string& error);
    // What the window shows in width x height at (left, top) of its client
    // area: 0x00RRGGBB pixels, rows top to bottom.
    static bool Capture(void* window, int left, int top, int width, int height, std::vector<uint32_t>& pixels,
                        std::string& error);
};

}  // namespace kestrom::host
