#pragma once

#include <windows.h>

// Runs this thread's messages (timers, paints, posted input) for about ms
// milliseconds, as a host's message loop would between the test's steps.
inline void Pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(1);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}
