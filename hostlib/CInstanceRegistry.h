#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "hostlib/PluginRoutines.h"

class CEffectGroup;
class CEffectProcess;

// The live instances of the module: PI_Instance handles to the processes the
// host created, which the registry owns.
//
// Handles. A fixed table of kSlots slots; the handle of the n-th use of slot i
// (n from 0) is n * kSlots + i + 1, so a handle is a small positive integer,
// names its slot by itself and is never handed out twice. A slot whose next
// handle would pass 2147483647 is not used again; a full table refuses more
// instances.
//
// Threads and locks. The host's user-interface thread creates, finds and
// destroys instances inside a UiScope, which holds the registry's recursive
// lock for the whole routine: every routine but the render routine runs in
// one, so they never overlap, and a host callback may call routines again on
// the same thread. The audio thread takes no lock: RenderPin reads the slot's
// handle and keeps the slot's pin count raised while it renders (two atomic
// operations, no allocation, no waiting). Destroying an instance first clears
// its slot's handle, so no new render can pin it, then waits (yielding) for
// the renders already in progress to drop their pins, and only then deletes
// the process; a render never sees a deleted process.
//
// Reports from the plug-in side. What the plug-in tells the host by itself
// (an editor gesture or value, outside any routine) runs inside a
// PluginScope: the same lock, so routines the host calls from its callback
// nest, and the host never hears of an instance after it was withdrawn.
//
// Destroying from inside. A host may destroy an instance from inside one of
// its own callbacks, or from a routine nested in another (a host callback
// made by a routine that calls the routine table again). The handle is then
// withdrawn at once: the instance answers PI_ErrBadInstance from then on,
// its callbacks are disconnected and its editor is closed
// (CEffectProcess::InstanceWithdrawn). The process, still running further up
// the stack, is deleted only when an outermost routine ends on the thread
// that withdrew it and no host callback of it is running: a PluginScope's end
// deletes nothing (the plug-in code that reported is still running), and
// another thread's routine may end while that code still runs.
class CInstanceRegistry {
public:
    static constexpr int32_t kSlots = 256;

    CInstanceRegistry() = default;
    CInstanceRegistry(const CInstanceRegistry&) = delete;
    CInstanceRegistry& operator=(const CInstanceRegistry&) = delete;
    // Deletes the processes still registered.
    ~CInstanceRegistry();

    // The registry the routine table uses.
    static CInstanceRegistry& Module();

    // Holds the registry's lock on the user-interface thread. When the
    // outermost scope of a thread ends, the instances withdrawn while it ran
    // are deleted (those whose host callbacks have returned).
    class UiScope {
    public:
        explicit UiScope(CInstanceRegistry& registry);
        ~UiScope();
        UiScope(const UiScope&) = delete;
        UiScope& operator=(const UiScope&) = delete;

    private:
        CInstanceRegistry& registry;
    };

    // Holds the registry's lock around a report the plug-in side makes to the
    // host outside any routine (an editor gesture or value), on the thread
    // that makes it. Nests like a UiScope, but its end deletes no withdrawn
    // instance. A null registry (a process no registry holds) takes nothing.
    class PluginScope {
    public:
        explicit PluginScope(CInstanceRegistry* registry);
        ~PluginScope();
        PluginScope(const PluginScope&) = delete;
        PluginScope& operator=(const PluginScope&) = delete;

    private:
        CInstanceRegistry* registry;
    };

    // Keeps an instance from being deleted while the audio thread renders it.
    // Process() is null when the handle names no live instance.
    class RenderPin {
    public:
        RenderPin(CInstanceRegistry& registry, PI_Instance instance);
        ~RenderPin();
        RenderPin(const RenderPin&) = delete;
        RenderPin& operator=(const RenderPin&) = delete;

        CEffectProcess* Process() const { return process; }

    private:
        std::atomic<int32_t>* pins = nullptr;
        CEffectProcess* process = nullptr;
    };

    // The operations below need a UiScope held by the calling thread.

    // Takes ownership of `process`, made from a type of `owner`, and gives it
    // its handle in *out. PI_ErrOutOfMemory when the table is full (the
    // process is then deleted).
    PI_Status Add(std::unique_ptr<CEffectProcess> process, const CEffectGroup* owner, PI_Instance* out);
    // The live process of `instance`, or null.
    CEffectProcess* Find(PI_Instance instance) const;
    // Withdraws `instance` and deletes its process (now, or as described
    // above). PI_ErrBadInstance for a handle that names no live instance.
    PI_Status Remove(PI_Instance instance);
    // Withdraws and deletes every instance made from a type of `owner`. Takes
    // the lock itself. Called by the group's destructor.
    void RemoveAllOwnedBy(const CEffectGroup* owner);
    // How many instances are live (not withdrawn). A snapshot; any thread.
    int32_t LiveCount() const;

private:
    struct Slot {
        // Read by the audio thread.
        std::atomic<int32_t> handle{0};
        std::atomic<int32_t> pins{0};
        std::atomic<CEffectProcess*> process{nullptr};
        // Used under the lock only.
        const CEffectGroup* owner = nullptr;
        int32_t nextUse = 0;
        bool withdrawn = false;
        std::thread::id withdrawnBy;  // the thread whose routine may delete it
        bool exhausted = false;
    };

    Slot* SlotOf(PI_Instance instance);
    const Slot* SlotOf(PI_Instance instance) const;
    void Withdraw(Slot& slot);
    // Deletes the process of a withdrawn slot when nothing further up the
    // stack can be using it; answers whether it did.
    bool TryDelete(Slot& slot);
    void DeleteWithdrawn();

    mutable std::recursive_mutex lock;
    int32_t depth = 0;  // UiScopes held, under the lock
    int32_t cursor = 0; // where the search for a free slot starts
    Slot slots[kSlots];
};
