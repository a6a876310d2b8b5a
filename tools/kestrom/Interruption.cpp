#include "tools/kestrom/Interruption.h"

#include <csignal>

namespace kestrom::tool {

namespace {

volatile std::sig_atomic_t requested = 0;

void OnSignal(int) { requested = 1; }

}  // namespace

void Interruption::Install() {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
}

bool Interruption::Requested() { return requested != 0; }

void Interruption::Set(bool value) { requested = value ? 1 : 0; }

}  // namespace kestrom::tool
