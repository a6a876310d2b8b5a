#include "hostlib/CInstanceRegistry.h"

#include <thread>
#include <utility>

#include "hostlib/CEffectProcess.h"

CInstanceRegistry& CInstanceRegistry::Module() {
    static CInstanceRegistry registry;
    return registry;
}

CInstanceRegistry::~CInstanceRegistry() {
    for (Slot& slot : slots) {
        CEffectProcess* process = slot.process.exchange(nullptr);
        if (!process) continue;
        process->DropHostView();
        delete process;
    }
}

CInstanceRegistry::UiScope::UiScope(CInstanceRegistry& r) : registry(r) {
    registry.lock.lock();
    ++registry.depth;
}

CInstanceRegistry::UiScope::~UiScope() {
    // Deleting runs with the depth still counted, so that routines called
    // from a destructor nest instead of deleting again.
    if (registry.depth == 1) registry.DeleteWithdrawn();
    --registry.depth;
    registry.lock.unlock();
}

CInstanceRegistry::PluginScope::PluginScope(CInstanceRegistry* r) : registry(r) {
    if (!registry) return;
    registry->lock.lock();
    ++registry->depth;
}

CInstanceRegistry::PluginScope::~PluginScope() {
    if (!registry) return;
    --registry->depth;
    registry->lock.unlock();
}

CInstanceRegistry::RenderPin::RenderPin(CInstanceRegistry& registry, PI_Instance instance) {
    Slot* slot = registry.SlotOf(instance);
    if (!slot) return;
    // Raise the pin before reading the handle; Withdraw clears the handle
    // before reading the pins. With both sequentially consistent, either the
    // handle read here is already cleared, or Withdraw sees this pin and waits.
    slot->pins.fetch_add(1, std::memory_order_seq_cst);
    pins = &slot->pins;
    if (slot->handle.load(std::memory_order_seq_cst) != instance) return;
    process = slot->process.load(std::memory_order_acquire);
}

CInstanceRegistry::RenderPin::~RenderPin() {
    if (pins) pins->fetch_sub(1, std::memory_order_seq_cst);
}

CInstanceRegistry::Slot* CInstanceRegistry::SlotOf(PI_Instance instance) {
    if (instance <= 0) return nullptr;
    return &slots[(instance - 1) % kSlots];
}

const CInstanceRegistry::Slot* CInstanceRegistry::SlotOf(PI_Instance instance) const {
    if (instance <= 0) return nullptr;
    return &slots[(instance - 1) % kSlots];
}

PI_Status CInstanceRegistry::Add(std::unique_ptr<CEffectProcess> process, const CEffectGroup* owner,
                                 PI_Instance* out) {
    if (!process || !out) return PI_ErrNullPointer;
    for (int32_t n = 0; n < kSlots; ++n) {
        const int32_t index = (cursor + n) % kSlots;
        Slot& slot = slots[index];
        if (slot.exhausted || slot.withdrawn || slot.process.load(std::memory_order_relaxed)) continue;
        if (slot.nextUse > (INT32_MAX - index - 1) / kSlots) {
            slot.exhausted = true;
            continue;
        }
        const PI_Instance handle = slot.nextUse * kSlots + index + 1;
        ++slot.nextUse;
        slot.owner = owner;
        process->instance = handle;
        process->registry = this;
        slot.process.store(process.release(), std::memory_order_release);
        slot.handle.store(handle, std::memory_order_seq_cst);
        cursor = (index + 1) % kSlots;
        *out = handle;
        return PI_NoErr;
    }
    return PI_ErrOutOfMemory;
}

CEffectProcess* CInstanceRegistry::Find(PI_Instance instance) const {
    const Slot* slot = SlotOf(instance);
    if (!slot || slot->handle.load(std::memory_order_relaxed) != instance) return nullptr;
    return slot->process.load(std::memory_order_relaxed);
}

PI_Status CInstanceRegistry::Remove(PI_Instance instance) {
    Slot* slot = SlotOf(instance);
    if (!slot || slot->handle.load(std::memory_order_relaxed) != instance) return PI_ErrBadInstance;
    Withdraw(*slot);
    if (depth <= 1) TryDelete(*slot);
    return PI_NoErr;
}

void CInstanceRegistry::RemoveAllOwnedBy(const CEffectGroup* owner) {
    UiScope scope(*this);
    for (Slot& slot : slots) {
        if (slot.owner != owner || slot.handle.load(std::memory_order_relaxed) == 0) continue;
        Withdraw(slot);
    }
    // The scope's end deletes them (or its outermost enclosing scope does).
}

int32_t CInstanceRegistry::LiveCount() const {
    int32_t count = 0;
    for (const Slot& slot : slots)
        if (slot.handle.load(std::memory_order_relaxed) != 0) ++count;
    return count;
}

void CInstanceRegistry::Withdraw(Slot& slot) {
    slot.handle.store(0, std::memory_order_seq_cst);
    slot.withdrawn = true;
    slot.withdrawnBy = std::this_thread::get_id();
    if (CEffectProcess* process = slot.process.load(std::memory_order_relaxed)) process->Withdraw();
}

bool CInstanceRegistry::TryDelete(Slot& slot) {
    CEffectProcess* process = slot.process.load(std::memory_order_relaxed);
    if (!slot.withdrawn || !process || process->InHostCallback()) return false;
    if (slot.withdrawnBy != std::this_thread::get_id()) return false;
    // Renders that pinned the slot before its handle was cleared finish their
    // block; no new one can start.
    while (slot.pins.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    slot.process.store(nullptr, std::memory_order_relaxed);
    slot.owner = nullptr;
    slot.withdrawn = false;
    process->DropHostView();
    delete process;
    return true;
}

void CInstanceRegistry::DeleteWithdrawn() {
    // A destructor may withdraw further instances; go round until none is left
    // that can go now.
    bool deleted = true;
    while (deleted) {
        deleted = false;
        for (Slot& slot : slots)
            if (slot.withdrawn && TryDelete(slot)) deleted = true;
    }
}
