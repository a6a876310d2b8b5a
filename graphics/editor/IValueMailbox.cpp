#include "graphics/IValueMailbox.h"

#include <cstring>

static_assert(std::atomic<uint64_t>::is_always_lock_free, "the mailbox must not take a lock");
static_assert(std::atomic<bool>::is_always_lock_free, "the mailbox must not take a lock");

bool IValueMailbox::Post(int index, double value) {
    if (index < 0 || index >= kCapacity) return false;
    Slot& slot = slots[static_cast<std::size_t>(index)];
    slot.bits.store(ToBits(value), std::memory_order_relaxed);
    // Counted after the value is stored (release): a Peek that sees the count
    // sees this value or a newer one.
    slot.posts.fetch_add(1, std::memory_order_release);
    slot.pending.store(true, std::memory_order_release);
    anyPending.store(true, std::memory_order_release);
    return true;
}

IValueMailbox::Reading IValueMailbox::Peek(int index) const {
    Reading reading;
    if (index < 0 || index >= kCapacity) return reading;
    const Slot& slot = slots[static_cast<std::size_t>(index)];
    reading.posts = slot.posts.load(std::memory_order_acquire);
    reading.value = FromBits(slot.bits.load(std::memory_order_relaxed));
    return reading;
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
