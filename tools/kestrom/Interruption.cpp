#include "tools/kestrom/Interruption.h"

#include <atomic>

namespace kestrom::tool {

namespace {

// Lock-free, so a signal handler may set it; the console handler on Windows
// runs on a thread of its own.
std::atomic<int> received{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from signal handlers");

}  // namespace

void Interruption::Record(int signal) {
    int none = 0;
    received.compare_exchange_strong(none, signal);
}

int Interruption::Signal() { return received.load(); }

int Interruption::Report(std::ostream& err, const std::string& output) {
    const int signal = Signal();
    err << "kestrom: interrupted by " << Name(signal) << "; '" << output << "' not written" << std::endl;
    return ExitStatus(signal);
}

void Interruption::Set(int signal) { received.store(signal); }

}  // namespace kestrom::tool
