#pragma once

#include <vector>

// The plug-in's recursive lock: the thread that holds it may take it again.
// A critical section on Windows, a recursive mutex elsewhere; the platform
// object lives in opaque storage so no system header leaks out of here, and
// each platform's part is a file of its own (core/platform/*/IPlugLockNative.cpp).
//
// Work for after the lock. What the holder must not do while holding it
// (call the host, which may answer through a path that takes other locks
// first and this one second) it hands to CallAfterRelease: the action runs on
// the same thread right after that thread's outermost Leave has released the
// lock. The audio thread, which never defers anything, pays one counter and
// one emptiness check per Leave; nothing allocates there.
class IPlugLock {
public:
    IPlugLock();
    ~IPlugLock();
    IPlugLock(const IPlugLock&) = delete;
    IPlugLock& operator=(const IPlugLock&) = delete;

    void Enter();
    void Leave();

    // Runs action(context) once the calling thread, which must hold the
    // lock, has released it completely; in the order deferred, an action
    // deferred twice with the same context running once. Pending actions are
    // dropped with the lock.
    void CallAfterRelease(void (*action)(void*), void* context);

private:
    // The platform's lock in `storage`, made, destroyed, entered and left.
    static void NativeInit(unsigned char* storage);
    static void NativeDestroy(unsigned char* storage);
    static void NativeEnter(unsigned char* storage);
    static void NativeLeave(unsigned char* storage);

    struct Deferred {
        void (*action)(void*);
        void* context;
    };

    alignas(8) unsigned char storage[64];
    // Both used only by the thread that holds the lock.
    int depth = 0;
    std::vector<Deferred> deferred;
};

// Holds an IPlugLock for the lifetime of the guard.
class IPlugLockGuard {
public:
    explicit IPlugLockGuard(IPlugLock& l) : lock(l) { lock.Enter(); }
    ~IPlugLockGuard() { lock.Leave(); }
    IPlugLockGuard(const IPlugLockGuard&) = delete;
    IPlugLockGuard& operator=(const IPlugLockGuard&) = delete;

private:
    IPlugLock& lock;
};
