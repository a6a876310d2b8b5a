// The tool's interruption on Linux: the terminating signals. Built only by
// the native build (tools/CMakeLists.txt).
#include <csignal>

#include <signal.h>

#include "tools/kestrom/Interruption.h"

namespace kestrom::tool {

namespace {

constexpr int kSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGQUIT, SIGPIPE};

void OnSignal(int signal) { Interruption::Record(signal); }

}  // namespace

void Interruption::Install() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: blocking calls return EINTR
    for (int signal : kSignals) {
        struct sigaction previous {};
        // A signal ignored by whoever started us (nohup, a shell's trap) stays
        // ignored, except SIGPIPE: a closed pipe must fail the write, not go unnoticed.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN && signal != SIGPIPE) {
            continue;
        }
        sigaction(signal, &action, nullptr);
    }
}

const char* Interruption::Name(int signal) {
    switch (signal) {
        case SIGHUP:
            return "SIGHUP";
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGQUIT:
            return "SIGQUIT";
        case SIGPIPE:
            return "SIGPIPE";
        default:
            return "a signal";
    }
}

}  // namespace kestrom::tool
