#include "tools/kestrom/Interruption.h"

#include <csignal>

#include <signal.h>

namespace kestrom::tool {

namespace {

volatile std::sig_atomic_t received = 0;

constexpr int kSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGQUIT, SIGPIPE};

// Keeps the first signal: that is the one the exit status reports.
void OnSignal(int signal) {
    if (received == 0) {
        received = signal;
    }
}

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

int Interruption::Signal() { return received; }

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

int Interruption::Report(std::ostream& err, const std::string& output) {
    const int signal = Signal();
    err << "kestrom: interrupted by " << Name(signal) << "; '" << output << "' not written" << std::endl;
    return ExitStatus(signal);
}

void Interruption::Set(int signal) { received = signal; }

}  // namespace kestrom::tool
