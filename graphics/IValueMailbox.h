#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

// Hands normalised values from one or more producer threads (the audio
// thread's meter) to the one consumer thread (the editor's), keeping only the
// latest value per index. Lock-free and wait-free on both sides, no
// allocation: a fixed slot per index, each an atomic value word and an atomic
// "pending" flag. Nothing else is shared between the threads.
//
// Post stores the value, then raises the flag (release). Take lowers the flag
// (acquire) and then reads the value. A Post that lands between the two
// leaves the flag raised with the newest value, so that value is delivered
// again on the next Take: at worst one value is applied twice, none is lost
// for good and no torn value is ever read.
//
// Each slot also counts its posts, so an observer that is not the consumer
// (the command-line tool, which records every block's meter value) can read
// the latest value and tell whether anything was posted since it last looked,
// without taking the value from the editor: Peek.
class IValueMailbox {
public:
    // Indices 0 .. kCapacity - 1 have a slot; values for others are dropped.
    static constexpr int kCapacity = 64;

    // What Peek sees of a slot: the number of posts so far (0: none yet) and
    // the latest value posted (0 before the first).
    struct Reading {
        uint64_t posts = 0;
        double value = 0.0;
    };

    // Any thread. False when index has no slot (the value is dropped).
    bool Post(int index, double value);

    // Consumer thread only. Calls apply(index, value) for every index posted
    // since the last call, in index order, with its latest value.
    template <typename Apply>
    void TakeAll(Apply apply) {
        if (!anyPending.exchange(false, std::memory_order_acquire)) return;
        for (int i = 0; i < kCapacity; ++i) {
            Slot& slot = slots[static_cast<std::size_t>(i)];
            if (!slot.pending.exchange(false, std::memory_order_acquire)) continue;
            apply(i, FromBits(slot.bits.load(std::memory_order_relaxed)));
        }
    }

    // Any thread; takes nothing and never blocks. The value is the one of post
    // number `posts` or of a later one (a Post racing the read may already
    // have stored its value but not yet counted itself); without concurrent
    // posts the two belong together exactly. A slotless index reads as empty.
    Reading Peek(int index) const;

    // Consumer thread: whether anything waits. (A hint; a Post may follow.)
    bool HasPending() const { return anyPending.load(std::memory_order_acquire); }

private:
    struct Slot {
        std::atomic<uint64_t> bits{0};
        std::atomic<bool> pending{false};
        std::atomic<uint64_t> posts{0};
    };
    static uint64_t ToBits(double v);
    static double FromBits(uint64_t bits);

    std::array<Slot, kCapacity> slots{};
    std::atomic<bool> anyPending{false};
};
