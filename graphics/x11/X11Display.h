#pragma once

// The X11 side of IGraphicsX11, for its own sources only: the connection and
// the window it holds while the editor is open.
#include <X11/Xlib.h>

#include "graphics/x11/IGraphicsX11.h"

struct IGraphicsX11::Display {
    ::Display* connection = nullptr;  // our own, to the display named by DISPLAY
    ::Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    bool direct = false;  // the back buffer's pixel words are the visual's
    bool gone = false;    // destroyed with its parent
};
