#pragma once

#include <ostream>
#include <string>

namespace kestrom::tool {

// The requests to stop that a user or the system sends, turned into a flag
// that long-running commands poll between blocks, so they stop cleanly,
// remove their temporary files and leave every target untouched instead of
// dying half-way. Each platform's part (Install, Name) is in a file of its own:
//
// - Linux: the terminating signals (SIGHUP, SIGINT, SIGTERM, SIGQUIT,
//   SIGPIPE). The handlers are installed without SA_RESTART: a blocking call
//   (reading a pipe, opening a FIFO that has no reader yet) returns EINTR,
//   and the caller sees the flag. SIGPIPE is caught rather than fatal, so a
//   write to a closed pipe fails with EPIPE and the flag tells why.
// - Windows: a console control handler. Ctrl+C counts as SIGINT, Ctrl+Break
//   as SIGBREAK, and the console closing, the user logging off or the system
//   shutting down as SIGTERM; for those three the handler holds the system
//   back (it ends the process when the handler returns) while the command
//   cleans up.
class Interruption {
public:
    // Installs the handlers (main() calls this once).
    static void Install();
    // Keeps `signal` unless one was received before: the first is the one the
    // exit status reports. The handlers call it; safe in a signal handler and
    // from any thread.
    static void Record(int signal);
    // The first signal received, or 0.
    static int Signal();
    static bool Requested() { return Signal() != 0; }
    // The exit status for an interruption by `signal`: 128 + its number, as
    // the shell reports a process killed by it.
    static int ExitStatus(int signal) { return 128 + signal; }
    // The signal's conventional name ("SIGINT"; on Windows what the user did,
    // "Ctrl+C"), or "a signal".
    static const char* Name(int signal);
    // Tells on `err` that the run stopped and `output` was not written, in
    // one line, and returns the exit status for the signal.
    static int Report(std::ostream& err, const std::string& output);
    // For tests: raise the flag as if `signal` had arrived, or clear it (0).
    static void Set(int signal);
};

}  // namespace kestrom::tool
