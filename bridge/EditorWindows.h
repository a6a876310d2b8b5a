#pragma once

#include <cstdint>

// The platform's windows as the editor embedding needs them: a window class
// for the child window the editor lives in, the client rectangle of the
// host's window, child windows with position and size, and destroying them.
// One implementation per platform; all calls on the host's UI thread.
class EditorWindows {
public:
    struct Rect {
        int32_t left = 0, top = 0, right = 0, bottom = 0;
    };
    // The system error a second registration of one class gives.
    static constexpr uint32_t kClassAlreadyExists = 1410;

    // Registers the editor's child window class for `moduleInstance`: 0, or
    // the system's error code (kClassAlreadyExists when it exists).
    static uint32_t RegisterChildClass(void* moduleInstance);
    // The client rectangle of `window`; false (rect empty) when it is no window.
    static bool ClientRect(void* window, Rect& rect);
    // A visible child of `parent` at (x, y) of width × height, of the class
    // registered for `moduleInstance`: its handle, or null with the system's
    // error code in `error`.
    static void* CreateChild(void* moduleInstance, void* parent, int32_t x, int32_t y, int32_t width, int32_t height,
                             uint32_t& error);
    // Shows the child, has it repainted.
    static void Show(void* child);
    static bool Destroy(void* child);
};
