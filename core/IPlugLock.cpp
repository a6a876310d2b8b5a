#include "core/IPlugLock.h"

#include <new>

#ifdef _WIN32
#include <windows.h>
using NativeLock = CRITICAL_SECTION;
static void NativeInit(NativeLock* l) { InitializeCriticalSection(l); }
static void NativeDestroy(NativeLock* l) { DeleteCriticalSection(l); }
static void NativeEnter(NativeLock* l) { EnterCriticalSection(l); }
static void NativeLeave(NativeLock* l) { LeaveCriticalSection(l); }
#else
#include <mutex>
using NativeLock = std::recursive_mutex;
static void NativeInit(NativeLock* l) { new (l) std::recursive_mutex(); }
static void NativeDestroy(NativeLock* l) { l->~recursive_mutex(); }
static void NativeEnter(NativeLock* l) { l->lock(); }
static void NativeLeave(NativeLock* l) { l->unlock(); }
#endif

static_assert(sizeof(NativeLock) <= 64, "lock storage too small for the platform lock");
static_assert(alignof(NativeLock) <= 8, "lock storage under-aligned for the platform lock");

static NativeLock* Native(unsigned char* storage) {
    return std::launder(reinterpret_cast<NativeLock*>(storage));
}

IPlugLock::IPlugLock() { NativeInit(reinterpret_cast<NativeLock*>(storage)); }
IPlugLock::~IPlugLock() { NativeDestroy(Native(storage)); }
void IPlugLock::Enter() {
    NativeEnter(Native(storage));
    ++depth;
}

void IPlugLock::Leave() {
    if (--depth > 0 || deferred.empty()) {
        NativeLeave(Native(storage));
        return;
    }
    // The outermost release with work waiting: take the work, release, run
    // it. An action may take the lock again and defer more; that runs at its
    // own release.
    std::vector<Deferred> run;
    run.swap(deferred);
    NativeLeave(Native(storage));
    for (const Deferred& d : run) d.action(d.context);
}

void IPlugLock::CallAfterRelease(void (*action)(void*), void* context) {
    for (const Deferred& d : deferred)
        if (d.action == action && d.context == context) return;
    deferred.push_back({action, context});
}
