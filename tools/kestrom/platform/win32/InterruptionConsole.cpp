// The tool's interruption on Windows: a console control handler, which the
// system runs on a thread of its own. Built only by Windows builds
// (tools/CMakeLists.txt).
#include <windows.h>

#include <csignal>

#include "tools/kestrom/Interruption.h"

namespace kestrom::tool {

namespace {

BOOL WINAPI OnControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            Interruption::Record(SIGINT);
            return TRUE;
        case CTRL_BREAK_EVENT:
            Interruption::Record(SIGBREAK);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            // The system ends the process as soon as this returns (or after
            // its own grace period): wait here while the command removes its
            // temporary files and returns from main, which ends the process.
            Interruption::Record(SIGTERM);
            Sleep(INFINITE);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void Interruption::Install() { SetConsoleCtrlHandler(OnControl, TRUE); }

const char* Interruption::Name(int signal) {
    switch (signal) {
        case SIGINT:
            return "Ctrl+C";
        case SIGBREAK:
            return "Ctrl+Break";
        case SIGTERM:
            return "the console closing";
        default:
            return "a signal";
    }
}

}  // namespace kestrom::tool
