#include "graphics/IValueMailbox.h"

#include <cstring>

static_assert(std::atomic<uint64_t>::is_always_lock_free, "the mailbox must not take a lock");
static_assert(std::atomic<bool>::is_always_lock_free, "the mailbox must not take a lock");

bool IValueMailbox::Post(int index, double value) {
    if (index < 0 || index >= kCapacity) return false;
    Slot& slot = slots[static_cast<std::size_t>(index)];
    slot.bits.store(ToBits(value), std::memory_order_relaxed);
    slot.pending.store(true, std::memory_order_release);
    anyPending.store(true, std::memory_order_release);
    return true;
}

uint64_t IValueMailbox::ToBits(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

double IValueMailbox::FromBits(uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
