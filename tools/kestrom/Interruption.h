#pragma once

#include <ostream>
#include <string>

namespace kestrom::tool {

// The terminating signals a user or the system sends (SIGHUP, SIGINT,
// SIGTERM, SIGQUIT, SIGPIPE), turned into a flag that long-running commands
// poll between blocks, so they stop cleanly, remove their temporary files and
// leave every target untouched instead of dying half-way.
//
// The handlers are installed without SA_RESTART: a blocking call (reading a
// pipe, opening a FIFO that has no reader yet) returns EINTR, and the caller
// sees the flag. SIGPIPE is caught rather than fatal, so a write to a closed
// pipe fails with EPIPE and the flag tells why.
class Interruption {
public:
    // Installs the handlers (main() calls this once).
    static void Install();
    // The first signal received, or 0.
    static int Signal();
    static bool Requested() { return Signal() != 0; }
    // The exit status for an interruption by `signal`: 128 + its number, as
    // the shell reports a process killed by it.
    static int ExitStatus(int signal) { return 128 + signal; }
    // The signal's conventional name ("SIGINT"), or "signal N".
    static const char* Name(int signal);
    // Tells on `err` that the run stopped and `output` was not written, in
    // one line, and returns the exit status for the signal.
    static int Report(std::ostream& err, const std::string& output);
    // For tests: raise the flag as if `signal` had arrived, or clear it (0).
    static void Set(int signal);
};

}  // namespace kestrom::tool
