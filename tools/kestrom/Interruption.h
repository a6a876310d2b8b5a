#pragma once

namespace kestrom::tool {

// Ctrl-C and termination requests, turned into a flag that long-running
// commands poll between blocks, so they can stop cleanly and remove their
// unfinished output instead of dying half-way.
class Interruption {
public:
    // Installs handlers for SIGINT and SIGTERM (main() calls this once).
    static void Install();
    static bool Requested();
    // For tests: raise or clear the flag by hand.
    static void Set(bool requested);
};

}  // namespace kestrom::tool
