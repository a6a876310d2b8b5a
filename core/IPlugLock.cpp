#include "core/IPlugLock.h"

IPlugLock::IPlugLock() { NativeInit(storage); }
IPlugLock::~IPlugLock() { NativeDestroy(storage); }
void IPlugLock::Enter() {
    NativeEnter(storage);
    ++depth;
}

void IPlugLock::Leave() {
    if (--depth > 0 || deferred.empty()) {
        NativeLeave(storage);
        return;
    }
    // The outermost release with work waiting: take the work, release, run
    // it. An action may take the lock again and defer more; that runs at its
    // own release.
    std::vector<Deferred> run;
    run.swap(deferred);
    NativeLeave(storage);
    for (const Deferred& d : run) d.action(d.context);
}

void IPlugLock::CallAfterRelease(void (*action)(void*), void* context) {
    for (const Deferred& d : deferred)
        if (d.action == action && d.context == context) return;
    deferred.push_back({action, context});
}
