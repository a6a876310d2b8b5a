#pragma once

#include <cstdint>

// The window procedures of the editor's window and of its text entry, inside
// the Win32 window layer (IGraphicsWin's friend). Handles are void* and the
// message parameters plain integers here; the .cpp files turn them into the
// Win32 types. Called by the system on the window's thread, no lock held.
struct IGraphicsWinEvents {
    // The editor window's procedure (IGraphicsWinMessages.cpp).
    static intptr_t Window(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);
    // The entry's subclass procedure (IGraphicsWinTextEntry.cpp).
    static intptr_t Entry(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);
    // The two as WNDPROC values, for the class and the subclassing.
    static void* WindowProcedure();
    static void* EntryProcedure();
    // The frame rate of the window being created (IGraphicsWin.cpp).
    static int CreatingFrameRate();
};
